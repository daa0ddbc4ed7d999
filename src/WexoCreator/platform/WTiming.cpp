#include "WexoCreator/platform/WTiming.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

namespace WexoCreator {

namespace {

std::atomic<double> &factor()
{
    static std::atomic<double> value{1.0};
    return value;
}

} // namespace

double WTiming::scale()
{
    return factor().load();
}

void WTiming::setScale(double value)
{
    if (std::isfinite(value) && value >= 0)
        factor().store(value);
}

double WTiming::seconds(double seconds)
{
    const double scaled = seconds * scale();
    return std::isfinite(scaled) && scaled > 0 ? scaled : 0.0;
}

int WTiming::ms(double seconds)
{
    return int(std::min(std::round(WTiming::seconds(seconds) * 1000.0), double(std::numeric_limits<int>::max())));
}

} // namespace WexoCreator
