// Parses the generated corpus with the TinyXML this program is built against,
// and prints what each parse built: one line per document, encoding and
// white-space mode, with a hash of every node, attribute, row, column and
// error, or with all of them for the documents named.
//
//   tinyxml_dump         every parse: "DOC ENCODING CONDENSE HASH NODES ERROR"
//   tinyxml_dump DOC...  those documents' parses in full, one node a line
//
// Built twice: against Debian's TinyXML and against the project's patched build
// (KOVRA_PATCHED_TINYXML), whose limit errors mark the parse "limit" instead.
#include <tinyxml.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/tinyxml/xml_corpus.h"

namespace {

const TiXmlEncoding kEncodings[] = {TIXML_ENCODING_UNKNOWN, TIXML_ENCODING_UTF8,
                                    TIXML_ENCODING_LEGACY};

// The parser's own limits; an unpatched TinyXML has none.
bool IsLimitError(int id) {
#ifdef KOVRA_PATCHED_TINYXML
    return id == TiXmlBase::TIXML_ERROR_NESTING_TOO_DEEP ||
           id == TiXmlBase::TIXML_ERROR_TOO_MANY_ATTRIBUTES ||
           id == TiXmlBase::TIXML_ERROR_TOO_MANY_NODES;
#else
    (void)id;
    return false;
#endif
}

// `text` quoted on one line: quotes, backslashes and bytes outside printable
// ASCII as \xNN.
void AppendQuoted(std::string& out, const char* text) {
    out += '\'';
    for (; *text != 0; ++text) {
        const auto c = static_cast<unsigned char>(*text);
        if (c < 0x20 || c >= 0x7F || c == '\'' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        } else {
            out += *text;
        }
    }
    out += '\'';
}

void AppendPlace(std::string& out, const TiXmlBase& item) {
    out += '@' + std::to_string(item.Row()) + ':' + std::to_string(item.Column());
}

// One line per node, in document order, indented by depth; an element's
// attributes follow it.
void DumpNode(const TiXmlNode& node, int depth, std::string& out, long& nodes) {
    static const char* const kTypes[] = {"document", "element", "comment",
                                         "unknown",  "text",    "declaration"};
    ++nodes;
    out.append(static_cast<size_t>(depth), ' ');
    out += kTypes[node.Type() < 6 ? node.Type() : 0];
    AppendPlace(out, node);
    out += ' ';
    AppendQuoted(out, node.Value());
    if (const TiXmlText* text = node.ToText()) {
        out += text->CDATA() ? " cdata" : "";
    }
    if (const TiXmlDeclaration* declaration = node.ToDeclaration()) {
        for (const char* part :
             {declaration->Version(), declaration->Encoding(), declaration->Standalone()}) {
            out += ' ';
            AppendQuoted(out, part);
        }
    }
    out += '\n';
    if (const TiXmlElement* element = node.ToElement()) {
        for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
            ++nodes;
            out.append(static_cast<size_t>(depth) + 1, ' ');
            out += "attribute";
            AppendPlace(out, *a);
            out += ' ';
            AppendQuoted(out, a->Name());
            out += '=';
            AppendQuoted(out, a->Value());
            out += '\n';
        }
    }
    for (const TiXmlNode* child = node.FirstChild(); child != nullptr;
         child = child->NextSibling()) {
        DumpNode(*child, depth + 1, out, nodes);
    }
}

uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 1469598103934665603ull;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

// What one parse of `xml` built, one node a line, then the error line; false
// for a limit error.
bool Parse(const std::string& xml, TiXmlEncoding encoding, std::string& dump, long& nodes) {
    // Four NULs after the text, as the catalogue reader gives them: a file may
    // end inside a UTF-8 sequence, over which the parser steps by the length
    // its lead byte announces.
    const std::string padded = xml + std::string(4, '\0');
    TiXmlDocument document;
    document.Parse(padded.c_str(), nullptr, encoding);
    if (document.Error() && IsLimitError(document.ErrorId())) {
        return false;
    }
    DumpNode(document, 0, dump, nodes);
    dump += "error " + std::to_string(document.Error()) + ' ' + std::to_string(document.ErrorId()) +
            ' ';
    AppendQuoted(dump, document.ErrorDesc());
    dump += " @" + std::to_string(document.ErrorRow()) + ':' + std::to_string(document.ErrorCol()) +
            '\n';
    return true;
}

void ForEachParse(int doc, void (*print)(int, int, bool, bool, const std::string&, long)) {
    const std::string xml = CorpusDocument(doc);
    for (int e = 0; e < 3; ++e) {
        for (const bool condense : {true, false}) {
            TiXmlBase::SetCondenseWhiteSpace(condense);
            std::string dump;
            long nodes = 0;
            const bool parsed = Parse(xml, kEncodings[e], dump, nodes);
            print(doc, e, condense, parsed, dump, nodes);
        }
    }
    TiXmlBase::SetCondenseWhiteSpace(true);
}

void PrintSummary(int doc, int e, bool condense, bool parsed, const std::string& dump, long nodes) {
    if (!parsed) {
        std::printf("%d %d %d limit\n", doc, e, condense);
        return;
    }
    const size_t error = dump.rfind("\nerror ");
    std::printf("%d %d %d %016llx %ld %s", doc, e, condense,
                static_cast<unsigned long long>(Fnv1a(dump)), nodes,
                dump.c_str() + (error == std::string::npos ? 0 : error + 1));
}

void PrintInFull(int doc, int e, bool condense, bool parsed, const std::string& dump, long) {
    std::printf("== document %d, encoding %d, condense %d\n%s", doc, e, condense,
                parsed ? dump.c_str() : "limit\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) {
            ForEachParse(std::atoi(argv[i]), PrintInFull);
        }
        for (int i = 1; i < argc; ++i) {
            std::string quoted;
            AppendQuoted(quoted, CorpusDocument(std::atoi(argv[i])).c_str());
            std::printf("== document %s\n%s\n", argv[i], quoted.c_str());
        }
        return 0;
    }
    for (int doc = 0; doc < kCorpusSize; ++doc) {
        ForEachParse(doc, PrintSummary);
    }
    return 0;
}
