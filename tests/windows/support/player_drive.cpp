// Player images on a test drive: writing, clearing, read-only, fingerprints.
#include "tests/windows/support/player_drive.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "tests/support/temp_dir.h"

namespace testing_support {

namespace fs = std::filesystem;

namespace {

// Every file and folder below `root`, deepest first when `deepestFirst`.
std::vector<fs::path> Entries(const std::string& root, bool deepestFirst) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    if (deepestFirst) {
        std::reverse(entries.begin(), entries.end());
    }
    return entries;
}

}  // namespace

void ClearDrive(const std::string& root) {
    SetDriveReadOnly(false, root);
    for (const fs::path& entry : Entries(root, true)) {
        std::error_code ignored;
        fs::remove_all(entry, ignored);
    }
}

SampleImage WritePlayer(int tracks, unsigned seed, const std::string& root) {
    ClearDrive(root);
    SampleImageOptions options;
    options.trackCount = tracks;
    options.seed = seed;
    EXPECT_TRUE(WriteSampleImage(root, options)) << root;
    return DescribeSampleImage(options);
}

void SetDriveReadOnly(bool readOnly, const std::string& root) {
    for (const fs::path& entry : Entries(root, false)) {
        const std::string path = entry.string();
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            continue;
        }
        SetFileAttributesA(path.c_str(), readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                                                  : (attributes & ~FILE_ATTRIBUTE_READONLY));
    }
}

std::string DriveFingerprint(const std::string& root) {
    std::string fingerprint;
    for (const fs::path& entry : Entries(root, false)) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(entry.string().c_str(), GetFileExInfoStandard, &data);
        fingerprint += entry.string() + "|" + std::to_string(data.dwFileAttributes) + "|" +
                       std::to_string(data.nFileSizeLow) + "|" +
                       std::to_string(data.ftLastWriteTime.dwLowDateTime) + "|" +
                       std::to_string(data.ftLastWriteTime.dwHighDateTime) + "|";
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            fingerprint += std::to_string(std::hash<std::string>()(ReadFile(entry)));
        }
        fingerprint += "\n";
    }
    return fingerprint;
}

void WriteDriveFile(const std::string& relative, const std::string& bytes,
                    const std::string& root) {
    WriteFile(fs::path(root) / fs::u8path(relative), bytes);
}

}  // namespace testing_support
