#pragma once
// When the program polled, as its event log tells: from "Programm gestartet" or "Abfrage wieder
// gestartet" to "Programm beendet" or "Abfrage angehalten". A start without an end before the
// next start (the program was killed) ends at the last entry before that start; the last start
// without an end runs on to the end of the days asked for. The trend's read-out tells time
// without a record in which the program polled ("keine Antwort") from time in which it did not
// ("keine Aufzeichnung").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records/LocalTime.h"

struct Period {
    std::int64_t from = 0;  // ms on the local time line
    std::int64_t to = 0;    // exclusive
};

// From the lines of event log files in time order; `end` closes a period still open.
std::vector<Period> PollingPeriodsOf(std::string_view logText, std::int64_t end);

// From the daily files EREIGNIS-YYYY-MM-DD.txt of these days (and the day before, where a period
// may begin) in the folder.
std::vector<Period> ReadPollingPeriods(const std::string& folder, const Date& from, const Date& to);

bool Covers(const std::vector<Period>& periods, std::int64_t t);
