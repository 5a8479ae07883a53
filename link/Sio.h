#pragma once
// The command-set port and its telegram exchange, and the state the bus link shares with the
// main window. Nothing is locked: the bus's thread uses all of this, one job at a time (before
// the worker starts and after it has stopped, the thread that starts and stops it; in tests and
// tools, the one thread there is). The entry points assert it in debug builds
// (BusWorker::OnLinkThread).

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/SerialLine.h"
#include "link/Telegram.h"

// --- State shared with the main window -------------------------------------------------------
extern std::uint8_t BusAdresse;   // address of every command-set request
extern bool Broadcast;            // every request goes to 0x20, nothing is awaited
extern std::uint8_t Internet;     // 1: the bus is reached through the network link
extern bool Negativ;              // cleared on every answer telegram received
extern std::int32_t SioErgebnis;  // result of the last device command: 0 failed, 1 success

// Why the last exchange on the command-set port gave no valid answer (None when it did).
enum class ExchangeFailure : std::uint8_t {
    None,
    NotSent,       // the port is not open or the request could not be written
    NoReply,       // nothing came in time
    Refused,       // the station answered NAK
    Garbage,       // no answer telegram: a wrong first byte, a bad length, a telegram broken off
    Checksum,      // an answer telegram with a wrong checksum
    OtherStation,  // an answer telegram from another address
};
ExchangeFailure LastExchangeFailure();

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
// Both exchanges keep an answer that came out of turn here: the record of `address` receives
// the bytes (at most 29), then a zero byte. An address of 32 or more has no record: nothing kept.
void RecordFremdAntwort(std::uint8_t address, const std::vector<std::uint8_t>& bytes);

// --- Command-set port --------------------------------------------------------------------------
// Opens COMn with the command-set time-outs (50/1/100, 1/50). False when n >= 100, when the
// device cannot be opened, or when it refuses the line settings (it then stays open).
bool InitSio(std::uint8_t portNumber);
// Restores the saved settings and closes the command-set port.
void ReSetSio();
// The port dialog's number takes effect at once: the command-set port is opened on it (InitSio),
// unless it holds that number already and is open.
void ChooseCommandSetPort(std::uint8_t portNumber);
// True while the command-set port is open and its device there: an exchange can be made.
bool CommandSetPortOpen();
// The line of the command-set port, for tests and tools (null before InitSio).
SerialLine* CommandSetLine();

// The command-set exchange: the caller has written L at offset 2, the code at offset 3 and the
// data from offset 4 of TeleBuffer. Returns 1 on success, 0 on failure.
// When the device of the command-set port has gone (an unplugged adapter), the exchange that
// notices it fails, and the exchanges from 1 s later on reopen the port on the number last given
// to InitSio, at most once a second of the counter (platform/Clock.h), until it opens again.
int SioExchange();

// A command-set port that could not be opened (held by another program, not plugged in) or whose
// device has gone is opened again here too, by the same rule as in the exchanges (the number
// last given to InitSio, at most once a second of the counter), so that it comes back while no
// exchange is due. Does nothing while the port is open and its device there. The tick's job
// calls it first, before its exchanges.
void RetryCommandSetPort();

// The network link setup has just registered the redirector's port `portNumber` anew, which
// replaces the device behind that number. When the command-set port holds that number it is
// opened again at once, before anyone else can take the new device: it carries the live display
// and comes first. A failed open is tried again by the rule above.
void ReclaimCommandSetPort(std::uint8_t portNumber);

// True when InitSio was given this number (and ReSetSio not called since): the command-set port
// holds it, whether it is open at the moment or waiting to be opened again.
bool CommandSetPortHolds(std::uint8_t portNumber);

// The command-set port's line lent for one exchange of the port object on the same number, with
// the port object's time-outs applied while it is lent and the command-set time-outs given back
// when the loan ends. line() is null when the port is not open. A device found gone meanwhile is
// noticed for the reopening. Not reentrant: one loan at a time (the bus runs one job at a time).
class LentCommandSetLine {
public:
    explicit LentCommandSetLine(const SerialTimeouts& timeouts);
    ~LentCommandSetLine();
    LentCommandSetLine(const LentCommandSetLine&) = delete;
    LentCommandSetLine& operator=(const LentCommandSetLine&) = delete;
    SerialLine* line() const { return line_; }

private:
    SerialLine* line_ = nullptr;
};

// Waits n units of 1/95000 s on the high-resolution counter: as exactly as a busy wait, but
// asleep for all of a long wait except its last stretch (WaitForCounter, platform/Clock.h).
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
// the hooks, the trace, the listener of link events (link/LinkEvents.h) and the line factory.
// The clocks belong to platform/ and are not touched.
// Tests call it before and after each case; the program calls it at its end, after the main
// window, whose hooks it drops, has gone.
void ResetLinkState();
