#include "sim/Bus.h"

#include <algorithm>
#include <cstdio>

#include "link/Telegram.h"

namespace {

// The reads whose answer a station marks with a leading '?' when it has no value to give.
bool QuestionMarkRead(std::uint8_t code) {
    return code == 0x56 || code == 0x57 || (code >= 0x40 && code <= 0x43);
}

std::string AddressText(std::uint8_t address) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", address);
    return text;
}

std::string DescribeRequest(const Request& r) {
    std::string line = "request " + AddressText(r.address) + " " + CommandName(r.code);
    if (r.dataCount > 0) {
        line += " data " + HexBytes(std::vector<std::uint8_t>(r.data.begin(), r.data.begin() + r.dataCount));
    }
    return line;
}

}  // namespace

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char pair[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        if (!text.empty()) text += ' ';
        text += pair;
    }
    return text;
}

Bus::Bus(BusSettings settings)
    : settings_(settings),
      parser_(RequestParser::Events{
          [this](const Request& r) { onRequest(r, current_); },
          [this](const std::vector<std::uint8_t>& bytes, const std::string& why) { onSkipped(bytes, why); }}) {}

bool Bus::add(const Station& station) {
    if (station.address() < 1 || station.address() > 31) return false;
    return stations_.emplace(station.address(), station).second;
}

bool Bus::remove(std::uint8_t address) {
    if (awaitingAckFrom_ == address) awaitingAckFrom_ = 0;
    return stations_.erase(address) > 0;
}

Station* Bus::station(std::uint8_t address) {
    auto it = stations_.find(address);
    return it == stations_.end() ? nullptr : &it->second;
}

void Bus::log(double ms, const std::string& line) {
    if (log_) log_(ms, line);
}

void Bus::receive(const std::uint8_t* bytes, std::size_t n, const Moment& now) {
    current_ = now;
    for (std::size_t i = 0; i < n; ++i) {
        if (!interceptByte(bytes[i], now)) parser_.feed(bytes[i], now.ms);
    }
    parser_.flush();
}

// Bytes between requests that are not requests: the PC's byte after the checksum, and its
// ACK or NAK after an answer telegram.
bool Bus::interceptByte(std::uint8_t byte, const Moment& now) {
    parser_.expire(now.ms);
    if (!parser_.idle()) return false;
    const bool ackOrNak = byte == ACK || byte == NAK;
    if (trailingPossible_) {
        trailingPossible_ = false;
        // Before the reply has begun to leave, the PC cannot be answering it; once it has, an
        // ACK or NAK is the PC's verdict (it may refuse a long answer before its end). An STX goes
        // to the parser all the same: it may begin the next request, and if it does not, the
        // silence before the PC's next byte drops it.
        const bool soon = now.ms - requestEndMs_ <= kInterByteGapMs;
        const bool trailing = replyStarted_ ? (!ackOrNak && soon) : (replyPending() || soon);
        if (byte != STX && trailing) {
            log(now.ms, "byte after checksum " + HexBytes({byte}) + " ignored");
            return true;
        }
    }
    if (awaitingAckFrom_ == 0 || !ackOrNak) return false;
    Station* s = station(awaitingAckFrom_);
    awaitingAckFrom_ = 0;
    if (!s) return true;
    s->record().pcAck = byte == ACK ? PcAck::Ack : PcAck::Nak;
    ++(byte == ACK ? s->record().acks : s->record().naks);
    log(now.ms, "PC " + PcAckName(s->record().pcAck) + " to " + AddressText(s->address()));
    return true;
}

void Bus::onSkipped(const std::vector<std::uint8_t>& bytes, const std::string& why) {
    log(current_.ms, "skipped " + why + ": " + HexBytes(bytes));
}

void Bus::onRequest(const Request& r, const Moment& now) {
    log(now.ms, DescribeRequest(r));
    // A new request ends every wait for the PC's answer, also one whose reply is still leaving.
    awaitingAckFrom_ = 0;
    for (auto& [address, s] : stations_) {
        if (s.record().pcAck == PcAck::Waiting) s.record().pcAck = PcAck::None;
    }
    trailingPossible_ = true;
    replyStarted_ = false;
    requestEndMs_ = now.ms;
    if (r.address == kBroadcastAddress) {
        onBroadcast(r, now);
        return;
    }
    Station* s = station(r.address);
    if (!s) {
        log(now.ms, "no station at " + AddressText(r.address));
        return;
    }
    s->record().lastRequest = r;
    ++s->record().requests;
    if (s->faults().silent) {
        log(now.ms, "station " + AddressText(r.address) + " is silent");
        return;
    }
    reply(*s, r, now);
}

void Bus::onBroadcast(const Request& r, const Moment& now) {
    for (auto& [address, s] : stations_) {
        s.record().lastRequest = r;
        ++s.record().requests;
        if (!s.faults().silent && !s.faults().nak) s.handleBroadcast(r, now);
    }
}

void Bus::reply(Station& s, const Request& r, const Moment& now) {
    const Reply answer = s.faults().nak ? Reply{Reply::Kind::Nak, {}, {}} : s.handle(r, now);
    if (answer.kind == Reply::Kind::None) {
        log(now.ms, "no reply from " + AddressText(s.address()) + ": " + answer.note);
        return;
    }
    auto& rec = s.record();
    ++rec.replies;
    if (s.faults().dropEvery != 0 && rec.replies % s.faults().dropEvery == 0) {
        log(now.ms, "reply of " + AddressText(s.address()) + " dropped");
        return;
    }
    std::string note;
    const std::vector<std::uint8_t> bytes = applyFaults(s, r, answer, note);
    const Faults& f = s.faults();
    const bool awaitsAck = answer.kind == Reply::Kind::Telegram && !f.stxThenSilence && !f.garbageFirst;
    rec.lastReply = bytes;
    rec.pcAck = awaitsAck ? PcAck::Waiting : PcAck::None;
    const double interval = f.trickleMs ? *f.trickleMs : (settings_.pacing ? kByteMsAt4800 : 0.0);
    schedule(bytes, now.ms + settings_.replyDelayMs, interval);
    if (awaitsAck) awaitingAckFrom_ = s.address();
    log(now.ms, "reply " + AddressText(s.address()) + ": " + HexBytes(bytes) + note);
}

std::vector<std::uint8_t> Bus::applyFaults(Station& s, const Request& r, const Reply& answer, std::string& note) {
    const Faults& f = s.faults();
    if (f.any()) note = " (fault " + DescribeFaults(f) + ")";
    std::vector<std::uint8_t> out;
    if (answer.kind != Reply::Kind::Telegram) {
        out = {answer.kind == Reply::Kind::Ack ? ACK : NAK};
    } else {
        std::vector<std::uint8_t> data = answer.data;
        if (f.questionMark && QuestionMarkRead(r.code) && !data.empty()) data[0] = '?';
        std::uint8_t length = static_cast<std::uint8_t>(3 + data.size());
        if (f.longLength && *f.longLength > length) {
            data.resize(*f.longLength - 3u, 0);
            length = *f.longLength;
        }
        out = {STX, f.foreignAddress.value_or(s.address()), length};
        out.insert(out.end(), data.begin(), data.end());
        const std::uint8_t sum = TelegramChecksum(out.data(), out.size());
        out.push_back(f.badChecksum ? static_cast<std::uint8_t>(sum + 1) : sum);
    }
    if (f.stxThenSilence) out = {STX};
    if (f.garbageFirst) out[0] = *f.garbageFirst;
    return out;
}

void Bus::schedule(const std::vector<std::uint8_t>& bytes, double startMs, double intervalMs) {
    double t = startMs;
    if (!output_.empty()) t = std::max(t, output_.back().dueMs + intervalMs);
    for (std::uint8_t b : bytes) {
        output_.push_back({b, t});
        t += intervalMs;
    }
}

std::vector<std::uint8_t> Bus::takeDue(double nowMs) {
    std::vector<std::uint8_t> due;
    while (!output_.empty() && output_.front().dueMs <= nowMs) {
        due.push_back(output_.front().byte);
        output_.pop_front();
        replyStarted_ = true;
    }
    return due;
}

std::optional<double> Bus::nextDueMs() const {
    if (output_.empty()) return std::nullopt;
    return output_.front().dueMs;
}
