// UTF-8 texts as the system's wide (UTF-16) texts, for its W functions.
#pragma once

#include <memory>

using WideText = std::unique_ptr<wchar_t[]>;

// The wide form of the NUL-terminated UTF-8 `text`, or null when `text` is
// not valid UTF-8 or memory runs out. Windows only.
WideText WideFromUtf8(const char* text);
