#include "WireTrace.h"

#include <algorithm>
#include <map>
#include <sstream>

std::vector<WireRequest> ParseRequests(const std::string& trace, const std::string& command) {
    std::vector<WireRequest> requests;
    std::istringstream lines(trace);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        WireRequest r;
        std::string word;
        if (!(fields >> r.ms >> word) || word != "request") continue;
        if (!(fields >> r.address >> r.command)) continue;
        if (command.empty() || r.command == command) requests.push_back(r);
    }
    return requests;
}

double Quantile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

PollTiming MeasurePolls(const std::vector<WireRequest>& requests, double skipMs, double spanMs) {
    PollTiming t;
    if (requests.empty()) return t;
    const double from = requests.front().ms + skipMs, to = from + spanMs;
    std::map<int, double> lastOf;
    const WireRequest* previous = nullptr;
    double first = 0, last = 0;
    for (const WireRequest& r : requests) {
        if (r.ms < from || r.ms > to) continue;
        if (t.polls++ == 0) first = r.ms;
        last = r.ms;
        if (previous && r.ms - previous->ms < 200) t.spacing.push_back(r.ms - previous->ms);
        if (const auto it = lastOf.find(r.address); it != lastOf.end()) t.interval.push_back(r.ms - it->second);
        lastOf[r.address] = r.ms;
        previous = &r;
    }
    t.seconds = (last - first) / 1000.0;
    return t;
}
