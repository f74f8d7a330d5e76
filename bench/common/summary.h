#pragma once
// Median and range of a benchmark's rounds.

#include <algorithm>
#include <vector>

namespace tessaria::bench {

struct TStats {
    double Median = 0, Min = 0, Max = 0;
};

// All zero for no rounds; an even count takes the mean of the middle two.
inline TStats Summary(std::vector<double> v)
{
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return {n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v.front(), v.back()};
}

} // namespace tessaria::bench
