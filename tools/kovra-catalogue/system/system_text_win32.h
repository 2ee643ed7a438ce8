// The command's wide texts on Windows: the UTF-16 of the system's calls as the
// UTF-8 the command works in.
#pragma once

#include <string>
#include <vector>

#include "tools/kovra-catalogue/system/why_not.h"

// The UTF-8 form of the NUL-terminated wide `text` into `utf8`; false when
// `text` has none (a surrogate without its pair).
bool Utf8FromWide(const wchar_t* text, std::string& utf8);

// Appends the UTF-8 forms of the `argc` wide arguments `argv`, as wmain
// receives them; says why not, naming the first that is not text (a surrogate
// without its pair), which no file name or search spells and which UTF-8 cannot
// carry.
WhyNot Utf8Arguments(int argc, wchar_t** argv, std::vector<std::string>& arguments);
