// Writes exported tracks as an M3U8 playlist, as CSV or as JSON.
#pragma once

#include <string>
#include <vector>

#include "tools/kovra-catalogue/export/export_rows.h"
#include "tools/kovra-catalogue/system/why_not.h"

enum class ExportFormat { M3u8, Csv, Json };

// A track an export left out, and why ("a line break in its path", ...).
struct LeftOutTrack {
    const char* filename;  // the row's, as ExportRow has it
    WhyNot why;
};

// Appends the whole export of `rows` to `out`, and to `leftOut` each track it
// left out.
void WriteExport(ExportFormat format, const std::vector<ExportRow>& rows, std::string& out,
                 std::vector<LeftOutTrack>& leftOut);

// "#EXTM3U", then for each track "#EXTINF:seconds,artist - title" and the
// track's path relative to the player's root (the catalogue's path without its
// leading slashes), LF line ends; a path that would begin with "#" or white
// space (in the Unicode sense), which a playlist reader takes for a directive
// or trims, is written after "./". Texts keep their bytes; in the artist and
// title each C0 control, U+0085, U+2028 and U+2029 becomes a space. A track
// goes to `leftOut` instead when its path cannot be a line of a playlist of the
// player's files (playlist_lines.h): it names no file, may be cut short at the
// text ceiling, holds a line break or another control, leaves the player (a
// URL, a drive or network path, ".." climbing above the player's root), or
// holds a name of dots only or a Windows device name ("nul.mp3").
void WriteM3u8(const std::vector<ExportRow>& rows, std::string& out,
               std::vector<LeftOutTrack>& leftOut);

// A UTF-8 byte-order mark, then RFC 4180: a header row of the view's column
// names, then one record per track, CR LF line ends; a field holding a comma, a
// double quote, CR or LF is quoted, its quotes doubled. Texts keep their bytes;
// numbers are decimal.
void WriteCsv(const std::vector<ExportRow>& rows, std::string& out);

// An array of objects keyed by the view's column names, one object per line;
// length, track number and year are numbers. Each byte of a text that is not
// part of well-formed UTF-8 becomes U+FFFD, so the output is always valid JSON.
void WriteJson(const std::vector<ExportRow>& rows, std::string& out);

// `path` for a line of an error message: each byte of a control or line-break
// character (as AppendOnOneLine replaces them, and DEL) written as \xNN.
std::string PrintablePath(const char* path);
