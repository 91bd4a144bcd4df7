#pragma once

// The value axis of a report chart: from 0 to `top` in ticks of `step`, with
// steps that read well as hours and minutes (5, 10, 15, 30 minutes, 1, 2,
// 5 hours ...), at most five of them.
namespace report {

struct ChartScale {
    double top = 60.0;
    double step = 15.0;
};

ChartScale MinuteScale(double largest);

} // namespace report
