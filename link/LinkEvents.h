#pragma once
// What the bus link tells whoever listens (the program's event log): the fate of the command-set
// port, every write a station was sent, whichever exchange carried it, and a job on the bus's
// thread that failed with an exception. The link itself keeps no record; without a listener
// nothing happens.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct WrittenParameter {
    std::uint8_t address = 0;  // the address the request went to (0x20: every station)
    std::uint8_t code = 0;    // the write code (bit 7 set)
    const std::uint8_t* data = nullptr;
    std::size_t dataCount = 0;
    bool ok = false;  // the station acknowledged it (in broadcast: it was sent)
};

struct LinkEvents {
    // `device`: what the line opened (SerialLine::device), so that the log says which device
    // carries the bus; empty where the line names none.
    using PortOpened = std::function<void(std::uint8_t portNumber, const std::string& device)>;
    PortOpened portOpened;                                       // InitSio opened it
    std::function<void(std::uint8_t portNumber)> portNotOpened;  // InitSio failed
    std::function<void(std::uint8_t portNumber)> portLost;      // the device went away
    PortOpened portReopened;                                     // opened again after a failure
    std::function<void(const WrittenParameter&)> written;
    // A job of the BusWorker threw: what the exception said ("" when it was no std::exception).
    // The job has ended; the jobs behind it run.
    std::function<void(const std::string& what)> jobFailed;
};

void SetLinkEvents(LinkEvents events);  // empty members: not reported
const LinkEvents& GetLinkEvents();

// For the exchanges: reports a write request (bit 7 of the code set) that has just been run.
// request points at the telegram (STX, address, L, code, data).
void ReportWrite(const std::uint8_t* request, bool ok);
// For the BusWorker: reports a job that threw.
void ReportJobFailure(const std::string& what);
