#pragma once
// The port object: a second port with its own buffer, time-outs (40/1/80, 1/40) and exchange.
// Only the humidity and temperature dialog uses it; the main window keeps at most one.

#include <cstdint>
#include <memory>

#include "link/SerialLine.h"

extern std::uint8_t SioPortNr;    // port number of the most recent port-object open
extern std::int16_t SendeReserve;  // failed sends still tolerated before recovery runs

class SioPort {
public:
    static constexpr int kRequestArea = 70;
    static constexpr int kAnswerArea = 14;
    static constexpr int kAnswer = kRequestArea;
    // Failed sends tolerated before the port is closed and opened again.
    static constexpr std::int16_t kSendReserve = 20;

    // Sets SioPortNr, opens the port (a failed open is not reported), sets SendeReserve to 20.
    explicit SioPort(std::uint8_t portNumber);
    // Restores the saved settings and closes the port.
    ~SioPort();
    SioPort(const SioPort&) = delete;
    SioPort& operator=(const SioPort&) = delete;

    // The open procedure again on SioPortNr, into this object.
    bool Reopen();
    // The caller has written offsets 0..L-1 (STX, address, L, code, data). Returns 1 or 0.
    int Exchange();
    // Writes STX, the address and the code, runs Exchange; true when its result is not 0.
    bool Command(std::uint8_t code, std::uint8_t address);

    std::uint8_t Buffer[kRequestArea + kAnswerArea] = {};
    SerialLine* line() const { return line_.get(); }

private:
    bool open(std::uint8_t portNumber);
    void recover();
    std::unique_ptr<SerialLine> line_;
};
