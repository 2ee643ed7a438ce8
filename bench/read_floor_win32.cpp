// kovra-read-floor: how fast this machine reads a sample player's catalogue
// files with nothing else to do. Reads the files a load reads, in its order,
// each whole into one reused buffer with CreateFileA/ReadFile: the floor
// that reading the player in the plug-in can approach but not beat.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/sample_image/sample_image.h"

namespace {

struct Floor {
    int files = 0;
    int missing = 0;
    unsigned long long bytes = 0;
    double milliseconds = 0;
};

// Reads the whole file at `path` into `buffer`, growing it only when a file
// is larger than any before. False when the file cannot be opened or read.
bool ReadWhole(const std::string& path, std::vector<char>& buffer, unsigned long long& bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const DWORD size = GetFileSize(file, nullptr);
    bool ok = size != INVALID_FILE_SIZE;
    if (ok && size > buffer.size()) {
        buffer.resize(size);
    }
    DWORD read = 0;
    ok = ok && (size == 0 || ReadFile(file, buffer.data(), size, &read, nullptr));
    CloseHandle(file);
    bytes += read;
    return ok;
}

Floor ReadFloor(const std::string& root, const std::vector<std::string>& files) {
    Floor floor;
    std::vector<char> buffer;
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (const std::string& file : files) {
        ++floor.files;
        if (!ReadWhole(root + file, buffer, floor.bytes)) {
            ++floor.missing;
        }
    }
    QueryPerformanceCounter(&end);
    floor.milliseconds = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                         static_cast<double>(frequency.QuadPart);
    return floor;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: kovra-read-floor ROOT TRACKS SEED\n"
                     "  reads the catalogue files of the sample image that kovra-make-image\n"
                     "  wrote with --tracks TRACKS --seed SEED under ROOT (e.g. E:/)\n");
        return 2;
    }
    SampleImageOptions options;
    options.trackCount = std::atoi(argv[2]);
    options.seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    const Floor floor = ReadFloor(argv[1], CatalogueFilesInReadOrder(DescribeSampleImage(options)));
    std::printf("read %d files (%d missing), %llu bytes in %.1f ms\n", floor.files, floor.missing,
                floor.bytes, floor.milliseconds);
    std::printf("figures: floor_ms=%.1f\n", floor.milliseconds);
    return floor.missing == 0 ? 0 : 1;
}
