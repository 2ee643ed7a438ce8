// The host's item records: the format in which rows cross to and from the host.
#pragma once

#include <cstddef>
#include <cstdint>

// One item, ten 32-bit words in the 32-bit build. Texts point at
// NUL-terminated 8-bit strings and may be null. Records that come from the
// host are read only; records the plug-in makes borrow its rows' texts.
struct HostItemRecord {
    const char* filename;  // slot 0
    const char* title;     // slot 1
    const char* album;     // slot 2
    const char* artist;    // slot 3
    int32_t unused4;       // slot 4: left zero, ignored
    const char* genre;     // slot 5
    int32_t year;          // slot 6
    int32_t track;         // slot 7
    int32_t length;        // slot 8, seconds
    int32_t unused9;       // slot 9: left zero, ignored
};

// A counted array of records, as the host sends and receives it.
struct HostItemRecordList {
    HostItemRecord* records;  // made by EnsureRecords, freed by FreeRecords
    int32_t count;
    int32_t capacity;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(HostItemRecord) == 40, "ten 32-bit words");
static_assert(offsetof(HostItemRecord, genre) == 20, "genre is slot 5");
static_assert(offsetof(HostItemRecord, length) == 32, "length is slot 8");
static_assert(sizeof(HostItemRecordList) == 12, "records, count, capacity");
#endif

// Makes room for `needed` records. Nothing happens when needed < capacity or
// needed < count; otherwise the array is resized to needed + extra records.
// When that fails the array is freed and the list left empty (count and
// capacity 0), so that no caller can hand the host a count without records.
void EnsureRecords(HostItemRecordList& list, int32_t needed, int32_t extra);

// Frees the record array (never the texts it points at) and empties the list.
void FreeRecords(HostItemRecordList& list);
