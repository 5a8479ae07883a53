#pragma once
// The steps both telegram exchanges share (SioExchange and SioPort::Exchange): drain, checksum,
// send, wait for the first reply byte, receive and acknowledge an answer telegram. Each exchange
// writes STX and the address itself, passes the rules in which it differs, and applies what the
// outcome reports to the state it owns (Negativ, FremdAntworten): the steps here touch none.

#include <cstdint>
#include <optional>
#include <vector>

#include "link/Sio.h"

struct ExchangeRules {
    int answerArea = kTeleAnswerArea;  // bytes of the answer area behind the 70-byte request area
    bool byteByByte = true;            // local mode: L + 2 single-byte writes; network: one write
    int replyAttempts = 5;             // single-byte reads for the first reply byte
    bool pauseBetweenAttempts = true;  // Timer(10) between those reads
    unsigned replyWaitLimitMs = 0;     // bound on the whole wait for the first byte; 0: none
    bool waitBeforeRest = true;        // Timer(3000) before the rest of an answer telegram
    const LinkTrace* trace = nullptr;  // observer of the line, may be null
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
};

// The request stands at buffer[0..L-1] (STX, address, L, code, data); the answer area follows at
// buffer[kRequestArea]. A null line counts as a failed send.
ExchangeOutcome RunTelegramExchange(SerialLine* line, std::uint8_t* buffer, const ExchangeRules& rules);
