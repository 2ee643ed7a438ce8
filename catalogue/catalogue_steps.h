// The catalogue load and its steps: reads the player's XML catalogue
// (album.mum, music.mum and the manifests they name) into the
// DeviceCatalogue's lists.
//
// A load is a pipeline of plain steps: the load's state (catalogue_load.h)
// reads each file whole into one reused buffer, then the step for its kind
// parses the buffer and walks the tree. The parser itself bounds each file
// (nesting, attributes, nodes: the limits the project's patch adds to TinyXML)
// and a budget bounds the whole load and each pass's share of it
// (load_budget.h). A file that is missing, damaged or refused adds what could
// be parsed of it, or nothing, and the load goes on; a ceiling of the budget
// ends the pass it is reached in. A manifest linked again is not read again:
// its link repeats what the first read gave (manifest_memo.h). Every path is
// the drive root followed directly by a fixed or read text; with an empty root
// a read text loses its leading slashes, so that the paths are relative to the
// current folder.
#pragma once

#include "catalogue/load_budget.h"

class AlbumRecord;
class CatalogueFileSource;
class CatalogueLoad;
class DeviceCatalogue;
class LoadObserver;
class SnapshotSession;
class TiXmlNode;
class XmlBuffer;

// Replaces the catalogue's lists with fresh ones and fills them: the album
// pass (album.mum with every album manifest) and then the music pass
// (music.mum with every track manifest). `observer` (may be null) learns the
// progress and every problem; `source` (null: the drive) supplies the files.
// With a `snapshot`, the files unchanged since the read it keeps are replayed
// from it instead of read, to the same records, and the others journalled.
void LoadCatalogue(DeviceCatalogue& catalogue, LoadObserver* observer = nullptr,
                   CatalogueFileSource* source = nullptr,
                   const LoadCeilings& ceilings = kLoadCeilings,
                   SnapshotSession* snapshot = nullptr);

// The steps of a load, one per kind of file. Each parses the prepared `text`
// of the file at `path` (named in reports) into the load's lists (an album
// manifest into its `album`); the two catalogue steps read the manifests
// they link through the load.
void ReadAlbumCatalogue(CatalogueLoad& load, const char* path, const XmlBuffer& text);
void ReadAlbumManifest(CatalogueLoad& load, AlbumRecord& album, const char* path,
                       const XmlBuffer& text);
void ReadMusicCatalogue(CatalogueLoad& load, const char* path, const XmlBuffer& text);
void ReadTrackManifest(CatalogueLoad& load, const char* path, const XmlBuffer& text);

// Depth-first, in document order, over `node` and everything below it: the
// value of the first child of the first node whose value equals `name`
// (ASCII case ignored) and has a child. A matching node is not searched
// below. Null when nothing matches. The text lives as long as the document.
const char* FindNodeText(const TiXmlNode* node, const char* name);
