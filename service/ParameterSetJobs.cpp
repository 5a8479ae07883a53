#include "service/ParameterSetJobs.h"

#include "service/BusSession.h"
#include "service/StationParameters.h"
#include "service/StationType.h"

namespace {

// Counts the exchanges and tells the caller after each.
class Steps {
public:
    Steps(const Progress& progress, int total) : progress_(progress), total_(total) { Report(); }
    void Done() {
        ++done_;
        Report();
    }

private:
    void Report() const {
        if (progress_) progress_(done_, total_);
    }
    const Progress& progress_;
    int total_;
    int done_ = 0;
};

SetValue ValueAt(const ParameterSet& set, std::size_t i) {
    return i < set.values.size() ? set.values[i] : SetValue{};
}

}  // namespace

int ReadParameterSetExchanges() { return 1 + static_cast<int>(StationParameters().size()); }

ParameterSet ReadParameterSet(std::uint8_t address, const std::string& title, const Progress& progress) {
    const BusSession session(address);
    Steps steps(progress, ReadParameterSetExchanges());
    ParameterSet set;
    set.address = address;
    set.title = title;
    set.taken = LocalNow();
    set.typeCode = ReadTypeCode();
    steps.Done();
    for (const StationParameter& p : StationParameters()) {
        const auto value = ReadParameter(p);
        set.values.push_back(value ? SetValue{SetValue::State::Value, *value}
                                   : SetValue{SetValue::State::NotRead, {}});
        steps.Done();
    }
    return set;
}

int CompareParameterSetExchanges() { return ReadParameterSetExchanges(); }

int Comparison::Differences() const {
    int n = 0;
    for (const ComparedParameter& row : rows)
        n += row.equal ? 0 : 1;
    return n;
}

Comparison CompareParameterSet(std::uint8_t address, const ParameterSet& file, const Progress& progress) {
    const BusSession session(address);
    Steps steps(progress, CompareParameterSetExchanges());
    Comparison c;
    c.stationType = ReadTypeCode();
    steps.Done();
    const auto& parameters = StationParameters();
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        ComparedParameter row{parameters[i].key, ValueAt(file, i), ReadParameter(parameters[i]), false};
        row.equal = row.station && row.file.state == SetValue::State::Value && row.file.text == *row.station;
        c.rows.push_back(std::move(row));
        steps.Done();
    }
    return c;
}

int RestoreParameterSetExchanges(const ParameterSet& file) {
    int n = 0;
    for (std::size_t i = 0; i < StationParameters().size(); ++i)
        n += ValueAt(file, i).state == SetValue::State::Value ? 2 : 0;
    return n;
}

std::vector<RestoredParameter> RestoreParameterSet(std::uint8_t address, const ParameterSet& file,
                                                   const Progress& progress) {
    // Checked by the callers with the reasons shown; here so that no caller can send half a set.
    if (!BadEntries(file).empty()) return {};
    const BusSession session(address);
    Steps steps(progress, RestoreParameterSetExchanges(file));
    std::vector<RestoredParameter> rows;
    const auto& parameters = StationParameters();
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        RestoredParameter row{parameters[i].key, ValueAt(file, i), RestoreOutcome::NotInFile, std::nullopt};
        if (row.file.state == SetValue::State::Value) {
            const bool written = WriteParameter(parameters[i], row.file.text);
            steps.Done();
            // A write that was not acknowledged is read back all the same: the station may have
            // taken it and only its answer been lost.
            row.readBack = ReadParameter(parameters[i]);
            steps.Done();
            if (!written)
                row.outcome = RestoreOutcome::WriteFailed;
            else if (!row.readBack)
                row.outcome = RestoreOutcome::NotVerified;
            else if (*row.readBack != row.file.text)
                row.outcome = RestoreOutcome::ReadBackDiffers;
            else
                row.outcome = RestoreOutcome::Verified;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool AllVerified(const std::vector<RestoredParameter>& rows) {
    if (rows.empty()) return false;
    for (const RestoredParameter& row : rows)
        if (row.outcome != RestoreOutcome::Verified) return false;
    return true;
}

std::optional<std::uint16_t> ReadStationType(std::uint8_t address) {
    const BusSession session(address);
    return ReadTypeCode();
}
