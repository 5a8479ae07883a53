#include "sim/Faults.h"

namespace {

std::string ByteArgument(std::optional<long> argument, long low, long fallback, std::optional<std::uint8_t>& target) {
    const long v = argument.value_or(fallback);
    if (v < low || v > 255) return "argument must be " + std::to_string(low) + " to 255";
    target = static_cast<std::uint8_t>(v);
    return {};
}

}  // namespace

bool Faults::any() const {
    return silent || nak || badChecksum || foreignAddress || stxThenSilence || longLength || garbageFirst ||
           questionMark || dropEvery != 0 || trickleMs;
}

std::string SetFault(Faults& f, std::string_view name, std::optional<long> argument) {
    if (name == "silent") f.silent = true;
    else if (name == "nak") f.nak = true;
    else if (name == "badsum") f.badChecksum = true;
    else if (name == "stxsilence") f.stxThenSilence = true;
    else if (name == "q3f") f.questionMark = true;
    else if (name == "foreign") {
        if (!argument) return "foreign needs the address to answer with";
        return ByteArgument(argument, 0, 0, f.foreignAddress);
    } else if (name == "longlen") return ByteArgument(argument, 15, kLongLength, f.longLength);
    else if (name == "garbage") return ByteArgument(argument, 0, kGarbageByte, f.garbageFirst);
    else if (name == "drop") {
        if (!argument || *argument < 1 || *argument > 1000000) return "drop needs k, 1 or more";
        f.dropEvery = static_cast<unsigned>(*argument);
    } else if (name == "trickle") {
        const long ms = argument.value_or(kTrickleMs);
        if (ms < 0 || ms > 10000) return "trickle takes 0 to 10000 ms";
        f.trickleMs = static_cast<unsigned>(ms);
    } else return "unknown fault '" + std::string(name) + "'";
    return {};
}

std::string ClearFault(Faults& f, std::string_view name) {
    if (name == "all") f = Faults{};
    else if (name == "silent") f.silent = false;
    else if (name == "nak") f.nak = false;
    else if (name == "badsum") f.badChecksum = false;
    else if (name == "stxsilence") f.stxThenSilence = false;
    else if (name == "q3f") f.questionMark = false;
    else if (name == "foreign") f.foreignAddress.reset();
    else if (name == "longlen") f.longLength.reset();
    else if (name == "garbage") f.garbageFirst.reset();
    else if (name == "drop") f.dropEvery = 0;
    else if (name == "trickle") f.trickleMs.reset();
    else return "unknown fault '" + std::string(name) + "'";
    return {};
}

std::string DescribeFaults(const Faults& f) {
    std::string s;
    auto add = [&s](const std::string& part) { s += (s.empty() ? "" : " ") + part; };
    if (f.silent) add("silent");
    if (f.nak) add("nak");
    if (f.badChecksum) add("badsum");
    if (f.foreignAddress) add("foreign " + std::to_string(*f.foreignAddress));
    if (f.stxThenSilence) add("stxsilence");
    if (f.longLength) add("longlen " + std::to_string(*f.longLength));
    if (f.garbageFirst) add("garbage " + std::to_string(*f.garbageFirst));
    if (f.questionMark) add("q3f");
    if (f.dropEvery) add("drop " + std::to_string(f.dropEvery));
    if (f.trickleMs) add("trickle " + std::to_string(*f.trickleMs));
    return s.empty() ? "none" : s;
}
