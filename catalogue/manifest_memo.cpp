// Remembering what a manifest linked many times gave at its first read.
#include "catalogue/manifest_memo.h"

#include <cstring>
#include <iterator>
#include <utility>

void ManifestTexts::Add(int slot, const char* text) {
    if (text == nullptr) {
        entries_.push_back({slot, kNone});
        return;
    }
    entries_.push_back({slot, bytes_.size()});
    bytes_.append(text, std::strlen(text) + 1);
}

const char* ManifestTexts::Text(size_t i) const {
    const size_t offset = entries_[i].offset;
    return offset == kNone ? nullptr : bytes_.data() + offset;
}

void ManifestMemo::Clear() {
    entries_.clear();
    recording_ = nullptr;
    last_ = ManifestTexts();
}

void ManifestMemo::CountLink(const char* link) {
    ++entries_[link].linksLeft;
}

void ManifestMemo::EndCounting() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        it = it->second.linksLeft > 1 ? std::next(it) : entries_.erase(it);
    }
}

const ManifestTexts* ManifestMemo::Take(const char* link) {
    recording_ = nullptr;
    const auto found = entries_.find(link);
    if (found == entries_.end()) {
        return nullptr;
    }
    Entry& entry = found->second;
    --entry.linksLeft;
    if (!entry.read) {
        entry.read = true;
        recording_ = &entry.texts;
        return nullptr;
    }
    if (entry.linksLeft > 0) {
        return &entry.texts;
    }
    last_ = std::move(entry.texts);
    entries_.erase(found);
    return &last_;
}

void ManifestMemo::Record(int slot, const char* text) {
    if (recording_ != nullptr) {
        recording_->Add(slot, text);
    }
}
