#include "bench/stats.h"

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

double Percentile(const std::vector<double>& sorted, double p) {
    double position = p * static_cast<double>(sorted.size() - 1);
    size_t below = static_cast<size_t>(position);
    if (below + 1 >= sorted.size())
        return sorted.back();
    double fraction = position - static_cast<double>(below);
    return sorted[below] + (sorted[below + 1] - sorted[below]) * fraction;
}

}  // namespace

Summary Summarize(std::vector<double> samples) {
    Summary s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    s.median = Percentile(samples, 0.5);
    s.low = Percentile(samples, 0.1);
    s.high = Percentile(samples, 0.9);
    return s;
}

double Ratio(double value, double floor) {
    return floor == 0 ? 0 : value / floor;
}

std::vector<double> PairedRatios(const std::vector<double>& values, const std::vector<double>& floors) {
    std::vector<double> ratios;
    for (size_t i = 0; i < values.size() && i < floors.size(); ++i)
        if (floors[i] != 0)
            ratios.push_back(values[i] / floors[i]);
    return ratios;
}

std::string FormatSummary(const Summary& s) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f [%.1f-%.1f]", s.median, s.low, s.high);
    return text;
}

}  // namespace bench
