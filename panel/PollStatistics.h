#pragma once
// How old a station's value is and how often the station is really asked: the time of the last
// valid value, the failed polls since, and the interval reached between answered polls (when
// many stations are due in one tick, a cycle of one tick cannot be held).

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class PollStatistics {
public:
    void Add(bool answered, std::int64_t timeMs);

    std::optional<std::int64_t> LastValid() const { return lastValid_; }
    int FailedSince() const { return failedSince_; }
    // The mean spacing of the latest answered polls that followed each other without a failure
    // or a pause between them; none before two such polls.
    std::optional<std::int64_t> ReachedIntervalMs() const;
    bool operator==(const PollStatistics&) const = default;

private:
    std::optional<std::int64_t> lastValid_;
    int failedSince_ = 0;
    std::array<std::int64_t, 8> spacings_{};
    int spacingCount_ = 0;
    int nextSpacing_ = 0;
};

// The lines of the panel's tooltip and of the trend's legend, e.g.
//   Letzter gültiger Wert: 14:03:27 (vor 3 s)
//   Fehlversuche seither: 0
//   Zyklus: 1 (alle 0,5 s), erreicht: alle 1,6 s
QString PollStatisticsText(const PollStatistics& s, std::uint16_t zyklus, std::int64_t nowMs);
