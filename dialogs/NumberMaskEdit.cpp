#include "dialogs/NumberMaskEdit.h"

#include <algorithm>

namespace {
// Qt's mask letters: '#' digit or sign, optional; '0' digit, optional; blanks shown as spaces.
QString MaskFor(int places) { return QStringLiteral("#") + QString(places - 1, QChar('0')) + QStringLiteral("; "); }
}  // namespace

TNumberMaskEdit::TNumberMaskEdit(QWidget* parent) : QLineEdit(parent) { setInputMask(MaskFor(kPlaces)); }

void TNumberMaskEdit::SetWholeText(const QString& text) {
    const int places = std::max(kPlaces, static_cast<int>(text.size()));
    const QString mask = MaskFor(places);
    if (inputMask() != mask) setInputMask(mask);
    setText(text);
}
