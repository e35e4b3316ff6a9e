#include "files/folderwalk.h"

#include "files/folderlisting.h"
#include "ui/operatormessages.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <filesystem>
#include <system_error>

namespace zarvik {
namespace {

const QString kDataFilePattern = QStringLiteral("*.d8c");

QString lowerLatin(const QString& text) {
    QString lowered = text;
    for (QChar& c : lowered)
        if (c >= QChar('A') && c <= QChar('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return lowered;
}

} // namespace

QString droppedFileName(const QString& fileName) {
    const QString lowered = lowerLatin(fileName);
    if (lowered == fileName)
        return fileName;
    std::error_code ec;
    const bool sameFile =
        std::filesystem::equivalent(std::filesystem::u8path(lowered.toStdString()),
                                    std::filesystem::u8path(fileName.toStdString()), ec);
    return sameFile && !ec ? lowered : fileName;
}

FolderWalk::FolderWalk(const Controls& controls, TMeasurement& measurement, QObject* parent)
    : QObject(parent), m_c(controls), m_m(measurement) {
    connect(m_c.btPrevFile, &QAbstractButton::clicked, this, &FolderWalk::btPrevFileClick);
    connect(m_c.btNextFile, &QAbstractButton::clicked, this, &FolderWalk::btNextFileClick);
}

void FolderWalk::WMDropFiles(const QStringList& fileNames) {
    if (fileNames.isEmpty())
        return;
    m_m.FileName = droppedFileName(fileNames.front()).toStdString();
    if (readFileName)
        readFileName();
}

void FolderWalk::open(const QString& folder, const QString& name) {
    // The walk moves on even when the file then fails to read, so that a damaged file in the
    // folder can be stepped over.
    m_m.FileName = inFolder(folder, name).toStdString();
    m_c.gbFile->setTitle(tr("ФАЙЛ ") + name);
    if (readFileName)
        readFileName();
}

void FolderWalk::btPrevFileClick() {
    if (closeSamplingPanel)
        closeSamplingPanel();
    const QString current = QString::fromStdString(m_m.FileName);
    const QString folder = folderOf(current);
    const QString name = nameOf(current);
    const QStringList names = listFolder(folder, kDataFilePattern);
    if (!names.isEmpty() && names.front() == name) {
        operatorMessages().information(tr("Больше нет файлов"));
        return;
    }
    const qsizetype i = names.indexOf(name);
    if (i > 0)
        open(folder, names[i - 1]);
}

void FolderWalk::btNextFileClick() {
    if (closeSamplingPanel)
        closeSamplingPanel();
    const QString current = QString::fromStdString(m_m.FileName);
    const QString folder = folderOf(current);
    const QStringList names = listFolder(folder, kDataFilePattern);
    const qsizetype i = names.indexOf(nameOf(current));
    if (i < 0 || i + 1 >= names.size()) {
        operatorMessages().information(tr("Больше нет файлов"));
        return;
    }
    open(folder, names[i + 1]);
}

} // namespace zarvik
