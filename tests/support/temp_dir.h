// Test helpers: a temporary folder that removes itself, file writing, and a
// scoped change of the current folder.
#pragma once

#include <filesystem>
#include <string>

#include "base/scratch_folder.h"

namespace testing_support {

// A fresh, empty folder under the system's temporary folder; removed with
// everything in it when the object goes.
class TempDir : public ScratchFolder {
  public:
    TempDir() : ScratchFolder("kovra-test-") {}

    // Writes `bytes` to the file at `relative` below the folder, creating
    // parents.
    void Write(const std::string& relative, const std::string& bytes) const;
};

// Makes `folder` the current folder until the object goes.
class CurrentDirGuard {
  public:
    explicit CurrentDirGuard(const std::filesystem::path& folder);
    ~CurrentDirGuard();
    CurrentDirGuard(const CurrentDirGuard&) = delete;
    CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

  private:
    std::filesystem::path previous_;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace testing_support
