// The plug-in's settings: section "ml_kovra" of the host's settings file.
#pragma once

#include <cstddef>

// The host's settings file, as the host named it at init; a null path (the
// host gave none, or init has not run) is no file. The text belongs to the
// host and must outlive its use here.
struct SettingsFile {
    const char* path = nullptr;
};

constexpr SettingsFile kNoSettingsFile = {};

// Without a settings file reads give the fallback and writes do nothing,
// rather than going to the system's own win.ini.
int ReadSettingInt(const SettingsFile& file, const char* key, int fallback);
void WriteSettingInt(const SettingsFile& file, const char* key, int value);
// A text comes back byte for byte as written, quotes and edge blanks
// included, cut to size - 1 bytes; texts that earlier versions wrote read
// as they always did.
void ReadSettingText(const SettingsFile& file, const char* key, char* buffer, size_t size);
void WriteSettingText(const SettingsFile& file, const char* key, const char* text);
