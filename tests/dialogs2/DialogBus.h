#pragma once
// Common ground of the relay and range dialog tests: the command-set port on a scripted fake
// line talking to station 5 in network mode (one write per request), a busy-wait counter that
// does not wait, station panels to make active, and the message boxes and help requests
// recorded instead of shown.

#include <QLineEdit>
#include <algorithm>
#include <functional>
#include <QWidget>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/ActiveStation.h"
#include "dialogs/Messages.h"
#include "link/Sio.h"
#include "panel/Qtv3590.h"
#include "platform/Clock.h"
#include "platform/Help.h"
#include "support/FakeLine.h"

class DialogBus {
public:
    static constexpr std::uint8_t kStation = 5;
    static constexpr std::uint64_t kFrequency = 95'000'000;

    DialogBus() {
        // Each reading of the counter moves it by one unit of 1/95000 s: busy waits end at once.
        SetCounter({[] { return kFrequency; }, [this] { return now_ += kFrequency / 95000; }});
        BusAdresse = kStation;
        Broadcast = false;
        Internet = 1;
        std::memset(TeleBuffer, 0, sizeof TeleBuffer);
        InitSio(1);
        SetActivePanelSource([this] { return active_; });
        SetMessageObserver([this](const ShownMessage& m) {
            messages.push_back(m);
            if (onMessage) onMessage();
        });
        SetHelpObserver([this](int context) { helpRequests.push_back(context); });
    }
    ~DialogBus() {
        ReSetSio();
        SetActivePanelSource({});
        SetMessageObserver({});
        SetHelpObserver({});
        SetCounter({});
    }

    FakeLine& line() { return lines_.last(); }
    bool opened() const { return lines_.count() > 0 && CommandSetLine() != nullptr; }

    // A station panel of its own; the tests choose which one is active.
    TQTV3590* NewPanel() {
        panels_.push_back(std::make_unique<TQTV3590>(&owner_));
        return panels_.back().get();
    }
    void SetActive(TQTV3590* panel) { active_ = panel; }

    // What the station answers to the next request.
    void Answer(const Bytes& data) {
        Bytes frame{STX, kStation, static_cast<std::uint8_t>(3 + data.size())};
        frame.insert(frame.end(), data.begin(), data.end());
        frame.push_back(TelegramChecksum(frame.data(), frame.size()));
        Next(frame);
    }
    void Accept() { Next({ACK}); }
    void Refuse() { Next({NAK}); }
    void Silence() { Next({}); }

    // The request of the last action as it went on the wire, and the byte the PC sent back.
    std::string Request() {
        const Bytes all = line().written();
        if (all.size() < 3) return HexOf(all);
        const std::size_t n = std::min<std::size_t>(all[2] + 1u, all.size());
        return HexOf(Bytes(all.begin(), all.begin() + static_cast<long>(n)));
    }
    std::string Reply() {
        const std::vector<Bytes> blocks = line().writes();
        return blocks.size() > 1 ? HexOf(blocks.back()) : std::string();
    }
    bool NothingSent() { return line().written().empty(); }
    // A request as the station must receive it: STX, station, L, code, data, checksum.
    static std::string Frame(std::uint8_t code, const Bytes& data = {}) {
        Bytes frame{STX, kStation, static_cast<std::uint8_t>(4 + data.size()), code};
        frame.insert(frame.end(), data.begin(), data.end());
        frame.push_back(TelegramChecksum(frame.data(), frame.size()));
        return HexOf(frame);
    }

    std::vector<ShownMessage> messages;
    std::vector<int> helpRequests;
    std::function<void()> onMessage;  // runs when a box would be shown

private:
    void Next(const Bytes& reply) {
        line().clearEvents();
        line().queueReply(reply);
    }

    FakeLineFactory lines_;
    std::uint64_t now_ = 0;
    QWidget owner_;
    std::vector<std::unique_ptr<TQTV3590>> panels_;
    TQTV3590* active_ = nullptr;
};

inline bool IsTransferError(const ShownMessage& m) {
    return m.caption == QStringLiteral("Meldung") && m.text == QString::fromUtf8("Übertragungsfehler") &&
           m.icon == QMessageBox::Information;
}
