#pragma once
// Where the time axis gets its labels: a step from a fixed ladder (1 s ... 7 days) so that about
// `wanted` labels fit, on round times of the local clock, labelled as the step needs; every label
// carries its date when the range crosses midnight.

#include <QString>
#include <cstdint>
#include <vector>

struct TimeTick {
    std::int64_t t;  // ms on the local time line
    QString label;
};

std::vector<TimeTick> TimeTicks(std::int64_t from, std::int64_t to, int wanted);
