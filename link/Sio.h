#pragma once
// The command-set port and its telegram exchange, and the state the bus link shares with the
// main window. One thread uses all of this (the user-interface thread); nothing is locked.

#include <cstdint>
#include <functional>

#include "link/SerialLine.h"
#include "link/Telegram.h"

// --- State shared with the main window -------------------------------------------------------
extern std::uint8_t BusAdresse;   // address of every command-set request
extern bool Broadcast;            // every request goes to 0x20, nothing is awaited
extern std::uint8_t Internet;     // 1: the bus is reached through the network link
extern bool Negativ;              // cleared on every answer telegram received
extern std::int32_t SioErgebnis;  // result of the last device command: 0 failed, 1 success

// --- Telegram buffer ---------------------------------------------------------------------------
// A 70-byte request area followed by the answer area; answer byte k lands at kAnswer + k.
inline constexpr int kRequestArea = 70;
inline constexpr int kTeleAnswerArea = 15;
inline constexpr int kAnswer = kRequestArea;
extern std::uint8_t TeleBuffer[kRequestArea + kTeleAnswerArea];

// Answers that came from another address than the one asked, per answering address 0..31.
// A record holds the answer bytes up to the first zero byte, then a zero byte.
inline constexpr int kFremdRecord = 30;
extern std::uint8_t FremdAntworten[32][kFremdRecord];

// --- Command-set port --------------------------------------------------------------------------
// Opens COMn with the command-set time-outs (50/1/100, 1/50). False when n >= 100, when the
// device cannot be opened, or when it refuses the line settings (it then stays open).
bool InitSio(std::uint8_t portNumber);
// Restores the saved settings and closes the command-set port.
void ReSetSio();
// The line of the command-set port, for tests and tools (null before InitSio).
SerialLine* CommandSetLine();

// The command-set exchange: the caller has written L at offset 2, the code at offset 3 and the
// data from offset 4 of TeleBuffer. Returns 1 on success, 0 on failure.
// When the device of the command-set port has gone (an unplugged adapter), the exchange that
// notices it fails, and the exchanges from 5 s later on reopen the port on the number last given
// to InitSio, at most once every 5 s of the counter (platform/Clock.h), until it opens again.
int SioExchange();

// Busy wait of n units of 1/95000 s on the high-resolution counter.
int Timer(unsigned n);

// --- Hooks the main window fills in ------------------------------------------------------------
// The port object's recovery needs the polling timer and the network link setup, which belong to
// the main window. Until they are set they do nothing.
struct LinkHooks {
    std::function<void()> stopPolling;          // remember Timer1's interval and set it to 0
    std::function<void()> restartPolling;       // give Timer1 its remembered interval back
    std::function<void(bool internet)> setupNetLink;
};
void SetLinkHooks(LinkHooks hooks);
const LinkHooks& GetLinkHooks();

// --- Observation -------------------------------------------------------------------------------
// Optional trace of everything the command-set exchange does on the line (qtvctl --trace).
struct LinkTrace {
    std::function<void(const std::uint8_t*, std::size_t)> sent;
    std::function<void(const std::uint8_t*, std::size_t)> received;
    std::function<void(bool)> rts;
};
void SetLinkTrace(LinkTrace trace);

// --- Start state -------------------------------------------------------------------------------
// Puts every piece of module-level link state back to how the program starts: the shared state
// above, TeleBuffer and FremdAntworten, SioPortNr and SendeReserve of the port object, the
// command-set port (closed with its saved settings restored, dropped, nothing left to reopen),
// the hooks, the trace and the line factory. The clocks belong to platform/ and are not touched.
// Tests call it before and after each case; the program calls it at its end, after the main
// window, whose hooks it drops, has gone.
void ResetLinkState();
