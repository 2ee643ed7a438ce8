// What a line of an M3U8 playlist may hold: which catalogue paths can be a line
// naming a file of the player, how such a line begins, and titles kept on one
// line.
#pragma once

#include <cstddef>
#include <string>

#include "tools/kovra-catalogue/system/why_not.h"

// The catalogue's `path` relative to the player's root: without its leading
// slashes.
const char* PathFromRoot(const char* path);

// Why the catalogue's `path` cannot be a playlist line naming a file of the
// player ("a URL, off the player", ...); none when it can.
WhyNot PlaylistPathFault(const char* path);

// True when the relative `path`, written as it is, would be read as something
// else: it begins with "#", which a reader takes for a directive, or with white
// space, which a reader may trim.
bool NeedsDotSlash(const char* path);

// The bytes of the character at `text` when it is one that AppendOnOneLine
// turns into a space; 0 when it is another (or the end).
size_t OffLineLength(const char* text);

// Appends `text` with each character that some reader takes for a line end or
// that has no place in a line (the C0 controls, U+0085, U+2028, U+2029) turned
// into a space.
void AppendOnOneLine(std::string& out, const char* text);
