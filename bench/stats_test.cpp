#include "bench/stats.h"

#include <gtest/gtest.h>

namespace {

TEST(BenchStats, MedianAndSpreadOfSamples) {
    struct {
        std::vector<double> samples;
        double median, low, high;
    } cases[] = {
        {{}, 0, 0, 0},
        {{7}, 7, 7, 7},
        {{4, 2}, 3, 2.2, 3.8},
        {{5, 1, 3}, 3, 1.4, 4.6},
        {{10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 100}, 6, 2, 10},  // one outlier moves neither
    };
    for (const auto& c : cases) {
        bench::Summary s = bench::Summarize(c.samples);
        EXPECT_DOUBLE_EQ(s.median, c.median) << c.samples.size();
        EXPECT_DOUBLE_EQ(s.low, c.low) << c.samples.size();
        EXPECT_DOUBLE_EQ(s.high, c.high) << c.samples.size();
    }
}

TEST(BenchStats, RatiosAndText) {
    EXPECT_DOUBLE_EQ(bench::Ratio(110, 100), 1.1);
    EXPECT_DOUBLE_EQ(bench::Ratio(5, 0), 0);
    EXPECT_EQ(bench::PairedRatios({10, 30, 9}, {5, 0, 3, 7}), (std::vector<double>{2, 3}));
    EXPECT_EQ(bench::FormatSummary({12.34, 11.76, 13.05}), "12.3 [11.8-13.1]");
}

}  // namespace
