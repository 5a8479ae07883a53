#pragma once
// Where the trend puts its value axes: one per unit (in the order the stations came; units that
// differ only in spaces around them are one), each station drawn against its unit's axis. Up to
// two units share one pane, the first axis on the left and the second on the right; more units
// get a pane each, stacked over one time axis, every axis on the left: axes side by side would
// each take a strip of the width and leave the operator to guess which curve belongs to which.
// Plain C++, so that the choice is tested without a chart.

#include <QString>
#include <vector>

struct AxisPlan {
    struct Axis {
        QString unit;
        int pane = 0;
        bool right = false;
    };
    std::vector<Axis> axes;        // an empty plan still has one axis, without a unit
    std::vector<int> axisOfTrace;
    int panes = 1;
};

AxisPlan PlanAxes(const std::vector<QString>& unitOfTrace);

// The heights of stacked panes in `height` pixels: the plots equally high, the lowest pane
// taller by the band of the time labels under it; together exactly `height`.
std::vector<int> PaneHeights(int height, int panes, int timeLabelBand);
