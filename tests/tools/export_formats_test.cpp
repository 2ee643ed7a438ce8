// The export writers: CSV quoting, JSON escaping and repair of bytes that are
// not UTF-8, and the playlist's lines.
#include "tools/kovra-catalogue/export/export_formats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ExportRow RowWith(const char* title, const char* filename = "/MUSIC/a.mp3") {
    return ExportRow{{"Artist", title, "Album", nullptr, nullptr, "Genre", nullptr, filename},
                     {0, 0, 0, 215, 1, 0, 2003, 0}};
}

std::string Export(ExportFormat format, const std::vector<ExportRow>& rows) {
    std::string out;
    std::vector<LeftOutTrack> leftOut;
    WriteExport(format, rows, out, leftOut);
    EXPECT_TRUE(leftOut.empty());
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
    EXPECT_EQ(csv, std::string("\xEF\xBB\xBF"
                               "Artist,Title,Album,Length,Track #,Genre,Year,Filename\r\n"
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
                    TextCase{"Empty", "", ""},
                    // A spreadsheet may take it for a formula: the text is kept
                    // exact all the same.
                    TextCase{"LikeAFormula", "=SUM(A1:A2)", "=SUM(A1:A2)"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(Json, NoRowsIsAnEmptyArray) {
    EXPECT_EQ(Export(ExportFormat::Json, {}), "[]\n");
}

TEST(M3u8, ArtistAndTitleOnOneLine) {
    EXPECT_EQ(Export(ExportFormat::M3u8, {RowWith("Two\r\nLines \xE9\v\xC2\x85\xE2\x80\xA8\x85!")}),
              "#EXTM3U\n"
              "#EXTINF:215,Artist - Two  Lines \xE9   \x85!\n"
              "MUSIC/a.mp3\n");
}

// Each path as the playlist writes it, relative to the player's root, or, for a
// path no line of the playlist can hold, why the track is left out.
struct PathCase {
    const char* path;
    const char* line;  // null when left out
    const char* why;
};

TEST(M3u8, PathsAreLinesRelativeToThePlayerOrTheTrackIsLeftOut) {
    const PathCase cases[] = {
        {"/MUSIC/a.mp3", "MUSIC/a.mp3", nullptr},
        {"\\MUSIC\\b.mp3", "MUSIC\\b.mp3", nullptr},
        {"/#1 Hits/a.mp3", "./#1 Hits/a.mp3", nullptr},
        {"#EXT-X-ENDLIST", "./#EXT-X-ENDLIST", nullptr},
        {"/ spaced.mp3", "./ spaced.mp3", nullptr},
        {"/\xC2\xA0no-break.mp3", "./\xC2\xA0no-break.mp3", nullptr},
        {"/\xE3\x80\x80ideographic.mp3", "./\xE3\x80\x80ideographic.mp3", nullptr},
        {"/MUSIC/console.mp3", "MUSIC/console.mp3", nullptr},
        {"/MUSIC/../a.mp3", "MUSIC/../a.mp3", nullptr},
        {"/MUSIC/x:y.mp3", "MUSIC/x:y.mp3", nullptr},
        {"", nullptr, "names no audio file"},
        {"/", nullptr, "names no audio file"},
        {"/MUSIC/c\n.mp3", nullptr, "a line break in its path"},
        {"/MUSIC/c\r.mp3", nullptr, "a line break in its path"},
        {"/\vvertical.mp3", nullptr, "a line break in its path"},
        {"/MUSIC/c\xE2\x80\xA8.mp3", nullptr, "a line break in its path"},
        {"/MUSIC/c\x01.mp3", nullptr, "a control character in its path"},
        {"/MUSIC/nul.mp3", nullptr, "a Windows device name in its path"},
        {"/CON/a.mp3", nullptr, "a Windows device name in its path"},
        {"/MUSIC/Com1 .tar.mp3", nullptr, "a Windows device name in its path"},
        {"/MUSIC/lpt\xC2\xB9.mp3", nullptr, "a Windows device name in its path"},
        {"/MUSIC/./a.mp3", nullptr, "a name of dots only in its path"},
        {"/MUSIC/.../a.mp3", nullptr, "a name of dots only in its path"},
        {"http://example.com/a.mp3", nullptr, "a URL, off the player"},
        {"/file:///etc/passwd", nullptr, "a URL, off the player"},
        {"C:\\Windows\\a.mp3", nullptr, "a drive path, off the player"},
        {"/C:/a.mp3", nullptr, "a drive path, off the player"},
        {"//server/share/a.mp3", nullptr, "a network path, off the player"},
        {"\\\\server\\share\\a.mp3", nullptr, "a network path, off the player"},
        {"/../../etc/passwd", nullptr, "climbs out of the player"},
        {"/MUSIC/./../../a.mp3", nullptr, "climbs out of the player"},
        {"MUSIC\\..\\..\\a.mp3", nullptr, "climbs out of the player"},
    };
    for (const PathCase& c : cases) {
        std::string out;
        std::vector<LeftOutTrack> leftOut;
        WriteM3u8({RowWith("T", c.path)}, out, leftOut);
        if (c.line != nullptr) {
            EXPECT_EQ(out, std::string("#EXTM3U\n#EXTINF:215,Artist - T\n") + c.line + "\n")
                << c.path;
            EXPECT_TRUE(leftOut.empty()) << c.path;
        } else {
            EXPECT_EQ(out, "#EXTM3U\n") << c.path;
            ASSERT_EQ(leftOut.size(), 1u) << c.path;
            EXPECT_STREQ(leftOut[0].filename, c.path);
            EXPECT_EQ(leftOut[0].why.Text(), c.why) << c.path;
        }
    }
}

TEST(M3u8, LeftOutPathsArePrintedOnOneLine) {
    EXPECT_EQ(PrintablePath("/a\nb\r\x7F\xC3\xA9\\c\xE2\x80\xA9"),
              "/a\\x0Ab\\x0D\\x7F\xC3\xA9\\c\\xE2\\x80\\xA9");
}

}  // namespace
