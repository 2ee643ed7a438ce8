// Answers the menus, message boxes and dialogs that code under test opens on
// the test's thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "devhost/modal_windows.h"

namespace devhost {

// A helper thread waits for the window, reads it, and answers it with posted
// messages as a user would. Start it before the call that opens the modal
// window: windows already there when it starts are never taken for it.
class ModalAutomation {
  public:
    static constexpr DWORD kDefaultTimeout = 5000;  // ms

    // Closes the next popup menu with Escape.
    static ModalAutomation DismissMenu(DWORD timeout = kDefaultTimeout);
    // Chooses the entry at `position` (counting separators) of the next
    // popup menu with the keyboard. A separator or a position past the end
    // cannot be chosen; the menu is then dismissed as by ClosedByForce().
    static ModalAutomation ChooseMenuItem(int position, DWORD timeout = kDefaultTimeout);
    // Presses the control `controlId` (IDOK = 1) of the next dialog or
    // message box with that caption; an empty caption matches any.
    // `ownerToWatch`: a window whose enabled state is noted when the dialog
    // is found (a modal dialog disables its owner).
    static ModalAutomation PressInDialog(std::string caption, int controlId,
                                         HWND ownerToWatch = nullptr,
                                         DWORD timeout = kDefaultTimeout);

    ModalAutomation(ModalAutomation&& other) noexcept;
    ModalAutomation& operator=(ModalAutomation&&) = delete;
    // Stops looking and joins the helper thread.
    ~ModalAutomation();

    // True once the window was found and answered; false on timeout.
    bool Wait(DWORD milliseconds);

    bool Found() const;
    std::string FoundCaption() const;
    std::string FoundClass() const;
    // The non-empty texts of the window's static controls (a message box's
    // text among them).
    std::vector<std::string> FoundTexts() const;
    std::vector<FoundControl> FoundControls() const;
    std::vector<FoundMenuItem> FoundMenuItems() const;
    // Whether ownerToWatch was enabled when the dialog was found; true when
    // no owner was given, so that a forgotten owner cannot pass a check for
    // a disabled one.
    bool OwnerWasEnabled() const;
    // The window was still open a while after the action (or the action was
    // impossible), and the helper closed it with Escape or Cancel.
    bool ClosedByForce() const;

  private:
    struct Plan;
    struct State;
    explicit ModalAutomation(Plan plan);
    // What the helper found, read under its lock; `fallback` once moved from.
    template <typename Reader, typename Value>
    Value Read(Reader reader, Value fallback) const;

    std::unique_ptr<State> state_;
    std::thread helper_;
};

}  // namespace devhost
