// The catalogue loader: album and music passes over the player's XML files.
#include "catalogue/catalogue_loader.h"

#include <cstdio>

#include <tinyxml.h>

#include "catalogue/catalogue_records.h"
#include "catalogue/xml_file.h"
#include "base/ascii_text.h"

namespace {

constexpr size_t kCataloguePathSize = 1024;
constexpr size_t kManifestPathSize = 512;

// The element names of a track manifest, in TrackField order.
const char* const kTrackElementNames[kTrackFieldCount] = {
    "mpv:LastURL",      "dc:creator",    "dc:title",        "mpvm:MusicBy",
    "mpvm:Genre",       "mpvm:Recorded", "mpvm:PlayCount",  "mpvm:PlayingTime",
    "mrobe:LastPlayed", "mrobe:Volume",  "mrobe:SearchKey", "mrobe:CtrlFlag",
};

// Formats root + tail into buffer. A path that does not fit is refused rather
// than cut short, since a shortened path would name some other file.
bool FormatPath(char* buffer, size_t size, const char* root, const char* tail) {
    const int written = std::snprintf(buffer, size, "%s%s", root, tail);
    return written >= 0 && static_cast<size_t>(written) < size;
}

bool Named(const TiXmlNode* node, const char* name) {
    return AsciiEqualNoCase(node->Value(), name);
}

// The first child named exactly `name` of the document's root element.
const TiXmlNode* AssetList(const TiXmlDocument& document) {
    const TiXmlElement* root = document.RootElement();
    return root != nullptr ? root->FirstChild("mpv:AssetList") : nullptr;
}

// Calls visit(child) for each child of `parent` whose value is `name`, any case.
template <typename Visit>
void ForEachNamedChild(const TiXmlNode* parent, const char* name, Visit visit) {
    for (const TiXmlNode* child = parent->FirstChild(); child != nullptr;
         child = child->NextSibling()) {
        if (Named(child, name)) {
            visit(child);
        }
    }
}

// Calls set(value) with the value of each child of `node` in turn.
template <typename Set>
void ForEachChildValue(const TiXmlNode* node, Set set) {
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr;
         child = child->NextSibling()) {
        set(child->Value());
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

void ReadAlbumMetadata(const TiXmlNode* metadata, AlbumRecord& album) {
    for (const TiXmlNode* group = metadata->FirstChild(); group != nullptr;
         group = group->NextSibling()) {
        if (Named(group, "mpvm:MusicProperties")) {
            ForEachNamedChild(group, "mpvm:AlbumTitle", [&](const TiXmlNode* title) {
                ForEachChildValue(title, [&](const char* v) { album.SetAlbumTitle(v); });
            });
        } else if (Named(group, "mrobe:MrobeProperties")) {
            ForEachNamedChild(group, "mrobe:SearchKey", [&](const TiXmlNode* key) {
                ForEachChildValue(key, [&](const char* v) { album.SetSearchKey(v); });
            });
        }
    }
}

// The lists the steps fill: those of the current load.
CatalogueLists& CurrentLists(DeviceCatalogue& catalogue) {
    return catalogue.Lists() != nullptr ? *catalogue.Lists() : catalogue.ReplaceLists();
}

void ReadAlbumLink(DeviceCatalogue& catalogue, const TiXmlNode* link) {
    AlbumRecord* current = nullptr;
    for (const TiXmlNode* entry = link->FirstChild(); entry != nullptr;
         entry = entry->NextSibling()) {
        if (Named(entry, "mpv:LastURL")) {
            current = CurrentLists(catalogue).AppendAlbum();
            ForEachChildValue(entry, [&](const char* v) { current->SetManifestPath(v); });
        } else if (Named(entry, "nmf:Metadata") && current != nullptr) {
            ReadAlbumMetadata(entry, *current);
        }
    }
    // Only the link's last album has its manifest read, after all of the
    // link's metadata, so the manifest's title wins over album.mum's.
    if (current != nullptr) {
        ReadAlbumManifest(catalogue, *current);
    }
}

void LoadPass(DeviceCatalogue& catalogue, const char* file,
              void (*read)(DeviceCatalogue&, const TiXmlDocument&)) {
    char path[kCataloguePathSize];
    if (!FormatPath(path, sizeof path, catalogue.DriveRoot(), file)) {
        return;
    }
    TiXmlDocument document;
    LoadXmlFile(document, path);
    read(catalogue, document);
}

}  // namespace

void LoadCatalogue(DeviceCatalogue& catalogue) {
    catalogue.ReplaceLists();
    LoadPass(catalogue, "SYSTEM/List/Music/album.mum", ReadAlbumCatalogue);
    LoadPass(catalogue, "SYSTEM/List/Music/music.mum", ReadMusicCatalogue);
}

void ReadAlbumCatalogue(DeviceCatalogue& catalogue, const TiXmlDocument& albumCatalogue) {
    const TiXmlNode* assets = AssetList(albumCatalogue);
    if (assets == nullptr) {
        return;
    }
    ForEachNamedChild(assets, "mpv:ManifestLink",
                      [&](const TiXmlNode* link) { ReadAlbumLink(catalogue, link); });
}

void ReadAlbumManifest(DeviceCatalogue& catalogue, AlbumRecord& album) {
    char path[kManifestPathSize];
    if (album.ManifestPath() == nullptr ||
        !FormatPath(path, sizeof path, catalogue.DriveRoot(), album.ManifestPath())) {
        return;
    }
    TiXmlDocument document;
    LoadXmlFile(document, path);
    const TiXmlElement* root = document.RootElement();
    if (root == nullptr) {
        return;
    }
    ForEachNamedChild(root, "mpvp:Album", [&](const TiXmlNode* albumNode) {
        ForEachNamedChild(albumNode, "nmf:MetaData", [&](const TiXmlNode* metadata) {
            for (const TiXmlNode* group = metadata->FirstChild(); group != nullptr;
                 group = group->NextSibling()) {
                if (const char* v = ManifestValue(group, "dc:creator"))
                    album.SetCreator(v);
                if (const char* v = ManifestValue(group, "mpvm:AlbumTitle"))
                    album.SetAlbumTitle(v);
                if (const char* v = ManifestValue(group, "mpvm:Genre"))
                    album.SetGenre(v);
                if (const char* v = ManifestValue(group, "mpvm:Recorded"))
                    album.SetRecorded(v);
            }
        });
    });
}

void ReadMusicCatalogue(DeviceCatalogue& catalogue, const TiXmlDocument& musicCatalogue) {
    const TiXmlNode* assets = AssetList(musicCatalogue);
    if (assets == nullptr) {
        return;
    }
    ForEachNamedChild(assets, "mpv:ManifestLink", [&](const TiXmlNode* link) {
        ForEachNamedChild(link, "mpv:LastURL", [&](const TiXmlNode* url) {
            if (url->FirstChild() != nullptr) {
                ReadTrackManifest(catalogue, url->FirstChild()->Value());
            }
        });
    });
}

void ReadTrackManifest(DeviceCatalogue& catalogue, const char* manifestPath) {
    char path[kManifestPathSize];
    if (!FormatPath(path, sizeof path, catalogue.DriveRoot(), manifestPath)) {
        return;
    }
    TiXmlDocument document;
    LoadXmlFile(document, path);
    const TiXmlNode* assets = AssetList(document);
    if (assets == nullptr) {
        return;
    }
    ForEachNamedChild(assets, "mpv:Audio", [&](const TiXmlNode* audio) {
        const char* values[kTrackFieldCount];
        for (int i = 0; i < kTrackFieldCount; ++i) {
            values[i] = FindNodeText(audio, kTrackElementNames[i]);
        }
        TrackRecord* track = CurrentLists(catalogue).AppendTrack();
        for (int i = 0; i < kTrackFieldCount; ++i) {
            track->SetText(static_cast<TrackField>(i), values[i]);
        }
    });
}

// Walks the subtree by its parent and sibling links rather than by recursion,
// so the walk needs no stack however deep the tree.
const char* FindNodeText(const TiXmlNode* node, const char* name) {
    const TiXmlNode* const top = node;
    while (node != nullptr) {
        if (Named(node, name)) {
            if (node->FirstChild() != nullptr) {
                return node->FirstChild()->Value();
            }
        } else if (node->FirstChild() != nullptr) {
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
    return nullptr;
}
