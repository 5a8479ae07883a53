#include "link/SioPort.h"

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
    rules.byteByByte = Internet == 0;
    rules.replyAttempts = kReplyAttempts;
    rules.pauseBetweenAttempts = false;
    rules.replyWaitLimitMs = 0;
    rules.waitBeforeRest = false;
    rules.clearNegativ = false;
    return rules;
}

}  // namespace

SioPort::SioPort(std::uint8_t portNumber) {
    SioPortNr = portNumber;
    open(portNumber);
    SendeReserve = kSendReserve;
}

SioPort::~SioPort() { ClosePort(line_.get()); }

bool SioPort::open(std::uint8_t portNumber) { return OpenPort(line_, portNumber, kPortObjectTimeouts); }

bool SioPort::Reopen() { return open(SioPortNr); }

int SioPort::Exchange() {
    if (Broadcast) Buffer[1] = kBroadcastAddress;
    const ExchangeOutcome outcome = RunTelegramExchange(line_.get(), Buffer, PortObjectRules());
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
// it is one, and the port reopened, with the polling cycle stopped meanwhile.
void SioPort::recover() {
    const std::int16_t reserve = SendeReserve;
    --SendeReserve;
    if (reserve != 0) return;
    const LinkHooks& hooks = GetLinkHooks();
    if (hooks.stopPolling) hooks.stopPolling();
    ClosePort(line_.get());
    if (SioPortNr > kLastLocalPort && hooks.setupNetLink) hooks.setupNetLink(Internet != 0);
    Reopen();
    if (hooks.restartPolling) hooks.restartPolling();
    SendeReserve = kSendReserve;
}
