#include "support/ScriptedBus.h"

#include "link/Sio.h"
#include "link/Telegram.h"

namespace {
constexpr int kReadValue = 0x31;
constexpr int kReadId = 0x30;
constexpr int kReadBroadcast = 0x61;

Bytes Word(std::uint16_t w) { return {static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w & 0xFF)}; }
}  // namespace

ScriptedBus::ScriptedBus() {
    lines_.setPrepare([this](FakeLine& line) {
        line.failOpen(portHeld);
        line.onEvent = [this, &line](const LineEvent& e) {
            if (e.kind == LineEvent::Write) onWrite(line, e.bytes);
        };
    });
}

// The link lets go of its lines while the script they report to is still whole.
ScriptedBus::~ScriptedBus() { ResetLinkState(); }

bool ScriptedBus::openPort() {
    Internet = 1;
    BusAdresse = kStation;
    return InitSio(1);
}

void ScriptedBus::answer(const Bytes& data) { script(AnswerTelegram(kStation, data)); }
void ScriptedBus::ack() { script({ACK}); }
void ScriptedBus::nak() { script({NAK}); }
void ScriptedBus::silent() { script({}); }

void ScriptedBus::script(const Bytes& reply) {
    line().queueReply(reply);
    ++scripted_;
}

std::size_t ScriptedBus::pendingReplies() const { return scripted_; }

std::vector<std::string> ScriptedBus::requests() const { return requests_; }

std::string ScriptedBus::lastRequest() const { return requests_.empty() ? std::string() : requests_.back(); }

std::vector<int> ScriptedBus::valueRequests() const {
    std::vector<int> out;
    for (const AskedRequest& r : asked_)
        if (r.code == kReadValue) out.push_back(r.address);
    return out;
}

void ScriptedBus::clear() {
    requests_.clear();
    asked_.clear();
    pcReply_.clear();
    anythingWritten_ = false;
}

std::string ScriptedBus::request(std::uint8_t code, const Bytes& data, std::uint8_t address) {
    return HexOf(RequestTelegram(address, code, data));
}

void ScriptedBus::onWrite(FakeLine& line, const Bytes& bytes) {
    if (bytes.empty()) return;
    anythingWritten_ = true;
    if (assembling_.empty() && bytes[0] != STX) {  // the PC's ACK or NAK to an answer
        pcReply_ = HexOf(bytes);
        return;
    }
    assembling_.insert(assembling_.end(), bytes.begin(), bytes.end());
    if (assembling_.size() < 3 || assembling_.size() < std::size_t(assembling_[2]) + 1) return;
    const Bytes frame = assembling_;
    assembling_.clear();
    pcReply_.clear();
    requests_.push_back(HexOf(frame));
    const int address = frame[1];
    const int code = frame.size() > 3 ? frame[3] : -1;
    asked_.push_back({address, code});
    if (scripted_ > 0) {
        --scripted_;  // the fake line hands out the scripted reply itself
        return;
    }
    answerStanding(line, address, code);
}

void ScriptedBus::answerStanding(FakeLine& line, int address, int code) {
    const auto it = stations.find(address);
    if (it == stations.end() || it->second.silent) return;
    const StandingStation& s = it->second;
    const auto a = static_cast<std::uint8_t>(address);
    const Bytes value = Word(static_cast<std::uint16_t>(s.value));
    if (code == kReadValue) line.feed(AnswerTelegram(a, value));
    if (code == kReadId) line.feed(AnswerTelegram(a, Word(s.idReport)));
    if (code == kReadBroadcast) line.feed(AnswerTelegram(a, {ACK, value[0], value[1]}));
}
