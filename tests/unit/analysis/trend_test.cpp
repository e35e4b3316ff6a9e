#include "analysis/trend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using zarvik::fitTrend;
using zarvik::TrendRequest;

TrendRequest request(int first, int last, int step, double periodUs) {
    TrendRequest r;
    r.visibleFirst = first;
    r.visibleLast = last;
    r.step = step;
    r.samplePeriodUs = periodUs;
    r.decimalSeparator = ',';
    return r;
}

// A series whose used points deviate from their mean by amplitude * e^(rate * t), t the
// point's time in ms. The signs run +, -, -, + over the used points, which keeps the mean of
// a slowly varying deviation at the offset to within a few parts in a million of the
// smallest deviation. Points that are not used hold a value far away.
std::vector<double> exponential(int first, int count, int step, double periodUs, double amplitude,
                                double rate) {
    std::vector<double> x(static_cast<std::size_t>(first + count * step + 10), 1e6);
    const double sign[4] = {1.0, -1.0, -1.0, 1.0};
    for (int k = 0; k < count; ++k) {
        const int c = first + k * step;
        const double t = c * periodUs / 1000.0;
        x[static_cast<std::size_t>(c)] = 100.0 + sign[k % 4] * amplitude * std::exp(rate * t);
    }
    return x;
}

// The least-squares line of the points against their time in ms, by the textbook formula.
void lineInTime(const zarvik::TrendResult& r, double periodUs, double& a, double& b) {
    double st = 0, sy = 0;
    for (const auto& p : r.points) {
        st += p.x * periodUs / 1000.0;
        sy += p.y;
    }
    const double n = static_cast<double>(r.points.size());
    const double mt = st / n, my = sy / n;
    double num = 0, den = 0;
    for (const auto& p : r.points) {
        const double t = p.x * periodUs / 1000.0;
        num += (t - mt) * (p.y - my);
        den += (t - mt) * (t - mt);
    }
    a = num / den;
    b = my - a * mt;
}

TEST(TrendFit, DecayingDeviationGivesItsRateAndLogAmplitude) {
    // The used points lie 1 ms apart whatever the step, over 1 s.
    for (int step : {1, 2, 5}) {
        const double T = 1000.0 / step;
        const auto series = exponential(10, 1000, step, T, 5.0, -0.002);
        const int last = 10 + 999 * step;
        const auto r = fitTrend(series, request(10, last, step, T));
        ASSERT_TRUE(r) << "step " << step;
        EXPECT_TRUE(r->fitted);
        ASSERT_EQ(r->points.size(), 1000u);
        EXPECT_NEAR(r->slope, -0.002, 1e-10) << "step " << step;
        EXPECT_NEAR(r->intercept, std::log(5.0), 1e-8) << "step " << step;
        // The drawn line lies on the logarithm points.
        for (const auto& p : r->points)
            ASSERT_NEAR(p.x * T / 1000.0 * r->slope + r->intercept, p.y, 1e-5)
                << "step " << step << " point " << p.x;
        EXPECT_EQ(r->lineFirstX, 10.0);
        EXPECT_NEAR(r->lineFirstY, std::log(5.0) - 0.002 * 10 * T / 1000.0, 1e-6);
        EXPECT_EQ(r->lineLastX, static_cast<double>(last));
        EXPECT_NEAR(r->lineLastY, std::log(5.0) - 0.002 * last * T / 1000.0, 1e-6);
    }
}

TEST(TrendFit, SlopeIsPerMillisecondWhateverThePeriod) {
    // 250 us sampling, growth 0.01 per ms, step 4.
    const auto series = exponential(3, 800, 4, 250.0, 0.5, 0.01);
    const auto r = fitTrend(series, request(3, 3 + 799 * 4, 4, 250.0));
    ASSERT_TRUE(r);
    EXPECT_NEAR(r->slope, 0.01, 1e-7);
    EXPECT_NEAR(r->intercept, std::log(0.5), 1e-4);
}

TEST(TrendFit, PointsCarryIndexLogarithmAndTimeLabel) {
    const std::vector<double> series{0.0, 1.0, -1.0, 4.0, -4.0, 0.0};
    // Points 1..4 used; mean 0.
    const auto r = fitTrend(series, request(1, 4, 1, 1500.0));
    ASSERT_TRUE(r);
    ASSERT_EQ(r->points.size(), 4u);
    EXPECT_EQ(r->points[0].x, 1);
    EXPECT_EQ(r->points[0].y, 0.0);
    EXPECT_EQ(r->points[2].x, 3);
    EXPECT_DOUBLE_EQ(r->points[2].y, std::log(4.0));
    // 1.5 ms and 4.5 ms in whole milliseconds, halves to even.
    EXPECT_EQ(r->points[0].label, "2");
    EXPECT_EQ(r->points[1].label, "3");
    EXPECT_EQ(r->points[2].label, "4");
    EXPECT_EQ(r->points[3].label, "6");
}

TEST(TrendText, LabelHasSixDecimalsAndTheLocaleSeparator) {
    const auto series = exponential(0, 2000, 1, 1000.0, std::exp(1.5), -0.002);
    const auto r = fitTrend(series, request(0, 1999, 1, 1000.0));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->labelText, "-0,002000*x+1,500000");
}

TEST(TrendText, ClipboardLineEndsWithChannelGroupAndFileName) {
    const auto series = exponential(8, 500, 1, 250.0, 5.0, -0.002);
    auto req = request(8, 507, 1, 250.0);
    req.channel = 5;
    req.fileName = "C:\\Данные\\опыт.d8c";
    const auto r = fitTrend(series, req);
    ASSERT_TRUE(r);
    const std::string& line = r->clipboardLine;
    const std::string tail = "\t52, C:\\Данные\\опыт.d8c";
    ASSERT_GE(line.size(), tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
    // a, b, first and last time in ms, then the channel field.
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[2], "2");
    EXPECT_EQ(fields[3], "126,75");
    std::string slope = fields[0];
    slope[slope.find(',')] = '.';
    EXPECT_NEAR(std::stod(slope), -0.002, 1e-7);

    req.fileName.clear();
    req.channel = 2;
    const auto noFile = fitTrend(series, req);
    ASSERT_TRUE(noFile);
    EXPECT_EQ(noFile->clipboardLine.substr(noFile->clipboardLine.size() - 5), "\t21, ");
}

TEST(TrendDeviation, ValueAtTheMeanTakesTheUsedPointBefore) {
    // Mean 2 exactly; point 2 sits on it and takes point 1's deviation, 4.
    const std::vector<double> series{1.0, 6.0, 2.0, 7.0, -6.0};
    const auto r = fitTrend(series, request(0, 4, 1, 1000.0));
    ASSERT_TRUE(r);
    ASSERT_EQ(r->points.size(), 5u);
    EXPECT_EQ(r->points[2].x, 2);
    EXPECT_DOUBLE_EQ(r->points[2].y, std::log(4.0));

    // With step 2 the point before is two indices back, even before the stretch.
    const std::vector<double> spaced{10.0, 0.0, 5.0, 0.0, 1.0, 0.0, 9.0};
    const auto s = fitTrend(spaced, request(2, 6, 2, 1000.0)); // used 5, 1, 9: mean 5
    ASSERT_TRUE(s);
    ASSERT_EQ(s->points.size(), 3u);
    EXPECT_EQ(s->points[0].x, 2);
    EXPECT_DOUBLE_EQ(s->points[0].y, std::log(5.0));
}

TEST(TrendDeviation, PointWithoutADeviationIsLeftOutAndTheRestKeepTheirTimes) {
    // Mean 5. Point 0 has no point before it; point 1's point before is on the mean too.
    const std::vector<double> series{5.0, 5.0, 4.0, 7.0, 1.0, 8.0};
    const auto r = fitTrend(series, request(0, 5, 1, 1000.0));
    ASSERT_TRUE(r);
    ASSERT_EQ(r->points.size(), 4u);
    EXPECT_EQ(r->points[0].x, 2);
    EXPECT_TRUE(r->fitted);
    double a = 0, b = 0;
    lineInTime(*r, 1000.0, a, b);
    EXPECT_NEAR(r->slope, a, 1e-12);
    EXPECT_NEAR(r->intercept, b, 1e-12);

    // First visible point on the mean with fewer points before it than the step.
    const std::vector<double> spaced{0.0, 5.0, 0.0, 1.0, 0.0, 9.0};
    const auto s = fitTrend(spaced, request(1, 5, 2, 1000.0)); // used 5, 1, 9: mean 5
    ASSERT_TRUE(s);
    ASSERT_EQ(s->points.size(), 2u);
    EXPECT_EQ(s->points[0].x, 3);
    EXPECT_EQ(s->points[1].x, 5);
}

TEST(TrendDeviation, TooFewPointsGiveALevelLineAndNoNumberIsUndefined) {
    // One used point: it is its own mean and takes the point before, 3 - 7.
    const std::vector<double> series{3.0, 7.0};
    const auto one = fitTrend(series, request(1, 1, 1, 1000.0));
    ASSERT_TRUE(one);
    EXPECT_FALSE(one->fitted);
    ASSERT_EQ(one->points.size(), 1u);
    EXPECT_EQ(one->slope, 0.0);
    EXPECT_DOUBLE_EQ(one->intercept, std::log(4.0));
    EXPECT_EQ(one->labelText, "0,000000*x+1,386294");

    // A flat stretch has no logarithm anywhere.
    const std::vector<double> flat(50, 0.3);
    const auto none = fitTrend(flat, request(0, 49, 1, 1000.0));
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->fitted);
    EXPECT_TRUE(none->points.empty());
    EXPECT_EQ(none->labelText, "0,000000*x+0,000000");
    EXPECT_EQ(none->clipboardLine, "0\t0\t0\t49\t11, ");
    EXPECT_EQ(none->lineFirstY, 0.0);
    EXPECT_EQ(none->lineLastY, 0.0);
}

TEST(TrendStretch, NothingToFitGivesNoResultAndTheStretchIsCutToTheSeries) {
    const std::vector<double> series{1.0, 2.0, 4.0, 8.0};
    EXPECT_FALSE(fitTrend(series, request(-1, 3, 1, 1000.0)));
    EXPECT_FALSE(fitTrend(series, request(3, 2, 1, 1000.0)));
    EXPECT_FALSE(fitTrend(series, request(4, 9, 1, 1000.0)));
    EXPECT_FALSE(fitTrend(series, request(0, 3, 0, 1000.0)));
    EXPECT_FALSE(fitTrend(series, request(0, 3, 1, 0.0)));
    EXPECT_FALSE(fitTrend(series, request(0, 3, 1, -5.0)));
    const auto cut = fitTrend(series, request(0, 1000, 1, 1000.0));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->points.size(), 4u);
    EXPECT_EQ(cut->lineLastX, 3.0);
}

} // namespace
