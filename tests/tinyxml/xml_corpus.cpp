// Generating the XML corpus from a seed per document, with a generator of its
// own so that no library's choices enter the bytes. Each draw is a statement of
// its own: the order in which the operands of one expression are evaluated is
// the compiler's choice.
#include "tests/tinyxml/xml_corpus.h"

#include <cstdint>
#include <iterator>

namespace {

class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}

    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<uint32_t>(state_ >> 16);
    }
    // 0 to n - 1.
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    bool OneIn(int n) { return Below(n) == 0; }
    template <size_t N>
    const char* Pick(const char* const (&choices)[N]) {
        return choices[Below(static_cast<int>(N))];
    }

    // A parse stops at the first fault (a broken name, attribute, tag,
    // entity...), so half the documents have none and are read to their end; in
    // the others each place where a fault can go has one in 60.
    void AllowFaults(bool allow) { faultOdds_ = allow ? 60 : 0; }
    bool Fault() { return faultOdds_ > 0 && OneIn(faultOdds_); }

  private:
    uint64_t state_;
    int faultOdds_ = 0;
};

const char* const kWhiteSpace[] = {" ", "  ", "\t", "\n", "\r\n", "\r", " \n\t ", "\x0B", "\x0C"};

// Entities TinyXML reads, or takes for text.
const char* const kEntities[] = {"&amp;",     "&lt;",       "&gt;",       "&quot;", "&apos;",
                                 "&#65;",     "&#x41;",     "&#xE9;",     "&#233;", "&#x20AC;",
                                 "&#x1F600;", "&#x10FFFF;", "&#1234567;", "&am",    "&",
                                 "&amp",      "&unknown;",  "&AMP;"};
// Character references it stops at.
const char* const kBadEntities[] = {"&#;", "&#x;", "&#X41;", "&#65", "&#xZZ;", "&#0;"};

const char* const kCharacters[] = {"\xC3\xA9",
                                   "\xE2\x82\xAC",
                                   "\xF0\x9F\x98\x80",  // UTF-8: 2, 3 and 4 bytes
                                   "\xE9",
                                   "\xA0",
                                   "\x85",
                                   "\xEF\xBB\xBF",  // Latin-1, NEL, a BOM inside
                                   "\x01",
                                   "\x1F",
                                   "\x7F",  // control bytes
                                   "]",
                                   "]]",
                                   "]]>",
                                   ">",
                                   "'",
                                   "\"",
                                   "-",
                                   "--",
                                   "?",
                                   "/",
                                   "=",
                                   "!",
                                   "<",
                                   "</",
                                   "<!",
                                   "<?"};
// In UTF-8 a lead byte takes the bytes after it, whatever they are: a closing
// quote or bracket.
const char* const kBrokenUtf8[] = {"\xC3",
                                   "\xE2\x82",
                                   "\xF0\x9F\x98",
                                   "\x80",
                                   "\xBF",  // cut short, stray
                                   "\xC0\xAF",
                                   "\xE0\x80\xAF",
                                   "\xED\xA0\x80",
                                   "\xF4\x90\x80\x80",  // overlong, surrogate, past
                                   "\xFF",
                                   "\xFE",
                                   "\xF8\x88\x80\x80\x80"};  // never UTF-8

const char* const kNames[] = {"a",  "b",  "mpv:Audio", "dc:title", "x-y",
                              "_z", "A1", "\xC3\xA9",  "a.b",      "mpv:AssetList"};
const char* const kBadNames[] = {"1bad", ":", "-", ""};

std::string Name(Random& random) {
    return random.Fault() ? random.Pick(kBadNames) : random.Pick(kNames);
}

void AppendPlainRun(Random& random, std::string& out) {
    static const char kPlain[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,;:()+*#@%$";
    // Runs of a few bytes, and runs that fill the patched parser's 256-byte
    // buffer or pass it.
    static const int kLengths[] = {1, 2, 3, 7, 30, 120, 250, 254, 255, 256, 257, 300, 511, 513};
    const int length = kLengths[random.Below(static_cast<int>(std::size(kLengths)))];
    for (int i = 0; i < length; ++i) {
        out += kPlain[random.Below(static_cast<int>(sizeof kPlain - 1))];
        // Single spaces between plain characters are taken inside a run when
        // condensing.
        if (random.OneIn(6)) {
            out += ' ';
        }
    }
}

// Units the parser takes one character at a time, repeated so that the
// characters gathered before the patched parser's buffer is flushed (256 bytes)
// end on, before and after its edge.
void AppendDenseRun(Random& random, std::string& out) {
    static const char* const kUnits[] = {
        "&amp;",     "&#x41;",       "\t",        "a\t", "\n ", "a b\t", "\xC3\xA9",
        "x\xC3\xA9", "\xE2\x82\xAC", "&#x1F600;", "-",   "]",   "&lt;",  "\xE9"};
    static const int kCounts[] = {1, 63, 64, 85, 127, 128, 129, 255, 256, 257, 300, 511, 600};
    const int count = kCounts[random.Below(static_cast<int>(std::size(kCounts)))];
    const char* unit = random.Pick(kUnits);
    for (int i = 0; i < count; ++i) {
        out += random.OneIn(16) ? random.Pick(kUnits) : unit;
    }
}

// A text of pieces, `pieces` long; `avoid` (a quote, or 0) never appears in it.
std::string Text(Random& random, int pieces, char avoid) {
    std::string out;
    for (int i = 0; i < pieces; ++i) {
        switch (random.Below(6)) {
            case 0:
                AppendPlainRun(random, out);
                break;
            case 1:
                AppendDenseRun(random, out);
                break;
            case 2:
                out += random.Pick(kWhiteSpace);
                break;
            case 3:
                out += random.Fault() ? random.Pick(kBadEntities) : random.Pick(kEntities);
                break;
            default:
                out += random.OneIn(4) ? random.Pick(kBrokenUtf8) : random.Pick(kCharacters);
        }
    }
    if (avoid != 0) {
        for (char& c : out) {
            c = c == avoid ? '_' : c;
        }
    }
    return out;
}

std::string Attributes(Random& random) {
    std::string out;
    const int count = random.Below(5);
    for (int i = 0; i < count; ++i) {
        // No space between a quoted value and the next name, now and then.
        out += i > 0 && random.OneIn(8) ? "" : " ";
        // Now and then "a" twice: a duplicate attribute.
        out += random.Fault() ? std::string("a") : Name(random) + std::to_string(i);
        const char quote = random.OneIn(2) ? '"' : '\'';
        switch (random.Fault() ? random.Below(3) : 3) {
            case 0:
                break;  // no value at all
            case 1:
                out += "=unquoted";
                break;
            case 2:
                out += std::string(" = ") + quote + Text(random, 2, quote);  // never closed
                break;
            default: {
                const int pieces = 1 + random.Below(4);
                out += std::string("=") + quote + Text(random, pieces, quote) + quote;
            }
        }
    }
    return out;
}

std::string Declaration(Random& random) {
    static const char* const kEncodings[] = {"UTF-8", "utf-8", "ISO-8859-1", "Windows-1252",
                                             "UTF8",  "",      "utf-16"};
    const char quote = random.OneIn(3) ? '\'' : '"';
    std::string out = "<?xml version=";
    out += quote + std::string("1.0") + quote;
    const std::string encoding = random.Pick(kEncodings);
    if (!encoding.empty()) {
        out += " encoding=" + std::string(1, quote) + encoding + quote;
    }
    if (random.OneIn(4)) {
        out += " standalone='yes'";
    }
    if (random.Fault()) {
        out += " version";  // a broken attribute
    }
    return out + (random.Fault() ? ">" : "?>");
}

// A body of a few pieces, closed by `end` except now and then.
std::string Body(Random& random, const char* end) {
    const int pieces = 1 + random.Below(4);
    std::string body = Text(random, pieces, 0);
    return random.Fault() ? body : body + end;
}

std::string Misc(Random& random) {
    switch (random.Below(6)) {
        case 0:
            return "<!--" + Body(random, "-->");
        case 1:
            return "<![CDATA[" + Body(random, "]]>");
        case 2:
            return "<!DOCTYPE x SYSTEM '" + Text(random, 1, '>') + "'>";
        case 3:
            return "<?pi " + Text(random, 1, 0) + "?>";
        case 4:
            return Declaration(random);
        default:
            return "<!" + Text(random, 1, '>') + ">";
    }
}

void AppendElement(Random& random, int depth, std::string& out) {
    const std::string name = Name(random);
    out += random.Fault() ? "< " : "<";
    out += name;
    out += Attributes(random);
    if (random.OneIn(5)) {
        out += random.OneIn(2) ? "/>" : " />";
        return;
    }
    out += ">";
    const int children = depth > 5 ? 0 : random.Below(7);
    for (int i = 0; i < children; ++i) {
        const int kind = random.Below(5);
        if (kind < 2) {
            AppendElement(random, depth + 1, out);
        } else if (kind == 2) {
            out += Misc(random);
        } else {
            const int pieces = 1 + random.Below(6);
            out += Text(random, pieces, '<');
        }
    }
    // Mostly the right end tag; now and then another, a spaced one or none.
    switch (random.Fault() ? random.Below(3) : 3) {
        case 0:
            out += "</" + Name(random) + ">";
            break;
        case 1:
            out += "</" + name + " >";
            break;
        case 2:
            break;
        default:
            out += "</" + name + ">";
    }
}

std::string Document(int index) {
    Random random(static_cast<uint64_t>(index));
    random.AllowFaults(random.OneIn(2));
    std::string out;
    if (random.OneIn(8)) {
        out += "\xEF\xBB\xBF";
    }
    if (!random.OneIn(4)) {
        out += Declaration(random);
    }
    for (int i = random.Below(3); i > 0; --i) {
        out += random.Pick(kWhiteSpace);
        out += Misc(random);
    }
    AppendElement(random, 0, out);
    if (random.OneIn(4)) {
        out += random.Pick(kWhiteSpace);
        out += Misc(random);
    }
    if (random.OneIn(10)) {
        out.resize(random.Below(static_cast<int>(out.size()) + 1));  // cut off anywhere
    }
    if (random.OneIn(10) && !out.empty()) {
        const int at = random.Below(static_cast<int>(out.size()));
        out[at] = static_cast<char>(1 + random.Below(255));
    }
    // The parser reads up to the first NUL: none inside.
    for (char& c : out) {
        c = c == 0 ? ' ' : c;
    }
    return out;
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

}  // namespace

std::string CorpusDocument(int index) {
    switch (kCorpusSize - index) {
        case 3:
            return "<r>" + Repeat("<a>", 300) + Repeat("</a>", 300) + "</r>";
        case 2: {
            std::string element = "<e";
            for (int i = 0; i < 70; ++i) {
                element += " a" + std::to_string(i) + "='v'";
            }
            return "<r>" + element + "/></r>";
        }
        case 1:
            return "<r>" + Repeat("<a/>", 300001) + "</r>";
        default:
            return Document(index);
    }
}
