// Checks a player's catalogue: the plug-in's own load, watched file by file,
// and the records it made, each traced back to the file it came from.
//
// The load is the plug-in's LoadCatalogue, given this checker as its observer
// and as its file source; the source reads each file exactly as the drive
// source does, and only notes which file is being read (a manifest linked again
// is not read: the observer hears it recalled). Steps never nest below a
// manifest, so the tracks made between one file and the next come from the file
// taken first; the albums of album.mum are complete before their manifest is
// read, and its last album is the one the manifest fills.
#include "tools/kovra-catalogue/check/catalogue_check.h"

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <unordered_map>
#include <utility>

#include "base/utf8_text.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_load.h"
#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "catalogue/load_observer.h"
#include "tools/kovra-catalogue/check/audio_file_lookup.h"

namespace {

enum class CatalogueFileKind { None, AlbumCatalogue, AlbumManifest, MusicCatalogue, TrackManifest };

std::string TrackLabel(long number) {
    return "track " + std::to_string(number);
}

// "dc:title: byte 0xE9 at 12" for a text that is not valid UTF-8; none for one
// that is, or none.
WhyNot Utf8Fault(const char* element, const char* text) {
    const size_t at = text != nullptr ? FirstInvalidUtf8(text) : SIZE_MAX;
    if (at == SIZE_MAX) {
        return {};
    }
    char detail[160];
    std::snprintf(detail, sizeof detail, "%.64s: byte 0x%02X at %lu", element,
                  static_cast<unsigned>(static_cast<unsigned char>(text[at])),
                  static_cast<unsigned long>(at));
    return detail;
}

class Checker : public LoadObserver, public CatalogueFileSource {
  public:
    Checker(DeviceCatalogue& catalogue, LoadObserver* progress)
        : catalogue_(catalogue), progress_(progress) {}

    void OnProgress(int filesRead, int filesNamed) override {
        report_.filesRead = filesRead;
        if (progress_ != nullptr) {
            progress_->OnProgress(filesRead, filesNamed);
        }
    }

    void OnProblem(LoadProblem problem, const char* path, const char* detail) override {
        if (problem == LoadProblem::BudgetCeiling) {
            if (file_ == path) {
                pending_.clear();  // the load did not take all of the file in
            }
        } else if (repeat_ && file_ == path) {
            return;  // named when the file was read first
        }
        Add(LoadProblemName(problem), path, detail);
    }

    void OnManifestRecalled(const char* path) override {
        EndFile();
        BeginFile(path);
    }

    FileReadStatus Read(const char* path, size_t limit, XmlBuffer& buffer) override {
        EndFile();
        BeginFile(path);
        const FileReadStatus status = ReadCatalogueFile(path, limit, buffer);
        if (status == FileReadStatus::Read && kind_ == CatalogueFileKind::AlbumManifest &&
            !repeat_) {
            CheckAlbumManifest(path, buffer);
        }
        return status;
    }

    CheckReport Finish() {
        EndFile();
        CheckNewAlbums();
        for (const std::string& path : linkOrder_) {
            const int links = timesRead_[path];
            if (links > 1) {
                Add("linked more than once", path,
                    std::to_string(links) + " links in " + kMusicCataloguePath);
            }
        }
        report_.tracks = CountRecords(catalogue_.FirstTrack());
        report_.albums = CountRecords(Lists().FirstAlbum());
        return std::move(report_);
    }

  private:
    CatalogueLists& Lists() { return *catalogue_.Lists(); }

    void Add(const std::string& kind, const std::string& file, const std::string& detail) {
        report_.problems.push_back({kind, file, detail});
    }

    void BeginFile(const char* path) {
        file_ = path;
        if (kind_ == CatalogueFileKind::None) {
            kind_ = CatalogueFileKind::AlbumCatalogue;  // always the first file a load reads
        } else if (file_ == kMusicCataloguePath && !musicPass_) {
            musicPass_ = true;
            kind_ = CatalogueFileKind::MusicCatalogue;
        } else {
            kind_ =
                musicPass_ ? CatalogueFileKind::TrackManifest : CatalogueFileKind::AlbumManifest;
        }
        repeat_ = timesRead_[file_]++ > 0;
        if (kind_ == CatalogueFileKind::TrackManifest && !repeat_) {
            linkOrder_.push_back(file_);
        }
        // The albums album.mum has made so far are complete: their manifest
        // comes after them.
        CheckNewAlbums();
    }

    // What the file read last gave, once its step is done.
    void EndFile() {
        for (CheckProblem& problem : pending_) {
            report_.problems.push_back(std::move(problem));
        }
        pending_.clear();
        if (kind_ == CatalogueFileKind::TrackManifest) {
            CheckNewTracks();
        }
    }

    void CheckNewTracks() {
        const TrackRecord* track =
            lastTrack_ != nullptr ? lastTrack_->Next() : Lists().FirstTrack();
        long number = 0;
        for (; track != nullptr; track = track->Next()) {
            lastTrack_ = track;
            if (!repeat_) {
                CheckTrack(*track, ++number);
            }
        }
    }

    void CheckTrack(const TrackRecord& track, long number) {
        const std::string label = TrackLabel(number);
        if (const WhyNot& audio = audioFiles_.Fault(track.LastUrl())) {
            Add("audio file missing", file_, label + ": " + audio.Text());
        }
        if (track.Title() == nullptr) {
            const char* url = track.LastUrl();
            Add("no title", file_, url != nullptr ? label + ": " + url : label);
        }
        for (int field = 0; field < kTrackFieldCount; ++field) {
            const TrackField text = static_cast<TrackField>(field);
            if (const WhyNot fault = Utf8Fault(TrackFieldElement(text), track.Text(text))) {
                Add("not UTF-8", file_, label + ": " + fault.Text());
            }
        }
    }

    // The texts album.mum gave each album made since the last look.
    void CheckNewAlbums() {
        const AlbumRecord* album =
            lastAlbum_ != nullptr ? lastAlbum_->Next() : Lists().FirstAlbum();
        for (; album != nullptr; album = album->Next()) {
            lastAlbum_ = album;
            const std::string label = "album " + std::to_string(++albumsSeen_) + ": ";
            for (const WhyNot& fault : {Utf8Fault("mpv:LastURL", album->ManifestPath()),
                                        Utf8Fault("mpvm:AlbumTitle", album->AlbumTitle()),
                                        Utf8Fault("mrobe:SearchKey", album->SearchKey())}) {
                if (fault) {
                    Add("not UTF-8", kAlbumCataloguePath, label + fault.Text());
                }
            }
        }
    }

    // What the album manifest gives on its own, as the loader's own step reads
    // it into an album of a scratch catalogue: the album it fills already holds
    // album.mum's title, which would hide a manifest that gives none.
    void CheckAlbumManifest(const char* path, const XmlBuffer& text) {
        DeviceCatalogue scratch;
        CatalogueLoad load(scratch, nullptr, nullptr);
        AlbumRecord& album = *load.Lists().AppendAlbum();
        ReadAlbumManifest(load, album, path, text);
        if (album.AlbumTitle() == nullptr) {
            pending_.push_back({"no album title", path, "no mpvm:AlbumTitle with a text"});
        }
        for (const WhyNot& fault : {Utf8Fault("dc:creator", album.Creator()),
                                    Utf8Fault("mpvm:AlbumTitle", album.AlbumTitle()),
                                    Utf8Fault("mpvm:Genre", album.Genre()),
                                    Utf8Fault("mpvm:Recorded", album.Recorded())}) {
            if (fault) {
                pending_.push_back({"not UTF-8", path, fault.Text()});
            }
        }
    }

    DeviceCatalogue& catalogue_;
    LoadObserver* progress_;
    AudioFiles audioFiles_;
    CheckReport report_;
    std::unordered_map<std::string, int> timesRead_;
    std::vector<std::string> linkOrder_;  // track manifests, in the order first read
    std::vector<CheckProblem> pending_;   // of file_, added once the load has taken it in
    std::string file_;                    // the file read last
    CatalogueFileKind kind_ = CatalogueFileKind::None;
    bool repeat_ = false;     // file_ was read before
    bool musicPass_ = false;  // music.mum was reached
    const TrackRecord* lastTrack_ = nullptr;
    const AlbumRecord* lastAlbum_ = nullptr;
    long albumsSeen_ = 0;
};

std::string Counted(long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

CheckReport CheckCatalogue(DeviceCatalogue& catalogue, LoadObserver* progress) {
    Checker checker(catalogue, progress);
    LoadCatalogue(catalogue, &checker, &checker);
    return checker.Finish();
}

std::string CheckSummary(const CheckReport& report) {
    return Counted(report.filesRead, "file read", "files read") + ", " +
           Counted(report.tracks, "track", "tracks") + ", " +
           Counted(report.albums, "album", "albums") + ", " +
           Counted(static_cast<long>(report.problems.size()), "problem", "problems");
}
