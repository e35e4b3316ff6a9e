#include "analysis/spectrumwindow.h"
#include "shell/qttranslation.h"
#include "shell/tform1.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zarvik");
    QTranslator qtTranslation;
    if (zarvik::loadQtTranslation(qtTranslation))
        QApplication::installTranslator(&qtTranslation);
    zarvik::TForm1 form;
    // Hidden until the first spectrum or trend command.
    zarvik::TForm2 spectrum(form.Places);
    form.setSpectrumWindow(&spectrum);
    form.show();
    return QApplication::exec();
}
