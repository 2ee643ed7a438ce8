// A fresh folder under the temporary folder for the host's own files.
#include "devhost/scratch_folder.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace devhost {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    static std::atomic<unsigned> serial{0};
    // The process id keeps hosts of tests run side by side apart.
    const std::string stem = "kovra-host-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount()) + "-";
    do {
        path_ = fs::temp_directory_path() / (stem + std::to_string(serial++));
    } while (!fs::create_directories(path_));
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

}  // namespace devhost
