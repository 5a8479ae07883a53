#include "records/Alarms.h"

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <cstdio>

#include "platform/Clock.h"
#include "records/EventLog.h"
#include "records/LocalTime.h"
#include "records/ValueText.h"

namespace {
std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string WithUnit(const std::string& number, std::string_view unit) {
    const std::string u = Trimmed(std::string(unit));
    return u.empty() ? number : number + ' ' + u;
}
}  // namespace

std::optional<double> ParseLimit(const std::string& text) {
    std::string t = Trimmed(text);
    if (t.empty()) return std::nullopt;
    for (char& c : t)
        if (c == ',') c = '.';
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string LimitText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string AlarmWatch::KindText(AlarmKind kind) {
    switch (kind) {
    case AlarmKind::Oben: return "oben";
    case AlarmKind::Unten: return "unten";
    case AlarmKind::Stille: return "Stille";
    }
    return {};
}

void AlarmWatch::NotePoll(const AlarmLimits& limits, const AlarmPoll& poll) {
    Station& s = stations_[poll.station];
    if (!s.watchedSince) s.watchedSince = poll.time;
    if (!poll.answered) {
        CheckSilence(limits, poll.station, poll.title, poll.time);
        return;
    }
    s.lastAnswer = poll.time;
    const std::string value = Trimmed(poll.text);
    if (s.silent) {
        s.silent = false;
        Go(AlarmKind::Stille, poll.station, value, poll.time);
    }
    const std::optional<ValueText> v = ParseValueText(poll.text);
    if (!v) return;  // a text the polling cycle cannot have made: nothing to compare
    const double x = v->Value();
    const bool over = v->kind == ValueKind::Over, under = v->kind == ValueKind::Under;
    const bool number = v->kind == ValueKind::Number;
    const double h = std::fabs(limits.hysterese);
    if (limits.oben)
        Limit(s.oben, AlarmKind::Oben, over || (number && x > *limits.oben), under || (number && x <= *limits.oben - h),
              limits, poll, WithUnit(LimitText(*limits.oben), v->unit));
    else if (s.oben.alarm)
        Limit(s.oben, AlarmKind::Oben, false, true, limits, poll, {});
    if (limits.unten)
        Limit(s.unten, AlarmKind::Unten, under || (number && x < *limits.unten), over || (number && x >= *limits.unten + h),
              limits, poll, WithUnit(LimitText(*limits.unten), v->unit));
    else if (s.unten.alarm)
        Limit(s.unten, AlarmKind::Unten, false, true, limits, poll, {});
}

// beyond: the value lies beyond the limit; back: it has come back by the hysteresis. Between the
// two an alarm stays as it is, and a delay under way starts again.
void AlarmWatch::Limit(Beyond& b, AlarmKind kind, bool beyond, bool back, const AlarmLimits& limits,
                       const AlarmPoll& poll, const std::string& limitText) {
    if (!beyond) b.since.reset();
    if (b.alarm) {
        if (back) {
            b.alarm = false;
            Go(kind, poll.station, Trimmed(poll.text), poll.time);
        }
        return;
    }
    if (!beyond) return;
    if (!b.since) b.since = poll.time;
    if (poll.time - *b.since < std::int64_t(limits.verzoegerung) * 1000) return;
    b.alarm = true;
    Come(kind, poll.station, poll.title, Trimmed(poll.text), limitText, poll.time);
}

void AlarmWatch::CheckSilence(const AlarmLimits& limits, int station, const std::string& title, std::int64_t now) {
    Station& s = stations_[station];
    if (!s.watchedSince) s.watchedSince = now;
    if (!limits.stille) {
        if (s.silent) {
            s.silent = false;
            Go(AlarmKind::Stille, station, {}, now);
        }
        return;
    }
    const std::int64_t from = s.lastAnswer ? *s.lastAnswer : *s.watchedSince;
    if (s.silent || now - from < std::int64_t(*limits.stille) * 1000) return;
    s.silent = true;
    const std::string since = s.lastAnswer ? "keine Antwort seit " + ClockTime(*s.lastAnswer) : "noch keine Antwort";
    Come(AlarmKind::Stille, station, title, since, std::to_string(*limits.stille) + " s", now);
}

void AlarmWatch::Forget(int station, std::int64_t now) {
    for (AlarmRecord& a : alarms_)
        if (a.station == station && a.Active()) Go(a.kind, station, {}, now);
    stations_.erase(station);
}

void AlarmWatch::Come(AlarmKind kind, int station, const std::string& title, const std::string& value,
                      const std::string& limit, std::int64_t when) {
    alarms_.push_back({++lastId_, station, title, kind, value, limit, when, std::nullopt, std::nullopt});
    // Past and acknowledged alarms make room first; active ones are never dropped.
    for (auto it = alarms_.begin(); alarms_.size() > kKept && it != alarms_.end();)
        it = (!it->Active() && it->acknowledged) ? alarms_.erase(it) : std::next(it);
    Log(alarms_.back(), "gekommen", value);
}

void AlarmWatch::Go(AlarmKind kind, int station, const std::string& value, std::int64_t when) {
    for (AlarmRecord& a : alarms_) {
        if (a.station != station || a.kind != kind || !a.Active()) continue;
        a.went = when;
        Log(a, "gegangen", value.empty() ? std::string("nicht mehr überwacht") : value);
    }
}

void AlarmWatch::Acknowledge(int id) {
    for (AlarmRecord& a : alarms_) {
        if (a.id != id || a.acknowledged) continue;
        a.acknowledged = LocalMilliseconds(LocalNow());
        Log(a, "quittiert", a.value);
    }
}

void AlarmWatch::AcknowledgeAll() {
    for (const AlarmRecord& a : alarms_)
        if (!a.acknowledged) Acknowledge(a.id);
}

// "Alarm oben gekommen: Wert 105.3 bar, Grenze 100 bar" in the station's entry; the README
// gives this form to scripts that read the day's file.
void AlarmWatch::Log(const AlarmRecord& a, const char* what, const std::string& value) {
    if (log_) log_->Add(a.station, "Alarm " + KindText(a.kind) + ' ' + what + ": Wert " + value + ", Grenze " + a.limit);
    if (changed) changed();
}

int AlarmWatch::Unacknowledged() const {
    int n = 0;
    for (const AlarmRecord& a : alarms_) n += a.acknowledged ? 0 : 1;
    return n;
}

bool AlarmWatch::UnacknowledgedFor(int station) const {
    for (const AlarmRecord& a : alarms_)
        if (a.station == station && !a.acknowledged) return true;
    return false;
}

std::optional<AlarmKind> AlarmWatch::ActiveFor(int station) const {
    for (const AlarmRecord& a : alarms_)
        if (a.station == station && a.Active()) return a.kind;
    return std::nullopt;
}
