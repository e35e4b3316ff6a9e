// The least any Qt Widgets program does before its window is seen: one empty window.

#include "shown.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(640, 480);
    return zarvik::bench::untilShown(window);
}
