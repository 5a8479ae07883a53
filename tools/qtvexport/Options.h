#pragma once
// qtvexport's command line:
//   qtvexport [--dir DIR] [--from DD.MM.YYYY] [--to DD.MM.YYYY] [--stations 1,5,7] [--config FILE] OUT.csv
// Each option also as --name=value.

#include <optional>
#include <string>
#include <vector>

#include "records/RecordingFiles.h"

struct ExportOptions {
    bool help = false;
    std::string folder = ".";
    std::string config;      // empty: no titles
    RecordingFilter filter;
    std::string target;
};

struct ParsedOptions {
    std::optional<ExportOptions> options;
    std::string error;  // one line, when options is empty
};

ParsedOptions ParseExportOptions(const std::vector<std::string>& args);

std::string ExportUsage();
