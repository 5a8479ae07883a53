#include "StationBus.h"

#include "link/Telegram.h"

namespace {
Bytes Answer(int address, const Bytes& data) {
    Bytes a{STX, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(3 + data.size())};
    a.insert(a.end(), data.begin(), data.end());
    a.push_back(TelegramChecksum(a.data(), a.size()));
    return a;
}
Bytes Word(std::uint16_t w) { return {static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w & 0xFF)}; }
}  // namespace

StationBus::StationBus() {
    lines_.setPrepare([this](FakeLine& line) {
        line.failOpen(portHeld);
        line.onEvent = [this, &line](const LineEvent& e) {
            if (e.kind == LineEvent::Write) onWrite(line, e.bytes);
        };
    });
}

std::vector<int> StationBus::valueRequests() const {
    std::vector<int> out;
    for (const SeenRequest& r : requests)
        if (r.code == 0x31) out.push_back(r.address);
    return out;
}

void StationBus::onWrite(FakeLine& line, const Bytes& bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    if (pending_.empty() || pending_[0] != STX) {  // the PC's ACK or NAK
        pending_.clear();
        return;
    }
    if (pending_.size() < 3 || pending_.size() < std::size_t(pending_[2]) + 1) return;
    const int address = pending_[1];
    const int code = pending_[3];
    pending_.clear();
    requests.push_back({address, code});
    const auto it = stations.find(address);
    if (it == stations.end() || it->second.silent) return;
    const SimStation& s = it->second;
    const auto value = static_cast<std::uint16_t>(s.value);
    if (code == 0x31) line.feed(Answer(address, Word(value)));
    if (code == 0x30) line.feed(Answer(address, Word(s.idReport)));
    if (code == 0x61) {
        Bytes data{ACK};
        const Bytes w = Word(value);
        data.insert(data.end(), w.begin(), w.end());
        line.feed(Answer(address, data));
    }
}
