#pragma once
// One simulated QTV station: its address and type, the store of every parameter of the command
// table, its measured value and clock, its faults, and what it last heard and answered.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/CommandTable.h"
#include "sim/Faults.h"
#include "sim/MeasuredValue.h"
#include "sim/Moment.h"
#include "sim/RequestParser.h"
#include "sim/StationClock.h"

// What the station's own logic answers, before any fault is applied.
struct Reply {
    enum class Kind { None, Ack, Nak, Telegram };
    Kind kind = Kind::None;
    std::vector<std::uint8_t> data;  // data bytes of a telegram
    std::string note;                // why there is no answer, for the trace
};

// What followed the station's last answer telegram.
enum class PcAck { None, Waiting, Ack, Nak };
std::string PcAckName(PcAck ack);

class Station {
public:
    Station(std::uint8_t address, std::uint16_t type, std::string_view unit);

    std::uint8_t address() const { return address_; }
    std::uint16_t type() const { return type_; }
    // A type is reported as the number whose decimal digits are its hexadecimal digits,
    // so only types with the digits 0 to 9 can exist.
    static bool TypeReportable(std::uint16_t type);
    std::uint16_t reportedId() const;

    Reply handle(const Request& request, const Moment& now);
    // A request to every station: writes are executed, ReadMWert latches the value.
    void handleBroadcast(const Request& request, const Moment& now);

    // The store, for bus files and the control channel. Text parameters take and give three
    // characters, the others a number. Both return an error text, empty on success.
    std::string setParam(std::string_view name, std::string_view value);
    std::string paramText(std::string_view name, const Moment& now) const;

    ValueSettings& value() { return value_; }
    const ValueSettings& value() const { return value_; }
    Faults& faults() { return faults_; }
    const Faults& faults() const { return faults_; }
    std::optional<std::int16_t> latched() const { return latched_; }

    // What the station last heard and answered, for tests that assert on it.
    struct Record {
        std::optional<Request> lastRequest;
        std::vector<std::uint8_t> lastReply;  // bytes as sent, faults included
        PcAck pcAck = PcAck::None;
        unsigned requests = 0;
        unsigned replies = 0;                 // replies the station meant to send, for "drop"
        unsigned acks = 0;
        unsigned naks = 0;
    };
    Record& record() { return record_; }
    const Record& record() const { return record_; }

private:
    Reply read(const CommandInfo& c, const Moment& now);
    bool write(const CommandInfo& c, const Request& r, const Moment& now);
    std::uint16_t word(std::uint8_t readCode) const;
    void setWord(std::uint8_t readCode, std::uint16_t v);

    std::uint8_t address_;
    std::uint16_t type_;
    std::array<std::array<std::uint8_t, 3>, 0x80> store_{};
    ValueSettings value_;
    StationClock clock_;
    Faults faults_;
    std::optional<std::int16_t> latched_;
    Record record_;
};
