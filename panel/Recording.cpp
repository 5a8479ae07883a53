// The recording file of a station panel: one text file per station and day in the current
// working directory, one line per value received. Failures are silent by design: a recording
// file that cannot be written must never stop the supervision of the bus.

#include "panel/Qtv3590.h"

#include "platform/Windows1252.h"
#include "platform/AppendFile.h"
#include "platform/Clock.h"

#include <QAction>
#include <cstdio>

namespace {
std::string NameFor(int address, const LocalDateTime& d) {
    char name[32];
    std::snprintf(name, sizeof name, "%2.2d%2.2d%2.2d%2.2d.QTV", address, d.day, d.month, d.year - 2000);
    return name;
}

std::string TimeText(const LocalDateTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%2.2d:%2.2d:%2.2d", t.hour, t.minute, t.second);
    return text;
}
}  // namespace

void TQTV3590::GenerateFileName() {
    const LocalDateTime today = LocalNow();
    FileDay = std::uint8_t(today.day);
    fileMonth_ = today.month;
    fileYear_ = today.year;
    const std::string name = NameFor(StatAdr, today);
    FileName = QString::fromStdString(name);
    if (!FileExists(name)) CreateEmptyFile(name);
    if (!WriteStatus) return;
    CloseFile();
    if (QAction* item = RecordAction()) item->setChecked(true);
    FileHandle = OpenForAppend(name);
}

// FileDay alone would keep the 5th of January's file on the 5th of February.
bool TQTV3590::RecordingFileIsCurrent() const {
    const LocalDateTime today = LocalNow();
    return today.day == FileDay && today.month == fileMonth_ && today.year == fileYear_;
}

void TQTV3590::TeleSpeichern(bool /*broadcast: the record is the same either way*/) {
    // A file deleted or renamed while recording is on is made again under the day's name, so
    // that the records do not vanish into a file no one can see; a file that could not be
    // opened is tried again.
    const bool lost = WriteStatus && !HandleStillNamed(FileHandle, FileName.toStdString());
    if (!RecordingFileIsCurrent() || lost) {
        CloseFile();
        GenerateFileName();
    }
    if (FileHandle == -1) return;
    AppendRecord(FileHandle, TimeText(LocalNow()) + Utf8ToWindows1252(Text.toStdString()) + "\r\n");
}

void TQTV3590::CloseFile() {
    if (FileHandle == -1) return;
    CloseHandle(FileHandle);
    FileHandle = -1;
}

void TQTV3590::RecordingAction() {
    QAction* item = RecordAction();
    if (WriteStatus) {
        CloseFile();
        WriteStatus = false;
        if (item) item->setChecked(false);
        return;
    }
    // Today's file, created again if the operator deleted it meanwhile: switching recording on
    // must not fail for good because an old file is gone.
    if (FileName == QLatin1String("0") || !RecordingFileIsCurrent() || !FileExists(FileName.toStdString()))
        GenerateFileName();
    FileHandle = OpenForAppend(FileName.toStdString());
    WriteStatus = FileHandle != -1;
    if (item) item->setChecked(WriteStatus);
}
