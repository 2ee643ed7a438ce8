// Reading catalogue files, with the nesting guard that protects the parser.
#include "catalogue/xml_file.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <tinyxml.h>

#include "base/ascii_text.h"

namespace {

// ---------------------------------------------------------------------------
// The nesting scanner. It follows the parser through the same text, rule for
// rule, but keeps a depth counter where the parser keeps a call stack. Only
// the rules that decide where markup begins and ends matter here: a '<' that
// the parser swallows (inside a comment, an attribute value, a multi-byte
// character or a numeric character reference) must be swallowed here too.

// The terminator and three more NULs: the parser steps over a UTF-8 sequence
// by the length its lead byte announces, even when the text ends inside it.
constexpr size_t kXmlPadding = 4;

enum class Encoding { Unknown, Utf8, Legacy };

bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The parser takes every byte from 127 up for a letter.
bool IsNameStart(unsigned char c) {
    return c >= 127 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsNameChar(unsigned char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

bool IsHexDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Bytes a character takes in UTF-8, by its lead byte, as the parser's table has it.
int Utf8Length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 1;
}

// An attribute value as the parser hands it over before it knows the
// encoding: character references become the one byte they name, the five
// named ones their character, and any other '&' is dropped. The value was
// already scanned, so every reference in it is complete.
std::string DecodeReferences(const std::string& raw) {
    static const char* const kNamed[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    static const char kNamedCharacters[] = {'&', '<', '>', '"', '\''};
    std::string decoded;
    for (size_t at = 0; at < raw.size();) {
        if (raw[at] != '&') {
            decoded.push_back(raw[at++]);
            continue;
        }
        if (at + 2 < raw.size() && raw[at + 1] == '#') {
            const bool hex = raw[at + 2] == 'x';
            const size_t semicolon = raw.find(';', at + (hex ? 3 : 2));
            if (semicolon == std::string::npos) {
                break;
            }
            unsigned long code = 0;
            unsigned long scale = 1;
            for (size_t q = semicolon - 1; raw[q] != (hex ? 'x' : '#');
                 --q, scale *= hex ? 16 : 10) {
                const char c = raw[q];
                const unsigned long digit = (c >= '0' && c <= '9')   ? c - '0'
                                            : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                                                     : c - 'A' + 10;
                code += scale * digit;
            }
            decoded.push_back(static_cast<char>(code));
            at = semicolon + 1;
            continue;
        }
        size_t named = 0;
        while (named < 5 && raw.compare(at, std::strlen(kNamed[named]), kNamed[named]) != 0) {
            ++named;
        }
        if (named < 5) {
            decoded.push_back(kNamedCharacters[named]);
            at += std::strlen(kNamed[named]);
        } else {
            ++at;  // an '&' the parser does not know is dropped
        }
    }
    return decoded;
}

// A name as a span of the scanned text.
struct Name {
    const unsigned char* start = nullptr;
    size_t length = 0;
    bool operator==(const Name& other) const {
        return length == other.length && std::memcmp(start, other.start, length) == 0;
    }
};

class NestingScanner {
  public:
    NestingScanner(const char* text, int limit)
        : p_(reinterpret_cast<const unsigned char*>(text)), limit_(limit) {}

    int Run();

  private:
    enum class StartTag { Open, Empty, Failed };

    bool AtEnd() const { return *p_ == 0; }
    bool StartsWith(const char* tag, bool ignoreCase) const;
    void SkipSpace();
    bool SkipName();
    bool ReadName(Name& name);
    bool SkipChar();
    bool SkipEntity();
    bool SkipTextUntil(const char* endTag);

    bool Text();
    bool EndTag();
    bool Markup();
    StartTag ElementStart();
    bool Attribute(Name* name, std::string* value);
    bool Declaration();
    bool Comment();
    bool Cdata();
    bool Unknown();

    const unsigned char* p_;
    Encoding encoding_ = Encoding::Unknown;
    int limit_;
    int deepest_ = 0;
    // Names of the open elements, as spans of the text: an end tag must name
    // the innermost one.
    std::vector<Name> open_;
    std::vector<Name> attributes_;  // of the start tag being read
};

bool NestingScanner::StartsWith(const char* tag, bool ignoreCase) const {
    const unsigned char* q = p_;
    for (; *tag != 0; ++q, ++tag) {
        const unsigned char have = ignoreCase ? AsciiLower(*q) : *q;
        const unsigned char want = ignoreCase ? AsciiLower(*tag) : *tag;
        if (have == 0 || have != want) {
            return false;
        }
    }
    return true;
}

void NestingScanner::SkipSpace() {
    for (;;) {
        if (encoding_ == Encoding::Utf8 && p_[0] == 0xEF &&
            ((p_[1] == 0xBB && p_[2] == 0xBF) || (p_[1] == 0xBF && p_[2] == 0xBE) ||
             (p_[1] == 0xBF && p_[2] == 0xBF))) {
            p_ += 3;
        } else if (IsSpace(*p_)) {
            ++p_;
        } else {
            return;
        }
    }
}

bool NestingScanner::SkipName() {
    if (!IsNameStart(*p_)) {
        return false;
    }
    while (IsNameChar(*p_)) {
        ++p_;
    }
    return true;
}

// The same, keeping where the name is.
bool NestingScanner::ReadName(Name& name) {
    name.start = p_;
    if (!SkipName()) {
        return false;
    }
    name.length = static_cast<size_t>(p_ - name.start);
    return true;
}

// One character of text or of an attribute value, as the parser reads it.
bool NestingScanner::SkipChar() {
    const int length = encoding_ == Encoding::Utf8 ? Utf8Length(*p_) : 1;
    if (length == 1) {
        if (*p_ == '&') {
            return SkipEntity();
        }
        ++p_;
        return true;
    }
    for (int i = 1; i < length; ++i) {
        if (p_[i] == 0) {  // the parser lands in the padding and stops
            p_ += i;
            return true;
        }
    }
    p_ += length;
    return true;
}

// A character reference ends at the first ';' after it and is accepted when
// the digits just before that ';' run back to the 'x' or '#': whatever lies
// between, '<' included, is swallowed.
bool NestingScanner::SkipEntity() {
    if (p_[1] == '#' && p_[2] != 0) {
        const bool hex = p_[2] == 'x';
        if (hex && p_[3] == 0) {
            return false;
        }
        const char* from = reinterpret_cast<const char*>(p_ + (hex ? 3 : 2));
        const char* semicolon = std::strchr(from, ';');
        if (semicolon == nullptr) {
            return false;
        }
        const char stop = hex ? 'x' : '#';
        for (const char* q = semicolon - 1; *q != stop; --q) {
            const auto c = static_cast<unsigned char>(*q);
            if (hex ? !IsHexDigit(c) : !(c >= '0' && c <= '9')) {
                return false;
            }
        }
        p_ = reinterpret_cast<const unsigned char*>(semicolon + 1);
        return true;
    }
    static const char* const kNamed[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    for (const char* named : kNamed) {
        if (StartsWith(named, false)) {
            p_ += std::strlen(named);
            return true;
        }
    }
    ++p_;
    return true;
}

// Text up to and past `endTag`; false when the text ends first or right
// after it. Only '&' and, in UTF-8, lead bytes can take more than one byte.
bool NestingScanner::SkipTextUntil(const char* endTag) {
    const auto first = static_cast<unsigned char>(endTag[0]);
    const bool utf8 = encoding_ == Encoding::Utf8;
    for (;;) {
        const unsigned char c = *p_;
        if (c == 0) {
            return false;
        }
        if (c == first && StartsWith(endTag, false)) {
            break;
        }
        if (c == '&' || (utf8 && c >= 0xC2)) {
            if (!SkipChar()) {
                return false;
            }
        } else {
            ++p_;
        }
    }
    p_ += std::strlen(endTag);
    return !AtEnd();
}

// Character data inside an element: it runs to the next '<'.
bool NestingScanner::Text() {
    if (!SkipTextUntil("<")) {
        return false;
    }
    --p_;
    return true;
}

// "</name", optional space and '>', where the name is the innermost open
// element's; anything else stops the parser.
bool NestingScanner::EndTag() {
    p_ += 2;
    const Name& name = open_.back();
    if (std::strncmp(reinterpret_cast<const char*>(p_), reinterpret_cast<const char*>(name.start),
                     name.length) != 0) {
        return false;
    }
    p_ += name.length;
    SkipSpace();
    if (*p_ != '>') {
        return false;
    }
    ++p_;
    open_.pop_back();
    return true;
}

bool NestingScanner::Attribute(Name* name, std::string* value) {
    SkipSpace();
    Name read;
    if (!ReadName(read) || AtEnd()) {
        return false;
    }
    if (name != nullptr) {
        *name = read;
    }
    SkipSpace();
    if (*p_ != '=') {
        return false;
    }
    ++p_;
    SkipSpace();
    if (AtEnd()) {
        return false;
    }
    const unsigned char* start = p_;
    if (*p_ == '"' || *p_ == '\'') {
        const char quote[2] = {static_cast<char>(*p_), 0};
        ++p_;
        ++start;
        if (!SkipTextUntil(quote)) {
            return false;
        }
        if (value != nullptr) {
            value->assign(reinterpret_cast<const char*>(start), p_ - 1 - start);
        }
        return true;
    }
    while (!AtEnd() && !IsSpace(*p_) && *p_ != '/' && *p_ != '>') {
        if (*p_ == '"' || *p_ == '\'') {
            return false;
        }
        ++p_;
    }
    if (value != nullptr) {
        value->assign(reinterpret_cast<const char*>(start), p_ - start);
    }
    return !AtEnd();
}

// The parser also stops at an attribute named twice in one tag.
NestingScanner::StartTag NestingScanner::ElementStart() {
    SkipSpace();
    ++p_;  // '<'
    SkipSpace();
    Name name;
    if (!ReadName(name) || AtEnd()) {
        return StartTag::Failed;
    }
    attributes_.clear();
    for (;;) {
        SkipSpace();
        if (AtEnd()) {
            return StartTag::Failed;
        }
        if (*p_ == '/') {
            ++p_;
            if (*p_ != '>') {
                return StartTag::Failed;
            }
            ++p_;
            return StartTag::Empty;
        }
        if (*p_ == '>') {
            ++p_;
            open_.push_back(name);
            return StartTag::Open;
        }
        Name attribute;
        if (!Attribute(&attribute, nullptr) ||
            std::find(attributes_.begin(), attributes_.end(), attribute) != attributes_.end()) {
            return StartTag::Failed;
        }
        attributes_.push_back(attribute);
    }
}

// "<?xml ...>". The first declaration of the document decides whether the
// parser reads UTF-8, which decides how many bytes each character takes.
bool NestingScanner::Declaration() {
    const bool decidesEncoding = open_.empty() && encoding_ == Encoding::Unknown;
    std::string declared;
    bool closed = false;
    p_ += 5;
    while (!AtEnd() && !closed) {
        if (*p_ == '>') {
            ++p_;
            closed = true;
            break;
        }
        SkipSpace();
        if (AtEnd()) {
            return false;
        }
        if (StartsWith("encoding", true)) {
            if (!Attribute(nullptr, &declared)) {
                return false;
            }
        } else if (StartsWith("version", true) || StartsWith("standalone", true)) {
            if (!Attribute(nullptr, nullptr)) {
                return false;
            }
        } else {
            while (!AtEnd() && *p_ != '>' && !IsSpace(*p_)) {
                ++p_;
            }
        }
    }
    if (decidesEncoding) {
        declared = DecodeReferences(declared);
        const bool utf8 = declared.empty() ||
                          AsciiCompareNoCaseN(declared.c_str(), "UTF-8", 5) == 0 ||
                          AsciiCompareNoCaseN(declared.c_str(), "UTF8", 4) == 0;
        encoding_ = utf8 ? Encoding::Utf8 : Encoding::Legacy;
    }
    return closed;
}

bool NestingScanner::Comment() {
    p_ += 4;
    while (!AtEnd() && !StartsWith("-->", false)) {
        ++p_;
    }
    if (!AtEnd()) {
        p_ += 3;
    }
    return true;
}

bool NestingScanner::Cdata() {
    p_ += 9;
    while (!AtEnd() && !StartsWith("]]>", false)) {
        ++p_;
    }
    return SkipTextUntil("]]>");
}

bool NestingScanner::Unknown() {
    ++p_;
    while (!AtEnd() && *p_ != '>') {
        ++p_;
    }
    if (!AtEnd()) {
        ++p_;
    }
    return true;
}

// At a '<': what the parser's Identify makes of it, then that node.
bool NestingScanner::Markup() {
    if (StartsWith("<?xml", true)) {
        return Declaration();
    }
    if (StartsWith("<!--", false)) {
        return Comment();
    }
    if (StartsWith("<![CDATA[", false)) {
        return Cdata();
    }
    if (StartsWith("<!", false) || !IsNameStart(p_[1])) {
        return Unknown();
    }
    const int depth = static_cast<int>(open_.size()) + 1;  // this element's own level
    if (depth > deepest_) {
        deepest_ = depth;
    }
    if (deepest_ > limit_) {
        return false;
    }
    return ElementStart() != StartTag::Failed;
}

int NestingScanner::Run() {
    if (p_[0] == 0xEF && p_[1] == 0xBB && p_[2] == 0xBF) {
        encoding_ = Encoding::Utf8;
    }
    for (;;) {
        SkipSpace();
        if (AtEnd()) {
            break;
        }
        bool going;
        if (!open_.empty() && *p_ != '<') {
            going = Text();
        } else if (!open_.empty() && StartsWith("</", false)) {
            going = EndTag();
        } else if (*p_ != '<') {
            break;  // character data outside the root: the parser stops
        } else {
            going = Markup();
        }
        if (!going || deepest_ > limit_) {
            break;
        }
    }
    return deepest_ > limit_ ? limit_ + 1 : deepest_;
}

// ---------------------------------------------------------------------------
// Files

// Turns `size` bytes in place into the text the parser sees (see
// PrepareXmlText) and NUL-fills the rest of the buffer.
void NormaliseInPlace(char* bytes, size_t size, size_t capacity) {
    const char* end = static_cast<const char*>(std::memchr(bytes, 0, size));
    const size_t length = end != nullptr ? static_cast<size_t>(end - bytes) : size;
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
    std::memset(bytes + out, 0, capacity - out);
}

// The file's text as the parser should see it, padded with NULs. False when
// the file cannot be read, is empty or is larger than kMaxXmlFileBytes.
bool ReadXmlText(const char* path, std::vector<char>& text) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "rb"), std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return false;
    }
    const long length = std::ftell(file.get());
    if (length <= 0 || length > kMaxXmlFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return false;
    }
    const size_t size = static_cast<size_t>(length);
    text.resize(size + kXmlPadding);
    if (std::fread(text.data(), size, 1, file.get()) != 1) {
        return false;
    }
    NormaliseInPlace(text.data(), size, text.size());
    return true;
}

}  // namespace

std::string PrepareXmlText(const char* bytes, size_t size) {
    std::vector<char> text(bytes, bytes + size);
    text.resize(size + kXmlPadding);
    NormaliseInPlace(text.data(), size, text.size());
    return std::string(text.data(), std::strlen(text.data()) + kXmlPadding - 1);
}

int XmlNestingDepth(const char* text, int limit) {
    return NestingScanner(text, limit).Run();
}

void LoadXmlFile(TiXmlDocument& document, const char* path) {
    document.Clear();
    std::vector<char> text;
    if (!ReadXmlText(path, text) || XmlNestingDepth(text.data(), kMaxXmlNesting) > kMaxXmlNesting) {
        return;
    }
    document.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
}
