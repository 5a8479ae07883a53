#include "records/EventLog.h"

#include <cstdio>
#include <utility>

#include "platform/AppendFile.h"

EventLog::EventLog(std::string folder, std::size_t capacity)
    : folder_(std::move(folder)), capacity_(capacity) {}

EventLog::~EventLog() {
    CloseHandle(handle_);
}

void EventLog::Add(int station, const std::string& text) {
    EventEntry entry{LocalNow(), station, text};
    AppendToFile(entry);
    entries_.push_back(std::move(entry));
    while (entries_.size() > capacity_)
        entries_.pop_front();
    if (listener_) listener_(entries_.back());
}

std::string EventLog::FileNameFor(const LocalDateTime& day) {
    char name[40];
    std::snprintf(name, sizeof name, "EREIGNIS-%04d-%02d-%02d.txt", day.year, day.month, day.day);
    return name;
}

std::string EventLog::DateTimeText(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                  t.minute, t.second);
    return text;
}

std::string EventLog::StationText(int station) {
    if (station == EventEntry::kAllStations) return "alle Stationen";
    if (station < 0) return {};
    return "Station " + std::to_string(station);
}

std::string EventLog::LineOf(const EventEntry& entry) {
    // Tabs between date and time, station and text, so that the file also opens as a table.
    std::string line = DateTimeText(entry.when) + '\t' + StationText(entry.station) + '\t';
    for (char c : entry.text)
        line += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
    return line + "\r\n";
}

// The file is opened again for every entry that finds none open, so that a folder which was not
// writable, or a full disk, is used again as soon as it allows.
void EventLog::AppendToFile(const EventEntry& entry) {
    const std::string name = (folder_.empty() ? std::string() : folder_ + '/') + FileNameFor(entry.when);
    if (name != fileName_) {
        CloseHandle(handle_);
        handle_ = -1;
        fileName_ = name;
    }
    if (handle_ == -1) {
        if (!FileExists(name)) CreateEmptyFile(name);
        handle_ = OpenForAppend(name);
    }
    AppendRecord(handle_, LineOf(entry));
}
