// kovra-make-image: writes a made-up player image into a folder, for tests,
// benchmarks and demos.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalogue/load_budget.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

// A load keeps no more tracks than this, so a bigger image would only show the
// load stopping.
constexpr unsigned long kMaxTracks = kLoadCeilings.tracks;

struct Arguments {
    std::string folder;
    SampleImageOptions options;
};

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: kovra-make-image DIR [--tracks N] [--seed S] [--audio-files]\n"
                 "  writes a made-up player image (index.mum, SYSTEM/List/Music/...) into DIR\n"
                 "  --tracks N  number of tracks, 0..%lu (default 200)\n"
                 "  --seed S    the same seed gives the same image, byte for byte (default 1)\n"
                 "  --audio-files  also an empty file at every track's audio path, so that\n"
                 "                 the image is an intact player\n",
                 kMaxTracks);
}

// Digits only: strtoul alone would take "-1", " 7" or "7x".
bool ParseNumber(const char* text, unsigned long max, unsigned long& value) {
    if (*text == 0 || std::strspn(text, "0123456789") != std::strlen(text)) {
        return false;
    }
    errno = 0;
    value = std::strtoul(text, nullptr, 10);
    return errno == 0 && value <= max;
}

bool ParseArguments(int argc, char** argv, Arguments& arguments) {
    bool haveFolder = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        unsigned long value = 0;
        if (arg == "--audio-files") {
            arguments.options.audioFiles = true;
        } else if (arg == "--tracks" || arg == "--seed") {
            const unsigned long max = arg == "--tracks" ? kMaxTracks : 0xFFFFFFFFUL;
            if (i + 1 >= argc || !ParseNumber(argv[++i], max, value)) {
                std::fprintf(stderr, "kovra-make-image: %s needs a number from 0 to %lu\n",
                             arg.c_str(), max);
                return false;
            }
            if (arg == "--tracks") {
                arguments.options.trackCount = static_cast<int>(value);
            } else {
                arguments.options.seed = static_cast<unsigned>(value);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "kovra-make-image: unknown option %s\n", arg.c_str());
            return false;
        } else if (haveFolder) {
            std::fprintf(stderr, "kovra-make-image: only one folder, please\n");
            return false;
        } else {
            arguments.folder = arg;
            haveFolder = true;
        }
    }
    return haveFolder;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    if (!ParseArguments(argc, argv, arguments)) {
        PrintUsage();
        return 2;
    }
    const std::string& folder = arguments.folder;
    if (HoldsForeignCatalogue(folder)) {
        std::fprintf(stderr,
                     "kovra-make-image: %s already holds a player catalogue that is not a sample "
                     "image; refusing to overwrite it\n",
                     folder.c_str());
        return 1;
    }
    if (!WriteSampleImage(folder, arguments.options)) {
        std::fprintf(stderr, "kovra-make-image: cannot write the image to %s\n", folder.c_str());
        return 1;
    }
    const SampleImage image = DescribeSampleImage(arguments.options);
    std::printf("wrote %lu tracks in %lu albums to %s\n",
                static_cast<unsigned long>(image.tracks.size()),
                static_cast<unsigned long>(image.albums.size()), folder.c_str());
    return 0;
}
