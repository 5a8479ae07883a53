#pragma once
// What the windows of "E&xtras" may know of the main window: the stations as the panels show
// them, every poll's result, and the folder of the recording files. The main window fills it;
// tests fill it with stations of their own.

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "panel/PollEvents.h"
#include "panel/PollStatistics.h"

// A line the trend draws across a station's values: a switching point, an alarm limit.
struct TrendLimit {
    QString name;  // "SP1", ...
    double value = 0;  // as the panel shows values
};

struct StationInfo {
    int address = 0;
    QString title;
    QString unit;              // the panel's Benennung
    std::uint16_t zyklus = 0;  // in ticks of 500 ms
    PollStatistics stats;
    std::vector<TrendLimit> limits;
};

struct ExtrasContext {
    PollEvents* polls = nullptr;
    std::function<std::vector<StationInfo>()> stations;
    std::function<QString()> recordingFolder;  // where the recording files lie (the working directory)
    std::function<QString()> plantTitle;       // the program's title, at the head of a printed trend
    // The file in which trend windows keep their place and stations between runs; empty: kept nowhere.
    std::function<QString()> stateFile;
    // Where the recording files' summaries are kept; empty: made afresh for every long load.
    QString summaryFolder;
};
