#pragma once
// qtvctl's command line: checked completely before the bus is touched.

#include <optional>
#include <string>
#include <vector>

#include "tools/qtvctl/CommandTable.h"

// The actions over many commands (service/): a station's parameter set and its clock.
enum class ServiceAction { None, Backup, Compare, Restore, SetClock };

struct Options {
    bool help = false;
    unsigned port = 1;           // COMn, when no device path is given
    std::string portsFolder = "./ports";
    std::string device;          // a device path opened directly, instead of COMn
    bool net = false;
    bool broadcast = false;
    bool trace = false;
    unsigned address = 0;
    const CommandRow* command = nullptr;
    CommandValue value;
    ServiceAction action = ServiceAction::None;
    std::string file;   // the parameter set's file
    bool all = false;   // setclock: every address 1..31 that answers
    bool force = false; // restore: also onto a station of another device type
};

// The options, or nullopt with a one-line reason in `error`.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// Parses a whole decimal number, or a hexadecimal one after 0x, with an optional minus sign.
std::optional<long> ParseNumber(const std::string& text);
