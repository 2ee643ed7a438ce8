// A fake player image (catalogue files and manifests in a folder tree) for
// tests, benchmarks and the demo.
#pragma once

#include <string>
#include <vector>

struct SampleImageOptions {
    unsigned seed = 1;        // same seed and options => byte-identical image
    int trackCount = 200;     // number of tracks (mpv:Audio entries) in total; below 0 counts as 0
    bool audioFiles = false;  // also an empty file at every track's audio path (mpv:LastURL)
};

struct SampleTrack {
    std::string lastUrl, creator, title, genre, recorded, playingTime;
    std::string manifestPath;  // the track manifest that holds this track
    // The remaining texts the loader reads, so that a load can be checked field
    // by field.
    std::string musicBy, playCount, lastPlayed, volume, searchKey, controlFlag;
};

struct SampleAlbum {
    std::string manifestPath, title, creator, genre, recorded, searchKey;
};

struct SampleImage {
    std::vector<SampleAlbum> albums;  // in album.mum order
    std::vector<SampleTrack> tracks;  // in the order the loader meets them
};

// What WriteSampleImage writes for `options`, without touching the disk.
SampleImage DescribeSampleImage(const SampleImageOptions& options);

// Every catalogue file a load of `image` reads, in the order it reads them:
// album.mum, the album manifests, music.mum, the track manifests. Paths are
// relative to the image's root.
std::vector<std::string> CatalogueFilesInReadOrder(const SampleImage& image);

// Writes the image under `root`, creating it if needed. Returns false on an I/O
// failure, and also, writing nothing, when `root` already holds a catalogue
// that this generator did not write (see HoldsForeignCatalogue). Rewriting an
// earlier sample image replaces its manifests.
bool WriteSampleImage(const std::string& root, const SampleImageOptions& options);

// True when `root` holds index.mum or a SYSTEM folder but is not a sample
// image: most likely a real player, whose catalogue must never be overwritten
// with made-up data.
bool HoldsForeignCatalogue(const std::string& root);
