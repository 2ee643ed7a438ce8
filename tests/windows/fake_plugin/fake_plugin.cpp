// A plug-in of the host's own making that makes each kind of request, sane and
// hostile.
#include "tests/windows/fake_plugin/fake_plugin.h"

#include <cstring>
#include <string>

#include "host/host_requests.h"

namespace {

using fake_plugin::Observations;

Observations g_seen = {};
PluginDescriptor g_descriptor = {};

template <typename Data>
LRESULT Ask(LPARAM code, Data data) {
    return AskLibraryWindow(g_descriptor.hostLibraryWindow, code, data);
}

// Texts on the heap, scribbled over before they are freed, so that a host
// that kept pointers instead of copies reads garbage.
char* HeapText(const char* text) {
    char* copy = new char[std::strlen(text) + 1];
    std::strcpy(copy, text);
    return copy;
}

void FreeText(const char* text) {
    if (text != nullptr) {
        std::memset(const_cast<char*>(text), '#', std::strlen(text));
        delete[] text;
    }
}

HostItemRecordList MakeTwoItems() {
    HostItemRecordList list = {new HostItemRecord[2], 2, 2};
    list.records[0] = {HeapText("C:\\music\\one.mp3"),
                       HeapText("One"),
                       HeapText("First album"),
                       HeapText("Artist A"),
                       4,
                       HeapText("Rock"),
                       1999,
                       3,
                       185,
                       9};
    list.records[1] = {HeapText("C:\\music\\two.mp3"),
                       nullptr,
                       HeapText(""),
                       HeapText("Artist B"),
                       0,
                       nullptr,
                       0,
                       0,
                       0,
                       0};
    return list;
}

void FreeItems(HostItemRecordList& list) {
    for (int32_t index = 0; index < list.count; ++index) {
        const HostItemRecord& record = list.records[index];
        for (const char* text :
             {record.filename, record.title, record.album, record.artist, record.genre}) {
            FreeText(text);
        }
    }
    std::memset(list.records, 0xCD, sizeof(HostItemRecord) * list.capacity);
    delete[] list.records;
    list = {};
}

void SendItems() {
    HostItemRecordList list = MakeTwoItems();
    HostDropRecord drop = {kHostTypeItemRecordList, &list, 0, 100, 200, 0, 0};
    Ask(LIBIPC_DROP, &drop);
    HostDropRecord dragOver = {
        kHostTypeItemRecordList, &list, fake_plugin::kDragResultSent, 10, 20, 1, 0};
    Ask(LIBIPC_DRAG_OVER, &dragOver);
    g_seen.writtenDragResult = dragOver.result;
    HostPlayRequest play = {kHostTypeItemRecordList, &list, 1};
    Ask(LIBIPC_PLAY_ITEMS, &play);
    FreeItems(list);
}

void SendHostile() {
    HostItemRecord two[2] = {};
    HostItemRecordList negative = {two, -5, 2};
    HostItemRecordList huge = {two, 100001, 2};  // only two records behind it
    HostItemRecordList missing = {nullptr, 3, 0};
    int32_t foreign[4] = {1, 2, 3, 4};
    HostDropRecord records[] = {{0, &negative, 0, 0, 0, 0, 0},
                                {0, &huge, 0, 0, 0, 0, 0},
                                {0, &missing, 0, 0, 0, 0, 0},
                                {5, foreign, 0, 0, 0, 0, 0}};
    Ask(LIBIPC_DROP, WPARAM{0});
    for (HostDropRecord& record : records) {
        Ask(LIBIPC_DROP, &record);
    }
    HostPlayRequest noList = {kHostTypeItemRecordList, nullptr, 0};
    Ask(LIBIPC_PLAY_ITEMS, &noList);
    Ask(LIBIPC_ADD_TREE_ITEM, WPARAM{0});
    HostSendToRecord untitled = {nullptr, 0, 0};
    Ask(LIBIPC_ADD_SEND_TO, &untitled);
}

template <typename Function>
Function SkinFunction(WPARAM selector) {
    return reinterpret_cast<Function>(Ask(LIBIPC_GET_SKIN_FUNCTION, selector));
}

void CallColourAndPreHandler(HWND window) {
    if (auto colour = SkinFunction<SkinGetColor>(SKINFN_GET_COLOR)) {
        g_seen.colours[0] = colour(0);
        g_seen.colours[1] = colour(1);
        g_seen.colours[2] = colour(7);
    }
    if (auto preHandler = SkinFunction<SkinDialogMessage>(SKINFN_DIALOG_MESSAGE)) {
        for (UINT message : {WM_INITDIALOG, WM_PAINT, WM_INITDIALOG, WM_PAINT, WM_PAINT}) {
            g_seen.preHandlerAnswer = preHandler(window, message, 0x11, 0x22);
        }
    }
}

void CallBordersAndResize(HWND window) {
    if (auto borders = SkinFunction<SkinDrawBorders>(SKINFN_DRAW_BORDERS)) {
        const int32_t controls[] = {11, 12, 13};
        borders(window, controls, 3);
        borders(window, controls, 1000);  // a count far past the array
    }
    int32_t(&rules)[2][6] = g_seen.resizeWords;
    rules[0][0] = fake_plugin::kResizedControl;
    rules[0][1] = 0x0F;
    rules[1][0] = 999;  // no such control
    rules[1][1] = 0x03;
    auto* asRules = reinterpret_cast<ResizeRule*>(&rules[0][0]);
    if (auto resizeInit = SkinFunction<SkinResize>(SKINFN_RESIZE_INIT)) {
        resizeInit(window, asRules, 2);
    }
    if (auto resize = SkinFunction<SkinResize>(SKINFN_RESIZE)) {
        resize(window, asRules, 2);
    }
}

void UseSkin() {
    g_seen.font = reinterpret_cast<HFONT>(Ask(LIBIPC_GET_SKIN_FUNCTION, SKINFN_LIST_FONT));
    g_seen.unknownSelectorAnswer = Ask(LIBIPC_GET_SKIN_FUNCTION, WPARAM{99});
    g_seen.skinnedList = Ask(LIBIPC_SKIN_LISTVIEW, WPARAM{0x1234});
    Ask(LIBIPC_UNSKIN_LISTVIEW, static_cast<WPARAM>(g_seen.skinnedList));
    const RECT& area = fake_plugin::kResizedControlArea;
    HWND window = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 300, 200,
                                  g_descriptor.hostLibraryWindow, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "STATIC", "", WS_CHILD, area.left, area.top, area.right - area.left,
                    area.bottom - area.top, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(fake_plugin::kResizedControl)),
                    nullptr, nullptr);
    g_seen.resizedWindow = window;
    CallColourAndPreHandler(window);
    CallBordersAndResize(window);
    DestroyWindow(window);
}

WNDPROC g_staticProcedure = nullptr;

LRESULT CALLBACK LeftWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(g_staticProcedure, window, message, wParam, lParam);
}

void LeaveWindow() {
    HWND window = CreateWindowExA(0, "STATIC", "left", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50,
                                  g_descriptor.hostLibraryWindow, nullptr, nullptr, nullptr);
    g_staticProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LeftWindowProcedure)));
}

int KOVRA_HOST_CALL Init() {
    ++g_seen.initCount;
    g_seen.settingsPath = reinterpret_cast<const char*>(
        AskMainWindow(g_descriptor.hostMainWindow, HOSTIPC_GET_INI_FILE));
    HostTreeItemRecord item = {10000, "Fake device", 1, 0};
    g_seen.answeredTreeItemId = Ask(LIBIPC_ADD_TREE_ITEM, &item);
    g_seen.writtenTreeItemId = item.itemId;
    return 0;
}

// Leaves a mark in the settings file, which outlives the plug-in.
void KOVRA_HOST_CALL Quit() {
    ++g_seen.quitCount;
    if (g_seen.settingsPath != nullptr) {
        WritePrivateProfileStringA("fake", "quitCount", std::to_string(g_seen.quitCount).c_str(),
                                   g_seen.settingsPath);
    }
}

INT_PTR KOVRA_HOST_CALL MessageHandler(int message, INT_PTR param1, INT_PTR, INT_PTR);

void AddSendTo(INT_PTR context) {
    char* description = HeapText("Fake destination");
    HostSendToRecord record = {description, context, reinterpret_cast<INT_PTR>(MessageHandler)};
    Ask(LIBIPC_ADD_SEND_TO, &record);
    FreeText(description);
}

INT_PTR KOVRA_HOST_CALL MessageHandler(int message, INT_PTR param1, INT_PTR, INT_PTR) {
    switch (message) {
        case fake_plugin::kSendItems:
            SendItems();
            return 1;
        case fake_plugin::kUseSkin:
            UseSkin();
            return 1;
        case fake_plugin::kSendHostile:
            SendHostile();
            return 1;
        case fake_plugin::kLeaveWindow:
            LeaveWindow();
            return 1;
        case PLUGMSG_BUILD_SEND_TO:
            AddSendTo(param1);
            return 1;
        default:
            return 0;
    }
}

}  // namespace

extern "C" __declspec(dllexport) PluginDescriptor* KOVRA_HOST_CALL winampGetMediaLibraryPlugin() {
    g_descriptor.version = kPluginDescriptorVersion;
    g_descriptor.description = "kovra fake plug-in";
    g_descriptor.init = Init;
    g_descriptor.quit = Quit;
    g_descriptor.messageHandler = MessageHandler;
    return &g_descriptor;
}

extern "C" __declspec(dllexport) const Observations* KOVRA_HOST_CALL fakePluginObservations() {
    return &g_seen;
}
