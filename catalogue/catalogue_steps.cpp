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
        load.Memo().Record(i, kept);
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

// The album texts an album manifest's first read set, set again.
void ReplayAlbumManifest(CatalogueLoad& load, AlbumRecord& album, const ManifestTexts& texts,
                         const char* path) {
    for (size_t i = 0; i < texts.Count() && !load.Stopped(); ++i) {
        const auto& value = kAlbumManifestValues[texts.Slot(i)];
        SetAlbumText(load, album, value.set, texts.Text(i), value.name, path);
    }
}

// Sets the album text from the value of each child of `node` in turn.
void SetFromEachChild(CatalogueLoad& load, AlbumRecord& album, AlbumSetter set,
                      const TiXmlNode* node, const char* path) {
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr && !load.Stopped();
         child = child->NextSibling()) {
        SetAlbumText(load, album, set, child->Value(), node->Value(), path);
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
        load.Memo().Record(slot, kept);
    }
}

void ReadAlbumMetadata(CatalogueLoad& load, const TiXmlNode* metadata, AlbumRecord& album,
                       const char* path) {
    for (const TiXmlNode* group = metadata->FirstChild(); group != nullptr && !load.Stopped();
         group = group->NextSibling()) {
        if (Named(group, "mpvm:MusicProperties")) {
            ForEachNamedChild(load, group, "mpvm:AlbumTitle", [&](const TiXmlNode* title) {
                SetFromEachChild(load, album, &AlbumRecord::SetAlbumTitle, title, path);
            });
        } else if (Named(group, "mrobe:MrobeProperties")) {
            ForEachNamedChild(load, group, "mrobe:SearchKey", [&](const TiXmlNode* key) {
                SetFromEachChild(load, album, &AlbumRecord::SetSearchKey, key, path);
            });
        }
    }
}

// Reads the manifest file an album names (named already), if its path fits,
// or sets again what its first read set when the catalogue linked it before.
void FollowAlbumManifest(CatalogueLoad& load, AlbumRecord& album, const char* linkedFrom) {
    char path[kManifestPathSize];
    if (album.ManifestPath() == nullptr) {
        return;
    }
    if (!FormatPath(load, path, sizeof path, album.ManifestPath(), linkedFrom)) {
        load.SkipFile();
        return;
    }
    const ManifestMemo::TakenLink taken = load.Memo().Take(album.ManifestPath());
    if (taken.earlier != nullptr) {
        load.RecallFile(path);
        ReplayAlbumManifest(load, album, *taken.earlier, path);
        return;
    }
    const ManifestMemo::Recording recording(load.Memo(), taken);
    if (const XmlBuffer* text = load.ReadFile(path)) {
        ReadAlbumManifest(load, album, path, *text);
    }
}

// Reads the track manifest a music catalogue links (named already), if its
// path fits, or appends again what its first read gave when the catalogue
// linked it before.
void FollowTrackManifest(CatalogueLoad& load, const char* manifestPath, const char* linkedFrom) {
    char path[kManifestPathSize];
    if (!FormatPath(load, path, sizeof path, manifestPath, linkedFrom)) {
        load.SkipFile();
        return;
    }
    const ManifestMemo::TakenLink taken = load.Memo().Take(manifestPath);
    if (taken.earlier != nullptr) {
        load.RecallFile(path);
        ReplayTracks(load, *taken.earlier, path);
        return;
    }
    const ManifestMemo::Recording recording(load.Memo(), taken);
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
            ++count;
            load.Memo().CountLink(lastPath->Value());
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
                ++count;
                load.Memo().CountLink(url->FirstChild()->Value());
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
            SetFromEachChild(load, *current, &AlbumRecord::SetManifestPath, entry, path);
        } else if (Named(entry, "nmf:Metadata") && current != nullptr) {
            ReadAlbumMetadata(load, entry, *current, path);
        }
    }
    // Only the link's last album has its manifest read, after all of the
    // link's metadata, so the manifest's title wins over album.mum's.
    if (current != nullptr && !load.Stopped()) {
        FollowAlbumManifest(load, *current, path);
    }
}

using Step = void (*)(CatalogueLoad&, const char*, const XmlBuffer&);

// One pass: its catalogue file with every manifest it links, within `share`.
void LoadPass(CatalogueLoad& load, const char* name, const LoadCeilings& share, const char* file,
              Step step) {
    char path[kCataloguePathSize];
    load.BeginPass(name, share);
    if (!FormatPath(load, path, sizeof path, file, file)) {
        load.SkipFile();
    } else if (const XmlBuffer* text = load.ReadFile(path)) {
        step(load, path, *text);
    }
    load.EndPass();
}

}  // namespace

void LoadCatalogue(DeviceCatalogue& catalogue, LoadObserver* observer, CatalogueFileSource* source,
                   const LoadCeilings& ceilings) {
    catalogue.ReplaceLists();
    CatalogueLoad load(catalogue, observer, source, ceilings);
    load.NameFiles(2);
    // A ceiling reached while the albums are read stops the album pass alone:
    // the tracks are read with everything it did not spend.
    LoadPass(load, "album", AlbumPassShare(ceilings), kAlbumCataloguePath, ReadAlbumCatalogue);
    LoadPass(load, "music", ceilings, kMusicCataloguePath, ReadMusicCatalogue);
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
