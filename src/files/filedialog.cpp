#include "files/filedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QStringList>

namespace zarvik {
namespace {

// The extension a Qt filter such as "ADC files (*.d8c)" names; empty for several patterns or
// for a wildcard extension.
QString filterSuffix(const QString& filter) {
    static const QRegularExpression onePattern(QStringLiteral("\\(\\*\\.(\\w+)\\)$"));
    const QRegularExpressionMatch m = onePattern.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString askWithSystemDialog(const FileDialog& d) {
    QFileDialog dialog(d.owner);
    const bool save = d.mode() == FileDialog::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = d.qtFilter().split(";;");
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    // A name typed without an extension takes that of the chosen file type, as the system's
    // own dialogs do; "All files" falls back to the dialog's default extension.
    auto followFilter = [&dialog, &d](const QString& filter) {
        const QString suffix = filterSuffix(filter);
        dialog.setDefaultSuffix(suffix.isEmpty() ? d.defaultExt() : suffix);
    };
    followFilter(filters.front());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
    if (d.FileName.isEmpty())
        dialog.setDirectory(QDir::current().absoluteFilePath(d.initialDir()));
    else
        dialog.selectFile(d.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

} // namespace

FileDialog::FileDialog(Mode mode, const QString& filter, const QString& initialDir,
                       const QString& defaultExt)
    : prompt(askWithSystemDialog), m_mode(mode), m_filter(filter), m_initialDir(initialDir),
      m_defaultExt(defaultExt) {}

QString FileDialog::qtFilter() const {
    const QStringList parts = m_filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return filters.join(";;");
}

bool FileDialog::Execute() {
    const QString name = prompt ? prompt(*this) : QString();
    if (name.isEmpty())
        return false;
    FileName = name;
    return true;
}

} // namespace zarvik
