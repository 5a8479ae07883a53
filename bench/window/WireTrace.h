#pragma once
// The requests on the wire as qtvsim's trace records them ("  1234.567 request 05 ReadMWert"),
// and the timing figures drawn from them.

#include <string>
#include <vector>

struct WireRequest {
    double ms = 0;  // since qtvsim started
    int address = 0;
    std::string command;
};

// Every request line of the trace text whose command is `command` (all when empty).
std::vector<WireRequest> ParseRequests(const std::string& trace, const std::string& command = {});

// The p-quantile (0..1) of the values; 0 when there are none.
double Quantile(std::vector<double> values, double p);

struct PollTiming {
    int polls = 0;
    double seconds = 0;           // from the first to the last request counted
    std::vector<double> spacing;  // between requests that follow back to back (< 200 ms apart)
    std::vector<double> interval; // between two polls of the same station
};
// The requests from `skipMs` after the first one for `spanMs`.
PollTiming MeasurePolls(const std::vector<WireRequest>& requests, double skipMs, double spanMs);
