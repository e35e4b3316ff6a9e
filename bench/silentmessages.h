#pragma once
// Benchmarks that create the main window: it looks for the board when it is created, and its
// messages must not stop the run with a modal box.

#include "shell/operatormessages.h"

#include <QString>

namespace zarvik::bench {

struct SilentMessages : OperatorMessages {
    void information(const QString&) override {}
    void message(const QString&) override {}
    void error(const QString&) override {}
};

} // namespace zarvik::bench
