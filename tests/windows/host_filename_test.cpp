// Filenames for the host: what the ANSI file functions open, by where each row
// came from.
#include "host/host_filename.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "base/text_copy.h"
#include "library/record_exchange.h"
#include "tests/support/rows.h"
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

// What the host is handed for a row's filename, by where the row came from,
// in the code page the test is started in (the build runs it in 1252 and 932).
struct NameCase {
    unsigned codePage;
    RowOrigin origin;
    const char* name;      // the row's filename in the folder
    const char* files[2];  // the folder's files, named in UTF-8; each holds its own name
    const char* handed;    // what the host is handed in the folder; null: the name as it is
    const char* opens;     // the file that opens by that name, or null for none
};
constexpr RowOrigin kHost = RowOrigin::Host;
constexpr RowOrigin kDevice = RowOrigin::Device;
// Names in UTF-8, each with the file its bytes name in the code page: "été"
// read in 1252 is "Ã©tÃ©", "© 2004" is "Â© 2004", "像T" read in 932 is "蜒週".
const char kEte[] = "\xC3\xA9t\xC3\xA9.mp3";
const char kEteIn1252[] = "\xC3\x83\xC2\xA9t\xC3\x83\xC2\xA9.mp3";
const char kCopyright[] = "\xC2\xA9 2004.mp3";
const char kCopyrightIn1252[] = "\xC3\x82\xC2\xA9 2004.mp3";
const char kXiangT[] = "\xE5\x83\x8F\x54.mp3";
const char kXiangTIn932[] = "\xE8\x9C\x92\xE9\x80\xB1.mp3";
const NameCase kNameCases[] = {
    // The host's names, valid UTF-8 by accident, go back as they are...
    {1252, kHost, kEte, {kEteIn1252}, nullptr, kEteIn1252},
    {1252, kHost, kCopyright, {kCopyrightIn1252}, nullptr, kCopyrightIn1252},
    {932, kHost, kXiangT, {kXiangTIn932}, nullptr, kXiangTIn932},
    // ...also when their file is missing (a share offline, a file moved).
    {1252, kHost, "\xC3\xA9t\xC3\xA9 gone.mp3", {}, nullptr, nullptr},
    {932, kHost, "\xE5\x83\x8F\x54 gone.mp3", {}, nullptr, nullptr},
    // The catalogue's names open their own file, not one their bytes name.
    {1252, kDevice, kEte, {kEte, kEteIn1252}, "\xE9t\xE9.mp3", kEte},
    {932, kDevice, kXiangT, {kXiangT, kXiangTIn932}, "\x91\x9CT.mp3", kXiangT},
};

class EveryRow : public RowSelection {
  public:
    bool ViewOpen() const override { return false; }
    bool IsSelected(int) const override { return true; }
};

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

TEST(HostFilenameCodePageTest, EachRowIsHandedTheNameItsOriginMeans) {
    int tried = 0;
    for (const NameCase& c : kNameCases) {
        if (c.codePage != GetACP()) {
            continue;
        }
        TempDir dir;
        for (const char* file : c.files) {
            if (file != nullptr) {
                dir.Write(file, file);
            }
        }
        const std::string folder = dir.Path().string() + "\\";
        testing_support::OwnedLists lists;
        lists.Add(
            {"artist", "title", nullptr, 0, 0, nullptr, 0, (folder + c.name).c_str(), c.origin});
        AnsiHostFilenames filenames;
        ExportedRows rows(ExportScope::kEveryRow, lists, EveryRow(), &filenames);
        ASSERT_EQ(rows.List()->count, 1);
        const std::string handed = rows.List()->records[0].filename;
        EXPECT_EQ(handed, folder + (c.handed != nullptr ? c.handed : c.name)) << c.name;
        EXPECT_EQ(HostReads(handed), c.opens != nullptr ? c.opens : "(none)") << c.name;
        ++tried;
    }
    if (tried == 0) {
        GTEST_SKIP() << "no name for code page " << GetACP();
    }
}

}  // namespace
