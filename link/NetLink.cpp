#include "link/NetLink.h"

#include <cassert>
#include <cctype>
#include <vector>

#include "link/BusWorker.h"
#include "link/Sio.h"
#include "platform/Net.h"
#include "platform/Process.h"

namespace {

// The device server's TCP port that the redirector maps onto the local port number.
constexpr const char* kServerPort = "10001";

std::string DottedAddress(const Ipv4Address& a) {
    return std::to_string(a[0]) + '.' + std::to_string(a[1]) + '.' + std::to_string(a[2]) + '.' +
           std::to_string(a[3]);
}

// Only the exit code counts; a tool that cannot be started is a failed run (RunProcess: -1).
// The arguments go to the tool as a vector, so nothing the operator typed reaches a shell.
bool RunRedirector(const std::vector<std::string>& args, const std::string& workingDirectory) {
    return RunProcess({RedirectorTool(), args, workingDirectory}) == 0;
}

std::string CleanNumber(const std::string& number) {
    std::size_t i = 0;
    bool hadZero = false;
    while (i < number.size() && (number[i] == '0' || number[i] == ' ')) {
        hadZero = hadZero || number[i] == '0';
        ++i;
    }
    const std::string rest = number.substr(i);
    const bool restIsDigits = !rest.empty() && std::isdigit(static_cast<unsigned char>(rest[0]));
    return (hadZero && !restIsDigits) ? "0" + rest : rest;
}

std::string Trimmed(const std::string& text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

void Show(const LinkMessage& show, const std::string& text) {
    if (show) show(text);
}

}  // namespace

std::string CleanLocalIp(const std::string& lokalIP) {
    std::string cleaned;
    std::size_t from = 0;
    for (;;) {
        const std::size_t dot = lokalIP.find('.', from);
        cleaned += CleanNumber(lokalIP.substr(from, dot == std::string::npos ? std::string::npos : dot - from));
        if (dot == std::string::npos) return cleaned;
        cleaned += '.';
        from = dot + 1;
    }
}

std::string RedirectorTool() {
#ifdef _WIN32
    return ProgramBesideOrName("CprMgrCmd.EXE");
#else
    return ProgramBesideOrName("cprmgrcmd");
#endif
}

void SetupNetLink(bool internet, std::uint8_t sioNr, const std::string& hostName, std::string& lokalIP,
                  const std::string& workingDirectory, const LinkMessage& show) {
    assert(BusWorker::OnLinkThread());
    // The socket start-up and the test socket of the Windows program have no counterpart here:
    // name resolution needs neither, and there is nothing that could fail in their place.
    const std::string port = std::to_string(sioNr);
    std::string ipText;
    if (internet) {
        const auto address = ResolveHostIpv4(Trimmed(hostName));
        if (!address) {
            Show(show, "IP kann nicht ermittelt werden");
            return;
        }
        ipText = DottedAddress(*address);
    } else {
        lokalIP = CleanLocalIp(lokalIP);
        if (lokalIP == "0.0.0.0") return;
        ipText = lokalIP;
    }
    for (int run = 0; run < 2; ++run) {
        if (!RunRedirector({"remservice", port, "1"}, workingDirectory)) Show(show, "Service kann nicht gelöscht werden");
    }
    const bool added = RunRedirector({"addservice", port, ipText, kServerPort}, workingDirectory);
    // The removes took the old device away, so the command-set port takes the new one (or, when
    // the add failed, waits for it by its 5 s rule) before the message holds the thread.
    ReclaimCommandSetPort(sioNr);
    if (!added) Show(show, "IP kann nicht ermittelt werden");
}
