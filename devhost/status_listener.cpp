// Listens on the library view's status control by subclassing it.
#include "devhost/status_listener.h"

#include <utility>

#include "resources/resource.h"

namespace devhost {

namespace {

StatusListener* g_listening = nullptr;

}  // namespace

bool IsProgressText(const std::string& text) {
    return text.rfind(kReadingTextPrefix, 0) == 0 || text.rfind(kAddingTextPrefix, 0) == 0;
}

StatusListener::StatusListener(HWND view, OnText onText)
    : status_(GetDlgItem(view, IDC_STATUS)), onText_(std::move(onText)) {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
    g_listening = this;
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(status_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Listen)));
}

StatusListener::~StatusListener() {
    if (IsWindow(status_)) {
        SetWindowLongPtrA(status_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    }
    g_listening = nullptr;
}

std::vector<std::string> StatusListener::ProgressTexts() const {
    std::vector<std::string> progress;
    for (const Text& text : texts_) {
        if (IsProgressText(text.text)) {
            progress.push_back(text.text);
        }
    }
    return progress;
}

double StatusListener::Now() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency_.QuadPart);
}

LRESULT CALLBACK StatusListener::Listen(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    StatusListener* self = g_listening;
    if (self == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT result = CallWindowProcA(self->original_, window, message, wParam, lParam);
    if (message == WM_SETTEXT) {
        const std::string text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
        self->texts_.push_back({text, self->Now()});
        if (self->onText_) {
            self->onText_(text);
        }
    }
    return result;
}

}  // namespace devhost
