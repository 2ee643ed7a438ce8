// Sort keys of texts and their per-row derived form.
#include "library/sort_key.h"

#include "base/ascii_text.h"
#include "library/library_item.h"

namespace {

const char* KeyStart(const char* text, uint8_t skip) {
    return skip == kSkipUnknown ? SortKey(text) : text + skip;
}

}  // namespace

const char* SortKey(const char* text) {
    if (text == nullptr) {
        return "";
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0 && !IsAsciiLetterOrDigit(*p)) {
        ++p;
    }
    // Short-circuiting stops at the terminator, so a short text is never read past its end.
    if (AsciiLower(p[0]) == 't' && AsciiLower(p[1]) == 'h' && AsciiLower(p[2]) == 'e' &&
        p[3] == ' ') {
        p += 4;
    }
    while (*p == ' ') {
        ++p;
    }
    return reinterpret_cast<const char*>(p);
}

int CompareKeys(const char* a, const char* b) {
    return AsciiCompareNoCase(SortKey(a), SortKey(b));
}

const char* KeyText(const LibraryItem& row, int textKey) {
    switch (textKey) {
        case kTextKeyArtist:
            return row.artist;
        case kTextKeyTitle:
            return row.title;
        case kTextKeyAlbum:
            return row.album;
        default:
            return row.genre;
    }
}

RowSortKeys DeriveSortKeys(const LibraryItem& row, uint32_t position) {
    RowSortKeys keys{};
    keys.entry = position + 1;
    for (int i = 0; i < kTextKeyCount; ++i) {
        const char* text = KeyText(row, i);
        if (text == nullptr) {
            continue;  // the empty key: head 0, skip 0
        }
        const char* key = SortKey(text);
        const auto skip = static_cast<uint32_t>(key - text);
        keys.skip[i] = skip < kSkipUnknown ? static_cast<uint8_t>(skip) : kSkipUnknown;
        const auto* k = reinterpret_cast<const unsigned char*>(key);
        const unsigned second = k[0] != 0 ? AsciiLower(k[1]) : 0;
        keys.head[i] = static_cast<uint16_t>((AsciiLower(k[0]) << 8) | second);
    }
    return keys;
}

RowSortKeys SortKeysOf(const LibraryItem& row) {
    if (row.sortKeys.entry != 0) {
        return row.sortKeys;
    }
    RowSortKeys keys = DeriveSortKeys(row, 0);
    keys.entry = 0;  // no place in the library to keep
    return keys;
}

int CompareTextKeys(const LibraryItem& a, const RowSortKeys& keysA, const LibraryItem& b,
                    const RowSortKeys& keysB, int textKey) {
    const unsigned headA = keysA.head[textKey];
    const unsigned headB = keysB.head[textKey];
    if (headA != headB) {
        return headA < headB ? -1 : 1;
    }
    if ((headA & 0xFF) == 0) {
        return 0;  // both keys end within their equal heads
    }
    // Both keys run on past two equal bytes: only the rest can differ.
    const char* restA = KeyStart(KeyText(a, textKey), keysA.skip[textKey]) + 2;
    const char* restB = KeyStart(KeyText(b, textKey), keysB.skip[textKey]) + 2;
    return AsciiCompareNoCase(restA, restB);
}
