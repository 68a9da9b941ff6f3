// Spectrum files as the windows meet them: what a drop or a command line
// names, the file dialogs, and reading a file through the spectrum core.
#pragma once

#include "spectrum/spectrum.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <variant>

class QMimeData;
class QWidget;

namespace spectrumfiles {

// The endings of the files taken from a dropped folder.
QStringList spectrumSuffixes();

// The files to open for what was named: a file as it is, a folder's files
// with a spectrum ending (not its subfolders), each by name; in the order
// given, each once, as absolute paths.
QStringList expandPaths(const QStringList &paths);

// The local files and folders that dragged data carries; empty when it
// carries none (text, a web address).
QStringList localPaths(const QMimeData *data);

// The open dialog's filters: every spectrum first, then one per format.
QStringList openFilters();

// Asks the user for files to open, or for the name of a file to write.
// Tests put their own functions in place of the dialogs; an empty function
// restores them.
using OpenAsker = std::function<QStringList(QWidget *parent, const QString &title, const QStringList &filters)>;
using SaveAsker = std::function<QString(QWidget *parent, const QString &title, const QString &filter,
                                        const QString &suggested)>;
QStringList askForFiles(QWidget *parent, const QString &title);
QString askForSaveFile(QWidget *parent, const QString &title, const QString &filter, const QString &suggested);
OpenAsker setOpenAsker(OpenAsker asker);
SaveAsker setSaveAsker(SaveAsker asker);

// A spectrum read from a file, or the reader's reason for refusing it
// ("reason (line N)"), in the window's language.
using ReadResult = std::variant<spectrum::Spectrum, QString>;
ReadResult read(const QString &path);

} // namespace spectrumfiles
