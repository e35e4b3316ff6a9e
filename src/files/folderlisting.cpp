#include "files/folderlisting.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace zarvik {

QStringList listFolder(const QString& folder, const QString& pattern) {
    QDir dir(folder);
    if (!dir.exists())
        return {};
    QStringList names = dir.entryList(QStringList{pattern},
                                      QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString folderOf(const QString& fileName) {
    return QDir::toNativeSeparators(QFileInfo(QDir::fromNativeSeparators(fileName)).path());
}

QString nameOf(const QString& fileName) {
    return QFileInfo(QDir::fromNativeSeparators(fileName)).fileName();
}

QString inFolder(const QString& folder, const QString& name) {
    return QDir::toNativeSeparators(QDir(QDir::fromNativeSeparators(folder)).filePath(name));
}

} // namespace zarvik
