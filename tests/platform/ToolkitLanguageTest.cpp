// The toolkit's own texts in German: the edit fields' context menu, the colour dialog and the
// standard buttons, from the system's Qt translation; without it the program still starts.

#include "platform/ToolkitLanguage.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QStringList ContextMenuCaptions() {
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList captions;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator()) captions << a->text().section(QChar('\t'), 0, 0);
    return captions;
}

QStringList ColourDialogTexts() {
    QColorDialog dialog;
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    QStringList texts{dialog.windowTitle()};
    for (const QLabel* l : dialog.findChildren<QLabel*>()) texts << l->text();
    for (const QPushButton* b : dialog.findChildren<QPushButton*>()) texts << b->text();
    return texts;
}
}  // namespace

class ToolkitLanguageTest : public QObject {
    Q_OBJECT
private slots:
    void toolkitTextsAreGermanOnceTheTranslationIsLoaded() {
        // A machine without the translation: nothing is loaded, and nothing fails.
        QTemporaryDir empty;
        QVERIFY(!InstallToolkitTranslation(empty.path()));
        QVERIFY(ContextMenuCaptions().contains(QStringLiteral("&Undo")));

        QVERIFY2(InstallToolkitTranslation(), "qtbase_de.qm missing: scripts/install-deps installs it");
        const QStringList menu = ContextMenuCaptions();
        QVERIFY2(menu.contains(QString::fromUtf8("&Rückgängig")), qPrintable(menu.join(u'|')));
        QVERIFY2(menu.contains(QStringLiteral("&Kopieren")), qPrintable(menu.join(u'|')));
        QVERIFY2(menu.contains(QString::fromUtf8("Einf&ügen")), qPrintable(menu.join(u'|')));

        const QStringList colour = ColourDialogTexts();
        const QString joined = colour.join(u'|');
        for (const char* english : {"Select Color", "&Basic colors", "Cancel", "&Custom colors"})
            QVERIFY2(!colour.contains(QString::fromLatin1(english)), qPrintable(joined));
        QVERIFY2(colour.contains(QStringLiteral("Abbrechen")), qPrintable(joined));

        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
        QVERIFY(InstallToolkitTranslation());  // once is enough
    }
};

QTEST_MAIN(ToolkitLanguageTest)
#include "ToolkitLanguageTest.moc"
