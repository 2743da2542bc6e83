#pragma once

#include <algorithm>
#include <vector>

// Order statistics of a sample of timings.
inline double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}

inline double median(std::vector<double> samples)
{
    return percentile(std::move(samples), 0.5);
}
