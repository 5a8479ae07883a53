#include "sim/Station.h"

#include <charconv>
#include <cstdio>

#include "link/Telegram.h"

namespace {

struct StartValue {
    std::string_view param;
    long value;
};

// Plausible settings of a station fresh from the works.
constexpr StartValue kStartValues[] = {
    {"SP1Aktiv", 1}, {"SP1Wert", 800}, {"SP2Wert", 200}, {"SP1Hyst", 10}, {"SP2Hyst", 10},
    {"SP1Verz", 5},  {"SP2Verz", 5},   {"Komma", 1},     {"MBEnd", 1000}, {"ABEnd", 1000},
    {"MaxWert", 9999}, {"MinWert", -999}, {"Mittel", 4}, {"EVar", 1},
};

std::optional<long> ParseNumber(std::string_view text) {
    long v = 0;
    const char* end = text.data() + text.size();
    const char* begin = text.data();
    if (begin != end && *begin == '+') ++begin;
    auto [p, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || p != end || begin == end) return std::nullopt;
    return v;
}

// Parameters kept as counts rather than signed values.
bool UnsignedWord(std::string_view param) { return param == "Mittel" || param == "EVar"; }

}  // namespace

std::string PcAckName(PcAck ack) {
    switch (ack) {
    case PcAck::Waiting: return "waiting";
    case PcAck::Ack: return "ACK";
    case PcAck::Nak: return "NAK";
    case PcAck::None: break;
    }
    return "none";
}

Station::Station(std::uint8_t address, std::uint16_t type, std::string_view unit)
    : address_(address), type_(type) {
    for (const auto& s : kStartValues) setParam(s.param, std::to_string(s.value));
    setParam("DTxt", unit);
}

bool Station::TypeReportable(std::uint16_t type) {
    for (int shift = 0; shift < 16; shift += 4) {
        if (((type >> shift) & 0x0F) > 9) return false;
    }
    return true;
}

std::uint16_t Station::reportedId() const {
    unsigned n = 0;
    for (int shift = 12; shift >= 0; shift -= 4) n = n * 10 + ((type_ >> shift) & 0x0F);
    return static_cast<std::uint16_t>(n);
}

std::uint16_t Station::word(std::uint8_t readCode) const {
    return static_cast<std::uint16_t>(store_[readCode][0] << 8 | store_[readCode][1]);
}

void Station::setWord(std::uint8_t readCode, std::uint16_t v) {
    store_[readCode][0] = static_cast<std::uint8_t>(v >> 8);
    store_[readCode][1] = static_cast<std::uint8_t>(v);
}

Reply Station::handle(const Request& r, const Moment& now) {
    const CommandInfo* c = FindCommand(r.code);
    if (!c) return {Reply::Kind::Nak, {}, "unknown command"};
    const bool isWrite = (r.code & kWriteBit) != 0;
    if (r.dataCount != (isWrite ? WriteDataBytes(c->kind) : 0u)) {
        return {Reply::Kind::None, {}, "wrong length for " + CommandName(r.code)};
    }
    if (!isWrite) return read(*c, now);
    if (write(*c, r, now)) return {Reply::Kind::Ack, {}, {}};
    return {Reply::Kind::Nak, {}, "value refused"};
}

void Station::handleBroadcast(const Request& r, const Moment& now) {
    const CommandInfo* c = FindCommand(r.code);
    if (!c) return;
    const bool isWrite = (r.code & kWriteBit) != 0;
    if (isWrite && r.dataCount == WriteDataBytes(c->kind)) write(*c, r, now);
    if (!isWrite && c->kind == ParamKind::Value && r.dataCount == 0) latched_ = ValueAt(value_, now.ms);
}

Reply Station::read(const CommandInfo& c, const Moment& now) {
    const auto& s = store_[c.readCode];
    auto word = [](std::uint16_t w) {
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w)};
    };
    Reply reply{Reply::Kind::Telegram, {}, {}};
    switch (c.kind) {
    case ParamKind::Flag:
    case ParamKind::Byte: reply.data = {s[0]}; break;
    case ParamKind::Twelve: reply.data = word(this->word(c.readCode) & 0x0FFF); break;
    case ParamKind::Word: reply.data = word(this->word(c.readCode)); break;
    case ParamKind::Text: reply.data = {s[0], s[1], s[2]}; break;
    case ParamKind::Id: reply.data = word(reportedId()); break;
    case ParamKind::Value: reply.data = word(static_cast<std::uint16_t>(ValueAt(value_, now.ms))); break;
    case ParamKind::Clock: {
        const auto bytes = clock_.read(c.readCode, now.localSeconds);
        reply.data = {bytes[0], bytes[1]};
        break;
    }
    case ParamKind::Latched:
        // Without a broadcast ReadMWert before, there is no value to give: the first byte says so.
        reply.data = latched_ ? std::vector<std::uint8_t>{ACK, static_cast<std::uint8_t>(*latched_ >> 8),
                                                          static_cast<std::uint8_t>(*latched_)}
                              : std::vector<std::uint8_t>{NAK, 0x7F, 0xFF};
        break;
    default: return {Reply::Kind::Nak, {}, "not readable"};
    }
    return reply;
}

bool Station::write(const CommandInfo& c, const Request& r, const Moment& now) {
    auto& s = store_[c.readCode];
    switch (c.kind) {
    case ParamKind::Flag:
    case ParamKind::Byte: s[0] = r.data[0]; return true;
    case ParamKind::Twelve:
    case ParamKind::Word: s[0] = r.data[0]; s[1] = r.data[1]; return true;
    case ParamKind::Text: s = r.data; return true;
    case ParamKind::Clock: return clock_.write(c.readCode, r.data[0], r.data[1], now.localSeconds);
    case ParamKind::Reset:
    case ParamKind::ClearFlag: latched_.reset(); return true;
    default: return false;
    }
}

std::string Station::setParam(std::string_view name, std::string_view value) {
    const CommandInfo* c = FindParam(name);
    if (!c) return "unknown parameter '" + std::string(name) + "'";
    auto& s = store_[c->readCode];
    if (c->kind == ParamKind::Text) {
        if (value.size() > 3) return "a unit text has at most three characters";
        s = {' ', ' ', ' '};
        for (std::size_t i = 0; i < value.size(); ++i) s[i] = static_cast<std::uint8_t>(value[i]);
        return {};
    }
    const auto n = ParseNumber(value);
    const bool oneByte = c->kind == ParamKind::Flag || c->kind == ParamKind::Byte;
    const bool twoBytes = c->kind == ParamKind::Twelve || c->kind == ParamKind::Word;
    if (!oneByte && !twoBytes) return std::string(c->param) + " is not a stored parameter";
    if (!n || *n < (oneByte ? 0 : -32768) || *n > (oneByte ? 255 : 65535)) {
        return std::string("'").append(value).append("' is no value for ").append(c->param);
    }
    if (oneByte) s[0] = static_cast<std::uint8_t>(*n);
    else setWord(c->readCode, static_cast<std::uint16_t>(*n));
    return {};
}

std::string Station::paramText(std::string_view name, const Moment& now) const {
    const CommandInfo* c = FindParam(name);
    if (!c) return {};
    const auto& s = store_[c->readCode];
    switch (c->kind) {
    case ParamKind::Flag:
    case ParamKind::Byte: return std::to_string(s[0]);
    case ParamKind::Twelve: return std::to_string(word(c->readCode) & 0x0FFF);
    case ParamKind::Word:
        return UnsignedWord(c->param) ? std::to_string(word(c->readCode))
                                      : std::to_string(static_cast<std::int16_t>(word(c->readCode)));
    case ParamKind::Text: return std::string(s.begin(), s.end());
    case ParamKind::Id: return std::to_string(reportedId());
    case ParamKind::Value: return std::to_string(ValueAt(value_, now.ms));
    case ParamKind::Clock: {
        const auto b = clock_.read(c->readCode, now.localSeconds);
        char text[16];
        std::snprintf(text, sizeof text, "%02X %02X", b[0], b[1]);
        return text;
    }
    case ParamKind::Latched: return latched_ ? std::to_string(*latched_) : "none";
    default: return {};
    }
}
