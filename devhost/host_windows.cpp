// The stand-in host's main and library windows.
#include "devhost/host_windows.h"

#include "host/host_api.h"

namespace devhost {

namespace {

constexpr int kLibraryWidth = 800;
constexpr int kLibraryHeight = 600;

RequestReceiver* ReceiverOf(HWND window) {
    return reinterpret_cast<RequestReceiver*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Both windows keep their receiver from the creation parameter; messages
// that come before WM_NCCREATE find none and get the default treatment.
RequestReceiver* Remember(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    return ReceiverOf(window);
}

constexpr char kTreePaneProperty[] = "KovraTreePaneWidth";

// The library window takes the main window's client area but for the tree
// pane on the left, when there is one.
void LayOutMain(HWND main) {
    RECT client;
    const HWND library = FindWindowExA(main, nullptr, kLibraryWindowClass, nullptr);
    if (library != nullptr && GetClientRect(main, &client)) {
        const int tree =
            static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(main, kTreePaneProperty)));
        MoveWindow(library, tree, 0, client.right - tree, client.bottom, TRUE);
    }
}

LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RequestReceiver* receiver = Remember(window, message, lParam);
    if (receiver != nullptr && IsHostRequest(message)) {
        return receiver->Receive(window, message, wParam, lParam);
    }
    if (message == WM_SIZE) {
        LayOutMain(window);
    } else if (message == WM_NCDESTROY && receiver != nullptr) {
        RemovePropA(window, kTreePaneProperty);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        receiver->WindowsGone();
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A view the plug-in made in the library window fills it, as in the real host.
void FillWithView(HWND library) {
    RECT client;
    const HWND view = GetWindow(library, GW_CHILD);
    if (view != nullptr && GetClientRect(library, &client)) {
        MoveWindow(view, 0, 0, client.right, client.bottom, TRUE);
    }
}

LRESULT CALLBACK LibraryProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RequestReceiver* receiver = Remember(window, message, lParam);
    if (receiver != nullptr && IsHostRequest(message)) {
        return receiver->Receive(window, message, wParam, lParam);
    }
    if (message == WM_SIZE) {
        FillWithView(window);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Register(const char* name, WNDPROC procedure, int background) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
    windowClass.lpszClassName = name;
    RegisterClassExA(&windowClass);  // fails harmlessly for the second host of a process
}

}  // namespace

void SetTreePaneWidth(HWND main, int width) {
    SetPropA(main, kTreePaneProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(width)));
    LayOutMain(main);
}

bool IsHostRequest(UINT message) {
    return message == kHostMainRequest || message == WM_LIBRARY_IPC;
}

HostWindows CreateHostWindows(RequestReceiver& receiver) {
    Register(kMainWindowClass, MainProcedure, COLOR_APPWORKSPACE);
    Register(kLibraryWindowClass, LibraryProcedure, COLOR_WINDOW);
    RECT frame = {0, 0, kLibraryWidth, kLibraryHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HostWindows windows;
    windows.main = CreateWindowExA(
        0, kMainWindowClass, "ml_kovra stand-in host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
        CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
        nullptr, GetModuleHandleA(nullptr), &receiver);
    windows.library = CreateWindowExA(WS_EX_CONTROLPARENT, kLibraryWindowClass, "library",
                                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                                      0, kLibraryWidth, kLibraryHeight, windows.main, nullptr,
                                      GetModuleHandleA(nullptr), &receiver);
    return windows;
}

}  // namespace devhost
