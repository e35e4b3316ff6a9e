// The transfer of a whole memory (960 packets) from the simulated board, paced at the line rate
// in the 64-byte pieces of a USB serial adapter, through the program's measurement cycle,
// against the same board sending the same packets back to back to a host that asked for all of
// them at once: the line itself. Also the host's turnaround from a packet's last byte to its
// "q", measured at the board, and the longest the user-interface thread was busy with one
// event while the packets came in.

#include "boardsim.h"
#include "chart/chart.h"
#include "device/measurementcycle.h"
#include "shell/tform1.h"
#include "view/chartview.h"

#include "report.h"
#include "windowbench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

namespace sim = zarvik::boardsim;
using Clock = std::chrono::steady_clock;

constexpr int kPackets = 960;

// Times every event the user-interface thread handles at the outermost level.
class TimedApplication : public zarvik::bench::WindowBenchmarks {
public:
    using WindowBenchmarks::WindowBenchmarks;
    bool watching = false;
    double longestMs = 0;      // any event but a paint
    double longestPaintMs = 0; // a repaint of the chart

    bool notify(QObject* receiver, QEvent* event) override {
        if (!watching || m_depth > 0)
            return WindowBenchmarks::notify(receiver, event);
        ++m_depth;
        const auto start = Clock::now();
        const bool done = WindowBenchmarks::notify(receiver, event);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        --m_depth;
        const bool paint = event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest;
        double& longest = paint ? longestPaintMs : longestMs;
        longest = std::max(longest, ms);
        return done;
    }

private:
    int m_depth = 0;
};

TimedApplication* app = nullptr;
std::vector<double> turnaroundsMs;
double linkSeconds = 0; // best baseline

// From the read command's arrival at the board to the last packet's end.
double transferSeconds(const sim::BoardSim& board) {
    const auto bytes = board.hostBytes();
    const auto ends = board.packetEnds();
    const auto read = std::find_if(bytes.begin(), bytes.end(),
                                   [](const sim::HostByte& b) { return b.byte == 'p'; });
    if (read == bytes.end() || ends.size() != kPackets)
        return 0;
    return std::chrono::duration<double>(ends.back() - read->at).count();
}

void collectTurnarounds(const sim::BoardSim& board) {
    const auto bytes = board.hostBytes();
    const auto ends = board.packetEnds();
    auto next = bytes.begin();
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        next = std::find_if(next, bytes.end(), [&](const sim::HostByte& b) {
            return b.at >= ends[i] && (b.byte == 'q' || b.byte == 'r');
        });
        if (next == bytes.end())
            return;
        turnaroundsMs.push_back(
            std::chrono::duration<double, std::milli>(next->at - ends[i]).count());
    }
}

sim::BoardOptions paced(const std::string& link) {
    sim::BoardOptions o;
    o.pace = true;
    o.timeScale = 0;
    o.linkPath = link;
    return o;
}

// The line: every "q" is already waiting when a packet ends.
void lineTime(benchmark::State& state) {
    QTemporaryDir dir;
    sim::BoardSim board(paced((dir.path() + "/board").toStdString()));
    board.open();
    board.start();
    const int fd = ::open(board.slavePath().c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    for (auto _ : state) {
        board.clearRecord();
        std::vector<std::uint8_t> request = {'p', 0x00, 0x00, 0x00, 0x00};
        request.insert(request.end(), kPackets - 1, 'q');
        [[maybe_unused]] const ssize_t w = ::write(fd, request.data(), request.size());
        std::vector<std::uint8_t> buf(4096);
        for (std::size_t got = 0; got < kPackets * sim::kPacketSize;) {
            const ssize_t n = ::read(fd, buf.data(), buf.size());
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        const double s = transferSeconds(board);
        state.SetIterationTime(s);
        linkSeconds = linkSeconds == 0 ? s : std::min(linkSeconds, s);
    }
    ::close(fd);
    board.stop();
}

// The program's cycle: a repeat read of the board's memory.
void programTransfer(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string link = (dir.path() + "/board").toStdString();
    sim::BoardSim board(paced(link));
    board.open();
    board.start();
    qputenv("ZARVIK_PORT", QByteArray::fromStdString(link));
    zarvik::TForm1 form(dir.path() + "/");
    form.show();
    zarvik::MeasurementCycle& cycle = *form.cycle();
    // A full measurement on screen, repainted while the packets come in.
    form.Measurement.SampleData = sim::sampleBytes(sim::measure(0xFF, 7200, 8), 8);
    form.chartView()->ShowChart();
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &form, [&] { form.Chart1->update(); });
    double best = 0;
    for (auto _ : state) {
        board.clearRecord();
        form.btRead->click();
        app->watching = true;
        repaint.start(16);
        while (cycle.State.CurrentCommand != zarvik::ByteString{0x00} ||
               cycle.timSendCmd->isActive())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        repaint.stop();
        app->watching = false;
        const double s = transferSeconds(board);
        state.SetIterationTime(s);
        best = best == 0 ? s : std::min(best, s);
        collectTurnarounds(board);
    }
    board.stop();
    std::sort(turnaroundsMs.begin(), turnaroundsMs.end());
    const auto at = [](double q) {
        return turnaroundsMs.empty()
                   ? 0.0
                   : turnaroundsMs[static_cast<std::size_t>(q * (turnaroundsMs.size() - 1))];
    };
    zarvik::bench::reportFigure("transfer of 960 paced packets (s) / the line itself", best,
                                linkSeconds, "<= 1.03");
    std::printf("turnaround median %.3f ms (goal < 0.3), 99th percentile %.3f ms (goal < 2), "
                "%zu packets\n",
                at(0.5), at(0.99), turnaroundsMs.size());
    std::printf("longest event on the user-interface thread during a transfer %.3f ms (goal <= "
                "one packet, 6.0 ms); longest repaint %.3f ms\n",
                app->longestMs, app->longestPaintMs);
}

} // namespace

BENCHMARK(lineTime)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(programTransfer)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char** argv) {
    TimedApplication application(argc, argv);
    app = &application;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
