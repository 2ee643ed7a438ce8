// Texts crossing kovra-catalogue's edge with the system: its arguments and its
// messages. The command works in UTF-8 throughout; Windows hands the arguments
// over as UTF-16 (its 8-bit form would be the code page's, which cannot spell
// most names) and shows UTF-8 on a console only through the wide console call.
#pragma once

#include <cstdio>
#include <string>

// True when `stream` writes to a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);

// Writes the UTF-8 `text` to `stream`: on a Windows console as the characters
// it spells (the console would read its bytes in its code page), anywhere else
// (a file, a pipe, a terminal of the native build) as its bytes.
void WriteText(std::FILE* stream, const std::string& text);
