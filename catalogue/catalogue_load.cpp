// The state of one catalogue load: reading and parsing its files, keeping texts
// within its budget.
#include "catalogue/catalogue_load.h"

#include <cstdio>
#include <cstring>

#include <tinyxml.h>

#include "base/debug_output.h"
#include "base/utf8_text.h"
#include "catalogue/catalogue_records.h"
#include "catalogue/snapshot_session.h"

namespace {

LoadProblem ReadProblem(FileReadStatus status) {
    switch (status) {
        case FileReadStatus::Missing:
            return LoadProblem::Missing;
        case FileReadStatus::TooLarge:
            return LoadProblem::TooLarge;
        case FileReadStatus::NotRegularFile:
            return LoadProblem::NotRegularFile;
        default:
            return LoadProblem::Unreadable;
    }
}

LoadProblem ParseProblem(int errorId) {
    switch (errorId) {
        case TiXmlBase::TIXML_ERROR_NESTING_TOO_DEEP:
            return LoadProblem::NestingLimit;
        case TiXmlBase::TIXML_ERROR_TOO_MANY_ATTRIBUTES:
            return LoadProblem::AttributeLimit;
        case TiXmlBase::TIXML_ERROR_TOO_MANY_NODES:
            return LoadProblem::NodeLimit;
        default:
            return LoadProblem::Malformed;
    }
}

// The length of `text`, counted no further than limit + 1.
size_t CappedLength(const char* text, size_t limit) {
    size_t length = 0;
    while (length <= limit && text[length] != 0) {
        ++length;
    }
    return length;
}

// How many bytes of `text` are kept: all, or as many as the per-text ceiling
// takes without splitting a UTF-8 character.
size_t KeptLength(const char* text) {
    const size_t length = CappedLength(text, kMaxTextLength);
    return length > kMaxTextLength ? Utf8CutPoint(text, kMaxTextLength) : length;
}

// What a text costs the budget: its kept bytes with the terminator.
size_t KeptSize(const char* text) {
    return text != nullptr ? KeptLength(text) + 1 : 0;
}

}  // namespace

FileReadStatus DriveFiles::Read(const char* path, size_t limit, XmlBuffer& buffer) {
    return ReadCatalogueFile(path, limit, buffer, &last_);
}

CatalogueLoad::CatalogueLoad(DeviceCatalogue& catalogue, LoadObserver* observer,
                             CatalogueFileSource* source, const LoadCeilings& ceilings,
                             SnapshotSession* snapshot)
    : catalogue_(catalogue),
      lists_(catalogue.Lists() != nullptr ? *catalogue.Lists() : catalogue.ReplaceLists()),
      observer_(observer != nullptr ? observer : &silentObserver_),
      source_(source != nullptr ? source : &driveFiles_),
      snapshot_(snapshot),
      budget_(ceilings),
      rootLength_(std::strlen(catalogue.DriveRoot())) {}

const char* CatalogueLoad::DriveRoot() const {
    return catalogue_.DriveRoot();
}

void CatalogueLoad::BeginPass(const char* name, const LoadCeilings& share, bool counted) {
    pass_ = name;
    budget_.BeginPass(share);
    memo_.Clear();
    reportedCeiling_ = false;
    filesLeftInPass_ = counted ? 1 : 0;
}

void CatalogueLoad::EndPass() {
    memo_.Clear();
    if (filesLeftInPass_ > 0) {
        filesRead_ += filesLeftInPass_;
        filesLeftInPass_ = 0;
        Progress();
    }
}

void CatalogueLoad::NameFiles(int count) {
    if (count > 0) {
        filesNamed_ += count;
        filesLeftInPass_ += count;
        Progress();
    }
}

void CatalogueLoad::CountDone() {
    ++filesRead_;
    --filesLeftInPass_;
    Progress();
}

void CatalogueLoad::SkipFile(bool counted) {
    if (counted) {
        CountDone();
    }
}

void CatalogueLoad::RecallFile(const char* path, bool counted) {
    observer_->OnManifestRecalled(path);
    if (counted) {
        CountDone();
    }
}

const SnapshotEntry* CatalogueLoad::Unchanged(SnapshotFileKind kind, const char* link) {
    return snapshot_ != nullptr ? snapshot_->Unchanged(kind, link) : nullptr;
}

bool CatalogueLoad::ReplayFile(const SnapshotEntry& entry, const char* path) {
    if (budget_.SpendBytes(static_cast<size_t>(entry.cost))) {
        return true;
    }
    ReportCeiling(path);
    return false;
}

void CatalogueLoad::Record(int slot, const char* text) {
    memo_.Record(slot, text);
    if (snapshot_ != nullptr) {
        snapshot_->JournalManifest(slot, text);
    }
}

void CatalogueLoad::JournalCatalogue(int slot, const char* text) {
    if (snapshot_ != nullptr) {
        snapshot_->JournalCatalogue(slot, text);
    }
}

void CatalogueLoad::Finish() {
    if (filesRead_ < filesNamed_) {
        filesRead_ = filesNamed_;
        Progress();
    }
    observer_->OnFinished();
}

const XmlBuffer* CatalogueLoad::ReadFile(const char* path) {
    const FileReadStatus status = source_->Read(path, kMaxCatalogueFileBytes, buffer_);
    CountDone();
    if (status == FileReadStatus::TooLarge) {
        char detail[64];
        std::snprintf(detail, sizeof detail, "over %lu bytes",
                      static_cast<unsigned long>(kMaxCatalogueFileBytes));
        Report(LoadProblem::TooLarge, path, detail);
    } else if (status != FileReadStatus::Read) {
        Report(ReadProblem(status), path, "");
    } else if (!budget_.SpendBytes(buffer_.InputSize())) {
        // Within the cap, but past what the whole load may read: not parsed.
        ReportCeiling(path);
    } else {
        if (snapshot_ != nullptr) {
            FileStamp stamp;
            snapshot_->FileRead(buffer_.InputSize(), source_->LastStamp(stamp) ? &stamp : nullptr);
        }
        return &buffer_;
    }
    return nullptr;
}

void CatalogueLoad::Parse(const char* path, const XmlBuffer& text, TiXmlDocument& document) {
    document.Parse(text.Text(), nullptr, TIXML_DEFAULT_ENCODING);
    if (!document.Error()) {
        return;
    }
    char detail[160];
    std::snprintf(detail, sizeof detail, "%s (row %d, column %d)", document.ErrorDesc(),
                  document.ErrorRow(), document.ErrorCol());
    Report(ParseProblem(document.ErrorId()), path, detail);
}

bool CatalogueLoad::AdmitTrack(const char* const* values, int count, const char* path) {
    size_t text = 0;
    for (int i = 0; i < count; ++i) {
        text += KeptSize(values[i]);
    }
    if (budget_.SpendTrack() && budget_.SpendText(text)) {
        return true;
    }
    ReportCeiling(path);
    return false;
}

bool CatalogueLoad::AdmitAlbum(const char* path) {
    if (budget_.SpendAlbum()) {
        return true;
    }
    ReportCeiling(path);
    return false;
}

bool CatalogueLoad::AdmitText(const char* value, const char* path) {
    if (budget_.SpendText(KeptSize(value))) {
        return true;
    }
    ReportCeiling(path);
    return false;
}

const char* CatalogueLoad::Kept(const char* value, const char* element, const char* path) {
    if (value == nullptr || CappedLength(value, kMaxTextLength) <= kMaxTextLength) {
        return value;
    }
    char detail[128];
    std::snprintf(detail, sizeof detail, "%.64s: %lu bytes", element,
                  static_cast<unsigned long>(std::strlen(value)));
    Report(LoadProblem::TextCut, path, detail);
    const size_t kept = KeptLength(value);
    std::memcpy(cut_, value, kept);
    cut_[kept] = 0;
    return cut_;
}

void CatalogueLoad::Report(LoadProblem problem, const char* path, const char* detail) {
    observer_->OnProblem(problem, path, detail);
}

void CatalogueLoad::ReportCeiling(const char* path) {
    if (reportedCeiling_) {
        return;
    }
    reportedCeiling_ = true;
    const LoadCeiling ceiling = budget_.StoppedBy();
    const char* name = LoadCeilingName(ceiling);
    const unsigned long value = static_cast<unsigned long>(
        budget_.StoppedByShare() ? budget_.Share(ceiling) : budget_.Ceiling(ceiling));
    char detail[96];
    if (pass_ == nullptr) {
        DebugPrintf("Catalogue load stopped: the %s ceiling (%lu) was reached\n", name, value);
        std::snprintf(detail, sizeof detail, "%s: %lu", name, value);
    } else if (budget_.StoppedByShare()) {
        DebugPrintf("Catalogue load: the %s pass stopped at its share of the %s ceiling (%lu)\n",
                    pass_, name, value);
        std::snprintf(detail, sizeof detail, "%s: %lu, the %s pass's share", name, value, pass_);
    } else {
        DebugPrintf("Catalogue load: the %s pass stopped at the %s ceiling (%lu)\n", pass_, name,
                    value);
        std::snprintf(detail, sizeof detail, "%s: %lu", name, value);
    }
    Report(LoadProblem::BudgetCeiling, path, detail);
}

void CatalogueLoad::Progress() {
    observer_->OnProgress(filesRead_, filesNamed_);
}

FileJournal::FileJournal(CatalogueLoad& load, SnapshotFileKind kind, const char* link,
                         bool manifest)
    : load_(load), manifest_(manifest) {
    if (load_.Snapshot() != nullptr) {
        load_.Snapshot()->BeginFile(kind, link, manifest);
    }
}

FileJournal::~FileJournal() {
    if (load_.Snapshot() != nullptr) {
        load_.Snapshot()->EndFile(manifest_, !load_.Stopped());
    }
}
