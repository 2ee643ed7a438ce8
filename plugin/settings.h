// The plug-in's settings: section "ml_kovra" of the host's settings file.
#pragma once

#include <cstddef>

// Without a settings file (the host gave no path) reads give the fallback
// and writes do nothing, rather than going to the system's own win.ini.
int ReadSettingInt(const char* key, int fallback);
void WriteSettingInt(const char* key, int value);
void ReadSettingText(const char* key, char* buffer, size_t size);
void WriteSettingText(const char* key, const char* text);
