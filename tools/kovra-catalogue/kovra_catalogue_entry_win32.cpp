// kovra-catalogue's entry point on Windows. The arguments arrive as UTF-16 and
// go on as UTF-8; paths are widened again only at the file system, so any name
// a user can type opens the file it spells, whatever the code page.
#include <string>
#include <vector>

#include "tools/kovra-catalogue/catalogue_arguments.h"
#include "tools/kovra-catalogue/kovra_catalogue_main.h"
#include "tools/kovra-catalogue/system/system_text_win32.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    if (const WhyNot why = Utf8Arguments(argc, argv, arguments)) {
        PrintError(why.Text());
        return kExitNotText;
    }
    std::vector<char*> pointers;
    for (std::string& argument : arguments) {
        pointers.push_back(&argument[0]);
    }
    pointers.push_back(nullptr);
    return RunCommand(argc, pointers.data());
}
