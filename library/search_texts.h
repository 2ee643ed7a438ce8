// The library's searched texts, lowered and laid end to end in library order,
// so that a filter pass reads one compact run of bytes instead of every row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ItemList;
struct LibraryItem;

// Per row: the columns that search looks at (library/columns.h), texts as
// they are and numbers as their cells show them, each with A-Z lowered and
// ended by a NUL, so that no term (which holds no NUL) is found across two
// fields. Also each
// row's length and the total of all lengths. The owner keeps it in step with
// the library list; rows never change once there, so only new rows are read.
class SearchTexts {
  public:
    // Adds the rows of `library` past the ones already here (rows enter the
    // library only at its end). False, with every row added so far kept
    // whole, when memory runs out.
    bool CatchUp(const ItemList& library);

    // Forgets every row, as when the library is cleared.
    void Clear();

    int32_t Rows() const { return static_cast<int32_t>(ends_.size()); }

    // The searched bytes of row `index`: its searched fields, NULs included.
    const char* Begin(int32_t index) const;
    const char* End(int32_t index) const { return bytes_.data() + ends_[index]; }

    uint32_t Seconds(int32_t index) const { return seconds_[index]; }

    // Lengths of all rows, wrapping at 2^32 as the status line's sums do.
    uint32_t TotalSeconds() const { return totalSeconds_; }

    // How often `byte` occurs in the texts: a search looks for a term's
    // rarest byte first.
    uint32_t ByteCount(unsigned char byte) const { return byteCounts_[byte]; }

    // Bytes held, for measuring.
    size_t Footprint() const;

  private:
    void AddRow(const LibraryItem* row);
    void AppendLowered(const char* text);

    std::vector<char> bytes_;
    std::vector<uint32_t> ends_;     // one past each row's last byte
    std::vector<uint32_t> seconds_;  // each row's length, as the sums take it
    uint32_t totalSeconds_ = 0;
    uint32_t byteCounts_[256] = {};
};

// 1 when the lowered `term` (length > 0, no NUL) occurs in [begin, end).
bool ContainsLowered(const char* begin, const char* end, const char* term, size_t length);
