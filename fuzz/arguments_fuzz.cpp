// The command lines of qtvctl and qtvexport: any arguments (the input split at NUL bytes) are
// either taken or refused with a one-line reason, without a crash or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/qtvctl/Options.h"
#include "tools/qtvexport/Options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    }
    std::string error;
    const auto ctl = ParseOptions(args, error);
    if (!ctl && (error.empty() || error.find('\n') != std::string::npos)) std::abort();
    const ParsedOptions exported = ParseExportOptions(args);
    if (!exported.options && exported.error.empty()) std::abort();
    return 0;
}
