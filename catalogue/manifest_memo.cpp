// Remembering what a manifest linked many times gave at its first read.
#include "catalogue/manifest_memo.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

bool TextBefore(const char* a, const char* b) {
    return std::strcmp(a, b) < 0;
}

}  // namespace

void ManifestTexts::Add(int slot, const char* text) {
    if (text == nullptr) {
        entries_.push_back({slot, kNone});
        return;
    }
    entries_.push_back({slot, bytes_.size()});
    bytes_.insert(bytes_.end(), text, text + std::strlen(text) + 1);
}

void ManifestTexts::Add(int slot, const char* text, size_t length) {
    entries_.push_back({slot, bytes_.size()});
    bytes_.insert(bytes_.end(), text, text + length);
    bytes_.push_back(0);
}

const char* ManifestTexts::Text(size_t i) const {
    const size_t offset = entries_[i].offset;
    return offset == kNone ? nullptr : bytes_.data() + offset;
}

void ManifestMemo::Clear() {
    counted_.clear();
    entries_.clear();
    recording_ = nullptr;
    last_ = ManifestTexts();
}

void ManifestMemo::CountLink(const char* link) {
    counted_.push_back(link);
}

void ManifestMemo::EndCounting() {
    std::sort(counted_.begin(), counted_.end(), TextBefore);
    entries_.clear();
    recording_ = nullptr;
    for (size_t i = 0; i < counted_.size();) {
        size_t end = i + 1;
        while (end < counted_.size() && std::strcmp(counted_[end], counted_[i]) == 0) {
            ++end;
        }
        if (end - i > 1) {
            entries_.push_back({counted_[i], static_cast<int>(end - i), false, ManifestTexts()});
        }
        i = end;
    }
    counted_ = std::vector<const char*>();
}

ManifestMemo::TakenLink ManifestMemo::Take(const char* link) {
    TakenLink taken;
    const auto found = std::lower_bound(
        entries_.begin(), entries_.end(), link,
        [](const Entry& entry, const char* text) { return TextBefore(entry.link, text); });
    if (found == entries_.end() || std::strcmp(found->link, link) != 0 || found->linksLeft == 0) {
        return taken;
    }
    Entry& entry = *found;
    --entry.linksLeft;
    if (!entry.read) {
        entry.read = true;
        taken.firstOfMany = &entry.texts;
    } else if (entry.linksLeft > 0) {
        taken.earlier = &entry.texts;
    } else {
        // The last link: the entry's texts are needed no more after this one.
        last_ = std::move(entry.texts);
        entry.texts = ManifestTexts();
        taken.earlier = &last_;
    }
    return taken;
}

void ManifestMemo::Record(int slot, const char* text) {
    if (recording_ != nullptr) {
        recording_->Add(slot, text);
    }
}
