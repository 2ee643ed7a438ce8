// Writes exported tracks as an M3U8 playlist, as CSV or as JSON.
#pragma once

#include <string>
#include <vector>

#include "tools/export_rows.h"

enum class ExportFormat { M3u8, Csv, Json };

// Appends the whole export of `rows` to `out`.
void WriteExport(ExportFormat format, const std::vector<ExportRow>& rows, std::string& out);

// "#EXTM3U", then for each track "#EXTINF:seconds,artist - title" and the track's path relative to
// the player's root (the catalogue's path without its leading slashes), LF line ends. Texts keep
// their bytes; a line break inside one becomes a space. A track whose path is empty or holds a
// line break cannot be played from a list and is left out.
void WriteM3u8(const std::vector<ExportRow>& rows, std::string& out);

// RFC 4180: a header row of the view's column names, then one record per track, CR LF line ends;
// a field holding a comma, a double quote, CR or LF is quoted, its quotes doubled. Texts keep
// their bytes; numbers are decimal.
void WriteCsv(const std::vector<ExportRow>& rows, std::string& out);

// An array of objects keyed by the view's column names, one object per line; length, track
// number and year are numbers. Each byte of a text that is not part of well-formed UTF-8 becomes
// U+FFFD, so the output is always valid JSON.
void WriteJson(const std::vector<ExportRow>& rows, std::string& out);
