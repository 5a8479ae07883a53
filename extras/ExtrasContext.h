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

struct StationInfo {
    int address = 0;
    QString title;
    QString unit;              // the panel's Benennung
    std::uint16_t zyklus = 0;  // in ticks of 500 ms
    PollStatistics stats;
};

struct ExtrasContext {
    PollEvents* polls = nullptr;
    std::function<std::vector<StationInfo>()> stations;
    std::function<QString()> recordingFolder;  // where the recording files lie (the working directory)
};
