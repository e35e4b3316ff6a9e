// The program's two windows, made as the program makes them, in a process of its own that a
// test kills: it starts a measurement once the board answers, and prints "shown" the moment
// the chart of the measurement that came has been painted. The settings folder is its
// argument; the board and the history's folder come from the environment, as for the program.

#include "analysis/spectrumwindow.h"
#include "chart/chart.h"
#include "device/measurementcycle.h"
#include "shell/tform1.h"
#include "ui/operatormessages.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

namespace {

struct Silent : zarvik::OperatorMessages {
    void information(const QString&) override {}
    void message(const QString&) override {}
    void error(const QString&) override {}
};

// Says "shown" after the first paint of the chart once a measurement has come.
class ChartWatch : public QObject {
public:
    bool arrived = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (arrived && event->type() == QEvent::Paint) {
            arrived = false;
            QTimer::singleShot(0, [] {
                std::puts("shown");
                std::fflush(stdout);
            });
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zarvik");
    zarvik::setOperatorMessages(std::make_unique<Silent>());
    zarvik::TForm1 form(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    zarvik::TForm2 spectrum;
    form.setSpectrumWindow(&spectrum);
    form.show();

    ChartWatch watch;
    form.Chart1->installEventFilter(&watch);
    const auto arrived = form.cycle()->measurementArrived;
    form.cycle()->measurementArrived = [&] {
        arrived();
        watch.arrived = true;
    };
    QTimer start;
    QObject::connect(&start, &QTimer::timeout, [&] {
        if (form.gbFT->btStart->isEnabled()) {
            start.stop();
            form.btStartPlus->click();
        }
    });
    start.start(20);
    return QApplication::exec();
}
