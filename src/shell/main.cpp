#include "shell/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zarvik");
    zarvik::ProgramWindows windows;
    windows.form.show();
    return QApplication::exec();
}
