#include "service/ClockSetting.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "service/BusSession.h"

namespace {

constexpr std::int64_t kMinuteMs = 60'000;
// Room kept before the PC's next minute beyond the writes' expected duration: an estimate
// that is off, and a station running up to a second ahead, must not reach it either.
constexpr std::int64_t kMinuteMarginMs = 1000;
constexpr std::int64_t kPastMinuteMs = 50;  // how far into the next minute a wait ends
constexpr int kClockWrites = 4;
constexpr std::int64_t kLargestDeviationSet = 1;  // seconds

std::int64_t Ms(const LocalDateTime& t) { return LocalMilliseconds(t); }

std::uint8_t ToBcd(int v) { return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10)); }

std::optional<int> FromBcd(std::uint8_t b) {
    if ((b >> 4) > 9 || (b & 0x0F) > 9) return std::nullopt;
    return (b >> 4) * 10 + (b & 0x0F);
}

// The bus work of one station, with the duration of the last exchange on the PC's clock.
class ClockExchanges {
public:
    explicit ClockExchanges(const PcClock& pc) : pc_(pc) {}

    template <typename F> bool Run(F&& exchange) {
        const std::int64_t start = Now();
        const bool ok = exchange() != 0;
        end_ = Now();
        lastMs_ = std::max<std::int64_t>(0, end_ - start);
        return ok;
    }
    std::int64_t Now() const { return Ms(pc_.now()); }
    std::int64_t End() const { return end_; }
    std::int64_t LastMs() const { return lastMs_; }
    const PcClock& pc() const { return pc_; }

private:
    const PcClock& pc_;
    std::int64_t end_ = 0;
    std::int64_t lastMs_ = 0;
};

struct Reading {
    std::uint8_t day[3] = {}, monthYear[3] = {}, time[3] = {}, secondsCycle[3] = {};
    std::int64_t pcMs = 0;  // when the station answered with its seconds
};

// The clock, read so that a minute that turns between the reads is noticed: seconds first and
// last, and read once more when the last seconds are below the first.
std::optional<Reading> ReadClock(ClockExchanges& x) {
    Reading r;
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::uint8_t first[3] = {};
        if (!x.Run([&] { return ReadRTCSecZyk(first); })) return std::nullopt;
        if (!x.Run([&] { return ReadRTCZeit(r.time); })) return std::nullopt;
        if (!x.Run([&] { return ReadRTCTag(r.day); })) return std::nullopt;
        if (!x.Run([&] { return ReadRTCDatum(r.monthYear); })) return std::nullopt;
        if (!x.Run([&] { return ReadRTCSecZyk(r.secondsCycle); })) return std::nullopt;
        r.pcMs = x.End();
        const auto s1 = FromBcd(first[0]), s2 = FromBcd(r.secondsCycle[0]);
        if (!s1 || !s2 || *s2 >= *s1) break;
    }
    return r;
}

// The station's time in local milliseconds, or none when the bytes are no valid date and time.
std::optional<std::int64_t> StationMs(const Reading& r) {
    const auto day = FromBcd(r.day[0]), month = FromBcd(r.monthYear[0]), year = FromBcd(r.monthYear[1]);
    const auto hour = FromBcd(r.time[0]), minute = FromBcd(r.time[1]), second = FromBcd(r.secondsCycle[0]);
    if (!day || !month || !year || !hour || !minute || !second) return std::nullopt;
    if (*month < 1 || *month > 12 || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year{2000 + *year},
                                           std::chrono::month{unsigned(*month)},
                                           std::chrono::day{unsigned(*day)}};
    if (!date.ok()) return std::nullopt;
    LocalDateTime t;
    t.year = 2000 + *year;
    t.month = *month;
    t.day = *day;
    t.hour = *hour;
    t.minute = *minute;
    t.second = *second;
    return Ms(t);
}

// Whole seconds the station's clock shows ahead of the PC's (negative: behind).
std::optional<std::int64_t> Deviation(const Reading& r) {
    const auto station = StationMs(r);
    if (!station) return std::nullopt;
    const std::int64_t pcSecond = r.pcMs >= 0 ? r.pcMs / 1000 : (r.pcMs - 999) / 1000;
    return *station / 1000 - pcSecond;
}

std::string Text(const Reading& r) { return StationClockText(r.day, r.monthYear, r.time, r.secondsCycle[0]); }

// The four writes, seconds first: from then on the station's seconds turn with the PC's, so
// that its minute cannot turn before the PC's while the rest is written.
bool WriteClock(ClockExchanges& x, std::uint8_t cycle) {
    const std::int64_t now = x.Now();
    const std::int64_t needed = kClockWrites * x.LastMs() + kMinuteMarginMs;
    const std::int64_t intoMinute = ((now % kMinuteMs) + kMinuteMs) % kMinuteMs;
    if (intoMinute + needed >= kMinuteMs)
        x.pc().sleep(static_cast<unsigned>(kMinuteMs - intoMinute + kPastMinuteMs));
    // The PC's time when the next request reaches the station.
    auto arrival = [&x] { return LocalDateTimeAt(x.Now() + x.LastMs()); };
    auto word = [](int high, int low) { return static_cast<std::uint16_t>(high << 8 | low); };
    LocalDateTime t = arrival();
    if (!x.Run([&] { return WriteRTCSecZyk(word(ToBcd(t.second), cycle)); })) return false;
    t = arrival();
    if (!x.Run([&] { return WriteRTCZeit(word(ToBcd(t.hour), ToBcd(t.minute))); })) return false;
    t = arrival();
    if (!x.Run([&] { return WriteRTCTag(word(ToBcd(t.day), t.weekday)); })) return false;
    t = arrival();
    return x.Run([&] { return WriteRTCDatum(word(ToBcd(t.month), ToBcd(t.year % 100))); });
}

}  // namespace

PcClock SystemPcClock() {
    return PcClock{[] { return LocalNow(); },
                   [](unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }};
}

std::string StationClockText(const std::uint8_t day[2], const std::uint8_t monthYear[2],
                             const std::uint8_t time[2], std::uint8_t seconds) {
    // As the clock dialog shows a byte: '0' plus each half, so that 0xFF shows as "??".
    auto digits = [](std::uint8_t b) { return std::string{char('0' + (b >> 4)), char('0' + (b & 0x0F))}; };
    return digits(day[0]) + "." + digits(monthYear[0]) + "." + digits(monthYear[1]) + " " + digits(time[0]) +
           ":" + digits(time[1]) + ":" + digits(seconds);
}

ClockResult SetStationClock(std::uint8_t address, const PcClock& pc) {
    const BusSession session(address);
    ClockExchanges x(pc);
    ClockResult result;
    result.address = address;
    const auto before = ReadClock(x);
    if (!before) return result;
    result.before = Text(*before);
    result.deviationBefore = Deviation(*before);
    if (!WriteClock(x, before->secondsCycle[1])) {
        result.outcome = ClockOutcome::WriteFailed;
        return result;
    }
    const auto after = ReadClock(x);
    if (!after) {
        result.outcome = ClockOutcome::ReadBackFailed;
        return result;
    }
    result.after = Text(*after);
    result.deviationAfter = Deviation(*after);
    const bool close = result.deviationAfter && std::llabs(*result.deviationAfter) <= kLargestDeviationSet;
    result.outcome = close ? ClockOutcome::Set : ClockOutcome::StillOff;
    return result;
}
