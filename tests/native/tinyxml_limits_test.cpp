// The parse limits the project's patch adds to TinyXML: past each one the
// parser stops with its own error and keeps what it built before.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

std::string Nested(int levels, const std::string& inner = "") {
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += "<x>";
    text += inner;
    for (int i = 0; i < levels; ++i)
        text += "</x>";
    return text;
}

std::string Attributes(int count) {
    std::string text = "<e";
    for (int i = 0; i < count; ++i)
        text += " a" + std::to_string(i) + "=''";
    return text + "/>";
}

std::string Siblings(int count) {
    std::string text = "<r>";
    for (int i = 0; i < count; ++i)
        text += "<e/>";
    return text + "</r>";
}

struct LimitCase {
    const char* name;
    std::string within;  // parses without error
    std::string past;    // stops with `error`
    int error;
};

void PrintTo(const LimitCase& c, std::ostream* out) {
    *out << c.name;
}

class ParseLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ParseLimitTest, StopsWithItsErrorJustPastTheLimit) {
    const LimitCase& c = GetParam();
    TiXmlDocument within;
    within.Parse(c.within.c_str());
    EXPECT_FALSE(within.Error()) << within.ErrorDesc();
    TiXmlDocument past;
    past.Parse(c.past.c_str());
    EXPECT_EQ(past.ErrorId(), c.error) << past.ErrorDesc();
    EXPECT_GT(past.ErrorRow(), 0);
}

INSTANTIATE_TEST_SUITE_P(Limits, ParseLimitTest,
                         ::testing::Values(LimitCase{"Nesting", Nested(TIXML_MAX_ELEMENT_DEPTH),
                                                     Nested(TIXML_MAX_ELEMENT_DEPTH + 1),
                                                     TiXmlBase::TIXML_ERROR_NESTING_TOO_DEEP},
                                           LimitCase{"Attributes", Attributes(TIXML_MAX_ATTRIBUTES),
                                                     Attributes(TIXML_MAX_ATTRIBUTES + 1),
                                                     TiXmlBase::TIXML_ERROR_TOO_MANY_ATTRIBUTES},
                                           // The root element counts as one
                                           // node.
                                           LimitCase{"Nodes", Siblings(TIXML_MAX_NODES - 1),
                                                     Siblings(TIXML_MAX_NODES),
                                                     TiXmlBase::TIXML_ERROR_TOO_MANY_NODES}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseLimits, AttributesCountAsNodes) {
    std::string text = "<r>";
    const int elements = TIXML_MAX_NODES / TIXML_MAX_ATTRIBUTES + 1;
    for (int i = 0; i < elements; ++i)
        text += Attributes(TIXML_MAX_ATTRIBUTES - 1);
    TiXmlDocument document;
    document.Parse((text + "</r>").c_str());
    EXPECT_EQ(document.ErrorId(), TiXmlBase::TIXML_ERROR_TOO_MANY_NODES);
}

TEST(ParseLimits, WhatCameBeforeTheStopIsKept) {
    TiXmlDocument document;
    document.Parse(("<r><first>kept</first>" + Nested(100000) + "<last/></r>").c_str());
    EXPECT_EQ(document.ErrorId(), TiXmlBase::TIXML_ERROR_NESTING_TOO_DEEP);
    ASSERT_NE(document.RootElement(), nullptr);
    const TiXmlNode* first = document.RootElement()->FirstChild("first");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->FirstChild()->Value(), "kept");
    EXPECT_EQ(document.RootElement()->FirstChild("last"), nullptr);
}

TEST(ParseLimits, ALaterParseStartsAfresh) {
    TiXmlDocument document;
    document.Parse(Nested(TIXML_MAX_ELEMENT_DEPTH + 1).c_str());
    document.Parse(Nested(TIXML_MAX_ELEMENT_DEPTH).c_str());
    EXPECT_FALSE(document.Error());
}

}  // namespace
