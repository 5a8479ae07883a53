#pragma once
// What the parameter set window says: the station, each value, each outcome, the question
// before a restore and the summary line of each action.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "service/ParameterSet.h"
#include "service/ParameterSetJobs.h"

// Station 5 „Kessel 2“
QString StationCaption(int address, const QString& title);
// The value, or what stands in its place ("nicht gelesen", "fehlt", "ungültig: abc").
QString ValueCell(const SetValue& v);
// "bestätigt", "Übertragungsfehler", "geschrieben, gelesen: 400", ...
QString OutcomeText(const RestoredParameter& row);

QString BackupSummary(const ParameterSet& set, const QString& path, bool saved);
QString CompareSummary(const Comparison& c, const ParameterSet& file);
QString RestoreSummary(const std::vector<RestoredParameter>& rows);
// The question before a restore: which file onto which station; a warning when the file was
// taken from another type of device, or when either type is not known.
QString RestoreQuestion(const ParameterSet& file, const QString& path, int address, const QString& title,
                        std::optional<std::uint16_t> stationType);
// "" when the types agree, else the warning.
QString TypeWarning(std::optional<std::uint16_t> fileType, std::optional<std::uint16_t> stationType);
