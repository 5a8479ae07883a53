#include "mainwindow/ValueText.h"

#include "mainwindow/TypeGroups.h"

namespace {
constexpr int kOutOfRange = 32767;
}  // namespace

int DigitsBehindPoint(std::uint8_t komma, std::uint8_t typGruppe) {
    if (typGruppe == kTypGruppeZwei) {
        if (komma == 1) return 3;
        if (komma == 3) return 1;
    }
    // Only the codes 0..3 name a point; anything else is shown without one.
    return komma <= 3 ? komma : 0;
}

QString FormatValueText(int magnitude, bool negative, std::uint8_t komma, std::uint8_t typGruppe,
                        const QString& benennung) {
    QString text;
    if (magnitude == kOutOfRange) {
        text = negative ? QStringLiteral(" Unter") : QStringLiteral(" Ueber");
    } else {
        QString digits = QString::asprintf("%.4d", magnitude);  // "%0.4d": at least four digits
        // Counted from the right, so that a fifth digit stays in front of the point.
        const int d = DigitsBehindPoint(komma, typGruppe);
        if (d != 0) digits.insert(digits.size() - d, QLatin1Char('.'));
        text = (negative ? QStringLiteral("-") : QStringLiteral(" ")) + digits;
    }
    return text + QLatin1Char(' ') + benennung;
}
