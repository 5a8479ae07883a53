#include "link/BusSide.h"

#include <cassert>
#include <utility>

#include "link/PortSelection.h"
#include "link/Sio.h"
#include "link/SioPort.h"

BusState::BusState(const LinkSettings& settings, std::string folder)
    : sioNr_(settings.sioNr), hostName_(settings.hostName), lokalIP_(settings.lokalIP), folder_(std::move(folder)) {
    Internet = settings.internet;
}

BusState::~BusState() = default;

LinkSettings BusState::Settings() const { return {sioNr_, Internet, hostName_, lokalIP_}; }

void BusState::SetupNetLink(bool internet, const LinkMessage& show) {
    ::SetupNetLink(internet, sioNr_, hostName_, lokalIP_, folder_, show);
}

void BusState::ApplyPortChoice(const PortChoice& choice, const LinkMessage& show) {
    PortSettings settings{sioNr_, Internet, hostName_, lokalIP_, portObject_};
    ::ApplyPortChoice(choice, settings, folder_, show);
}

void BusState::DropPortObject() { portObject_.reset(); }

BusSide::BusSide(const LinkSettings& settings, std::string folder) : state_(settings, std::move(folder)) {}

BusSide::~BusSide() { Stop(); }

void BusSide::Start(BusWorker::Mode mode) {
    mode_ = mode;
    worker_ = std::make_unique<BusWorker>(mode);
}

void BusSide::Stop() {
    if (!worker_ || stopped_) return;
    worker_->stop();
    stopped_ = true;
}

bool BusSide::Post(BusWorker::Job job, const CancelToken& token, BusWorker::AtExit atExit) {
    if (!worker_) {
        // The start-up: the link is this thread's.
        if (!token.cancelled()) job();
        return true;
    }
    return worker_->post(std::move(job), token, atExit);
}

bool BusSide::PostWithState(StateJob job, const CancelToken& token, BusWorker::AtExit atExit) {
    return Post([this, job = std::move(job)] { job(state_); }, token, atExit);
}

BusState& BusSide::Here() {
    assert(BusWorker::OnLinkThread());
    return state_;
}
