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

        // Some runs start inside the series, as a zoomed view's does.
        const int from = trial % 4 == 1 ? n / 5 : 0;
        QVector<QLineF> every;
        QVector<QLineF> decimated;
        appendEveryPoint(StoredX{s.x.data()}, s.y.data(), from, n - 1, mx, my, every);
        YBlocks blocks;
        for (size_t i = 0; i < s.y.size(); ++i)
            blocks.note(i, s.y[i]);
        appendDecimated(StoredX{s.x.data()}, s.y.data(), blocks, from, n - 1, mx, my, decimated);
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

// Rows are kept upright here (scale +1) so that the expected lines read plainly.
TEST(Decimation, StepsToTheNextColumnSplitHalfwayAndLongerStepsAreLines) {
    const PixelMap one{1, 0};
    const auto every = [&](std::vector<double> x, std::vector<double> y) {
        QVector<QLineF> lines;
        appendEveryPoint(StoredX{x.data()}, y.data(), 0, static_cast<int>(x.size()) - 1, one, one,
                         lines);
        return lines;
    };
    EXPECT_EQ(every({0, 1}, {0, 10}), (QVector<QLineF>{{0, 0, 0, 5}, {1, 6, 1, 10}}));
    EXPECT_EQ(every({0, 1}, {0, -3}), (QVector<QLineF>{{0, -1, 0, 0}, {1, -3, 1, -2}}));
    EXPECT_EQ(every({0, 1}, {4, 4}), (QVector<QLineF>{{0, 4, 0, 4}, {1, 4, 1, 4}}));
    EXPECT_EQ(every({0, 3}, {0, 10}), (QVector<QLineF>{{0, 0, 3, 10}}));
    EXPECT_EQ(every({2, 2}, {7, 1}), (QVector<QLineF>{{2, 7, 2, 1}}));

    const double x[] = {0, 0, 1, 5};
    const double y[] = {3, 9, 0, 2};
    YBlocks blocks;
    for (size_t i = 0; i < 4; ++i)
        blocks.note(i, y[i]);
    QVector<QLineF> lines;
    appendDecimated(StoredX{x}, y, blocks, 0, 3, one, one, lines);
    // Column 0 holds rows 3..9, which take in its half of the step down to row 0; column 1
    // holds the other half, rows 4 down to 0, and a line crosses the gap to column 5.
    EXPECT_EQ(lines, (QVector<QLineF>{{0, 3, 0, 9}, {1, 0, 5, 2}, {1, 0, 1, 4}, {5, 2, 5, 2}}));
}

} // namespace
} // namespace zarvik
