// What a catalogue load tells whoever watches it: how far it got, and each
// problem it met on the way. The load itself never stops for a problem: the
// file or text concerned adds what it can and the load goes on, except where
// the problem is a ceiling of the load's budget, which ends the pass (album or
// music) it was reached in.
#pragma once

enum class LoadProblem {
    // The file named by a path.
    Missing,         // detail: ""
    Unreadable,      // detail: ""
    TooLarge,        // detail: "over N bytes", N being kMaxCatalogueFileBytes
    NotRegularFile,  // detail: "" (a folder, FIFO, device...)
    // Its contents. Detail: the parser's text with row and column, as
    // "Error reading end tag. (row 3, column 7)".
    Malformed,
    NestingLimit,
    AttributeLimit,
    NodeLimit,
    // A ceiling of the load's budget (see load_budget.h), or the pass's share
    // of it; the pass stops there. Detail: the ceiling's name and value, as
    // "tracks: 200000", or "bytes read: 1048576, the album pass's share".
    BudgetCeiling,
    // A link or path that does not fit its buffer: skipped. Detail: its length
    // and the most that fit, as "a path of 600 characters; at most 511 fit".
    PathTooLong,
    // A text cut to the per-text ceiling. Detail: the element and the length
    // it had, as "dc:title: 31457280 bytes".
    TextCut,
};

// A short lower-case name for each problem ("missing", "malformed", ...).
const char* LoadProblemName(LoadProblem problem);

// Receives the progress and the problems of one load, on the thread that runs
// it, while it runs. The texts passed are valid during the call only. Each
// function does nothing unless overridden.
class LoadObserver {
  public:
    virtual ~LoadObserver() = default;

    // `filesRead`: catalogue files whose reading has finished, whatever came of
    // it; `filesNamed`: album.mum, music.mum and every manifest they linked so
    // far. Called whenever either grows; at the end of a load the two are
    // equal.
    virtual void OnProgress(int filesRead, int filesNamed) {
        (void)filesRead;
        (void)filesNamed;
    }

    // The load has read all it will; the last OnProgress told how far.
    virtual void OnFinished() {}

    // A manifest linked again was taken from what its first read gave instead
    // of being read: it counts as read in the progress, and the problems its
    // first read met are not told again. `path` as for its first read.
    virtual void OnManifestRecalled(const char* path) { (void)path; }

    // `path`: the file concerned, as the load formatted it.
    virtual void OnProblem(LoadProblem problem, const char* path, const char* detail) {
        (void)problem;
        (void)path;
        (void)detail;
    }
};
