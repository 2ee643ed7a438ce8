// The fake plug-in's extra messages, and what it tells the test about the
// host's answers.
#pragma once

#include <windows.h>

#include <cstdint>

namespace fake_plugin {

// Messages to its message handler besides the host's own.
constexpr int kSendItems = 0x7001;    // a drop, a drag-over and a play request, two items each
constexpr int kUseSkin = 0x7002;      // asks for the skin functions and the font, and calls them
constexpr int kSendHostile = 0x7003;  // null records, absurd counts, foreign payloads
constexpr int kLeaveWindow = 0x7004;  // a child of the library window that runs the plug-in's code

constexpr int kResizedControl = 501;
constexpr RECT kResizedControlArea = {10, 20, 110, 45};
constexpr int32_t kDragResultSent = -7;

struct Observations {
    int initCount;
    int quitCount;
    const char* settingsPath;  // as answered, still the host's
    INT_PTR answeredTreeItemId;
    INT_PTR writtenTreeItemId;
    int32_t writtenDragResult;
    HFONT font;
    INT_PTR skinnedList;
    INT_PTR unknownSelectorAnswer;
    int colours[3];             // of indexes 0, 1 and 7
    INT_PTR preHandlerAnswer;   // of the last call
    int32_t resizeWords[2][6];  // the two rules after resizeInit
    HWND resizedWindow;
};

constexpr char kObservationsExport[] = "fakePluginObservations";
using ObservationsExport = const Observations*(__cdecl*)();

}  // namespace fake_plugin
