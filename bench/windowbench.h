#pragma once
// Benchmarks that create the program's windows run without a display, and the main window looks
// for the board when it is created: its messages must not stop the run with a modal box.

#include "ui/operatormessages.h"

#include <QApplication>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace zarvik::bench {

struct SilentMessages : OperatorMessages {
    void information(const QString&) override {}
    void message(const QString&) override {}
    void error(const QString&) override {}
};

// The application of such a benchmark: offscreen unless a platform was chosen, silent.
class WindowBenchmarks : public QApplication {
public:
    WindowBenchmarks(int& argc, char** argv) : QApplication(offscreen(argc), argv) {
        setOperatorMessages(std::make_unique<SilentMessages>());
        // The history of measurements the windows keep goes to a folder of the run's own.
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    }

private:
    QTemporaryDir m_data;
    static int& offscreen(int& argc) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }
};

} // namespace zarvik::bench
