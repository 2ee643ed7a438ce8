// Windows' device names, as its path functions recognise them in the last name
// of a path and, for a file opened, in any name of it.
#include "tools/kovra-catalogue/system/windows_device_names.h"

#include "base/ascii_text.h"

namespace {

bool StartsWith(const char* name, const char* upper) {
    return AsciiCompareNoCaseN(name, upper, 3) == 0;
}

}  // namespace

bool IsWindowsDeviceName(const char* name, size_t length) {
    // The system reads the name up to its first dot (or stream colon), less
    // trailing spaces.
    size_t base = 0;
    while (base < length && name[base] != '.' && name[base] != ':') {
        ++base;
    }
    while (base > 0 && name[base - 1] == ' ') {
        --base;
    }
    if (base == 3) {
        return StartsWith(name, "CON") || StartsWith(name, "PRN") || StartsWith(name, "AUX") ||
               StartsWith(name, "NUL");
    }
    if (base < 4 || !(StartsWith(name, "COM") || StartsWith(name, "LPT"))) {
        return false;
    }
    const char* number = name + 3;
    if (base == 4) {
        return *number >= '0' && *number <= '9';
    }
    // U+00B9, U+00B2 and U+00B3 in UTF-8.
    return base == 5 && number[0] == '\xC2' &&
           (number[1] == '\xB9' || number[1] == '\xB2' || number[1] == '\xB3');
}
