// Test helpers for temporary folders and files.
#include "tests/support/temp_dir.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace fs = std::filesystem;

void TempDir::Write(const std::string& relative, const std::string& bytes) const {
    WriteFile(Path() / fs::u8path(relative), bytes);
}

CurrentDirGuard::CurrentDirGuard(const fs::path& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
}

CurrentDirGuard::~CurrentDirGuard() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testing_support
