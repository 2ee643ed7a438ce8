// Settings through the Windows profile functions.
#include "host/settings.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr char kSection[] = "ml_kovra";

// The profile functions trim blanks (and other control bytes) at a value's
// ends and drop one pair of matching quotes around it.
bool ProfileWouldChange(char edge) {
    return edge == '"' || edge == '\'' || static_cast<unsigned char>(edge) <= ' ';
}

// Room for the wrapping quotes: when the buffer is just big enough for the
// text, the profile functions cut the closing quote first and then the
// text's last character in its place.
constexpr size_t kWrappingQuotes = 2;

}  // namespace

int ReadSettingInt(const SettingsFile& file, const char* key, int fallback) {
    if (file.path == nullptr) {
        return fallback;
    }
    return static_cast<int>(GetPrivateProfileIntA(kSection, key, fallback, file.path));
}

void WriteSettingInt(const SettingsFile& file, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    WriteSettingText(file, key, text);
}

void ReadSettingText(const SettingsFile& file, const char* key, char* buffer, size_t size) {
    if (size == 0) {
        return;
    }
    buffer[0] = 0;
    if (file.path == nullptr) {
        return;
    }
    std::vector<char> value(size + kWrappingQuotes, 0);
    GetPrivateProfileStringA(kSection, key, "", value.data(), static_cast<DWORD>(value.size()),
                             file.path);
    lstrcpynA(buffer, value.data(), static_cast<int>(size));
}

// A text the profile functions would change on its way back is written in
// one extra pair of double quotes, which they take off again. Texts written
// plain before keep reading as they did. A line break would end the value
// and start keys or sections of the text's making in the host's file: the
// text is kept up to its first one.
void WriteSettingText(const SettingsFile& file, const char* key, const char* text) {
    if (file.path == nullptr) {
        return;
    }
    if (text == nullptr) {
        WritePrivateProfileStringA(kSection, key, nullptr, file.path);  // removes the key
        return;
    }
    const size_t length = std::strcspn(text, "\r\n");
    const bool quoted =
        length > 0 && (ProfileWouldChange(text[0]) || ProfileWouldChange(text[length - 1]));
    std::vector<char> value;
    value.reserve(length + kWrappingQuotes + 1);
    if (quoted) {
        value.push_back('"');
    }
    value.insert(value.end(), text, text + length);
    if (quoted) {
        value.push_back('"');
    }
    value.push_back(0);
    WritePrivateProfileStringA(kSection, key, value.data(), file.path);
}
