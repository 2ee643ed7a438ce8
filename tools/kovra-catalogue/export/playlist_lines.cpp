// The lines of an M3U8 playlist: a path is written only when every reader opens
// the file the catalogue names with it, whichever way the reader splits lines,
// trims white space or resolves names on Windows.
#include "tools/kovra-catalogue/export/playlist_lines.h"

#include <cstdint>
#include <cstring>

#include "base/utf8_text.h"
#include "catalogue/load_budget.h"
#include "tools/kovra-catalogue/system/windows_device_names.h"

namespace {

constexpr uint32_t kNotUtf8 = 0xFFFFFFFF;

// The character at `text`, or kNotUtf8 for a byte that starts no well-formed
// UTF-8 sequence, taken alone (a Latin-1 0x85 is no line end to a UTF-8
// reader).
Utf8Character CharacterAt(const char* text) {
    const Utf8Character c = Utf8CharacterAt(text);
    return c.length == 0 ? Utf8Character{kNotUtf8, 1} : c;
}

// Unicode's White_Space property: what a reader that trims a line may take off
// its start.
bool IsWhiteSpace(uint32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// Where a reader that splits lines the Unicode way ends one: LF, VT, FF, CR,
// the separators FS, GS and RS, NEL, LINE SEPARATOR and PARAGRAPH SEPARATOR.
bool IsLineBreak(uint32_t c) {
    return (c >= 0x0A && c <= 0x0D) || (c >= 0x1C && c <= 0x1E) || c == 0x85 || c == 0x2028 ||
           c == 0x2029;
}

bool IsOffLine(uint32_t c) {
    return c < 0x20 || IsLineBreak(c);
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Why `path` holds a character no line can: a line break, or another C0 control
// (which no Windows file name holds either); none when it holds none.
WhyNot OffLineFault(const char* path) {
    WhyNot fault;
    while (*path != 0) {
        const Utf8Character c = CharacterAt(path);
        if (IsLineBreak(c.point)) {
            return "a line break in its path";
        }
        if (c.point < 0x20) {
            fault = "a control character in its path";
        }
        path += c.length;
    }
    return fault;
}

// True when the load may have cut `path` at the per-text ceiling. The track
// keeps no mark of a cut: a cut text is kMaxTextLength bytes long, or up to
// three bytes shorter when it is UTF-8 throughout and a character would have
// straddled the ceiling. A real path is far shorter.
bool MayBeCut(const char* path) {
    const size_t length = std::strlen(path);
    return length >= kMaxTextLength ||
           (length + 3 >= kMaxTextLength && FirstInvalidUtf8(path) == SIZE_MAX);
}

// True when the relative `path` goes above the folder it starts from: more ".."
// parts than parts before them.
bool ClimbsAbove(const char* path) {
    int depth = 0;
    while (*path != 0) {
        const size_t length = std::strcspn(path, "/\\");
        if (length == 2 && path[0] == '.' && path[1] == '.') {
            if (--depth < 0) {
                return true;
            }
        } else if (length > 0 && !(length == 1 && path[0] == '.')) {
            ++depth;
        }
        path += path[length] != 0 ? length + 1 : length;
    }
    return false;
}

// "." and "..." name no file of their own ("..", a step up, is ClimbsAbove's).
bool IsDotsOnly(const char* segment, size_t length) {
    return length > 0 && length != 2 && std::strspn(segment, ".") >= length;
}

WhyNot SegmentFault(const char* path) {
    while (*path != 0) {
        const size_t length = std::strcspn(path, "/\\");
        if (IsDotsOnly(path, length)) {
            return "a name of dots only in its path";
        }
        if (IsWindowsDeviceName(path, length)) {
            return "a Windows device name in its path";
        }
        path += path[length] != 0 ? length + 1 : length;
    }
    return {};
}

}  // namespace

// The catalogue names audio files from the player's root ("/MUSIC/..."); a
// playlist names them relative to wherever the player is mounted.
const char* PathFromRoot(const char* path) {
    while (IsSeparator(*path)) {
        ++path;
    }
    return path;
}

WhyNot PlaylistPathFault(const char* path) {
    const char* relative = PathFromRoot(path);
    if (*relative == 0) {
        return "names no audio file";
    }
    if (MayBeCut(path)) {
        return "may be cut short at the text ceiling";
    }
    if (WhyNot fault = OffLineFault(relative)) {
        return fault;
    }
    if (IsSeparator(path[0]) && IsSeparator(path[1])) {
        return "a network path, off the player";
    }
    // A colon in the first part: "C:..." names a drive, "http:..." and the like
    // a URL.
    const size_t firstPart = std::strcspn(relative, "/\\");
    const char* colon = static_cast<const char*>(std::memchr(relative, ':', firstPart));
    if (colon != nullptr) {
        return colon == relative + 1 ? "a drive path, off the player" : "a URL, off the player";
    }
    if (ClimbsAbove(relative)) {
        return "climbs out of the player";
    }
    return SegmentFault(relative);
}

bool NeedsDotSlash(const char* path) {
    return *path == '#' || IsWhiteSpace(CharacterAt(path).point);
}

size_t OffLineLength(const char* text) {
    const Utf8Character c = CharacterAt(text);
    return *text != 0 && IsOffLine(c.point) ? c.length : 0;
}

void AppendOnOneLine(std::string& out, const char* text) {
    while (*text != 0) {
        const Utf8Character c = CharacterAt(text);
        if (IsOffLine(c.point)) {
            out += ' ';
        } else {
            out.append(text, c.length);
        }
        text += c.length;
    }
}
