// The wrapper of the view's list control. One static object that outlives
// the view windows: it keeps the list font the host handed over.
#pragma once

#include <windows.h>

#include <cstdint>

class ListViewBinding {
  public:
    ListViewBinding() = default;
    // Deletes the font it owns (release at unload).
    ~ListViewBinding() { Release(); }
    ListViewBinding(const ListViewBinding&) = delete;
    ListViewBinding& operator=(const ListViewBinding&) = delete;

    HWND ListControl() const { return listControl_; }

    // The host library window that font requests go to.
    void SetLibraryWindow(HWND window) { libraryWindow_ = window; }

    // Takes the control, gives it exactly the extended styles full-row
    // select and underline-hot, then refreshes the font.
    void Attach(HWND listControl);

    // Inserts a left-aligned column at the next index; the index moves on
    // whatever the control answers.
    void InsertColumn(const char* title, int width);

    // Deletes the font it holds (first taking it off the control), then asks
    // the host for a new one, which it then owns, and redraws the control.
    void RefreshFont();

    // Deletes the font, if any. The control is not told: it is gone by now.
    void Release();

  private:
    HWND listControl_ = nullptr;
    HFONT font_ = nullptr;  // owned
    int32_t columnCount_ = 0;
    int32_t useHostFont_ = 1;
    HWND libraryWindow_ = nullptr;
};
