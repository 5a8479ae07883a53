#pragma once
// What the main window's fault tests share: stations at cycle 1, of which 2 misbehaves and 3
// records, and what the operator sees of a panel.

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>

#include "panel/Qtv3590.h"

inline constexpr int kFailuresToWhite = 11;
inline constexpr int kHealthy = 1;
inline constexpr int kFaulty = 2;
inline constexpr int kRecording = 3;

// Stations 1 to `stations` (at most 3) on COM1.
inline QByteArray FaultConfiguration(int stations = 3) {
    QByteArray text = "[Form]\r\nTitel=Netz Störung\r\nSIO=1\r\nMaxGeraete=3\r\n";
    const char* const units[] = {"", "bar", "kWh", "bar"};
    for (int n = 1; n <= stations; ++n) {
        text += QStringLiteral("[Geraet %1]\r\nAdresse=%1\r\nZyklus=1\r\nQtvTyp=13584\r\nBenennung=%2\r\n"
                               "Dezimalpunkt=2\r\nSpeichern=%3\r\n")
                    .arg(n)
                    .arg(QLatin1String(units[n]))
                    .arg(n == kRecording ? 1 : 0)
                    .toUtf8();
    }
    return text;
}

// The panel's last poll was answered: the frame as usual, no failure counted, the caption no
// longer green.
inline bool PanelAnswered(const TQTV3590& panel) {
    return panel.FrameColor() == TQTV3590::kFrameButtonFace && panel.SioFehler == 0 && panel.CaptionColor() != clGreen;
}

// Every line of a recording file is a whole record of a bar station.
inline bool WholeRecords(const QByteArray& content) {
    static const QRegularExpression record(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d([ -][0-9.]+| Ueber| Unter) bar$"));
    if (!content.isEmpty() && !content.endsWith("\r\n")) return false;
    const QList<QByteArray> lines = content.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].endsWith('\r') || !record.match(QString::fromLatin1(lines[i].chopped(1))).hasMatch())
            return false;
    }
    return true;
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}
