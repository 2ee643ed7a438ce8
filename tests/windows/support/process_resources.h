// Test helper: counts of this process's GDI objects, USER objects and kernel
// handles, to show that a cycle of work gives back everything it took.
#pragma once

#include <string>

namespace testing_support {

struct ProcessResources {
    long gdiObjects = 0;
    long userObjects = 0;  // windows and menus
    long handles = 0;

    bool operator==(const ProcessResources& other) const {
        return gdiObjects == other.gdiObjects && userObjects == other.userObjects &&
               handles == other.handles;
    }
    std::string Describe() const;
};

// GetGuiResources and GetProcessHandleCount where they answer; wine answers
// 0 to both, so there the counts come from the process's GDI handle table,
// its thread's windows, and the system's handle list.
ProcessResources MeasureProcessResources();

}  // namespace testing_support
