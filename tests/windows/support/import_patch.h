// Test helper: redirects one function that a loaded module imports, so a
// test can watch the calls the module's own code makes to the system.
#pragma once

#include <windows.h>

namespace testing_support {

// While the object lives, calls that `module` makes to `function` of `dll`
// go to `replacement`; the module's import slot gets its old address back
// when the object goes. Only calls through the import table are redirected.
class ImportPatch {
  public:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the module does not import the function.
    bool Patched() const { return slot_ != nullptr; }
    // The address the module called before: the system's function.
    void* Original() const { return original_; }

  private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace testing_support
