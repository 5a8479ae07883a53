#include "link/TelegramExchange.h"

#include "platform/Clock.h"

namespace {

// Largest L whose request (plus the extra byte of local mode) still lies in the request area.
constexpr int kLargestRequestLength = kRequestArea - 2;
// The draining of stale input stops after two seconds' worth of bytes at 4800 baud (10 bits a
// byte), or after kDrainTimeLimitMs, whichever comes first: a line that never falls quiet for a
// whole read time-out (a stray byte every 5 to 100 ms) would otherwise hold every exchange for
// up to 960 read time-outs. One second is five times what a telegram takes at 4800 baud.
constexpr int kDrainLimit = 2 * 4800 / 10;
// A station that falls silent in the middle of an answer telegram is given up after this many
// read time-outs in a row.
constexpr int kSilentReadsInTelegram = 3;
// Units of 1/95000 s: the pause between attempts at the first reply byte, and the pause that
// lets the rest of an answer telegram arrive (3000 units, 31.6 ms: 15 bytes at 4800 baud).
constexpr unsigned kAttemptPause = 10;
constexpr unsigned kRestPause = 3000;

// The line as the exchange sees it: every byte and RTS switch also goes to the trace.
class TracedLine {
public:
    TracedLine(SerialLine* line, const LinkTrace* trace) : line_(line), trace_(trace) {}

    long read(std::uint8_t* buffer, std::size_t n) {
        const long got = line_->read(buffer, n);
        if (got > 0 && trace_ && trace_->received) trace_->received(buffer, static_cast<std::size_t>(got));
        return got;
    }
    bool write(const std::uint8_t* buffer, std::size_t n) {
        if (trace_ && trace_->sent) trace_->sent(buffer, n);
        return line_->write(buffer, n);
    }
    void setTimeouts(const SerialTimeouts& timeouts) { line_->setTimeouts(timeouts); }
    void rts(bool on) {
        if (trace_ && trace_->rts) trace_->rts(on);
        line_->setRts(on);
    }

private:
    SerialLine* line_;
    const LinkTrace* trace_;
};

std::uint64_t MillisecondsToTicks(unsigned ms) { return Counter().frequency() * ms / 1000; }

// Reads single bytes until the line is quiet; a read of -1 means nothing more will come.
void Drain(TracedLine& line, std::uint8_t* answer) {
    const std::uint64_t start = Counter().now();
    const std::uint64_t limit = MillisecondsToTicks(kDrainTimeLimitMs);
    for (int i = 0; i < kDrainLimit; ++i) {
        std::uint8_t byte = 0;
        if (line.read(&byte, 1) != 1) return;
        answer[0] = byte;
        if (Counter().now() - start >= limit) return;
    }
}

// A refused answer may still be coming in; the PC's NAK goes out only once the line has been
// quiet for a little over two byte times (4800 baud, 10 bits a byte), so that it never collides
// with the station's own transmission on the half-duplex line. Bounded as the drain is.
constexpr unsigned kQuietMs = 5;

void AwaitQuiet(TracedLine& line, const SerialTimeouts& usual) {
    SerialTimeouts quiet = usual;
    quiet.readInterval = 0;
    quiet.readTotalMultiplier = 0;
    quiet.readTotalConstant = kQuietMs;
    line.setTimeouts(quiet);
    std::uint8_t discarded = 0;
    Drain(line, &discarded);
    line.setTimeouts(usual);
}

bool Send(TracedLine& line, const std::uint8_t* buffer, int length, bool localMode) {
    // Local mode sends the byte after the checksum too (whatever the buffer holds there); the
    // stations ignore it. The request goes out in one write, drained once: written byte by byte,
    // a busy machine could pre-empt the bus's thread between two bytes, and a station drops a
    // request whose bytes are more than 20 ms apart. It is sent only when every byte went out.
    return line.write(buffer, static_cast<std::size_t>(length) + (localMode ? 2 : 1));
}

// The first reply byte into answer position 0; false when none came.
bool WaitForFirstByte(TracedLine& line, std::uint8_t* answer, const ExchangeRules& rules) {
    const std::uint64_t start = Counter().now();
    const std::uint64_t limit = rules.replyWaitLimitMs ? MillisecondsToTicks(rules.replyWaitLimitMs) : 0;
    for (int attempt = 1; attempt <= rules.replyAttempts; ++attempt) {
        std::uint8_t byte = 0;
        const long got = line.read(&byte, 1);
        if (got == 1) {
            answer[0] = byte;
            return true;
        }
        if (got < 0) return false;
        if (limit && Counter().now() - start > limit) return false;
        if (rules.pauseBetweenAttempts && attempt < rules.replyAttempts) Timer(kAttemptPause);
    }
    return false;
}

// Reads exactly n bytes, however they are split; false when the station falls silent or the
// device fails before they have all come.
bool ReadExactly(TracedLine& line, std::uint8_t* into, int n) {
    int have = 0;
    int silent = 0;
    while (have < n) {
        const long got = line.read(into + have, static_cast<std::size_t>(n - have));
        if (got < 0) return false;
        if (got == 0) {
            if (++silent >= kSilentReadsInTelegram) return false;
            continue;
        }
        silent = 0;
        have += static_cast<int>(got);
    }
    return true;
}

// The answer area from position 0 up to, not including, its first zero byte.
ForeignAnswer ForeignAnswerOf(const std::uint8_t* answer, int answerArea) {
    ForeignAnswer foreign{answer[1], {}};
    for (int i = 0; i < answerArea && answer[i] != 0; ++i) foreign.bytes.push_back(answer[i]);
    return foreign;
}

// After STX: the rest of the answer telegram, and the PC's ACK or NAK at answer position 0.
void ReceiveTelegram(TracedLine& line, const std::uint8_t* buffer, std::uint8_t* answer,
                     const ExchangeRules& rules, ExchangeOutcome& outcome) {
    outcome.failure = ExchangeFailure::Garbage;  // until the telegram has come whole
    if (!ReadExactly(line, answer + 1, 2)) return;  // answer position 0 stays STX: result 0
    const int length = answer[2];
    if (rules.waitBeforeRest) Timer(kRestPause);
    // Positions 0..L must lie in the answer area; only the bus's addresses 0..31 are accepted.
    const bool lengthFits = length >= 3 && length < rules.answerArea;
    if (lengthFits && !ReadExactly(line, answer + 3, length - 2)) return;
    if (!lengthFits) AwaitQuiet(line, rules.lineTimeouts);
    line.rts(false);
    std::uint8_t reply = NAK;
    if (lengthFits && answer[1] != buffer[1]) {
        outcome.foreign = ForeignAnswerOf(answer, rules.answerArea);
        outcome.failure = ExchangeFailure::OtherStation;
    } else if (lengthFits && answer[1] < 32 &&
               TelegramChecksum(answer, static_cast<std::size_t>(length)) == answer[length]) {
        reply = ACK;
        outcome.failure = ExchangeFailure::None;
    } else if (lengthFits && answer[1] < 32) {
        outcome.failure = ExchangeFailure::Checksum;
    }
    answer[0] = reply;
    line.write(&reply, 1);
    outcome.answerTelegram = true;
}

}  // namespace

ExchangeOutcome RunTelegramExchange(SerialLine* serialLine, std::uint8_t* buffer, const ExchangeRules& rules) {
    ExchangeOutcome outcome;
    if (!serialLine) {
        outcome.sendFailed = true;
        outcome.failure = ExchangeFailure::NotSent;
        return outcome;
    }
    TracedLine line(serialLine, rules.trace);
    std::uint8_t* answer = buffer + kRequestArea;
    const int length = buffer[2];
    Drain(line, answer);
    answer[0] = kNothingReceived;
    if (length < 4 || length > kLargestRequestLength) {
        outcome.failure = ExchangeFailure::NotSent;
        return outcome;
    }
    buffer[length] = TelegramChecksum(buffer, static_cast<std::size_t>(length));
    line.rts(false);
    if (!Send(line, buffer, length, rules.localMode)) {
        outcome.sendFailed = true;
        outcome.failure = ExchangeFailure::NotSent;
        return outcome;
    }
    if (buffer[1] == kBroadcastAddress) {
        outcome.result = 1;
        return outcome;
    }
    line.rts(true);
    if (!WaitForFirstByte(line, answer, rules)) outcome.failure = ExchangeFailure::NoReply;
    else if (answer[0] == STX) ReceiveTelegram(line, buffer, answer, rules, outcome);
    else outcome.failure = answer[0] == NAK ? ExchangeFailure::Refused : ExchangeFailure::Garbage;
    outcome.result = answer[0] == ACK ? 1 : 0;
    if (outcome.result == 0 && outcome.failure == ExchangeFailure::None) outcome.failure = ExchangeFailure::Garbage;
    line.rts(false);
    return outcome;
}
