// The progress line of a player read: when it is due, and its words.
#include "library/read_progress_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct PacingCase {
    const char* name;
    uint32_t start;
    std::vector<uint32_t> asks;  // the times Due is asked at, in order
    std::vector<bool> due;       // its answers
};

const PacingCase kPacing[] = {
    // A small player is read within the quiet stretch: no text at all.
    {"SmallPlayerShowsNothing", 1000, {1000, 1030, 1099}, {false, false, false}},
    {"FirstTextAfterTheQuietStretch", 1000, {1099, 1100, 1101}, {false, true, false}},
    // Reports come far more often than texts are painted.
    {"AtMostOneTextPerInterval",
     0,
     {120, 150, 219, 220, 221, 400, 450, 500},
     {true, false, false, true, false, true, false, true}},
    {"ALateFirstReportShowsAtOnce", 0, {5000, 5001, 5100}, {true, false, true}},
    // The tick count wraps after 49.7 days; a read across it is paced the same.
    {"ClockWrapsDuringTheRead",
     0xFFFFFFC0u,
     {0xFFFFFFF0u, 0x00000024u, 0x00000060u, 0x00000088u},
     {false, true, false, true}},
};

void PrintTo(const PacingCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadProgressPacing : public ::testing::TestWithParam<PacingCase> {};

TEST_P(ReadProgressPacing, TextsAreDueAsTheClockSays) {
    const PacingCase& c = GetParam();
    ReadProgressPacer pacer;
    pacer.Start(c.start);
    ASSERT_EQ(c.asks.size(), c.due.size());
    for (size_t i = 0; i < c.asks.size(); ++i) {
        EXPECT_EQ(pacer.Due(c.asks[i]), c.due[i]) << "asked at " << c.asks[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Reads, ReadProgressPacing, ::testing::ValuesIn(kPacing),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadProgressPacer, NothingIsDueOutsideARead) {
    ReadProgressPacer pacer;
    EXPECT_FALSE(pacer.Due(5000));  // never started
    pacer.Start(0);
    EXPECT_TRUE(pacer.Due(200));
    pacer.Stop();
    EXPECT_FALSE(pacer.Due(1000));
    // A new read starts quiet again, whatever the last one showed.
    pacer.Start(1000);
    EXPECT_FALSE(pacer.Due(1050));
    EXPECT_TRUE(pacer.Due(1100));
}

TEST(ReadProgressText, SaysHowManyOfHowManyFiles) {
    struct Case {
        int32_t read, named;
        const char* text;
    };
    const Case cases[] = {
        {12, 340, "Reading the player... 12 of 340 catalogue files"},
        {0, 0, "Reading the player... 0 of 0 catalogue files"},
        // Never "5 of 3": more may be named than are known so far.
        {5, 3, "Reading the player... 5 of 5 catalogue files"},
        {-1, -7, "Reading the player... 0 of 0 catalogue files"},
        {2147483647, 2147483647, "Reading the player... 2147483647 of 2147483647 catalogue files"},
    };
    for (const Case& c : cases) {
        char text[kReadProgressTextSize];
        FormatReadProgress(text, sizeof text, c.read, c.named);
        EXPECT_STREQ(text, c.text);
    }
    char small[10];
    FormatReadProgress(small, sizeof small, 1, 2);
    EXPECT_STREQ(small, "Reading t");
    char adding[kReadProgressTextSize];
    FormatAddingProgress(adding, sizeof adding, 1200, 5000);
    EXPECT_STREQ(adding, "Adding songs to the list... 1200 of 5000");
    FormatAddingProgress(adding, sizeof adding, 7, -1);
    EXPECT_STREQ(adding, "Adding songs to the list... 7 of 7");
}

}  // namespace
