// UTF-8 texts spelled in the system's code page, under each code page the
// build runs this program in (1252, and 932 for a Japanese system).
#include "base/code_page_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "base/text_copy.h"

namespace {

const struct {
    unsigned codePage;
    const char* utf8;
    const char* shown;  // null: not UTF-8, no spelling
} kSpellings[] = {
    {1252, "The \xC3\x98nskede Owls", "The \xD8nskede Owls"},
    {1252, "M\xC3\xBAsica Latina", "M\xFAsica Latina"},
    {1252, "T\xC5\x8Dky\xC5\x8D Ciudad", "T?ky? Ciudad"},  // no look-alike "Tokyo"
    {1252, "\xE6\x9D\xB1\xE4\xBA\xAC Mirror", "?? Mirror"},
    {1252, "Caf\xE9", nullptr},
    {932, "\xE6\x9D\xB1\xE4\xBA\xAC Mirror", "\x93\x8C\x8B\x9E Mirror"},
    {932, "T\xC5\x8Dky\xC5\x8D Ciudad", "T?ky? Ciudad"},
};

TEST(CodePageTextTest, SpellsUtf8InTheSystemsCodePageWithoutLookAlikes) {
    int tried = 0;
    for (const auto& spelling : kSpellings) {
        if (spelling.codePage != GetACP()) {
            continue;
        }
        const std::unique_ptr<char, decltype(&FreeText)> shown(CodePageCopyOfUtf8(spelling.utf8),
                                                               &FreeText);
        EXPECT_STREQ(shown.get(), spelling.shown) << spelling.utf8;
        ++tried;
    }
    if (tried == 0) {
        GTEST_SKIP() << "no spelling for code page " << GetACP();
    }
}

}  // namespace
