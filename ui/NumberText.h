#pragma once
// Numbers as the dialogs show and read them.

#include <QString>
#include <cstdint>
#include <optional>

// "% 0.4d": a blank for zero and positive numbers or '-', then at least four digits.
QString SignedFourDigits(int value);
// "%0.4d": at least four digits with leading zeros, '-' before negative numbers.
QString FourDigits(int value);

// The lenient reading of the relay and range dialogs: leading white space, an optional sign,
// the digits up to the first non-digit; no digits gives 0. Reduced modulo 65536. Never fails.
std::uint16_t LenientNumber(const QString& text);

// The toolkit's strict integer conversion: leading blanks and a sign are accepted, nothing
// else may follow the digits. Nothing when the text is not a whole number.
std::optional<std::int32_t> StrictInteger(const QString& text);
// The same, showing the conversion error "'%s' ist kein gültiger Integerwert" on failure.
std::optional<std::int32_t> StrToIntOrComplain(const QString& text);
