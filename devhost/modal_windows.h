// Finding and reading this process's popup menus, dialogs and message boxes
// from another thread.
#pragma once

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace devhost {

constexpr char kMenuClass[] = "#32768";
constexpr char kDialogClass[] = "#32770";

struct WindowMatch {
    std::string windowClass;             // exact class name
    std::optional<std::string> caption;  // exact caption; absent matches any
};

struct FoundControl {
    int id = 0;
    std::string windowClass;
    std::string text;
    bool enabled = false;
};

struct FoundMenuItem {
    UINT id = 0;
    std::string text;
    bool separator = false;
    bool grayed = false;
    bool checked = false;
};

// The top-level windows of this process as they are now.
std::set<HWND> TopLevelWindows();

// A visible top-level window of this process that matches and is not among
// `ignored`, or null.
HWND FindWindowMatching(const WindowMatch& match, const std::set<HWND>& ignored);

std::string ClassOf(HWND window);
// Safe to call for another thread's window: gives up after a second instead
// of waiting for a thread that has stopped reading its messages.
std::string TextOf(HWND window);

// Every descendant control, in creation order.
std::vector<FoundControl> ControlsOf(HWND window);

// The entries of the menu a popup menu window shows.
std::vector<FoundMenuItem> MenuItemsOf(HWND menuWindow);

}  // namespace devhost
