#include "panel/Windows1252.h"

#include <QList>
#include <QStringView>

namespace {
// Bytes 0x80..0x9F of Windows-1252; 0 where the code page leaves a byte unassigned.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char Encode(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == c) return char(0x80 + i);
    return '?';
}
}  // namespace

std::string ToWindows1252(const QString& text) {
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (char32_t c : QStringView(text).toUcs4()) out.push_back(Encode(c));
    return out;
}
