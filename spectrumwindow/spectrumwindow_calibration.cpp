// Calibrating the active spectrum from peaks whose lines the user names.
#include "spectrumwindow.h"

#include "calibrationpanel.h"
#include "finderpanel.h"
#include "uicommon/candidatesmodel.h"
#include "uicommon/errortext.h"

#include "spectrum/calibration.h"
#include "xray/lines.h"

#include <cmath>

namespace {

// Two assignments closer than this (in channels) are at one peak.
constexpr double SameChannel = 0.5;

std::vector<spectrum::CalibrationPoint> pointsOf(const auto &assignments)
{
    std::vector<spectrum::CalibrationPoint> points;
    for (const auto &a : assignments)
        points.push_back({a.channel, a.energy_eV});
    return points;
}

} // namespace

bool SpectrumWindow::assignPickedPeak(const QString &lineText)
{
    if (active_ < 0 || !pickedChannel_) {
        calibrationPanel_->setMessage(tr("Click a peak in the plot first."));
        return false;
    }
    Entry &e = entries_[std::size_t(active_)];
    double energy = 0;
    QString name;
    if (!lineText.trimmed().isEmpty()) {
        const xray::Line *line = xray::parseLine(lineText.trimmed().toStdString());
        if (!line) {
            calibrationPanel_->setMessage(
                tr("'%1' names no line: write an element and a line, as in 'Fe Ka1' or 'Cu KL3'.").arg(lineText.trimmed()));
            return false;
        }
        energy = line->energy_eV;
        name = QString::fromStdString(xray::lineLabel(*line));
    } else {
        const xray::Candidate *c = candidates_->candidate(finderPanel_->currentRow());
        if (!c) {
            calibrationPanel_->setMessage(tr("Choose a candidate in the finder, or type the line."));
            return false;
        }
        if (c->kind != xray::CandidateKind::Line) {
            calibrationPanel_->setMessage(tr("Calibrate with lines: an escape or a sum peak depends on the detector."));
            return false;
        }
        energy = c->line->energy_eV;
        name = CandidatesModel::markerLabel(*c);
    }
    for (const Entry::Assignment &a : e.assignments)
        if (std::fabs(a.channel - *pickedChannel_) < SameChannel) {
            calibrationPanel_->setMessage(
                tr("The peak at channel %1 is already assigned %2: two lines at one channel say nothing about the gain. "
                   "Undo that assignment, or pick another peak.")
                    .arg(QString::number(a.channel, 'f', 1), a.line));
            return false;
        }

    e.assignments.push_back({*pickedChannel_, energy, name, e.data.calibration});
    if (e.assignments.size() >= 2) {
        const spectrum::Result<spectrum::CalibrationFit> fit = spectrum::fitCalibration(pointsOf(e.assignments));
        if (!fit) {
            e.assignments.pop_back();
            calibrationPanel_->setMessage(
                tr("Not calibrated: %1.").arg(errortext::message(fit.error())));
            showCalibration();
            return false;
        }
        e.data.calibration = fit->calibration;
    }
    calibrationPanel_->setMessage({});
    applyAssignments(e);
    return true;
}

bool SpectrumWindow::undoCalibration()
{
    if (active_ < 0)
        return false;
    Entry &e = entries_[std::size_t(active_)];
    if (e.assignments.empty())
        return false;
    e.data.calibration = e.assignments.back().before;
    e.assignments.pop_back();
    calibrationPanel_->setMessage({});
    applyAssignments(e);
    return true;
}

// Draws the spectra with the calibration in force and shows it.
void SpectrumWindow::applyAssignments(Entry &)
{
    forgetIdentification(); // its energies were those of the calibration before
    const QPointF before = plot_->fullRange();
    updateAllSeries();
    if (plot_->fullRange() != before)
        plot_->resetView();
    showCalibration();
    if (pickedChannel_) {
        const Entry &e = entries_[std::size_t(active_)];
        calibrationPanel_->setPeak(pickedChannel_, e.data.energy_eV(*pickedChannel_));
    }
    refreshPickMarker();
    refreshMarkers();
}

void SpectrumWindow::showCalibration()
{
    QList<CalibrationPanel::Row> rows;
    if (active_ < 0) {
        calibrationPanel_->setAssignments(rows);
        calibrationPanel_->setCalibration(std::nullopt, std::nullopt, std::nullopt);
        return;
    }
    const Entry &e = entries_[std::size_t(active_)];
    std::optional<spectrum::CalibrationFit> fit;
    if (e.assignments.size() >= 2)
        if (spectrum::Result<spectrum::CalibrationFit> r = spectrum::fitCalibration(pointsOf(e.assignments)))
            fit = r.value();
    for (std::size_t i = 0; i < e.assignments.size(); ++i) {
        const Entry::Assignment &a = e.assignments[i];
        rows.append({a.channel, a.line, a.energy_eV,
                     fit ? std::optional<double>(fit->residuals_eV[i]) : std::nullopt});
    }
    calibrationPanel_->setAssignments(rows);
    if (e.data.calibration)
        calibrationPanel_->setCalibration(e.data.calibration->offset_eV, e.data.calibration->gain_eV,
                                          fit ? std::optional<double>(fit->rms_eV) : std::nullopt);
    else
        calibrationPanel_->setCalibration(std::nullopt, std::nullopt, std::nullopt);
}
