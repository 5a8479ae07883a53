#pragma once
// Why a device command got no valid answer, told from what the line saw. The link reports every
// byte it sends and receives and every RTS switch (SetLinkTrace); the watch keeps them and reads
// the last exchange back: the request between RTS off and RTS on, the station's reply after it,
// the PC's ACK or NAK after RTS off again.

#include <cstdint>
#include <string>
#include <vector>

#include "link/Sio.h"

class ExchangeWatch {
public:
    // Becomes the link's trace; `forward` (may be empty) still gets every event, for --trace.
    void install(LinkTrace forward = {});

    // In a few words why the last exchange gave no valid answer ("no reply", "the station answered
    // NAK", "wrong checksum", "an answer from station 7", ...); "" when nothing was exchanged.
    std::string whyNoValidAnswer() const;

    struct Event {
        enum Kind { Sent, Received, RtsOn, RtsOff } kind;
        std::vector<std::uint8_t> bytes;
    };
    void record(Event event) { events_.push_back(std::move(event)); }

private:
    // The bytes of one kind of event among events [from, to).
    std::vector<std::uint8_t> bytes(Event::Kind kind, std::size_t from, std::size_t to) const;

    std::vector<Event> events_;
};

// The reading of an exchange's bytes: the request as sent, the reply as received.
std::string DiagnoseReply(const std::vector<std::uint8_t>& request, const std::vector<std::uint8_t>& reply);
