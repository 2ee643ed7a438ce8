// The album and music passes over the player's XML files, and the step that
// reads each kind of file.
#include "catalogue/catalogue_steps.h"

#include <cstdio>
#include <cstring>

#include <tinyxml.h>

#include "base/ascii_text.h"
#include "catalogue/catalogue_load.h"
#include "catalogue/catalogue_records.h"

namespace {

constexpr size_t kCataloguePathSize = 1024;
constexpr size_t kManifestPathSize = 512;

using AlbumSetter = void (AlbumRecord::*)(const char*);

// The four values of an album manifest, by the slot its remembered texts name
// (ManifestMemo).
const struct {
    const char* name;
    AlbumSetter set;
} kAlbumManifestValues[] = {
    {"dc:creator", &AlbumRecord::SetCreator},
    {"mpvm:AlbumTitle", &AlbumRecord::SetAlbumTitle},
    {"mpvm:Genre", &AlbumRecord::SetGenre},
    {"mpvm:Recorded", &AlbumRecord::SetRecorded},
};

constexpr int kAlbumManifestValueCount =
    static_cast<int>(sizeof kAlbumManifestValues / sizeof kAlbumManifestValues[0]);

// Puts root + tail into buffer. A path that does not fit is refused rather
// than cut short, since a shortened path would name some other file; the
// observer hears of it, against the file that held the link. The catalogue
// writes its paths from the player's root ("/SYSTEM/..."): with an empty
// root they stay relative to the current folder, not to the file system's.
bool FormatPath(CatalogueLoad& load, char* buffer, size_t size, const char* tail,
                const char* linkedFrom) {
    const size_t rootLength = load.DriveRootLength();
    if (rootLength == 0) {
        tail += std::strspn(tail, "/\\");
    }
    const size_t tailLength = std::strlen(tail);
    if (rootLength + tailLength < size) {
        std::memcpy(buffer, load.DriveRoot(), rootLength);
        std::memcpy(buffer + rootLength, tail, tailLength + 1);
        return true;
    }
    char detail[96];
    std::snprintf(detail, sizeof detail, "a path of %lu characters; at most %lu fit",
                  static_cast<unsigned long>(rootLength + tailLength),
                  static_cast<unsigned long>(size - 1));
    load.Report(LoadProblem::PathTooLong, linkedFrom, detail);
    return false;
}

// Whether the node's value is `name` (`length` bytes), ASCII case ignored.
// Most values differ in length, which the parser's string knows: most
// comparisons end there.
bool Named(const TiXmlNode* node, const char* name, size_t length) {
    const TiXmlString& value = node->ValueTStr();
    return value.length() == length && AsciiEqualNoCase(value.c_str(), name);
}

bool Named(const TiXmlNode* node, const char* name) {
    return Named(node, name, std::strlen(name));
}

// Calls visit(node) for `top` and every node below it, in document order,
// until it answers true. Walks by the parent and sibling links rather than
// by recursion, so the walk needs no stack however deep the tree.
template <typename Visit>
void VisitSubtree(const TiXmlNode* top, Visit visit) {
    const TiXmlNode* node = top;
    while (node != nullptr) {
        if (visit(node)) {
            return;
        }
        if (node->FirstChild() != nullptr) {
            node = node->FirstChild();
            continue;
        }
        // Nothing (more) below `node`: on to the next sibling of it or of
        // the nearest ancestor that has one, without leaving `top`.
        while (node != top && node->NextSibling() == nullptr) {
            node = node->Parent();
        }
        node = node == top ? nullptr : node->NextSibling();
    }
}

// FindNodeText for each of `names`, in one walk of the subtree rather than
// one per name: values[i] for names[i].
template <size_t Count>
void FindNodeTexts(const TiXmlNode* top, const char* const (&names)[Count],
                   const char* (&values)[Count]) {
    size_t lengths[Count];
    for (size_t i = 0; i < Count; ++i) {
        lengths[i] = std::strlen(names[i]);
        values[i] = nullptr;
    }
    size_t missing = Count;
    VisitSubtree(top, [&](const TiXmlNode* node) {
        if (node->FirstChild() == nullptr) {
            return false;
        }
        for (size_t i = 0; i < Count; ++i) {
            if (values[i] == nullptr && Named(node, names[i], lengths[i])) {
                values[i] = node->FirstChild()->Value();
                --missing;
            }
        }
        return missing == 0;
    });
}

// The first child named exactly `name` of the document's root element.
const TiXmlNode* AssetList(const TiXmlDocument& document) {
    const TiXmlElement* root = document.RootElement();
    return root != nullptr ? root->FirstChild("mpv:AssetList") : nullptr;
}

// Calls visit(child) for each child of `parent` whose value is `name`, any
// case, until the load stops.
template <typename Visit>
void ForEachNamedChild(const CatalogueLoad& load, const TiXmlNode* parent, const char* name,
                       Visit visit) {
    for (const TiXmlNode* child = parent->FirstChild(); child != nullptr && !load.Stopped();
         child = child->NextSibling()) {
        if (Named(child, name)) {
            visit(child);
        }
    }
}

// Sets an album text within the budget, cut to the per-text ceiling. The text
// kept (valid until the next), or null when the budget refused it.
const char* SetAlbumText(CatalogueLoad& load, AlbumRecord& album, AlbumSetter set,
                         const char* value, const char* element, const char* path) {
    if (!load.AdmitText(value, path)) {
        return nullptr;
    }
    const char* kept = load.Kept(value, element, path);
    (album.*set)(kept);
    return kept;
}

// Appends a track with the twelve values (null for none) within the budget,
// each cut to the per-text ceiling, and tells the memo what was kept. False
// when the budget refused it.
bool AppendTrack(CatalogueLoad& load, const char* const (&values)[kTrackFieldCount],
                 const char* path) {
    if (!load.AdmitTrack(values, kTrackFieldCount, path)) {
        return false;
    }
    TrackRecord* track = load.Lists().AppendTrack();
    for (int i = 0; i < kTrackFieldCount; ++i) {
        const char* kept = load.Kept(values[i], kTrackFieldElements[i], path);
        track->SetText(static_cast<TrackField>(i), kept);
        load.Record(i, kept);
    }
    return true;
}

// The tracks a track manifest's first read gave, appended again.
void ReplayTracks(CatalogueLoad& load, const ManifestTexts& texts, const char* path) {
    const char* values[kTrackFieldCount] = {};
    for (size_t i = 0; i < texts.Count() && !load.Stopped(); ++i) {
        values[texts.Slot(i)] = texts.Text(i);
        if (texts.Slot(i) == kTrackFieldCount - 1 && !AppendTrack(load, values, path)) {
            return;
        }
    }
}

// The album texts an album manifest's first read set, set again (and told
// the memo, when it is replayed from a snapshot for a manifest linked again).
void ReplayAlbumManifest(CatalogueLoad& load, AlbumRecord& album, const ManifestTexts& texts,
                         const char* path) {
    for (size_t i = 0; i < texts.Count() && !load.Stopped(); ++i) {
        const auto& value = kAlbumManifestValues[texts.Slot(i)];
        if (const char* kept =
                SetAlbumText(load, album, value.set, texts.Text(i), value.name, path)) {
            load.Record(texts.Slot(i), kept);
        }
    }
}

// The album catalogue's texts by their journal slot.
AlbumSetter AlbumCatalogueSetter(int op) {
    switch (op) {
        case kAlbumOpManifestPath:
            return &AlbumRecord::SetManifestPath;
        case kAlbumOpTitle:
            return &AlbumRecord::SetAlbumTitle;
        default:
            return &AlbumRecord::SetSearchKey;
    }
}

// Sets the album text of journal slot `op` from the value of each child of
// `node` in turn.
void SetFromEachChild(CatalogueLoad& load, AlbumRecord& album, int op, const TiXmlNode* node,
                      const char* path) {
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr && !load.Stopped();
         child = child->NextSibling()) {
        if (const char* kept = SetAlbumText(load, album, AlbumCatalogueSetter(op), child->Value(),
                                            node->Value(), path)) {
            load.JournalCatalogue(op, kept);
        }
    }
}

// The value of the first child of `group`'s first child named exactly `name`.
const char* ManifestValue(const TiXmlNode* group, const char* name) {
    const TiXmlNode* element = group->FirstChild(name);
    if (element == nullptr || element->FirstChild() == nullptr) {
        return nullptr;
    }
    return element->FirstChild()->Value();
}

// Sets the album's value of `slot` from the group, if it has one, and tells
// the memo what was kept.
void ReadAlbumManifestValue(CatalogueLoad& load, AlbumRecord& album, const TiXmlNode* group,
                            int slot, const char* path) {
    const auto& value = kAlbumManifestValues[slot];
    const char* text = ManifestValue(group, value.name);
    if (text == nullptr) {
        return;
    }
    if (const char* kept = SetAlbumText(load, album, value.set, text, value.name, path)) {
        load.Record(slot, kept);
    }
}

void ReadAlbumMetadata(CatalogueLoad& load, const TiXmlNode* metadata, AlbumRecord& album,
                       const char* path) {
    for (const TiXmlNode* group = metadata->FirstChild(); group != nullptr && !load.Stopped();
         group = group->NextSibling()) {
        if (Named(group, "mpvm:MusicProperties")) {
            ForEachNamedChild(load, group, "mpvm:AlbumTitle", [&](const TiXmlNode* title) {
                SetFromEachChild(load, album, kAlbumOpTitle, title, path);
            });
        } else if (Named(group, "mrobe:MrobeProperties")) {
            ForEachNamedChild(load, group, "mrobe:SearchKey", [&](const TiXmlNode* key) {
                SetFromEachChild(load, album, kAlbumOpSearchKey, key, path);
            });
        }
    }
}

// Reads the manifest file an album names (named already), if its path fits,
// or sets again what its first read set when the catalogue linked it before,
// or what a read of an earlier load set when the file is unchanged since.
void FollowAlbumManifest(CatalogueLoad& load, AlbumRecord& album, const char* linkedFrom) {
    char path[kManifestPathSize];
    const char* link = album.ManifestPath();
    if (link == nullptr) {
        return;
    }
    const SnapshotEntry* unchanged = load.Unchanged(SnapshotFileKind::AlbumManifest, link);
    if (!FormatPath(load, path, sizeof path, link, linkedFrom)) {
        load.SkipFile(unchanged == nullptr);
        return;
    }
    const ManifestMemo::TakenLink taken = load.Memo().Take(link);
    if (taken.earlier != nullptr) {
        load.RecallFile(path, unchanged == nullptr);
        ReplayAlbumManifest(load, album, *taken.earlier, path);
        return;
    }
    const ManifestMemo::Recording recording(load.Memo(), taken);
    if (unchanged != nullptr) {
        if (load.ReplayFile(*unchanged, path)) {
            ReplayAlbumManifest(load, album, unchanged->journal, path);
        }
        return;
    }
    const FileJournal journal(load, SnapshotFileKind::AlbumManifest, link, true);
    if (const XmlBuffer* text = load.ReadFile(path)) {
        ReadAlbumManifest(load, album, path, *text);
    }
}

// Reads the track manifest a music catalogue links (named already), if its
// path fits, or appends again what its first read gave when the catalogue
// linked it before.
void FollowTrackManifest(CatalogueLoad& load, const char* manifestPath, const char* linkedFrom) {
    char path[kManifestPathSize];
    const SnapshotEntry* unchanged = load.Unchanged(SnapshotFileKind::TrackManifest, manifestPath);
    if (!FormatPath(load, path, sizeof path, manifestPath, linkedFrom)) {
        load.SkipFile(unchanged == nullptr);
        return;
    }
    const ManifestMemo::TakenLink taken = load.Memo().Take(manifestPath);
    if (taken.earlier != nullptr) {
        load.RecallFile(path, unchanged == nullptr);
        ReplayTracks(load, *taken.earlier, path);
        return;
    }
    const ManifestMemo::Recording recording(load.Memo(), taken);
    if (unchanged != nullptr) {
        if (load.ReplayFile(*unchanged, path)) {
            ReplayTracks(load, unchanged->journal, path);
        }
        return;
    }
    const FileJournal journal(load, SnapshotFileKind::TrackManifest, manifestPath, true);
    if (const XmlBuffer* text = load.ReadFile(path)) {
        ReadTrackManifest(load, path, *text);
    }
}

// How many album manifests the album catalogue's links will have read: one
// for each link whose last "mpv:LastURL" has a child to take its path from,
// the last child's value. The memo counts the links to each.
int CountAlbumManifests(CatalogueLoad& load, const TiXmlNode* assets) {
    int count = 0;
    ForEachNamedChild(load, assets, "mpv:ManifestLink", [&](const TiXmlNode* link) {
        const TiXmlNode* lastPath = nullptr;
        ForEachNamedChild(load, link, "mpv:LastURL",
                          [&](const TiXmlNode* url) { lastPath = url->LastChild(); });
        if (lastPath != nullptr) {
            count += load.Unchanged(SnapshotFileKind::AlbumManifest, lastPath->Value()) == nullptr;
            load.Memo().CountLink(lastPath->Value());
            load.JournalCatalogue(kAlbumOpCount, lastPath->Value());
        }
    });
    load.Memo().EndCounting();
    return count;
}

// How many track manifests the music catalogue links: each "mpv:LastURL"
// with a child. The memo counts the links to each.
int CountTrackManifests(CatalogueLoad& load, const TiXmlNode* assets) {
    int count = 0;
    ForEachNamedChild(load, assets, "mpv:ManifestLink", [&](const TiXmlNode* link) {
        ForEachNamedChild(load, link, "mpv:LastURL", [&](const TiXmlNode* url) {
            if (url->FirstChild() != nullptr) {
                const char* link = url->FirstChild()->Value();
                count += load.Unchanged(SnapshotFileKind::TrackManifest, link) == nullptr;
                load.Memo().CountLink(link);
                load.JournalCatalogue(0, link);
            }
        });
    });
    load.Memo().EndCounting();
    return count;
}

void ReadAlbumLink(CatalogueLoad& load, const TiXmlNode* link, const char* path) {
    AlbumRecord* current = nullptr;
    for (const TiXmlNode* entry = link->FirstChild(); entry != nullptr && !load.Stopped();
         entry = entry->NextSibling()) {
        if (Named(entry, "mpv:LastURL")) {
            if (!load.AdmitAlbum(path)) {
                return;
            }
            current = load.Lists().AppendAlbum();
            load.JournalCatalogue(kAlbumOpNew, nullptr);
            SetFromEachChild(load, *current, kAlbumOpManifestPath, entry, path);
        } else if (Named(entry, "nmf:Metadata") && current != nullptr) {
            ReadAlbumMetadata(load, entry, *current, path);
        }
    }
    // Only the link's last album has its manifest read, after all of the
    // link's metadata, so the manifest's title wins over album.mum's.
    if (current != nullptr && !load.Stopped()) {
        load.JournalCatalogue(kAlbumOpFollow, nullptr);
        FollowAlbumManifest(load, *current, path);
    }
}

// The album catalogue's journal, acted again: its links counted, then its
// albums made and given their texts, and their manifests followed, within the
// budget as the read did.
void ReplayAlbumCatalogue(CatalogueLoad& load, const ManifestTexts& journal, const char* path) {
    int count = 0;
    for (size_t i = 0; i < journal.Count() && journal.Slot(i) == kAlbumOpCount; ++i) {
        count += load.Unchanged(SnapshotFileKind::AlbumManifest, journal.Text(i)) == nullptr;
        load.Memo().CountLink(journal.Text(i));
    }
    load.Memo().EndCounting();
    load.NameFiles(count);
    AlbumRecord* current = nullptr;
    for (size_t i = 0; i < journal.Count() && !load.Stopped(); ++i) {
        const int op = journal.Slot(i);
        if (op == kAlbumOpNew) {
            if (!load.AdmitAlbum(path)) {
                return;
            }
            current = load.Lists().AppendAlbum();
        } else if (op == kAlbumOpFollow) {
            FollowAlbumManifest(load, *current, path);
        } else if (op != kAlbumOpCount) {
            SetAlbumText(load, *current, AlbumCatalogueSetter(op), journal.Text(i), "", path);
        }
    }
}

// The music catalogue's journal, acted again: its links counted, then each
// followed.
void ReplayMusicCatalogue(CatalogueLoad& load, const ManifestTexts& journal, const char* path) {
    int count = 0;
    for (size_t i = 0; i < journal.Count(); ++i) {
        count += load.Unchanged(SnapshotFileKind::TrackManifest, journal.Text(i)) == nullptr;
        load.Memo().CountLink(journal.Text(i));
    }
    load.Memo().EndCounting();
    load.NameFiles(count);
    for (size_t i = 0; i < journal.Count() && !load.Stopped(); ++i) {
        FollowTrackManifest(load, journal.Text(i), path);
    }
}

using Step = void (*)(CatalogueLoad&, const char*, const XmlBuffer&);
using Replay = void (*)(CatalogueLoad&, const ManifestTexts&, const char*);

struct Pass {
    const char* name;
    const char* file;
    SnapshotFileKind kind;
    Step step;
    Replay replay;
};

const Pass kAlbumPass = {"album", kAlbumCataloguePath, SnapshotFileKind::AlbumCatalogue,
                         ReadAlbumCatalogue, ReplayAlbumCatalogue};
const Pass kMusicPass = {"music", kMusicCataloguePath, SnapshotFileKind::MusicCatalogue,
                         ReadMusicCatalogue, ReplayMusicCatalogue};

// One pass: its catalogue file with every manifest it links, within `share`;
// the file's journal replayed when it is unchanged since an earlier load.
void LoadPass(CatalogueLoad& load, const Pass& pass, const LoadCeilings& share) {
    char path[kCataloguePathSize];
    const SnapshotEntry* unchanged = load.Unchanged(pass.kind, pass.file);
    load.BeginPass(pass.name, share, unchanged == nullptr);
    if (!FormatPath(load, path, sizeof path, pass.file, pass.file)) {
        load.SkipFile(unchanged == nullptr);
    } else if (unchanged != nullptr) {
        if (load.ReplayFile(*unchanged, path)) {
            pass.replay(load, unchanged->journal, path);
        }
    } else {
        const FileJournal journal(load, pass.kind, pass.file, false);
        if (const XmlBuffer* text = load.ReadFile(path)) {
            pass.step(load, path, *text);
        }
    }
    load.EndPass();
}

}  // namespace

void LoadCatalogue(DeviceCatalogue& catalogue, LoadObserver* observer, CatalogueFileSource* source,
                   const LoadCeilings& ceilings, SnapshotSession* snapshot) {
    catalogue.ReplaceLists();
    CatalogueLoad load(catalogue, observer, source, ceilings, snapshot);
    load.NameFiles((load.Unchanged(kAlbumPass.kind, kAlbumPass.file) == nullptr) +
                   (load.Unchanged(kMusicPass.kind, kMusicPass.file) == nullptr));
    // A ceiling reached while the albums are read stops the album pass alone:
    // the tracks are read with everything it did not spend.
    LoadPass(load, kAlbumPass, AlbumPassShare(ceilings));
    LoadPass(load, kMusicPass, ceilings);
    load.Finish();
}

void ReadAlbumCatalogue(CatalogueLoad& load, const char* path, const XmlBuffer& text) {
    TiXmlDocument document;
    load.Parse(path, text, document);
    const TiXmlNode* assets = AssetList(document);
    if (assets == nullptr) {
        return;
    }
    load.NameFiles(CountAlbumManifests(load, assets));
    ForEachNamedChild(load, assets, "mpv:ManifestLink",
                      [&](const TiXmlNode* link) { ReadAlbumLink(load, link, path); });
}

void ReadAlbumManifest(CatalogueLoad& load, AlbumRecord& album, const char* path,
                       const XmlBuffer& text) {
    TiXmlDocument document;
    load.Parse(path, text, document);
    const TiXmlElement* root = document.RootElement();
    if (root == nullptr) {
        return;
    }
    ForEachNamedChild(load, root, "mpvp:Album", [&](const TiXmlNode* albumNode) {
        ForEachNamedChild(load, albumNode, "nmf:MetaData", [&](const TiXmlNode* metadata) {
            for (const TiXmlNode* group = metadata->FirstChild();
                 group != nullptr && !load.Stopped(); group = group->NextSibling()) {
                for (int slot = 0; slot < kAlbumManifestValueCount; ++slot) {
                    ReadAlbumManifestValue(load, album, group, slot, path);
                }
            }
        });
    });
}

void ReadMusicCatalogue(CatalogueLoad& load, const char* path, const XmlBuffer& text) {
    TiXmlDocument document;
    load.Parse(path, text, document);
    const TiXmlNode* assets = AssetList(document);
    if (assets == nullptr) {
        return;
    }
    load.NameFiles(CountTrackManifests(load, assets));
    ForEachNamedChild(load, assets, "mpv:ManifestLink", [&](const TiXmlNode* link) {
        ForEachNamedChild(load, link, "mpv:LastURL", [&](const TiXmlNode* url) {
            if (url->FirstChild() != nullptr) {
                FollowTrackManifest(load, url->FirstChild()->Value(), path);
            }
        });
    });
}

void ReadTrackManifest(CatalogueLoad& load, const char* path, const XmlBuffer& text) {
    TiXmlDocument document;
    load.Parse(path, text, document);
    const TiXmlNode* assets = AssetList(document);
    if (assets == nullptr) {
        return;
    }
    ForEachNamedChild(load, assets, "mpv:Audio", [&](const TiXmlNode* audio) {
        const char* values[kTrackFieldCount];
        FindNodeTexts(audio, kTrackFieldElements, values);
        AppendTrack(load, values, path);
    });
}

// A node named `name` without a child is passed over; one with a child ends
// the walk, so nothing below a match is searched.
const char* FindNodeText(const TiXmlNode* node, const char* name) {
    const char* const names[1] = {name};
    const char* text[1];
    FindNodeTexts(node, names, text);
    return text[0];
}
