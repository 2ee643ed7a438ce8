// Fuzz target: the nesting guard never measures less depth than TinyXML's parser reaches.
//
// LoadXmlFile lets the parser (which recurses once per element level) run only on texts that
// XmlNestingDepth measures at kMaxXmlNesting or less. The measure is only safe if it is never
// below what the parser reaches, whatever the bytes: entities and UTF-8 lead bytes that swallow
// a '<', declarations that switch the encoding, comments, CDATA, attributes, unknown markup.
//
// With KOVRA_FUZZ_REPORT_LOOSE set, texts the guard measures deeper than the parser goes are
// printed too (harmless, but a guard that is loose refuses files it could have read).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "catalogue/xml_file.h"
#include "tests/fuzz/fuzz_fields.h"

namespace {

// High enough that no fuzz input reaches it.
constexpr int kScanLimit = 100000;
// Deeper texts are not parsed: the parser would take the fuzzer's own stack.
constexpr int kParseBound = 2000;

bool g_reportLoose = false;

// The depth of the element tree, walked without recursion.
int TreeDepth(const TiXmlDocument& document) {
    int deepest = 0;
    std::vector<std::pair<const TiXmlNode*, int>> pending{{&document, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        for (const TiXmlNode* child = node->FirstChild(); child != nullptr;
             child = child->NextSibling()) {
            const int childDepth = depth + (child->ToElement() != nullptr ? 1 : 0);
            if (childDepth > deepest) {
                deepest = childDepth;
            }
            pending.emplace_back(child, childDepth);
        }
    }
    return deepest;
}

// What LoadFile would hand the parser: the bytes before the first NUL, CR LF and lone CR as
// LF, then the terminator and three more NULs (PrepareXmlText returns the three; the string's
// own terminator is the fourth).
std::string ExpectedText(const char* bytes, size_t size) {
    std::string text;
    const size_t length = strnlen(bytes, size);
    for (size_t i = 0; i < length; ++i) {
        if (bytes[i] == '\r') {
            text += '\n';
            if (i + 1 < length && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            text += bytes[i];
        }
    }
    text.append(3, '\0');
    return text;
}

// A smaller limit only cuts the answer: the depth when within it, else limit + 1.
void CheckLimits(const char* text, int depth) {
    for (int limit : {0, 1, depth - 1, depth, kMaxXmlNesting}) {
        if (limit < 0 || limit > kScanLimit) {
            continue;
        }
        const int expected = depth <= limit ? depth : limit + 1;
        const int measured = XmlNestingDepth(text, limit);
        if (measured != expected) {
            FuzzFailure("XmlNestingDepth(limit %d) = %d, but %d with limit %d", limit, measured,
                        depth, kScanLimit);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_reportLoose = std::getenv("KOVRA_FUZZ_REPORT_LOOSE") != nullptr;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string prepared = PrepareXmlText(bytes, size);
    if (prepared != ExpectedText(bytes, size)) {
        FuzzFailure("PrepareXmlText made %zu bytes, expected %zu", prepared.size(),
                    ExpectedText(bytes, size).size());
    }
    // An exactly sized copy, so that the sanitizer sees any read past the padding.
    const size_t padded = prepared.size() + 1;
    std::unique_ptr<char[]> text(new char[padded]);
    std::memcpy(text.get(), prepared.c_str(), padded);

    const int depth = XmlNestingDepth(text.get(), kScanLimit);
    if (depth < 0 || depth > kScanLimit + 1) {
        FuzzFailure("XmlNestingDepth returned %d", depth);
    }
    CheckLimits(text.get(), depth);
    if (depth > kParseBound) {
        return 0;
    }

    TiXmlDocument document;
    document.Parse(text.get(), nullptr, TIXML_DEFAULT_ENCODING);
    const int parsed = TreeDepth(document);
    if (parsed > depth) {
        FuzzFailure("the guard measured depth %d, but the parser built a tree %d deep", depth,
                    parsed);
    }
    if (g_reportLoose && parsed < depth) {
        std::fprintf(stderr, "loose: guard %d, parser %d\n", depth, parsed);
    }
    return 0;
}
