// Where the program finds its data files.
#pragma once

#include <QString>
#include <QStringList>

// The data files are opened by bare name in the working directory. A
// working directory that holds any of them is used as it is (empty result);
// otherwise the first of the candidate directories that exists is chosen
// (empty when none does).
QString ChooseDataDirectory(const QString &cwd, const QStringList &candidates);

// The installed data directory: beside the executable first (a relocated
// installation), then the configured absolute path.
QStringList InstalledDataDirectories();

// The candidates ChooseDataDirectory() tries: the directory that the
// environment variable ZANDOR_DATA_DIR names, when set (run.sh points it at
// the source tree's share/), then the installed ones.
QStringList DataDirectoryCandidates();
