// One catalogue load in progress: the lists it fills, the file buffer it
// reuses, its budget, and whoever watches it. The loader's steps work through
// it; it reads files, parses them and keeps texts within the budget, and tells
// the observer what happens.
#pragma once

#include <cstddef>

#include "catalogue/catalogue_file.h"
#include "catalogue/load_budget.h"
#include "catalogue/load_observer.h"
#include "catalogue/xml_buffer.h"

class CatalogueLists;
class DeviceCatalogue;
class TiXmlDocument;

// Where a load gets its files: the player's drive (ReadCatalogueFile), or
// memory in tests and fuzzing.
class CatalogueFileSource {
  public:
    virtual ~CatalogueFileSource() = default;
    // As ReadCatalogueFile.
    virtual FileReadStatus Read(const char* path, size_t limit, XmlBuffer& buffer) = 0;
};

class CatalogueLoad {
  public:
    // Fills the catalogue's current lists. Null observer or source: none, and
    // the files of the drive.
    CatalogueLoad(DeviceCatalogue& catalogue, LoadObserver* observer, CatalogueFileSource* source,
                  const LoadCeilings& ceilings = kLoadCeilings);
    CatalogueLoad(const CatalogueLoad&) = delete;
    CatalogueLoad& operator=(const CatalogueLoad&) = delete;

    const char* DriveRoot() const;
    CatalogueLists& Lists() { return lists_; }
    // True once a ceiling of the budget was reached: every step stops.
    bool Stopped() const { return budget_.Stopped(); }

    // Counts a file named by the catalogue (or the catalogue file itself),
    // before it is read.
    void NameFile();
    // Reads the file at `path` into the load's buffer, within the per-file cap
    // and the budget; counts it as read. Null when it gave no text, after
    // telling the observer why.
    const XmlBuffer* ReadFile(const char* path);
    // Parses `text` into `document` and tells the observer how the parser
    // stopped, if it did. The document keeps what was parsed before.
    void Parse(const char* path, const XmlBuffer& text, TiXmlDocument& document);

    // Takes a track's texts (count values, null for none) from the budget:
    // false, and the load stops, when they or the track do not fit.
    bool AdmitTrack(const char* const* values, int count, const char* path);
    // Takes one album record from the budget; false when it does not fit.
    bool AdmitAlbum(const char* path);
    // Takes one album text from the budget; false when it does not fit.
    bool AdmitText(const char* value, const char* path);
    // `value` as it is to be kept: cut to kMaxTextLength, with the observer
    // told. A cut copy lives until the next call. Null stays null.
    const char* Kept(const char* value, const char* element, const char* path);

    void Report(LoadProblem problem, const char* path, const char* detail);

  private:
    // Once the budget has stopped: the one debug line and the report.
    void ReportCeiling(const char* path);
    void Progress();

    DeviceCatalogue& catalogue_;
    CatalogueLists& lists_;
    LoadObserver* observer_;
    CatalogueFileSource* source_;
    LoadBudget budget_;
    XmlBuffer buffer_;
    char cut_[kMaxTextLength + 1];
    bool reportedCeiling_ = false;
    int filesRead_ = 0;
    int filesNamed_ = 0;
};
