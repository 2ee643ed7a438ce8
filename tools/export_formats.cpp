// The export formats: M3U8, CSV and JSON writers over exported tracks.
#include "tools/export_formats.h"

#include <cstdio>
#include <cstring>

#include "base/utf8_text.h"
#include "library/columns.h"

namespace {

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

void AppendNumber(std::string& out, int32_t number) {
    out += std::to_string(number);
}

// ---------------------------------------------------------------------------
// M3U8

void AppendOneLine(std::string& out, const char* text) {
    for (; *text != 0; ++text) {
        out += IsLineBreak(*text) ? ' ' : *text;
    }
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The catalogue names audio files from the player's root ("/MUSIC/..."); a playlist names them
// relative to wherever the player is mounted.
const char* PathFromRoot(const char* path) {
    while (IsSeparator(*path)) {
        ++path;
    }
    return path;
}

// True when the relative `path` goes above the folder it starts from: more ".." parts than
// parts before them.
bool ClimbsAbove(const char* path) {
    int depth = 0;
    while (*path != 0) {
        const char* end = path;
        while (*end != 0 && !IsSeparator(*end)) {
            ++end;
        }
        const size_t length = static_cast<size_t>(end - path);
        if (length == 2 && path[0] == '.' && path[1] == '.') {
            if (--depth < 0) {
                return true;
            }
        } else if (length > 0 && !(length == 1 && path[0] == '.')) {
            ++depth;
        }
        path = *end != 0 ? end + 1 : end;
    }
    return false;
}

// Why the catalogue's `path` cannot be a playlist line naming a file of the player; null when it
// can.
const char* PlaylistPathFault(const char* path) {
    const char* relative = PathFromRoot(path);
    if (*relative == 0) {
        return "names no audio file";
    }
    if (std::strpbrk(relative, "\r\n") != nullptr) {
        return "a line break in its path";
    }
    if (IsSeparator(path[0]) && IsSeparator(path[1])) {
        return "a network path, off the player";
    }
    // A colon in the first part: "C:..." names a drive, "http:..." and the like a URL.
    const size_t firstPart = std::strcspn(relative, "/\\");
    const char* colon = static_cast<const char*>(std::memchr(relative, ':', firstPart));
    if (colon != nullptr) {
        return colon == relative + 1 ? "a drive path, off the player" : "a URL, off the player";
    }
    if (ClimbsAbove(relative)) {
        return "climbs out of the player";
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// CSV

void AppendCsvField(std::string& out, const char* text) {
    if (std::strpbrk(text, ",\"\r\n") == nullptr) {
        out += text;
        return;
    }
    out += '"';
    for (; *text != 0; ++text) {
        if (*text == '"') {
            out += '"';
        }
        out += *text;
    }
    out += '"';
}

void AppendCsvCell(std::string& out, const ExportCell& cell) {
    if (cell.text != nullptr) {
        AppendCsvField(out, cell.text);
    } else {
        AppendNumber(out, cell.number);
    }
}

// ---------------------------------------------------------------------------
// JSON

const char kReplacementCharacter[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

void AppendJsonEscape(std::string& out, unsigned char c) {
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default: {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
    }
}

void AppendJsonString(std::string& out, const char* text) {
    out += '"';
    while (*text != 0) {
        const auto c = static_cast<unsigned char>(*text);
        if (c < 0x20 || c == '"' || c == '\\') {
            AppendJsonEscape(out, c);
            ++text;
            continue;
        }
        const size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            out += kReplacementCharacter;
            ++text;
            continue;
        }
        out.append(text, length);
        text += length;
    }
    out += '"';
}

void AppendJsonObject(std::string& out, const ExportRow& row) {
    out += '{';
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0) {
            out += ", ";
        }
        AppendJsonString(out, kColumns[column].title);
        out += ": ";
        const ExportCell cell = CellOf(row, column);
        if (cell.text != nullptr) {
            AppendJsonString(out, cell.text);
        } else {
            AppendNumber(out, cell.number);
        }
    }
    out += '}';
}

}  // namespace

void WriteM3u8(const std::vector<ExportRow>& rows, std::string& out,
               std::vector<LeftOutTrack>& leftOut) {
    out += "#EXTM3U\n";
    for (const ExportRow& row : rows) {
        if (const char* fault = PlaylistPathFault(row.Text(kColumnFilename))) {
            leftOut.push_back({row.Text(kColumnFilename), fault});
            continue;
        }
        const char* path = PathFromRoot(row.Text(kColumnFilename));
        out += "#EXTINF:";
        AppendNumber(out, row.Number(kColumnLength));
        out += ',';
        AppendOneLine(out, row.Text(kColumnArtist));
        out += " - ";
        AppendOneLine(out, row.Text(kColumnTitle));
        out += '\n';
        if (*path == '#' || *path == ' ' || *path == '\t') {
            out += "./";
        }
        out += path;
        out += '\n';
    }
}

void WriteCsv(const std::vector<ExportRow>& rows, std::string& out) {
    for (int column = 0; column < kColumnCount; ++column) {
        out += column > 0 ? "," : "";
        AppendCsvField(out, kColumns[column].title);
    }
    out += "\r\n";
    for (const ExportRow& row : rows) {
        for (int column = 0; column < kColumnCount; ++column) {
            out += column > 0 ? "," : "";
            AppendCsvCell(out, CellOf(row, column));
        }
        out += "\r\n";
    }
}

void WriteJson(const std::vector<ExportRow>& rows, std::string& out) {
    out += '[';
    for (size_t i = 0; i < rows.size(); ++i) {
        out += i > 0 ? ",\n " : "\n ";
        AppendJsonObject(out, rows[i]);
    }
    out += rows.empty() ? "]\n" : "\n]\n";
}

std::string PrintablePath(const char* path) {
    std::string out;
    for (; *path != 0; ++path) {
        const auto c = static_cast<unsigned char>(*path);
        if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        } else {
            out += *path;
        }
    }
    return out;
}

void WriteExport(ExportFormat format, const std::vector<ExportRow>& rows, std::string& out,
                 std::vector<LeftOutTrack>& leftOut) {
    switch (format) {
        case ExportFormat::M3u8:
            WriteM3u8(rows, out, leftOut);
            return;
        case ExportFormat::Csv:
            WriteCsv(rows, out);
            return;
        case ExportFormat::Json:
            WriteJson(rows, out);
            return;
    }
}
