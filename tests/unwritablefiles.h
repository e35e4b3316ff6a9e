#pragma once
// While it lives, a file of the program cannot be written anywhere: no user folder can be made
// under a plain file, and beside the program its replacement's name is taken by a folder.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace zarvik::test {

class UnwritableFile {
public:
    UnwritableFile(const QString& programFolder, const QString& fileName)
        : m_old(qgetenv("XDG_CONFIG_HOME")) {
        QFile plain(m_config.path() + "/plain");
        const bool plainMade = plain.open(QIODevice::WriteOnly);
        plain.close();
        qputenv("XDG_CONFIG_HOME", (m_config.path() + "/plain").toUtf8());
        m_blocked = plainMade && QDir(programFolder).mkdir(fileName + ".~new");
    }
    ~UnwritableFile() { qputenv("XDG_CONFIG_HOME", m_old); }
    UnwritableFile(const UnwritableFile&) = delete;
    UnwritableFile& operator=(const UnwritableFile&) = delete;
    bool blocked() const { return m_blocked; }

private:
    QTemporaryDir m_config;
    QByteArray m_old;
    bool m_blocked = false;
};

} // namespace zarvik::test
