#include "extras/ParameterSetText.h"

#include <QStringList>

#include "platform/PlainFile.h"
#include "service/StationType.h"

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }
QString Quoted(const QString& text) { return U("„") + text + U("“"); }

QString TakenText(const LocalDateTime& t) {
    return QString::asprintf("%02d.%02d.%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute,
                             t.second);
}

QString TypeText(std::optional<std::uint16_t> type) { return type ? Q(TypeCodeText(*type)) : U("unbekannt"); }
}  // namespace

QString StationCaption(int address, const QString& title) {
    return title.trimmed().isEmpty() ? QStringLiteral("Station %1").arg(address)
                                     : QStringLiteral("Station %1 ").arg(address) + Quoted(title);
}

QString ValueCell(const SetValue& v) {
    switch (v.state) {
    case SetValue::State::Value:
        return Q(v.text);
    case SetValue::State::NotRead:
        return U("nicht gelesen");
    case SetValue::State::Missing:
        return U("fehlt");
    case SetValue::State::Invalid:
        return U("ungültig: ") + Q(v.text);
    }
    return {};
}

QString OutcomeText(const RestoredParameter& row) {
    switch (row.outcome) {
    case RestoreOutcome::Verified:
        return U("geschrieben, bestätigt");
    case RestoreOutcome::NotVerified:
        return U("geschrieben, nicht zurückgelesen");
    case RestoreOutcome::ReadBackDiffers:
        return U("geschrieben, zurückgelesen: ") + Q(*row.readBack);
    case RestoreOutcome::WriteFailed:
        return U("Übertragungsfehler");
    case RestoreOutcome::NotInFile:
        return row.file.state == SetValue::State::Missing   ? U("nicht in der Datei")
               : row.file.state == SetValue::State::NotRead ? U("in der Datei nicht gelesen")
                                                            : U("ungültiger Wert in der Datei");
    }
    return {};
}

QString BackupSummary(const ParameterSet& set, const QString& path, bool saved) {
    if (!saved) {
        const PlainFile state = InspectPlainFile(path.toStdString());
        if (!MayReplace(state)) return Q(PlainFileRefusal(state, path.toStdString(), Speech::German)) + U(" Nichts gesichert.");
        return U("Die Datei ") + Quoted(path) + U(" kann nicht geschrieben werden; nichts gesichert.");
    }
    const std::vector<std::string> missing = KeysWithoutValue(set);
    const int total = static_cast<int>(set.values.size());
    QString text =
        missing.empty()
            ? U("Alle %1 Parameter gelesen und gesichert in ").arg(total)
            : U("%1 von %2 Parametern gelesen und gesichert in ").arg(total - int(missing.size())).arg(total);
    text += Quoted(path) + QStringLiteral(".");
    if (!missing.empty()) {
        QStringList keys;
        for (const std::string& k : missing)
            keys << Q(k);
        text += U(" Nicht gelesen: ") + keys.join(QStringLiteral(", ")) + QStringLiteral(".");
    }
    if (!set.typeCode) text += U(" Der Gerätetyp wurde nicht gelesen.");
    return text;
}

QString TypeWarning(std::optional<std::uint16_t> fileType, std::optional<std::uint16_t> stationType) {
    if (!stationType) return U("Der Gerätetyp der Station kann nicht gelesen werden.");
    if (!fileType)
        return U("Die Datei nennt keinen Gerätetyp; die Station ist ") + TypeText(stationType) + ".";
    if (*fileType == *stationType) return {};
    return U("Die Datei stammt von einem Gerät des Typs ") + TypeText(fileType) + U(", die Station ist ") +
           TypeText(stationType) + ".";
}

QString CompareSummary(const Comparison& c, const ParameterSet& file) {
    QStringList different, unread;
    for (const ComparedParameter& row : c.rows) {
        if (row.equal) continue;
        (row.station ? different : unread) << Q(row.key);
    }
    QString text;
    if (different.isEmpty() && unread.isEmpty()) {
        text = U("Station und Datei stimmen in allen %1 Parametern überein.").arg(c.rows.size());
    } else {
        if (!different.isEmpty())
            text = U("%1 Unterschied%2: ")
                       .arg(different.size())
                       .arg(different.size() == 1 ? QString() : QStringLiteral("e")) +
                   different.join(QStringLiteral(", ")) + QStringLiteral(".");
        if (!unread.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral(" ")) +
                    U("Von der Station nicht gelesen: ") + unread.join(QStringLiteral(", ")) +
                    QStringLiteral(".");
    }
    const QString warning = TypeWarning(file.typeCode, c.stationType);
    if (!warning.isEmpty()) text += QStringLiteral(" ") + warning;
    return text;
}

QString RestoreSummary(const std::vector<RestoredParameter>& rows) {
    int verified = 0;
    QStringList failed, notWritten;
    for (const RestoredParameter& row : rows) {
        if (row.outcome == RestoreOutcome::Verified)
            ++verified;
        else if (row.outcome == RestoreOutcome::NotInFile)
            notWritten << Q(row.key);
        else
            failed << Q(row.key) + QStringLiteral(" (") + OutcomeText(row) + QStringLiteral(")");
    }
    if (failed.isEmpty() && notWritten.isEmpty())
        return U("Alle %1 Parameter geschrieben und bestätigt.").arg(rows.size());
    QString text = U("%1 von %2 Parametern geschrieben und bestätigt.").arg(verified).arg(rows.size());
    if (!failed.isEmpty())
        text += U(" Fehlgeschlagen: ") + failed.join(QStringLiteral(", ")) + QStringLiteral(".");
    if (!notWritten.isEmpty())
        text +=
            U(" Nicht geschrieben (kein Wert in der Datei): ") + notWritten.join(QStringLiteral(", ")) + ".";
    return text;
}

QString RestoreQuestion(const ParameterSet& file, const QString& path, int address, const QString& title,
                        std::optional<std::uint16_t> stationType) {
    QString text = U("Parametersatz ") + Quoted(path) + U(" (") +
                   StationCaption(file.address, QString::fromStdString(file.title)) + U(", ") +
                   TakenText(file.taken) + U(") auf ") + StationCaption(address, title) +
                   U(" übertragen? Die Werte der Station werden überschrieben.");
    const QString warning = TypeWarning(file.typeCode, stationType);
    if (!warning.isEmpty()) text += U("\nAchtung: ") + warning;
    return text;
}
