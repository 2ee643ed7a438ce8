// Reads the player's XML catalogue (album.mum, music.mum and the manifests
// they name) into the DeviceCatalogue's lists.
//
// Nothing is reported: a file that is missing, damaged or refused simply adds
// no records. Every path is the drive root followed directly by a fixed or
// read text; with an empty root the paths are relative to the current folder.
#pragma once

class AlbumRecord;
class DeviceCatalogue;
class TiXmlDocument;
class TiXmlNode;

// Replaces the catalogue's lists with fresh ones and fills them: the album
// pass (album.mum with every album manifest) and then the music pass
// (music.mum with every track manifest).
void LoadCatalogue(DeviceCatalogue& catalogue);

// The steps of a load, each on the catalogue's current lists.
void ReadAlbumCatalogue(DeviceCatalogue& catalogue, const TiXmlDocument& albumCatalogue);
void ReadAlbumManifest(DeviceCatalogue& catalogue, AlbumRecord& album);
void ReadMusicCatalogue(DeviceCatalogue& catalogue, const TiXmlDocument& musicCatalogue);
void ReadTrackManifest(DeviceCatalogue& catalogue, const char* manifestPath);

// Depth-first, in document order, over `node` and everything below it: the
// value of the first child of the first node whose value equals `name`
// (ASCII case ignored) and has a child. A matching node is not searched
// below. Null when nothing matches. The text lives as long as the document.
const char* FindNodeText(const TiXmlNode* node, const char* name);
