#include "tools/qtvctl/ExchangeDiagnosis.h"

#include <cstdio>

namespace {

std::string Hex(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

}  // namespace

void ExchangeWatch::install(LinkTrace forward) {
    SetLinkTrace({[this, f = forward.sent](const std::uint8_t* b, std::size_t n) {
                      record({Event::Sent, {b, b + n}});
                      if (f) f(b, n);
                  },
                  [this, f = forward.received](const std::uint8_t* b, std::size_t n) {
                      record({Event::Received, {b, b + n}});
                      if (f) f(b, n);
                  },
                  [this, f = forward.rts](bool on) {
                      record({on ? Event::RtsOn : Event::RtsOff, {}});
                      if (f) f(on);
                  }});
}

std::string ExchangeWatch::whyNoValidAnswer() const {
    // The last exchange turned RTS on after its request; before it, RTS off and the request.
    std::size_t rtsOn = events_.size();
    for (std::size_t i = events_.size(); i-- > 0;) {
        if (events_[i].kind == Event::RtsOn) {
            rtsOn = i;
            break;
        }
    }
    if (rtsOn == events_.size()) {
        for (const Event& e : events_)
            if (e.kind == Event::Sent) return "the request could not be sent (the port failed)";
        return events_.empty() ? "" : "nothing was sent (the port failed)";
    }
    std::size_t requestFrom = rtsOn;
    while (requestFrom > 0 && events_[requestFrom - 1].kind != Event::RtsOff) --requestFrom;
    std::size_t replyEnd = rtsOn + 1;
    while (replyEnd < events_.size() && events_[replyEnd].kind != Event::RtsOff) ++replyEnd;
    return DiagnoseReply(bytes(Event::Sent, requestFrom, rtsOn), bytes(Event::Received, rtsOn + 1, replyEnd));
}

std::vector<std::uint8_t> ExchangeWatch::bytes(Event::Kind kind, std::size_t from, std::size_t to) const {
    std::vector<std::uint8_t> all;
    for (std::size_t i = from; i < to; ++i)
        if (events_[i].kind == kind) all.insert(all.end(), events_[i].bytes.begin(), events_[i].bytes.end());
    return all;
}

std::string DiagnoseReply(const std::vector<std::uint8_t>& request, const std::vector<std::uint8_t>& reply) {
    const auto number = [](std::size_t n) { return std::to_string(n); };
    if (reply.empty()) return "no reply (the station did not answer in time)";
    if (reply[0] == NAK) return "the station answered NAK (request refused)";
    if (reply[0] != STX) return "no answer telegram (the reply began with " + Hex(reply[0]) + ")";
    if (reply.size() < 3) return "the reply broke off after " + number(reply.size()) + " byte(s)";
    const std::size_t length = reply[2];
    if (length < 3 || length >= static_cast<std::size_t>(kTeleAnswerArea))
        return "invalid length byte " + Hex(reply[2]) + " in the reply";
    if (reply.size() < length + 1)
        return "the reply broke off (" + number(reply.size()) + " of " + number(length + 1) + " bytes)";
    if (request.size() > 1 && reply[1] != request[1])
        return "an answer from station " + number(reply[1]) + ", not from station " + number(request[1]);
    const std::uint8_t sum = TelegramChecksum(reply.data(), length);
    if (sum != reply[length]) return "wrong checksum " + Hex(reply[length]) + " (expected " + Hex(sum) + ")";
    return "the answer was refused";
}
