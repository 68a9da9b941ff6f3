// Markers of the element on show and of the pinned elements, the peak
// picked with a click, and the finder's candidates for it.
#include "spectrumwindow.h"
#include "uicommon/numberlocale.h"

#include "calibrationpanel.h"
#include "elementpanel.h"
#include "finderpanel.h"
#include "linemarkers.h"
#include "uicommon/candidatesmodel.h"
#include "uicommon/detectorbox.h"

#include "xray/elements.h"

#include <QLocale>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace {

// The picked peak is looked for this many pixels either side of the click.
constexpr double PickPixels = 4;
// The finder lists at most this many candidates.
constexpr std::size_t MaxCandidates = 60;
// Markers are at least this share of the spectrum's highest count.
constexpr double MarkerFloor = 0.02;

} // namespace

double SpectrumWindow::countsNear(double energy_eV, double halfWidth_eV) const
{
    if (active_ < 0)
        return 0;
    const Entry &e = entries_[std::size_t(active_)];
    if (!e.data.calibration || e.data.counts.empty())
        return 0;
    const double first = e.data.calibration->channel(energy_eV - halfWidth_eV);
    const double last = e.data.calibration->channel(energy_eV + halfWidth_eV);
    const double n = double(e.data.counts.size());
    if (!(last >= 0) || !(first < n))
        return 0;
    const std::size_t lo = std::size_t(std::max(0.0, std::ceil(first)));
    const std::size_t hi = std::size_t(std::min(n - 1, std::floor(last)));
    double most = 0;
    for (std::size_t c = lo; c <= hi && c < e.data.counts.size(); ++c)
        most = std::max(most, e.data.counts[c]);
    if (lo > hi) // narrower than a channel: the nearest one
        most = e.data.counts[std::size_t(std::clamp(std::lround(e.data.calibration->channel(energy_eV)), 0L, long(n) - 1))];
    return std::max(0.0, most * factorOf(e));
}

linemarkers::Context SpectrumWindow::markerContext() const
{
    linemarkers::Context c;
    c.detector = detector_->detector();
    c.beam_eV = detector_->beam_eV();
    const QPointF range = plot_->fullRange();
    c.rangeMin_eV = std::max(0.0, range.x() * 1000);
    c.rangeMax_eV = range.y() * 1000;
    c.countsNear = [this](double eV, double half) { return countsNear(eV, half); };
    double most = 0;
    if (active_ >= 0) {
        const Entry &e = entries_[std::size_t(active_)];
        for (double v : e.data.counts)
            most = std::max(most, v);
        most *= factorOf(e);
    }
    c.floor = most > 0 && std::isfinite(most) ? most * MarkerFloor : 1;
    return c;
}

void SpectrumWindow::refreshMarkers()
{
    QList<QPair<int, QColor>> pins;
    for (int i = 0; i < pinned_.size(); ++i)
        pins.append({pinned_[i], linemarkers::pinColour(i)});
    elementPanel_->setElements(pins);

    if (entries_.empty() || !energyAxis()) {
        for (int layer : {PinnedLayer, SumLayer, HoverLayer})
            plot_->clearMarkers(layer);
        refreshIdentification();
        return;
    }
    const linemarkers::Context context = markerContext();
    const auto highlight = [this](QList<SpectrumPlot::Marker> markers) {
        for (SpectrumPlot::Marker &m : markers)
            m.highlighted = highlighted_.contains(m.label);
        return markers;
    };
    QList<SpectrumPlot::Marker> pinned;
    for (const auto &[Z, colour] : pins) {
        QList<SpectrumPlot::Marker> markers = highlight(linemarkers::elementMarkers(Z, context, colour));
        if (foundElement(Z))
            quietenFound(markers);
        pinned += markers;
    }
    plot_->setMarkers(PinnedLayer, pinned);
    const auto colourOf = [&pins](int Z) {
        for (const auto &[pin, colour] : pins)
            if (pin == Z)
                return colour;
        return QColor(Qt::black);
    };
    plot_->setMarkers(SumLayer, highlight(linemarkers::sumMarkers(pinned_, context, colourOf,
                                                                  [this](int Z) { return foundElement(Z); })));
    if (hoverZ_ > 0 && !pinned_.contains(hoverZ_))
        plot_->setMarkers(HoverLayer, highlight(linemarkers::elementMarkers(hoverZ_, context)));
    else
        plot_->clearMarkers(HoverLayer);
    refreshIdentification();
}

void SpectrumWindow::showElementMarkers(int Z)
{
    if (!xray::hasLines(Z))
        Z = 0;
    if (Z != hoverZ_) {
        // The highlight belongs to the candidate chosen for the element.
        const int chosen = candidates_->elementOf(finderPanel_->currentRow());
        if (Z != chosen)
            highlighted_.clear();
    }
    hoverZ_ = Z;
    refreshMarkers();
}

void SpectrumWindow::pinElement(int Z)
{
    if (!xray::hasLines(Z) || pinned_.contains(Z))
        return;
    pinned_ << Z;
    refreshMarkers();
}

void SpectrumWindow::unpinElement(int Z)
{
    if (pinned_.removeAll(Z) > 0)
        refreshMarkers();
}

QList<int> SpectrumWindow::pinnedElements() const { return pinned_; }

// The channel of the peak top near `channel`: the highest count within a few
// pixels (and half a FWHM) either side, refined between channels by the
// parabola through it and its two neighbours.
double SpectrumWindow::snapToPeak(const Entry &e, double channel) const
{
    const std::vector<double> &y = e.data.counts;
    const double n = double(y.size());
    const PlotAxes &axes = plot_->axes();
    double perPixel = (axes.xHi() - axes.xLo()) / std::max(1.0, axes.area().width());
    if (e.data.calibration && energyAxis())
        perPixel = perPixel * 1000 / e.data.calibration->gain_eV;
    double reach = PickPixels * perPixel;
    if (e.data.calibration) {
        const double energy = e.data.calibration->energy_eV(channel);
        reach = std::max(reach, detector_->detector().fwhm(energy) / 2 / e.data.calibration->gain_eV);
    }
    const long lo = std::lround(std::clamp(channel - reach, 0.0, n - 1));
    const long hi = std::lround(std::clamp(channel + reach, 0.0, n - 1));
    long top = std::lround(std::clamp(channel, 0.0, n - 1));
    for (long c = lo; c <= hi; ++c)
        if (y[std::size_t(c)] > y[std::size_t(top)])
            top = c;
    if (top <= 0 || top >= long(n) - 1)
        return double(top);
    const double a = y[std::size_t(top - 1)], b = y[std::size_t(top)], c = y[std::size_t(top + 1)];
    const double curve = a - 2 * b + c;
    if (!(curve < 0))
        return double(top);
    return double(top) + std::clamp(0.5 * (a - c) / curve, -0.5, 0.5);
}

void SpectrumWindow::pickPeak(double x)
{
    if (active_ < 0)
        return;
    const Entry &e = entries_[std::size_t(active_)];
    if (e.data.counts.empty())
        return;
    const bool keV = energyAxis();
    const double channel = snapToPeak(e, keV ? e.data.calibration->channel(x * 1000) : x);
    pickedChannel_ = channel;
    calibrationPanel_->setMessage({});

    std::optional<double> energy;
    if (e.data.calibration)
        energy = e.data.calibration->energy_eV(channel);
    if (energy && *energy > 0) {
        xray::FindOptions options;
        options.beam_eV = detector_->beam_eV();
        options.elements.assign(pinned_.begin(), pinned_.end());
        options.limit = MaxCandidates;
        const QPointF range = plot_->fullRange();
        options.rangeMin_eV = std::max(0.0, range.x() * 1000);
        options.rangeMax_eV = range.y() * 1000;
        candidates_->setCandidates(*energy, xray::findLines(*energy, detector_->detector(), options).candidates);
    } else {
        candidates_->clear();
    }
    finderPanel_->setPeak(energy && *energy > 0 ? energy : std::nullopt, channel);
    calibrationPanel_->setPeak(channel, energy);
    if (sidePanels_->currentWidget() != calibrationPanel_)
        sidePanels_->setCurrentWidget(energy && *energy > 0 ? static_cast<QWidget *>(finderPanel_) : calibrationPanel_);
    refreshPickMarker();
}

void SpectrumWindow::refreshPickMarker()
{
    if (active_ < 0 || !pickedChannel_) {
        plot_->clearMarkers(PickLayer);
        return;
    }
    const Entry &e = entries_[std::size_t(active_)];
    const bool keV = energyAxis();
    const double x = keV ? e.data.calibration->energy_eV(*pickedChannel_) / 1000 : *pickedChannel_;
    const long c = std::clamp(std::lround(*pickedChannel_), 0L, long(e.data.counts.size()) - 1);
    const double height = e.data.counts[std::size_t(c)] * factorOf(e);
    const QLocale locale = NumberLocale();
    const QString label = keV ? locale.toString(x, 'f', 3) + QStringLiteral(" keV") : tr("channel %1").arg(locale.toString(x, 'f', 1));
    QList<SpectrumPlot::Marker> markers{{x, height, label, QColor(0x60, 0x60, 0x60), Qt::DashDotLine}};
    // A sum chosen in the finder that no pinned elements draw.
    const xray::Candidate *chosen = candidates_->candidate(finderPanel_->currentRow());
    if (keV && chosen && chosen->kind == xray::CandidateKind::Sum)
        markers.append({chosen->energy_eV / 1000, height, CandidatesModel::markerLabel(*chosen), QColor(0x60, 0x60, 0x60),
                        Qt::DotLine, true});
    plot_->setMarkers(PickLayer, markers);
}

void SpectrumWindow::chooseCandidate(int row)
{
    const xray::Candidate *c = candidates_->candidate(row);
    if (!c || !c->line)
        return;
    if (finderPanel_->currentRow() != row) {
        finderPanel_->view()->selectRow(row); // comes back here through the panel
        return;
    }
    highlighted_ = {CandidatesModel::markerLabel(*c)};
    const int Z = c->line->Z;
    emit showElementRequested(Z);
    showElementMarkers(Z); // also when no main window follows
    refreshPickMarker();
}
