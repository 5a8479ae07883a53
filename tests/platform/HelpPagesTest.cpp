// The help pages built into the program: a topic for every help context the menus and dialogs
// use, links that all lead somewhere, and the help window opening the asked-for topic.

#include "platform/Help.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

namespace {
// The help context numbers of the main menu and of the dialogs.
const QList<int> kContexts = {2,  21, 3,  31, 32, 33, 34, 4,  41, 42, 43, 44, 45, 46, 47,
                              5,  51, 52, 53, 54, 55, 6,  61, 62, 63, 7,
                              8,  81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91};

QString Read(const QString& page) {
    QFile f(QStringLiteral(":/help/") + page);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

QString TitleOf(const QString& html) {
    const auto m = QRegularExpression(QStringLiteral("<title>([^<]*)</title>")).match(html);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

QStringList AllPages() {
    QStringList pages;
    QDir dir(QStringLiteral(":/help"));
    for (const QString& name : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) pages << name;
    return pages;
}

QTextBrowser* HelpBrowser() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TarvoHelp")) return w->findChild<QTextBrowser*>();
    return nullptr;
}
}  // namespace

class HelpPagesTest : public QObject {
    Q_OBJECT
private slots:
    void everyHelpContextHasATopicWithATitle();
    void contentsAndIndexPagesExist();
    void everyLinkOnEveryPageLeadsToAPage();
    void indexLinksEveryTopicPage();
    void observerSeesTheRequestsInsteadOfTheWindow();
    void umlautsShowAsWritten();
    void windowOpensTheTopicOfTheContext();
    void unknownContextOpensTheContents();
    void pagesSayWhatTheProgramDoes_data();
    void pagesSayWhatTheProgramDoes();
};

void HelpPagesTest::everyHelpContextHasATopicWithATitle() {
    for (int context : kContexts) {
        const QString html = Read(QStringLiteral("hc%1.html").arg(context));
        QVERIFY2(!html.isEmpty(), qPrintable(QStringLiteral("no page for context %1").arg(context)));
        QVERIFY2(!TitleOf(html).isEmpty(), qPrintable(QStringLiteral("no title for context %1").arg(context)));
        QVERIFY(html.contains(QStringLiteral("<p>")));
    }
}

void HelpPagesTest::contentsAndIndexPagesExist() {
    QVERIFY(!TitleOf(Read(QStringLiteral("inhalt.html"))).isEmpty());
    QVERIFY(!TitleOf(Read(QStringLiteral("index.html"))).isEmpty());
}

void HelpPagesTest::everyLinkOnEveryPageLeadsToAPage() {
    const QStringList pages = AllPages();
    QVERIFY(pages.size() > kContexts.size());
    const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    int links = 0;
    for (const QString& page : pages) {
        const QString html = Read(page);
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            ++links;
            QVERIFY2(pages.contains(target), qPrintable(page + QStringLiteral(" links to missing ") + target));
        }
    }
    QVERIFY(links > 100);
}

void HelpPagesTest::indexLinksEveryTopicPage() {
    const QString index = Read(QStringLiteral("index.html"));
    for (const QString& page : AllPages()) {
        if (page == QLatin1String("index.html") || page == QLatin1String("inhalt.html")) continue;
        QVERIFY2(index.contains(QStringLiteral("href=\"%1\"").arg(page)), qPrintable(page));
    }
}

void HelpPagesTest::umlautsShowAsWritten() {
    ShowHelpContext(46);
    QVERIFY(HelpBrowser());
    QVERIFY(HelpBrowser()->toPlainText().contains(QString::fromUtf8("Gerätetyp")));
    QVERIFY(HelpBrowser()->document()->metaInformation(QTextDocument::DocumentTitle).contains(QString::fromUtf8("Gerätetyp")));
}

void HelpPagesTest::observerSeesTheRequestsInsteadOfTheWindow() {
    QList<int> seen;
    SetHelpObserver([&](int n) { seen << n; });
    ShowHelpContext(43);
    ShowHelpContents();
    ShowHelpIndex();
    SetHelpObserver({});
    QCOMPARE(seen, (QList<int>{43, -1, -2}));
    QVERIFY(HelpBrowser() == nullptr);
}

void HelpPagesTest::windowOpensTheTopicOfTheContext() {
    ShowHelpContext(42);
    QTextBrowser* browser = HelpBrowser();
    QVERIFY(browser);
    QVERIFY(browser->window()->isVisible());
    QCOMPARE(browser->source(), QUrl(QStringLiteral("qrc:/help/hc42.html")));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Real Time Clock")));
    ShowHelpIndex();
    QCOMPARE(HelpBrowser(), browser);  // one window, reused
    QCOMPARE(browser->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
    browser->backward();
    QCOMPARE(browser->source(), QUrl(QStringLiteral("qrc:/help/hc42.html")));
    ShowHelpContents();
    QCOMPARE(browser->source(), QUrl(QStringLiteral("qrc:/help/inhalt.html")));
}

void HelpPagesTest::unknownContextOpensTheContents() {
    ShowHelpContext(999);
    QCOMPARE(HelpBrowser()->source(), QUrl(QStringLiteral("qrc:/help/inhalt.html")));
    ShowHelpContext(0);
    QCOMPARE(HelpBrowser()->source(), QUrl(QStringLiteral("qrc:/help/inhalt.html")));
}

// Statements the program does not bear out must not come back, and the pages that touch those
// subjects must say what it does instead.
void HelpPagesTest::pagesSayWhatTheProgramDoes_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("mustSay");
    QTest::addColumn<QStringList>("mustNotSay");
    // "Programmtitel" and "Anzahl Geräte" open the contents, "Zyklen aller Geräte" nothing.
    QTest::newRow("dialog help") << QStringLiteral("hc6.html")
                                 << QStringList{QStringLiteral("<b>Programmtitel</b> und <b>Anzahl Geräte</b> öffnet"),
                                                QStringLiteral("<b>Zyklen aller Geräte</b> tut nichts")}
                                 << QStringList{QStringLiteral("In jedem Dialog")};
    // 100 ticks are 50 s only while every tick lasts half a second.
    QTest::newRow("silent station") << QStringLiteral("anzeige.html")
                                    << QStringList{QStringLiteral("100 Takten"), QStringLiteral("Ein Takt dauert aber länger")}
                                    << QStringList{QStringLiteral("alle 50 Sekunden")};
    // Time and value run together and the value has a decimal point: no columns as it stands.
    QTest::newRow("recording files") << QStringLiteral("aufzeichnung.html")
                                     << QStringList{QStringLiteral("Textimport"), QStringLiteral("ohne Trennzeichen")}
                                     << QStringList{QStringLiteral("oder einer Tabellenkalkulation öffnen")};
}

void HelpPagesTest::pagesSayWhatTheProgramDoes() {
    QFETCH(QString, page);
    QFETCH(QStringList, mustSay);
    QFETCH(QStringList, mustNotSay);
    const QString html = Read(page).simplified();
    for (const QString& text : mustSay) QVERIFY2(html.contains(text), qPrintable(text));
    for (const QString& text : mustNotSay) QVERIFY2(!html.contains(text), qPrintable(text));
}

QTEST_MAIN(HelpPagesTest)
#include "HelpPagesTest.moc"
