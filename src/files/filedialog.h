#pragma once
// An open or save dialog of the main window. It keeps the name last chosen in it and opens on
// that name again; before the first choice it opens in its initial folder. Who answers it is
// replaceable: the system's file dialog in the program, a scripted answer in tests.

#include <QString>
#include <functional>

class QWidget;

namespace zarvik {

class FileDialog {
public:
    enum class Mode { Open, Save };

    // `filter` lists description|pattern pairs separated by '|', as "ADC files|*.d8c|All
    // files|*.*"; the first pair is shown when the dialog opens. `initialDir` is taken
    // relative to the process's current folder.
    FileDialog(Mode mode, const QString& filter, const QString& initialDir,
               const QString& defaultExt);

    // Shows the dialog. True when a name was chosen; FileName then holds it.
    bool Execute();

    Mode mode() const { return m_mode; }
    QString filter() const { return m_filter; }
    // The filter in the form of Qt's dialogs: "ADC files (*.d8c);;All files (*.*)".
    QString qtFilter() const;
    QString initialDir() const { return m_initialDir; }
    QString defaultExt() const { return m_defaultExt; }

    // The name last chosen; empty before the first choice.
    QString FileName;
    // The window the dialog is shown over.
    QWidget* owner = nullptr;

    // Asks the operator; returns the chosen name or an empty text when cancelled.
    std::function<QString(const FileDialog&)> prompt;

private:
    Mode m_mode;
    QString m_filter;
    QString m_initialDir;
    QString m_defaultExt;
};

} // namespace zarvik
