#pragma once
// What the trend window's source files share: the poll tick, how a station is named, how a time
// is written, and the conversion of dates to the date boxes'.

#include <QDate>
#include <QString>
#include <cstdint>

#include "records/LocalTime.h"

namespace trend {
inline constexpr std::int64_t kTickMs = 500;

inline QDate ToQDate(const Date& d) { return QDate(d.year, d.month, d.day); }
inline Date FromQDate(const QDate& d) { return Date{d.year(), d.month(), d.day()}; }

// "Kühlung (5)".
inline QString Name(const QString& title, int address) { return QStringLiteral("%1 (%2)").arg(title.trimmed()).arg(address); }

// "06.12.2026 11:59:57".
inline QString DateTimeText(std::int64_t t) { return QString::fromStdString(GermanDate(DateOfLocalMs(t)) + " " + ClockTime(t)); }
}  // namespace trend
