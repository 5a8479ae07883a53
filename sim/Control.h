#pragma once
// The control channel's command interpreter: one line in, one line out ("ok ..." or
// "error ..."). It changes a running bus: faults, values, stored parameters, stations, and
// tells what a station last received and whether the PC acknowledged its answer.

#include <string>
#include <string_view>

#include "sim/Bus.h"
#include "sim/Moment.h"

class Control {
public:
    explicit Control(Bus& bus) : bus_(bus) {}
    std::string execute(std::string_view line, const Moment& now);
    static std::string HelpText();

private:
    Bus& bus_;
};
