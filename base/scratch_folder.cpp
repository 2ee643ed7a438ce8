// A temporary folder that removes itself.
#include "base/scratch_folder.h"

#include <atomic>
#include <chrono>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& stem) {
    static std::atomic<unsigned> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    do {
        path_ = fs::temp_directory_path() /
                (stem + std::to_string(stamp) + "-" + std::to_string(serial++));
    } while (!fs::create_directories(path_));
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}
