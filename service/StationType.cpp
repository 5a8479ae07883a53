#include "service/StationType.h"

#include <cstdio>
#include <cstdlib>

#include "link/QtvCommands.h"
#include "link/Sio.h"

std::uint16_t TypeCodeFromReport(std::uint16_t report) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04u", static_cast<unsigned>(report));
    return static_cast<std::uint16_t>(std::strtoul(hex, nullptr, 16) & 0xFFFF);
}

std::string TypeCodeText(std::uint16_t typeCode) {
    char text[16];
    std::snprintf(text, sizeof text, "QTV%.2X0-0%.2X", typeCode >> 8, typeCode & 0xFF);
    return text;
}

std::optional<std::uint16_t> TypeCodeFromText(const std::string& text) {
    unsigned high = 0, low = 0;
    char end = 0;
    if (text.size() != 10 || std::sscanf(text.c_str(), "QTV%2X0-0%2X%c", &high, &low, &end) != 2)
        return std::nullopt;
    const auto code = static_cast<std::uint16_t>(high << 8 | low);
    if (TypeCodeText(code) != text) return std::nullopt;
    return code;
}

std::optional<std::uint16_t> ReadTypeCode() {
    const std::uint16_t report = ReadID();
    if (SioErgebnis < 1 || report == 0) return std::nullopt;
    return TypeCodeFromReport(report);
}
