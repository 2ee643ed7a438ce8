// The stand-in host's main window and the library window that parents the
// plug-in's view.
#pragma once

#include <windows.h>

namespace devhost {

// Gets every request that reaches either window.
class RequestReceiver {
  public:
    virtual LRESULT Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The main window went, and the library window with it (e.g. a demo's
    // user closed it); the handles are no longer valid.
    virtual void WindowsGone() = 0;

  protected:
    ~RequestReceiver() = default;
};

struct HostWindows {
    HWND main = nullptr;
    HWND library = nullptr;
};

constexpr char kMainWindowClass[] = "KovraStandInHostMain";
constexpr char kLibraryWindowClass[] = "KovraStandInHostLibrary";

// Made on the calling thread; the main window is hidden until someone shows it.
HostWindows CreateHostWindows(RequestReceiver& receiver);

// Leaves `width` pixels on the left of the main window to a tree pane of the
// caller's; the library window takes the rest.
void SetTreePaneWidth(HWND main, int width);

// The messages that carry requests: the main window's and the library's.
bool IsHostRequest(UINT message);

}  // namespace devhost
