// Generates a made-up player image: album.mum, music.mum and the manifests they
// name.
#include "tools/kovra-make-image/sample_image.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "catalogue/catalogue_records.h"

namespace {

namespace fs = std::filesystem;

// index.mum of every generated image carries this, so that a later run can tell
// its own earlier image (safe to replace) from a real player (never to be
// touched).
const char kImageMarker[] = "kovra sample image";

const char kAlbumFolder[] = "SYSTEM/List/Music/Album";
const char kTrackFolder[] = "SYSTEM/List/Music/Track";
// Every track's audio path starts with this folder.
const char kAudioFolder[] = "MUSIC";

const char kNamespaces[] =
    "xmlns:mpv=\"urn:olympus:mrobe:mpv:1.0\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
    "xmlns:mpvm=\"urn:olympus:mrobe:mpv:music:1.0\" "
    "xmlns:mpvp=\"urn:olympus:mrobe:mpv:package:1.0\" "
    "xmlns:nmf=\"urn:olympus:mrobe:nmf:1.0\" "
    "xmlns:mrobe=\"urn:olympus:mrobe:device:1.0\"";

// ---------------------------------------------------------------------------
// Randomness. std:: distributions give different numbers on different standard
// libraries, and the image must be the same everywhere for a seed, so this is
// splitmix64 and plain modulo.

class Random {
  public:
    explicit Random(unsigned seed) : state_(0x6B6F7672615F696DULL ^ seed) {}

    uint32_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
    }

    // 0 .. n-1
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    // low .. high, both included
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool OneIn(int n) { return Below(n) == 0; }

    template <size_t N>
    const char* Pick(const char* const (&list)[N]) {
        return list[Below(static_cast<int>(N))];
    }

  private:
    uint64_t state_;
};

// ---------------------------------------------------------------------------
// Word lists. Roughly a third of the words carry non-ASCII letters, so that
// most screens of the list show some. A few texts carry '&', '<' or '>' so that
// escaping is exercised.

const char* const kAdjectives[] = {
    "Silver",  "Quiet",  "Electric", "Golden",  "Broken",  "Velvet", "Midnight", "Crimson",
    "Distant", "Hollow", "Neon",     "Paper",   "Wild",    "Blue",   "Lonely",   "Burning",
    "Blå",     "Kalte",  "Dernière", "Última",  "Grüne",   "Süße",   "Fröhlich", "Tōkyō",
    "Été",     "Mörk",   "Dolce",    "Lumière", "Ønskede", "Sévère",
};

const char* const kNouns[] = {
    "Morning", "River",   "Harbour", "Summer", "Engine", "Garden", "Highway",  "Mirror", "Thunder",
    "Window",  "Station", "Ocean",   "Shadow", "Signal", "Island", "Letter",   "Café",   "Fjørd",
    "Mañana",  "Straße",  "Corazón", "Niño",   "Noël",   "Kärlek", "Göteborg", "Søndag", "Rêve",
    "Ærø",     "Düne",    "東京",    "Señal",  "Ciudad", "Rock",   "Roll",     "Heart",  "Night",
};

const char* const kPluralNouns[] = {
    "Ravens",  "Lanterns", "Strangers", "Satellites", "Owls",     "Rivals",
    "Pilots",  "Comets",   "Drifters",  "Señoritas",  "Lumières", "Fjørds",
    "Mädchen", "Cowboys",  "Sparrows",  "Mariachis",  "Élites",   "Nightingales",
};

const char* const kVerbs[] = {
    "Follow", "Cross", "Light", "Chase", "Find", "Remember", "Leave", "Hold", "Sauver", "Küss",
};

const char* const kPlaces[] = {
    "Paris",  "Göteborg", "Málaga", "København", "Zürich", "Kraków",
    "Lisboa", "Tromsø",   "Berlin", "Montréal",  "Osaka",  "Nashville",
};

const char* const kFirstNames[] = {
    "Anna",  "Björn", "Chloé", "Diego", "Émile", "Frida", "Günter", "Hana",  "Iñaki", "Jonas",
    "Kaito", "Lena",  "Marta", "Nils",  "Oskar", "Paula", "Renée",  "Søren", "Tomás", "Zoë",
};

const char* const kLastNames[] = {
    "Åberg",     "Berger", "Castillo", "Dubois", "Eriksen",   "Fernández", "Grün",
    "Halvorsen", "Ibáñez", "Jansen",   "Kovač",  "Lindqvist", "Müller",    "Núñez",
    "Olsen",     "Petit",  "Quintero", "Røed",   "Schäfer",   "Weiß",
};

const char* const kGenres[] = {
    "Rock",    "Pop",    "Jazz",  "Electronic", "Folk", "Classical",     "Chanson",
    "Hip-Hop", "Reggae", "Blues", "Soul",       "R&B",  "Música Latina", "Schlager",
};

// Some artists and titles hold "the beat", so that searching for it finds a
// handful of rows.
const char* const kBeatArtists[] = {
    "The Beatniks",
    "The Beat Brothers",
    "The Beatmakers",
    "The Beat Café",
};

const char* const kBeatTitles[] = {
    "Feel the Beat", "Beat of the Night", "Under the Beat", "Heartbeat Café", "The Beat Goes Ön",
};

// Texts with markup characters; rare, as on a real player.
const char* const kSymbolTitles[] = {
    "Love > Money", "<Untitled>", "Less <3 More", "Rock & Roll Tonight", "A < B",
};

// ---------------------------------------------------------------------------
// Texts

std::string Format(const char* format, int a, int b = 0, int c = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

std::string Date(Random& random, int firstYear, int lastYear) {
    return Format("%04d-%02d-%02d", random.Between(firstYear, lastYear), random.Between(1, 12),
                  random.Between(1, 28));
}

std::string PersonName(Random& random) {
    return std::string(random.Pick(kFirstNames)) + " " + random.Pick(kLastNames);
}

std::string MakeArtist(Random& random, const std::vector<SampleAlbum>& earlierAlbums) {
    const int albumIndex = static_cast<int>(earlierAlbums.size());
    if (albumIndex % 16 == 3) {
        return random.Pick(kBeatArtists);
    }
    // Now and then an artist with an album already on the player gets another
    // one.
    if (albumIndex > 0 && random.OneIn(5)) {
        return earlierAlbums[random.Below(albumIndex)].creator;
    }
    switch (random.Below(3)) {
        case 0:
            return random.OneIn(2) ? std::string("The ") + random.Pick(kPluralNouns)
                                   : std::string("The ") + random.Pick(kAdjectives) + " " +
                                         random.Pick(kPluralNouns);
        case 1:
            return PersonName(random);
        default:
            return std::string(random.Pick(kAdjectives)) + " " + random.Pick(kNouns);
    }
}

std::string MakeAlbumTitle(Random& random) {
    switch (random.Below(4)) {
        case 0:
            return std::string(random.Pick(kAdjectives)) + " " + random.Pick(kPluralNouns);
        case 1:
            return std::string("Songs from ") + random.Pick(kPlaces);
        case 2:
            return std::string("Live in ") + random.Pick(kPlaces);
        default:
            return random.Pick(kNouns);
    }
}

std::string MakeTrackTitle(Random& random, int trackIndex) {
    if (trackIndex % 25 == 7) {
        return random.Pick(kBeatTitles);
    }
    if (random.OneIn(25)) {
        return random.Pick(kSymbolTitles);
    }
    switch (random.Below(5)) {
        case 0:
            return std::string(random.Pick(kAdjectives)) + " " + random.Pick(kNouns);
        case 1:
            return std::string(random.Pick(kNouns)) + " of the " + random.Pick(kNouns);
        case 2:
            return std::string(random.Pick(kVerbs)) + " the " + random.Pick(kNouns);
        case 3:
            return std::string(random.Pick(kNouns)) + " & " + random.Pick(kNouns);
        default:
            return random.Pick(kNouns);
    }
}

// The player's search key: the text with its ASCII letters in upper case.
std::string SearchKey(const std::string& text) {
    std::string key = text;
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return key;
}

// One folder or file name of the audio path: no characters FAT refuses, at most
// 32 bytes cut at a character boundary, no trailing dot or space. Keeps whole
// paths well under 120 bytes.
std::string PathPart(const std::string& text) {
    std::string part;
    for (char c : text) {
        part += std::string("<>:\"/\\|?*").find(c) == std::string::npos ? c : '_';
    }
    constexpr size_t kMaxPart = 32;
    if (part.size() > kMaxPart) {
        size_t cut = kMaxPart;
        while (cut > 0 && (static_cast<unsigned char>(part[cut]) & 0xC0) == 0x80) {
            --cut;  // never split a UTF-8 sequence
        }
        part.resize(cut);
    }
    while (!part.empty() && (part.back() == ' ' || part.back() == '.')) {
        part.pop_back();
    }
    return part.empty() ? "_" : part;
}

// ---------------------------------------------------------------------------
// The whole image, before it is described or written.

// What a track manifest says beyond the texts the loader reads.
struct TrackExtras {
    std::string objectId, albumTitle, composer, trackNumber;
};

// A run of consecutive tracks (in album order) that one manifest holds.
struct TrackManifest {
    std::string path, objectId;
    size_t first = 0;
    size_t count = 0;
};

struct ImageModel {
    std::vector<SampleAlbum> albums;
    std::vector<int> albumTrackCounts;
    std::vector<SampleTrack> tracks;  // album order
    std::vector<TrackExtras> extras;  // parallel to tracks
    std::vector<TrackManifest> manifests;
    std::vector<size_t> linkOrder;  // music.mum's order of manifests
};

void AddTrack(Random& random, ImageModel& image, const SampleAlbum& album, int number) {
    SampleTrack track;
    track.creator = album.creator;
    track.title = MakeTrackTitle(random, static_cast<int>(image.tracks.size()));
    track.lastUrl = std::string("/") + kAudioFolder + "/" + PathPart(album.creator) + "/" +
                    PathPart(album.title) + "/" + Format("%02d ", number) + PathPart(track.title) +
                    ".mp3";
    track.genre = album.genre;
    track.recorded = album.recorded;
    track.playingTime = std::to_string(random.Between(30, 900));
    track.musicBy = random.OneIn(3) ? album.creator : PersonName(random);
    track.playCount = std::to_string(random.OneIn(4) ? 0 : random.Between(1, 60));
    track.lastPlayed =
        Format("2005-%02d-%02dT", random.Between(1, 12), random.Between(1, 28)) +
        Format("%02d:%02d:%02d", random.Below(24), random.Below(60), random.Below(60));
    track.volume = std::to_string(random.OneIn(3) ? random.Between(-5, 5) : 0);
    track.searchKey = SearchKey(track.title);
    track.controlFlag = random.OneIn(8) ? "1" : "0";

    TrackExtras extras;
    extras.albumTitle = album.title;
    extras.composer = track.musicBy;
    extras.trackNumber = std::to_string(number);
    image.tracks.push_back(std::move(track));
    image.extras.push_back(std::move(extras));
}

// Splits the album's tracks into manifests: mostly one track each, about one in
// ten with two or three.
void AddManifests(Random& random, ImageModel& image, size_t first, size_t count) {
    size_t at = first;
    while (at < first + count) {
        size_t size = random.OneIn(10) ? static_cast<size_t>(random.Between(2, 3)) : 1;
        size = std::min(size, first + count - at);
        TrackManifest manifest;
        const int number = static_cast<int>(image.manifests.size()) + 1;
        manifest.objectId = Format("T%05d", number);
        manifest.path = std::string(kTrackFolder) + "/" + manifest.objectId + ".mpv";
        manifest.first = at;
        manifest.count = size;
        for (size_t i = 0; i < size; ++i) {
            image.tracks[at + i].manifestPath = manifest.path;
            image.extras[at + i].objectId = manifest.objectId + Format("-%d", int(i) + 1);
        }
        image.manifests.push_back(std::move(manifest));
        at += size;
    }
}

ImageModel BuildImage(const SampleImageOptions& options) {
    Random random(options.seed);
    ImageModel image;
    int remaining = std::max(0, options.trackCount);
    while (remaining > 0) {
        const int albumIndex = static_cast<int>(image.albums.size());
        const int size = std::min(remaining, random.Between(8, 14));
        SampleAlbum album;
        album.manifestPath = std::string(kAlbumFolder) + Format("/A%05d.mpv", albumIndex + 1);
        album.creator = MakeArtist(random, image.albums);
        album.title = MakeAlbumTitle(random);
        album.genre = random.Pick(kGenres);
        album.recorded = Date(random, 1962, 2004);
        album.searchKey = SearchKey(album.title);

        const size_t first = image.tracks.size();
        for (int number = 1; number <= size; ++number) {
            AddTrack(random, image, album, number);
        }
        AddManifests(random, image, first, static_cast<size_t>(size));
        image.albums.push_back(std::move(album));
        image.albumTrackCounts.push_back(size);
        remaining -= size;
    }
    // music.mum lists manifests in the order they reached the player, not album
    // by album.
    image.linkOrder.resize(image.manifests.size());
    for (size_t i = 0; i < image.linkOrder.size(); ++i) {
        image.linkOrder[i] = i;
    }
    for (size_t i = image.linkOrder.size(); i > 1; --i) {
        std::swap(image.linkOrder[i - 1], image.linkOrder[random.Below(static_cast<int>(i))]);
    }
    return image;
}

// ---------------------------------------------------------------------------
// XML

std::string Escape(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// Builds one file's text: two spaces per level, LF line ends only.
class XmlWriter {
  public:
    XmlWriter() : text_("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {}

    // The root element, with every namespace the catalogue uses declared on it.
    void OpenRoot(const char* name) {
        Indent();
        text_ += std::string("<") + name + " " + kNamespaces + ">\n";
        open_.push_back(name);
    }
    void Open(const char* name) {
        Indent();
        text_ += std::string("<") + name + ">\n";
        open_.push_back(name);
    }
    void Close() {
        const std::string name = open_.back();
        open_.pop_back();
        Indent();
        text_ += "</" + name + ">\n";
    }
    void Leaf(const char* name, const std::string& text) {
        Indent();
        text_ += std::string("<") + name + ">" + Escape(text) + "</" + name + ">\n";
    }
    // `text` must not hold "--".
    void Comment(const std::string& text) {
        Indent();
        text_ += "<!-- " + text + " -->\n";
    }
    const std::string& Text() const { return text_; }

  private:
    void Indent() { text_.append(2 * open_.size(), ' '); }

    std::string text_;
    std::vector<std::string> open_;
};

std::string IndexFile() {
    XmlWriter xml;
    xml.Comment(std::string(kImageMarker) + ": made-up data, not a real player");
    xml.OpenRoot("mpv:mpv");
    xml.Open("mpv:Index");
    xml.Leaf("mpv:ObjectID", "MR-100");
    xml.Leaf("mpv:Catalogue", kAlbumCataloguePath);
    xml.Leaf("mpv:Catalogue", kMusicCataloguePath);
    xml.Close();
    xml.Close();
    return xml.Text();
}

std::string AlbumCatalogueFile(const ImageModel& image) {
    XmlWriter xml;
    xml.OpenRoot("mpv:mpv");
    xml.Open("mpv:AssetList");
    xml.Comment(std::to_string(image.albums.size()) + " albums");
    for (size_t i = 0; i < image.albums.size(); ++i) {
        const SampleAlbum& album = image.albums[i];
        xml.Open("mpv:ManifestLink");
        xml.Leaf("mpv:ObjectID", Format("A%05d", int(i) + 1));
        xml.Leaf("mpv:LastURL", album.manifestPath);
        xml.Open("nmf:Metadata");
        xml.Open("mpvm:MusicProperties");
        xml.Leaf("mpvm:AlbumTitle", album.title);
        xml.Leaf("mpvm:TrackCount", std::to_string(image.albumTrackCounts[i]));
        xml.Close();
        xml.Open("mrobe:MrobeProperties");
        xml.Leaf("mrobe:SearchKey", album.searchKey);
        xml.Close();
        xml.Close();
        xml.Close();
    }
    xml.Close();
    xml.Close();
    return xml.Text();
}

std::string AlbumManifestFile(const ImageModel& image, size_t index) {
    const SampleAlbum& album = image.albums[index];
    XmlWriter xml;
    xml.OpenRoot("mpv:Manifest");
    xml.Comment("album manifest");
    xml.Open("mpvp:Album");
    xml.Leaf("mpv:ObjectID", Format("A%05d", int(index) + 1));
    xml.Open("nmf:MetaData");
    xml.Open("mpvm:MusicProperties");
    xml.Leaf("dc:creator", album.creator);
    xml.Leaf("mpvm:AlbumTitle", album.title);
    xml.Leaf("mpvm:Genre", album.genre);
    xml.Leaf("mpvm:Recorded", album.recorded);
    xml.Leaf("mpvm:TrackCount", std::to_string(image.albumTrackCounts[index]));
    xml.Close();
    xml.Open("mrobe:MrobeProperties");
    xml.Leaf("mrobe:SearchKey", album.searchKey);
    xml.Close();
    xml.Close();
    xml.Close();
    xml.Close();
    return xml.Text();
}

std::string MusicCatalogueFile(const ImageModel& image) {
    XmlWriter xml;
    xml.OpenRoot("mpv:mpv");
    xml.Open("mpv:AssetList");
    xml.Comment(std::to_string(image.manifests.size()) + " track manifests");
    for (size_t index : image.linkOrder) {
        const TrackManifest& manifest = image.manifests[index];
        xml.Open("mpv:ManifestLink");
        xml.Leaf("mpv:ObjectID", manifest.objectId);
        xml.Leaf("mpv:LastURL", manifest.path);
        xml.Close();
    }
    xml.Close();
    xml.Close();
    return xml.Text();
}

void WriteAudio(XmlWriter& xml, const SampleTrack& track, const TrackExtras& extras) {
    xml.Open("mpv:Audio");
    xml.Leaf("mpv:ObjectID", extras.objectId);
    xml.Leaf(TrackFieldElement(TrackField::LastUrl), track.lastUrl);
    xml.Open("nmf:Metadata");
    xml.Open("mpvm:MusicProperties");
    xml.Leaf(TrackFieldElement(TrackField::Creator), track.creator);
    xml.Leaf(TrackFieldElement(TrackField::Title), track.title);
    xml.Leaf("mpvm:AlbumTitle", extras.albumTitle);
    xml.Leaf("mpvm:TrackNumber", extras.trackNumber);
    xml.Leaf(TrackFieldElement(TrackField::MusicBy), track.musicBy);
    xml.Leaf("mpvm:Composer", extras.composer);
    xml.Leaf(TrackFieldElement(TrackField::Genre), track.genre);
    xml.Leaf(TrackFieldElement(TrackField::Recorded), track.recorded);
    xml.Leaf(TrackFieldElement(TrackField::PlayCount), track.playCount);
    xml.Leaf(TrackFieldElement(TrackField::PlayingTime), track.playingTime);
    xml.Close();
    xml.Open("mrobe:MrobeProperties");
    xml.Leaf(TrackFieldElement(TrackField::LastPlayed), track.lastPlayed);
    xml.Leaf(TrackFieldElement(TrackField::Volume), track.volume);
    xml.Leaf(TrackFieldElement(TrackField::SearchKey), track.searchKey);
    xml.Leaf(TrackFieldElement(TrackField::ControlFlag), track.controlFlag);
    xml.Close();
    xml.Close();
    xml.Close();
}

std::string TrackManifestFile(const ImageModel& image, const TrackManifest& manifest) {
    XmlWriter xml;
    xml.OpenRoot("mpv:Manifest");
    xml.Open("mpv:AssetList");
    xml.Comment("track manifest");
    for (size_t i = manifest.first; i < manifest.first + manifest.count; ++i) {
        WriteAudio(xml, image.tracks[i], image.extras[i]);
    }
    xml.Close();
    xml.Close();
    return xml.Text();
}

// ---------------------------------------------------------------------------
// Files

// Binary mode: the text holds LF only and must reach the disk so on Windows
// too.
bool WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

// The audio path names the file from the player's root, in UTF-8.
bool WriteEmptyAudioFile(const fs::path& base, const std::string& lastUrl) {
    const fs::path path = base / fs::u8path(lastUrl.substr(1));
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    return !error && WriteFile(path, "");
}

bool FileHoldsMarker(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char head[512] = {};
    in.read(head, sizeof head - 1);
    return std::string(head, static_cast<size_t>(in.gcount())).find(kImageMarker) !=
           std::string::npos;
}

}  // namespace

SampleImage DescribeSampleImage(const SampleImageOptions& options) {
    ImageModel image = BuildImage(options);
    SampleImage described;
    described.albums = std::move(image.albums);
    described.tracks.reserve(image.tracks.size());
    for (size_t index : image.linkOrder) {
        const TrackManifest& manifest = image.manifests[index];
        for (size_t i = manifest.first; i < manifest.first + manifest.count; ++i) {
            described.tracks.push_back(image.tracks[i]);
        }
    }
    return described;
}

std::vector<std::string> CatalogueFilesInReadOrder(const SampleImage& image) {
    std::vector<std::string> files{kAlbumCataloguePath};
    for (const SampleAlbum& album : image.albums) {
        files.push_back(album.manifestPath);
    }
    files.push_back(kMusicCataloguePath);
    // The tracks of one manifest lie next to each other in load order.
    std::string previous;
    for (const SampleTrack& track : image.tracks) {
        if (track.manifestPath != previous) {
            files.push_back(track.manifestPath);
        }
        previous = track.manifestPath;
    }
    return files;
}

bool HoldsForeignCatalogue(const std::string& root) {
    const fs::path base(root);
    std::error_code error;
    if (fs::exists(base / "index.mum", error)) {
        return !FileHoldsMarker(base / "index.mum");
    }
    return fs::exists(base / "SYSTEM", error);
}

namespace {

// Empties the image's manifest folders at `base` (or makes them); false when
// they cannot be made.
bool PrepareFolders(const fs::path& base) {
    std::error_code error;
    // Manifests of an earlier, larger image would linger unreferenced; only
    // folders of an image this generator wrote can exist here, as the caller
    // made sure.
    fs::remove_all(base / kAlbumFolder, error);
    fs::remove_all(base / kTrackFolder, error);
    // The audio files of an earlier image too; but a folder of that name beside
    // no image may be the user's own music.
    if (fs::exists(base / "index.mum", error)) {
        fs::remove_all(base / kAudioFolder, error);
    }
    fs::create_directories(base / kAlbumFolder, error);
    if (error) {
        return false;
    }
    fs::create_directories(base / kTrackFolder, error);
    return !error;
}

}  // namespace

bool WriteSampleImage(const std::string& root, const SampleImageOptions& options) {
    if (HoldsForeignCatalogue(root)) {
        return false;
    }
    const fs::path base(root);
    if (!PrepareFolders(base)) {
        return false;
    }
    // index.mum first: should the run stop half way, the marker still says
    // whose files these are.
    if (!WriteFile(base / "index.mum", IndexFile())) {
        return false;
    }
    const ImageModel image = BuildImage(options);
    bool ok = WriteFile(base / kAlbumCataloguePath, AlbumCatalogueFile(image)) &&
              WriteFile(base / kMusicCataloguePath, MusicCatalogueFile(image));
    for (size_t i = 0; ok && i < image.albums.size(); ++i) {
        ok = WriteFile(base / image.albums[i].manifestPath, AlbumManifestFile(image, i));
    }
    for (size_t i = 0; ok && i < image.manifests.size(); ++i) {
        ok =
            WriteFile(base / image.manifests[i].path, TrackManifestFile(image, image.manifests[i]));
    }
    for (size_t i = 0; ok && options.audioFiles && i < image.tracks.size(); ++i) {
        ok = WriteEmptyAudioFile(base, image.tracks[i].lastUrl);
    }
    return ok;
}
