// A generated corpus of XML documents for comparing two builds of TinyXML: the
// same index gives the same bytes in every build.
#pragma once

#include <string>

// How many documents the corpus holds.
constexpr int kCorpusSize = 3000;

// The document `index` (0 to kCorpusSize - 1). Documents mix elements,
// attributes, texts, entities (good and broken), comments, CDATA sections,
// unknown tags and declarations of each encoding, with UTF-8 that is well
// formed, cut short or overlong, Latin-1 bytes, control bytes and white space
// of every kind; texts run past the patched parser's 256-byte text buffer with
// spaces, entities and multi-byte characters falling on its edges; some are cut
// off or damaged. The last three pass the parse limits: nesting, attributes on
// one element, nodes.
std::string CorpusDocument(int index);
