#pragma once
// One station addressed for a whole job: BusAdresse points at it and broadcast mode is off, so
// that every request reaches that station alone and every answer is checked; afterwards both
// are as they were (the polling cycle and the dialogs expect BusAdresse on the active station).

#include <cstdint>

#include "link/Sio.h"

class BusSession {
public:
    BusSession() : address_(BusAdresse), broadcast_(Broadcast) { Broadcast = false; }
    explicit BusSession(std::uint8_t station) : BusSession() { Address(station); }
    ~BusSession() {
        BusAdresse = address_;
        Broadcast = broadcast_;
    }
    BusSession(const BusSession&) = delete;
    BusSession& operator=(const BusSession&) = delete;

    void Address(std::uint8_t station) { BusAdresse = station; }

private:
    std::uint8_t address_;
    bool broadcast_;
};
