#include "panel/Qtv3590.h"

#include <QApplication>
#include <QPalette>

namespace {
constexpr TColor kSystemColour = 0x80000000u;

// The few system colours the program uses, taken from the toolkit's current palette.
QColor SystemColour(unsigned index) {
    const QPalette p = QApplication::palette();
    switch (index) {
    case 5: return p.color(QPalette::Base);         // window background
    case 8: return p.color(QPalette::Text);         // window text
    case 13: return p.color(QPalette::Highlight);
    case 14: return p.color(QPalette::HighlightedText);
    case 18: return p.color(QPalette::ButtonText);
    default: return p.color(QPalette::Button);      // 15: button face, and anything unknown
    }
}
}  // namespace

QColor ToQColor(TColor c) {
    if (c & kSystemColour) return SystemColour(c & 0xFFu);
    return QColor(int(c & 0xFFu), int((c >> 8) & 0xFFu), int((c >> 16) & 0xFFu));
}

TColor FromQColor(const QColor& c) {
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}
