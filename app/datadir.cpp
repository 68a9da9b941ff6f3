#include "datadir.h"

#include "data/db.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ChooseDataDirectory(const QString &cwd, const QStringList &candidates)
{
    const QDir here(cwd);
    for (const char *name : {db::ElementFileEnglish, db::ElementFilePortuguese, db::LineFile})
        if (QFileInfo::exists(here.filePath(QString::fromLatin1(name))))
            return QString();
    for (const QString &dir : candidates)
        if (!dir.isEmpty() && QFileInfo(dir).isDir())
            return QDir::cleanPath(dir);
    return QString();
}

QStringList InstalledDataDirectories()
{
    return {QCoreApplication::applicationDirPath() + u'/' + QStringLiteral(ZANDOR_DATA_DIR_FROM_BIN),
            QStringLiteral(ZANDOR_DATA_DIR)};
}

QStringList DataDirectoryCandidates()
{
    QStringList candidates = InstalledDataDirectories();
    const QString fromEnvironment = qEnvironmentVariable("ZANDOR_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        candidates.prepend(fromEnvironment);
    return candidates;
}
