#include "spectrumfiles.h"

#include "spectrum/read.h"
#include "uicommon/errortext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QSet>
#include <QUrl>

namespace spectrumfiles {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("spectrumfiles", text); }

// One dialog for the whole run. Qt's own file dialog writes its state
// (history, last folder, column widths) into QtProject.conf in the user's
// configuration whenever one is destroyed; kept alive until the program
// ends, it never is, and the program's settings stay the only file it
// writes. It remembers its folder between uses all the same.
QFileDialog *sharedDialog()
{
    static QFileDialog *dialog = nullptr;
    if (!dialog) {
        dialog = new QFileDialog;
        dialog->setObjectName(QStringLiteral("SpectrumFileDialog"));
        dialog->setWindowModality(Qt::ApplicationModal);
    }
    return dialog;
}

QStringList dialogOpen(QWidget *, const QString &title, const QStringList &filters)
{
    QFileDialog *d = sharedDialog();
    d->setWindowTitle(title);
    d->setAcceptMode(QFileDialog::AcceptOpen);
    d->setFileMode(QFileDialog::ExistingFiles);
    d->setNameFilters(filters);
    d->selectNameFilter(filters.value(0));
    if (d->exec() != QDialog::Accepted)
        return {};
    return d->selectedFiles();
}

QString dialogSave(QWidget *, const QString &title, const QString &filter, const QString &suggested)
{
    QFileDialog *d = sharedDialog();
    d->setWindowTitle(title);
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    d->setNameFilters({filter});
    d->selectFile(suggested);
    if (d->exec() != QDialog::Accepted || d->selectedFiles().isEmpty())
        return {};
    return d->selectedFiles().constFirst();
}

OpenAsker &openAsker()
{
    static OpenAsker asker = dialogOpen;
    return asker;
}

SaveAsker &saveAsker()
{
    static SaveAsker asker = dialogSave;
    return asker;
}

bool hasSpectrumSuffix(const QFileInfo &file)
{
    return spectrumSuffixes().contains(file.suffix().toLower());
}

} // namespace

QStringList spectrumSuffixes()
{
    return {QStringLiteral("msa"), QStringLiteral("emsa"), QStringLiteral("spx"), QStringLiteral("txt"),
            QStringLiteral("csv"), QStringLiteral("dat"), QStringLiteral("spe"), QStringLiteral("mca")};
}

QStringList expandPaths(const QStringList &paths)
{
    QStringList files;
    QSet<QString> seen;
    const auto add = [&](const QString &path) {
        if (!seen.contains(path)) {
            seen.insert(path);
            files << path;
        }
    };
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            add(info.absoluteFilePath());
            continue;
        }
        const QFileInfoList entries =
            QDir(info.absoluteFilePath()).entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &entry : entries)
            if (hasSpectrumSuffix(entry))
                add(entry.absoluteFilePath());
    }
    return files;
}

QStringList localPaths(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

QStringList openFilters()
{
    QStringList patterns;
    for (const QString &suffix : spectrumSuffixes())
        patterns << QStringLiteral("*.") + suffix;
    return {tr("Spectra (%1)").arg(patterns.join(u' ')),
            tr("EMSA/MSA (*.msa *.emsa)"),
            tr("Bruker (*.spx)"),
            tr("Text: energy and counts, or counts (*.txt *.csv *.dat)"),
            tr("Multichannel analyser counts (*.spe *.mca)"),
            tr("All files (*)")};
}

QStringList askForFiles(QWidget *parent, const QString &title) { return openAsker()(parent, title, openFilters()); }

QString askForSaveFile(QWidget *parent, const QString &title, const QString &filter, const QString &suggested)
{
    return saveAsker()(parent, title, filter, suggested);
}

OpenAsker setOpenAsker(OpenAsker asker)
{
    OpenAsker previous = openAsker();
    openAsker() = asker ? std::move(asker) : OpenAsker(dialogOpen);
    return previous;
}

SaveAsker setSaveAsker(SaveAsker asker)
{
    SaveAsker previous = saveAsker();
    saveAsker() = asker ? std::move(asker) : SaveAsker(dialogSave);
    return previous;
}

ReadResult read(const QString &path)
{
    spectrum::Result<spectrum::Spectrum> result = spectrum::readFile(QFile::encodeName(path).toStdString());
    if (!result)
        return errortext::message(result.error());
    return std::move(result).value();
}

} // namespace spectrumfiles
