// The fixture of the catalogue fuzz targets: a sample player image in a private temporary
// folder, of which one file is replaced by each fuzz input before the catalogue is loaded.
#pragma once

#include <cstddef>
#include <cstdint>

// The image every catalogue target (and the seed writer) uses.
constexpr unsigned kFuzzImageSeed = 1;
constexpr int kFuzzImageTracks = 16;  // two albums; every load parses all its files

enum class FuzzedFile { AlbumCatalogue, AlbumManifest, MusicCatalogue, TrackManifest };

// Call from LLVMFuzzerInitialize. Writes the image, loads it once as it is (the reference for
// what a fuzzed file must leave alone) and makes libFuzzer write its artifacts into the folder
// it was started in, never into the image, which is the current folder during a load.
void InitCatalogueFuzzing(int* argc, char*** argv, FuzzedFile file);

// Replaces the fuzzed file with `data`, loads the catalogue, checks the lists and what the
// other files say, and imports the tracks as library rows.
void LoadWithFuzzedFile(const uint8_t* data, size_t size);
