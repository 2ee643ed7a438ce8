// Writes the seed corpora of the fuzz targets: files of generated sample
// images, texts that probe the parser's lexical corners and limits, and library
// inputs made from the sample tracks.
//
//   kovra_fuzz_make_seeds DIR
//
// writes DIR/<target>/<seed>, replacing earlier seeds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "catalogue/catalogue_records.h"
#include "catalogue/snapshot_session.h"
#include "tests/fuzz/catalogue_fixture.h"
#include "tests/fuzz/fuzz_fields.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

namespace fs = std::filesystem;

const char kAlbumCatalogue[] = "SYSTEM/List/Music/album.mum";
const char kMusicCatalogue[] = "SYSTEM/List/Music/music.mum";
const char* const kXmlTargets[] = {"fuzz_album_catalogue", "fuzz_album_manifest",
                                   "fuzz_music_catalogue", "fuzz_track_manifest"};

bool g_failed = false;

void Write(const fs::path& path, const std::string& bytes) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "kovra_fuzz_make_seeds: cannot write %s\n", path.c_str());
        g_failed = true;
    }
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Repeat(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

std::string Nested(int depth) {
    return Repeat("<a>", depth) + "t" + Repeat("</a>", depth);
}

// Attributes a0='' to a<count-1>='', each after a space.
std::string Attributes(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += " a" + std::to_string(i) + "=''";
    }
    return text;
}

// Each byte as one UTF-16 unit after the byte order mark: enough to look like a
// UTF-16 file.
std::string Utf16(const std::string& text, bool bigEndian) {
    std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) {
        wide += bigEndian ? std::string(1, '\0') + c : std::string(1, c) + '\0';
    }
    return wide;
}

// Texts where the parser's lexical rules decide what nests.
std::vector<std::pair<std::string, std::string>> ParserProbes(const std::string& manifest) {
    const std::string utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    const std::string latin = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
    return {
        {"nested-255", Nested(255)},
        {"nested-256", Nested(256)},
        {"nested-257", Nested(257)},
        {"nested-300", Nested(300)},
        {"attributes-64", "<a" + Attributes(64) + "/>"},
        {"attributes-65", "<a" + Attributes(65) + "/>"},
        {"bom-manifest", "\xEF\xBB\xBF" + manifest},
        {"utf16le-manifest", Utf16(manifest, false)},
        {"utf16be-manifest", Utf16(manifest, true)},
        {"crlf-manifest",
         [&] {
             std::string crlf;
             for (char c : manifest) {
                 crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
             }
             return crlf;
         }()},
        {"lead-byte-swallows-tag", utf8 + "<a>x\xC3<b><c>" + Nested(3) + "</c></b></a>"},
        {"lead-byte-legacy", latin + "<a>x\xC3<b><c>" + Nested(3) + "</c></b></a>"},
        {"lead-byte-bom", "\xEF\xBB\xBF<a>\xF0<b><c/></b></a>"},
        {"lead-byte-at-end", utf8 + "<a><b>\xF0"},
        {"entity-swallows-tags", "<a>&#x<b><c><d>x41;</d></c></b></a>"},
        {"entity-decimal", "<a>&#<b><c>12;</c></b>&#65;&lt;&amp;</a>"},
        {"entity-in-attribute", "<a x=\"&#x\"<b>;\"><c/></a>"},
        {"declaration-late", "<a/>" + latin + "<b>\xC3<c><d/></c></b>"},
        {"declaration-entity", "<?xml encoding=\"UTF&#45;8\"?><a><b/></a>"},
        {"declaration-nested", "<a>" + latin + "<b>\xC3<c/></b></a>"},
        {"comment-hides-tags", "<a><!-- <b><c> --><d/></a>"},
        {"cdata-hides-tags", "<a><![CDATA[<b><c>]]><d/></a>"},
        {"unknown-markup", "<!DOCTYPE x [<!ENTITY y \"<z>\">]><a><!x><?pi <b>?><c/></a>"},
        {"attributes", "<a b='1' c=\"<d>\" e=f g = 'h'><i j=\"k\"/></a>"},
        {"duplicate-attribute", "<a b='1' b='2'><c><d/></c></a>"},
        {"wrong-end-tag", "<a><b></c><d><e/></d></a>"},
        {"space-in-tags", "< a><b ></b ><c/ ></a>"},
    };
}

// A library row of a sample track, as the catalogue import makes it.
FuzzRecord RowFields(const SampleTrack& track) {
    return {track.creator,
            track.title,
            "UHM NOT YET",
            track.playingTime,
            "1",
            track.genre,
            track.recorded.substr(0, 4),
            track.lastUrl};
}

FuzzRecord HostRecordFields(const SampleTrack& track) {
    return {track.lastUrl,
            track.title,
            "UHM NOT YET",
            track.creator,
            "0",
            track.genre,
            track.recorded.substr(0, 4),
            "1",
            track.playingTime,
            "0"};
}

// The snapshot a read of the image leaves, without its checksum (the target
// seals what it is given).
void WriteSnapshotSeed(const fs::path& image, const fs::path& seed) {
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& entry : fs::recursive_directory_iterator(image)) {
        fs::last_write_time(entry.path(), hourAgo);
    }
    const fs::path cache = image / kSnapshotFileName;
    const fs::path previous = fs::current_path();
    fs::current_path(image);
    DeviceCatalogue catalogue;
    const char root[4] = "./";
    catalogue.SetDriveRoot(root);
    LoadCatalogueWithSnapshot(catalogue, nullptr, cache.c_str());
    fs::current_path(previous);
    const std::string bytes = Read(cache);
    fs::remove(cache);
    if (bytes.size() > 4) {
        Write(seed, bytes.substr(0, bytes.size() - 4));
    }
}

void WriteLibrarySeeds(const fs::path& out, const SampleImage& image) {
    std::vector<FuzzRecord> rows;
    for (const SampleTrack& track : image.tracks) {
        rows.push_back(RowFields(track));
    }
    auto with = [&](FuzzRecord head, size_t count) {
        std::vector<FuzzRecord> records{std::move(head)};
        records.insert(records.end(), rows.begin(), rows.begin() + std::min(count, rows.size()));
        return JoinRecords(records);
    };
    const fs::path search = out / "fuzz_search";
    Write(search / "beat", with({"the beat", "300", "512"}, 30));
    Write(search / "quoted", with({"\"rock & roll\" 19", "12", "8"}, 30));
    Write(search / "year", with({"1999 ö", "5", "3", "30"}, 30));
    Write(search / "empty-query", with({"", "1", "0"}, 10));
    Write(search / "long-query", with({Repeat("ab ", 100), "256", "20"}, 5));
    Write(search / "null-rows", with({"a", "40", "40"}, 3) + kRecordSeparator + kRecordSeparator);

    const fs::path find = out / "fuzz_find_and_cells";
    Write(find / "title-prefix", with({"1", "5", "8", "the", "0", "16"}, 30));
    Write(find / "artist-wrap", with({"0", "20", "42", "The Beat", "1", "3"}, 30));
    Write(find / "whole-year", with({"6", "-1", "2", "1999", "0", "0"}, 30));
    Write(find / "length", with({"3", "0", "4", "1:", "7", "5"}, 12));
    Write(find / "out-of-range", with({"-2147483648", "2147483647", "4294967295"}, 8));

    std::vector<FuzzRecord> records{{"0", "0", "1", "1", "\x55\xAA", "\xFF\x0F", "1"}};
    for (const SampleTrack& track : image.tracks) {
        records.push_back(HostRecordFields(track));
    }
    const fs::path import = out / "fuzz_import_records";
    Write(import / "whole", JoinRecords(records));
    records[0] = {"1", "-1", "0", "1", "\xF0", "\xFF\xFF\xFF\xFF", "2"};
    Write(import / "negative-count", JoinRecords(records));
    records[0] = {"2", "5", "0", "0"};
    Write(import / "null-records", JoinRecords(records));
    records[0] = {"1", "7", "0", "1", "\x0F", "\x3C"};
    Write(import / "short-count", JoinRecords(records));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kovra_fuzz_make_seeds DIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path imageRoot = out / ".image";
    std::error_code error;
    fs::remove_all(out, error);

    SampleImageOptions options;
    options.seed = kFuzzImageSeed;
    options.trackCount = kFuzzImageTracks;
    const SampleImageOptions other{7, 12};
    std::string manifest;
    for (const SampleImageOptions& o : {options, other}) {
        fs::remove_all(imageRoot, error);
        if (!WriteSampleImage(imageRoot.string(), o)) {
            std::fprintf(stderr, "kovra_fuzz_make_seeds: cannot write a sample image\n");
            return 1;
        }
        const SampleImage image = DescribeSampleImage(o);
        const std::string tag = "seed" + std::to_string(o.seed) + "-";
        const std::string albums = Read(imageRoot / kAlbumCatalogue);
        const std::string music = Read(imageRoot / kMusicCatalogue);
        Write(out / "fuzz_album_catalogue" / (tag + "album.mum"), albums);
        Write(out / "fuzz_music_catalogue" / (tag + "music.mum"), music);
        for (const SampleAlbum& album : image.albums) {
            const fs::path file = imageRoot / album.manifestPath;
            Write(out / "fuzz_album_manifest" / (tag + file.filename().string()), Read(file));
        }
        for (const SampleTrack& track : image.tracks) {
            const fs::path file = imageRoot / track.manifestPath;
            manifest = Read(file);
            Write(out / "fuzz_track_manifest" / (tag + file.filename().string()), manifest);
        }
        if (o.seed == options.seed) {
            WriteLibrarySeeds(out, image);
        }
        WriteSnapshotSeed(imageRoot, out / "fuzz_snapshot" / (tag + "snapshot"));
    }
    fs::remove_all(imageRoot, error);

    for (const auto& [name, text] : ParserProbes(manifest)) {
        for (const char* target : kXmlTargets) {
            Write(out / target / name, text);
        }
    }
    return g_failed ? 1 : 0;
}
