#include "tools/qtvctl/ServiceActions.h"

#include <cstdio>
#include <string>

#include "platform/PlainFile.h"
#include "service/ClockSetting.h"
#include "service/ParameterSetJobs.h"
#include "service/StationParameters.h"
#include "service/StationType.h"

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr unsigned kLastStation = 31;

std::string Shown(const SetValue& v) {
    switch (v.state) {
    case SetValue::State::Value:
        return "\"" + v.text + "\"";
    case SetValue::State::NotRead:
        return "not read";
    case SetValue::State::Missing:
        return "missing";
    case SetValue::State::Invalid:
        return "invalid \"" + v.text + "\"";
    }
    return {};
}

std::string TypeShown(const std::optional<std::uint16_t>& type) {
    return type ? TypeCodeText(*type) : "unknown";
}

std::string Join(const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& k : keys)
        text += (text.empty() ? "" : ", ") + k;
    return text;
}

std::optional<ParameterSet> Load(const std::string& path) {
    std::string error;
    // The file is refused by the same rule the window uses; qtvctl says why in its own words.
    const PlainFile state = InspectPlainFile(path);
    if (state != PlainFile::Regular) {
        std::fprintf(stderr, "qtvctl: %s\n", PlainFileRefusal(state, path, Speech::English).c_str());
        return std::nullopt;
    }
    auto set = LoadParameterSet(path, error);
    if (!set) std::fprintf(stderr, "qtvctl: %s holds no readable parameter set\n", path.c_str());
    return set;
}

int Backup(const Options& o) {
    const ParameterSet set =
        ReadParameterSet(static_cast<std::uint8_t>(o.address), "Station " + std::to_string(o.address));
    const auto& parameters = StationParameters();
    std::printf("%-10s %s\n", "type", TypeShown(set.typeCode).c_str());
    for (std::size_t i = 0; i < parameters.size(); ++i)
        std::printf("%-10s %s\n", parameters[i].key, Shown(set.values[i]).c_str());
    if (!SaveParameterSet(set, o.file)) {
        const PlainFile state = InspectPlainFile(o.file);
        if (!MayReplace(state))
            std::printf("%s: nothing saved\n", PlainFileRefusal(state, o.file, Speech::English).c_str());
        else
            std::printf("cannot write %s: nothing saved\n", o.file.c_str());
        return kFailed;
    }
    const auto missing = KeysWithoutValue(set);
    std::printf("saved %zu of %zu parameters to %s", parameters.size() - missing.size(), parameters.size(),
                o.file.c_str());
    if (!missing.empty()) std::printf(" (not read: %s)", Join(missing).c_str());
    if (!set.typeCode) std::printf(" (type not read)");
    std::printf("\n");
    return missing.empty() && set.typeCode ? kOk : kFailed;
}

int Compare(const Options& o) {
    const auto file = Load(o.file);
    if (!file) return kFailed;
    const Comparison c = CompareParameterSet(static_cast<std::uint8_t>(o.address), *file);
    std::vector<std::string> different;
    for (const ComparedParameter& row : c.rows) {
        std::printf("%-10s file %-16s station %-16s %s\n", row.key.c_str(), Shown(row.file).c_str(),
                    row.station ? ("\"" + *row.station + "\"").c_str() : "not read",
                    row.equal ? "equal" : "DIFFERS");
        if (!row.equal) different.push_back(row.key);
    }
    if (file->typeCode != c.stationType)
        std::printf("type: file %s, station %s\n", TypeShown(file->typeCode).c_str(),
                    TypeShown(c.stationType).c_str());
    if (different.empty())
        std::printf("all %zu parameters equal\n", c.rows.size());
    else
        std::printf("%zu of %zu parameters differ: %s\n", different.size(), c.rows.size(),
                    Join(different).c_str());
    return different.empty() ? kOk : kFailed;
}

const char* OutcomeShown(RestoreOutcome outcome) {
    switch (outcome) {
    case RestoreOutcome::Verified:
        return "written, verified";
    case RestoreOutcome::NotVerified:
        return "written, not read back";
    case RestoreOutcome::ReadBackDiffers:
        return "written, read back as";
    case RestoreOutcome::WriteFailed:
        return "write failed";
    case RestoreOutcome::NotInFile:
        return "not written: no value in the file";
    }
    return "";
}

int Restore(const Options& o) {
    const auto file = Load(o.file);
    if (!file) return kFailed;
    if (const auto bad = BadEntries(*file); !bad.empty()) {
        std::printf("nothing written: invalid entries in %s: %s\n", o.file.c_str(), Join(bad).c_str());
        return kFailed;
    }
    const auto address = static_cast<std::uint8_t>(o.address);
    const auto stationType = ReadStationType(address);
    if (!stationType || file->typeCode != stationType) {
        std::printf("type: file %s, station %s\n", TypeShown(file->typeCode).c_str(),
                    TypeShown(stationType).c_str());
        if (!o.force) {
            std::printf("nothing written: the types differ (--force writes all the same)\n");
            return kFailed;
        }
    }
    const auto rows = RestoreParameterSet(address, *file);
    std::vector<std::string> failed;
    for (const RestoredParameter& row : rows) {
        std::printf("%-10s %-16s %s", row.key.c_str(), Shown(row.file).c_str(), OutcomeShown(row.outcome));
        if (row.outcome == RestoreOutcome::ReadBackDiffers) std::printf(" \"%s\"", row.readBack->c_str());
        std::printf("\n");
        if (row.outcome != RestoreOutcome::Verified) failed.push_back(row.key);
    }
    if (failed.empty())
        std::printf("all %zu parameters written and verified\n", rows.size());
    else
        std::printf("%zu of %zu parameters not verified: %s\n", failed.size(), rows.size(),
                    Join(failed).c_str());
    return AllVerified(rows) ? kOk : kFailed;
}

std::string Seconds(const std::optional<std::int64_t>& s) {
    if (!s) return "unknown";
    std::string text = *s > 0 ? "+" : "";
    text += std::to_string(*s);
    return text + " s";
}

const char* ClockShown(ClockOutcome outcome) {
    switch (outcome) {
    case ClockOutcome::Set:
        return "set";
    case ClockOutcome::NoAnswer:
        return "no answer, not set";
    case ClockOutcome::WriteFailed:
        return "write failed";
    case ClockOutcome::ReadBackFailed:
        return "written, not read back";
    case ClockOutcome::StillOff:
        return "still off";
    }
    return "";
}

void PrintClock(const ClockResult& r) {
    std::printf("station %2u: ", static_cast<unsigned>(r.address));
    if (!r.before.empty())
        std::printf("clock %s, deviation %s; ", r.before.c_str(), Seconds(r.deviationBefore).c_str());
    std::printf("%s", ClockShown(r.outcome));
    if (r.deviationAfter) std::printf(" (deviation after %s)", Seconds(r.deviationAfter).c_str());
    std::printf("\n");
}

int SetClock(const Options& o) {
    if (!o.all) {
        const ClockResult r = SetStationClock(static_cast<std::uint8_t>(o.address));
        PrintClock(r);
        return r.outcome == ClockOutcome::Set ? kOk : kFailed;
    }
    int answered = 0, failed = 0;
    for (unsigned a = 1; a <= kLastStation; ++a) {
        const ClockResult r = SetStationClock(static_cast<std::uint8_t>(a));
        if (r.outcome == ClockOutcome::NoAnswer) continue;  // no station there
        ++answered;
        if (r.outcome != ClockOutcome::Set) ++failed;
        PrintClock(r);
    }
    std::printf("%d station(s) answered, %d set, %d failed\n", answered, answered - failed, failed);
    return answered > 0 && failed == 0 ? kOk : kFailed;
}

}  // namespace

int RunServiceAction(const Options& o) {
    switch (o.action) {
    case ServiceAction::Backup:
        return Backup(o);
    case ServiceAction::Compare:
        return Compare(o);
    case ServiceAction::Restore:
        return Restore(o);
    case ServiceAction::SetClock:
        return SetClock(o);
    case ServiceAction::None:
        break;
    }
    return kFailed;
}
