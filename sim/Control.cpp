#include "sim/Control.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include "sim/BusFile.h"

namespace {

struct Args {
    std::vector<std::string_view> words;
    std::string_view line;
    // The text after the first n words, with the one blank that separates it.
    std::string_view restAfter(std::size_t n) const {
        if (words.size() <= n) return {};
        const std::string_view& w = words[n - 1];
        const std::size_t start = static_cast<std::size_t>(w.data() + w.size() - line.data());
        return start < line.size() ? line.substr(start + 1) : std::string_view{};
    }
};

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        std::size_t j = i;
        while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
        if (j > i) words.push_back(line.substr(i, j - i));
        i = j;
    }
    return words;
}

std::optional<long> Number(std::string_view text) {
    long v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size() || text.empty()) return std::nullopt;
    return v;
}

std::string Error(const std::string& text) { return "error " + text; }
std::string Ok(const std::string& text = {}) { return text.empty() ? "ok" : "ok " + text; }

std::string TwoDigits(std::uint8_t address) {
    char t[8];
    std::snprintf(t, sizeof t, "%02u", address);
    return t;
}

std::string TypeText(std::uint16_t type) {
    char t[8];
    std::snprintf(t, sizeof t, "%04X", type);
    return t;
}

std::string RequestText(const Station::Record& r) {
    if (!r.lastRequest) return "request=none";
    const Request& q = *r.lastRequest;
    std::string text = "request=" + CommandName(q.code) + " to=" + TwoDigits(q.address) + " data=";
    for (std::uint8_t i = 0; i < q.dataCount; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", q.data[i]);
        text += pair;
    }
    return q.dataCount == 0 ? text + "-" : text;
}

std::string QueryText(const Station& s, const Moment& now) {
    const auto& r = s.record();
    std::string reply;
    for (std::uint8_t b : r.lastReply) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", b);
        reply += pair;
    }
    return "address=" + TwoDigits(s.address()) + " type=" + TypeText(s.type()) + " " + RequestText(r) +
           " reply=" + (reply.empty() ? "-" : reply) + " pc=" + PcAckName(r.pcAck) +
           " requests=" + std::to_string(r.requests) + " acks=" + std::to_string(r.acks) +
           " naks=" + std::to_string(r.naks) + " value=" + s.paramText("MWert", now) +
           " latched=" + s.paramText("Broadcast", now) + " faults=" + DescribeFaults(s.faults());
}

class Interpreter {
public:
    Interpreter(Bus& bus, const Moment& now, Args args) : bus_(bus), now_(now), a_(std::move(args)) {}

    std::string run() {
        static const std::map<std::string_view, std::string (Interpreter::*)()> kCommands = {
            {"help", &Interpreter::help},   {"list", &Interpreter::list},   {"query", &Interpreter::query},
            {"fault", &Interpreter::fault}, {"clear", &Interpreter::clear}, {"value", &Interpreter::value},
            {"mode", &Interpreter::mode},   {"param", &Interpreter::param}, {"add", &Interpreter::add},
            {"remove", &Interpreter::remove}, {"delay", &Interpreter::delay}, {"pacing", &Interpreter::pacing},
        };
        if (a_.words.empty()) return Error("empty command");
        const auto it = kCommands.find(a_.words[0]);
        if (it == kCommands.end()) return Error("unknown command '" + std::string(a_.words[0]) + "' (try help)");
        return (this->*it->second)();
    }

private:
    // The station named by word 1, or an error in `error`.
    Station* target(std::string& error, std::size_t minWords) {
        if (a_.words.size() < minWords) {
            error = Error("too few arguments for " + std::string(a_.words[0]) + " (try help)");
            return nullptr;
        }
        const auto address = Number(a_.words[1]);
        Station* s = address && *address >= 0 && *address <= 255 ? bus_.station(static_cast<std::uint8_t>(*address)) : nullptr;
        if (!s) error = Error("no station " + std::string(a_.words[1]));
        return s;
    }

    std::string help() { return Ok(Control::HelpText()); }

    std::string list() {
        std::string text;
        for (const auto& [address, s] : bus_.stations()) {
            text += (text.empty() ? "" : "; ") + TwoDigits(address) + " " + TypeText(s.type()) + " " +
                    s.paramText("DTxt", now_);
        }
        return Ok(text.empty() ? "no stations" : text);
    }

    std::string query() {
        std::string error;
        Station* s = target(error, 2);
        return s ? Ok(QueryText(*s, now_)) : error;
    }

    std::string fault() {
        std::string error;
        Station* s = target(error, 3);
        if (!s) return error;
        std::optional<long> argument;
        if (a_.words.size() > 3) {
            argument = Number(a_.words[3]);
            if (!argument) return Error("fault argument is no number");
        }
        error = SetFault(s->faults(), a_.words[2], argument);
        return error.empty() ? Ok(DescribeFaults(s->faults())) : Error(error);
    }

    std::string clear() {
        std::string error;
        Station* s = target(error, 2);
        if (!s) return error;
        error = ClearFault(s->faults(), a_.words.size() > 2 ? a_.words[2] : "all");
        return error.empty() ? Ok(DescribeFaults(s->faults())) : Error(error);
    }

    std::string value() {
        std::string error;
        Station* s = target(error, 3);
        if (!s) return error;
        error = ApplyStationKey(*s, "Value", a_.words[2]);
        return error.empty() ? Ok(s->paramText("MWert", now_)) : Error(error);
    }

    std::string mode() {
        std::string error;
        Station* s = target(error, 3);
        if (!s) return error;
        static const char* const kKeys[] = {"Mode", "Level", "Amplitude", "Period"};
        ValueSettings saved = s->value();
        s->value().outOfRange = OutOfRange::None;
        for (std::size_t i = 2; i < a_.words.size() && i < 6; ++i) {
            error = ApplyStationKey(*s, kKeys[i - 2], a_.words[i]);
            if (!error.empty()) {
                s->value() = saved;
                return Error(error);
            }
        }
        return Ok(s->paramText("MWert", now_));
    }

    std::string param() {
        std::string error;
        Station* s = target(error, 3);
        if (!s) return error;
        if (!FindParam(a_.words[2])) return Error("unknown parameter '" + std::string(a_.words[2]) + "'");
        if (a_.words.size() > 3) {
            error = s->setParam(a_.words[2], a_.restAfter(3));
            if (!error.empty()) return Error(error);
        }
        return Ok(s->paramText(a_.words[2], now_));
    }

    std::string add() {
        if (a_.words.size() < 3) return Error("add ADDR TYPE [UNIT]");
        BusConfig config;
        std::string stationText = std::string(a_.words[1]) + ":" + std::string(a_.words[2]);
        if (a_.words.size() > 3) stationText.append(":").append(a_.restAfter(3));
        std::string error = AddStationArgument(stationText, config);
        if (error.empty() && !bus_.add(config.stations.front())) error = std::string("station ").append(a_.words[1]).append(" exists");
        return error.empty() ? Ok() : Error(error);
    }

    std::string remove() {
        std::string error;
        Station* s = target(error, 2);
        if (!s) return error;
        bus_.remove(s->address());
        return Ok();
    }

    std::string delay() {
        const auto ms = a_.words.size() > 1 ? Number(a_.words[1]) : std::nullopt;
        if (!ms || *ms < 0 || *ms > 10000) return Error("delay takes 0 to 10000 ms");
        bus_.settings().replyDelayMs = static_cast<double>(*ms);
        return Ok();
    }

    std::string pacing() {
        if (a_.words.size() < 2 || (a_.words[1] != "on" && a_.words[1] != "off")) return Error("pacing on|off");
        bus_.settings().pacing = a_.words[1] == "on";
        return Ok();
    }

    Bus& bus_;
    const Moment& now_;
    Args a_;
};

}  // namespace

std::string Control::execute(std::string_view line, const Moment& now) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    Args args{SplitWords(line), line};
    return Interpreter(bus_, now, std::move(args)).run();
}

std::string Control::HelpText() {
    return "commands: list | query ADDR | fault ADDR NAME [ARG] | clear ADDR [NAME|all] | "
           "value ADDR N|over|under|normal | mode ADDR constant|ramp|sine|noise [LEVEL [AMPLITUDE [PERIOD_S]]] | "
           "param ADDR NAME [VALUE] | add ADDR TYPE [UNIT] | remove ADDR | delay MS | pacing on|off; "
           "faults: silent nak badsum foreign ADDR stxsilence longlen [L] garbage [BYTE] q3f drop K trickle [MS]";
}
