#include "dialogs/NumberMaskEdit.h"

#include <QRegularExpression>
#include <algorithm>

namespace {
// Qt's mask letters: '#' digit or sign, optional; '0' digit, optional; blanks shown as spaces.
QString MaskFor(int places) { return QStringLiteral("#") + QString(places - 1, QChar('0')) + QStringLiteral("; "); }

bool FitsANumberMask(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^[ +-]?[0-9 ]*$"));
    return number.match(text).hasMatch();
}
}  // namespace

TNumberMaskEdit::TNumberMaskEdit(QWidget* parent) : QLineEdit(parent) { setInputMask(MaskFor(kPlaces)); }

void TNumberMaskEdit::SetWholeText(const QString& text) {
    if (!FitsANumberMask(text)) {
        setInputMask(QString());
        setMaxLength(std::max(kPlaces, static_cast<int>(text.size())));
        setText(text);
        return;
    }
    const QString mask = MaskFor(std::max(kPlaces, static_cast<int>(text.size())));
    if (inputMask() != mask) setInputMask(mask);
    setText(text);
}
