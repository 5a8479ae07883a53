#pragma once
// The bus work on parameter sets, one function per action, each addressing one station for its
// whole run (service/BusSession.h) and reporting its progress after every exchange. Each blocks
// until its exchanges are done; nothing here shows anything.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "service/ParameterSet.h"

// Called after each exchange with the exchanges done and the exchanges the action makes.
using Progress = std::function<void(int done, int total)>;

// Takes the station's parameter set: its type and every parameter; a parameter it does not give
// is marked as not read. title names the station in the file.
ParameterSet ReadParameterSet(std::uint8_t address, const std::string& title, const Progress& progress = {});
int ReadParameterSetExchanges();

struct ComparedParameter {
    std::string key;
    SetValue file;
    std::optional<std::string> station;  // none: the station did not give it
    bool equal = false;                 // both there and the same
};
struct Comparison {
    std::optional<std::uint16_t> stationType;  // none: not read
    std::vector<ComparedParameter> rows;
    int Differences() const;  // rows not equal, for whatever reason
};
// Reads the station's type and parameters again and sets them beside the file's.
Comparison CompareParameterSet(std::uint8_t address, const ParameterSet& file, const Progress& progress = {});
int CompareParameterSetExchanges();

enum class RestoreOutcome {
    Verified,        // written, and read back the same
    NotVerified,     // written, but the read back failed
    ReadBackDiffers,  // written, and read back as another value
    WriteFailed,     // the write was not acknowledged (readBack: what the station holds)
    NotInFile,       // nothing to write: the file has no value for it
};
struct RestoredParameter {
    std::string key;
    SetValue file;
    RestoreOutcome outcome = RestoreOutcome::NotInFile;
    std::optional<std::string> readBack;
};
// Writes every value of the file to the station, each followed by a read back.
std::vector<RestoredParameter> RestoreParameterSet(std::uint8_t address, const ParameterSet& file,
                                                   const Progress& progress = {});
int RestoreParameterSetExchanges(const ParameterSet& file);
bool AllVerified(const std::vector<RestoredParameter>& rows);

// The station's type, one exchange (for the question before a restore).
std::optional<std::uint16_t> ReadStationType(std::uint8_t address);
