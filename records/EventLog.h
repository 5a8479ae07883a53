#pragma once
// The event log: what happened on the bus and in the program, each entry with its date and
// time (platform/Clock.h, replaceable in tests) and the station it concerns. The latest
// entries stay in memory for the window; every entry is also appended as one line to the text
// file of its day, EREIGNIS-YYYY-MM-DD.txt in the recording folder. Like the recording files,
// that file never stops the program: an entry that cannot be written is kept in memory only.

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

#include "platform/Clock.h"

struct EventEntry {
    LocalDateTime when;
    int station = kNoStation;  // bus address, kAllStations for a broadcast, or kNoStation
    std::string text;         // UTF-8

    static constexpr int kNoStation = -1;
    static constexpr int kAllStations = 0x20;
};

class EventLog {
public:
    // folder: where the daily files go ("" is the current working directory).
    explicit EventLog(std::string folder = {}, std::size_t capacity = kDefaultCapacity);
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    void Add(int station, const std::string& text);
    void Add(const std::string& text) { Add(EventEntry::kNoStation, text); }

    // Oldest first; at most `capacity` entries.
    const std::deque<EventEntry>& Entries() const { return entries_; }

    // Called after every new entry (the open window follows the log). Empty: nobody listens.
    void SetListener(std::function<void(const EventEntry&)> listener) { listener_ = std::move(listener); }

    // The daily file's name for a date, and the line an entry becomes in it (with "\r\n").
    static std::string FileNameFor(const LocalDateTime& day);
    static std::string LineOf(const EventEntry& entry);
    // "Station 5", "alle Stationen" or "" for an entry of the program.
    static std::string StationText(int station);
    static std::string DateTimeText(const LocalDateTime& t);  // "05.01.2026 12:00:03"

    static constexpr std::size_t kDefaultCapacity = 2000;

private:
    void AppendToFile(const EventEntry& entry);

    std::string folder_;
    std::size_t capacity_;
    std::deque<EventEntry> entries_;
    std::function<void(const EventEntry&)> listener_;
    std::string fileName_;  // the file open in handle_, or the one that failed to open
    int handle_ = -1;
};
