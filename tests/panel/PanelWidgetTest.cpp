// The station panel as a widget: what it looks like when created, its captions, its menu, its
// colours and the drag mechanics the main window builds on.

#include "panel/Qtv3590.h"

#include <QAction>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

class PanelWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void newPanelHasItsCreationValues();
    void valueFieldUsesLargeBoldArialFace();
    void setTitelCaptionHasNoOuterSpaces();
    void insertCaptionHasOneSpaceEachSideAndDefaults();
    void menuHoldsTheEightItemsWithTheirTags();
    void captionColourNeverReachesTheValueText();
    void captionIsDrawnInTheCaptionColourAndTheValueIsNot();
    void valueColoursFollowTheirProperties();
    void frameColourIsTheBackgroundOfTheFrame();
    void markupInTextsIsShownLiterally();
    void ampersandInTitleIsNoShortcut();
    void dragStartsOnlyAfterEightPixels();
    void pressOnPanelAtLeftEdgeZeroBeginsNoDrag();
    void colourConversionKeepsRedInLowByte();
};

void PanelWidgetTest::newPanelHasItsCreationValues() {
    QWidget parent;
    TQTV3590 p(&parent);
    QCOMPARE(p.geometry(), QRect(8, 8, 135, 60));
    QCOMPARE(p.ValuePanel()->geometry(), QRect(8, 20, 120, 33));
    QCOMPARE(p.ValueLabel()->pos(), QPoint(8, 5));
    QCOMPARE(p.ValueLabel()->parentWidget(), p.ValuePanel());
    QCOMPARE(p.ValuePanel()->frameShape(), QFrame::Box);
    QCOMPARE(p.FrameColor(), clWhite);
    QCOMPARE(p.GetTextColor(), clBlack);
    QCOMPARE(p.GetHGColor(), clWhite);
    QVERIFY(p.Caption().isEmpty());
    QCOMPARE(p.FileName, QStringLiteral("0"));
    QCOMPARE(p.FileHandle, -1);
    QCOMPARE(p.OldAdr, std::int16_t(-1));
    QCOMPARE(p.Mittel, std::uint16_t(1));
    QCOMPARE(p.Komma, std::uint8_t(3));
    QCOMPARE(p.Runden, std::uint8_t(1));
    QCOMPARE(p.FileDay, std::uint8_t(1));
    QCOMPARE(p.TypGruppe, std::uint8_t(0));
}

void PanelWidgetTest::valueFieldUsesLargeBoldArialFace() {
    TQTV3590 p(nullptr);
    const QFont f = p.ValueLabel()->font();
    QCOMPARE(f.family(), QStringLiteral("Arial"));
    QCOMPARE(f.pointSize(), 14);
    QVERIFY(f.bold());
    // A monospace stand-in would not leave room for " 12345 kWh" in the 120-pixel field.
    QVERIFY(!QFontInfo(f).fixedPitch());
}

void PanelWidgetTest::setTitelCaptionHasNoOuterSpaces() {
    TQTV3590 p(nullptr);
    p.StatAdr = 5;
    p.SetTitel(QStringLiteral("Halle 2"));
    QCOMPARE(p.Caption(), QStringLiteral("Halle 2 (5)"));
    QCOMPARE(p.GetTitel(), QStringLiteral("Halle 2"));
}

void PanelWidgetTest::insertCaptionHasOneSpaceEachSideAndDefaults() {
    QWidget parent;
    TQTV3590 p(&parent);
    p.OldAdr = 4;
    p.Insert(12);
    QCOMPARE(p.Caption(), QString::fromUtf8(" Gerät (12) "));
    QCOMPARE(p.GetSBen(), QStringLiteral("..."));
    QCOMPARE(p.StatAdr, std::uint16_t(12));
    QCOMPARE(p.OldAdr, std::int16_t(-1));
    QVERIFY(!p.isHidden());
}

void PanelWidgetTest::menuHoldsTheEightItemsWithTheirTags() {
    TQTV3590 p(nullptr);
    const QList<QAction*> items = p.PanelMenu()->actions();
    QCOMPARE(items.size(), 11);  // the eight, then our own "&Verlauf..." and "Alarm&grenzen..." behind a separator
    const QStringList captions = {"&Adresse", "Zyklus", "Aufzeichnen", "", "&TextFarbe", "&Hintergrund", "", "T&itel"};
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(items[i]->data().toInt(), i);
        QCOMPARE(items[i]->text(), captions[i]);
        QCOMPARE(items[i]->isSeparator(), i == 3 || i == 6);
        QCOMPARE(items[i]->isCheckable(), i == 2);
    }
    QCOMPARE(p.RecordAction(), items[2]);
    QVERIFY(items[8]->isSeparator());
    QCOMPARE(items[9], p.TrendAction());
    QCOMPARE(items[9]->text(), QStringLiteral("&Verlauf..."));
    QCOMPARE(items[9]->property("helpContext").toInt(), 83);
    QVERIFY(!items[9]->statusTip().isEmpty());
    QCOMPARE(items[10]->text(), QStringLiteral("Alarm&grenzen..."));
}

void PanelWidgetTest::captionColourNeverReachesTheValueText() {
    TQTV3590 p(nullptr);
    p.SetTextColor(clMaroon);
    p.SetCaptionColor(clGreen);
    QCOMPARE(p.CaptionColor(), clGreen);
    QCOMPARE(p.palette().color(QPalette::WindowText), ToQColor(clGreen));
    QCOMPARE(p.ValueLabel()->palette().color(QPalette::WindowText), ToQColor(clMaroon));
    p.SetCaptionColor(clRed);
    QCOMPARE(p.ValueLabel()->palette().color(QPalette::WindowText), ToQColor(clMaroon));
    p.SetTextColor(clBlack);
    p.SetCaptionColor(clGreen);
    QCOMPARE(p.ValueLabel()->palette().color(QPalette::WindowText), ToQColor(clBlack));
}

namespace {
int PixelsOf(const QImage& image, const QRect& area, const QColor& colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour) ++count;
    return count;
}
}  // namespace

void PanelWidgetTest::captionIsDrawnInTheCaptionColourAndTheValueIsNot() {
    TQTV3590 p(nullptr);
    p.SetTitel(QStringLiteral("WWWW"));
    p.SetText(QStringLiteral("8888"));
    p.SetCaptionColor(clRed);
    const QImage image = p.grab().toImage();
    const QRect title(0, 0, p.width(), p.ValuePanel()->y());
    QVERIFY(PixelsOf(image, title, QColor(255, 0, 0)) > 0);
    QCOMPARE(PixelsOf(image, p.ValuePanel()->geometry(), QColor(255, 0, 0)), 0);
    QVERIFY(PixelsOf(image, p.ValuePanel()->geometry(), QColor(0, 0, 0)) > 0);
}

void PanelWidgetTest::valueColoursFollowTheirProperties() {
    TQTV3590 p(nullptr);
    p.SetHGColor(0x00FFFF);  // yellow
    QCOMPARE(p.ValuePanel()->palette().color(QPalette::Window), QColor(255, 255, 0));
    QCOMPARE(p.ValueLabel()->palette().color(QPalette::Window), QColor(255, 255, 0));
    p.SetTextColor(clRed);
    QCOMPARE(p.ValueLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

void PanelWidgetTest::frameColourIsTheBackgroundOfTheFrame() {
    TQTV3590 p(nullptr);
    p.SetHGColor(clWhite);
    p.SetFrameColor(TQTV3590::kFrameButtonFace);
    QCOMPARE(p.FrameColor(), TQTV3590::kFrameButtonFace);
    QCOMPARE(p.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
    QVERIFY(p.autoFillBackground());
    QCOMPARE(p.ValuePanel()->palette().color(QPalette::Window), QColor(Qt::white));
}

void PanelWidgetTest::markupInTextsIsShownLiterally() {
    TQTV3590 p(nullptr);
    p.SetText(QStringLiteral("<b>x</b>"));
    QCOMPARE(p.ValueLabel()->textFormat(), Qt::PlainText);
    QCOMPARE(p.ValueLabel()->text(), QStringLiteral("<b>x</b>"));
    p.SetTitel(QStringLiteral("<b>x</b>"));
    QCOMPARE(p.Caption(), QStringLiteral("<b>x</b> (0)"));
}

void PanelWidgetTest::ampersandInTitleIsNoShortcut() {
    TQTV3590 p(nullptr);
    p.SetTitel(QStringLiteral("Lager & Versand"));
    QCOMPARE(p.title(), QStringLiteral("Lager && Versand (0)"));
    QCOMPARE(p.Caption(), QStringLiteral("Lager & Versand (0)"));
}

void PanelWidgetTest::dragStartsOnlyAfterEightPixels() {
    QWidget parent;
    parent.resize(600, 400);
    TQTV3590 p(&parent);
    p.move(40, 40);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy started(&p, &TQTV3590::dragStarted);
    QSignalSpy ended(&p, &TQTV3590::dragEnded);
    QTest::mousePress(&p, Qt::LeftButton, {}, QPoint(20, 30));
    QCOMPARE(started.size(), 1);
    QTest::mouseMove(&p, QPoint(25, 33));
    QCOMPARE(p.pos(), QPoint(40, 40));
    QTest::mouseMove(&p, QPoint(35, 30));  // 15 pixels right of the press
    QCOMPARE(p.pos(), QPoint(55, 40));
    QTest::mouseRelease(&p, Qt::LeftButton, {}, p.mapFromGlobal(parent.mapToGlobal(QPoint(75, 70))));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.at(0).at(0).value<TQTV3590*>(), &p);

    // Released before the threshold: still the end of a drag, so the main window activates it.
    QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(20, 30));
    QCOMPARE(ended.size(), 2);
}

void PanelWidgetTest::pressOnPanelAtLeftEdgeZeroBeginsNoDrag() {
    QWidget parent;
    parent.resize(600, 400);
    TQTV3590 p(&parent);
    p.move(0, 40);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy ended(&p, &TQTV3590::dragEnded);
    QTest::mousePress(&p, Qt::LeftButton, {}, QPoint(20, 30));
    QTest::mouseMove(&p, QPoint(60, 30));
    QTest::mouseRelease(&p, Qt::LeftButton, {}, QPoint(60, 30));
    QCOMPARE(p.pos(), QPoint(0, 40));
    QCOMPARE(ended.size(), 0);
}

void PanelWidgetTest::colourConversionKeepsRedInLowByte() {
    QCOMPARE(ToQColor(clRed), QColor(255, 0, 0));
    QCOMPARE(ToQColor(clGreen), QColor(0, 128, 0));
    QCOMPARE(FromQColor(QColor(0x12, 0x34, 0x56)), TColor(0x563412));
}

QTEST_MAIN(PanelWidgetTest)
#include "PanelWidgetTest.moc"
