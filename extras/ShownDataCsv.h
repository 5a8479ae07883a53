#pragma once
// The data a trend window shows, in the same CSV form as the export of recordings: per station,
// the values and out-of-range marks within the shown time window, in time order.

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "records/Series.h"

struct ShownTrace {
    int address = 0;
    QString title;
    QString unit;
    const std::vector<Sample>* samples = nullptr;
};

std::string ShownDataCsv(const std::vector<ShownTrace>& traces, std::int64_t from, std::int64_t to);
bool WriteShownDataCsv(const QString& path, const std::vector<ShownTrace>& traces, std::int64_t from, std::int64_t to);
