// Opening spectrum files and exporting the plot and the spectrum.
#include "spectrumwindow.h"

#include "plotexport.h"
#include "spectrumfiles.h"
#include "uicommon/errorreport.h"
#include "uicommon/errortext.h"
#include "uicommon/toolsettings.h"

#include "spectrum/write.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>
#include <limits>

namespace {

// At most this many refusals are named in one message.
constexpr int MaxReasonsShown = 12;

// Room past the end of the data in the first view, as a share of its width.
constexpr double FirstViewMargin = 0.05;

QString writeError(const std::optional<spectrum::Error> &error)
{
    return error ? errortext::message(*error) : QString();
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

// The view of newly opened spectra: from the start of the data to where the
// last of them ends, each at its beam energy or at its last channel with
// counts if that is lower, with a margin. A spectrum of 4096 channels of
// 10 eV taken at 20 kV shows 0-21 keV, not 0-41 keV. The whole range when
// no spectrum has counts.
void SpectrumWindow::showFirstView()
{
    const bool keV = energyAxis();
    double end = -std::numeric_limits<double>::infinity();
    for (int i = 0; i < spectrumCount(); ++i) {
        const SpectrumPlot::Series &s = plot_->series(i);
        const auto last = std::find_if(s.counts.rbegin(), s.counts.rend(), [](double c) { return c > 0; });
        if (last == s.counts.rend())
            continue;
        double x = s.x0 + (double(s.counts.rend() - last) - 0.5) * s.dx; // the channel's upper edge
        const std::optional<double> &beam_kV = entries_[std::size_t(i)].data.meta.beam_kV;
        if (keV && beam_kV && *beam_kV > 0)
            x = std::min(x, *beam_kV);
        end = std::max(end, x);
    }
    const double start = plot_->fullRange().x();
    if (end > start)
        plot_->showUpTo(start + (end - start) * (1 + FirstViewMargin));
    else
        plot_->resetView();
    firstView_ = plot_->viewRange();
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
