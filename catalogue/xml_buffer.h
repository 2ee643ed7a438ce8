// The bytes of one catalogue file, prepared as the XML parser is to read them.
//
// One buffer serves every file of a load: it grows to the largest file and is
// never given back until the load ends, so reading a file allocates nothing
// once the buffer is big enough.
#pragma once

#include <cstddef>
#include <memory>

class XmlBuffer {
  public:
    XmlBuffer() = default;
    XmlBuffer(const XmlBuffer&) = delete;
    XmlBuffer& operator=(const XmlBuffer&) = delete;

    // Room for `size` bytes of a file at the returned address, plus the
    // padding Prepare writes after them. Earlier contents are lost.
    char* Reserve(size_t size);

    // Turns the `size` bytes written at Reserve's address into the text the
    // parser sees, as TinyXML's LoadFile prepares a file: the bytes up to the
    // first NUL, with CR LF and lone CR turned into LF, then NULs. Four NULs
    // follow the text, since the parser steps over a UTF-8 sequence by the
    // length its lead byte announces, even when the text ends inside it.
    void Prepare(size_t size);

    // Copies `size` bytes in and prepares them.
    void Assign(const char* bytes, size_t size);

    // The prepared text, NUL-terminated; "" before anything was prepared.
    const char* Text() const { return bytes_ ? bytes_.get() : ""; }
    // Its length in bytes, without the padding.
    size_t Size() const { return size_; }
    // How many bytes were given to Prepare: the file's size.
    size_t InputSize() const { return inputSize_; }

  private:
    std::unique_ptr<char[]> bytes_;
    size_t capacity_ = 0;
    size_t size_ = 0;
    size_t inputSize_ = 0;
};

// NULs after a prepared text (the terminator included).
constexpr size_t kXmlPadding = 4;
