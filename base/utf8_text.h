// Well-formed UTF-8: which bytes of a text belong to a valid sequence.
#pragma once

#include <cstddef>
#include <cstdint>

// The length (1 to 4) of the well-formed UTF-8 sequence that starts at `text`,
// or 0 when the byte there does not start one: a stray continuation byte, a
// lead byte that cannot start a sequence (C0, C1, F5-FF), a sequence cut short
// (by the NUL too), an overlong form, a surrogate or a code point above
// U+10FFFF. `text` is NUL-terminated; the NUL itself counts as a sequence of 1.
size_t Utf8SequenceLength(const char* text);

// One character of a text: its code point and the bytes of its sequence.
struct Utf8Character {
    uint32_t point;
    size_t length;  // Utf8SequenceLength's: 0 where no well-formed sequence starts
};

// The character whose well-formed sequence starts at the NUL-terminated
// `text`; {0, 0} when none does.
Utf8Character Utf8CharacterAt(const char* text);

// The offset of the first byte of the NUL-terminated `text` that belongs to no
// well-formed sequence, or SIZE_MAX when every byte does.
size_t FirstInvalidUtf8(const char* text);

// True when the NUL-terminated `text` holds a byte above 0x7F and is valid
// UTF-8 throughout: a name that the system's 8-bit (code page) functions would
// read as other characters. Plain ASCII and texts in some other 8-bit encoding
// give false.
bool IsNonAsciiUtf8(const char* text);

// Where to cut the NUL-terminated `text`, longer than `limit` bytes, to keep at
// most `limit`: at the start of the sequence that would be split, when
// everything before it is well-formed UTF-8 and so is the split sequence;
// otherwise at `limit`, since a text in some other encoding has no sequences to
// keep whole.
size_t Utf8CutPoint(const char* text, size_t limit);
