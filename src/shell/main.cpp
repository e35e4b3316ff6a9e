#include "shell/tform1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zarvik");
    zarvik::TForm1 form;
    form.show();
    return QApplication::exec();
}
