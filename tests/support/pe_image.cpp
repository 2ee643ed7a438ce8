// Reading import and export names out of a PE file, bounds-checked throughout.
#include "tests/support/pe_image.h"

#include <cstdint>
#include <cstring>

#include "tests/support/temp_dir.h"

namespace testing_support {

namespace {

class Image {
  public:
    explicit Image(std::string bytes) : bytes_(std::move(bytes)) {}

    bool Read32(size_t at, uint32_t& value) const { return Read(at, &value, 4); }
    bool Read16(size_t at, uint16_t& value) const { return Read(at, &value, 2); }

    // The file offset of a relative virtual address, through the section table.
    bool Offset(uint32_t rva, size_t& offset) const {
        for (uint16_t i = 0; i < sectionCount_; ++i) {
            const size_t header = sections_ + 40u * i;
            uint32_t size = 0, address = 0, raw = 0;
            if (!Read32(header + 8, size) || !Read32(header + 12, address) ||
                !Read32(header + 20, raw)) {
                return false;
            }
            if (rva >= address && rva < address + size) {
                offset = raw + (rva - address);
                return offset < bytes_.size();
            }
        }
        return false;
    }

    std::string Name(uint32_t rva) const {
        size_t at = 0;
        if (!Offset(rva, at))
            return {};
        const size_t end = bytes_.find('\0', at);
        return end == std::string::npos ? std::string() : bytes_.substr(at, end - at);
    }

    bool Parse(uint32_t directoryRva[2]) {
        uint32_t peOffset = 0, signature = 0;
        uint16_t optionalSize = 0, magic = 0;
        if (!Read32(0x3C, peOffset) || !Read32(peOffset, signature) || signature != 0x4550 ||
            !Read16(peOffset + 6, sectionCount_) || !Read16(peOffset + 20, optionalSize) ||
            !Read16(peOffset + 24, magic) || magic != 0x10B) {
            return false;
        }
        const size_t optional = peOffset + 24;
        sections_ = optional + optionalSize;
        // Data directories start 96 bytes into a PE32 optional header: export,
        // then import.
        return Read32(optional + 96, directoryRva[0]) && Read32(optional + 104, directoryRva[1]);
    }

  private:
    bool Read(size_t at, void* out, size_t size) const {
        if (at + size > bytes_.size())
            return false;
        std::memcpy(out, bytes_.data() + at, size);
        return true;
    }

    std::string bytes_;
    size_t sections_ = 0;
    uint16_t sectionCount_ = 0;
};

void ReadImports(const Image& image, uint32_t rva, PeNames& names) {
    size_t at = 0;
    if (rva == 0 || !image.Offset(rva, at))
        return;
    for (;; at += 20) {
        uint32_t nameRva = 0;
        if (!image.Read32(at + 12, nameRva) || nameRva == 0)
            return;
        names.importedDlls.push_back(image.Name(nameRva));
    }
}

void ReadExports(const Image& image, uint32_t rva, PeNames& names) {
    size_t at = 0;
    uint32_t count = 0, namesRva = 0;
    if (rva == 0 || !image.Offset(rva, at) || !image.Read32(at + 24, count) ||
        !image.Read32(at + 32, namesRva)) {
        return;
    }
    size_t table = 0;
    if (!image.Offset(namesRva, table))
        return;
    for (uint32_t i = 0; i < count && i < 4096; ++i) {
        uint32_t nameRva = 0;
        if (!image.Read32(table + 4u * i, nameRva))
            return;
        names.exports.push_back(image.Name(nameRva));
    }
}

}  // namespace

PeNames ReadPeNames(const std::string& path) {
    Image image(ReadFile(path));
    PeNames names;
    uint32_t directories[2] = {0, 0};
    if (!image.Parse(directories))
        return names;
    names.valid = true;
    ReadExports(image, directories[0], names);
    ReadImports(image, directories[1], names);
    return names;
}

}  // namespace testing_support
