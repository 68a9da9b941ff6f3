// Opening spectrum files and exporting the plot and the spectrum.
#include "spectrumwindow.h"

#include "plotexport.h"
#include "spectrumfiles.h"
#include "toolsettings.h"
#include "mainwindow/errorreport.h"

#include "spectrum/write.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

namespace {

// At most this many refusals are named in one message.
constexpr int MaxReasonsShown = 12;

QString writeError(const std::optional<spectrum::Error> &error)
{
    return error ? QString::fromStdString(error->message()) : QString();
}

} // namespace

int SpectrumWindow::openFiles(const QStringList &paths)
{
    const QStringList files = spectrumfiles::expandPaths(paths);
    QStringList refusals;
    int opened = 0;
    for (const QString &file : files) {
        spectrumfiles::ReadResult result = spectrumfiles::read(file);
        if (auto *reason = std::get_if<QString>(&result)) {
            refusals << tr("%1: %2").arg(QDir::toNativeSeparators(file), *reason);
            continue;
        }
        addSpectrum(file, std::move(std::get<spectrum::Spectrum>(result)));
        toolsettings::addRecentFile(file);
        ++opened;
    }
    for (const QString &path : paths)
        if (QFileInfo(path).isDir() && spectrumfiles::expandPaths({path}).isEmpty())
            refusals << tr("%1: the folder holds no spectrum files (%2)")
                            .arg(QDir::toNativeSeparators(path),
                                 QStringLiteral("*.") + spectrumfiles::spectrumSuffixes().join(QStringLiteral(", *.")));
    if (!refusals.isEmpty()) {
        QString text = refusals.size() == 1 ? tr("This file could not be opened:")
                                            : tr("These %n files could not be opened:", nullptr, int(refusals.size()));
        text += QStringLiteral("\n\n") + refusals.mid(0, MaxReasonsShown).join(u'\n');
        if (refusals.size() > MaxReasonsShown)
            text += u'\n' + tr("... and %n more.", nullptr, int(refusals.size()) - MaxReasonsShown);
        ReportError(tr("Zandor"), text);
    }
    return opened;
}

void SpectrumWindow::openWithDialog()
{
    const QStringList files = spectrumfiles::askForFiles(this, tr("Open spectrum"));
    if (!files.isEmpty())
        openFiles(files);
}

void SpectrumWindow::openRecent(const QString &path)
{
    if (openFiles({path}) == 0 && !QFileInfo::exists(path))
        toolsettings::removeRecentFile(path);
}

void SpectrumWindow::refreshRecentMenu()
{
    recentMenu_->clear();
    const QStringList files = toolsettings::recentFiles();
    for (const QString &file : files)
        recentMenu_->addAction(QDir::toNativeSeparators(file), this, [this, file] { openRecent(file); });
    if (files.isEmpty())
        recentMenu_->addAction(tr("(none)"))->setEnabled(false);
}

QString SpectrumWindow::exportPlotPng(const QString &path) const { return plotexport::savePng(*plot_, path); }

QString SpectrumWindow::exportPlotSvg(const QString &path) const
{
    return plotexport::saveSvg(*plot_, path, windowTitle());
}

QString SpectrumWindow::exportSpectrumEmsa(const QString &path) const
{
    if (active_ < 0)
        return tr("there is no spectrum to write");
    return writeError(spectrum::writeEmsa(entries_[std::size_t(active_)].data, QFile::encodeName(path).toStdString()));
}

QString SpectrumWindow::exportSpectrumCsv(const QString &path) const
{
    if (active_ < 0)
        return tr("there is no spectrum to write");
    return writeError(spectrum::writeCsv(entries_[std::size_t(active_)].data, QFile::encodeName(path).toStdString()));
}

// 0 PNG, 1 SVG, 2 EMSA, 3 CSV.
void SpectrumWindow::exportWithDialog(int what)
{
    if (what >= 2 && active_ < 0) {
        ReportError(tr("Zandor"), tr("Open a spectrum first."));
        return;
    }
    const QString base = active_ >= 0 ? QFileInfo(entries_[std::size_t(active_)].path).completeBaseName()
                                      : QStringLiteral("spectrum");
    const QString dir = active_ >= 0 ? QFileInfo(entries_[std::size_t(active_)].path).absolutePath() : QDir::homePath();
    struct Kind {
        QString title, filter, suffix;
    };
    const Kind kinds[] = {
        {tr("Export plot as PNG"), tr("PNG image (*.png)"), QStringLiteral("png")},
        {tr("Export plot as SVG"), tr("SVG drawing (*.svg)"), QStringLiteral("svg")},
        {tr("Export spectrum as EMSA/MSA"), tr("EMSA/MSA spectrum (*.msa *.emsa)"), QStringLiteral("msa")},
        {tr("Export spectrum as CSV"), tr("CSV table (*.csv)"), QStringLiteral("csv")},
    };
    const Kind &k = kinds[what];
    QString path = spectrumfiles::askForSaveFile(this, k.title, k.filter,
                                                 QDir(dir).filePath(base + (what >= 2 ? QStringLiteral("-out.") : QStringLiteral("."))
                                                                    + k.suffix));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + k.suffix;
    QString reason;
    switch (what) {
    case 0:
        reason = exportPlotPng(path);
        break;
    case 1:
        reason = exportPlotSvg(path);
        break;
    case 2:
        reason = exportSpectrumEmsa(path);
        break;
    default:
        reason = exportSpectrumCsv(path);
        break;
    }
    if (!reason.isEmpty())
        ReportError(tr("Zandor"), tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), reason));
}
