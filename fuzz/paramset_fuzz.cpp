// A parameter-set file is whatever the operator picks: arbitrary bytes are parsed whole, checked
// for a restore and written back, without a crash or a sanitizer report, and a set that reads
// without a bad entry holds only values of its parameters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "service/ParameterSet.h"
#include "service/StationParameters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto set = ParseParameterSet(std::string(reinterpret_cast<const char*>(data), size));
    if (!set) return 0;
    const bool restorable = BadEntries(*set).empty();
    (void)KeysWithoutValue(*set);
    const auto& parameters = StationParameters();
    for (std::size_t i = 0; i < parameters.size() && i < set->values.size(); ++i) {
        const SetValue& v = set->values[i];
        if (v.state == SetValue::State::Invalid && restorable) std::abort();
        if (v.state == SetValue::State::Value && !NormalizedValue(parameters[i], v.text)) std::abort();
    }
    return 0;
}
