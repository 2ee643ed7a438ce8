// Filenames for the host: the catalogue's UTF-8 names as the ANSI file
// functions open them.
#include "host/host_filename.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "base/text_copy.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/support/host_opens.h"

namespace {

using testing_support::HostOpens;
using testing_support::TempDir;

const char kAccented[] = "Caf\xC3\xA9 Society/02 Caf\xC3\xA9 au lait.mp3";
const char kAccentedInCodePage[] = "Caf\xE9 Society/02 Caf\xE9 au lait.mp3";
const char kCjk[] = "\xE6\x9D\xB1\xE4\xBA\xAC/03 \xE6\x9D\xB1\xE4\xBA\xAC Mirror.mp3";
// The folder needs its short form, the file's own name converts.
const char kAccentedInCjk[] = "\xE6\x9D\xB1\xE4\xBA\xAC/Caf\xC3\xA9.mp3";

class HostFilenameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 1252u) << "the cases are written for a Western code page";
        for (const char* name : {"plain/a.mp3", kAccented, kCjk, kAccentedInCjk}) {
            dir_.Write(name, "audio");
        }
        root_ = dir_.Path().string() + "/";
    }

    // What the host is handed for the file `name` in the folder; "" for the
    // text as it is.
    std::string HostName(const std::string& name) {
        AnsiHostFilenames filenames;
        const std::unique_ptr<char, decltype(&FreeText)> adapted(
            filenames.Openable((root_ + name).c_str()), &FreeText);
        return adapted ? adapted.get() : "";
    }

    TempDir dir_;
    std::string root_;
};

TEST_F(HostFilenameTest, AsciiAndCodePageNamesAreHandedOverAsTheyAre) {
    EXPECT_EQ(HostName("plain/a.mp3"), "");
    EXPECT_EQ(HostName(kAccentedInCodePage), "");  // not UTF-8: already the code page's bytes
    EXPECT_TRUE(HostOpens(root_ + kAccentedInCodePage));
}

TEST_F(HostFilenameTest, AccentsAreConvertedToTheCodePage) {
    EXPECT_EQ(HostName(kAccented), root_ + kAccentedInCodePage);
    EXPECT_TRUE(HostOpens(HostName(kAccented)));
}

TEST_F(HostFilenameTest, NamesTheCodePageCannotHoldGetTheShortPath) {
    const std::string shortPath = HostName(kCjk);
    ASSERT_NE(shortPath, "");
    EXPECT_FALSE(HostOpens(root_ + kCjk));
    EXPECT_TRUE(HostOpens(shortPath)) << shortPath;
    const std::string mixed = HostName(kAccentedInCjk);
    EXPECT_TRUE(HostOpens(mixed)) << mixed;
    EXPECT_NE(mixed.find("\\Caf\xE9.mp3"), std::string::npos) << mixed;
    EXPECT_EQ(HostName("\xE6\x9D\xB1\xE4\xBA\xAC/missing.mp3"), "");  // no file, no short path
}

// The bytes of the file the host opens by `path`, or "(none)".
std::string HostReads(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "(none)";
    }
    char bytes[64];
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    return std::string(bytes, read);
}

// The catalogue's names open their own file, not one their bytes name, in the
// code page the test is started in (the build runs it in 1252 and 932). The
// host's own names never come here: the export hands them back as they are.
TEST(HostFilenameCodePageTest, CatalogueNamesOpenTheirOwnFile) {
    const struct {
        unsigned codePage;
        const char* name;     // in UTF-8
        const char* misread;  // the file its bytes name in the code page, in UTF-8
        const char* handed;   // in the code page
    } cases[] = {
        // "été"; "Ã©tÃ©" in 1252
        {1252, "\xC3\xA9t\xC3\xA9.mp3", "\xC3\x83\xC2\xA9t\xC3\x83\xC2\xA9.mp3", "\xE9t\xE9.mp3"},
        // "像T"; "蜒週" in 932
        {932, "\xE5\x83\x8F\x54.mp3", "\xE8\x9C\x92\xE9\x80\xB1.mp3", "\x91\x9CT.mp3"},
    };
    int tried = 0;
    for (const auto& c : cases) {
        if (c.codePage != GetACP()) {
            continue;
        }
        TempDir dir;
        dir.Write(c.name, c.name);
        dir.Write(c.misread, c.misread);
        const std::string folder = dir.Path().string() + "\\";
        AnsiHostFilenames filenames;
        const std::unique_ptr<char, decltype(&FreeText)> handed(
            filenames.Openable((folder + c.name).c_str()), &FreeText);
        ASSERT_NE(handed, nullptr) << c.name;
        EXPECT_EQ(handed.get(), folder + c.handed);
        EXPECT_EQ(HostReads(handed.get()), c.name);
        ++tried;
    }
    if (tried == 0) {
        GTEST_SKIP() << "no name for code page " << GetACP();
    }
}

}  // namespace
