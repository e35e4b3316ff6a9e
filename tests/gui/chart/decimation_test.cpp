#include "chart/decimation.h"

#include "charttesting.h"

#include <gtest/gtest.h>

#include <random>

namespace zarvik {
namespace {

QImage linesImage(const QVector<QLineF>& lines, QSize size, QRect clip) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setClipRect(clip);
    QPen pen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLines(lines);
    return image;
}

struct Signal {
    std::vector<double> x;
    std::vector<double> y;
};

Signal randomSignal(std::mt19937& random, int n) {
    std::normal_distribution<double> noise(0.0, 1.0);
    Signal s;
    double level = 0.0;
    const bool walk = random() % 2 == 0;
    for (int i = 0; i < n; ++i) {
        // Uneven x steps, some of them repeated, exercise the column search.
        s.x.push_back(i == 0 ? 0.0 : s.x.back() + (random() % 4) * 0.25);
        level = walk ? level + noise(random) : std::sin(i * 0.01) * 50 + noise(random) * 5;
        s.y.push_back(level);
    }
    return s;
}

// The shortened drawing must set exactly the pixels of the line through every point, for
// whole views and zoomed ones (where lines run to points far outside the plot).
TEST(Decimation, SetsTheSamePixelsAsDrawingEveryPoint) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 40; ++trial) {
        const int n = 2 + static_cast<int>(random() % 40000);
        const Signal s = randomSignal(random, n);
        const QRect plot(10, 10, 200 + static_cast<int>(random() % 900),
                         100 + static_cast<int>(random() % 400));
        double x0 = s.x.front();
        double x1 = s.x.back();
        if (trial % 2 == 1) {
            x0 = s.x[static_cast<size_t>(n / 3)];
            x1 = x0 + 1.0 + (random() % 2000) * 0.25;
        }
        if (x1 <= x0)
            x1 = x0 + 1;
        const auto [lowY, highY] = std::minmax_element(s.y.begin(), s.y.end());
        const double y0 = *lowY + (trial % 3 == 0 ? (*highY - *lowY) / 3 : 0.0);
        const double y1 = *highY + 1e-9;
        PixelMap mx{(plot.width() - 1) / (x1 - x0), 0.0};
        mx.offset = plot.left() - x0 * mx.scale;
        PixelMap my{-(plot.height() - 1) / (y1 - y0), 0.0};
        my.offset = plot.bottom() - y0 * my.scale;

        QVector<QLineF> every;
        QVector<QLineF> decimated;
        appendEveryPoint(s.x.data(), s.y.data(), 0, n - 1, mx, my, every);
        appendDecimated(s.x.data(), s.y.data(), 0, n - 1, mx, my, decimated);
        const QSize size(plot.right() + 11, plot.bottom() + 11);
        EXPECT_EQ(testing::differingPixels(linesImage(every, size, plot),
                                           linesImage(decimated, size, plot)),
                  0)
            << "trial " << trial << ", " << n << " points";
        if (trial % 2 == 0 && n > 10 * plot.width()) {
            EXPECT_LT(decimated.size(), 2 * plot.width() + 2);
        }
    }
}

TEST(Decimation, KeepsEveryPointThatHasAColumnOfItsOwn) {
    const double x[] = {0, 1, 2, 3};
    const double y[] = {0, 10, 0, 10};
    const PixelMap mx{10, 0};
    const PixelMap my{-1, 20};
    QVector<QLineF> lines;
    appendDecimated(x, y, 0, 3, mx, my, lines);
    EXPECT_EQ(lines, (QVector<QLineF>{{0, 20, 10, 10}, {10, 10, 20, 20}, {20, 20, 30, 10}}));
}

} // namespace
} // namespace zarvik
