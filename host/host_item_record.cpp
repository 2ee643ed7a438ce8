// Growth and release of host record arrays.
#include "host/host_item_record.h"

#include <cstdlib>

void EnsureRecords(HostItemRecordList& list, int32_t needed, int32_t extra) {
    if (needed < list.capacity || needed < list.count) {
        return;
    }
    const int32_t capacity = needed + extra;
    void* resized =
        std::realloc(list.records, sizeof(HostItemRecord) * static_cast<size_t>(capacity));
    if (resized == nullptr) {
        FreeRecords(list);
        return;
    }
    list.records = static_cast<HostItemRecord*>(resized);
    list.capacity = capacity;
}

void FreeRecords(HostItemRecordList& list) {
    std::free(list.records);
    list.records = nullptr;
    list.count = 0;
    list.capacity = 0;
}
