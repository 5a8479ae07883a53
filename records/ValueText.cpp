#include "records/ValueText.h"

#include <cstdio>

namespace {
constexpr int kMaxDigits = 9;  // the bus gives at most five; more would not fit the number
constexpr int kOutOfRange = 32767;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with at most one point between digits, then the blank before the unit.
std::optional<ValueText> ParseNumber(std::string_view rest, bool negative) {
    ValueText v;
    v.negative = negative;
    std::size_t i = 0;
    int digits = 0;
    bool point = false;
    for (; i < rest.size() && rest[i] != ' '; ++i) {
        const char c = rest[i];
        if (IsDigit(c)) {
            if (++digits > kMaxDigits) return std::nullopt;
            v.scaled = v.scaled * 10 + (c - '0');
            if (point) ++v.decimals;
        } else if (c == '.' && !point && digits > 0) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || (point && v.decimals == 0) || i == rest.size()) return std::nullopt;
    v.unit = rest.substr(i + 1);
    return v;
}
}  // namespace

int DigitsBehindPoint(std::uint8_t komma, std::uint8_t typGruppe) {
    if (typGruppe == kTypGruppeZwei) {
        if (komma == 1) return 3;
        if (komma == 3) return 1;
    }
    // Only the codes 0..3 name a point; anything else is shown without one.
    return komma <= 3 ? komma : 0;
}

std::string FormatValueText(int magnitude, bool negative, std::uint8_t komma, std::uint8_t typGruppe,
                            std::string_view benennung) {
    std::string text;
    if (magnitude == kOutOfRange) {
        text = negative ? " Unter" : " Ueber";
    } else {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%.4d", magnitude);  // "%0.4d": at least four digits
        std::string number = digits;
        // Counted from the right, so that a fifth digit stays in front of the point.
        const int d = DigitsBehindPoint(komma, typGruppe);
        if (d != 0) number.insert(number.size() - static_cast<std::size_t>(d), 1, '.');
        text = (negative ? "-" : " ") + number;
    }
    return text + ' ' + std::string(benennung);
}

double ValueText::Value() const {
    if (kind != ValueKind::Number) return 0.0;
    // One division, correctly rounded: "0.06" reads as the double nearest to 0.06.
    static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double v = double(scaled) / kPowers[decimals < 10 ? decimals : 9];
    return negative ? -v : v;
}

std::optional<ValueText> ParseValueText(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const char sign = text.front();
    if (sign != ' ' && sign != '-') return std::nullopt;
    const std::string_view rest = text.substr(1);
    if (sign == ' ') {
        for (auto [word, kind] : {std::pair{std::string_view("Ueber "), ValueKind::Over},
                                  std::pair{std::string_view("Unter "), ValueKind::Under}}) {
            if (rest.substr(0, word.size()) == word) {
                ValueText v;
                v.kind = kind;
                v.negative = kind == ValueKind::Under;
                v.unit = rest.substr(word.size());
                return v;
            }
        }
    }
    return ParseNumber(rest, sign == '-');
}

std::optional<RecordLine> ParseRecordLine(std::string_view line) {
    RecordLine r;
    int* fields[3] = {&r.hour, &r.minute, &r.second};
    std::size_t i = 0;
    for (int f = 0; f < 3; ++f) {
        int digits = 0;
        while (i < line.size() && IsDigit(line[i]) && digits < 2) {
            *fields[f] = *fields[f] * 10 + (line[i] - '0');
            ++digits;
            ++i;
        }
        if (digits == 0 || (f > 0 && digits != 2)) return std::nullopt;
        if (f < 2) {
            if (i >= line.size() || line[i] != ':') return std::nullopt;
            ++i;
        }
    }
    if (r.hour > 23 || r.minute > 59 || r.second > 59) return std::nullopt;
    const auto value = ParseValueText(line.substr(i));
    if (!value) return std::nullopt;
    r.value = *value;
    return r;
}
