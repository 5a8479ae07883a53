#include "records/BusEvents.h"

#include <cstdio>

#include "link/QtvParameters.h"
#include "platform/Windows1252.h"

namespace {

const char* const kWeekdays[] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                 "Freitag", "Samstag",  "Sonntag"};

std::string Bcd(std::uint8_t byte) {
    char text[4];
    std::snprintf(text, sizeof text, "%X%X", byte >> 4, byte & 0x0F);
    return text;
}

std::string ValueText(ValueForm form, const std::uint8_t* d, std::size_t n) {
    const auto word = [&] { return static_cast<std::uint16_t>(d[0] << 8 | d[1]); };
    switch (form) {
    case ValueForm::Flag:
    case ValueForm::Code:
        return n >= 1 ? std::to_string(d[0]) : std::string();
    case ValueForm::Signed:
        return n >= 2 ? std::to_string(static_cast<std::int16_t>(word())) : std::string();
    case ValueForm::Unsigned:
        return n >= 2 ? std::to_string(word()) : std::string();
    case ValueForm::Text: {
        std::string bytes;
        for (std::size_t i = 0; i < n && d[i] != 0; ++i)
            bytes += static_cast<char>(d[i]);
        return Windows1252ToUtf8(bytes);
    }
    case ValueForm::Time:
        return n >= 2 ? Bcd(d[0]) + ":" + Bcd(d[1]) : std::string();
    case ValueForm::DayAndWeekday:
        if (n < 2) return {};
        return Bcd(d[0]) + ". (" + (d[1] <= 6 ? kWeekdays[d[1]] : "Wochentag " + std::to_string(d[1])) + ")";
    case ValueForm::MonthAndYear:
        return n >= 2 ? Bcd(d[0]) + "." + Bcd(d[1]) : std::string();
    case ValueForm::SecondsAndCycle:
        return n >= 2 ? Bcd(d[0]) + " s, Zyklus " + std::to_string(d[1]) : std::string();
    case ValueForm::None:
        break;
    }
    return {};
}

std::string PortName(std::uint8_t port) { return "COM" + std::to_string(port); }

}  // namespace

std::string WrittenText(std::uint8_t code, const std::uint8_t* data, std::size_t dataCount) {
    const QtvParameter* p = FindQtvParameter(code);
    if (!p) {
        char text[24];
        std::snprintf(text, sizeof text, "Befehl %02X", code);
        return text;
    }
    if (p->form == ValueForm::None) return p->name;
    return std::string(p->name) + " = " + ValueText(p->form, data, dataCount);
}

std::string DurationText(std::int64_t seconds) {
    if (seconds < 0) seconds = 0;
    const std::int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 0) return std::to_string(h) + " h " + std::to_string(m) + " min";
    if (m > 0) return std::to_string(m) + " min " + std::to_string(s) + " s";
    return std::to_string(s) + " s";
}

LinkEvents LinkEventsInto(EventLog& log) {
    LinkEvents events;
    events.portNotOpened = [&log](std::uint8_t port) {
        log.Add("Schnittstelle " + PortName(port) + " kann nicht geöffnet werden");
    };
    events.portLost = [&log](std::uint8_t port) { log.Add("Schnittstelle " + PortName(port) + " verloren"); };
    // Which device: a port number can lead to a link in the ports folder or to a serial port.
    const auto opened = [&log](const std::string& how) {
        return [&log, how](std::uint8_t port, const std::string& device) {
            log.Add("Schnittstelle " + PortName(port) + " " + how + (device.empty() ? "" : " (" + device + ")"));
        };
    };
    events.portOpened = opened("geöffnet");
    events.portReopened = opened("wieder geöffnet");
    events.written = [&log](const WrittenParameter& w) {
        const std::string what = WrittenText(w.code, w.data, w.dataCount);
        log.Add(w.address, what + (w.ok ? " gesendet" : " gesendet: Übertragungsfehler"));
    };
    events.jobFailed = [&log](const std::string& what) {
        log.Add("Buszugriff abgebrochen: " + (what.empty() ? std::string("unbekannter Fehler") : what));
    };
    return events;
}

std::string FailureText(ExchangeFailure failure) {
    switch (failure) {
    case ExchangeFailure::None: break;
    case ExchangeFailure::NotSent: return "Anfrage nicht gesendet (Schnittstelle)";
    case ExchangeFailure::NoReply: return "keine Antwort";
    case ExchangeFailure::Refused: return "Anfrage abgelehnt (NAK)";
    case ExchangeFailure::Garbage: return "unverständliche Antwort";
    case ExchangeFailure::Checksum: return "falsche Prüfsumme";
    case ExchangeFailure::OtherStation: return "Antwort einer anderen Station";
    }
    return {};
}

void StationWatch::NotePoll(int address, bool answered, ExchangeFailure failure) {
    State& s = states_[address];
    const std::int64_t now = LocalMilliseconds(LocalNow());
    if (answered) {
        if (s.silent)
            log_.Add(address,
                     "antwortet wieder (nach " + DurationText((now - s.firstFailureMs) / 1000) + ")");
        s = State{};
        return;
    }
    if (s.failures == 0 && !s.silent) s.firstFailureMs = now;
    if (++s.failures < kFailuresBeforeSilent) return;
    s.failures = 0;
    if (s.silent) return;  // still away after its rest: said once already
    s.silent = true;
    const std::string cause = FailureText(failure);
    log_.Add(address, cause.empty() ? "antwortet nicht mehr" : "antwortet nicht mehr (" + cause + ")");
}
