#pragma once
// Common ground of the link tests: the link state reset, the command-set port opened on a fake
// line, and the fake counter, so that no test waits.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "link/Sio.h"
#include "support/FakeCounter.h"
#include "support/FakeLine.h"
#include "support/LinkReset.h"

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        BusAdresse = 5;
        Internet = 1;
        SioErgebnis = -1;
        ASSERT_TRUE(InitSio(1));
        line().clearEvents();
    }

    FakeLine& line() { return lines.last(); }
    // The bytes of the request as they went on the wire (all writes before the first read after
    // the send), as hex.
    std::string requestOnWire() {
        Bytes out;
        bool sending = false;
        for (const LineEvent& e : line().events()) {
            if (e.kind == LineEvent::Write) {
                sending = true;
                out.insert(out.end(), e.bytes.begin(), e.bytes.end());
            } else if (e.kind == LineEvent::Read && sending) {
                break;
            }
        }
        return HexOf(out);
    }
    std::string answerArea(int from, int count) {
        return HexOf(Bytes(TeleBuffer + kAnswer + from, TeleBuffer + kAnswer + from + count));
    }
    // Fills the request as the device commands do: L, code, data.
    void request(std::uint8_t code, const Bytes& data = {}) {
        TeleBuffer[2] = static_cast<std::uint8_t>(4 + data.size());
        TeleBuffer[3] = code;
        for (std::size_t i = 0; i < data.size(); ++i) TeleBuffer[4 + i] = data[i];
    }

    LinkReset linkReset;
    FakeLineFactory lines;
    // One unit of 1/95000 s per reading: the busy waits end at once, and a silent station in
    // network mode is given up after its bounded wait without the test waiting a second.
    FakeCounter clock;
};
