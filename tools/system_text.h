// Texts crossing kovra-catalogue's edge with the system: its arguments and its messages. The
// command works in UTF-8 throughout; Windows hands the arguments over as UTF-16 (its 8-bit form
// would be the code page's, which cannot spell most names) and shows UTF-8 on a console only
// through the wide console call.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
// The UTF-8 forms of the `argc` wide arguments `argv`, as wmain receives them.
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv);
#endif

// Writes the UTF-8 `text` to `stream`: on a Windows console as the characters it spells,
// anywhere else (a file, a pipe, a terminal of the native build) as its bytes.
void WriteText(std::FILE* stream, const std::string& text);
