// Text settings through the real profile functions: what is written comes
// back byte for byte, and texts written plain by earlier versions read as
// they always did.
#include "host/settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings_ = (folder_.Path() / "settings.ini").string();
        file_.path = settings_.c_str();
    }

    // As the view reads its search text: at most 255 characters.
    std::string ReadBack(const char* key) {
        char text[256];
        ReadSettingText(file_, key, text, sizeof text);
        return text;
    }

    testing_support::TempDir folder_;
    std::string settings_;
    SettingsFile file_;
};

TEST_F(SettingsTest, TextsComeBackByteForByte) {
    const std::string texts[] = {
        "pink floyd",
        "\"pink floyd\"",
        "\"a\" \"b\"",
        "'single'",
        "\"",
        "'",
        "\"\"",
        "a\"",
        "\"a",
        " leading",
        "trailing ",
        "  both  ",
        "\ttab\t",
        " ",
        "\"" + std::string(252, 'x') + "\"",  // 254 characters
        "\"" + std::string(253, 'x') + "\"",  // 255
        std::string(254, 'y') + " ",
        "'" + std::string(254, 'z'),
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE("[" + text + "]");
        WriteSettingText(file_, "lastfilter", text.c_str());
        EXPECT_EQ(ReadBack("lastfilter"), text);
    }
}

TEST_F(SettingsTest, TextsWrittenPlainBeforeReadAsTheyDid) {
    const struct {
        std::string stored, read;
    } cases[] = {
        {"\"pink floyd\"", "pink floyd"},
        {"'rock'", "rock"},
        {"\"unbalanced", "\"unbalanced"},
        {std::string(10000, 'a'), std::string(255, 'a')},
        {"\"" + std::string(300, 'b') + "\"", std::string(255, 'b')},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE("[" + test.stored.substr(0, 20) + "]");
        WritePrivateProfileStringA("ml_kovra", "lastfilter", test.stored.c_str(),
                                   settings_.c_str());
        EXPECT_EQ(ReadBack("lastfilter"), test.read);
    }
}

TEST_F(SettingsTest, ATextIsStoredUpToItsFirstLineBreak) {
    const struct {
        std::string text, stored;
    } cases[] = {
        {"x\r\n[evil]\r\nkey=1", "x"},
        {"rock \nroll", "rock "},
        {"\r\n[evil]", ""},
    };
    for (const auto& test : cases) {
        WriteSettingText(file_, "lastfilter", test.text.c_str());
        EXPECT_EQ(ReadBack("lastfilter"), test.stored);
        char evil[16];
        GetPrivateProfileStringA("evil", "key", "none", evil, sizeof evil, settings_.c_str());
        EXPECT_STREQ(evil, "none");
    }
    EXPECT_EQ(testing_support::ReadFile(settings_).find("evil"), std::string::npos);
}

TEST_F(SettingsTest, PlainTextsAreWrittenPlain) {
    WriteSettingText(file_, "lastfilter", "pink floyd");
    WriteSettingText(file_, "other", "");
    const std::string file = testing_support::ReadFile(settings_);
    EXPECT_NE(file.find("lastfilter=pink floyd\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("other=\r\n"), std::string::npos) << file;
}

}  // namespace
