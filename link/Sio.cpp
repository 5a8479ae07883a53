#include "link/Sio.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <utility>

#include "link/BusWorker.h"
#include "link/LinkEvents.h"
#include "link/PortOpen.h"
#include "link/SioPort.h"
#include "link/TelegramExchange.h"
#include "platform/Clock.h"
#include "platform/ProcessHooks.h"

std::uint8_t BusAdresse = 0;
bool Broadcast = false;
std::uint8_t Internet = 0;
bool Negativ = false;
std::int32_t SioErgebnis = 0;
namespace {
ExchangeFailure g_lastFailure = ExchangeFailure::None;
}
ExchangeFailure LastExchangeFailure() { return g_lastFailure; }

std::uint8_t TeleBuffer[kRequestArea + kTeleAnswerArea] = {};
std::uint8_t FremdAntworten[32][kFremdRecord] = {};

namespace {

std::unique_ptr<SerialLine> g_commandSetLine;
LinkHooks g_hooks;
LinkTrace g_trace;
[[maybe_unused]] const bool kHooksHook = RegisterProcessHook(HookKind::Source, "link hooks", SnapshotOf(g_hooks));
[[maybe_unused]] const bool kTraceHook = RegisterProcessHook(HookKind::StandIn, "link trace", SnapshotOf(g_trace));

// In network mode up to 10000 attempts at the first reply byte are made; if every read of them
// waited its full time-out a silent station would hold the program for over 16 minutes. The
// whole wait is bounded instead by what the pauses between the attempts add up to (10000 x 10
// units, about 1.05 s, rounded up to 1.1 s) plus one read time-out of a single byte.
constexpr int kLocalReplyAttempts = 5;
constexpr int kNetworkReplyAttempts = 10000;
constexpr unsigned kNetworkPausesMs = 1100;
constexpr unsigned kSingleByteReadMs = kCommandSetTimeouts.readTotalConstant + kCommandSetTimeouts.readTotalMultiplier;

ExchangeRules CommandSetRules() {
    ExchangeRules rules;
    rules.answerArea = kTeleAnswerArea;
    rules.localMode = Internet == 0;
    rules.replyAttempts = Internet ? kNetworkReplyAttempts : kLocalReplyAttempts;
    rules.pauseBetweenAttempts = true;
    rules.replyWaitLimitMs = Internet ? kNetworkPausesMs + kSingleByteReadMs : 0;
    rules.waitBeforeRest = true;
    rules.trace = &g_trace;
    rules.lineTimeouts = kCommandSetTimeouts;
    return rules;
}

// A USB adapter that is unplugged and plugged in again comes back under the same port number.
// The exchanges reopen the command-set port on it by themselves, so that polling recovers
// without a restart. They try at most once a second: an open of a vanished device costs next to
// nothing (the polls are not made while the port is away), and a device that is back for a
// moment's outage carries values again within about a second.
constexpr std::uint64_t kReopenPauseSeconds = 1;

struct AdapterRecovery {
    std::uint8_t portNumber = 0;  // the number last given to InitSio
    bool inUse = false;           // InitSio was called and ReSetSio not since
    bool lost = false;            // the device went away and no reopen has succeeded yet
    std::uint64_t lastAttempt = 0;  // counter reading at the loss or at the last reopen
};
AdapterRecovery g_recovery;

void NoticeLostDevice() {
    if (!g_recovery.inUse || g_recovery.lost) return;
    if (!g_commandSetLine || !g_commandSetLine->deviceGone()) return;
    g_recovery.lost = true;
    g_recovery.lastAttempt = Counter().now();
    if (GetLinkEvents().portLost) GetLinkEvents().portLost(g_recovery.portNumber);
}

std::string DeviceName() { return g_commandSetLine ? g_commandSetLine->device() : std::string(); }

void Reopen() {
    g_recovery.lastAttempt = Counter().now();
    g_recovery.lost = !OpenPort(g_commandSetLine, g_recovery.portNumber, kCommandSetTimeouts);
}

void ReopenWhenDue() {
    if (!g_recovery.lost) return;
    const HiResCounter& counter = Counter();
    if (counter.now() - g_recovery.lastAttempt < kReopenPauseSeconds * counter.frequency()) return;
    Reopen();
    if (!g_recovery.lost && GetLinkEvents().portReopened)
        GetLinkEvents().portReopened(g_recovery.portNumber, DeviceName());
}

}  // namespace

bool InitSio(std::uint8_t portNumber) {
    assert(BusWorker::OnLinkThread());
    g_recovery = {portNumber, portNumber < kPortNumberLimit, false, 0};
    const bool opened = OpenPort(g_commandSetLine, portNumber, kCommandSetTimeouts);
    // An adapter that is not plugged in yet at start-up is treated like one that was lost: the
    // exchanges and ticks try it again every second. COM0 never opens, so it is not tried again.
    if (g_recovery.inUse && portNumber != 0 && !(g_commandSetLine && g_commandSetLine->isOpen())) {
        g_recovery.lost = true;
        g_recovery.lastAttempt = Counter().now();
    }
    if (!opened && GetLinkEvents().portNotOpened) GetLinkEvents().portNotOpened(portNumber);
    if (opened && GetLinkEvents().portOpened) GetLinkEvents().portOpened(portNumber, DeviceName());
    return opened;
}

void ChooseCommandSetPort(std::uint8_t portNumber) {
    assert(BusWorker::OnLinkThread());
    if (CommandSetPortOpen() && CommandSetPortHolds(portNumber)) return;
    InitSio(portNumber);
}

bool CommandSetPortOpen() {
    assert(BusWorker::OnLinkThread());
    return g_recovery.inUse && !g_recovery.lost && g_commandSetLine && g_commandSetLine->isOpen() &&
           !g_commandSetLine->deviceGone();
}

void ReSetSio() {
    assert(BusWorker::OnLinkThread());
    g_recovery.inUse = false;
    g_recovery.lost = false;
    ClosePort(g_commandSetLine.get());
}

SerialLine* CommandSetLine() { return g_commandSetLine.get(); }

int SioExchange() {
    assert(BusWorker::OnLinkThread());
    // The exit waits for no more than the exchange under way: an interrupted job sends no more,
    // and its failed exchanges are neither reported nor a reason to reopen the port.
    if (BusWorker::Interrupted()) return 0;
    NoticeLostDevice();
    ReopenWhenDue();
    TeleBuffer[0] = STX;
    TeleBuffer[1] = Broadcast ? kBroadcastAddress : BusAdresse;
    const ExchangeOutcome outcome = RunTelegramExchange(g_commandSetLine.get(), TeleBuffer, CommandSetRules());
    // Negativ tells the polling cycle whether the value just fetched was negative.
    if (outcome.answerTelegram) Negativ = false;
    if (outcome.foreign) RecordFremdAntwort(outcome.foreign->address, outcome.foreign->bytes);
    g_lastFailure = outcome.failure;
    NoticeLostDevice();
    ReportWrite(TeleBuffer, outcome.result != 0);
    return outcome.result;
}

void RecordFremdAntwort(std::uint8_t address, const std::vector<std::uint8_t>& bytes) {
    if (address >= 32) return;
    std::uint8_t* record = FremdAntworten[address];
    const std::size_t count = std::min<std::size_t>(bytes.size(), kFremdRecord - 1);
    std::copy_n(bytes.begin(), count, record);
    record[count] = 0;
}

void RetryCommandSetPort() {
    assert(BusWorker::OnLinkThread());
    NoticeLostDevice();
    ReopenWhenDue();
}

void ReclaimCommandSetPort(std::uint8_t portNumber) {
    assert(BusWorker::OnLinkThread());
    // COM0 never opens (see InitSio).
    if (portNumber != 0 && CommandSetPortHolds(portNumber)) Reopen();
}

bool CommandSetPortHolds(std::uint8_t portNumber) {
    return g_recovery.inUse && g_recovery.portNumber == portNumber;
}

LentCommandSetLine::LentCommandSetLine(const SerialTimeouts& timeouts) {
    assert(BusWorker::OnLinkThread());
    NoticeLostDevice();
    ReopenWhenDue();
    if (g_commandSetLine && g_commandSetLine->isOpen()) line_ = g_commandSetLine.get();
    if (line_) line_->setTimeouts(timeouts);
}

LentCommandSetLine::~LentCommandSetLine() {
    if (line_) line_->setTimeouts(kCommandSetTimeouts);
    NoticeLostDevice();
}

int Timer(unsigned n) {
    const HiResCounter& counter = Counter();
    const std::uint64_t ticksPerUnit = counter.frequency() / 95000;
    WaitForCounter(counter.now() + n * ticksPerUnit);
    return static_cast<int>(n);
}

void SetLinkHooks(LinkHooks hooks) { g_hooks = std::move(hooks); }

const LinkHooks& GetLinkHooks() { return g_hooks; }

void SetLinkTrace(LinkTrace trace) { g_trace = std::move(trace); }

void ResetLinkState() {
    assert(BusWorker::OnLinkThread());
    ReSetSio();
    g_commandSetLine.reset();
    g_recovery = {};
    BusAdresse = 0;
    Broadcast = false;
    Internet = 0;
    Negativ = false;
    SioErgebnis = 0;
    g_lastFailure = ExchangeFailure::None;
    std::memset(TeleBuffer, 0, sizeof TeleBuffer);
    std::memset(FremdAntworten, 0, sizeof FremdAntworten);
    SioPortNr = 0;
    SendeReserve = SioPort::kSendReserve;
    g_hooks = {};
    g_trace = {};
    SetLinkEvents({});
    SetSerialLineFactory({});
}
