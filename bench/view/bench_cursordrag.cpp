// A cursor dragged across a full measurement of 8 x 30000 points in the main window: each step
// of the mouse moves the cursor, recomputes the cursors table over up to every point and
// repaints the chart and the table. Prints the longest and the median step in processor time
// of the user-interface thread (on a shared machine steadier than the wall clock), which should
// stay within one frame of the screen (16.7 ms), so that the table follows the mouse.

#include "chart/chart.h"
#include "chart/chartaxis.h"
#include "shell/tform1.h"
#include "view/chartview.h"

#include "windowbench.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void send(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

int main(int argc, char** argv) {
    zarvik::bench::WindowBenchmarks app(argc, argv);
    QTemporaryDir dir;
    zarvik::TForm1 form(dir.path() + "/");
    form.setWindowBounds(900, 1280, 0, 0);
    for (int n = 1; n <= 8; ++n)
        form.cbCh[n]->setChecked(true);
    std::vector<std::uint8_t>& bytes = form.Measurement.SampleData;
    bytes.resize(2 * 240000);
    for (std::size_t i = 0; i < bytes.size() / 2; ++i) {
        const auto v = static_cast<std::uint16_t>(2047 + 1500 * std::sin(0.0007 * i) +
                                                  static_cast<double>((i * 7919) % 41) - 20);
        bytes[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    form.Measurement.SamplePeriodUs = 488.28125;
    form.chartView()->ShowChart();
    form.show();
    form.gbChart->cbCursors->setChecked(true);
    QApplication::processEvents();

    zarvik::Chart& chart = *form.Chart1;
    chart.repaint();
    chart.setCursorPoint(0, 0);
    chart.setCursorPoint(1, 100);
    QApplication::processEvents();
    const auto pixelOf = [&](int point) {
        return static_cast<int>(
            std::lround(chart.bottomAxis()->valueToPixel(chart.cursorSeries()->x(point))));
    };

    // Cursor 2 from the left end to the right end and back, a pixel column a step: the stretch
    // between the cursors grows to all 30000 points of each channel and shrinks again.
    std::vector<double> stepsMs;
    for (int round = 0; round < 3; ++round) {
        const int from = pixelOf(chart.cursorPoint(1));
        const int to = pixelOf(29999);
        const int y = chart.height() / 2;
        send(chart, QEvent::MouseButtonPress, {from, y}, Qt::LeftButton, Qt::LeftButton);
        QApplication::processEvents();
        for (const auto& [a, b] : {std::pair(from, to), std::pair(to, from)}) {
            const int direction = b > a ? 1 : -1;
            for (int x = a; x != b; x += direction) {
                const double start = threadMs();
                send(chart, QEvent::MouseMove, {x + direction, y}, Qt::NoButton, Qt::LeftButton);
                QApplication::processEvents();
                stepsMs.push_back(threadMs() - start);
            }
        }
        send(chart, QEvent::MouseButtonRelease, {from, y}, Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    }
    std::sort(stepsMs.begin(), stepsMs.end());
    std::printf("longest event of a cursor drag over 8 x 30000 points %.3f ms (goal <= one "
                "frame, 16.7 ms); median %.3f ms over %zu steps\n",
                stepsMs.back(), stepsMs[stepsMs.size() / 2], stepsMs.size());
    return 0;
}
