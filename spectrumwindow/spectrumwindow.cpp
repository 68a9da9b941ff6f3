// The spectrum window's parts, its spectra, the scale and normalisation of
// the plot, and the readout under the pointer.
#include "spectrumwindow.h"
#include "uicommon/numberlocale.h"

#include "calibrationpanel.h"
#include "colourswatch.h"
#include "elementpanel.h"
#include "finderpanel.h"
#include "identifypanel.h"
#include "spectrumfiles.h"
#include "uicommon/candidatesmodel.h"
#include "uicommon/detectorbox.h"

#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QDir>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The side panels are at least this wide, for their tables.
constexpr int MinSidePanelWidth = 420;

} // namespace

SpectrumWindow::SpectrumWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("SpectrumWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    buildWindow();
    buildMenus();
    retranslate();
    resize(1280, 680);
}

SpectrumWindow::~SpectrumWindow() = default;

void SpectrumWindow::buildWindow()
{
    plot_ = new SpectrumPlot(this);
    plot_->setMinimumSize(400, 260);

    toolBar_ = addToolBar(QString());
    toolBar_->setObjectName(QStringLiteral("SpectrumToolBar"));
    toolBar_->setMovable(false);
    scaleLabel_ = new QLabel(this);
    scaleBox_ = new QComboBox(this);
    scaleBox_->setObjectName(QStringLiteral("YScale"));
    for (YScale s : {YScale::Linear, YScale::Log, YScale::Sqrt})
        scaleBox_->addItem(QString(), yScaleName(s));
    scaleLabel_->setBuddy(scaleBox_);
    normalisationLabel_ = new QLabel(this);
    normalisationBox_ = new QComboBox(this);
    normalisationBox_->setObjectName(QStringLiteral("Normalisation"));
    for (int n = 0; n < 4; ++n)
        normalisationBox_->addItem(QString(), n);
    normalisationLabel_->setBuddy(normalisationBox_);

    buildSidePanels();

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("SpectrumSplitter"));
    splitter->addWidget(plot_);
    splitter->addWidget(sidePanels_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);

    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("Readout"));
    readout_->setMinimumWidth(320);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("SpectrumNote"));
    statusBar()->addWidget(readout_);
    statusBar()->addWidget(note_, 1);

    connect(plot_, &SpectrumPlot::pointerMoved, this, &SpectrumWindow::showReadout);
    connect(plot_, &SpectrumPlot::pointerLeft, readout_, &QLabel::clear);
    connect(plot_, &SpectrumPlot::clicked, this, &SpectrumWindow::pickPeak);
    connect(scaleBox_, &QComboBox::activated, this,
            [this] { plot_->setYScale(yScaleFromName(scaleBox_->currentData().toString())); });
    connect(plot_, &SpectrumPlot::yScaleChanged, this,
            [this](const QString &name) { scaleBox_->setCurrentIndex(scaleBox_->findData(name)); });
    connect(normalisationBox_, &QComboBox::activated, this,
            [this] { setNormalisation(Normalisation(normalisationBox_->currentData().toInt())); });
}

void SpectrumWindow::buildSidePanels()
{
    // Every tab in sight: without scroll buttons the tab bar asks for the
    // width of all its tabs, and the panels get at least that, in either
    // language. The panels other than the first are built when first shown.
    sidePanels_ = new QTabWidget(this);
    sidePanels_->setObjectName(QStringLiteral("SidePanels"));
    sidePanels_->setUsesScrollButtons(false);
    sidePanels_->setElideMode(Qt::ElideNone);

    // Spectra: the list, the one selected is the active spectrum.
    auto *spectra = new QWidget(this);
    spectra->setObjectName(QStringLiteral("SpectraPanel"));
    spectra->setMinimumWidth(MinSidePanelWidth);
    spectraList_ = new QListWidget(spectra);
    spectraList_->setObjectName(QStringLiteral("SpectraList"));
    removeSpectrum_ = new QPushButton(spectra);
    removeSpectrum_->setObjectName(QStringLiteral("RemoveSpectrum"));
    auto *spectraBox = new QVBoxLayout(spectra);
    spectraBox->addWidget(spectraList_, 1);
    spectraBox->addWidget(removeSpectrum_);
    connect(spectraList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != active_)
            setActiveSpectrum(row);
    });
    connect(removeSpectrum_, &QPushButton::clicked, this, [this] { removeSpectrum(spectraList_->currentRow()); });
    removeSpectrum_->setEnabled(false);

    elementPanel_ = new ElementPanel(this);
    connect(elementPanel_, &ElementPanel::pinRequested, this, [this](const QList<int> &elements) {
        for (int Z : elements)
            pinElement(Z);
    });
    connect(elementPanel_, &ElementPanel::unpinRequested, this, &SpectrumWindow::unpinElement);
    connect(elementPanel_, &ElementPanel::pinShownRequested, this, [this] { pinElement(hoverZ_); });

    candidates_ = new CandidatesModel(this);
    finderPanel_ = new FinderPanel(candidates_, this);
    connect(finderPanel_, &FinderPanel::chosen, this, &SpectrumWindow::chooseCandidate);
    connect(finderPanel_, &FinderPanel::pinRequested, this, [this](int row) { pinElement(candidates_->elementOf(row)); });
    connect(finderPanel_, &FinderPanel::assignRequested, this, [this] { assignPickedPeak(); });

    calibrationPanel_ = new CalibrationPanel(this);
    connect(calibrationPanel_, &CalibrationPanel::assignRequested, this,
            [this](const QString &text) { assignPickedPeak(text); });
    connect(calibrationPanel_, &CalibrationPanel::undoRequested, this, &SpectrumWindow::undoCalibration);

    detector_ = new DetectorBox(this);
    auto *detectorPage = new QWidget(this);
    detectorPage->setObjectName(QStringLiteral("DetectorPanel"));
    auto *detectorBox = new QVBoxLayout(detectorPage);
    detectorBox->addWidget(detector_);
    detectorBox->addStretch();
    connect(detector_, &DetectorBox::changed, this, [this] {
        refreshMarkers();
        if (pickedChannel_ && energyAxis())
            pickPeak(entries_[std::size_t(active_)].data.calibration->energy_eV(*pickedChannel_) / 1000);
    });

    identifyPanel_ = new IdentifyPanel(this);
    connect(identifyPanel_, &IdentifyPanel::identifyRequested, this, &SpectrumWindow::identifyPeaks);
    connect(identifyPanel_, &IdentifyPanel::keptChanged, this, &SpectrumWindow::setIdentifiedElementKept);

    sidePanels_->addTab(spectra, QString());
    sidePanels_->addTab(elementPanel_, QString());
    sidePanels_->addTab(finderPanel_, QString());
    sidePanels_->addTab(calibrationPanel_, QString());
    sidePanels_->addTab(detectorPage, QString());
    sidePanels_->addTab(identifyPanel_, QString());
}

void SpectrumWindow::buildMenus()
{
    fileMenu_ = menuBar()->addMenu(QString());
    fileMenu_->setObjectName(QStringLiteral("SpectrumFileMenu"));
    openAction_ = fileMenu_->addAction(QString(), this, &SpectrumWindow::openWithDialog);
    openAction_->setObjectName(QStringLiteral("OpenSpectrum"));
    openAction_->setShortcut(QKeySequence::Open);
    recentMenu_ = fileMenu_->addMenu(QString());
    recentMenu_->setObjectName(QStringLiteral("RecentSpectra"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &SpectrumWindow::refreshRecentMenu);
    fileMenu_->addSeparator();
    exportPngAction_ = fileMenu_->addAction(QString(), this, [this] { exportWithDialog(0); });
    exportPngAction_->setObjectName(QStringLiteral("ExportPng"));
    exportSvgAction_ = fileMenu_->addAction(QString(), this, [this] { exportWithDialog(1); });
    exportSvgAction_->setObjectName(QStringLiteral("ExportSvg"));
    exportEmsaAction_ = fileMenu_->addAction(QString(), this, [this] { exportWithDialog(2); });
    exportEmsaAction_->setObjectName(QStringLiteral("ExportEmsa"));
    exportCsvAction_ = fileMenu_->addAction(QString(), this, [this] { exportWithDialog(3); });
    exportCsvAction_->setObjectName(QStringLiteral("ExportCsv"));
    fileMenu_->addSeparator();
    closeAction_ = fileMenu_->addAction(QString(), this, &QWidget::close);
    closeAction_->setObjectName(QStringLiteral("CloseSpectra"));
    closeAction_->setShortcut(QKeySequence::Close);

    viewMenu_ = menuBar()->addMenu(QString());
    viewMenu_->setObjectName(QStringLiteral("SpectrumViewMenu"));
    resetViewAction_ = viewMenu_->addAction(QString(), plot_, &SpectrumPlot::resetView);
    resetViewAction_->setObjectName(QStringLiteral("ResetView"));
    pinAction_ = viewMenu_->addAction(QString(), this, [this] { pinElement(hoverZ_); });
    pinAction_->setObjectName(QStringLiteral("PinShownElement"));
    pinAction_->setShortcut(QKeySequence(Qt::Key_P));
    pinAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    plot_->addAction(pinAction_);
    viewMenu_->addSeparator();
    identifyAction_ = viewMenu_->addAction(QString(), this, &SpectrumWindow::identifyPeaks);
    identifyAction_->setObjectName(QStringLiteral("IdentifyPeaks"));
    identifyAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));

    toolBar_->addAction(openAction_);
    toolBar_->addSeparator();
    toolBar_->addWidget(scaleLabel_);
    toolBar_->addWidget(scaleBox_);
    toolBar_->addWidget(normalisationLabel_);
    toolBar_->addWidget(normalisationBox_);
    toolBar_->addSeparator();
    toolBar_->addAction(resetViewAction_);
    toolBar_->addAction(pinAction_);
    toolBar_->addSeparator();
    toolBar_->addAction(identifyAction_);
}

void SpectrumWindow::retranslate()
{
    setWindowTitle(tr("Spectra \u2014 Zandor"));
    toolBar_->setWindowTitle(tr("Spectrum tools"));
    scaleLabel_->setText(tr(" &Counts: "));
    scaleBox_->setItemText(0, tr("linear"));
    scaleBox_->setItemText(1, tr("logarithmic"));
    scaleBox_->setItemText(2, tr("square root"));
    normalisationLabel_->setText(tr(" &Normalised by: "));
    normalisationBox_->setItemText(0, tr("none"));
    normalisationBox_->setItemText(1, tr("live time"));
    normalisationBox_->setItemText(2, tr("area"));
    normalisationBox_->setItemText(3, tr("maximum"));
    removeSpectrum_->setText(tr("&Remove spectrum"));
    sidePanels_->setTabText(0, tr("Spectra"));
    sidePanels_->setTabText(1, tr("Elements"));
    sidePanels_->setTabText(2, tr("Finder"));
    sidePanels_->setTabText(3, tr("Calibration"));
    sidePanels_->setTabText(4, tr("Detector"));
    sidePanels_->setTabText(5, tr("Identification"));
    fileMenu_->setTitle(tr("&File"));
    openAction_->setText(tr("&Open spectrum..."));
    recentMenu_->setTitle(tr("Open &recent"));
    exportPngAction_->setText(tr("Export plot as &PNG..."));
    exportSvgAction_->setText(tr("Export plot as &SVG..."));
    exportEmsaAction_->setText(tr("Export spectrum as &EMSA/MSA..."));
    exportCsvAction_->setText(tr("Export spectrum as &CSV..."));
    closeAction_->setText(tr("&Close"));
    viewMenu_->setTitle(tr("&View"));
    resetViewAction_->setText(tr("&Whole spectrum"));
    resetViewAction_->setToolTip(tr("Show the whole spectrum (Home, or a double-click in the plot)"));
    pinAction_->setText(tr("&Pin the element on show"));
    identifyAction_->setText(tr("&Identify"));
    identifyAction_->setToolTip(tr("Name the elements of the active spectrum, pin them and label its peaks (Ctrl+I)"));
    plot_->setEmptyText(tr("Open a spectrum (Ctrl+O) or drop spectrum files here.\n"
                           "Then point at the periodic table to see an element's lines."));
    updateAxes();
    if (!entries_.empty())
        updateAllSeries();
    refreshIdentification(); // the names of the tube's and detector's peaks
}

void SpectrumWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

// --- Spectra -------------------------------------------------------------------

bool SpectrumWindow::energyAxis() const
{
    return std::all_of(entries_.begin(), entries_.end(), [](const Entry &e) { return e.data.calibration.has_value(); });
}

double SpectrumWindow::factorOf(const Entry &e) const
{
    switch (normalisation_) {
    case Normalisation::LiveTime:
        if (e.data.meta.liveTime_s && *e.data.meta.liveTime_s > 0)
            return 1 / *e.data.meta.liveTime_s;
        return 1;
    case Normalisation::Area: {
        const double total = e.data.totalCounts();
        return total > 0 && std::isfinite(total) ? 1 / total : 1;
    }
    case Normalisation::Maximum: {
        const auto most = std::max_element(e.data.counts.begin(), e.data.counts.end());
        return most != e.data.counts.end() && *most > 0 && std::isfinite(*most) ? 1 / *most : 1;
    }
    case Normalisation::None:
        break;
    }
    return 1;
}

void SpectrumWindow::updateSeries(int index)
{
    const Entry &e = entries_[std::size_t(index)];
    const bool keV = energyAxis();
    const double x0 = keV ? e.data.calibration->offset_eV / 1000 : 0;
    const double dx = keV ? e.data.calibration->gain_eV / 1000 : 1;
    plot_->setSeriesMapping(index, x0, dx, factorOf(e));
}

void SpectrumWindow::updateAllSeries()
{
    for (int i = 0; i < spectrumCount(); ++i)
        updateSeries(i);
    updateAxes();
}

void SpectrumWindow::updateAxes()
{
    const bool keV = energyAxis();
    QString y;
    switch (normalisation_) {
    case Normalisation::None:
        y = tr("Counts");
        break;
    case Normalisation::LiveTime:
        y = tr("Counts per second of live time");
        break;
    case Normalisation::Area:
        y = tr("Share of all counts");
        break;
    case Normalisation::Maximum:
        y = tr("Share of the highest count");
        break;
    }
    plot_->setAxisTitles(keV ? tr("Energy (keV)") : tr("Channel"), y);

    QStringList notes;
    if (!keV)
        notes << tr("Uncalibrated: the plot shows channels and no markers until the spectrum is calibrated.");
    if (normalisation_ == Normalisation::LiveTime)
        for (const Entry &e : entries_)
            if (!e.data.meta.liveTime_s || !(*e.data.meta.liveTime_s > 0))
                notes << tr("%1 has no live time: not normalised.").arg(QFileInfo(e.path).fileName());
    note_->setText(notes.join(u' '));
}

void SpectrumWindow::addSpectrum(const QString &path, spectrum::Spectrum data)
{
    const bool wasEnergy = energyAxis();
    const bool firstViewShown = firstView_ && plot_->viewRange() == *firstView_;
    SpectrumPlot::Series series;
    series.name = QFileInfo(path).fileName();
    series.counts = data.counts;
    entries_.push_back({path, std::move(data), {}});
    plot_->addSeries(std::move(series));
    const int index = spectrumCount() - 1;
    if (energyAxis() != wasEnergy)
        updateAllSeries();
    else
        updateSeries(index);
    updateAxes();
    refreshSpectraList();
    setActiveSpectrum(index);
    if (energyAxis() != wasEnergy || spectrumCount() == 1 || firstViewShown)
        showFirstView();
}

void SpectrumWindow::removeSpectrum(int index)
{
    if (index < 0 || index >= spectrumCount())
        return;
    const bool wasEnergy = energyAxis();
    forgetIdentification();
    entries_.erase(entries_.begin() + index);
    plot_->removeSeries(index);
    if (energyAxis() != wasEnergy) {
        updateAllSeries();
        plot_->resetView();
    }
    updateAxes();
    active_ = -1;
    refreshSpectraList();
    setActiveSpectrum(std::min(index, spectrumCount() - 1));
}

void SpectrumWindow::refreshSpectraList()
{
    const QSignalBlocker block(spectraList_);
    spectraList_->clear();
    for (int i = 0; i < spectrumCount(); ++i) {
        const Entry &e = entries_[std::size_t(i)];
        auto *item = new QListWidgetItem(ColourSwatch(plot_->series(i).colour), QFileInfo(e.path).fileName());
        item->setToolTip(QDir::toNativeSeparators(e.path));
        spectraList_->addItem(item);
    }
    removeSpectrum_->setEnabled(spectrumCount() > 0);
}

void SpectrumWindow::setActiveSpectrum(int index)
{
    if (index >= spectrumCount())
        index = spectrumCount() - 1;
    if (index != active_)
        forgetIdentification();
    active_ = index;
    {
        const QSignalBlocker block(spectraList_);
        spectraList_->setCurrentRow(index);
    }
    pickedChannel_.reset();
    candidates_->clear();
    finderPanel_->setPeak(std::nullopt, std::nullopt);
    calibrationPanel_->setPeak(std::nullopt, std::nullopt);
    calibrationPanel_->setMessage({});
    plot_->clearMarkers(PickLayer);
    detector_->setBeamFromFile(index >= 0 ? entries_[std::size_t(index)].data.meta.beam_kV : std::nullopt);
    showCalibration();
    refreshMarkers();
}

void SpectrumWindow::setNormalisation(Normalisation n)
{
    normalisation_ = n;
    normalisationBox_->setCurrentIndex(normalisationBox_->findData(int(n)));
    updateAllSeries();
    refreshMarkers();
}

void SpectrumWindow::showReadout(double x, double)
{
    if (active_ < 0) {
        readout_->clear();
        return;
    }
    const Entry &e = entries_[std::size_t(active_)];
    const QLocale locale = NumberLocale();
    double channel = x;
    if (energyAxis())
        channel = e.data.calibration->channel(x * 1000);
    const long c = std::lround(channel);
    if (c < 0 || std::size_t(c) >= e.data.counts.size()) {
        readout_->clear();
        return;
    }
    const QString counts = locale.toString(e.data.counts[std::size_t(c)], 'g', 6);
    if (energyAxis())
        readout_->setText(tr("%1 keV   channel %2   counts %3").arg(locale.toString(x, 'f', 3)).arg(c).arg(counts));
    else
        readout_->setText(tr("channel %1   counts %2").arg(c).arg(counts));
}

// --- Drops ---------------------------------------------------------------------

void SpectrumWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!spectrumfiles::localPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void SpectrumWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = spectrumfiles::localPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    openFiles(paths);
}
