#pragma once
// ScriptedBus: stations on a scripted fake line, for the tests of what stands on the link (the
// dialogs, the station panel, the main window). Byte-exact tests of the link itself use FakeLine
// directly; tests that want stations which behave like real ones use SimLine.
//
// It resets the link state when it comes and when it goes (ResetLinkState), installs a
// FakeCounter (busy waits end at once) and a FakeLineFactory, and answers each request the link
// writes in one of two ways:
//
//   Script: one reply per request, in order, from station kStation:
//     answer(data)   an answer telegram with these data bytes
//     ack() nak()    the single byte
//     silent()       no reply at all
//   Standing stations, for what no script answers: stations[a] answers every request to address
//   a at once, as a station on the bus would: a value request (0x31) with `value`, a broadcast
//   fetch (0x61) with ACK and `value`, a type request (0x30) with `idReport`; a `silent` one
//   answers nothing, and so does an address without a station.
//   portHeld: another program holds the port; the lines the link makes meanwhile do not open.
//
// What went on the wire, since it began or since clear():
//   requests()      every request telegram as hex ("02 05 05 A0 03 AF"), the PC's ACK/NAK left out
//   lastRequest()   the last of them;  pcReply(): the PC's ACK or NAK after it ("06"), or ""
//   nothingSent()   not a byte written
//   asked()         address and code of each request;  valueRequests(): addresses asked for a value
//
// request(code, data) is a request telegram as the station must receive it, for comparisons.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/FakeCounter.h"
#include "support/FakeLine.h"
#include "support/LinkReset.h"

struct StandingStation {
    std::int16_t value = 0;      // what a value request (0x31, 0x61) reports
    std::uint16_t idReport = 0;  // what a type request (0x30) reports
    bool silent = false;
};

struct AskedRequest {
    int address;
    int code;
};

class ScriptedBus : private LinkReset {
public:
    static constexpr std::uint8_t kStation = 5;

    ScriptedBus();
    ~ScriptedBus();
    ScriptedBus(const ScriptedBus&) = delete;
    ScriptedBus& operator=(const ScriptedBus&) = delete;

    // Opens the command-set port (COM1) in network mode, so that each request is one write, and
    // addresses kStation. False when the open failed.
    bool openPort();

    // --- Script ----------------------------------------------------------------------------------
    void answer(const Bytes& data);
    void ack();
    void nak();
    void silent();
    std::size_t pendingReplies() const;

    // --- Standing stations -----------------------------------------------------------------------
    std::map<int, StandingStation> stations;
    bool portHeld = false;

    // --- What went on the wire -------------------------------------------------------------------
    std::vector<std::string> requests() const;
    std::string lastRequest() const;
    std::string pcReply() const { return pcReply_; }
    bool nothingSent() const { return !anythingWritten_; }
    const std::vector<AskedRequest>& asked() const { return asked_; }
    std::vector<int> valueRequests() const;
    void clear();

    static std::string request(std::uint8_t code, const Bytes& data = {}, std::uint8_t address = kStation);

    FakeLine& line() { return lines_.last(); }
    FakeCounter counter;

private:
    void script(const Bytes& reply);
    void onWrite(FakeLine& line, const Bytes& bytes);
    void answerStanding(FakeLine& line, int address, int code);

    FakeLineFactory lines_;
    Bytes assembling_;  // the request being written, byte by byte in local mode
    std::vector<std::string> requests_;
    std::vector<AskedRequest> asked_;
    std::string pcReply_;
    bool anythingWritten_ = false;
    std::size_t scripted_ = 0;  // scripted replies not yet claimed by a request
};
