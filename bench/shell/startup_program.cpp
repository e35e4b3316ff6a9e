// The program's own start-up, stopped once its main window is seen. Operator messages are
// silenced: without a board the start-up would wait on the "no board" box.

#include "shell/startup.h"

#include "shown.h"
#include "windowbench.h"

int main(int argc, char** argv) {
    zarvik::bench::WindowBenchmarks app(argc, argv);
    QApplication::setApplicationName("Zarvik");
    zarvik::ProgramWindows windows;
    return zarvik::bench::untilShown(windows.form);
}
