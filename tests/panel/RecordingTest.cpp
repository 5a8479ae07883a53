// The recording file of a station panel, with a fake wall clock: names, record lines, day and
// month changes, appending, and files that cannot be written.

#include "panel/Qtv3590.h"
#include "platform/Clock.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
LocalDateTime g_now;

void SetNow(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
    g_now = LocalDateTime{year, month, day, hour, minute, second, 0};
}

QByteArray Content(const QString& name) {
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

std::unique_ptr<TQTV3590> Station(int address) {
    auto p = std::make_unique<TQTV3590>(nullptr);
    p->Insert(address);
    return p;
}

void Record(TQTV3590& p, const QString& value) {
    p.SetText(value);
    p.TeleSpeichern(false);
}
}  // namespace

class RecordingTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void cleanupTestCase();

    void fileNameIsAddressDayMonthYearInTheWorkingFolder();
    void stationNeverRecordingHasNoNameAndNoFile();
    void recordIsTimeThenValueThenCrLf();
    void valueTextIsWrittenInWindows1252();
    void firstRecordAfterMidnightGoesToTheNewDaysFile();
    void monthEndAndYearEndStartNewFiles();
    void sameDayNumberInTheNextMonthStartsANewFile();
    void switchingOffAndOnAgainAppendsToTheSameFile();
    void restartWithRecordingOnAppendsToTheSameFile();
    void switchingOnAfterTheFileWasDeletedCreatesItAgain();
    void switchingOnWithANameOfAnEarlierDayUsesTodaysFile();
    void fileDeletedOrRenamedWhileRecordingIsMadeAgainButNeverThroughALink();
    void fileThatCannotBeOpenedLeavesRecordingOffSilently();
    void fileThatCannotBeOpenedAtLoadWritesNothingButStaysOn();
    void unwritableFolderFailsSilently();
    void pipeWithTodaysOrTomorrowsNameNeitherBlocksNorRecords();
    void linkPlantedInTheFolderIsNeverFollowed();
    void destroyingThePanelClosesItsFile();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString oldCurrent_ = QDir::currentPath();
};

void RecordingTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir::setCurrent(dir_->path()));
    SetNow(2026, 12, 6, 14, 3, 27);
    SetWallClock([] { return g_now; });
}

void RecordingTest::cleanup() {
    QDir::setCurrent(oldCurrent_);
    dir_.reset();
}

void RecordingTest::cleanupTestCase() { SetWallClock({}); }

void RecordingTest::fileNameIsAddressDayMonthYearInTheWorkingFolder() {
    auto p = Station(5);
    p->GenerateFileName();
    QCOMPARE(p->FileName, QStringLiteral("05061226.QTV"));
    QCOMPARE(p->FileDay, std::uint8_t(6));
    QCOMPARE(p->FileHandle, -1);  // recording off: the file is only made sure of
    QVERIFY(QFile::exists(QStringLiteral("05061226.QTV")));
    QCOMPARE(Content(QStringLiteral("05061226.QTV")), QByteArray());
    QVERIFY(!p->RecordAction()->isChecked());
}

void RecordingTest::stationNeverRecordingHasNoNameAndNoFile() {
    auto p = Station(5);
    Record(*p, QStringLiteral(" 1"));
    p->CloseFile();
    QCOMPARE(p->FileName.left(1), QStringLiteral("0"));
    QVERIFY(!p->WriteStatus);
    QCOMPARE(p->FileHandle, -1);
    QVERIFY(!QFile::exists(QStringLiteral("05061226.QTV")) || Content(QStringLiteral("05061226.QTV")).isEmpty());
}

void RecordingTest::recordIsTimeThenValueThenCrLf() {
    auto p = Station(5);
    p->PopupItemClick(2);
    QVERIFY(p->WriteStatus);
    QVERIFY(p->RecordAction()->isChecked());
    Record(*p, QStringLiteral(" 12.34 bar"));
    g_now.second = 28;
    Record(*p, QStringLiteral("-0001 bar"));
    QCOMPARE(Content(QStringLiteral("05061226.QTV")), QByteArray("14:03:27 12.34 bar\r\n14:03:28-0001 bar\r\n"));
}

void RecordingTest::valueTextIsWrittenInWindows1252() {
    auto p = Station(7);
    p->PopupItemClick(2);
    Record(*p, QString::fromUtf8(" 21.5°C €Ω"));
    QCOMPARE(Content(QStringLiteral("07061226.QTV")), QByteArray("14:03:27 21.5\xB0" "C \x80?\r\n"));
}

void RecordingTest::firstRecordAfterMidnightGoesToTheNewDaysFile() {
    auto p = Station(5);
    SetNow(2026, 12, 6, 23, 59, 59);
    p->PopupItemClick(2);
    Record(*p, QStringLiteral(" 1"));
    SetNow(2026, 12, 7, 0, 0, 1);
    Record(*p, QStringLiteral(" 2"));
    QCOMPARE(p->FileName, QStringLiteral("05071226.QTV"));
    QCOMPARE(p->FileDay, std::uint8_t(7));
    QVERIFY(p->RecordAction()->isChecked());
    QCOMPARE(Content(QStringLiteral("05061226.QTV")), QByteArray("23:59:59 1\r\n"));
    QCOMPARE(Content(QStringLiteral("05071226.QTV")), QByteArray("00:00:01 2\r\n"));
}

void RecordingTest::monthEndAndYearEndStartNewFiles() {
    auto p = Station(12);
    SetNow(2026, 1, 31, 23, 0, 0);
    p->PopupItemClick(2);
    Record(*p, QStringLiteral(" 1"));
    SetNow(2026, 2, 1, 0, 30, 0);
    Record(*p, QStringLiteral(" 2"));
    SetNow(2026, 12, 31, 23, 0, 0);
    Record(*p, QStringLiteral(" 3"));
    SetNow(2027, 1, 1, 0, 0, 0);
    Record(*p, QStringLiteral(" 4"));
    QCOMPARE(Content(QStringLiteral("12310126.QTV")), QByteArray("23:00:00 1\r\n"));
    QCOMPARE(Content(QStringLiteral("12010226.QTV")), QByteArray("00:30:00 2\r\n"));
    QCOMPARE(Content(QStringLiteral("12311226.QTV")), QByteArray("23:00:00 3\r\n"));
    QCOMPARE(Content(QStringLiteral("12010127.QTV")), QByteArray("00:00:00 4\r\n"));
}

// The day number alone would put the 5th of February into the 5th of January's file.
void RecordingTest::sameDayNumberInTheNextMonthStartsANewFile() {
    auto p = Station(3);
    SetNow(2026, 1, 5);
    p->PopupItemClick(2);
    Record(*p, QStringLiteral(" 1"));
    SetNow(2026, 2, 5);
    Record(*p, QStringLiteral(" 2"));
    QCOMPARE(Content(QStringLiteral("03050126.QTV")), QByteArray("12:00:00 1\r\n"));
    QCOMPARE(Content(QStringLiteral("03050226.QTV")), QByteArray("12:00:00 2\r\n"));
}

void RecordingTest::switchingOffAndOnAgainAppendsToTheSameFile() {
    auto p = Station(5);
    p->PopupItemClick(2);
    Record(*p, QStringLiteral(" 1"));
    p->PopupItemClick(2);
    QVERIFY(!p->WriteStatus);
    QVERIFY(!p->RecordAction()->isChecked());
    QCOMPARE(p->FileHandle, -1);
    p->PopupItemClick(2);
    Record(*p, QStringLiteral(" 2"));
    QCOMPARE(Content(QStringLiteral("05061226.QTV")), QByteArray("14:03:27 1\r\n14:03:27 2\r\n"));
}

void RecordingTest::restartWithRecordingOnAppendsToTheSameFile() {
    {
        auto p = Station(5);
        p->PopupItemClick(2);
        Record(*p, QStringLiteral(" 1"));
    }
    auto p = Station(5);  // as the configuration loader restores it
    p->WriteStatus = true;
    p->GenerateFileName();
    QVERIFY(p->RecordAction()->isChecked());
    Record(*p, QStringLiteral(" 2"));
    QCOMPARE(Content(QStringLiteral("05061226.QTV")), QByteArray("14:03:27 1\r\n14:03:27 2\r\n"));
}

void RecordingTest::switchingOnAfterTheFileWasDeletedCreatesItAgain() {
    auto p = Station(5);
    p->PopupItemClick(2);
    p->PopupItemClick(2);
    QVERIFY(QFile::remove(QStringLiteral("05061226.QTV")));
    p->PopupItemClick(2);
    QVERIFY(p->WriteStatus);
    Record(*p, QStringLiteral(" 9"));
    QCOMPARE(Content(QStringLiteral("05061226.QTV")), QByteArray("14:03:27 9\r\n"));
}

void RecordingTest::switchingOnWithANameOfAnEarlierDayUsesTodaysFile() {
    auto p = Station(5);
    p->PopupItemClick(2);
    p->PopupItemClick(2);
    SetNow(2026, 12, 8);
    p->PopupItemClick(2);
    Record(*p, QStringLiteral(" 1"));
    QCOMPARE(Content(QStringLiteral("05061226.QTV")), QByteArray());
    QCOMPARE(Content(QStringLiteral("05081226.QTV")), QByteArray("12:00:00 1\r\n"));
}

void RecordingTest::fileDeletedOrRenamedWhileRecordingIsMadeAgainButNeverThroughALink() {
    auto p = Station(5);
    p->PopupItemClick(2);
    QVERIFY(QFile::remove(QStringLiteral("05061226.QTV")));
    Record(*p, QStringLiteral(" 1"));
    QCOMPARE(Content(QStringLiteral("05061226.QTV")), QByteArray("14:03:27 1\r\n"));
    QVERIFY(QFile::rename(QStringLiteral("05061226.QTV"), QStringLiteral("alt.QTV")));
    Record(*p, QStringLiteral(" 2"));
    QCOMPARE(Content(QStringLiteral("05061226.QTV")), QByteArray("14:03:27 2\r\n"));
    QCOMPARE(Content(QStringLiteral("alt.QTV")), QByteArray("14:03:27 1\r\n"));
    QVERIFY(QFile::remove(QStringLiteral("05061226.QTV")));
    QVERIFY(::symlink("alt.QTV", "05061226.QTV") == 0);
    Record(*p, QStringLiteral(" 3"));
    QCOMPARE(Content(QStringLiteral("alt.QTV")), QByteArray("14:03:27 1\r\n"));
}

// A folder with the file's name cannot be opened for writing, not even by the superuser.
void RecordingTest::fileThatCannotBeOpenedLeavesRecordingOffSilently() {
    QVERIFY(QDir().mkdir(QStringLiteral("05061226.QTV")));
    auto p = Station(5);
    p->RecordAction()->trigger();  // the menu item checks itself on a click; the action undoes it
    QVERIFY(!p->WriteStatus);
    QVERIFY(!p->RecordAction()->isChecked());
    QCOMPARE(p->FileHandle, -1);
}

void RecordingTest::fileThatCannotBeOpenedAtLoadWritesNothingButStaysOn() {
    QVERIFY(QDir().mkdir(QStringLiteral("05061226.QTV")));
    auto p = Station(5);
    p->WriteStatus = true;
    p->GenerateFileName();
    QVERIFY(p->RecordAction()->isChecked());
    QCOMPARE(p->FileHandle, -1);
    Record(*p, QStringLiteral(" 1"));
    QVERIFY(p->WriteStatus);
    SetNow(2026, 12, 7);  // the next day's file can be opened again
    Record(*p, QStringLiteral(" 2"));
    QCOMPARE(Content(QStringLiteral("05071226.QTV")), QByteArray("12:00:00 2\r\n"));
}

void RecordingTest::unwritableFolderFailsSilently() {
    // The superuser writes into any folder with mode 0555, but not into /proc.
    const bool root = ::geteuid() == 0;
    const QByteArray path = QFile::encodeName(dir_->path());
    if (root)
        QVERIFY(QDir::setCurrent(QStringLiteral("/proc")));
    else
        QVERIFY(::chmod(path.constData(), 0555) == 0);
    auto p = Station(5);
    p->PopupItemClick(2);
    QVERIFY(!p->WriteStatus);
    QVERIFY(!p->RecordAction()->isChecked());
    p->WriteStatus = true;
    p->GenerateFileName();
    Record(*p, QStringLiteral(" 1"));
    QCOMPARE(p->FileHandle, -1);
    QVERIFY(!QFile::exists(QStringLiteral("05061226.QTV")));
    if (!root) ::chmod(path.constData(), 0755);
}

// A pipe without a reader would hold a plain open for ever: no window at start, or a program
// frozen from midnight on.
void RecordingTest::pipeWithTodaysOrTomorrowsNameNeitherBlocksNorRecords() {
    QVERIFY(::mkfifo("05061226.QTV", 0666) == 0);
    QVERIFY(::mkfifo("05071226.QTV", 0666) == 0);
    auto p = Station(5);
    p->RecordAction()->trigger();
    QVERIFY(!p->WriteStatus);
    QVERIFY(!p->RecordAction()->isChecked());

    p->WriteStatus = true;  // as a configuration with recording on starts it
    p->GenerateFileName();
    QCOMPARE(p->FileHandle, -1);
    Record(*p, QStringLiteral(" 1"));
    SetNow(2026, 12, 7, 0, 0, 1);
    Record(*p, QStringLiteral(" 2"));
    QCOMPARE(p->FileHandle, -1);
    QVERIFY(p->WriteStatus);
    SetNow(2026, 12, 8, 0, 0, 1);  // a day with a real file records again
    Record(*p, QStringLiteral(" 3"));
    QCOMPARE(Content(QStringLiteral("05081226.QTV")), QByteArray("00:00:01 3\r\n"));
}

// A link planted in the working folder would make the operator's process write wherever it leads.
void RecordingTest::linkPlantedInTheFolderIsNeverFollowed() {
    QVERIFY(::symlink("elsewhere.txt", "05061226.QTV") == 0);
    auto p = Station(5);
    p->RecordAction()->trigger();
    QVERIFY(!p->WriteStatus);
    p->WriteStatus = true;
    p->GenerateFileName();
    Record(*p, QStringLiteral(" 1"));
    QVERIFY(!QFileInfo::exists(QStringLiteral("elsewhere.txt")));
}

void RecordingTest::destroyingThePanelClosesItsFile() {
    int handle = -1;
    {
        auto p = Station(5);
        p->PopupItemClick(2);
        handle = p->FileHandle;
        QVERIFY(handle >= 0);
        QVERIFY(::fcntl(handle, F_GETFD) != -1);
    }
    QCOMPARE(::fcntl(handle, F_GETFD), -1);
}

QTEST_MAIN(RecordingTest)
#include "RecordingTest.moc"
