// When "&Beenden" may write the configuration file: never over a file that was not read whole,
// at start-up or at exit (no permission, a read error, a pipe, far too large). The window runs
// with defaults meanwhile, and the operator is told why nothing was saved.

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniFile.h"
#include "support/WindowFixture.h"

namespace {

const QByteArray kStations =
    "[Form]\r\nTitel=Halle 2\r\nMaxGeraete=2\r\n"
    "[Geraet 1]\r\nAdresse=1\r\nZyklus=2\r\nBenennung=bar\r\n"
    "[Geraet 2]\r\nAdresse=2\r\nZyklus=3\r\nBenennung=kWh\r\n";

}  // namespace

class ConfigSave : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> window_;
    TForm1* form_ = nullptr;

    QString path() const { return window_->configPath(); }
    std::vector<ShownMessage>& messages() { return window_->messages; }
    QByteArray pathBytes() const { return QFile::encodeName(path()); }
    void put(const QByteArray& content) {
        QFile::remove(path());
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray head(qint64 n) const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
    }
    qint64 size() const { return QFileInfo(path()).size(); }
    void start() { form_ = &window_->start(); }
    // The one message of a refused save: caption "Fehler", naming the file and the reason.
    void expectRefusal(const char* reason) {
        QCOMPARE(messages().size(), std::size_t(1));
        const ShownMessage& m = messages()[0];
        QCOMPARE(m.caption, QStringLiteral("Fehler"));
        QVERIFY2(m.text.contains(path()), qPrintable(m.text));
        QVERIFY2(m.text.contains(QString::fromUtf8(reason)), qPrintable(m.text));
        QVERIFY(m.text.contains(QString::fromUtf8("nicht überschrieben")));
    }

private slots:
    void init() {
        window_ = std::make_unique<WindowFixture>();
        // No port of this machine is touched: the line never opens, every poll fails.
        window_->bus.portHeld = true;
    }
    void cleanup() {
        form_ = nullptr;
        window_.reset();
    }

    void fileUnreadableAtStartIsNotWrittenEvenWhenReadableAtExit() {
        QVERIFY(::mkfifo(pathBytes().constData(), 0666) == 0);  // exists, but holds nothing to read
        start();
        QCOMPARE(form_->GeraeteAnzahl, std::uint8_t{0});  // defaults
        QCOMPARE(form_->windowTitle(), QStringLiteral("Netz1"));
        put(kStations);  // the administrator mends it while the program runs with defaults
        form_->Beenden1Click();
        expectRefusal("nicht vollständig gelesen");
        QCOMPARE(head(1 << 16), kStations);
    }

    void fileThatCannotBeReadAtExitIsLeftAlone() {
        put(kStations);
        start();
        QCOMPARE(form_->GeraeteAnzahl, std::uint8_t{2});
        QVERIFY(::truncate(pathBytes().constData(), off_t(IniFile::kMaxBytes) + 1) == 0);
        form_->Beenden1Click();
        expectRefusal("größer als 16 MB");
        QCOMPARE(size(), qint64(IniFile::kMaxBytes) + 1);
        QVERIFY(form_->GeraetBelegt[1] && form_->GeraetBelegt[2]);

        QVERIFY(::truncate(pathBytes().constData(), kStations.size()) == 0);  // whole again
        messages().clear();
        form_->setWindowTitle(QStringLiteral("Halle 3"));
        form_->Beenden1Click();
        QVERIFY(messages().empty());
        QVERIFY(head(1 << 16).contains("Titel=Halle 3\r\n"));
        QVERIFY(head(1 << 16).contains("[Geraet 2]\r\nAdresse=2\r\nZyklus=3\r\n"));
    }
};

QTEST_MAIN(ConfigSave)
#include "ConfigSaveTest.moc"
