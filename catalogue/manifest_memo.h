// What the first read of a manifest gave, kept for the later links to it.
//
// A catalogue may link one manifest many times, and each link shows its
// tracks again. Opening, reading and parsing the file at every link cost a
// hostile player of 100,000 links to one small manifest some 20 s under wine,
// most of it in the file system's round trips. So a pass first counts the
// links to each manifest; the first read of one linked again records the texts
// its step kept, in order, and every later link replays them instead of
// reading the file. Only texts the budget admitted are recorded, cut as they
// were kept, so the memo never holds more than the text ceiling; an entry goes
// when its last link is taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The texts a step kept from one manifest, in the order it kept them, each
// with the slot it went to (a track field, or a field of the album).
class ManifestTexts {
  public:
    // Copies `text` (null for none).
    void Add(int slot, const char* text);
    // Room for `count` texts more, of `bytes` bytes with their NULs.
    void Reserve(size_t count, size_t bytes) {
        entries_.reserve(entries_.size() + count);
        bytes_.reserve(bytes_.size() + bytes);
    }
    // Copies the `length` bytes at `text`, which hold no NUL.
    void Add(int slot, const char* text, size_t length);

    size_t Count() const { return entries_.size(); }
    int Slot(size_t i) const { return entries_[i].slot; }
    // Null for none. Valid as long as the texts are.
    const char* Text(size_t i) const;
    // The bytes of every text with its NUL.
    size_t TextBytes() const { return bytes_.size(); }

  private:
    static constexpr size_t kNone = SIZE_MAX;

    struct Entry {
        int slot;
        size_t offset;  // into bytes_, or kNone
    };

    std::vector<char> bytes_;  // every text with its NUL, back to back
    std::vector<Entry> entries_;
};

class ManifestMemo {
  public:
    // Forgets every manifest: a new pass, whose links are counted afresh.
    void Clear();

    // One more link to the manifest the catalogue names `link`, counted before
    // the first manifest of the pass is taken. The text is not copied: it is
    // the catalogue document's, which outlives the pass's manifests.
    void CountLink(const char* link);
    // The catalogue's links are all counted: the manifests linked more than
    // once get an entry each, in place of any counted before.
    void EndCounting();

    // What Take found for one link to a manifest.
    struct TakenLink {
        // A later link: the texts its first read kept, valid until the next
        // Take or Clear. Null otherwise.
        const ManifestTexts* earlier = nullptr;
        // The first link of several: where a Recording keeps the texts its
        // read keeps. Null otherwise.
        ManifestTexts* firstOfMany = nullptr;
    };

    // The recording of a manifest's first read for its later links: while
    // the object lives, what Record is given goes to the texts of the link
    // taken, if it is the first of several; otherwise Record keeps nothing.
    class Recording {
      public:
        Recording(ManifestMemo& memo, const TakenLink& taken) : memo_(memo) {
            memo_.recording_ = taken.firstOfMany;
        }
        ~Recording() { memo_.recording_ = nullptr; }
        Recording(const Recording&) = delete;
        Recording& operator=(const Recording&) = delete;

      private:
        ManifestMemo& memo_;
    };

    // Takes the manifest `link` for one of its links.
    TakenLink Take(const char* link);
    // A text the step reading the manifest just kept; ignored while no
    // Recording of a first read lives.
    void Record(int slot, const char* text);

  private:
    struct Entry {
        const char* link;
        int linksLeft;
        bool read;  // its first link was taken
        ManifestTexts texts;
    };

    std::vector<const char*> counted_;    // every link, until EndCounting
    std::vector<Entry> entries_;          // in the order of their links' texts
    ManifestTexts* recording_ = nullptr;  // set while a Recording of a first read lives
    ManifestTexts last_;                  // the texts of an entry whose last link was taken
};
