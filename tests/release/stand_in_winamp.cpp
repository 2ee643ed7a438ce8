// The host's program in the installer's tests: a folder holding it as
// winamp.exe is a host folder. With --window it also shows the host's main
// window, whose class the installer looks for, until its standard input ends.
// With --hold read FILE it keeps FILE open, sharing only reading, and shows no
// window: a host still unloading its plug-ins, or a scanner reading the file.
// With --hold read-write FILE others may also write it but not rename or
// delete it. With --load FILE it maps the DLL FILE as the loader does (without
// running its code) and shows no window: the host, running for another user,
// with the plug-in loaded.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const char kHostWindowClass[] = "Winamp v1.x";

// The test that started the program says when the host stops by closing its
// input; a test that dies closes it too, so no host is left behind.
void WaitForEndOfInput() {
    char buffer[64];
    DWORD read = 0;
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    while (ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    }
}

DWORD WINAPI CloseOnEndOfInput(LPVOID window) {
    WaitForEndOfInput();
    PostMessageA(static_cast<HWND>(window), WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CALLBACK HostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Prints "ready" once the window exists, then runs until the window closes.
int RunHostWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kHostWindowClass;
    if (RegisterClassA(&windowClass) == 0) {
        return 1;
    }
    const HWND window = CreateWindowExA(0, kHostWindowClass, "Winamp", WS_OVERLAPPEDWINDOW, 0, 0,
                                        300, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    const HANDLE watcher =
        window ? CreateThread(nullptr, 0, CloseOnEndOfInput, window, 0, nullptr) : nullptr;
    if (watcher == nullptr) {
        return 1;
    }
    CloseHandle(watcher);
    std::printf("ready\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}

// Prints "ready" once FILE is open, then keeps it open until the input ends.
int HoldFile(const char* sharing, const char* path) {
    const DWORD shared = std::strcmp(sharing, "read-write") == 0
                             ? FILE_SHARE_READ | FILE_SHARE_WRITE
                             : FILE_SHARE_READ;
    const HANDLE file = CreateFileA(path, GENERIC_READ, shared, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    WaitForEndOfInput();
    CloseHandle(file);
    return 0;
}

// Prints "ready" once the DLL at PATH is mapped, then keeps it until the input
// ends.
int LoadDll(const char* path) {
    const HMODULE module = LoadLibraryExA(path, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (module == nullptr) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    WaitForEndOfInput();
    FreeLibrary(module);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--window") == 0) {
        return RunHostWindow();
    }
    if (argc == 4 && std::strcmp(argv[1], "--hold") == 0) {
        return HoldFile(argv[2], argv[3]);
    }
    if (argc == 3 && std::strcmp(argv[1], "--load") == 0) {
        return LoadDll(argv[2]);
    }
    return 0;
}
