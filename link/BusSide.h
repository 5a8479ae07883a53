#pragma once
// The bus's side of the program: the worker that runs every exchange (link/BusWorker) and the
// state that only its jobs touch besides the link's module state: the port object and the
// settings the link works with (port number, host name, local address, and the folder the
// redirector's link lands in). Whoever holds a BusSide reaches that state by posting a job
// (PostWithState); what it shows of it is its own copy, taken from a job's result (Settings()).
//
// Before Start() there is no worker: a job runs at once on the calling thread, which owns the
// link then (the start-up). After Stop() every job is refused, and the state is the calling
// thread's again (the end).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/BusWorker.h"
#include "link/NetLink.h"

class SioPort;
struct PortChoice;

// The network link's settings as the configuration file keeps them.
struct LinkSettings {
    std::uint8_t sioNr = 1;
    std::uint8_t internet = 0;  // the link's Internet (link/Sio.h)
    std::string hostName;
    std::string lokalIP;
};

class BusState {
public:
    // Internet takes the settings' network mode.
    BusState(const LinkSettings& settings, std::string folder);
    ~BusState();
    BusState(const BusState&) = delete;
    BusState& operator=(const BusState&) = delete;

    LinkSettings Settings() const;  // as the link has them now
    SioPort* PortObject() const { return portObject_.get(); }

    // The network link registered again for the port number (SetupNetLink): at the start-up, in
    // the port object's recovery. The local address is cleaned on the way.
    void SetupNetLink(bool internet, const LinkMessage& show);
    // The port dialog's confirmed choice taken over (ApplyPortChoice).
    void ApplyPortChoice(const PortChoice& choice, const LinkMessage& show);
    // At the end: the port object gives its device back.
    void DropPortObject();

private:
    std::uint8_t sioNr_;
    std::string hostName_;
    std::string lokalIP_;
    std::string folder_;
    std::unique_ptr<SioPort> portObject_;
};

class BusSide {
public:
    using StateJob = std::function<void(BusState&)>;

    BusSide(const LinkSettings& settings, std::string folder);
    ~BusSide();  // Stop()
    BusSide(const BusSide&) = delete;
    BusSide& operator=(const BusSide&) = delete;

    // From here on the state belongs to the worker's jobs: a thread of its own in the program,
    // inline (every job run before Post returns) in tests and tools.
    void Start(BusWorker::Mode mode);
    // For the exit: the worker ends (BusWorker::stop) and the state is the calling thread's
    // again. Must not be called from a job.
    void Stop();

    bool Post(BusWorker::Job job, const CancelToken& token = {}, BusWorker::AtExit atExit = BusWorker::AtExit::Drop);
    bool PostWithState(StateJob job, const CancelToken& token = {},
                       BusWorker::AtExit atExit = BusWorker::AtExit::Drop);

    // The state, for the thread that owns it now: inside a job (the port dialog's choice, the port
    // object's recovery, the humidity dialog's exchange), or before the start and after the stop
    // (the end drops the port object). Asserts that in debug builds.
    BusState& Here();

    // A worker has started and not stopped yet.
    bool Running() const { return worker_ != nullptr && !stopped_; }
    // ... on a thread of its own.
    bool Threaded() const { return Running() && mode_ == BusWorker::Mode::Threaded; }
    bool Busy() const { return Running() && worker_->busy(); }
    BusWorker& Worker() { return *worker_; }

private:
    BusState state_;
    std::unique_ptr<BusWorker> worker_;
    BusWorker::Mode mode_ = BusWorker::Mode::Threaded;
    bool stopped_ = false;
};
