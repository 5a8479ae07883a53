#include "panel/PollStatistics.h"

#include <QLocale>

#include "records/LocalTime.h"

namespace {
// A spacing this many times the mean so far is a pause (polling stopped, a search), not the
// interval reached.
constexpr std::int64_t kPauseFactor = 4;
constexpr std::int64_t kTickMs = 500;

QString Seconds(std::int64_t ms) {
    return QLocale(QLocale::German).toString(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

QString Age(std::int64_t ms) {
    const std::int64_t s = std::max<std::int64_t>(0, ms / 1000);
    if (s < 60) return QStringLiteral("vor %1 s").arg(s);
    if (s < 3600) return QStringLiteral("vor %1 min %2 s").arg(s / 60).arg(s % 60);
    if (s < 86400) return QStringLiteral("vor %1 h %2 min").arg(s / 3600).arg(s / 60 % 60);
    const std::int64_t days = s / 86400;
    return QStringLiteral("vor %1 %2 %3 h").arg(days).arg(days == 1 ? QStringLiteral("Tag") : QStringLiteral("Tagen")).arg(s / 3600 % 24);
}
}  // namespace

void PollStatistics::Add(bool answered, std::int64_t timeMs) {
    if (!answered) {
        ++failedSince_;
        spacingCount_ = 0;  // the retries after a failure are not the cycle
        nextSpacing_ = 0;
        return;
    }
    if (lastValid_ && failedSince_ == 0) {
        const std::int64_t spacing = timeMs - *lastValid_;
        const auto mean = ReachedIntervalMs();
        if (spacing <= 0 || (mean && spacing > kPauseFactor * *mean)) {
            spacingCount_ = 0;
            nextSpacing_ = 0;
        } else {
            spacings_[std::size_t(nextSpacing_)] = spacing;
            nextSpacing_ = (nextSpacing_ + 1) % int(spacings_.size());
            spacingCount_ = std::min(spacingCount_ + 1, int(spacings_.size()));
        }
    }
    lastValid_ = timeMs;
    failedSince_ = 0;
}

std::optional<std::int64_t> PollStatistics::ReachedIntervalMs() const {
    if (spacingCount_ == 0) return std::nullopt;
    std::int64_t sum = 0;
    for (int i = 0; i < spacingCount_; ++i) sum += spacings_[std::size_t(i)];
    return sum / spacingCount_;
}

QString PollStatisticsText(const PollStatistics& s, std::uint16_t zyklus, std::int64_t nowMs) {
    QString last = QString::fromUtf8("Letzter gültiger Wert: ");
    if (const auto t = s.LastValid()) {
        if (DateOfLocalMs(*t) != DateOfLocalMs(nowMs)) last += QString::fromStdString(GermanDate(DateOfLocalMs(*t))) + QLatin1Char(' ');
        last += QString::fromStdString(ClockTime(*t)) + QStringLiteral(" (") + Age(nowMs - *t) + QLatin1Char(')');
    } else {
        last += QStringLiteral("noch keiner");
    }
    const QString failed = QStringLiteral("Fehlversuche seither: %1").arg(s.FailedSince());
    QString cycle = QStringLiteral("Zyklus: %1").arg(zyklus);
    cycle += zyklus == 0 ? QString::fromUtf8(" (keine regelmäßige Abfrage)")
                         : QStringLiteral(" (alle ") + Seconds(zyklus * kTickMs) + QLatin1Char(')');
    const auto reached = s.ReachedIntervalMs();
    cycle += QStringLiteral(", erreicht: ") + (reached ? QStringLiteral("alle ") + Seconds(*reached) : QString::fromUtf8("–"));
    return last + QLatin1Char('\n') + failed + QLatin1Char('\n') + cycle;
}
