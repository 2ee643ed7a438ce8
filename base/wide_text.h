// UTF-8 texts as the system's wide (UTF-16) texts, for its W functions, and back.
#pragma once

#include <memory>
#include <string>

using WideText = std::unique_ptr<wchar_t[]>;

// The wide form of the NUL-terminated UTF-8 `text`, or null when `text` is
// not valid UTF-8 or memory runs out. Windows only.
WideText WideFromUtf8(const char* text);

// The UTF-8 form of the NUL-terminated wide `text` into `utf8`; false when
// `text` has none (a surrogate without its pair). Windows only.
bool Utf8FromWide(const wchar_t* text, std::string& utf8);
