#pragma once
// The text a panel shows for a measured value: sign place, digits with the decimal point, unit.

#include <QString>
#include <cstdint>

// magnitude: the value with its sign taken off (0..32768); negative: the sign that was taken off.
// komma: the device's decimal-point code (digits behind the point); typGruppe: the device group,
// whose '2' exchanges the codes 1 and 3. 32767 is the out-of-range mark (" Ueber" / " Unter").
QString FormatValueText(int magnitude, bool negative, std::uint8_t komma, std::uint8_t typGruppe,
                        const QString& benennung);

// The digits behind the point that code and group give.
int DigitsBehindPoint(std::uint8_t komma, std::uint8_t typGruppe);
