// The simulated stations must never crash or hang on what a PC (or line noise) sends them, nor
// on a bus file an operator writes. Input: pairs of (gap, byte) fed to the default bus, whose
// answers are drained as they fall due; the same bytes are also read as a bus file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sim/BusFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BusConfig config = DefaultBusConfig();
    Bus bus(config.settings);
    for (const Station& s : config.stations) bus.add(s);

    Moment now;
    now.localSeconds = 1'796'000'000;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        // The gap byte spreads the bytes from back to back up to beyond the resynchronising silence.
        now.ms += (data[i] & 0x3F) * 0.5;
        bus.receive(&data[i + 1], 1, now);
        (void)bus.takeDue(now.ms);
    }
    now.ms += 1000;
    (void)bus.takeDue(now.ms);

    BusConfig fromFile;
    (void)ParseBusFile(std::string_view(reinterpret_cast<const char*>(data), size), fromFile);
    return 0;
}
