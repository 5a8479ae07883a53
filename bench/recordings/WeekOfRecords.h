#pragma once
// Recording files as the program writes them: one station, two records a second, a week long,
// with a slow wave, noise, now and then a value over the range, and (if asked) a pause of a few
// seconds every `holeEvery` seconds.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "records/LocalTime.h"
#include "records/RecordingFiles.h"

inline std::uint64_t WriteWeekOfRecords(const std::string& folder, int address, const Date& first, int days,
                                        int holeEvery = 0) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> noise(-30, 30);
    std::uint64_t lines = 0;
    Date d = first;
    for (int day = 0; day < days; ++day, d = NextDay(d)) {
        std::string bytes;
        bytes.reserve(172'800 * 22);
        for (int s = 0; s < 86'400; ++s) {
            if (holeEvery > 0 && s % holeEvery < 5) continue;
            for (int half = 0; half < 2; ++half) {
                char line[64];
                const int v = int(2000 + 1500 * std::sin((day * 86'400 + s) / 3600.0)) + noise(random);
                if ((s + half) % 7919 == 0)
                    std::snprintf(line, sizeof line, "%02d:%02d:%02d Ueber bar\r\n", s / 3600, s / 60 % 60, s % 60);
                else
                    std::snprintf(line, sizeof line, "%02d:%02d:%02d%c%02d.%02d bar\r\n", s / 3600, s / 60 % 60, s % 60,
                                  v < 0 ? '-' : ' ', std::abs(v) / 100, std::abs(v) % 100);
                bytes += line;
                ++lines;
            }
        }
        std::ofstream(std::filesystem::path(folder) / RecordingFileName(address, d), std::ios::binary) << bytes;
    }
    return lines;
}

// Recording files of one station with a record every `everyMs` (a station among many that a
// cycle reaches only every few seconds), the same wave and noise.
inline std::uint64_t WriteRecordsEvery(const std::string& folder, int address, const Date& first, int days, int everyMs) {
    std::mt19937 random{std::uint32_t(address)};
    std::uniform_int_distribution<int> noise(-30, 30);
    std::uint64_t lines = 0;
    Date d = first;
    for (int day = 0; day < days; ++day, d = NextDay(d)) {
        std::string bytes;
        for (std::int64_t ms = (address * 131) % everyMs; ms < 86'400'000; ms += everyMs) {
            const int s = int(ms / 1000);
            char line[64];
            const int v = int(2000 + 1500 * std::sin((day * 86'400 + s) / 3600.0 + address)) + noise(random);
            std::snprintf(line, sizeof line, "%02d:%02d:%02d%c%02d.%02d bar\r\n", s / 3600, s / 60 % 60, s % 60,
                          v < 0 ? '-' : ' ', std::abs(v) / 100, std::abs(v) % 100);
            bytes += line;
            ++lines;
        }
        std::ofstream(std::filesystem::path(folder) / RecordingFileName(address, d), std::ios::binary) << bytes;
    }
    return lines;
}
