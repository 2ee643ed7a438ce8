// Preparing a file's bytes for the XML parser in a buffer reused from file to
// file.
#include "catalogue/xml_buffer.h"

#include <cstring>

char* XmlBuffer::Reserve(size_t size) {
    if (capacity_ < size + kXmlPadding) {
        bytes_.reset();  // the old contents are not kept: no need to hold both blocks at once
        bytes_.reset(new char[size + kXmlPadding]);
        capacity_ = size + kXmlPadding;
    }
    size_ = 0;
    inputSize_ = 0;
    bytes_[0] = 0;
    return bytes_.get();
}

void XmlBuffer::Prepare(size_t size) {
    char* bytes = bytes_.get();
    const char* nul = static_cast<const char*>(std::memchr(bytes, 0, size));
    const size_t length = nul != nullptr ? static_cast<size_t>(nul - bytes) : size;
    size_t out = length;
    if (std::memchr(bytes, '\r', length) != nullptr) {
        out = 0;
        for (size_t in = 0; in < length; ++in) {
            if (bytes[in] == '\r') {
                bytes[out++] = '\n';
                if (in + 1 < length && bytes[in + 1] == '\n') {
                    ++in;
                }
            } else {
                bytes[out++] = bytes[in];
            }
        }
    }
    std::memset(bytes + out, 0, kXmlPadding);
    size_ = out;
    inputSize_ = size;
}

void XmlBuffer::Assign(const char* bytes, size_t size) {
    char* into = Reserve(size);
    if (size > 0) {
        std::memcpy(into, bytes, size);
    }
    Prepare(size);
}
