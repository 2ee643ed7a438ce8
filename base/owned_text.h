// A text field of a catalogue record: its own heap copy of a text, or none.
#pragma once

#include <memory>
#include <new>

#include "base/text_copy.h"

// None and the empty text are different values: Get() is null for none and
// "" for the empty text.
class OwnedText {
  public:
    OwnedText() = default;
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;

    // Releases the old text, then keeps a copy of text, or none when text is
    // null. Throws std::bad_alloc when memory runs out, as the catalogue's
    // other allocations do.
    void Set(const char* text) {
        char* copy = CopyText(text);
        if (copy == nullptr && text != nullptr) {
            throw std::bad_alloc();
        }
        copy_.reset(copy);
    }

    const char* Get() const { return copy_.get(); }

  private:
    struct Release {
        void operator()(char* text) const { FreeText(text); }
    };
    std::unique_ptr<char, Release> copy_;
};
