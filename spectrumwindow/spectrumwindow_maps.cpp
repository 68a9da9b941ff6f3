// Spectrum images in the spectrum window: the image opens in the map
// panel beside the plot, its sum spectrum joins the plot, and the element
// under the pointer in the main window gets its map shown.
#include "spectrumwindow.h"

#include "mappanel.h"

#include "uicommon/detectorbox.h"
#include "uicommon/errorreport.h"
#include "uicommon/toolsettings.h"

#include <QDir>
#include <QSplitter>

MapPanel *SpectrumWindow::ensureMapPanel()
{
    if (mapPanel_)
        return mapPanel_;
    mapPanel_ = new MapPanel(this);
    auto *splitter = qobject_cast<QSplitter *>(centralWidget());
    splitter->insertWidget(1, mapPanel_);
    splitter->setStretchFactor(1, 2);
    // The maps are made with the settings Identify uses.
    mapPanel_->setOptionsSource([this] {
        identify::IdentifyOptions options;
        const xray::Detector detector = detector_->detector();
        options.material = detector.material();
        const spectrum::Spectrum *sum = nullptr;
        for (const Entry &e : entries_)
            if (e.path == mapPanel_->imagePath())
                sum = &e.data;
        const bool fileGivesIt = sum && (sum->meta.resolution.fwhmMnKa_eV || sum->meta.resolution.sigmaLin_keV);
        if (!fileGivesIt && detector_->fwhmChosen())
            options.fwhmMnKa_eV = detector.fwhmMnKa();
        if (sum && sum->meta.beam_kV && *sum->meta.beam_kV > 0)
            options.beam_kV = *sum->meta.beam_kV;
        else if (const std::optional<double> beam = detector_->beam_eV())
            options.beam_kV = *beam / 1000;
        return options;
    });
    connect(mapPanel_, &MapPanel::imageOpened, this, [this](const QString &path, const spectrum::Spectrum &sum) {
        addSpectrum(path, sum);
        toolsettings::addRecentFile(path);
        if (hoverZ_ > 0)
            mapPanel_->showElement(hoverZ_);
    });
    connect(mapPanel_, &MapPanel::openFailed, this, [this](const QString &path, const QString &reason) {
        mapPanel_->hide();
        ReportError(tr("Zandor"), tr("This file could not be opened:") + QStringLiteral("\n\n")
                                      + tr("%1: %2").arg(QDir::toNativeSeparators(path), reason));
    });
    return mapPanel_;
}

// One image at a time: a second one takes the panel over.
void SpectrumWindow::openImage(const QString &path)
{
    MapPanel *panel = ensureMapPanel();
    panel->show();
    panel->openImage(path);
}
