// Every caption of every form stays whole: the forms are laid out in pixels for Windows faces,
// and the faces that stand in for them here must not cut a label, radio button or check box.
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QtTest>

#include "WindowFixture.h"
#include "dialogs/Displdlg.h"
#include "dialogs/Feutmpdlg.h"
#include "dialogs/Mbrdlg.h"
#include "dialogs/Pinfon.h"
#include "dialogs/QtvAndlg.h"
#include "dialogs/Reldlg.h"
#include "dialogs/Rtcdlg.h"
#include "dialogs/Sonstdlg.h"
#include "dialogs/Titeldlg.h"
#include "dialogs/Zykludlg.h"
#include "link/Siodlg.h"
#include "panel/Stadrdlg.h"

namespace {

// Captions wider than the control that shows them, as "Form.Control: text".
QStringList CutCaptions(QWidget* form) {
    QStringList cut;
    const auto check = [&](QWidget* w, const QString& text) {
        if (!text.trimmed().isEmpty() && w->sizeHint().width() > w->width())
            cut << QStringLiteral("%1.%2: %3 (needs %4 pixels, has %5)")
                       .arg(form->objectName(), w->objectName(), text)
                       .arg(w->sizeHint().width())
                       .arg(w->width());
    };
    for (QLabel* l : form->findChildren<QLabel*>())
        if (l->pixmap().isNull()) check(l, l->text());
    for (QRadioButton* r : form->findChildren<QRadioButton*>()) check(r, r->text());
    for (QCheckBox* c : form->findChildren<QCheckBox*>()) check(c, c->text());
    return cut;
}

}  // namespace

class FormLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void noFormCutsACaption() {
        WindowFixture fixture;
        fixture.start(QByteArray("[Form]\r\nTitel=Netz1\r\n"));
        QWidget* forms[] = {DispDlg, StADlg, TitDlg, PcSioDlg, QtvAnDlg, RtcDlg,
                            RelDlg, MBrDlg, SonsDlg, ProgInfo, FeuTempDlg, ZyklDlg};
        QStringList cut;
        for (QWidget* f : forms) {
            f->setObjectName(QString::fromLatin1(f->metaObject()->className()));
            cut << CutCaptions(f);
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("\n"))));
    }
};

QTEST_MAIN(FormLayoutTest)
#include "FormLayoutTest.moc"
