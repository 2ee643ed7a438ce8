// kovra-catalogue --check: reads a player as the plug-in does and lists every
// problem it meets.
#pragma once

#include <string>
#include <vector>

class DeviceCatalogue;
class LoadObserver;

// One problem: what it is (a load problem's name, or one of the checker's own
// kinds), the file it lies in (relative to the player's root) and what exactly
// is wrong.
struct CheckProblem {
    std::string kind;
    std::string file;
    std::string detail;
};

struct CheckReport {
    std::vector<CheckProblem> problems;  // in the order the load met them
    int filesRead = 0;
    long tracks = 0;
    long albums = 0;
};

// Loads the player whose root is the current folder into `catalogue` with the
// plug-in's own loader, and checks what it read. Each problem is named once,
// with the file it lies in, however often the load reads that file. `progress`
// (may be null) hears how far the load has come. Nothing is ever written to the
// player.
CheckReport CheckCatalogue(DeviceCatalogue& catalogue, LoadObserver* progress);

// "412 files read, 300 tracks, 26 albums, 1 problem"
std::string CheckSummary(const CheckReport& report);
