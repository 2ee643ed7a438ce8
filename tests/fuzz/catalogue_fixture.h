// The fixture of the catalogue fuzz targets: each input is one file of a kind,
// parsed from memory by that kind's reading step; the files a catalogue links
// are small stand-ins.
#pragma once

#include <cstddef>
#include <cstdint>

// The sample image the seed writer takes the files of the catalogue targets
// from.
constexpr unsigned kFuzzImageSeed = 1;
constexpr int kFuzzImageTracks = 16;  // two albums

enum class FuzzedFile { AlbumCatalogue, AlbumManifest, MusicCatalogue, TrackManifest };

// Call from LLVMFuzzerInitialize.
void InitCatalogueFuzzing(FuzzedFile file);

// Runs the step on `data`, checks the lists, the texts' ceiling, the progress
// reported and that each link read became its own record, and imports the
// tracks as library rows.
void LoadWithFuzzedFile(const uint8_t* data, size_t size);
