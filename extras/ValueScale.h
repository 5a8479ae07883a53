#pragma once
// The scale of a value axis: round ticks (1, 2, 2.5 or 5 times a power of ten) at about one per
// 50 pixels, never fewer than four unless the axis is too short to part their labels (under
// 24 pixels each), the axis ending on ticks; an axis of values that are all
// positive (or all negative) does not reach past zero. Plain C++, so that the choice is tested
// without a chart.

struct ValueScale {
    double low = 0;
    double high = 1;
    double step = 0.25;
    int decimals = 2;  // digits behind the comma that tell the ticks apart
    int Ticks() const;
};

ValueScale ChooseValueScale(double low, double high, int pixels);
