#pragma once
// One station addressed for a whole job: BusAdresse points at it and broadcast mode is off, so
// that every request reaches that station alone and every answer is checked; afterwards both
// are as they were (the polling cycle and the dialogs expect BusAdresse on the active station).

#include <cstdint>

#include "link/Sio.h"

// BusAdresse as it is now, put back however the job ends; in between the job addresses whom it
// likes (the polling cycle: each due station in turn, broadcast mode as the operator set it).
class KeptBusAddress {
public:
    KeptBusAddress() : address_(BusAdresse) {}
    ~KeptBusAddress() { BusAdresse = address_; }
    KeptBusAddress(const KeptBusAddress&) = delete;
    KeptBusAddress& operator=(const KeptBusAddress&) = delete;

private:
    std::uint8_t address_;
};

class BusSession {
public:
    BusSession() : broadcast_(Broadcast) { Broadcast = false; }
    explicit BusSession(std::uint8_t station) : BusSession() { Address(station); }
    ~BusSession() { Broadcast = broadcast_; }
    BusSession(const BusSession&) = delete;
    BusSession& operator=(const BusSession&) = delete;

    void Address(std::uint8_t station) { BusAdresse = station; }

private:
    KeptBusAddress address_;
    bool broadcast_;
};
