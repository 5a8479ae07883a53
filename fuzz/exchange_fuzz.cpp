// Whatever a line hands back, both exchanges end, never read or write outside their buffers, and
// give 0 or 1. The first input byte chooses the mode and the command; the rest is what the line
// delivers, cut into the reads the exchange makes.
#include <cstddef>
#include <cstdint>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "link/SioPort.h"
#include "platform/Clock.h"
#include "support/FakeLine.h"

namespace {
// A counter that races ahead, so the busy waits of the exchange cost nothing here.
std::uint64_t g_ticks = 0;
void InstallFastCounter() {
    SetCounter(HiResCounter{[] { return std::uint64_t{1'000'000'000}; }, [] { return g_ticks += 5'000'000; }});
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    InstallFastCounter();
    const std::uint8_t mode = data[0];
    const Bytes answer(data + 1, data + size);

    FakeLineFactory factory([&](FakeLine& line) { line.queueReply(answer); });
    Internet = (mode & 1) ? 1 : 0;
    Broadcast = (mode & 2) != 0;
    BusAdresse = static_cast<std::uint8_t>((mode >> 2) & 0x1F);
    InitSio(1);
    std::uint8_t area[4] = {};
    int result = 0;
    switch (mode >> 6) {
    case 0: result = ReadMWert() != 0 || SioErgebnis; break;
    case 1: result = ReadDTxt(area); break;
    case 2: result = ReadBroadcast(); break;
    default: result = WriteSP1Wert(500); break;
    }
    (void)result;
    if (SioErgebnis != 0 && SioErgebnis != 1) __builtin_trap();

    SioPort port(2);
    port.Buffer[2] = 4;
    const int portResult = port.Command(0x42, BusAdresse);
    if (portResult != 0 && portResult != 1) __builtin_trap();
    ReSetSio();
    Broadcast = false;
    Internet = 0;
    return 0;
}
