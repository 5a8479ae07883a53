// Every caption of every form stays whole: the forms are laid out in pixels for Windows faces,
// and the faces that stand in for them here must not cut a label, radio button, check box,
// button or frame title. Every form has one font height, the one its description names.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

#include "support/WindowFixture.h"
#include "dialogs/Displdlg.h"
#include "dialogs/Feutmpdlg.h"
#include "dialogs/Mbrdlg.h"
#include "dialogs/Pinfon.h"
#include "dialogs/QtvAndlg.h"
#include "dialogs/Reldlg.h"
#include "dialogs/Rtcdlg.h"
#include "dialogs/Sonstdlg.h"
#include "dialogs/Titeldlg.h"
#include "mainwindow/Tarvo.h"
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
    // A button's size hint has a minimum width of its own; what counts is the room the style
    // leaves for the text inside the button's frame.
    for (QPushButton* b : form->findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        if (b->isDefault() || b->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
        const QString text = QString(b->text()).remove(QChar('&'));
        const int needs = b->fontMetrics().horizontalAdvance(text);
        const int room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width();
        if (needs > room)
            cut << QStringLiteral("%1.%2: %3 (needs %4 pixels, has %5)")
                       .arg(form->objectName(), b->objectName(), text)
                       .arg(needs)
                       .arg(room);
    }
    for (QGroupBox* g : form->findChildren<QGroupBox*>())
        if (g->minimumSizeHint().width() > g->width()) cut << form->objectName() + QStringLiteral(": ") + g->title();
    return cut;
}

// Controls whose font height differs from their form's, as "Form: text (n px, form m px)". The
// description names a height of its own only for the bold decimal-point choices of "Anzeige",
// the station-address dialog's label and the program information's two lines.
QStringList OddFontHeights(QWidget* form) {
    const QStringList own{QStringLiteral("XXXX"), QStringLiteral("XXX.X"), QStringLiteral("XX.XX"),
                          QStringLiteral("X.XXX"), QStringLiteral("Stationsadresse"),
                          QString::fromUtf8("Software für Netzwerkgeräte"), QStringLiteral("Version 1.2")};
    QStringList odd;
    const int height = form->font().pixelSize();
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (w->window() != form || qobject_cast<QMenu*>(w)) continue;
        const QString text = w->property("text").toString();
        if (w->font().pixelSize() == height || own.contains(text)) continue;
        odd << QStringLiteral("%1: %2 %3 (%4 px, form %5 px)")
                   .arg(form->objectName(), QString::fromLatin1(w->metaObject()->className()), text)
                   .arg(w->font().pixelSize())
                   .arg(height);
    }
    return odd;
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

    // "Tahoma, height 13 pixels" for the main form and every dialog whose description names
    // Tahoma; the program information alone is named 11 pixels. (The port dialog names no font.)
    void everyFormHasTheFontHeightOfItsDescription() {
        WindowFixture w;
        TForm1& f = w.start(QByteArray("[Form]\r\nTitel=Netz1\r\n"));
        const std::pair<QWidget*, int> forms[] = {{&f, 13},       {DispDlg, 13}, {StADlg, 13},   {TitDlg, 13},
                                                  {QtvAnDlg, 13}, {RtcDlg, 13},  {RelDlg, 13},
                                                  {MBrDlg, 13},   {SonsDlg, 13}, {ProgInfo, 11}, {FeuTempDlg, 13},
                                                  {ZyklDlg, 13}};
        QStringList wrong;
        for (const auto& [form, height] : forms) {
            form->setObjectName(QString::fromLatin1(form->metaObject()->className()));
            if (form->font().pixelSize() != height || form->font().family() != QStringLiteral("Tahoma"))
                wrong << QStringLiteral("%1: %2 %3 px").arg(form->objectName(), form->font().family()).arg(form->font().pixelSize());
            wrong << OddFontHeights(form);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("\n"))));
    }

    // The forms speak German down to the toolkit's own texts, such as an edit's context menu.
    void toolkitTextsAreGerman() {
        WindowFixture w;
        w.start();
        std::unique_ptr<QMenu> menu(TitDlg->TitleEd->createStandardContextMenu());
        QStringList captions;
        for (const QAction* a : menu->actions()) captions << a->text();
        QVERIFY2(captions.join(u'|').contains(QString::fromUtf8("&Rückgängig")), qPrintable(captions.join(u'|')));
    }
};

QTEST_MAIN(FormLayoutTest)
#include "FormLayoutTest.moc"
