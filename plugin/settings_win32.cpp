// Settings through the Windows profile functions.
#include "plugin/settings.h"

#include <cstdio>

#include "plugin/plugin_state.h"

namespace {

constexpr char kSection[] = "ml_kovra";

}  // namespace

int ReadSettingInt(const char* key, int fallback) {
    if (g_plugin.settingsPath == nullptr) {
        return fallback;
    }
    return static_cast<int>(GetPrivateProfileIntA(kSection, key, fallback, g_plugin.settingsPath));
}

void WriteSettingInt(const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    WriteSettingText(key, text);
}

void ReadSettingText(const char* key, char* buffer, size_t size) {
    if (size == 0) {
        return;
    }
    buffer[0] = 0;
    if (g_plugin.settingsPath != nullptr) {
        GetPrivateProfileStringA(kSection, key, "", buffer, static_cast<DWORD>(size),
                                 g_plugin.settingsPath);
    }
}

void WriteSettingText(const char* key, const char* text) {
    if (g_plugin.settingsPath != nullptr) {
        WritePrivateProfileStringA(kSection, key, text, g_plugin.settingsPath);
    }
}
