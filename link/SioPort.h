#pragma once
// The port object: a second port with its own buffer, time-outs (40/1/80, 1/40) and exchange.
// Only the humidity and temperature dialog uses it; there is at most one.
//
// On the number the command-set port holds, the port object opens nothing of its own (the port
// is exclusive, and the command-set port carries the live display): it runs its exchanges on the
// command-set port's line, lent for each exchange, with its own rules (25 reads, its own time-outs
// while it is lent, no pause before the rest of an answer, Negativ left alone, its own buffer and
// recovery count). Both run on the bus's thread, one job at a time, so they never overlap.
// Destroying it then leaves the command-set port open and as it is. On any other number it opens
// the port itself. The main window's port object belongs to the bus's side (link/BusSide).

#include <cstdint>
#include <memory>

#include "link/TelegramExchange.h"
#include "platform/SerialLine.h"

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
    // Restores the saved settings and closes the port (a port of its own only).
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
    // True while it exchanges on the command-set port's line (see above).
    bool SharesCommandSetPort() const { return sharesCommandSetPort_; }

private:
    bool open(std::uint8_t portNumber);
    void closeOwnLine();
    ExchangeOutcome run();
    void recover();
    std::unique_ptr<SerialLine> line_;  // the port of its own; null while it shares
    bool sharesCommandSetPort_ = false;
};
