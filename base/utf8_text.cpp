// Well-formed UTF-8, after the table of well-formed byte sequences in the
// Unicode standard.
#include "base/utf8_text.h"

namespace {

bool IsContinuation(unsigned char byte) {
    return byte >= 0x80 && byte <= 0xBF;
}

// The range the second byte must lie in after `lead`; the later bytes are plain
// continuations. Narrower ranges shut out overlong forms (E0, F0), surrogates
// (ED) and values past U+10FFFF (F4).
void SecondByteRange(unsigned char lead, unsigned char& low, unsigned char& high) {
    low = 0x80;
    high = 0xBF;
    if (lead == 0xE0) {
        low = 0xA0;
    } else if (lead == 0xED) {
        high = 0x9F;
    } else if (lead == 0xF0) {
        low = 0x90;
    } else if (lead == 0xF4) {
        high = 0x8F;
    }
}

size_t SequenceLengthOfLead(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

}  // namespace

size_t Utf8SequenceLength(const char* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const size_t length = SequenceLengthOfLead(bytes[0]);
    if (length <= 1) {
        return length;
    }
    unsigned char low = 0;
    unsigned char high = 0;
    SecondByteRange(bytes[0], low, high);
    if (bytes[1] < low || bytes[1] > high) {
        return 0;
    }
    // A NUL is no continuation byte, so the walk never passes the end of the
    // text.
    for (size_t i = 2; i < length; ++i) {
        if (!IsContinuation(bytes[i])) {
            return 0;
        }
    }
    return length;
}

Utf8Character Utf8CharacterAt(const char* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const size_t length = Utf8SequenceLength(text);
    if (length <= 1) {
        return {length == 1 ? bytes[0] : 0u, length};
    }
    // The bits a lead byte gives the code point, by the sequence's length.
    static const unsigned char kLeadBits[] = {0, 0, 0x1F, 0x0F, 0x07};
    uint32_t point = bytes[0] & kLeadBits[length];
    for (size_t i = 1; i < length; ++i) {
        point = (point << 6) | (bytes[i] & 0x3F);
    }
    return {point, length};
}

size_t FirstInvalidUtf8(const char* text) {
    size_t at = 0;
    while (text[at] != 0) {
        const size_t length = Utf8SequenceLength(text + at);
        if (length == 0) {
            return at;
        }
        at += length;
    }
    return SIZE_MAX;
}

bool IsNonAsciiUtf8(const char* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t at = 0;
    while (bytes[at] != 0 && bytes[at] < 0x80) {
        ++at;
    }
    return bytes[at] != 0 && FirstInvalidUtf8(text + at) == SIZE_MAX;
}

size_t Utf8CutPoint(const char* text, size_t limit) {
    size_t at = 0;
    while (at < limit && text[at] != 0) {
        const size_t length = Utf8SequenceLength(text + at);
        if (length == 0) {
            return limit;
        }
        if (at + length > limit) {
            return at;
        }
        at += length;
    }
    return limit;
}
