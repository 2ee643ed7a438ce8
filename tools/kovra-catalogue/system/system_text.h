// Texts crossing kovra-catalogue's edge with the system: its arguments and its messages. The
// command works in UTF-8 throughout; Windows hands the arguments over as UTF-16 (its 8-bit form
// would be the code page's, which cannot spell most names) and shows UTF-8 on a console only
// through the wide console call.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
// The UTF-8 form of the NUL-terminated wide `text` into `utf8`; false when `text` has none (a
// surrogate without its pair).
bool Utf8FromWide(const wchar_t* text, std::string& utf8);

// Appends the UTF-8 forms of the `argc` wide arguments `argv`, as wmain receives them; false with
// `error` naming the first that is not text (a surrogate without its pair), which no file name
// or search spells and which UTF-8 cannot carry.
bool Utf8Arguments(int argc, wchar_t** argv, std::vector<std::string>& arguments,
                   std::string& error);
#endif

// Writes the UTF-8 `text` to `stream`: on a Windows console as the characters it spells (the
// console would read its bytes in its code page), anywhere else (a file, a pipe, a terminal of
// the native build) as its bytes.
void WriteText(std::FILE* stream, const std::string& text);
