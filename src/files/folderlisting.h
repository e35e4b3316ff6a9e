#pragma once
// The files of a folder that the folder walk and the comment browser step through. The order
// is the names' order without regard to letter case (ties by the exact name), the same on
// every file system, so that "next" means the same file wherever the folder lies.

#include <QString>
#include <QStringList>

namespace zarvik {

// Names (without folder) of the files in `folder` that match the wildcard `pattern` ("*.d8c"),
// hidden and system files included, folders excluded. The pattern matches without regard to
// letter case, as it did on the file systems the data files were first written on. An absent
// folder lists nothing.
QStringList listFolder(const QString& folder, const QString& pattern);

// The folder part of a full file name, with no trailing separator; "." for a bare name.
QString folderOf(const QString& fileName);
// The name part of a full file name.
QString nameOf(const QString& fileName);
// `folder` joined with `name`, with the platform's separator.
QString inFolder(const QString& folder, const QString& name);

} // namespace zarvik
