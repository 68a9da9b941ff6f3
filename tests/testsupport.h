// Small helpers shared by the tests: scratch directories holding data files,
// and writing files byte for byte.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

namespace testsupport {

inline QString shareDir() { return QStringLiteral(ZANDOR_SHARE_DIR); }

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A scratch directory that becomes the working directory for its lifetime,
// since the program opens its files by bare name.
class ScratchDir {
public:
    ScratchDir() : previous_(QDir::currentPath())
    {
        QDir::setCurrent(dir_.path());
    }
    ~ScratchDir() { QDir::setCurrent(previous_); }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.filePath(name); }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        return writeFile(file(name), bytes);
    }
    // Copies the shipped data files (and readme.txt) into this directory.
    bool copyShipped() const
    {
        for (const char *name : {"elements.inf", "elements_br.inf", "kl_lines.inf", "readme.txt"}) {
            const QString from = QDir(shareDir()).filePath(QString::fromLatin1(name));
            QFile::remove(file(QString::fromLatin1(name)));
            if (!QFile::copy(from, file(QString::fromLatin1(name))))
                return false;
        }
        return true;
    }

private:
    QString previous_;
    QTemporaryDir dir_;
};

} // namespace testsupport
