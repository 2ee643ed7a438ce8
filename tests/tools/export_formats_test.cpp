// The export writers: CSV quoting, JSON escaping and repair of bytes that are not UTF-8, and the
// playlist's lines.
#include "tools/export_formats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ExportRow RowWith(const char* title, const char* filename = "/MUSIC/a.mp3") {
    return ExportRow{"Artist", title, "Album", 215, 1, "Genre", 2003, filename};
}

std::string Export(ExportFormat format, const std::vector<ExportRow>& rows) {
    std::string out;
    WriteExport(format, rows, out);
    return out;
}

struct TextCase {
    const char* name;
    const char* title;
    const char* written;  // the title as the format writes it
};

class JsonTitle : public testing::TestWithParam<TextCase> {};

TEST_P(JsonTitle, IsEscapedAndEachBadByteReplaced) {
    const std::string json = Export(ExportFormat::Json, {RowWith(GetParam().title)});
    EXPECT_NE(json.find(std::string("\"Title\": \"") + GetParam().written + "\","),
              std::string::npos)
        << json;
}

#define FFFD "\xEF\xBF\xBD"
INSTANTIATE_TEST_SUITE_P(
    Texts, JsonTitle,
    testing::Values(
        TextCase{"Utf8Kept", "Caf\xC3\xA9 \xF0\x9F\x8E\xB5", "Caf\xC3\xA9 \xF0\x9F\x8E\xB5"},
        TextCase{"Latin1Byte", "Caf\xE9!", "Caf" FFFD "!"},
        TextCase{"CutShort",
                 "\xE2\x82"
                 "x",
                 FFFD FFFD "x"},
        TextCase{"CutByTheEnd", "x\xF0\x9F\x8E", "x" FFFD FFFD FFFD},
        TextCase{"Overlong", "\xC0\xAF", FFFD FFFD},
        TextCase{"OverlongThreeBytes", "\xE0\x80\xAF", FFFD FFFD FFFD},
        TextCase{"Surrogate", "\xED\xA0\x80", FFFD FFFD FFFD},
        TextCase{"BeyondUnicode", "\xF4\x90\x80\x80", FFFD FFFD FFFD FFFD},
        TextCase{"StrayContinuation", "\x80\xBF", FFFD FFFD},
        TextCase{"Escapes", "a\"b\\c\n\r\t\x01\x7F", "a\\\"b\\\\c\\n\\r\\t\\u0001\x7F"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

class CsvTitle : public testing::TestWithParam<TextCase> {};

TEST_P(CsvTitle, IsQuotedOnlyWhenItMustBe) {
    const std::string csv = Export(ExportFormat::Csv, {RowWith(GetParam().title)});
    EXPECT_EQ(csv, std::string("Artist,Title,Album,Length,Track #,Genre,Year,Filename\r\n"
                               "Artist,") +
                       GetParam().written + ",Album,215,1,Genre,2003,/MUSIC/a.mp3\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CsvTitle,
    testing::Values(TextCase{"Plain", "Plain 'text' ; here", "Plain 'text' ; here"},
                    TextCase{"BytesKept", "Caf\xE9 \xFF", "Caf\xE9 \xFF"},
                    TextCase{"Comma", "a,b", "\"a,b\""},
                    TextCase{"Quotes", "say \"hi\"", "\"say \"\"hi\"\"\""},
                    TextCase{"LineBreaks", "one\r\ntwo\nthree", "\"one\r\ntwo\nthree\""},
                    TextCase{"Empty", "", ""}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(Json, NoRowsIsAnEmptyArray) {
    EXPECT_EQ(Export(ExportFormat::Json, {}), "[]\n");
}

TEST(M3u8, OneEntryPerPlayableTrackWithPathsFromTheRoot) {
    const std::vector<ExportRow> rows = {
        RowWith("Two\r\nLines \xE9"),
        RowWith("No path", ""),
        RowWith("Back slashes", "\\MUSIC\\b.mp3"),
        RowWith("Broken path", "/MUSIC/c\n.mp3"),
    };
    EXPECT_EQ(Export(ExportFormat::M3u8, rows),
              "#EXTM3U\n"
              "#EXTINF:215,Artist - Two  Lines \xE9\n"
              "MUSIC/a.mp3\n"
              "#EXTINF:215,Artist - Back slashes\n"
              "MUSIC\\b.mp3\n");
}

}  // namespace
