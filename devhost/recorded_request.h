// What the stand-in host keeps of each request, in copies that outlive the
// plug-in's records.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace devhost {

// One HostItemRecord. A null text stays absent, so tests can tell it from "".
struct RecordedItem {
    std::optional<std::string> filename, title, album, artist, genre;
    int32_t year = 0, track = 0, length = 0, unused4 = 0, unused9 = 0;
};

struct RecordedTreeItem {
    INT_PTR word0 = 0;
    std::optional<std::string> title;
    int32_t word2 = 0;
    INT_PTR itemId = 0;  // after the host wrote it
};

// As the plug-in sent it, before the host wrote its answer into `result`.
struct RecordedDrop {
    int32_t type = 0;
    bool hasData = false;
    int32_t result = 0;
    int32_t x = 0, y = 0;
    int32_t flags = 0;
    int32_t reserved = 0;
};

struct RecordedPlay {
    int32_t type = 0;
    bool hasData = false;
    int32_t enqueue = 0;
};

struct RecordedSendTo {
    std::optional<std::string> description;
    INT_PTR context = 0;
    INT_PTR userValue = 0;
};

// One request to a host window. At most one of the record copies is set, and
// only when the request carried a non-null record of that kind.
struct RecordedRequest {
    HWND target = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM code = 0;
    LRESULT answer = 0;

    std::optional<RecordedTreeItem> treeItem;
    std::optional<RecordedDrop> drop;
    std::optional<RecordedPlay> play;
    std::optional<RecordedSendTo> sendTo;

    // From the item list of a drop or play request. The count is kept as sent;
    // the items only when the count is sane and the record array is there.
    int32_t itemCount = 0;
    std::vector<RecordedItem> items;
};

}  // namespace devhost
