// The spectrum window: the user's spectra overlaid in one plot, with the
// lines of the element under the pointer in the main window, pinned
// elements with their sum peaks, a finder for the peak clicked, detector
// settings, calibration and export.
//
// It knows the main window only through SpectrumTools (app/), which passes
// on the element shown (showElementMarkers) and shows the element the user
// chooses here (showElementRequested).
//
// The side panels are tabs of sidePanels(); the toolbar is toolBar(). An
// identification of the peaks adds its action to the toolbar, its results
// as a tab, its peak names as the plot's text labels and its elements
// through pinElement().
#pragma once

#include "spectrumplot.h"

#include "identify/identify.h"
#include "spectrum/spectrum.h"
#include "xray/finder.h"

#include <QMainWindow>
#include <QPointer>

#include <optional>
#include <vector>

namespace linemarkers {
struct Context;
}

class CalibrationPanel;
class CandidatesModel;
class DetectorBox;
class ElementPanel;
class FinderPanel;
class IdentifyPanel;
class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolBar;

class SpectrumWindow : public QMainWindow {
    Q_OBJECT

public:
    // The marker layers of the plot, drawn in this order.
    enum MarkerLayer { PinnedLayer = 0, SumLayer = 10, HoverLayer = 20, PickLayer = 30 };

    enum class Normalisation { None, LiveTime, Area, Maximum };

    explicit SpectrumWindow(QWidget *parent = nullptr);
    ~SpectrumWindow() override;

    // --- Spectra ----------------------------------------------------------
    // Reads the files and adds each spectrum that could be read; the others
    // are listed in one error message with the reader's reasons. Returns how
    // many were added.
    int openFiles(const QStringList &paths);
    // Adds a spectrum read elsewhere; `path` names it.
    void addSpectrum(const QString &path, spectrum::Spectrum spectrum);
    void removeSpectrum(int index);
    int spectrumCount() const { return int(entries_.size()); }
    // The spectrum that calibration, the readout and the finder use: the
    // one selected in the list of spectra.
    int activeSpectrum() const { return active_; }
    void setActiveSpectrum(int index);
    const spectrum::Spectrum &spectrumAt(int index) const { return entries_[std::size_t(index)].data; }
    QString pathOf(int index) const { return entries_[std::size_t(index)].path; }

    void setNormalisation(Normalisation n);
    Normalisation normalisation() const { return normalisation_; }

    // --- Elements -----------------------------------------------------------
    // The markers of element Z (0: none) on the hover layer.
    void showElementMarkers(int Z);
    int elementOnShow() const { return hoverZ_; }
    void pinElement(int Z);
    void unpinElement(int Z);
    QList<int> pinnedElements() const;

    // --- Finder and calibration ---------------------------------------------
    // Picks the peak nearest x (the plot's units) in the active spectrum,
    // as a click there does: the finder lists its candidates when the
    // spectrum is calibrated, and the calibration panel offers to assign it.
    void pickPeak(double x);
    // Chooses row `row` of the finder panel: the main window shows its
    // element, and its markers are highlighted.
    void chooseCandidate(int row);
    // Assigns the picked peak the energy of a line ("Fe Ka1") or, for an
    // empty text, of the candidate chosen in the finder. False, with the reason shown, when it
    // cannot be done.
    bool assignPickedPeak(const QString &lineText = QString());
    bool undoCalibration();

    // --- Identification ---------------------------------------------------------
    // Identifies the elements of the active spectrum with the detector's
    // settings (the FWHM the file gives, else the box's; the beam energy
    // the box shows): pins the elements found, labels the peaks ("Fe Kα1",
    // "Cu Kα esc", "2×Ti Kα", "Ti Kα+Kβ") and shows the results. False,
    // with the reason in the status bar, when there is no spectrum or it is
    // not calibrated.
    bool identifyPeaks();
    // The last identification, while its spectrum is active and unchanged.
    const std::optional<identify::Identification> &identification() const { return identification_; }
    // Keeps an element found (pinned, its peaks labelled), or removes it.
    void setIdentifiedElementKept(int Z, bool kept);
    // The names over the peaks identified: the pinned markers drawn bold
    // (the lines found) and the text labels (lines without a marker,
    // escape and sum peaks).
    QStringList peakLabels() const;

    // --- Export ------------------------------------------------------------
    // Each writes the file and returns an empty string, or the reason it
    // could not; the menu commands ask for the name and show the reason.
    QString exportPlotPng(const QString &path) const;
    QString exportPlotSvg(const QString &path) const;
    QString exportSpectrumEmsa(const QString &path) const;
    QString exportSpectrumCsv(const QString &path) const;

    // --- Parts, for what builds on this window and for tests -----------------
    SpectrumPlot *plot() const { return plot_; }
    QToolBar *toolBar() const { return toolBar_; }
    QTabWidget *sidePanels() const { return sidePanels_; }
    DetectorBox *detectorBox() const { return detector_; }
    CandidatesModel *candidates() const { return candidates_; }
    FinderPanel *finderPanel() const { return finderPanel_; }
    CalibrationPanel *calibrationPanel() const { return calibrationPanel_; }
    ElementPanel *elementPanel() const { return elementPanel_; }
    IdentifyPanel *identifyPanel() const { return identifyPanel_; }
    QAction *identifyAction() const { return identifyAction_; }
    QListWidget *spectraList() const { return spectraList_; }
    QLabel *readout() const { return readout_; }

signals:
    // The user chose an element here; the main window should show it.
    void showElementRequested(int Z);

protected:
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    struct Entry {
        QString path;
        spectrum::Spectrum data;
        // The calibration before each assignment still in force, and the
        // assignments themselves, for undoing them one by one.
        struct Assignment {
            double channel;
            double energy_eV;
            QString line;
            std::optional<spectrum::Calibration> before;
        };
        std::vector<Assignment> assignments;
    };

    // spectrumwindow.cpp
    void buildWindow();
    void buildMenus();
    void buildSidePanels();
    void retranslate();
    void updateAxes();
    void updateSeries(int index);
    void updateAllSeries();
    double factorOf(const Entry &e) const;
    bool energyAxis() const;
    void showReadout(double x, double y);
    void refreshSpectraList();

    // spectrumwindow_files.cpp
    void openWithDialog();
    void openRecent(const QString &path);
    void refreshRecentMenu();
    void exportWithDialog(int what);
    void showFirstView();

    // spectrumwindow_markers.cpp
    linemarkers::Context markerContext() const;
    void refreshMarkers();
    void refreshPickMarker();
    double countsNear(double energy_eV, double halfWidth_eV) const;
    double snapToPeak(const Entry &e, double channel) const;

    // spectrumwindow_identify.cpp
    void refreshIdentification(); // labels and ticks after the pins changed
    void forgetIdentification();  // its spectrum changed or went
    bool foundElement(int Z) const;
    void quietenFound(QList<SpectrumPlot::Marker> &markers) const;

    // spectrumwindow_calibration.cpp
    void applyAssignments(Entry &e);
    void showCalibration();

    std::vector<Entry> entries_;
    int active_ = -1;
    Normalisation normalisation_ = Normalisation::None;
    int hoverZ_ = 0;
    QList<int> pinned_;
    QStringList highlighted_; // marker labels drawn highlighted
    // The peak last picked: its channel in the active spectrum.
    std::optional<double> pickedChannel_;
    // The view showFirstView() chose last, until the user moves it.
    std::optional<QPointF> firstView_;

    SpectrumPlot *plot_ = nullptr;
    QToolBar *toolBar_ = nullptr;
    QTabWidget *sidePanels_ = nullptr;
    DetectorBox *detector_ = nullptr;
    CandidatesModel *candidates_ = nullptr;
    FinderPanel *finderPanel_ = nullptr;
    CalibrationPanel *calibrationPanel_ = nullptr;
    ElementPanel *elementPanel_ = nullptr;
    IdentifyPanel *identifyPanel_ = nullptr;
    std::optional<identify::Identification> identification_;
    QListWidget *spectraList_ = nullptr;
    QPushButton *removeSpectrum_ = nullptr;
    QLabel *readout_ = nullptr;
    QLabel *note_ = nullptr;
    QComboBox *scaleBox_ = nullptr;
    QComboBox *normalisationBox_ = nullptr;
    QLabel *scaleLabel_ = nullptr;
    QLabel *normalisationLabel_ = nullptr;

    QMenu *fileMenu_ = nullptr;
    QMenu *recentMenu_ = nullptr;
    QMenu *viewMenu_ = nullptr;
    QAction *openAction_ = nullptr;
    QAction *exportPngAction_ = nullptr;
    QAction *exportSvgAction_ = nullptr;
    QAction *exportEmsaAction_ = nullptr;
    QAction *exportCsvAction_ = nullptr;
    QAction *closeAction_ = nullptr;
    QAction *resetViewAction_ = nullptr;
    QAction *pinAction_ = nullptr;
    QAction *identifyAction_ = nullptr;
};
