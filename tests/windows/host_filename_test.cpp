// Filenames for the host: what the ANSI file functions of a Western system
// open.
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

// Names a host gives in its own code page that are valid UTF-8 by accident.
struct HostCodePageName {
    unsigned codePage;
    const char* name;
};
const HostCodePageName kHostNames[] = {
    {1252, "\xC3\xA9t\xC3\xA9.mp3"},  // "Ã©tÃ©", in UTF-8 "été"
    {1252, "\xC2\xA9 2004.mp3"},      // "Â© 2004", in UTF-8 "© 2004"
    {932, "\xE5\x83\x8F\x54.mp3"},    // two characters, in UTF-8 one and "T"
};

// Runs under each code page the test is started in (the build runs it in 1252
// and 932).
TEST(HostFilenameCodePageTest, HostNamesThatAreUtf8ByAccidentGoAsTheyAre) {
    TempDir dir;
    int tried = 0;
    for (const HostCodePageName& host : kHostNames) {
        if (host.codePage != GetACP()) {
            continue;
        }
        const std::string path = dir.Path().string() + "\\" + host.name;
        CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(HostOpens(path)) << host.name;
        AnsiHostFilenames filenames;
        const std::unique_ptr<char, decltype(&FreeText)> adapted(filenames.Openable(path.c_str()),
                                                                 &FreeText);
        EXPECT_EQ(adapted, nullptr) << host.name << " became " << adapted.get();
        ++tried;
    }
    if (tried == 0) {
        GTEST_SKIP() << "no name for code page " << GetACP();
    }
}

}  // namespace
