// The input format of the library fuzz targets: records of text fields, and
// rows made from them.
//
// An input is split at kRecordSeparator into records and each record at
// kFieldSeparator into fields. A field the record does not reach is absent (a
// null text, or a number's default); a present field may still be empty. Texts
// end at their first NUL, as C texts do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct LibraryItem;

constexpr char kFieldSeparator = '\x1F';
constexpr char kRecordSeparator = '\x1E';

using FuzzRecord = std::vector<std::string>;

std::vector<FuzzRecord> SplitRecords(const uint8_t* data, size_t size);

// The inverse of SplitRecords, for writing seeds.
std::string JoinRecords(const std::vector<FuzzRecord>& records);

// Null when the record has no field `index`.
const std::string* Field(const FuzzRecord& record, size_t index);

// The field read as an optional '-' and decimal digits, wrapping modulo 2^32,
// so that every int32_t value (INT_MIN included) can be written; `absent` when
// there is no such field.
int32_t FieldNumber(const FuzzRecord& record, size_t index, int32_t absent = 0);

// A malloc'ed copy of `text` up to its first NUL, in a block of exactly that
// size, so that the sanitizer sees any read past the terminator. Null for null.
char* MallocText(const std::string* text);

// The fields a row is read from, in this order, starting at some field of a
// record.
enum RowField {
    kRowArtist,
    kRowTitle,
    kRowAlbum,
    kRowLength,
    kRowTrack,
    kRowGenre,
    kRowYear,
    kRowFilename,
    kRowFieldCount
};

// A row (freed by FreeRow) from the fields of `record` from `first` on.
LibraryItem* RowFromFields(const FuzzRecord& record, size_t first);

class ItemList;

// Appends a row for each record from `first` on, at most `maxRows`: a record
// holding one empty field gives a null row, any other RowFromFields. The
// list owns nothing; the rows are also given back, in order, for checking.
std::vector<LibraryItem*> AppendRows(const std::vector<FuzzRecord>& records, size_t first,
                                     size_t maxRows, ItemList& list);

// Prints the message to stderr and aborts, so that libFuzzer keeps the input.
[[noreturn]] void FuzzFailure(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
