#pragma once
// Stations answering on a fake line: every request frame the link writes is answered at once by
// the station of its address, as a station on the bus would. The test sets each station's value,
// type report and silence, and reads back which addresses were asked in which order.
// Installs its fake-line factory for its lifetime.

#include <cstdint>
#include <map>
#include <vector>

#include "support/FakeLine.h"

struct SimStation {
    std::int16_t value = 0;        // what a value request (0x31, 0x61) reports
    std::uint16_t idReport = 0;    // what a type request (0x30) reports
    bool silent = false;
};

struct SeenRequest {
    int address;
    int code;
};

class StationBus {
public:
    StationBus();
    std::map<int, SimStation> stations;
    bool portHeld = false;  // another program holds the port: lines made meanwhile do not open
    std::vector<SeenRequest> requests;
    // The addresses of the value requests (0x31), in order.
    std::vector<int> valueRequests() const;
    void clear() { requests.clear(); }

private:
    void onWrite(FakeLine& line, const Bytes& bytes);
    FakeLineFactory lines_;
    Bytes pending_;
};
