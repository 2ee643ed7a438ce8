// kovra-read-floor: how fast this machine reads a sample player's catalogue
// files with nothing else to do. Reads the files a load reads, in its order,
// each whole into one reused buffer with CreateFileA/ReadFile: the floor
// that reading the player in the plug-in can approach but not beat. With
// --parse each file is also parsed by TinyXML right after its read: the
// floor of a load, which must parse every file too. With
// --read-ahead N it reads them instead with up to N overlapped reads in
// flight from the one thread, taking the files in order as a load would.
// With --load it runs the plug-in's own catalogue load on ROOT instead, and
// says how much of its time went to reading the files, then how long making
// the rows takes with the artists and genres spelled in the code page and
// with the catalogue's bytes copied.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "base/code_page_text.h"
#include "bench/stopwatch_win32.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_load.h"
#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "library/catalogue_import.h"
#include "library/library_lists.h"
#include "tools/kovra-make-image/sample_image.h"

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

// With `parse`, each file is handed to TinyXML right after it is read, from
// memory: the least a load that parses every file can cost.
Floor ReadFloor(const std::string& root, const std::vector<std::string>& files, bool parse) {
    Floor floor;
    std::vector<char> buffer;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (const std::string& file : files) {
        ++floor.files;
        const unsigned long long before = floor.bytes;
        if (!ReadWhole(root + file, buffer, floor.bytes)) {
            ++floor.missing;
        } else if (parse) {
            const size_t size = static_cast<size_t>(floor.bytes - before);
            if (buffer.size() <= size) {
                buffer.resize(size + 1);
            }
            buffer[size] = 0;
            TiXmlDocument document;
            document.Parse(buffer.data(), nullptr, TIXML_DEFAULT_ENCODING);
        }
    }
    floor.milliseconds = Milliseconds(start);
    return floor;
}

// One file being read ahead: its handle, its request and its own buffer.
struct ReadSlot {
    HANDLE file = INVALID_HANDLE_VALUE;
    OVERLAPPED request = {};
    std::vector<char> buffer;
    DWORD size = 0;
};

// Opens `path` and asks for all of it without waiting. False when it cannot
// be opened or the request fails at once.
bool StartRead(const std::string& path, ReadSlot& slot) {
    slot.file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OVERLAPPED, nullptr);
    if (slot.file == INVALID_HANDLE_VALUE) {
        return false;
    }
    slot.size = GetFileSize(slot.file, nullptr);
    if (slot.size == INVALID_FILE_SIZE) {
        return false;
    }
    if (slot.size > slot.buffer.size()) {
        slot.buffer.resize(slot.size);
    }
    const HANDLE event = slot.request.hEvent;
    slot.request = {};
    slot.request.hEvent = event;
    return slot.size == 0 ||
           ReadFile(slot.file, slot.buffer.data(), slot.size, nullptr, &slot.request) ||
           GetLastError() == ERROR_IO_PENDING;
}

// Waits for the slot's read and closes its file; false when it failed.
bool FinishRead(ReadSlot& slot, bool started, unsigned long long& bytes) {
    DWORD got = 0;
    const bool ok =
        started && (slot.size == 0 || GetOverlappedResult(slot.file, &slot.request, &got, TRUE));
    if (slot.file != INVALID_HANDLE_VALUE) {
        CloseHandle(slot.file);
        slot.file = INVALID_HANDLE_VALUE;
    }
    bytes += got;
    return ok;
}

Floor ReadAhead(const std::string& root, const std::vector<std::string>& files, size_t depth) {
    Floor floor;
    std::vector<ReadSlot> slots(depth);
    std::vector<bool> started(depth, false);
    for (ReadSlot& slot : slots) {
        slot.request.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (size_t i = 0; i < depth && i < files.size(); ++i) {
        started[i] = StartRead(root + files[i], slots[i]);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const size_t at = i % depth;
        ++floor.files;
        if (!FinishRead(slots[at], started[at], floor.bytes)) {
            ++floor.missing;
        }
        if (i + depth < files.size()) {
            started[at] = StartRead(root + files[i + depth], slots[at]);
        }
    }
    floor.milliseconds = Milliseconds(start);
    for (ReadSlot& slot : slots) {
        CloseHandle(slot.request.hEvent);
    }
    return floor;
}

// The drive's files, as a load reads them, with the time spent reading.
class TimedDriveFiles : public CatalogueFileSource {
  public:
    FileReadStatus Read(const char* path, size_t limit, XmlBuffer& buffer) override {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        const FileReadStatus status = ReadCatalogueFile(path, limit, buffer);
        milliseconds += Milliseconds(start);
        ++files;
        return status;
    }
    double milliseconds = 0;
    int files = 0;
};

// The same files served from memory: a load with nothing to wait for.
class MemoryFiles : public CatalogueFileSource {
  public:
    FileReadStatus Read(const char* path, size_t limit, XmlBuffer& buffer) override {
        XmlBuffer& file = files_[path];
        if (file.Text()[0] == 0 && ReadCatalogueFile(path, limit, file) != FileReadStatus::Read) {
            return FileReadStatus::Missing;
        }
        buffer.Assign(file.Text(), file.Size());
        return FileReadStatus::Read;
    }

  private:
    std::map<std::string, XmlBuffer> files_;
};

// The fastest of five rounds of making the catalogue's rows, in milliseconds:
// [0] artists and genres spelled in the code page, [1] copied as they are.
// The rounds take turns, so that the machine's slower spells meet both.
std::pair<double, double> RowsMilliseconds(const DeviceCatalogue& catalogue) {
    double fastest[2] = {1e300, 1e300};
    for (int round = 0; round < 10; ++round) {
        LibraryLists lists;
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        AppendCatalogueRows(catalogue, lists.library,
                            round % 2 == 0 ? CodePageCopyOfUtf8 : nullptr);
        fastest[round % 2] = std::min(fastest[round % 2], Milliseconds(start));
    }
    return {fastest[0], fastest[1]};
}

int TimeLoad(const char* root) {
    DeviceCatalogue catalogue;
    const char driveRoot[4] = {root[0], ':', '\\', 0};
    catalogue.SetDriveRoot(driveRoot);
    TimedDriveFiles files;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    LoadCatalogue(catalogue, nullptr, &files);
    const double total = Milliseconds(start);
    const int tracks = CountRecords(catalogue.FirstTrack());
    std::printf("loaded %d tracks from %d files in %.1f ms, %.1f ms of it reading\n", tracks,
                files.files, total, files.milliseconds);
    MemoryFiles memory;
    LoadCatalogue(catalogue, nullptr, &memory);
    QueryPerformanceCounter(&start);
    LoadCatalogue(catalogue, nullptr, &memory);
    const double fromMemory = Milliseconds(start);
    std::printf("the same load from memory: %.1f ms\n", fromMemory);
    const std::pair<double, double> rows = RowsMilliseconds(catalogue);
    std::printf("rows: %.1f ms in code page %u, %.1f ms with the catalogue's bytes\n", rows.first,
                GetACP(), rows.second);
    std::printf(
        "figures: load_ms=%.1f load_read_ms=%.1f load_memory_ms=%.1f rows_code_page_ms=%.1f "
        "rows_bytes_ms=%.1f\n",
        total, files.milliseconds, fromMemory, rows.first, rows.second);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--load") {
        return TimeLoad(argv[2]);
    }
    size_t depth = 0;
    bool parse = false;
    if (argc == 5 && std::string(argv[1]) == "--parse") {
        parse = true;
        ++argv;
        --argc;
    } else if (argc == 6 && std::string(argv[1]) == "--read-ahead") {
        depth = std::strtoul(argv[2], nullptr, 10);
        argv += 2;
        argc -= 2;
    }
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: kovra-read-floor [--read-ahead N | --parse] ROOT TRACKS SEED\n"
                     "       kovra-read-floor --load ROOT\n"
                     "  reads the catalogue files of the sample image that kovra-make-image\n"
                     "  wrote with --tracks TRACKS --seed SEED under ROOT (e.g. E:/); with\n"
                     "  --read-ahead, N overlapped reads at a time; with --parse, each file\n"
                     "  parsed by TinyXML after its read; with --load, times the\n"
                     "  plug-in's own catalogue load of ROOT, then the same from memory\n");
        return 2;
    }
    SampleImageOptions options;
    options.trackCount = std::atoi(argv[2]);
    options.seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    const std::vector<std::string> files = CatalogueFilesInReadOrder(DescribeSampleImage(options));
    const Floor floor =
        depth > 0 ? ReadAhead(argv[1], files, depth) : ReadFloor(argv[1], files, parse);
    std::printf("read %d files (%d missing), %llu bytes in %.1f ms%s\n", floor.files, floor.missing,
                floor.bytes, floor.milliseconds, parse ? ", each parsed" : "");
    const char* figure = depth > 0 ? "read_ahead_ms" : parse ? "parse_floor_ms" : "floor_ms";
    std::printf("figures: %s=%.1f\n", figure, floor.milliseconds);
    return floor.missing == 0 ? 0 : 1;
}
