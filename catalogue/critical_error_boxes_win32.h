// Keeps the system's critical-error boxes, such as "There is no disk in the
// drive", from showing while the plug-in touches drives that may be empty.
// Win32 code only.
#pragma once

#include <windows.h>

// While the object lives, a failed drive access fails quietly instead of
// asking the user. The mode is set for this thread where the system can
// (SetThreadErrorMode), for the process otherwise; the old mode comes back
// when the object goes.
class CriticalErrorBoxesOff {
  public:
    CriticalErrorBoxesOff();
    ~CriticalErrorBoxesOff();
    CriticalErrorBoxesOff(const CriticalErrorBoxesOff&) = delete;
    CriticalErrorBoxesOff& operator=(const CriticalErrorBoxesOff&) = delete;

  private:
    using SetThreadErrorModeFunction = BOOL(WINAPI*)(DWORD mode, DWORD* oldMode);

    SetThreadErrorModeFunction setThreadMode_;  // null: the process's mode was set
    DWORD oldMode_ = 0;
};
