#include "ui/NumberText.h"

#include "ui/Messages.h"

#include <cstdlib>

QString SignedFourDigits(int value) {
    const long long magnitude = std::llabs(static_cast<long long>(value));
    return QString(value < 0 ? QChar('-') : QChar(' ')) + QStringLiteral("%1").arg(magnitude, 4, 10, QChar('0'));
}

QString FourDigits(int value) {
    const long long magnitude = std::llabs(static_cast<long long>(value));
    return (value < 0 ? QStringLiteral("-") : QString()) + QStringLiteral("%1").arg(magnitude, 4, 10, QChar('0'));
}

std::uint16_t LenientNumber(const QString& text) {
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < n && (text[i] == QChar('+') || text[i] == QChar('-'))) {
        negative = text[i] == QChar('-');
        ++i;
    }
    // Only the low 16 bits matter, so the digits are accumulated modulo 65536 and never overflow.
    std::uint32_t value = 0;
    while (i < n && text[i] >= QChar('0') && text[i] <= QChar('9')) {
        value = (value * 10 + static_cast<std::uint32_t>(text[i].unicode() - '0')) & 0xFFFFu;
        ++i;
    }
    if (negative) value = (0x10000u - value) & 0xFFFFu;
    return static_cast<std::uint16_t>(value);
}

std::optional<std::int32_t> StrictInteger(const QString& text) {
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && text[i] == QChar(' ')) ++i;
    bool negative = false;
    if (i < n && (text[i] == QChar('+') || text[i] == QChar('-'))) {
        negative = text[i] == QChar('-');
        ++i;
    }
    if (i == n) return std::nullopt;
    long long value = 0;
    for (; i < n; ++i) {
        if (text[i] < QChar('0') || text[i] > QChar('9')) return std::nullopt;
        value = value * 10 + (text[i].unicode() - '0');
        if (value > 2147483648LL) return std::nullopt;  // beyond a 32-bit integer
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> StrToIntOrComplain(const QString& text) {
    auto value = StrictInteger(text);
    if (!value) ShowConversionError(text);
    return value;
}
