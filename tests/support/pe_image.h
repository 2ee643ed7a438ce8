// Test helper: the import and export names of a 32-bit Windows PE file.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct PeNames {
    bool valid = false;
    std::vector<std::string> importedDlls;
    std::vector<std::string> exports;
};

// Reads the file's import directory (DLL names) and export directory (names).
PeNames ReadPeNames(const std::string& path);

}  // namespace testing_support
