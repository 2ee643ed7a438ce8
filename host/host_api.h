// What crosses between the plug-in and its host: the descriptor, the host's
// request codes and messages, and the records they carry. All records are
// arrays of 32-bit little-endian words in the 32-bit build; texts are
// pointers to NUL-terminated 8-bit strings.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "host/host_item_record.h"

// Every function that crosses the boundary uses the C calling convention.
#define KOVRA_HOST_CALL __cdecl

// The descriptor the export hands the host. The host fills the last three
// fields before it calls init.
struct PluginDescriptor {
    int32_t version;               // 21
    const char* description;       // "ml_kovra v0.001"
    int(KOVRA_HOST_CALL* init)();  // returns 0
    void(KOVRA_HOST_CALL* quit)();
    INT_PTR(KOVRA_HOST_CALL* messageHandler)
    (int message, INT_PTR param1, INT_PTR param2, INT_PTR param3);
    HWND hostMainWindow;
    HWND hostLibraryWindow;
    HINSTANCE moduleInstance;
};

constexpr int32_t kPluginDescriptorVersion = 21;

// The only item-list type the plug-in makes or takes: a HostItemRecordList.
constexpr int kHostTypeItemRecordList = 0;

// Written by the plug-in for LIBIPC_ADD_TREE_ITEM; the host writes the id.
// The first and third words mean something to the host only.
struct HostTreeItemRecord {
    INT_PTR word0;  // the plug-in passes 10000
    const char* title;
    int32_t word2;   // the plug-in passes 1
    INT_PTR itemId;  // written by the host
};

// A drag or drop: what is dragged, where, and the receiver's answer.
struct HostDropRecord {
    int32_t type;    // kHostTypeItemRecordList
    void* data;      // for type 0 a HostItemRecordList, or null
    int32_t result;  // written by the receiver: > 0 accepted, 0 not concerned, < 0 refused
    int32_t x;       // screen coordinates
    int32_t y;
    int32_t flags;     // 1 on the query that precedes a drop, else 0
    int32_t reserved;  // always 0
};

// Play or enqueue items.
struct HostPlayRequest {
    int32_t type;  // kHostTypeItemRecordList
    HostItemRecordList* data;
    int32_t enqueue;  // 1 to enqueue, 0 to play
};

// An entry for the host's send-to menu.
struct HostSendToRecord {
    const char* description;
    INT_PTR context;    // the value the host passed with PLUGMSG_BUILD_SEND_TO
    INT_PTR userValue;  // the plug-in's own message handler
};

#if !defined(_WIN64)
static_assert(sizeof(PluginDescriptor) == 32, "eight 32-bit words");
static_assert(sizeof(HostTreeItemRecord) == 16, "four 32-bit words");
static_assert(sizeof(HostDropRecord) == 28, "seven 32-bit words");
static_assert(sizeof(HostPlayRequest) == 12, "three 32-bit words");
static_assert(sizeof(HostSendToRecord) == 12, "three 32-bit words");
#endif

// Requests to the host main window: WM_USER with the code in lParam.
constexpr UINT kHostMainRequest = WM_USER;
constexpr LPARAM HOSTIPC_GET_INI_FILE = 334;

// Requests to the host library window: WM_LIBRARY_IPC with the code in lParam.
constexpr UINT WM_LIBRARY_IPC = 0x1400;
constexpr LPARAM LIBIPC_ADD_TREE_ITEM = 257;
constexpr LPARAM LIBIPC_DRAG_OVER = 768;
constexpr LPARAM LIBIPC_DROP = 769;
constexpr LPARAM LIBIPC_PLAY_ITEMS = 770;
constexpr LPARAM LIBIPC_ADD_SEND_TO = 1024;
constexpr LPARAM LIBIPC_SKIN_LISTVIEW = 1280;
constexpr LPARAM LIBIPC_UNSKIN_LISTVIEW = 1281;
constexpr LPARAM LIBIPC_GET_SKIN_FUNCTION = 1536;

// Selectors of LIBIPC_GET_SKIN_FUNCTION.
constexpr WPARAM SKINFN_GET_COLOR = 1;
constexpr WPARAM SKINFN_DIALOG_MESSAGE = 2;
constexpr WPARAM SKINFN_DRAW_BORDERS = 3;
constexpr WPARAM SKINFN_RESIZE_INIT = 32;
constexpr WPARAM SKINFN_RESIZE = 33;
constexpr WPARAM SKINFN_LIST_FONT = 66;  // not a function: a font the caller then owns

// The shapes of the skin functions.
using SkinGetColor = int(KOVRA_HOST_CALL*)(int colourIndex);
using SkinDialogMessage = INT_PTR(KOVRA_HOST_CALL*)(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam);
using SkinDrawBorders = void(KOVRA_HOST_CALL*)(HWND window, const int32_t* controls, int count);
// One entry of the resize table the view hands the skin's resize functions:
// the control, how it follows the window, and four words that belong to the
// host's resize functions (never touched by the plug-in).
struct ResizeRule {
    int32_t controlId;
    int32_t flags;
    int32_t hostWords[4];
};
static_assert(sizeof(ResizeRule) == 24, "six 32-bit words");

using SkinResize = void(KOVRA_HOST_CALL*)(HWND window, ResizeRule* rules, int count);

// Messages from the host to the plug-in's message handler. Messages from
// 0x100 to 0x1FF concern a tree item, whose id is param1.
constexpr int PLUGMSG_CREATE_VIEW = 0x100;
constexpr int PLUGMSG_TREE_CLICK = 0x101;
constexpr int PLUGMSG_TREE_DROP_TARGET = 0x102;
constexpr int PLUGMSG_TREE_DRAG_OVER = 0x103;
constexpr int PLUGMSG_TREE_DROP = 0x104;
constexpr int PLUGMSG_TREE_FIRST = 0x100;
constexpr int PLUGMSG_TREE_LAST = 0x1FF;
constexpr int PLUGMSG_BUILD_SEND_TO = 0x300;
constexpr int PLUGMSG_SEND_TO_SELECT = 0x301;

// From the host library to the plug-in's view window.
constexpr UINT WM_LIBRARY_CHILD_IPC = 0x8800;
constexpr LPARAM LIBCHILD_DROP_ITEM = 256;
