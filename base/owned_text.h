// A text field of a catalogue record: its own heap copy of a text, or none.
#pragma once

#include <cstring>
#include <memory>

// None and the empty text are different values: Get() is null for none and
// "" for the empty text.
class OwnedText {
  public:
    OwnedText() = default;
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;

    // Releases the old text, then keeps a copy of text, or none when text is null.
    void Set(const char* text) {
        if (text == nullptr) {
            copy_.reset();
            return;
        }
        const size_t size = std::strlen(text) + 1;
        std::unique_ptr<char[]> copy(new char[size]);
        std::memcpy(copy.get(), text, size);
        copy_ = std::move(copy);
    }

    const char* Get() const { return copy_.get(); }

  private:
    std::unique_ptr<char[]> copy_;
};
