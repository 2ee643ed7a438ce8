// kovra-export-filenames: what handing rows to the host costs when their
// filenames must be made openable by the host's ANSI file functions. Writes
// 5,000 empty audio files of each kind into a scratch folder, twelve to an
// album folder as on a player (plain ASCII names, accented names the code
// page holds, CJK names it does not), makes one library of each kind and
// times exporting every row, median of the runs.
//
//   kovra-export-filenames [ROWS] [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/scratch_folder.h"
#include "bench/stopwatch_win32.h"
#include "base/wide_text.h"
#include "host/host_filename.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "library/record_exchange.h"

namespace {

struct NameKind {
    const char* label;
    const char* folder;  // UTF-8
    const char* stem;    // UTF-8
};

const NameKind kKinds[] = {
    {"ASCII", "Cafe Society", "Cafe au lait"},
    {"accented (code page)", "Caf\xC3\xA9 Society", "Caf\xC3\xA9 au lait"},
    {"CJK (short path)", "\xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAC Mirror"},
};

class EveryRow : public RowSelection {
  public:
    bool ViewOpen() const override { return false; }
    bool IsSelected(int) const override { return true; }
};

bool WriteEmptyFile(const std::string& utf8Path) {
    const WideText wide = WideFromUtf8(utf8Path.c_str());
    const HANDLE file = CreateFileW(wide.get(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

constexpr int kTracksPerAlbum = 12;

// `rows` files of the kind below `root`, and a library row naming each.
bool FillLibrary(const std::string& root, const NameKind& kind, int rows, LibraryLists& lists) {
    std::string folder;
    for (int i = 0; i < rows; ++i) {
        if (i % kTracksPerAlbum == 0) {
            folder = root + "/" + std::to_string(i / kTracksPerAlbum) + " " + kind.folder;
            CreateDirectoryW(WideFromUtf8(folder.c_str()).get(), nullptr);
        }
        const std::string path = folder + "/" + std::to_string(i) + " " + kind.stem + ".mp3";
        if (!WriteEmptyFile(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return false;
        }
        LibraryItem* row = NewRow();
        row->origin = RowOrigin::Device;  // as the catalogue names it
        row->filename = CopyText(path.c_str());
        row->title = CopyText(kind.stem);
        AdoptRow(lists.library, row);
    }
    return true;
}

double MedianExportMilliseconds(const LibraryLists& lists, int runs, int& converted) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        AnsiHostFilenames filenames;
        ExportedRows rows(ExportScope::kEveryRow, lists, EveryRow(), &filenames);
        times.push_back(Milliseconds(start));
        converted = 0;
        for (int32_t i = 0; i < rows.List()->count; ++i) {
            converted += rows.List()->records[i].filename != lists.library.Get(i)->filename;
        }
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (rows <= 0 || runs <= 0) {
        std::fprintf(stderr, "usage: kovra-export-filenames [ROWS] [RUNS]\n");
        return 3;
    }
    const ScratchFolder scratch("kovra-export-");
    std::printf("exporting %d rows, median of %d runs (code page %u)\n", rows, runs, GetACP());
    for (const NameKind& kind : kKinds) {
        LibraryLists lists;
        if (!FillLibrary(scratch.Path().string(), kind, rows, lists)) {
            return 1;
        }
        int converted = 0;
        const double ms = MedianExportMilliseconds(lists, runs, converted);
        std::printf("%-22s %8.2f ms  %6.2f us/row  %d filenames converted\n", kind.label, ms,
                    1000.0 * ms / rows, converted);
    }
    return 0;
}
