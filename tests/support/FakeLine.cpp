#include "support/FakeLine.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <stdexcept>

#include "link/Telegram.h"

Bytes Hex(std::string_view hex) {
    Bytes out;
    int high = -1;
    for (char c : hex) {
        if (std::isspace(static_cast<unsigned char>(c))) continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            throw std::invalid_argument("Hex: not a hex digit in \"" + std::string(hex) + "\"");
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0) throw std::invalid_argument("Hex: odd number of digits");
    return out;
}

std::string HexOf(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

namespace {
// Built in place, so that the telegram never grows out of a smaller buffer.
Bytes WithChecksum(std::initializer_list<std::uint8_t> head, const Bytes& data) {
    Bytes t;
    t.reserve(head.size() + data.size() + 1);
    for (std::uint8_t b : head) t.push_back(b);
    for (std::uint8_t b : data) t.push_back(b);
    t.push_back(TelegramChecksum(t.data(), t.size()));
    return t;
}
}  // namespace

Bytes AnswerTelegram(std::uint8_t address, const Bytes& data) {
    return WithChecksum({STX, address, static_cast<std::uint8_t>(3 + data.size())}, data);
}

Bytes RequestTelegram(std::uint8_t address, std::uint8_t code, const Bytes& data) {
    return WithChecksum({STX, address, static_cast<std::uint8_t>(4 + data.size()), code}, data);
}

// --- Script ------------------------------------------------------------------------------------

void FakeLine::feed(const Bytes& bytes) { readable_.insert(readable_.end(), bytes.begin(), bytes.end()); }

void FakeLine::queueReply(const Bytes& bytes, int silentReads) { replies_.push_back({bytes, silentReads}); }

void FakeLine::releaseReply() {
    if (replies_.empty()) return;
    Reply reply = std::move(replies_.front());
    replies_.pop_front();
    readable_.insert(readable_.end(), reply.bytes.begin(), reply.bytes.end());
    silentReads_ = reply.silentReads;
}

// --- Observation -------------------------------------------------------------------------------

std::vector<LineEvent> FakeLine::eventsOf(LineEvent::Kind kind) const {
    std::vector<LineEvent> out;
    std::copy_if(events_.begin(), events_.end(), std::back_inserter(out),
                 [kind](const LineEvent& e) { return e.kind == kind; });
    return out;
}

std::vector<Bytes> FakeLine::writes() const {
    std::vector<Bytes> out;
    for (const LineEvent& e : events_)
        if (e.kind == LineEvent::Write) out.push_back(e.bytes);
    return out;
}

Bytes FakeLine::written() const {
    Bytes out;
    for (const LineEvent& e : events_)
        if (e.kind == LineEvent::Write) out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    return out;
}

int FakeLine::readCount() const {
    return static_cast<int>(std::count_if(events_.begin(), events_.end(),
                                          [](const LineEvent& e) { return e.kind == LineEvent::Read; }));
}

int FakeLine::emptyReadCount() const {
    return static_cast<int>(std::count_if(events_.begin(), events_.end(), [](const LineEvent& e) {
        return e.kind == LineEvent::Read && e.result == 0;
    }));
}

std::vector<bool> FakeLine::rtsSwitches() const {
    std::vector<bool> out;
    for (const LineEvent& e : events_)
        if (e.kind == LineEvent::Rts) out.push_back(e.on);
    return out;
}

void FakeLine::log(LineEvent event) {
    events_.push_back(std::move(event));
    if (onEvent) onEvent(events_.back());
}

// --- SerialLine --------------------------------------------------------------------------------

bool FakeLine::open(unsigned portNumber) {
    port_ = portNumber;
    open_ = !failOpen_ && !gone_;
    LineEvent e{LineEvent::Open, {}, open_ ? 1 : 0};
    e.port = portNumber;
    log(e);
    return open_;
}

bool FakeLine::configure() {
    const bool ok = open_ && !gone_ && !failConfigure_;
    log({LineEvent::Configure, {}, ok ? 1 : 0});
    return ok;
}

void FakeLine::setTimeouts(const SerialTimeouts& timeouts) {
    timeouts_ = timeouts;
    LineEvent e{LineEvent::SetTimeouts};
    e.timeouts = timeouts;
    log(e);
}

long FakeLine::read(std::uint8_t* buffer, std::size_t n) {
    LineEvent e{LineEvent::Read};
    e.requested = n;
    lastWasRead_ = true;
    if (!open_ || gone_) {
        e.result = -1;
    } else if (silentReads_ > 0) {
        --silentReads_;
    } else {
        const std::size_t count = std::min(n, readable_.size());
        for (std::size_t i = 0; i < count; ++i) {
            buffer[i] = readable_.front();
            e.bytes.push_back(readable_.front());
            readable_.pop_front();
        }
        e.result = static_cast<long>(count);
    }
    log(e);
    return e.result;
}

bool FakeLine::write(const std::uint8_t* buffer, std::size_t n) {
    ++writeCount_;
    const bool scriptedFailure =
        failAllWrites_ || std::find(failWrites_.begin(), failWrites_.end(), writeCount_) != failWrites_.end();
    const bool ok = open_ && !gone_ && !scriptedFailure;
    LineEvent e{LineEvent::Write, Bytes(buffer, buffer + n), ok ? 1 : 0};
    if (ok && n > 0 && buffer[0] == STX && lastWasRead_) releaseReply();
    lastWasRead_ = false;
    log(e);
    return ok;
}

void FakeLine::setRts(bool on) {
    LineEvent e{LineEvent::Rts};
    e.on = on;
    log(e);
}

void FakeLine::close() {
    open_ = false;
    log({LineEvent::Close});
}

// --- Factory -----------------------------------------------------------------------------------

namespace {
// The link owns the line it is given and drops it when it closes; the factory keeps the fake
// itself, so a test can still read its log afterwards.
class SharedFakeLine : public SerialLine {
public:
    explicit SharedFakeLine(std::shared_ptr<FakeLine> line) : line_(std::move(line)) {}
    bool open(unsigned n) override { return line_->open(n); }
    bool configure() override { return line_->configure(); }
    void setTimeouts(const SerialTimeouts& t) override { line_->setTimeouts(t); }
    long read(std::uint8_t* b, std::size_t n) override { return line_->read(b, n); }
    bool write(const std::uint8_t* b, std::size_t n) override { return line_->write(b, n); }
    void setRts(bool on) override { line_->setRts(on); }
    void close() override { line_->close(); }
    bool isOpen() const override { return line_->isOpen(); }
    bool deviceGone() const override { return line_->deviceGone(); }

private:
    std::shared_ptr<FakeLine> line_;
};
}  // namespace

FakeLineFactory::FakeLineFactory(std::function<void(FakeLine&)> prepare) : prepare_(std::move(prepare)) {
    SetSerialLineFactory([this]() -> std::unique_ptr<SerialLine> {
        auto line = std::make_shared<FakeLine>();
        if (prepare_) prepare_(*line);
        lines_.push_back(line);
        return std::make_unique<SharedFakeLine>(line);
    });
}

FakeLineFactory::~FakeLineFactory() { SetSerialLineFactory({}); }
