// The export formats: M3U8, CSV and JSON writers over exported tracks.
#include "tools/kovra-catalogue/export/export_formats.h"

#include <cstdio>
#include <cstring>

#include "base/utf8_text.h"
#include "library/columns.h"
#include "tools/kovra-catalogue/export/playlist_lines.h"

namespace {

void AppendNumber(std::string& out, int32_t number) {
    out += std::to_string(number);
}

// ---------------------------------------------------------------------------
// CSV

// Spreadsheet programs on Windows read a CSV without it in the ANSI code page.
const char kByteOrderMark[] = "\xEF\xBB\xBF";  // U+FEFF in UTF-8

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
        if (WhyNot fault = PlaylistPathFault(row.Text(kColumnFilename))) {
            leftOut.push_back({row.Text(kColumnFilename), fault});
            continue;
        }
        const char* path = PathFromRoot(row.Text(kColumnFilename));
        out += "#EXTINF:";
        AppendNumber(out, row.Number(kColumnLength));
        out += ',';
        AppendOnOneLine(out, row.Text(kColumnArtist));
        out += " - ";
        AppendOnOneLine(out, row.Text(kColumnTitle));
        out += '\n';
        if (NeedsDotSlash(path)) {
            out += "./";
        }
        out += path;
        out += '\n';
    }
}

void WriteCsv(const std::vector<ExportRow>& rows, std::string& out) {
    out += kByteOrderMark;
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
    while (*path != 0) {
        const size_t length = *path == 0x7F ? 1 : OffLineLength(path);
        if (length == 0) {
            out += *path++;
            continue;
        }
        for (const char* end = path + length; path < end; ++path) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(*path)));
            out += escaped;
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
