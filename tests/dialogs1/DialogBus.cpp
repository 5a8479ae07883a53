#include "DialogBus.h"

#include "dialogs/ActiveStation.h"
#include "link/Sio.h"
#include "link/Telegram.h"
#include "panel/Qtv3590.h"
#include "platform/Clock.h"
#include "platform/Help.h"

#include <QtTest>

void DialogBus::Start() {
    // Each reading of the counter jumps far ahead, so every busy wait of the link ends at once.
    auto ticks = std::make_shared<std::uint64_t>(0);
    SetCounter(HiResCounter{[] { return std::uint64_t{95000}; }, [ticks] { return *ticks += 1'000'000; }});
    factory_ = std::make_unique<FakeLineFactory>();
    QVERIFY(InitSio(1));
    Internet = 1;
    Broadcast = false;
    BusAdresse = kStation;
    owner_ = std::make_unique<QWidget>();
    SetActivePanelSource([this] { return active_; });
    SetMessageObserver([this](const ShownMessage& m) {
        messages.push_back({m, observeAtMessage ? observeAtMessage() : QString()});
    });
    SetHelpObserver([this](int context) { helpRequests.push_back(context); });
}

void DialogBus::Reset(std::uint8_t gruppe) {
    QVERIFY2(PendingReplies() == 0, "a scripted reply of the previous test was never asked for");
    delete panel_;
    panel_ = NewPanel(gruppe);
    active_ = panel_;
    BusAdresse = kStation;
    factory_->last().clearEvents();
    messages.clear();
    observeAtMessage = nullptr;
    helpRequests.clear();
}

void DialogBus::Stop() {
    SetMessageObserver(nullptr);
    SetHelpObserver(nullptr);
    SetActivePanelSource(nullptr);
    SetCounter(HiResCounter{});
}

TQTV3590* DialogBus::NewPanel(std::uint8_t gruppe) {
    auto* panel = new TQTV3590(owner_.get());
    panel->Insert(kStation);
    panel->TypGruppe = gruppe;
    return panel;
}

void DialogBus::Answer(std::initializer_list<std::uint8_t> data) {
    Bytes telegram{STX, kStation, static_cast<std::uint8_t>(3 + data.size())};
    telegram.insert(telegram.end(), data.begin(), data.end());
    telegram.push_back(TelegramChecksum(telegram.data(), telegram.size()));
    factory_->last().queueReply(telegram);
}

void DialogBus::Ack() { factory_->last().queueReply({ACK}); }
void DialogBus::Nak() { factory_->last().queueReply({NAK}); }
void DialogBus::Silent() { factory_->last().queueReply({}); }

std::vector<std::string> DialogBus::Requests() const {
    std::vector<std::string> out;
    for (const Bytes& block : factory_->last().writes())
        if (block.size() > 1) out.push_back(HexOf(block));
    return out;
}

std::size_t DialogBus::PendingReplies() const { return factory_ ? factory_->last().pendingReplies() : 0; }

std::string DialogBus::Request(std::uint8_t code, std::initializer_list<std::uint8_t> data) {
    Bytes telegram{STX, kStation, static_cast<std::uint8_t>(4 + data.size()), code};
    telegram.insert(telegram.end(), data.begin(), data.end());
    telegram.push_back(TelegramChecksum(telegram.data(), telegram.size()));
    return HexOf(telegram);
}

int DialogBus::TransferErrors() const {
    int n = 0;
    for (const Shown& s : messages)
        if (s.message.text == QString::fromUtf8("Übertragungsfehler") && s.message.caption == QStringLiteral("Meldung"))
            ++n;
    return n;
}
