// Deep copies of the records that requests carry.
#include "devhost/record_copies.h"

#include <cstring>

namespace devhost {

namespace {

template <typename Record>
const Record* CarriedRecord(const RecordedRequest& request) {
    return reinterpret_cast<const Record*>(request.wParam);
}

// Only a type-0 payload is a HostItemRecordList; anything else is opaque.
const HostItemRecordList* ItemList(int32_t type, const void* data) {
    if (type != kHostTypeItemRecordList) {
        return nullptr;
    }
    return static_cast<const HostItemRecordList*>(data);
}

void CopyTreeItem(RecordedRequest& request) {
    const auto* record = CarriedRecord<HostTreeItemRecord>(request);
    if (record != nullptr) {
        request.treeItem =
            RecordedTreeItem{record->word0, CopyText(record->title), record->word2, record->itemId};
    }
}

void CopyDrop(RecordedRequest& request) {
    const auto* record = CarriedRecord<HostDropRecord>(request);
    if (record == nullptr) {
        return;
    }
    request.drop = RecordedDrop{record->type, record->data != nullptr, record->result,  record->x,
                                record->y,    record->flags,           record->reserved};
    CopyItemList(ItemList(record->type, record->data), request);
}

void CopyPlay(RecordedRequest& request) {
    const auto* record = CarriedRecord<HostPlayRequest>(request);
    if (record == nullptr) {
        return;
    }
    request.play = RecordedPlay{record->type, record->data != nullptr, record->enqueue};
    CopyItemList(ItemList(record->type, record->data), request);
}

void CopySendTo(RecordedRequest& request) {
    const auto* record = CarriedRecord<HostSendToRecord>(request);
    if (record != nullptr) {
        request.sendTo =
            RecordedSendTo{CopyText(record->description), record->context, record->userValue};
    }
}

}  // namespace

std::optional<std::string> CopyText(const char* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::string(text, strnlen(text, kMaxCopiedText));
}

RecordedItem CopyItem(const HostItemRecord& record) {
    RecordedItem item;
    item.filename = CopyText(record.filename);
    item.title = CopyText(record.title);
    item.album = CopyText(record.album);
    item.artist = CopyText(record.artist);
    item.genre = CopyText(record.genre);
    item.year = record.year;
    item.track = record.track;
    item.length = record.length;
    item.unused4 = record.unused4;
    item.unused9 = record.unused9;
    return item;
}

void CopyItemList(const HostItemRecordList* list, RecordedRequest& request) {
    if (list == nullptr) {
        return;
    }
    request.itemCount = list->count;
    if (list->records == nullptr || list->count < 0 || list->count > kMaxCopiedItems) {
        return;
    }
    request.items.reserve(static_cast<size_t>(list->count));
    for (int32_t index = 0; index < list->count; ++index) {
        request.items.push_back(CopyItem(list->records[index]));
    }
}

void CopyCarriedRecord(RecordedRequest& request) {
    if (request.message != WM_LIBRARY_IPC) {
        return;
    }
    switch (request.code) {
        case LIBIPC_ADD_TREE_ITEM:
            CopyTreeItem(request);
            break;
        case LIBIPC_DRAG_OVER:
        case LIBIPC_DROP:
            CopyDrop(request);
            break;
        case LIBIPC_PLAY_ITEMS:
            CopyPlay(request);
            break;
        case LIBIPC_ADD_SEND_TO:
            CopySendTo(request);
            break;
        default:
            break;
    }
}

}  // namespace devhost
