#include "extras/AxisPlan.h"

#include <algorithm>

AxisPlan PlanAxes(const std::vector<QString>& unitOfTrace) {
    AxisPlan plan;
    for (const QString& raw : unitOfTrace) {
        const QString unit = raw.trimmed();
        auto it = std::find_if(plan.axes.begin(), plan.axes.end(), [&](const AxisPlan::Axis& a) { return a.unit == unit; });
        if (it == plan.axes.end()) {
            AxisPlan::Axis axis;
            axis.unit = unit;
            plan.axes.push_back(axis);
            it = plan.axes.end() - 1;
        }
        plan.axisOfTrace.push_back(int(it - plan.axes.begin()));
    }
    if (plan.axes.empty()) plan.axes.push_back({});
    const int n = int(plan.axes.size());
    plan.panes = n > 2 ? n : 1;
    for (int i = 0; i < n; ++i) {
        plan.axes[std::size_t(i)].pane = n > 2 ? i : 0;
        plan.axes[std::size_t(i)].right = n == 2 && i == 1;
    }
    return plan;
}

std::vector<int> PaneHeights(int height, int panes, int timeLabelBand) {
    panes = std::max(1, panes);
    const int band = std::clamp(timeLabelBand, 0, std::max(0, height));
    const int plots = height - band;
    std::vector<int> heights(static_cast<std::size_t>(panes));
    for (int i = 0; i < panes; ++i) heights[std::size_t(i)] = plots * (i + 1) / panes - plots * i / panes;
    heights.back() += band;
    return heights;
}
