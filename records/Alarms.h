#pragma once
// Limit alarms of the stations: an upper and a lower limit in the station's unit, a delay the
// value must stay beyond a limit before the alarm comes, a hysteresis it must come back by
// before the alarm goes, and a silence alarm when a polled station has not answered for a
// number of seconds. Each alarm is kept with when it came, went and was acknowledged, and each
// of those is an entry of the event log. Time is the local wall clock of platform/Clock.h.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

class EventLog;

struct AlarmLimits {
    std::optional<double> oben;     // AlarmOben
    std::optional<double> unten;    // AlarmUnten
    int verzoegerung = 0;           // AlarmVerzoegerung: seconds beyond the limit
    double hysterese = 0;           // AlarmHysterese: in the station's unit
    std::optional<int> stille;      // AlarmStille: seconds without an answer
    bool Any() const { return oben || unten || stille; }
    bool operator==(const AlarmLimits&) const = default;
};

// "12.5" or "12,5" (blanks around allowed); empty or not a number: none.
std::optional<double> ParseLimit(const std::string& text);
// The limit as the file and the dialog show it: a point, no needless zeros ("12.5", "100").
std::string LimitText(double value);

enum class AlarmKind : std::uint8_t { Oben, Unten, Stille };

struct AlarmRecord {
    int id = 0;
    int station = 0;
    std::string title;
    AlarmKind kind = AlarmKind::Oben;
    std::string value;  // the value text when it came ("keine Antwort seit 12:00:03" for silence)
    std::string limit;  // "100 bar", "30 s"
    std::int64_t came = 0;  // ms on the local time line
    std::optional<std::int64_t> went;
    std::optional<std::int64_t> acknowledged;
    bool Active() const { return !went; }
};

// One poll's outcome as the alarms need it.
struct AlarmPoll {
    int station = 0;
    std::string title;
    std::int64_t time = 0;  // ms on the local time line
    bool answered = false;
    std::string text;  // the value text as the panel shows it (sign place, digits, unit)
};

class AlarmWatch {
public:
    // log: where came, went and acknowledged are written; may be null.
    explicit AlarmWatch(EventLog* log) : log_(log) {}

    void NotePoll(const AlarmLimits& limits, const AlarmPoll& poll);
    // A polled station that has not answered for its silence time raises its alarm even while it
    // rests between polls.
    void CheckSilence(const AlarmLimits& limits, int station, const std::string& title, std::int64_t now);
    // The station is no longer watched (removed, its limits cleared): its active alarms go.
    void Forget(int station, std::int64_t now);

    void Acknowledge(int id);
    void AcknowledgeAll();

    const std::deque<AlarmRecord>& Alarms() const { return alarms_; }  // oldest first
    int Unacknowledged() const;
    bool UnacknowledgedFor(int station) const;
    std::optional<AlarmKind> ActiveFor(int station) const;  // the first active alarm

    // Told after every change (came, went, acknowledged).
    std::function<void()> changed;

    static constexpr std::size_t kKept = 1000;  // past alarms beyond this are dropped, oldest first
    static std::string KindText(AlarmKind kind);  // "oben", "unten", "Stille"

private:
    struct Beyond {
        std::optional<std::int64_t> since;  // the first poll beyond the limit
        bool alarm = false;
    };
    struct Station {
        Beyond oben, unten;
        std::optional<std::int64_t> lastAnswer;
        std::optional<std::int64_t> watchedSince;
        bool silent = false;
    };
    void Limit(Beyond& b, AlarmKind kind, bool beyond, bool back, const AlarmLimits& limits, const AlarmPoll& poll,
               const std::string& limitText);
    void Come(AlarmKind kind, int station, const std::string& title, const std::string& value,
              const std::string& limit, std::int64_t when);
    void Go(AlarmKind kind, int station, const std::string& value, std::int64_t when);
    void Log(const AlarmRecord& a, const char* what, const std::string& value);

    EventLog* log_;
    std::map<int, Station> stations_;
    std::deque<AlarmRecord> alarms_;
    int lastId_ = 0;
};
