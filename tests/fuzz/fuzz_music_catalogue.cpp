// Fuzz target: arbitrary bytes as music.mum inside an otherwise valid player
// image.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/catalogue_fixture.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InitCatalogueFuzzing(FuzzedFile::MusicCatalogue);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadWithFuzzedFile(data, size);
    return 0;
}
