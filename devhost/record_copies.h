// Deep copies of the records requests carry, made without following null or
// absurd contents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "devhost/recorded_request.h"
#include "host/host_api.h"

namespace devhost {

// Lists longer than this are taken for garbage and their items not read.
constexpr int32_t kMaxCopiedItems = 100000;
// A text without its NUL within this many bytes is cut there, so that a
// missing terminator costs a short copy rather than a walk through memory.
constexpr size_t kMaxCopiedText = 65536;

std::optional<std::string> CopyText(const char* text);

RecordedItem CopyItem(const HostItemRecord& record);

// Keeps the count as sent; copies the items only for a count within
// 0..kMaxCopiedItems and a non-null record array.
void CopyItemList(const HostItemRecordList* list, RecordedRequest& request);

// Fills the copy that request.code calls for from the record at
// request.wParam. A null record, or a code that carries none, adds nothing.
void CopyCarriedRecord(RecordedRequest& request);

}  // namespace devhost
