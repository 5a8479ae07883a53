#pragma once
// Common ground of the link tests: the command-set port opened on a fake line, the shared state
// reset, and a replaceable counter for tests that must not wait.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "link/Sio.h"
#include "platform/Clock.h"
#include "support/FakeLine.h"

// A counter that moves only when read (and when a test moves it), so that busy waits end at
// once and time passes exactly as a test says.
class SteppingCounter {
public:
    static constexpr std::uint64_t kFrequency = 95'000'000;  // 1000 ticks per unit of 1/95000 s
    explicit SteppingCounter(std::uint64_t ticksPerReading) : step_(ticksPerReading) {
        SetCounter({[] { return kFrequency; }, [this] { return now_ += step_; }});
    }
    ~SteppingCounter() { SetCounter({}); }
    void advanceMs(std::uint64_t ms) { now_ += kFrequency / 1000 * ms; }
    std::uint64_t now() const { return now_; }
    static constexpr std::uint64_t ticksPerUnit() { return kFrequency / 95000; }

private:
    std::uint64_t now_ = 0;
    std::uint64_t step_;
};

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        BusAdresse = 5;
        Broadcast = false;
        Internet = 1;
        Negativ = false;
        SioErgebnis = -1;
        std::memset(TeleBuffer, 0, sizeof TeleBuffer);
        std::memset(FremdAntworten, 0, sizeof FremdAntworten);
        ASSERT_TRUE(InitSio(1));
        line().clearEvents();
    }
    void TearDown() override { SetLinkTrace({}); }

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

    FakeLineFactory lines;
    // One unit of 1/95000 s per reading: the busy waits end at once, and a silent station in
    // network mode is given up after its bounded wait without the test waiting a second.
    SteppingCounter clock{SteppingCounter::ticksPerUnit()};
};
