#include "report/ChartScale.h"

#include <cmath>

namespace report {

ChartScale MinuteScale(double largest) {
    static constexpr double kSmall[] = {1, 2, 5, 10, 15, 30};
    static constexpr double kHours[] = {1, 2, 5};
    constexpr int kTicks = 5;
    if (!(largest > 0.0) || !std::isfinite(largest))
        return {};
    auto fits = [largest](double step) { return std::ceil(largest / step) <= kTicks; };
    for (const double step : kSmall)
        if (fits(step))
            return {step * std::ceil(largest / step), step};
    for (double decade = 60.0;; decade *= 10.0)
        for (const double factor : kHours)
            if (fits(factor * decade))
                return {factor * decade * std::ceil(largest / (factor * decade)), factor * decade};
}

} // namespace report
