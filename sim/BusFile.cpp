#include "sim/BusFile.h"

#include <algorithm>
#include <charconv>
#include <cctype>

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool ParseLong(std::string_view text, long& v) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && p == text.data() + text.size() && !text.empty();
}

bool ParseDouble(std::string_view text, double& v) {
    text = Trim(text);
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && p == text.data() + text.size() && !text.empty();
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string ApplyFaults(Station& s, std::string_view list) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        std::string_view item = Trim(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        if (item.empty() || item == "none") continue;
        const std::size_t blank = item.find(' ');
        std::optional<long> argument;
        if (blank != std::string_view::npos) {
            long v = 0;
            if (!ParseLong(item.substr(blank + 1), v)) return "fault argument is no number: " + std::string(item);
            argument = v;
        }
        const std::string error = SetFault(s.faults(), Trim(item.substr(0, blank)), argument);
        if (!error.empty()) return error;
    }
    return {};
}

std::string ApplyValue(ValueSettings& v, std::string_view text) {
    text = Trim(text);
    if (text == "over") v.outOfRange = OutOfRange::Over;
    else if (text == "under") v.outOfRange = OutOfRange::Under;
    else if (text == "normal") v.outOfRange = OutOfRange::None;
    else {
        long n = 0;
        if (!ParseLong(text, n) || n < -32768 || n > 32767) return "value must be over, under, normal or -32768..32767";
        v = ValueSettings{ValueMode::Constant, static_cast<int>(n), 0, v.periodS, OutOfRange::None};
    }
    return {};
}

Station MakeStation(std::uint8_t address, std::uint16_t type, std::string_view unit, ValueSettings value,
                    std::string_view komma) {
    Station s(address, type, unit);
    s.value() = value;
    s.setParam("Komma", komma);
    return s;
}

}  // namespace

BusConfig DefaultBusConfig() {
    BusConfig c;
    c.stations.push_back(MakeStation(1, 0x3510, "bar", {ValueMode::Sine, 1234, 200, 60.0, OutOfRange::None}, "1"));
    c.stations.push_back(MakeStation(2, 0x3520, "kWh", {ValueMode::Constant, 2500, 0, 60.0, OutOfRange::None}, "1"));
    c.stations.push_back(MakeStation(3, 0x3590, "%rF", {ValueMode::Noise, 455, 15, 60.0, OutOfRange::None}, "1"));
    c.stations.push_back(MakeStation(4, 0x3585, "Stk", {ValueMode::Ramp, 0, 9999, 600.0, OutOfRange::None}, "0"));
    return c;
}

bool ParseTypeCode(std::string_view text, std::uint16_t& type) {
    text = Trim(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    unsigned v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
    if (ec != std::errc() || p != text.data() + text.size() || text.empty() || v > 0xFFFF) return false;
    type = static_cast<std::uint16_t>(v);
    return Station::TypeReportable(type);
}

std::string ApplyStationKey(Station& s, std::string_view key, std::string_view value) {
    ValueSettings& v = s.value();
    if (SameText(key, "Unit")) return s.setParam("DTxt", value);
    if (SameText(key, "Fault")) return ApplyFaults(s, value);
    if (SameText(key, "Value")) return ApplyValue(v, value);
    if (SameText(key, "Mode")) {
        const auto mode = ParseValueMode(Trim(value));
        if (!mode) return "mode must be constant, ramp, sine or noise";
        v.mode = *mode;
        return {};
    }
    long n = 0;
    if (SameText(key, "Level") || SameText(key, "Amplitude")) {
        if (!ParseLong(value, n) || n < -65535 || n > 65535) return std::string(key) + " must be a number";
        (SameText(key, "Level") ? v.level : v.amplitude) = static_cast<int>(n);
        return {};
    }
    if (SameText(key, "Period")) {
        double p = 0;
        if (!ParseDouble(value, p) || p <= 0) return "Period must be a positive number of seconds";
        v.periodS = p;
        return {};
    }
    return s.setParam(key, Trim(value));
}

namespace {

struct FileState {
    BusConfig& config;
    Station* station = nullptr;
    bool inBus = false;
    long address = 0;  // of the open station section, 0 outside one
};

std::string OpenSection(FileState& st, std::string_view name) {
    if (st.address && !st.station) return "station " + std::to_string(st.address) + " has no Type";
    st.station = nullptr;
    st.inBus = SameText(name, "Bus");
    st.address = 0;
    if (st.inBus) return {};
    long address = 0;
    if (name.size() < 8 || !SameText(name.substr(0, 8), "Station ") || !ParseLong(name.substr(8), address) ||
        address < 1 || address > 31) {
        return "section must be [Bus] or [Station N] with N from 1 to 31";
    }
    for (const auto& s : st.config.stations) {
        if (s.address() == address) return "station " + std::to_string(address) + " appears twice";
    }
    st.address = address;
    return {};
}

std::string BusKey(BusSettings& settings, std::string_view key, std::string_view value) {
    double d = 0;
    if (SameText(key, "ReplyDelay")) {
        if (!ParseDouble(value, d) || d < 0 || d > 10000) return "ReplyDelay must be 0 to 10000 ms";
        settings.replyDelayMs = d;
    } else if (SameText(key, "Pacing")) {
        const auto v = Trim(value);
        if (v != "0" && v != "1") return "Pacing must be 0 or 1";
        settings.pacing = v == "1";
    } else {
        return "unknown key '" + std::string(key) + "' in [Bus]";
    }
    return {};
}

std::string StationKey(FileState& st, std::string_view key, std::string_view value) {
    if (!st.address) return "key outside a section";
    if (SameText(key, "Type")) {
        if (st.station) return "Type given twice";
        std::uint16_t type = 0;
        if (!ParseTypeCode(value, type)) return "Type must be hexadecimal digits 0 to 9 (a station reports it in decimal)";
        st.config.stations.emplace_back(static_cast<std::uint8_t>(st.address), type, "   ");
        st.station = &st.config.stations.back();
        return {};
    }
    if (!st.station) return "Type must come first in a station section";
    return ApplyStationKey(*st.station, key, value);
}

std::string ParseLine(FileState& st, std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') return {};
    if (line.front() == '[') {
        if (line.back() != ']') return "section name without ']'";
        return OpenSection(st, Trim(line.substr(1, line.size() - 2)));
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return "expected Key=value";
    const std::string_view key = Trim(line.substr(0, eq));
    std::string_view value = line.substr(eq + 1);
    // A unit text may begin with blanks (" mV"); other values are trimmed where they are read.
    if (!SameText(key, "Unit")) value = Trim(value);
    if (st.inBus) return BusKey(st.config.settings, key, value);
    return StationKey(st, key, value);
}

}  // namespace

std::string ParseBusFile(std::string_view text, BusConfig& config) {
    FileState st{config, nullptr, false, 0};
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string error = ParseLine(st, line);
        if (!error.empty()) return "line " + std::to_string(number) + ": " + error;
        if (st.address && !st.station && text.empty()) return "station " + std::to_string(st.address) + " has no Type";
    }
    return {};
}

std::string AddStationArgument(std::string_view stationText, BusConfig& config) {
    const std::size_t c1 = stationText.find(':');
    if (c1 == std::string_view::npos) return "a station is ADDR:TYPE[:UNIT]";
    const std::size_t c2 = stationText.find(':', c1 + 1);
    long address = 0;
    std::uint16_t type = 0;
    if (!ParseLong(stationText.substr(0, c1), address) || address < 1 || address > 31) return "station address must be 1 to 31";
    const std::string_view typeText = stationText.substr(c1 + 1, c2 == std::string_view::npos ? std::string_view::npos : c2 - c1 - 1);
    if (!ParseTypeCode(typeText, type)) return "type must be hexadecimal digits 0 to 9";
    const std::string_view unit = c2 == std::string_view::npos ? std::string_view{"   "} : stationText.substr(c2 + 1);
    if (unit.size() > 3) return "a unit text has at most three characters";
    for (const auto& s : config.stations) {
        if (s.address() == address) return "station " + std::to_string(address) + " given twice";
    }
    config.stations.emplace_back(static_cast<std::uint8_t>(address), type, unit);
    return {};
}

std::string Populate(Bus& bus, const BusConfig& config) {
    bus.settings() = config.settings;
    for (const auto& s : config.stations) {
        if (!bus.add(s)) return "station " + std::to_string(s.address()) + " cannot be added";
    }
    return {};
}
