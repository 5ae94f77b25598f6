// Figures of the start-up benchmark: what is computed from the samples, without Windows.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Summary {
    double median = 0;
    double low = 0;   // 10th percentile
    double high = 0;  // 90th percentile
};

// Median and the 10th to 90th percentile spread (linear interpolation between samples);
// all zero without samples.
Summary Summarize(std::vector<double> samples);

// value / floor, or 0 when the floor is 0.
double Ratio(double value, double floor);

// The ratio of each run's value to the same run's floor (runs are interleaved, so both met the
// machine in the same state), as many as both have; a floor of 0 gives no ratio.
std::vector<double> PairedRatios(const std::vector<double>& values, const std::vector<double>& floors);

// "12.3 [11.8-13.0]": the median and the spread, with one decimal.
std::string FormatSummary(const Summary& s);

}  // namespace bench
