// Automatic identification in the spectrum window: the elements found are
// pinned, the peaks labelled over the plot, and the results shown in their
// panel, where an element can be removed and added back.
#include "spectrumwindow.h"

#include "identifylabels.h"
#include "identifypanel.h"
#include "linemarkers.h"

#include "uicommon/detectorbox.h"

#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>

#include <algorithm>
#include <cmath>

bool SpectrumWindow::identifyPeaks()
{
    if (active_ < 0) {
        note_->setText(tr("Open a spectrum to identify its peaks."));
        return false;
    }
    const Entry &e = entries_[std::size_t(active_)];
    if (!e.data.calibration) {
        note_->setText(tr("The spectrum is not calibrated: calibrate it (Calibration tab) before identifying "
                          "its peaks."));
        return false;
    }
    identify::IdentifyOptions options;
    const xray::Detector detector = detector_->detector();
    options.material = detector.material();
    // The file's resolution, when it gives one, else the box's.
    if (!e.data.meta.resolution.fwhmMnKa_eV && !e.data.meta.resolution.sigmaLin_keV)
        options.fwhmMnKa_eV = detector.fwhmMnKa();
    if (const std::optional<double> beam = detector_->beam_eV())
        options.beam_kV = *beam / 1000;
    const spectrum::Result<identify::Identification> result = identify::identify(e.data, options);
    if (!result) {
        note_->setText(QString::fromStdString(result.error().reason));
        return false;
    }
    identification_ = result.value();
    identifyPanel_->setIdentification(identification_, QFileInfo(e.path).fileName());
    for (const identify::IdentifiedElement &found : identification_->elements)
        pinElement(found.Z);
    sidePanels_->setCurrentWidget(identifyPanel_);
    note_->clear();
    refreshIdentification();
    return true;
}

void SpectrumWindow::setIdentifiedElementKept(int Z, bool kept)
{
    if (kept)
        pinElement(Z);
    else
        unpinElement(Z);
}

void SpectrumWindow::forgetIdentification()
{
    if (!identification_)
        return;
    identification_.reset();
    identifyPanel_->setIdentification(std::nullopt);
    refreshMarkers(); // the markers of the lines found lose their bold
}

void SpectrumWindow::refreshIdentification()
{
    if (!identification_ || active_ < 0) {
        plot_->setTextLabels({});
        return;
    }
    // An element found is kept while it is pinned, wherever it was unpinned.
    QList<int> kept;
    for (const identify::IdentifiedElement &e : identification_->elements)
        if (pinned_.contains(e.Z))
            kept << e.Z;
    identifyPanel_->setKept(kept);

    // A label over each peak whose elements are kept, artefacts in grey. A
    // line's peak already has its pinned marker, labelled at the peak's top
    // with the same name: that marker is drawn bold instead (a second label
    // would cover the first); only a line without one gets a label, in its
    // element's pin colour.
    const xray::Detector detector(identification_->material, identification_->fwhmMnKa_eV);
    QList<SpectrumPlot::Marker> markers = plot_->markers(PinnedLayer);
    bool boldened = false;
    QList<SpectrumPlot::TextLabel> labels;
    for (const identify::IdentifiedPeak &p : identification_->peaks) {
        const QString text = identifylabels::peakLabel(p.assignment);
        const QList<int> involved = identifylabels::elementsOf(p.assignment);
        if (text.isEmpty()
            || !std::all_of(involved.begin(), involved.end(), [&](int Z) { return kept.contains(Z); }))
            continue;
        const double energy = p.peak.energy_eV;
        QColor colour(0x60, 0x60, 0x60);
        if (p.assignment.kind == identify::AssignmentKind::Line) {
            const double lineEnergy = p.assignment.line->energy_eV / 1000;
            const auto marker = std::find_if(markers.begin(), markers.end(), [&](const SpectrumPlot::Marker &m) {
                return m.label == text && std::fabs(m.x - lineEnergy) < 1e-6;
            });
            if (marker != markers.end()) {
                boldened = boldened || !marker->highlighted;
                marker->highlighted = true;
                continue;
            }
            colour = linemarkers::pinColour(int(pinned_.indexOf(p.assignment.line->Z)));
        }
        labels.append({energy / 1000, countsNear(energy, 0.5 * detector.fwhm(energy)), text, colour});
    }
    if (boldened)
        plot_->setMarkers(PinnedLayer, markers);
    plot_->setTextLabels(labels);
}

QStringList SpectrumWindow::peakLabels() const
{
    QStringList out;
    for (const SpectrumPlot::Marker &m : plot_->markers(PinnedLayer))
        if (m.highlighted)
            out << m.label;
    for (const SpectrumPlot::TextLabel &l : plot_->textLabels())
        out << l.text;
    return out;
}
