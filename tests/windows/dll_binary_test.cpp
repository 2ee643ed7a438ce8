// The DLL as the host sees it: one export, and imports from Windows alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <string>

#include "tests/support/pe_image.h"

namespace {

std::string g_dllPath;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

TEST(DllBinary, ImportsOnlyWindowsSystemDlls) {
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll",
                                          "comctl32.dll", "msvcrt.dll", "advapi32.dll",
                                          "shell32.dll",  "ole32.dll",  "ntdll.dll"};
    const testing_support::PeNames names = testing_support::ReadPeNames(g_dllPath);
    ASSERT_TRUE(names.valid) << g_dllPath;
    ASSERT_FALSE(names.importedDlls.empty());
    for (const std::string& dll : names.importedDlls) {
        EXPECT_TRUE(system.count(Lower(dll))) << "imports " << dll;
    }
}

TEST(DllBinary, ExportsOnlyTheHostsEntryPoint) {
    const testing_support::PeNames names = testing_support::ReadPeNames(g_dllPath);
    ASSERT_TRUE(names.valid) << g_dllPath;
    EXPECT_EQ(names.exports, (std::vector<std::string>{"winampGetMediaLibraryPlugin"}));
}

// Most of a larger DLL would be the C++ runtime's streams and locales,
// pulled in by a stream header or a library built with them.
TEST(DllBinary, StaysWithinItsSizeBudget) {
    std::ifstream dll(g_dllPath, std::ios::binary | std::ios::ate);
    ASSERT_TRUE(dll) << g_dllPath;
    EXPECT_LE(static_cast<long long>(dll.tellg()), 300 * 1024);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-ml_kovra.dll\n", argv[0]);
        return 2;
    }
    g_dllPath = argv[1];
    return RUN_ALL_TESTS();
}
