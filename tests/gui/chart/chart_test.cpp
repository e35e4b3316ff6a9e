#include "chart/chart.h"
#include "chart/decimation.h"
#include "chart/wincolor.h"
#include "common/widevectors.h"

#include "charttesting.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace zarvik {
namespace {

using testing::drag;
using testing::drawn;
using testing::mouse;

struct ChartFixture : ::testing::Test {
    ChartFixture() { chart.resize(800, 500); }

    // n points at x = 0, step, 2 step, ...
    LineSeries* ramp(int n, double step = 1.0, const QString& title = "Ch") {
        LineSeries* s = chart.addLineSeries(title);
        for (int i = 0; i < n; ++i)
            s->append(i * step, std::sin(i * 0.1) * 100);
        return s;
    }

    Chart chart;
};

using VisibleRange = ChartFixture;

TEST_F(VisibleRange, IsMinusOneUntilTheSeriesIsDrawnAndAfterItIsCleared) {
    LineSeries* s = ramp(100);
    EXPECT_EQ(s->firstVisible(), -1);
    EXPECT_EQ(s->lastVisible(), -1);
    drawn(chart);
    EXPECT_EQ(s->firstVisible(), 0);
    EXPECT_EQ(s->lastVisible(), 99);
    s->clear();
    EXPECT_EQ(s->firstVisible(), -1);
    EXPECT_EQ(s->lastVisible(), -1);
    drawn(chart);
    EXPECT_EQ(s->lastVisible(), -1);
}

TEST_F(VisibleRange, BoundsThePointsInsideTheBottomAxisRange) {
    LineSeries* s = ramp(30000, 0.5);
    const struct {
        double min, max;
        int first, last;
    } cases[] = {
        {100.0, 200.0, 200, 400}, // points on both limits count
        {100.1, 199.9, 201, 399}, // limits between points
        {-50.0, 0.0, 0, 0},       // one point at the start
        {14999.5, 20000.0, 29999, 29999},
        {-10.0, 1e6, 0, 29999},     // wider than the series
        {20000.0, 30000.0, -1, -1}, // right of all points
        {-10.0, -1.0, -1, -1},      // left of all points
        {100.1, 100.4, -1, -1},     // between two points
    };
    for (const auto& c : cases) {
        chart.bottomAxis()->setRange(c.min, c.max);
        drawn(chart);
        EXPECT_EQ(s->firstVisible(), c.first) << c.min << ".." << c.max;
        EXPECT_EQ(s->lastVisible(), c.last) << c.min << ".." << c.max;
    }
}

TEST_F(VisibleRange, OfASeriesHiddenThroughTheLegendKeepsItsLastDrawing) {
    LineSeries* first = ramp(1000, 1.0, "1");
    LineSeries* second = ramp(1000, 1.0, "2");
    drawn(chart);
    // Click the first legend entry: on a legend of a colour of its own, the first white pixel
    // is inside the check box of the first entry.
    chart.setLegendColor(QColor(200, 100, 50));
    const QImage image = drawn(chart);
    QRect legend;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == QColor(200, 100, 50))
                legend |= QRect(x, y, 1, 1);
    QPoint box(-1, -1);
    for (int y = legend.top(); y <= legend.bottom() && box.x() < 0; ++y)
        for (int x = legend.left(); x <= legend.right() && box.x() < 0; ++x)
            if (QColor(image.pixel(x, y)) == QColor(Qt::white))
                box = QPoint(x + 2, y + 2);
    ASSERT_GE(box.x(), 0);
    mouse(chart, QEvent::MouseButtonPress, box, Qt::LeftButton, Qt::LeftButton);
    mouse(chart, QEvent::MouseButtonRelease, box, Qt::LeftButton, Qt::NoButton);
    ASSERT_FALSE(first->isActive());
    EXPECT_TRUE(second->isActive());

    chart.bottomAxis()->setRange(10, 20);
    drawn(chart);
    EXPECT_EQ(first->firstVisible(), 0);
    EXPECT_EQ(first->lastVisible(), 999);
    EXPECT_EQ(second->firstVisible(), 10);
    EXPECT_EQ(second->lastVisible(), 20);
}

using AutomaticRange = ChartFixture;

TEST_F(AutomaticRange, FitsAllPointsOfTheActiveSeriesAfterEveryChange) {
    LineSeries* a = chart.addLineSeries();
    LineSeries* b = chart.addLineSeries();
    a->append(1, 5);
    a->append(2, -3);
    b->append(-4, 2);
    b->append(10, 8);
    EXPECT_EQ(chart.bottomAxis()->minimum(), -4);
    EXPECT_EQ(chart.bottomAxis()->maximum(), 10);
    EXPECT_EQ(chart.leftAxis()->minimum(), -3);
    EXPECT_EQ(chart.leftAxis()->maximum(), 8);

    b->setActive(false);
    EXPECT_EQ(chart.bottomAxis()->minimum(), 1);
    EXPECT_EQ(chart.bottomAxis()->maximum(), 2);

    const double xs[] = {3, 4};
    const double ys[] = {-7, 0};
    a->append(xs, ys, 2);
    EXPECT_EQ(chart.bottomAxis()->maximum(), 4);
    EXPECT_EQ(chart.leftAxis()->minimum(), -7);

    a->clear();
    b->setActive(true);
    EXPECT_EQ(chart.leftAxis()->minimum(), 2);
    EXPECT_EQ(chart.leftAxis()->maximum(), 8);

    ArrowSeries* arrows = chart.addArrowSeries();
    arrows->append(20, 30, 20, -1);
    EXPECT_EQ(chart.bottomAxis()->maximum(), 20);
    EXPECT_EQ(chart.leftAxis()->minimum(), -1);
    EXPECT_EQ(chart.leftAxis()->maximum(), 30);
}

TEST_F(AutomaticRange, StopsWhileZoomedAndReturnsWithTheFullView) {
    LineSeries* s = ramp(100);
    chart.bottomAxis()->setRange(10, 20);
    s->append(500, 0);
    EXPECT_TRUE(chart.isZoomed());
    EXPECT_EQ(chart.bottomAxis()->maximum(), 20);
    chart.undoZoom();
    EXPECT_FALSE(chart.isZoomed());
    EXPECT_EQ(chart.bottomAxis()->minimum(), 0);
    EXPECT_EQ(chart.bottomAxis()->maximum(), 500);
}

TEST_F(AutomaticRange, NeverCollapsesToNothingNorTakesUpValuesThatAreNotNumbers) {
    LineSeries* s = chart.addLineSeries();
    s->append(5, 2048);
    s->append(6, std::log(0.0));
    s->append(7, std::nan(""));
    EXPECT_EQ(chart.leftAxis()->minimum(), 2047);
    EXPECT_EQ(chart.leftAxis()->maximum(), 2049);
    EXPECT_EQ(chart.bottomAxis()->minimum(), 4);
    EXPECT_EQ(chart.bottomAxis()->maximum(), 6);
    // Drawing a series with gaps in it neither hangs nor loses the visible range.
    drawn(chart);
    EXPECT_EQ(s->firstVisible(), 0);
    EXPECT_EQ(s->lastVisible(), 1);
}

using Axes = ChartFixture;

TEST_F(Axes, PixelsAndValuesConvertBothWays) {
    ramp(1000, 0.25);
    for (ChartAxis* axis : {chart.bottomAxis(), chart.leftAxis()}) {
        const double low = axis->valueToPixel(axis->minimum());
        const double high = axis->valueToPixel(axis->maximum());
        EXPECT_GT(std::abs(high - low), 300) << "the plot takes most of the widget";
        for (double t = 0; t <= 1.0; t += 0.125) {
            const double value = axis->minimum() + t * (axis->maximum() - axis->minimum());
            EXPECT_NEAR(axis->pixelToValue(axis->valueToPixel(value)), value, 1e-9);
        }
    }
    // x grows to the right, y upwards.
    EXPECT_LT(chart.bottomAxis()->valueToPixel(0), chart.bottomAxis()->valueToPixel(1));
    EXPECT_GT(chart.leftAxis()->valueToPixel(0), chart.leftAxis()->valueToPixel(1));
    EXPECT_NEAR(
        chart.bottomAxis()->pixelToValue(chart.bottomAxis()->valueToPixel(0) + 1),
        249.75 / (chart.bottomAxis()->valueToPixel(249.75) - chart.bottomAxis()->valueToPixel(0)),
        1e-9);
}

TEST_F(Axes, MarkRoundStepsWithLabelsThatDoNotOverlap) {
    LineSeries* s = chart.addLineSeries();
    const double spans[] = {1.0, 7.3, 240000, 0.0042, 123456.789, 3e-6};
    for (const double span : spans) {
        s->clear();
        s->append(-span / 3, -span);
        s->append(span, span / 7);
        for (ChartAxis* axis : {chart.bottomAxis(), chart.leftAxis()}) {
            const QVector<double> ticks = axis->tickValues();
            ASSERT_GE(ticks.size(), 2) << span;
            EXPECT_LE(ticks.size(), 25) << span;
            const double step = ticks[1] - ticks[0];
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
            EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                        std::abs(mantissa - 5) < 1e-6)
                << "step " << step << " for span " << span;
            for (const double tick : ticks) {
                EXPECT_NEAR(std::remainder(tick, step), 0.0, step * 1e-6);
                EXPECT_GE(tick, axis->minimum() - step * 1e-9);
                EXPECT_LE(tick, axis->maximum() + step * 1e-9);
            }
            const QVector<QString> texts = axis->tickTexts();
            for (int i = 1; i < texts.size(); ++i)
                EXPECT_NE(texts[i], texts[i - 1]) << "labels must tell the marks apart";
        }
        const QFontMetrics metrics(chart.font());
        const QVector<double> ticks = chart.bottomAxis()->tickValues();
        const QVector<QString> texts = chart.bottomAxis()->tickTexts();
        const double gap =
            chart.bottomAxis()->valueToPixel(ticks[1]) - chart.bottomAxis()->valueToPixel(ticks[0]);
        for (const QString& text : texts)
            EXPECT_LT(metrics.horizontalAdvance(text), gap) << text.toStdString();
    }
}

TEST_F(Axes, BottomAxisCanShowThePointsLabelTexts) {
    LineSeries* s = chart.addLineSeries();
    for (int j = 0; j < 1147; ++j)
        s->append(j, j % 7, QString::number(j * 0.030517578125, 'g', 15), Qt::red);
    chart.bottomAxis()->setShowPointLabels(true);
    const QVector<double> ticks = chart.bottomAxis()->tickValues();
    const QVector<QString> texts = chart.bottomAxis()->tickTexts();
    ASSERT_GE(ticks.size(), 3);
    const QFontMetrics metrics(chart.font());
    for (int i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(texts[i], s->label(static_cast<int>(ticks[i])));
        if (i > 0) {
            const double gap = chart.bottomAxis()->valueToPixel(ticks[i]) -
                               chart.bottomAxis()->valueToPixel(ticks[i - 1]);
            EXPECT_GT(gap, (metrics.horizontalAdvance(texts[i]) +
                            metrics.horizontalAdvance(texts[i - 1])) /
                               2.0);
        }
    }
    // Zoomed into a few points, every one of them is labelled.
    chart.bottomAxis()->setRange(100, 104);
    EXPECT_EQ(chart.bottomAxis()->tickValues(), (QVector<double>{100, 101, 102, 103, 104}));
    EXPECT_EQ(chart.bottomAxis()->tickTexts().front(), s->label(100));
    EXPECT_EQ(s->color(5), QColor(Qt::red));
}

TEST_F(Axes, AHiddenAxisGivesItsRoomToThePlot) {
    ramp(100);
    const double left = chart.bottomAxis()->valueToPixel(0);
    chart.leftAxis()->setVisible(false);
    EXPECT_LT(chart.bottomAxis()->valueToPixel(0), left);
    EXPECT_TRUE(chart.leftAxis()->tickValues().isEmpty());
}

using MouseGestures = ChartFixture;

TEST_F(MouseGestures, DragDownRightZoomsAndDragUpLeftUndoes) {
    ramp(1000);
    const double x0 = chart.bottomAxis()->pixelToValue(200);
    const double x1 = chart.bottomAxis()->pixelToValue(400);
    const double yTop = chart.leftAxis()->pixelToValue(100);
    const double yBottom = chart.leftAxis()->pixelToValue(300);
    drag(chart, {200, 100}, {400, 300}, Qt::LeftButton);
    EXPECT_TRUE(chart.isZoomed());
    EXPECT_DOUBLE_EQ(chart.bottomAxis()->minimum(), x0);
    EXPECT_DOUBLE_EQ(chart.bottomAxis()->maximum(), x1);
    EXPECT_DOUBLE_EQ(chart.leftAxis()->minimum(), yBottom);
    EXPECT_DOUBLE_EQ(chart.leftAxis()->maximum(), yTop);

    // A click is no drag.
    drag(chart, {300, 200}, {302, 201}, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(chart.bottomAxis()->minimum(), x0);

    drag(chart, {400, 300}, {200, 100}, Qt::LeftButton);
    EXPECT_FALSE(chart.isZoomed());
    EXPECT_EQ(chart.bottomAxis()->minimum(), 0);
    EXPECT_EQ(chart.bottomAxis()->maximum(), 999);
}

TEST_F(MouseGestures, RightDragScrollsWithoutZoomingAndARightClickIsReported) {
    ramp(1000);
    QSignalSpy clicks(&chart, &Chart::rightClicked);
    const double span = chart.bottomAxis()->maximum() - chart.bottomAxis()->minimum();
    const double perPixel =
        chart.bottomAxis()->pixelToValue(1) - chart.bottomAxis()->pixelToValue(0);
    const double ySpan = chart.leftAxis()->maximum() - chart.leftAxis()->minimum();
    drag(chart, {300, 200}, {360, 200}, Qt::RightButton);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_NEAR(chart.bottomAxis()->minimum(), -60 * perPixel, 1e-9);
    EXPECT_NEAR(chart.bottomAxis()->maximum() - chart.bottomAxis()->minimum(), span, 1e-9);
    EXPECT_NEAR(chart.leftAxis()->maximum() - chart.leftAxis()->minimum(), ySpan, 1e-9);

    const double before = chart.bottomAxis()->minimum();
    mouse(chart, QEvent::MouseButtonPress, {250, 150}, Qt::RightButton, Qt::RightButton);
    mouse(chart, QEvent::MouseButtonRelease, {250, 150}, Qt::RightButton, Qt::NoButton);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.front().front().toPoint(), QPoint(250, 150));
    EXPECT_EQ(chart.bottomAxis()->minimum(), before);
}

TEST_F(MouseGestures, MovingThePointerIsReportedInWidgetPixels) {
    QSignalSpy moves(&chart, &Chart::mouseMoved);
    mouse(chart, QEvent::MouseMove, {123, 45}, Qt::NoButton, Qt::NoButton);
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves.front(), (QList<QVariant>{123, 45}));
}

// With the cursors shown, a press on a cursor's line drags the cursor; a drag anywhere else
// zooms, undoes or scrolls as without cursors, and a click places the nearer cursor.
TEST_F(MouseGestures, APressOnACursorDragsItAndEveryOtherGestureStaysAsItWas) {
    LineSeries* s = ramp(1000);
    chart.setCursorSeries(s);
    chart.setCursorsShown(true);
    drawn(chart);
    // Placed at a third and two thirds of 0..999.
    ASSERT_EQ(chart.cursorPoint(0), 333);
    ASSERT_EQ(chart.cursorPoint(1), 666);
    const auto pixelOf = [&](int point) { return qRound(chart.bottomAxis()->valueToPixel(point)); };
    const auto clickOn = [&](int pixel) {
        mouse(chart, QEvent::MouseButtonPress, {pixel, 150}, Qt::LeftButton, Qt::LeftButton);
        mouse(chart, QEvent::MouseButtonRelease, {pixel + 1, 151}, Qt::LeftButton, Qt::NoButton);
    };

    // A drag from within reach of the second cursor's line takes it along, up and left as it
    // goes, without zooming.
    const int from = pixelOf(666) + 3;
    drag(chart, {from, 200}, {from - 150, 100}, Qt::LeftButton);
    EXPECT_FALSE(chart.isZoomed());
    const int second = s->nearestPoint(chart.bottomAxis()->pixelToValue(from - 150));
    EXPECT_EQ(chart.cursorPoint(1), second);
    EXPECT_EQ(chart.activeCursor(), 1);

    // Away from the lines the drags zoom in and back and scroll; the cursors keep their points.
    drag(chart, {pixelOf(100), 100}, {pixelOf(700), 300}, Qt::LeftButton);
    EXPECT_TRUE(chart.isZoomed());
    drag(chart, {pixelOf(200), 300}, {pixelOf(200) - 100, 100}, Qt::LeftButton);
    EXPECT_FALSE(chart.isZoomed());
    drag(chart, {pixelOf(900), 200}, {pixelOf(900) - 60, 200}, Qt::RightButton);
    EXPECT_GT(chart.bottomAxis()->minimum(), 0);
    EXPECT_EQ(chart.cursorPoint(0), 333);
    EXPECT_EQ(chart.cursorPoint(1), second);

    // A click moves the cursor nearer to it, which then takes the arrow keys; keys 1 and 2
    // choose the cursor they move.
    chart.undoZoom();
    drawn(chart);
    clickOn(pixelOf(250));
    EXPECT_FALSE(chart.isZoomed());
    const int placed = chart.cursorPoint(0);
    EXPECT_NEAR(placed, 250, 2);
    for (const auto key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_2, Qt::Key_Right})
        QTest::keyClick(&chart, key);
    EXPECT_EQ(chart.cursorPoint(0), placed + 1);
    EXPECT_EQ(chart.cursorPoint(1), second + 1);
    chart.setCursorPoint(1, 999);
    QTest::keyClick(&chart, Qt::Key_Right);
    EXPECT_EQ(chart.cursorPoint(1), 999);

    // In a zoom that shows neither cursor, two clicks place both.
    chart.bottomAxis()->setRange(400, 600);
    drawn(chart);
    clickOn(pixelOf(450));
    clickOn(pixelOf(460));
    EXPECT_EQ(chart.cursorPoint(0), 450);
    EXPECT_EQ(chart.cursorPoint(1), 460);

    // Hidden cursors take no press and no key, and leave no mark.
    const QImage shown = drawn(chart);
    chart.setCursorsShown(false);
    drag(chart, {pixelOf(460), 200}, {pixelOf(500), 200}, Qt::LeftButton);
    QTest::keyClick(&chart, Qt::Key_Left);
    EXPECT_EQ(chart.cursorPoint(1), 460);
    const QImage hidden = drawn(chart);
    EXPECT_GT(testing::differingPixels(shown, hidden), 0);
    chart.setCursorSeries(nullptr);
    EXPECT_EQ(testing::differingPixels(drawn(chart), hidden), 0);
}

using Drawing = ChartFixture;

// A dense dashed line is dashed along the columns however many points each column holds.
TEST_F(Drawing, ADashedLineLeavesGapsInEveryFewColumns) {
    chart.setLegendVisible(false);
    LineSeries* s = chart.addLineSeries("", Qt::blue);
    std::vector<double> ys;
    for (int i = 0; i < 30000; ++i)
        ys.push_back(std::sin(i * 0.002) * 1000 + ((i * 7919) % 101 - 50) * 3);
    s->assign(EvenX{0, 1.0, 1.0}, ys);
    const QImage solid = drawn(chart);
    s->setDashed(true);
    const QImage dashed = drawn(chart);
    // Each column of so many points is one vertical run: it is drawn whole or left out.
    const auto inkIn = [](const QImage& image, int x) {
        QVector<int> rows;
        for (int y = 0; y < image.height(); ++y)
            if (QColor(image.pixel(x, y)) == QColor(Qt::blue))
                rows.append(y);
        return rows;
    };
    int drawnColumns = 0;
    for (int x = 0; x < solid.width(); ++x) {
        const QVector<int> ink = inkIn(solid, x);
        const bool on = x % 10 < 6;
        EXPECT_EQ(inkIn(dashed, x), on ? ink : QVector<int>{}) << x;
        drawnColumns += on && !ink.isEmpty();
    }
    EXPECT_GT(drawnColumns, 300);
}

// The chart's picture of a long series must be the picture of the lines between all its
// points, drawn with the axes' own pixel map: the points appended one at a time, in bulk, or
// evenly spaced and summed up by either build of the summary loops.
TEST_F(Drawing, ALongSeriesLooksAsIfEveryPointWereDrawn) {
    chart.setLegendVisible(false);
    std::vector<double> values;
    for (int i = 0; i < 30000; ++i)
        values.push_back(std::sin(i * 0.003) * 1000 + ((i * 7919) % 101 - 50) * 3);
    LineSeries* s = chart.addLineSeries("", Qt::blue);
    for (int way = 0; way < 4; ++way)
        for (const auto& [from, to] : {std::pair{0.0, 299.99}, std::pair{100.0, 112.5}}) {
            SCOPED_TRACE(way);
            s->clear();
            useBaselineLoops(way == 3);
            if (way == 0) {
                for (std::size_t i = 0; i < values.size(); ++i)
                    s->append(static_cast<double>(i) * 0.01, values[i]);
            } else if (way == 1) {
                std::vector<double> xs;
                for (std::size_t i = 0; i < values.size(); ++i)
                    xs.push_back(static_cast<double>(i) * 0.01);
                s->append(xs.data(), values.data(), static_cast<int>(values.size()));
            } else {
                std::vector<double> ys = values;
                s->assign(EvenX{0, 0.01, 1.0}, ys);
            }
            chart.bottomAxis()->setRange(from, to);
            chart.leftAxis()->setRange(-1200, 1200);
            s->setActive(true);
            const QImage picture = drawn(chart);
            s->setActive(false);
            QImage expected = drawn(chart);

            const auto mapOf = [](const ChartAxis& axis, double low, double high) {
                PixelMap map;
                map.scale = (axis.valueToPixel(high) - axis.valueToPixel(low)) / (high - low);
                map.offset = axis.valueToPixel(low) - low * map.scale;
                return map;
            };
            const PixelMap mx = mapOf(*chart.bottomAxis(), from, to);
            const PixelMap my = mapOf(*chart.leftAxis(), -1200, 1200);
            std::vector<double> xs;
            std::vector<double> ys;
            for (int i = 0; i < s->count(); ++i) {
                xs.push_back(s->x(i));
                ys.push_back(s->y(i));
            }
            QVector<QLineF> lines;
            appendEveryPoint(StoredX{xs.data()}, ys.data(), 0, s->count() - 1, mx, my, lines);
            QPainter painter(&expected);
            painter.setClipRect(QRect(QPoint(qRound(mx.position(from)), qRound(my.position(1200))),
                                      QPoint(qRound(mx.position(to)), qRound(my.position(-1200)))));
            QPen pen(Qt::blue, 1, Qt::SolidLine, Qt::SquareCap);
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.drawLines(lines);
            painter.end();
            EXPECT_EQ(testing::differingPixels(picture, expected), 0) << from << ".." << to;
        }
    useBaselineLoops(false);
}

TEST_F(Drawing, BulkAppendAndAssignDrawAndFitLikeOnePointAtATime) {
    chart.setLegendVisible(false);
    std::vector<double> xs;
    std::vector<double> ys;
    for (int i = 0; i < 3037; ++i) {
        xs.push_back(i * 0.5);
        ys.push_back(std::sin(i * 0.01) * 500 + (i == 2000 ? 900 : 0));
    }
    LineSeries* one = chart.addLineSeries("", Qt::blue);
    for (std::size_t i = 0; i < xs.size(); ++i)
        one->append(xs[i], ys[i]);
    // Two chunks, the first ending inside a block of the summaries.
    LineSeries* bulk = chart.addLineSeries("", Qt::blue);
    bulk->append(xs.data(), ys.data(), 1000);
    bulk->append(xs.data() + 1000, ys.data() + 1000, static_cast<int>(xs.size()) - 1000);
    LineSeries* taken = chart.addLineSeries("", Qt::blue);
    std::vector<double> ty = ys;
    taken->append(7.0, 7.0); // replaced wholesale
    taken->assign(EvenX{0, 0.5, 1.0}, ty);
    EXPECT_EQ(ty.size(), 1u) << "the old storage comes back";
    ASSERT_EQ(taken->count(), static_cast<int>(xs.size()));
    for (int i = 0; i < taken->count(); ++i)
        ASSERT_EQ(taken->x(i), xs[static_cast<std::size_t>(i)]) << i;

    std::vector<QImage> pictures;
    std::vector<double> ranges;
    for (LineSeries* shown : {one, bulk, taken}) {
        for (LineSeries* s : {one, bulk, taken})
            s->setActive(s == shown);
        ranges.insert(ranges.end(), {chart.leftAxis()->minimum(), chart.leftAxis()->maximum(),
                                     chart.bottomAxis()->minimum(), chart.bottomAxis()->maximum()});
        pictures.push_back(drawn(chart));
        chart.bottomAxis()->setRange(100, 300); // a zoom uses the block summaries
        pictures.push_back(drawn(chart));
        chart.undoZoom();
    }
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_DOUBLE_EQ(ranges[k], ranges[4 + k]) << k;
        EXPECT_DOUBLE_EQ(ranges[k], ranges[8 + k]) << k;
    }
    EXPECT_EQ(testing::differingPixels(pictures[0], pictures[2]), 0);
    EXPECT_EQ(testing::differingPixels(pictures[0], pictures[4]), 0);
    EXPECT_EQ(testing::differingPixels(pictures[1], pictures[3]), 0);
    EXPECT_EQ(testing::differingPixels(pictures[1], pictures[5]), 0);

    // Values that are not numbers stay out of the ranges however they arrive.
    std::vector<double> ny = {5, std::nan(""), -5, 2};
    for (LineSeries* s : {one, bulk, taken})
        s->setActive(false);
    LineSeries* gaps = chart.addLineSeries("", Qt::red);
    gaps->assign(EvenX{1, 1.0, 1.0}, ny);
    EXPECT_DOUBLE_EQ(chart.bottomAxis()->minimum(), 1);
    EXPECT_DOUBLE_EQ(chart.bottomAxis()->maximum(), 4);
    EXPECT_DOUBLE_EQ(chart.leftAxis()->minimum(), -5);
    EXPECT_DOUBLE_EQ(chart.leftAxis()->maximum(), 5);
}

// Faults anywhere in a long bulk-added series: at its first point, inside a whole block of
// the summaries, in the last partial block; x stepping back; finite values whose sum overflows. The
// series must fit and draw as the same points appended one at a time.
TEST_F(Drawing, FaultyPointsAddedInBulkFitAndDrawLikeOnePointAtATime) {
    chart.setLegendVisible(false);
    const double nan = std::nan("");
    const double inf = std::log(0.0);
    struct Fault {
        int index;
        double x, y; // NaN keeps the regular value
        int points = 1;
    };
    // Both builds of the summary loops, whichever the processor runs by default.
    for (const bool baseline : {false, true})
        for (const Fault f :
             {Fault{0, nan, inf}, Fault{37, nan, nan}, Fault{200, nan, -inf}, Fault{501, nan, nan},
              Fault{50, 20.0, nan}, Fault{16, 3.0, nan}, Fault{300, nan, 1e308, 2}}) {
            SCOPED_TRACE(::testing::Message() << f.index << (baseline ? " baseline" : ""));
            useBaselineLoops(baseline);
            std::vector<double> xs, ys;
            for (int i = 0; i < 503; ++i) {
                xs.push_back(i * 0.5);
                ys.push_back(std::sin(i * 0.05) * 300);
            }
            for (int k = f.index; k < f.index + f.points; ++k) {
                if (!std::isnan(f.x))
                    xs[static_cast<std::size_t>(k)] = f.x;
                else
                    ys[static_cast<std::size_t>(k)] = f.y;
            }

            std::vector<QImage> pictures;
            std::vector<double> ranges;
            for (int way = 0; way < 3; ++way) {
                Chart c;
                c.resize(800, 500);
                c.setLegendVisible(false);
                LineSeries* s = c.addLineSeries("", Qt::blue);
                if (way == 0) {
                    for (std::size_t i = 0; i < xs.size(); ++i)
                        s->append(xs[i], ys[i]);
                } else if (way == 1) {
                    s->append(xs.data(), ys.data(), 21); // ends inside a block
                    s->append(xs.data() + 21, ys.data() + 21, static_cast<int>(xs.size()) - 21);
                } else if (std::isnan(f.x)) {
                    std::vector<double> ty = ys;
                    s->assign(EvenX{0, 0.5, 1.0}, ty);
                } else {
                    s->append(xs.data(), ys.data(), static_cast<int>(xs.size()));
                }
                ranges.insert(ranges.end(), {c.leftAxis()->minimum(), c.leftAxis()->maximum(),
                                             c.bottomAxis()->minimum(), c.bottomAxis()->maximum()});
                pictures.push_back(drawn(c));
            }
            for (std::size_t k = 0; k < 4; ++k) {
                EXPECT_DOUBLE_EQ(ranges[4 + k], ranges[k]) << k;
                EXPECT_DOUBLE_EQ(ranges[8 + k], ranges[k]) << k;
            }
            EXPECT_EQ(testing::differingPixels(pictures[0], pictures[1]), 0);
            EXPECT_EQ(testing::differingPixels(pictures[0], pictures[2]), 0);
        }
    useBaselineLoops(false);
}

// Evenly spaced points keep only their rule, whatever it is: ascending, descending, with x
// values that overflow or are not numbers. They must fit, draw, zoom and take a further point
// exactly as the same x values stored one by one.
TEST_F(Drawing, EvenlySpacedPointsFitAndDrawLikeStoredOnes) {
    for (const EvenX rule : {EvenX{1, 488.28125, 1000.0}, EvenX{0, -0.5, 1.0},
                             EvenX{-250, 0.5, -1.0}, EvenX{0, 1.0, 0.0}, EvenX{1, 1e306, 1e-5}}) {
        SCOPED_TRACE(::testing::Message() << rule.first << " " << rule.step << " " << rule.divisor);
        std::vector<double> xs, ys;
        for (int i = 0; i < 2003; ++i) {
            xs.push_back(static_cast<double>(i + rule.first) * rule.step / rule.divisor);
            ys.push_back(std::sin(i * 0.02) * 300);
        }
        std::vector<QImage> pictures;
        std::vector<double> ranges;
        for (int way = 0; way < 2; ++way) {
            Chart c;
            c.resize(800, 500);
            c.setLegendVisible(false);
            LineSeries* s = c.addLineSeries("", Qt::blue);
            if (way == 0) {
                std::vector<double> ty = ys;
                s->assign(rule, ty);
            } else {
                s->append(xs.data(), ys.data(), static_cast<int>(xs.size()));
            }
            const auto sameX = [&](int i) {
                const double x = s->x(i);
                const double expected = xs[static_cast<std::size_t>(i)];
                return x == expected || (std::isnan(x) && std::isnan(expected));
            };
            for (int i = 0; i < s->count(); ++i)
                ASSERT_TRUE(sameX(i)) << i;
            const auto note = [&] {
                ranges.insert(ranges.end(), {c.leftAxis()->minimum(), c.leftAxis()->maximum(),
                                             c.bottomAxis()->minimum(), c.bottomAxis()->maximum()});
                pictures.push_back(drawn(c));
                ranges.insert(ranges.end(), {double(s->firstVisible()), double(s->lastVisible())});
            };
            note();
            const double a = c.bottomAxis()->minimum(), b = c.bottomAxis()->maximum();
            c.bottomAxis()->setRange(a + (b - a) * 0.3, a + (b - a) * 0.4);
            note();
            c.undoZoom();
            s->append(xs.back() + 1.0, 50.0);
            note();
        }
        ASSERT_EQ(ranges.size() % 2, 0u);
        const std::size_t half = ranges.size() / 2;
        for (std::size_t k = 0; k < half; ++k) {
            const double p = ranges[k], q = ranges[half + k];
            EXPECT_TRUE(p == q || (std::isnan(p) && std::isnan(q))) << k;
        }
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_EQ(testing::differingPixels(pictures[k], pictures[3 + k]), 0) << k;
    }
}

TEST_F(Drawing, ArrowsTakeTheirOwnColourOrTheSeries) {
    chart.setLegendVisible(false);
    ArrowSeries* arrows = chart.addArrowSeries("", Qt::green);
    arrows->setHeadSize(1, 1);
    arrows->append(0, 10, 0, 0, "0", Qt::red);
    arrows->append(5, 8, 5, 0, "5");
    arrows->append(10, 4, 10, 0, "10", Qt::red);
    const QImage image = drawn(chart);
    const auto pixelAt = [&](double x, double y) {
        return QColor(image.pixel(qRound(chart.bottomAxis()->valueToPixel(x)),
                                  qRound(chart.leftAxis()->valueToPixel(y))));
    };
    EXPECT_EQ(pixelAt(0, 5), QColor(Qt::red));
    EXPECT_EQ(pixelAt(5, 5), QColor(Qt::green));
    EXPECT_EQ(pixelAt(10, 2), QColor(Qt::red));
    EXPECT_EQ(pixelAt(7, 5), QColor(Qt::white));
    EXPECT_EQ(arrows->color(1), QColor(Qt::green));
    EXPECT_EQ(arrows->label(2), "10");
}

// A printer has many more dots per inch than the screen: the chart must come out as it looks
// on the screen, only finer, not as a small picture in a corner with tiny text.
TEST_F(Drawing, AFinerDeviceGetsTheSamePictureScaled) {
    LineSeries* s = chart.addLineSeries("1", Qt::blue);
    for (int i = 0; i < 500; ++i)
        s->append(i, std::sin(i * 0.05));
    const auto blueBounds = [](const QImage& image) {
        QRect bounds;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (QColor(image.pixel(x, y)) == QColor(Qt::blue))
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    };
    const QRect screen = blueBounds(drawn(chart));
    QImage fine(chart.size() * 2, QImage::Format_RGB32);
    fine.setDotsPerMeterX(fine.dotsPerMeterX() * 2);
    fine.setDotsPerMeterY(fine.dotsPerMeterY() * 2);
    QPainter painter(&fine);
    chart.draw(painter, fine.rect());
    painter.end();
    const QRect printed = blueBounds(fine);
    ASSERT_FALSE(screen.isEmpty());
    EXPECT_NEAR(printed.left(), 2 * screen.left(), 4);
    EXPECT_NEAR(printed.right(), 2 * screen.right(), 4);
    EXPECT_NEAR(printed.top(), 2 * screen.top(), 4);
    EXPECT_NEAR(printed.bottom(), 2 * screen.bottom(), 4);
    EXPECT_EQ(s->lastVisible(), 499);
}

TEST_F(Drawing, StaysInsideTheTargetRectangle) {
    ramp(2000);
    chart.setBackgroundColor(Qt::yellow);
    for (const QRect target : {QRect(100, 50, 400, 300), QRect(30, 30, 6, 5)}) {
        QImage image(600, 400, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        chart.draw(painter, target);
        painter.end();
        int outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!target.contains(x, y))
                    outside += QColor(image.pixel(x, y)) != QColor(Qt::magenta);
        EXPECT_EQ(outside, 0);
        EXPECT_EQ(QColor(image.pixel(target.topLeft())), QColor(Qt::yellow));
    }
}

TEST_F(Drawing, TheBackgroundColourFillsTheChart) {
    ramp(10);
    EXPECT_EQ(chart.backgroundColor(), QColor(Qt::white));
    chart.setBackgroundColor(QColor(10, 20, 30));
    const QImage image = drawn(chart);
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(10, 20, 30));
    EXPECT_EQ(QColor(image.pixel(image.width() - 2, image.height() / 2)), QColor(10, 20, 30));
}

TEST_F(Drawing, ARepaintFollowsChangesByItselfOnceForManyPoints) {
    chart.show();
    QSignalSpy paints(&chart, &Chart::afterDraw);
    QApplication::processEvents();
    paints.clear();
    LineSeries* s = chart.addLineSeries();
    for (int i = 0; i < 5000; ++i)
        s->append(i, i % 13);
    QApplication::processEvents();
    EXPECT_EQ(paints.count(), 1);
    EXPECT_EQ(s->lastVisible(), 4999);
    chart.leftAxis()->setTitle("единицы АЦП");
    QApplication::processEvents();
    EXPECT_EQ(paints.count(), 2);
}

TEST(WinColor, KeepsRedInTheLowByte) {
    EXPECT_EQ(colorFromWin(13290186), QColor(0xCA, 0xCA, 0xCA));
    EXPECT_EQ(colorFromWin(255), QColor(Qt::red));
    EXPECT_EQ(colorFromWin(0xFF0000), QColor(Qt::blue));
    EXPECT_EQ(colorFromWin(64), QColor(64, 0, 0));
    EXPECT_EQ(winFromColor(QColor(1, 2, 3)), 0x030201u);
    EXPECT_EQ(winFromColor(colorFromWin(0x123456)), 0x123456u);
}

} // namespace
} // namespace zarvik
