// The project's patch that reads texts a run at a time: what the parser builds
// and the places it reports stay as TinyXML builds them a character at a
// time, also across the patch's 256-byte text buffer.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

struct TextCase {
    const char* name;
    std::string xml;
    std::string value;  // the value of the first node of the document's first node, or its own
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.name;
}

std::string ExpectedWords(int pairs) {
    std::string out;
    for (int i = 0; i < pairs; ++i)
        out += i ? " ab cd" : "ab cd";
    return out;
}

const TextCase kTexts[] = {
    {"LongPlainRun", "<t>" + std::string(300, 'a') + "</t>", std::string(300, 'a')},
    // White space of any kind condenses to one space, leading and trailing go.
    {"CondensedWhiteSpace", "<t>  " + Repeat("ab \n\t cd ", 100) + "</t>", ExpectedWords(100)},
    // A single space between two plain characters is taken inside the run.
    {"SingleSpacesInsideRuns", "<t>" + Repeat("a b ", 100) + "c &amp; d \n e </t>",
     Repeat("a b ", 100) + "c & d e"},
    {"EntitiesAndUtf8BetweenRuns", "<t> x&amp;y \xC3\xA9&#x41;\xE2\x82\xAC  z </t>",
     "x&y \xC3\xA9"
     "A\xE2\x82\xAC z"},
    {"CommentWithDashes", "<!--" + Repeat("a-b--c", 60) + "-->", Repeat("a-b--c", 60)},
    {"CdataWithBrackets", "<t><![CDATA[" + Repeat("x]]y]", 80) + "]]></t>", Repeat("x]]y]", 80)},
    {"UnknownTag", "<!" + std::string(300, 'z') + ">", "!" + std::string(300, 'z')},
};

class TextRunTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextRunTest, BuildsTheTextAsACharacterAtATimeWould) {
    const TextCase& c = GetParam();
    TiXmlDocument document;
    document.Parse(c.xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    const TiXmlNode* node = document.FirstChild();
    ASSERT_NE(node, nullptr);
    if (node->FirstChild() != nullptr) {
        node = node->FirstChild();
    }
    EXPECT_EQ(std::string(node->Value()), c.value);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextRunTest, ::testing::ValuesIn(kTexts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextRuns, AttributeValuesKeepTheirWhiteSpace) {
    const std::string value = Repeat("p q\t\n\x01 ", 100);
    TiXmlDocument document;
    document.Parse(("<t a=\"" + value + "\"/>").c_str());
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    EXPECT_EQ(std::string(document.RootElement()->Attribute("a")), value);
}

// A UTF-8 character is one column, a tab moves to the next tab stop; without a
// declared encoding every byte is a column.
TEST(TextRuns, PlacesAfterALongTextAreCountedAsBefore) {
    const std::string xml = "<r>\n<t>" + Repeat("\xC3\xA9", 300) + "\tb</t><u/></r>";
    const struct {
        TiXmlEncoding encoding;
        int column;
    } cases[] = {{TIXML_ENCODING_UTF8, 310}, {TIXML_ENCODING_UNKNOWN, 610}};
    for (const auto& c : cases) {
        TiXmlDocument document;
        document.Parse(xml.c_str(), nullptr, c.encoding);
        ASSERT_FALSE(document.Error()) << document.ErrorDesc();
        const TiXmlElement* u = document.RootElement()->FirstChildElement("u");
        ASSERT_NE(u, nullptr);
        EXPECT_EQ(u->Row(), 2);
        EXPECT_EQ(u->Column(), c.column) << "encoding " << c.encoding;
    }
}

}  // namespace
