// The record of what the plug-in asked of the host's skin functions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "devhost/host_options.h"

namespace devhost {

struct SkinCall {
    std::string function;  // "color", "dialogMessage", "drawBorders", "resizeInit", "resize"
    HWND window = nullptr;
    // color: the index. dialogMessage: message, wParam, lParam. drawBorders:
    // the control ids. resizeInit, resize: id and flags of each rule in turn.
    std::vector<intptr_t> arguments;
    int count = 0;  // the array functions' count as passed, even when nothing was copied
};

// The skin functions are plain C functions without a context argument, so
// they write to whichever log is active; there is one host, and so one active
// log, at a time. Calls made while none is active are answered and forgotten.
class SkinLog {
  public:
    explicit SkinLog(const HostOptions& options) : options_(options) {}
    ~SkinLog();
    SkinLog(const SkinLog&) = delete;
    SkinLog& operator=(const SkinLog&) = delete;

    void Activate();
    static SkinLog* Active();

    const std::vector<SkinCall>& Calls() const { return calls_; }
    // The dialog-message function sees every message of the plug-in's
    // dialogs, far too many to log; it counts them by message id instead.
    const std::map<UINT, int>& PreHandlerMessages() const { return preHandlerMessages_; }
    // Forgets calls and counts; the next WM_INITDIALOG is logged again.
    void Clear();

    void Add(SkinCall call);
    // Counts the message, logs the first WM_INITDIALOG, and returns the
    // answer the options ask for.
    INT_PTR PreHandle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    const HostOptions& options_;
    std::vector<SkinCall> calls_;
    std::map<UINT, int> preHandlerMessages_;
    bool initDialogLogged_ = false;
};

}  // namespace devhost
