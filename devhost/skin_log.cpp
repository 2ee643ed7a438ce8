// The record of what the plug-in asked of the host's skin functions.
#include "devhost/skin_log.h"

#include <utility>

namespace devhost {

namespace {

SkinLog* g_activeLog = nullptr;

}  // namespace

SkinLog::~SkinLog() {
    if (g_activeLog == this) {
        g_activeLog = nullptr;
    }
}

void SkinLog::Activate() {
    g_activeLog = this;
}

SkinLog* SkinLog::Active() {
    return g_activeLog;
}

void SkinLog::Clear() {
    calls_.clear();
    preHandlerMessages_.clear();
    initDialogLogged_ = false;
}

void SkinLog::Add(SkinCall call) {
    calls_.push_back(std::move(call));
}

INT_PTR SkinLog::PreHandle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++preHandlerMessages_[message];
    if (message == WM_INITDIALOG && !initDialogLogged_) {
        initDialogLogged_ = true;
        Add({"dialogMessage",
             window,
             {static_cast<intptr_t>(message), static_cast<intptr_t>(wParam),
              static_cast<intptr_t>(lParam)}});
    }
    if (options_.preHandlerAnswerOnlyTo != 0 && options_.preHandlerAnswerOnlyTo != message) {
        return 0;
    }
    return options_.preHandlerAnswer;
}

}  // namespace devhost
