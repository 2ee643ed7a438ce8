// Reads a catalogue or manifest file into a TinyXML document, refusing files
// that would exhaust the parser.
//
// TinyXML recurses once per level of element nesting, and a Windows UI thread
// has a 1 MB stack: a file a few thousand levels deep would take the host
// process down. A file is therefore measured before it is parsed, and one
// that nests deeper than any real catalogue could is refused, as if missing.
#pragma once

#include <cstddef>
#include <string>

class TiXmlDocument;

// A real catalogue nests fewer than ten levels; the parser survives thousands.
constexpr int kMaxXmlNesting = 256;

// A full player's music catalogue is a few megabytes.
constexpr long kMaxXmlFileBytes = 64L * 1024 * 1024;

// Fills `document` from the file at `path` as TinyXML's LoadFile with the
// default encoding does. A file that cannot be read, is empty, is larger than
// kMaxXmlFileBytes or nests deeper than kMaxXmlNesting leaves the document
// without a root element. Parse errors are not reported: the document keeps
// whatever the parser built before it stopped.
void LoadXmlFile(TiXmlDocument& document, const char* path);

// The text the parser sees for a file's bytes, as LoadFile prepares it: the
// bytes up to the first NUL, with CR LF and lone CR turned into LF. Three NULs
// follow the terminator: TinyXML steps over a UTF-8 sequence by the length its
// lead byte announces, even when the text ends inside it.
std::string PrepareXmlText(const char* bytes, size_t size);

// The deepest element nesting TinyXML's parser would reach on `text` (a
// NUL-terminated text as PrepareXmlText makes it), or limit + 1 as soon as
// it would pass `limit`. Walks the text iteratively and mirrors the parser's
// lexical rules wherever they decide what opens or closes an element; where
// the parser would give up, the count stops too.
int XmlNestingDepth(const char* text, int limit);
