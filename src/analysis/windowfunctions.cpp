#include "analysis/windowfunctions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace zarvik {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct WindowKind {
    WindowFunction window;
    const char* name;
    std::array<double, 5> a; // a0 .. a4, the signs alternate
};

constexpr WindowKind kKinds[] = {
    {WindowFunction::Rect, "rect", {1.0, 0.0, 0.0, 0.0, 0.0}},
    {WindowFunction::Hann, "hann", {0.5, 0.5, 0.0, 0.0, 0.0}},
    {WindowFunction::Hamming, "hamming", {0.54, 0.46, 0.0, 0.0, 0.0}},
    {WindowFunction::Blackman, "blackman", {0.42, 0.5, 0.08, 0.0, 0.0}},
    {WindowFunction::Flattop,
     "flattop",
     {0.21557895, 0.41663158, 0.277263158, 0.083578947, 0.006947368}},
};

// Neumaier's summation: the rounding error of every addition is kept and added at the end.
class CompensatedSum {
public:
    void add(double v) {
        const double t = m_sum + v;
        m_error += std::abs(m_sum) >= std::abs(v) ? (m_sum - t) + v : (v - t) + m_sum;
        m_sum = t;
    }
    double value() const { return m_sum + m_error; }

private:
    double m_sum = 0.0;
    double m_error = 0.0;
};

const WindowKind& kindOf(WindowFunction window) {
    for (const WindowKind& k : kKinds)
        if (k.window == window)
            return k;
    return kKinds[0];
}

} // namespace

const char* windowName(WindowFunction window) {
    return kindOf(window).name;
}

std::optional<WindowFunction> windowFromName(const std::string& name) {
    for (const WindowKind& k : kKinds)
        if (name == k.name)
            return k.window;
    return std::nullopt;
}

std::vector<double> windowValues(WindowFunction window, int n) {
    const std::array<double, 5>& a = kindOf(window).a;
    std::vector<double> values(static_cast<std::size_t>(std::max(n, 0)));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(n);
        double w = a[0];
        for (std::size_t j = 1; j < a.size(); ++j)
            w += (j % 2 == 1 ? -a[j] : a[j]) * std::cos(2.0 * kPi * static_cast<double>(j) * x);
        values[i] = w;
    }
    return values;
}

WindowFigures windowFigures(const std::vector<double>& values) {
    WindowFigures f;
    if (values.empty())
        return f;
    // Compensated sums: the cosines of a periodic window cancel exactly, and the figures then
    // read as the textbooks give them (0.5, not 0.499999999999998).
    CompensatedSum sum, squares;
    for (double w : values) {
        sum.add(w);
        squares.add(w * w);
    }
    const auto n = static_cast<double>(values.size());
    f.coherentGain = sum.value() / n;
    f.noiseBandwidthBins = n * squares.value() / (sum.value() * sum.value());
    return f;
}

} // namespace zarvik
