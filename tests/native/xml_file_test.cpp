// The nesting guard in front of the XML parser, and the reading of files.
#include "catalogue/xml_file.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

int Depth(const std::string& bytes, int limit = 1000) {
    const std::string text = PrepareXmlText(bytes.data(), bytes.size());
    return XmlNestingDepth(text.c_str(), limit);
}

// How deep the parser actually went: the depth of the tree it built.
int ParsedDepth(const std::string& bytes) {
    const std::string text = PrepareXmlText(bytes.data(), bytes.size());
    TiXmlDocument document;
    document.Parse(text.c_str());
    int deepest = 0;
    std::vector<std::pair<const TiXmlNode*, int>> pending{{&document, 0}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling()) {
            const int childDepth = depth + (child->ToElement() ? 1 : 0);
            deepest = std::max(deepest, childDepth);
            pending.emplace_back(child, childDepth);
        }
    }
    return deepest;
}

struct DepthCase {
    const char* name;
    std::string text;
    int depth;
};

void PrintTo(const DepthCase& c, std::ostream* out) {
    *out << c.name;
}

class NestingDepthTest : public ::testing::TestWithParam<DepthCase> {};

TEST_P(NestingDepthTest, CountsWhatTheParserNests) {
    const DepthCase& c = GetParam();
    EXPECT_EQ(Depth(c.text), c.depth);
    EXPECT_LE(ParsedDepth(c.text), Depth(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NestingDepthTest,
    ::testing::Values(
        DepthCase{"Empty", "", 0}, DepthCase{"OneElement", "<a/>", 1},
        DepthCase{"Siblings", "<a><b/><b></b><b>t</b></a>", 2},
        DepthCase{"Declaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a><b/></a>", 2},
        DepthCase{"CommentHidesTags", "<a><!-- <b><c><d> --></a>", 1},
        DepthCase{"CdataHidesTags", "<a><![CDATA[<b><c><d>]]></a>", 1},
        DepthCase{"QuotedAttributeHidesTags", "<a x=\"<b><c>\" y='<d>'><e/></a>", 2},
        DepthCase{"UnknownMarkup", "<!DOCTYPE a><a><!b><?pi x?></a>", 1},
        DepthCase{"EndTagsClose", "<a><b></b><b><c/></b></a>", 3},
        DepthCase{"ParserStopsAtAnotherElementsEndTag", "<a></b><c><d><e/></d></c></a>", 1},
        DepthCase{"EndTagMayEndInSpace", "<a><b></b  ><c/></a >", 2},
        DepthCase{"ParserStopsAtADuplicateAttribute", "<a x='1' x='2'><b><c/></b></a>", 1},
        DepthCase{"TextAfterRootStops", "<a/>text<b><c/></b>", 1},
        // A character reference swallows everything up to its ';'.
        DepthCase{"ReferenceSwallowsTags", "<a>&#<b><c><d>#65;</a>", 1},
        DepthCase{"HexReferenceSwallowsTags", "<a>&#x<b><c>x41;<e/></a>", 2},
        // In UTF-8 a lead byte takes the next bytes with it, '<' or not.
        DepthCase{"Utf8LeadSwallowsTag", "<?xml version=\"1.0\"?><a>\xE0<b<c/></a>", 2},
        DepthCase{"LegacyLeadSwallowsNothing",
                  "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE0<b/></a>", 2},
        DepthCase{"BomMeansUtf8", "\xEF\xBB\xBF<a>\xE0<b<c/></a>", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NestingDepth, StopsCountingPastTheLimit) {
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<x>";
    EXPECT_EQ(Depth(deep, kMaxXmlNesting), kMaxXmlNesting + 1);
}

TEST(NestingDepth, DecodesReferencesInTheDeclaredEncodingAsTheParserDoes) {
    // In UTF-8 the lead byte 0xE0 swallows "<b", so only a, c and d nest;
    // in any other encoding <b> opens too.
    const std::string body = "<a>\xE0<b><c><d/></c></a>";
    const struct {
        const char* encoding;
        int depth;
    } cases[] = {
        {"UTF-8", 3},
        {"&#85;TF-8", 3},  // "&#85;" is 'U'
        {"U&zz;TF-8", 4},  // an unknown reference loses only its '&'
        {"&#85;&#84;&#70;-8", 3},
        {"&#x55;TF8", 3},
        {"Latin-1", 4},
        {"&#76;atin-1", 4},
    };
    for (const auto& c : cases) {
        const std::string text =
            std::string("<?xml version=\"1.0\" encoding=\"") + c.encoding + "\"?>" + body;
        EXPECT_EQ(Depth(text), c.depth) << c.encoding;
        EXPECT_EQ(ParsedDepth(text), c.depth) << c.encoding;
    }
}

// Mutations of a catalogue-like text: the guard must never count less than
// the parser nests, whatever the bytes.
TEST(NestingDepth, NeverBelowWhatTheParserBuildsOnMutatedTexts) {
    const std::string seed =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<mpv a=\"1\"><!-- c --><mpv:AssetList>"
        "<mpv:Audio><dc:title>Caf\xC3\xA9 &amp; &#x41; &#66;</dc:title><![CDATA[<x>]]>"
        "<e x='<'/></mpv:Audio></mpv:AssetList></mpv>";
    const char alphabet[] = "<>/!?-[]&#x;'\"= a\xC3\xE0\xF0\r\n";
    unsigned state = 7;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int round = 0; round < 20000; ++round) {
        std::string text = seed;
        const int edits = 1 + next() % 6;
        for (int e = 0; e < edits; ++e) {
            const size_t at = next() % (text.size() + 1);
            const char c = alphabet[next() % (sizeof alphabet - 1)];
            switch (next() % 3) {
                case 0:
                    text.insert(at, 1, c);
                    break;
                case 1:
                    if (at < text.size())
                        text[at] = c;
                    break;
                default:
                    if (at < text.size())
                        text.erase(at, 1);
                    break;
            }
        }
        ASSERT_LE(ParsedDepth(text), Depth(text)) << text;
    }
}

TEST(PrepareXmlText, EndsAtNulAndNormalisesLineEnds) {
    const std::string bytes("a\r\nb\rc\nd\0e", 10);
    const std::string text = PrepareXmlText(bytes.data(), bytes.size());
    EXPECT_STREQ(text.c_str(), "a\nb\nc\nd");
}

TEST(LoadXmlFile, MissingAndEmptyFilesGiveNoRoot) {
    testing_support::TempDir dir;
    dir.Write("empty.xml", "");
    TiXmlDocument document;
    LoadXmlFile(document, (dir.Path() / "missing.xml").string().c_str());
    EXPECT_EQ(document.RootElement(), nullptr);
    LoadXmlFile(document, (dir.Path() / "empty.xml").string().c_str());
    EXPECT_EQ(document.RootElement(), nullptr);
}

TEST(LoadXmlFile, ReadsWhatTheParserReads) {
    testing_support::TempDir dir;
    dir.Write("ok.xml", "<?xml version=\"1.0\"?>\r\n<root><child>text</child></root>");
    TiXmlDocument document;
    LoadXmlFile(document, (dir.Path() / "ok.xml").string().c_str());
    ASSERT_NE(document.RootElement(), nullptr);
    EXPECT_STREQ(document.RootElement()->FirstChild("child")->FirstChild()->Value(), "text");
}

TEST(LoadXmlFile, ADirectoryIsNoFile) {
    testing_support::TempDir dir;
    TiXmlDocument document;
    LoadXmlFile(document, dir.Path().string().c_str());
    EXPECT_EQ(document.RootElement(), nullptr);
}

}  // namespace
