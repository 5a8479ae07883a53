#pragma once
// The description of a simulated bus: a small INI text, stations from the command line, and
// the default bus of four stations of different kinds.
//
//   [Bus]
//   ReplyDelay=2          ms from the end of a request to the reply
//   Pacing=1              reply bytes at 4800 baud
//   [Station 1]           address 1..31
//   Type=3510             type code, hexadecimal digits 0-9 only ("0x3510" too)
//   Unit=bar              three-character unit text
//   Mode=sine             constant, ramp, sine or noise
//   Level=1234            Amplitude=200   Period=60 (seconds)
//   Value=over            over, under, or a number (a constant value)
//   Fault=drop 3, q3f     faults, as the control channel names them
//   SP1Wert=800           any stored parameter by its name

#include <string>
#include <string_view>
#include <vector>

#include "sim/Bus.h"
#include "sim/Station.h"

struct BusConfig {
    BusSettings settings;
    std::vector<Station> stations;
};

BusConfig DefaultBusConfig();
// Fills config from the text of a bus file; returns an error text naming the line, empty on success.
std::string ParseBusFile(std::string_view text, BusConfig& config);
// Adds a station given as "ADDR:TYPE[:UNIT]"; returns an error text, empty on success.
std::string AddStationArgument(std::string_view stationText, BusConfig& config);
// Parses a type code given in hexadecimal ("3510" or "0x3510"); false for codes no station can
// report (digits A to F) or out of range.
bool ParseTypeCode(std::string_view text, std::uint16_t& type);
// Applies one "Key=value" of a station section (also used by the control channel's "set").
std::string ApplyStationKey(Station& station, std::string_view key, std::string_view value);

// Puts the stations into the bus (replacing none); returns an error text, empty on success.
std::string Populate(Bus& bus, const BusConfig& config);
