#include "link/SioPort.h"

#include <cassert>

#include "link/BusWorker.h"
#include "link/LinkEvents.h"
#include "link/PortOpen.h"
#include "link/Sio.h"
#include "link/TelegramExchange.h"

std::uint8_t SioPortNr = 0;
std::int16_t SendeReserve = SioPort::kSendReserve;

namespace {

// The port object waits for the first reply byte with 25 reads in a row (81 ms each), no pause.
constexpr int kReplyAttempts = 25;
// Ports 1 and 2 are the PC's own; higher numbers are the redirector's virtual ports.
constexpr std::uint8_t kLastLocalPort = 2;

static_assert(SioPort::kRequestArea == kRequestArea, "both exchanges build the request alike");

ExchangeRules PortObjectRules() {
    ExchangeRules rules;
    rules.answerArea = SioPort::kAnswerArea;
    rules.localMode = Internet == 0;
    rules.replyAttempts = kReplyAttempts;
    rules.pauseBetweenAttempts = false;
    rules.replyWaitLimitMs = 0;
    rules.waitBeforeRest = false;
    rules.lineTimeouts = kPortObjectTimeouts;
    return rules;
}

}  // namespace

SioPort::SioPort(std::uint8_t portNumber) {
    assert(BusWorker::OnLinkThread());
    SioPortNr = portNumber;
    open(portNumber);
    SendeReserve = kSendReserve;
}

SioPort::~SioPort() {
    assert(BusWorker::OnLinkThread());
    closeOwnLine();
}

bool SioPort::open(std::uint8_t portNumber) {
    sharesCommandSetPort_ = CommandSetPortHolds(portNumber);
    if (!sharesCommandSetPort_) return OpenPort(line_, portNumber, kPortObjectTimeouts);
    closeOwnLine();
    const SerialLine* commandSet = CommandSetLine();
    return commandSet && commandSet->isOpen();
}

void SioPort::closeOwnLine() {
    ClosePort(line_.get());
    line_.reset();
}

bool SioPort::Reopen() {
    assert(BusWorker::OnLinkThread());
    return open(SioPortNr);
}

ExchangeOutcome SioPort::run() {
    if (!sharesCommandSetPort_) return RunTelegramExchange(line_.get(), Buffer, PortObjectRules());
    const LentCommandSetLine lent(kPortObjectTimeouts);
    return RunTelegramExchange(lent.line(), Buffer, PortObjectRules());
}

int SioPort::Exchange() {
    assert(BusWorker::OnLinkThread());
    if (BusWorker::Interrupted()) return 0;  // as SioExchange: nothing more of an interrupted job
    if (Broadcast) Buffer[1] = kBroadcastAddress;
    const ExchangeOutcome outcome = run();
    // Negativ belongs to the command-set exchange; the port object leaves it alone.
    if (outcome.foreign) RecordFremdAntwort(outcome.foreign->address, outcome.foreign->bytes);
    ReportWrite(Buffer, outcome.result != 0);
    if (outcome.sendFailed) {
        recover();
        return 0;
    }
    return outcome.result;
}

bool SioPort::Command(std::uint8_t code, std::uint8_t address) {
    Buffer[0] = STX;
    Buffer[1] = address;
    Buffer[3] = code;
    return Exchange() != 0;
}

// After 20 failed sends the port is closed, the redirector's virtual port registered again when
// it is one, and the port reopened, with the polling cycle stopped meanwhile. A port object that
// shares the command-set port's line has no handle of its own to close; the link setup gives the
// command-set port its device back, and the reopening shares it again.
void SioPort::recover() {
    const std::int16_t reserve = SendeReserve;
    --SendeReserve;
    if (reserve != 0) return;
    const LinkHooks& hooks = GetLinkHooks();
    if (hooks.stopPolling) hooks.stopPolling();
    closeOwnLine();
    if (SioPortNr > kLastLocalPort && hooks.setupNetLink) hooks.setupNetLink(Internet != 0);
    Reopen();
    if (hooks.restartPolling) hooks.restartPolling();
    SendeReserve = kSendReserve;
}
