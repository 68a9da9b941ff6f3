// Automatic identification in the spectrum window: the elements found are
// pinned, the peaks labelled over the plot, and the results shown in their
// panel, where an element can be removed and added back.
#include "spectrumwindow.h"

#include "identifylabels.h"
#include "identifypanel.h"
#include "linemarkers.h"

#include "uicommon/detectorbox.h"
#include "uicommon/errortext.h"

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
    // The file's resolution, when it gives one, else the box's when the
    // user chose it; else identification measures it on the peaks.
    if (!e.data.meta.resolution.fwhmMnKa_eV && !e.data.meta.resolution.sigmaLin_keV && detector_->fwhmChosen())
        options.fwhmMnKa_eV = detector.fwhmMnKa();
    if (const std::optional<double> beam = detector_->beam_eV())
        options.beam_kV = *beam / 1000;
    const spectrum::Result<identify::Identification> result = identify::identify(e.data, options);
    if (!result) {
        note_->setText(errortext::reason(result.error()));
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

bool SpectrumWindow::foundElement(int Z) const
{
    return identification_ && std::any_of(identification_->elements.begin(), identification_->elements.end(),
                                          [Z](const identify::IdentifiedElement &e) { return e.Z == Z; });
}

// The markers of an element found: a line that explains a peak keeps its
// label and is drawn bold; its other lines and its escape peaks become
// ticks without text, since the peaks found carry their own labels (a
// label over empty continuum only hides the spectrum). A marker the finder
// highlights keeps its label.
void SpectrumWindow::quietenFound(QList<SpectrumPlot::Marker> &markers) const
{
    for (SpectrumPlot::Marker &m : markers) {
        const bool explains =
            m.style == Qt::SolidLine
            && std::any_of(identification_->peaks.begin(), identification_->peaks.end(),
                           [&](const identify::IdentifiedPeak &p) {
                               return p.assignment.kind == identify::AssignmentKind::Line
                                      && std::fabs(p.assignment.line->energy_eV / 1000 - m.x) < 1e-6
                                      && identifylabels::peakLabel(p.assignment) == m.label;
                           });
        if (explains)
            m.highlighted = true;
        else if (!m.highlighted)
            m.label.clear();
    }
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
    // line's peak has its pinned marker, labelled at the peak's top with the
    // same name and drawn bold (refreshMarkers); only a line without one
    // gets a label, in its element's pin colour. Peaks of the detector's own
    // lines and of the tube's scattered lines are named as such.
    const xray::Detector detector(identification_->material, identification_->fwhmMnKa_eV);
    const QList<SpectrumPlot::Marker> markers = plot_->markers(PinnedLayer);
    QList<SpectrumPlot::TextLabel> labels;
    for (const identify::IdentifiedPeak &p : identification_->peaks) {
        QString text = identifylabels::peakLabel(p.assignment);
        if (p.assignment.kind == identify::AssignmentKind::Unexplained)
            text = identifylabels::reasonLabel(p.reason);
        const QList<int> involved = identifylabels::elementsOf(p.assignment);
        if (text.isEmpty()
            || !std::all_of(involved.begin(), involved.end(), [&](int Z) { return kept.contains(Z); }))
            continue;
        const double energy = p.peak.energy_eV;
        QColor colour(0x60, 0x60, 0x60);
        if (p.assignment.kind == identify::AssignmentKind::Line) {
            const double lineEnergy = p.assignment.line->energy_eV / 1000;
            const bool marked = std::any_of(markers.begin(), markers.end(), [&](const SpectrumPlot::Marker &m) {
                return m.highlighted && m.label == text && std::fabs(m.x - lineEnergy) < 1e-6;
            });
            if (marked)
                continue;
            colour = linemarkers::pinColour(int(pinned_.indexOf(p.assignment.line->Z)));
        }
        labels.append({energy / 1000, countsNear(energy, 0.5 * detector.fwhm(energy)), text, colour});
    }
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
