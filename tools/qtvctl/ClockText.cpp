#include "tools/qtvctl/ClockText.h"

namespace {

std::string Bcd(std::uint8_t byte) {
    const auto digit = [](unsigned half) { return half <= 9 ? static_cast<char>('0' + half) : '?'; };
    return {digit(byte >> 4), digit(byte & 0x0Fu)};
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::string ClockText(std::string_view command, std::uint8_t first, std::uint8_t second) {
    if (!command.starts_with("ReadRTC") && !command.starts_with("WriteRTC")) return {};
    if (EndsWith(command, "RTCZeit")) return "time " + Bcd(first) + ":" + Bcd(second);
    if (EndsWith(command, "RTCTag")) {
        static const char* const kDays[] = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                            "Friday", "Saturday", "Sunday"};
        if (command.starts_with("Write") && second > 6) return "day " + Bcd(first) + ", no weekday";
        const unsigned weekday = second & 0x07u;  // as a station's reading is taken
        return "day " + Bcd(first) + ", " + kDays[weekday == 7 ? 0 : weekday];
    }
    if (EndsWith(command, "RTCDatum")) return "date " + Bcd(first) + "." + Bcd(second) + " (month.year)";
    if (EndsWith(command, "RTCSecZyk")) return "seconds " + Bcd(first) + ", cycle " + std::to_string(second);
    return {};
}
