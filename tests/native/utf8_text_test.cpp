// The characters of a text as base/utf8_text.h decodes them.
#include "base/utf8_text.h"

#include <gtest/gtest.h>

TEST(Utf8CharacterAt, DecodesWellFormedSequencesOnly) {
    const struct {
        const char* text;
        uint32_t point;
        size_t length;
    } cases[] = {
        {"A", 0x41, 1},
        {"", 0, 1},                        // the NUL is a character of its own
        {"\xC3\xA9", 0xE9, 2},             // é
        {"\xE2\x80\xA8", 0x2028, 3},       // LINE SEPARATOR
        {"\xF0\x9F\x8E\xB5", 0x1F3B5, 4},  // a musical note
        {"\x85", 0, 0},                    // a stray continuation byte
        {"\xE2\x80", 0, 0},                // cut short by the NUL
        {"\xC0\x80", 0, 0},                // overlong
        {"\xED\xA0\x80", 0, 0},            // a surrogate
    };
    for (const auto& c : cases) {
        const Utf8Character character = Utf8CharacterAt(c.text);
        EXPECT_EQ(character.point, c.point) << c.text;
        EXPECT_EQ(character.length, c.length) << c.text;
    }
}
