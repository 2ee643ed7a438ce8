// Keeps the system's critical-error boxes, such as "There is no disk in the
// drive", from showing while the plug-in touches drives that may be empty.
// Declared without the system's headers; the Win32 body is critical_error_boxes_win32.cpp.
#pragma once

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
    void (*setThreadMode_)();    // SetThreadErrorMode; null: the process's mode was set
    unsigned long oldMode_ = 0;  // a DWORD
};
