#pragma once
// The steps both telegram exchanges share (SioExchange and SioPort::Exchange): drain, checksum,
// send, wait for the first reply byte, receive and acknowledge an answer telegram. Each exchange
// writes STX and the address itself, passes the rules in which it differs, and applies what the
// outcome reports to the state it owns (Negativ, FremdAntworten): the steps here touch none.
//
// How long an exchange may take, on a line that keeps its time-outs (a read of n bytes ends
// within readTotalConstant + n * readTotalMultiplier, a write of n bytes within
// writeTotalConstant + n * writeTotalMultiplier):
//   drain      until a read returns nothing, but never past 1 s of the counter plus the read
//              then under way (and never more than 960 bytes);
//   send       one write time-out (one write of L + 2 bytes in local mode, L + 1 in network mode);
//   first byte replyAttempts single-byte reads (plus the pauses), and never past
//              replyWaitLimitMs plus the read then under way when a limit is given;
//   answer     each gap in the rest of the telegram ends after three silent reads, and the
//              telegram has at most the answer area's bytes; a longer one is refused unread,
//              its NAK sent once the line has been quiet for 5 ms (bounded as the drain is).
// So on the command-set port a silent station costs about 0.6 s in local mode and 1.3 s in
// network mode, and a line that never falls quiet at most one second more.

#include <cstdint>
#include <optional>
#include <vector>

#include "link/Sio.h"

// The longest the drain may run, on the counter of platform/Clock.h.
inline constexpr unsigned kDrainTimeLimitMs = 1000;

struct ExchangeRules {
    int answerArea = kTeleAnswerArea;  // bytes of the answer area behind the 70-byte request area
    bool localMode = true;             // L + 2 bytes (the byte after the checksum too); network: L + 1
    int replyAttempts = 5;             // single-byte reads for the first reply byte
    bool pauseBetweenAttempts = true;  // Timer(10) between those reads
    unsigned replyWaitLimitMs = 0;     // bound on the whole wait for the first byte; 0: none
    bool waitBeforeRest = true;        // Timer(3000) before the rest of an answer telegram
    const LinkTrace* trace = nullptr;  // observer of the line, may be null
    SerialTimeouts lineTimeouts{};     // the line's own time-outs, put back after a short wait
};

// An answer telegram that came from another address than the one asked.
struct ForeignAnswer {
    std::uint8_t address = 0;         // the answering address as it came (may be 32 or more)
    std::vector<std::uint8_t> bytes;  // the answer area from position 0 up to its first zero byte
};

struct ExchangeOutcome {
    int result = 0;              // 1 success, 0 failure
    bool sendFailed = false;     // the request could not be written
    bool answerTelegram = false;  // an answer telegram came and the PC answered it (ACK or NAK)
    std::optional<ForeignAnswer> foreign;  // the answer telegram came from another address
    ExchangeFailure failure = ExchangeFailure::None;  // why result is 0
};

// The request stands at buffer[0..L-1] (STX, address, L, code, data); the answer area follows at
// buffer[kRequestArea]. A null line counts as a failed send.
ExchangeOutcome RunTelegramExchange(SerialLine* line, std::uint8_t* buffer, const ExchangeRules& rules);
