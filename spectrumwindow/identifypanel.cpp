#include "identifypanel.h"
#include "identifylabels.h"
#include "uicommon/numberlocale.h"

#include "xray/elements.h"
#include "xray/lines.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QString symbol(int Z)
{
    const std::string_view s = xray::elementSymbol(Z);
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

// "Kα1", or the IUPAC name of a line without a Siegbahn one.
QString lineName(const xray::Line &line) { return QString::fromStdString(xray::displayNameGreek(line)); }

QString keV(double energy_eV) { return NumberLocale().toString(energy_eV / 1000, 'f', 2); }

} // namespace

IdentifyPanel::IdentifyPanel(QWidget *parent) : LazyPanel(parent)
{
    setObjectName(QStringLiteral("IdentifyPanel"));
}

void IdentifyPanel::build()
{
    identify_ = new QPushButton(this);
    identify_->setObjectName(QStringLiteral("IdentifyPanelIdentify"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("IdentifySummary"));
    summary_->setWordWrap(true);
    response_ = new QLabel(this);
    response_->setObjectName(QStringLiteral("IdentifyResponse"));
    response_->setWordWrap(true);
    elementsTitle_ = new QLabel(this);
    elementsTitle_->setWordWrap(true);
    elements_ = new QListWidget(this);
    elements_->setObjectName(QStringLiteral("IdentifiedElements"));
    elements_->setWordWrap(true);
    peaksTitle_ = new QLabel(this);
    peaks_ = new QTableWidget(0, 4, this);
    peaks_->setObjectName(QStringLiteral("IdentifiedPeaks"));
    peaks_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    peaks_->setSelectionBehavior(QAbstractItemView::SelectRows);
    peaks_->verticalHeader()->hide();
    peaks_->horizontalHeader()->setStretchLastSection(true);
    peaks_->setWordWrap(false);
    notes_ = new QLabel(this);
    notes_->setObjectName(QStringLiteral("IdentifyNotes"));
    notes_->setWordWrap(true);

    auto *box = new QVBoxLayout(this);
    box->addWidget(identify_, 0, Qt::AlignLeft);
    box->addWidget(summary_);
    box->addWidget(response_);
    box->addWidget(elementsTitle_);
    box->addWidget(elements_, 1);
    box->addWidget(peaksTitle_);
    box->addWidget(peaks_, 3);
    box->addWidget(notes_);

    connect(identify_, &QPushButton::clicked, this, &IdentifyPanel::identifyRequested);
    connect(elements_, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!filling_)
            emit keptChanged(item->data(Qt::UserRole).toInt(), item->checkState() == Qt::Checked);
    });
    retranslate();
}

void IdentifyPanel::setIdentification(const std::optional<identify::Identification> &id, const QString &spectrum)
{
    id_ = id;
    spectrum_ = spectrum;
    kept_.clear();
    if (id_)
        for (const identify::IdentifiedElement &e : id_->elements)
            kept_ << e.Z;
    fill();
}

void IdentifyPanel::setKept(const QList<int> &kept)
{
    if (kept == kept_)
        return;
    kept_ = kept;
    if (!isBuilt())
        return;
    // In place: this may run while the list handles a click on a tick.
    filling_ = true;
    for (int row = 0; row < elements_->count(); ++row) {
        QListWidgetItem *item = elements_->item(row);
        if (item->flags() & Qt::ItemIsUserCheckable)
            item->setCheckState(kept_.contains(item->data(Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
    greyPeaks();
}

void IdentifyPanel::greyPeaks()
{
    if (!id_)
        return;
    for (int row = 0; row < peaks_->rowCount() && std::size_t(row) < id_->peaks.size(); ++row) {
        const QList<int> involved = identifylabels::elementsOf(id_->peaks[std::size_t(row)].assignment);
        const bool kept = std::all_of(involved.begin(), involved.end(), [this](int Z) { return kept_.contains(Z); });
        const QColor colour = palette().color(kept ? QPalette::Active : QPalette::Disabled, QPalette::Text);
        for (int c = 0; c < peaks_->columnCount(); ++c)
            if (QTableWidgetItem *cell = peaks_->item(row, c))
                cell->setForeground(colour);
    }
}

void IdentifyPanel::retranslate()
{
    if (!isBuilt())
        return;
    identify_->setText(tr("&Identify the peaks"));
    identify_->setToolTip(tr("Name the elements of the active spectrum, pin them and label its peaks"));
    elementsTitle_->setText(tr("Elements found (untick one to remove it, tick it to add it back):"));
    peaksTitle_->setText(tr("Peaks:"));
    peaks_->setHorizontalHeaderLabels({tr("Energy (keV)"), tr("Counts"), tr("Significance"), tr("Peak")});
    fill();
}

void IdentifyPanel::fill()
{
    if (!isBuilt())
        return;
    filling_ = true;
    const QLocale locale = NumberLocale();
    elements_->clear();
    peaks_->setRowCount(0);
    notes_->clear();
    response_->clear();
    if (!id_) {
        summary_->setText(tr("Identify the peaks of the active spectrum: the elements that explain them are "
                             "pinned and the peaks labelled, escape and sum peaks as such."));
        filling_ = false;
        return;
    }
    const QString beam = id_->beam_kV ? tr("%1 kV").arg(locale.toString(*id_->beam_kV, 'g', 4)) : tr("not known");
    summary_->setText(tr("%1: beam %2.").arg(spectrum_, beam));
    response_->setText(responseText());
    if (id_->elements.empty())
        elements_->addItem(tr("none"));
    for (const identify::IdentifiedElement &e : id_->elements) {
        QString confidence;
        switch (e.confidence) {
        case identify::Confidence::Certain:
            confidence = tr("certain");
            break;
        case identify::Confidence::Probable:
            confidence = tr("probable");
            break;
        case identify::Confidence::Possible:
            confidence = tr("possible");
            break;
        }
        QStringList lines;
        for (const xray::Line *line : e.lines)
            lines << lineName(*line);
        auto *item = new QListWidgetItem(tr("%1 \u2014 %2, %3 \u03c3: %4")
                                             .arg(symbol(e.Z), confidence, locale.toString(e.significance, 'f', 0),
                                                  lines.isEmpty() ? tr("no line of its own") : lines.join(u' ')));
        item->setData(Qt::UserRole, e.Z);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(kept_.contains(e.Z) ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(reasonText(e.reason));
        elements_->addItem(item);
    }
    for (const identify::IdentifiedPeak &p : id_->peaks) {
        const int row = peaks_->rowCount();
        peaks_->insertRow(row);
        QString what = identifylabels::peakLabel(p.assignment);
        QString tip;
        switch (p.assignment.kind) {
        case identify::AssignmentKind::Escape:
            tip = tr("Escape peak of %1: the detector's %2 left it")
                      .arg(QString::fromStdString(xray::lineLabel(*p.assignment.line)),
                           QString::fromStdString(xray::escapeLineLabel(*p.assignment.escape)));
            break;
        case identify::AssignmentKind::Sum:
            tip = tr("Sum peak: two photons counted as one");
            break;
        case identify::AssignmentKind::Zero:
            what = tr("noise peak");
            tip = tr("The detector's noise peak at zero energy");
            break;
        case identify::AssignmentKind::Unexplained:
            what = identifylabels::reasonLabel(p.reason);
            if (what.isEmpty())
                what = tr("unexplained");
            tip = reasonText(p.reason);
            break;
        case identify::AssignmentKind::Line:
            break;
        }
        // No "-0.000" for the noise peak.
        const double keV = std::fabs(p.peak.energy_eV) < 0.5 ? 0.0 : p.peak.energy_eV / 1000;
        const QStringList cells = {locale.toString(keV, 'f', 3),
                                   locale.toString(p.peak.netCounts, 'f', 0),
                                   locale.toString(p.peak.significance, 'f', 1), what};
        for (int c = 0; c < 4; ++c) {
            auto *cell = new QTableWidgetItem(cells[c]);
            if (c < 3)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            cell->setToolTip(tip);
            peaks_->setItem(row, c, cell);
        }
    }
    greyPeaks();
    peaks_->resizeColumnsToContents();
    QStringList notes;
    for (const identify::Note &n : id_->notes)
        notes << noteText(n);
    notes_->setText(notes.join(u'\n'));
    filling_ = false;
}

// The detector's response the identification worked with: the resolution
// and where it came from, and how far the file's energies are off, as the
// spectrum's own peaks measured them.
QString IdentifyPanel::responseText() const
{
    const QLocale locale = NumberLocale();
    QString source;
    switch (id_->fwhmSource) {
    case identify::Identification::FwhmSource::Given:
        source = tr("as set");
        break;
    case identify::Identification::FwhmSource::File:
        source = tr("from the file");
        break;
    case identify::Identification::FwhmSource::Estimated:
        source = tr("estimated from the spectrum");
        break;
    case identify::Identification::FwhmSource::Usual:
        source = tr("the detector's usual; the spectrum did not show it");
        break;
    }
    const QString resolution =
        tr("Resolution: FWHM %1 eV at Mn K\u03b1 (%2).").arg(locale.toString(id_->fwhmMnKa_eV, 'f', 1), source);

    const identify::Response &r = id_->response;
    const int n = id_->responsePeaks;
    if (n <= 0)
        return resolution + u'\n' + tr("Energies: as the file gives them; no peak stood alone to measure them.");
    const QString measured = n == 1 ? tr("measured on 1 peak") : tr("measured on %1 peaks").arg(n);
    const bool off = r.shiftOffset_eV != 0 || r.shiftGain != 0 || r.shiftQuadratic_eV != 0 || r.lowPoints > 0;
    if (!off)
        return resolution + u'\n' + tr("Energies: as the file gives them, %1.").arg(measured);
    // Signed, as an offset reads: "+1.2", "-0.4".
    const auto signedText = [&locale](double v, int decimals) {
        const QString text = locale.toString(std::fabs(v), 'f', decimals);
        return (v < 0 ? locale.negativeSign() : locale.positiveSign()) + text;
    };
    QString formula = tr("%1 eV %2 % E").arg(signedText(r.shiftOffset_eV, 1), signedText(100 * r.shiftGain, 3));
    if (r.shiftQuadratic_eV != 0)
        formula = tr("%1 %2 eV (E/keV)\u00b2").arg(formula, signedText(r.shiftQuadratic_eV, 2));
    // What that comes to at 1 keV and at 10 keV (or the beam energy, if lower).
    QStringList at;
    const double top = std::clamp(id_->beam_kV.value_or(10.0), 1.0, 10.0);
    for (double keV : {1.0, top})
        if (at.isEmpty() || keV > 1.0)
            at << tr("%1 eV at %2 keV").arg(signedText(r.linearShift(keV * 1000), 1), locale.toString(keV, 'g', 3));
    QString text = tr("Energies, %1: a line at E shows %2 off its energy (%3).").arg(measured, formula, at.join(u", "));
    if (r.lowPoints > 0) {
        QStringList low;
        for (int i = 0; i < r.lowPoints && i < identify::Response::MaxLowPoints; ++i)
            low << tr("%1 eV at %2 keV")
                       .arg(signedText(r.shift(r.lowEnergy_eV[i]), 1), locale.toString(r.lowEnergy_eV[i] / 1000, 'f', 2));
        text += u' ' + tr("Below 1 keV, where the response is least linear: %1.").arg(low.join(u", "));
    }
    return resolution + u'\n' + text;
}

QString IdentifyPanel::noteText(const identify::Note &note) const
{
    using Kind = identify::Note::Kind;
    switch (note.kind) {
    case Kind::NoBeam:
        return tr("No beam energy (Detector tab): every line counts as excited, and the families of an element are "
                  "weighed freely.");
    case Kind::TooFewChannels:
        return tr("No peaks: too few channels in the X-ray range.");
    case Kind::NoCounts:
        return tr("No peaks: the spectrum holds no counts.");
    case Kind::Scaled:
        return tr("Counts above 1e15 a channel are no photon counts: scaled down before looking for peaks.");
    case Kind::Summed:
        return tr("Channels summed in groups of %1, much narrower than the detector's resolution.").arg(note.number);
    case Kind::Xrf:
        return tr("An X-ray fluorescence spectrum: the families of an element are weighed freely, and its deeper "
                  "subshells may fall short.");
    case Kind::Flat:
        return tr("No peaks: the spectrum is flat (nothing stands out from its noise).");
    case Kind::Stopped:
        return tr("Stopped after %1 elements and %2 peaks tried: the spectrum is not one this method can take "
                  "apart.")
            .arg(note.number)
            .arg(note.rounds);
    case Kind::WindowEdge:
        return tr("The rise at %1 keV is the continuum's step at the %2 absorption edge of the detector's window or "
                  "crystal, not a peak.")
            .arg(NumberLocale().toString(note.energy_eV / 1000, 'f', 2), symbol(note.Z));
    case Kind::Unexplained:
        // Two texts rather than "%n peak(s)": English has no translation
        // file to give the plural (Portuguese's rule is the same).
        return note.number == 1 ? tr("1 peak left unexplained.")
                                : tr("%1 peaks left unexplained.").arg(note.number);
    }
    return QString::fromStdString(note.text);
}

QString IdentifyPanel::rivalText(const identify::Rival &rival) const
{
    using Kind = identify::Rival::Kind;
    const QString element = symbol(rival.Z);
    switch (rival.kind) {
    case Kind::FitsLessWell:
        return tr("%1 (fits less well)").arg(element);
    case Kind::Missing:
        return rival.peak.line ? tr("%1 (its %2 at %3 keV is missing)")
                                     .arg(element, lineName(*rival.peak.line), keV(rival.peak.energy_eV))
                               : tr("%1 (its line at %2 keV is missing)").arg(element, keV(rival.peak.energy_eV));
    case Kind::NotSeen:
        return rival.peak.line ? tr("%1 (its %2 at %3 keV is not seen)")
                                     .arg(element, lineName(*rival.peak.line), keV(rival.peak.energy_eV))
                               : tr("%1 (its line at %2 keV is not seen)").arg(element, keV(rival.peak.energy_eV));
    case Kind::FitsPoorly:
        return tr("%1 (fits the peak poorly)").arg(element);
    case Kind::ExplainedAlready:
        return tr("%1 (the elements found explain it as well)").arg(element);
    }
    return element;
}

QString IdentifyPanel::reasonText(const identify::ElementReason &reason) const
{
    using Kind = identify::ElementReason::Kind;
    switch (reason.kind) {
    case Kind::None:
        return {};
    case Kind::Required:
        return tr("Required: known to be in the sample");
    case Kind::RequiredUnseen:
        return tr("Required; its lines are not seen");
    case Kind::Explains:
        break;
    }
    QString text = reason.line ? tr("The peak at %1 keV is its %2").arg(keV(reason.peak_eV), lineName(*reason.line))
                               : tr("Taken for the peak at %1 keV").arg(keV(reason.peak_eV));
    QString partners;
    for (std::size_t i = 0; i < reason.partners.size(); ++i) {
        const identify::LinePeak &p = reason.partners[i];
        const QString partner = tr("%1 at %2 keV").arg(p.line ? lineName(*p.line) : tr("a line"), keV(p.energy_eV));
        if (i == 0)
            partners = partner;
        else if (i + 1 == reason.partners.size())
            partners = tr("%1 and %2").arg(partners, partner);
        else
            partners = tr("%1, %2").arg(partners, partner);
    }
    if (!partners.isEmpty())
        text = tr("%1, with %2").arg(text, partners);
    QStringList rivals;
    for (const identify::Rival &rival : reason.rivals)
        rivals << rivalText(rival);
    if (!rivals.isEmpty())
        text = tr("%1; rather than %2").arg(text, rivals.join(u", "));
    return text;
}

QString IdentifyPanel::reasonText(const identify::PeakReason &reason) const
{
    using Kind = identify::PeakReason::Kind;
    switch (reason.kind) {
    case Kind::None:
        return {};
    case Kind::BelowLines:
        return tr("Below %1 keV, in the noise peak's reach, where no line is looked for").arg(keV(reason.energy_eV));
    case Kind::Rayleigh:
        return tr("The beam scattered by the sample (Rayleigh, at the beam energy), no element's line");
    case Kind::Compton:
        return tr("The beam scattered by the sample (Compton, below the beam energy), no element's line");
    case Kind::TooWide:
        return tr("Wider than a line: the shape of the continuum, or scattered radiation");
    case Kind::NoLineFits:
        return tr("No element has a line there that fits");
    case Kind::Refused: {
        QStringList rivals;
        for (const identify::Rival &rival : reason.rivals)
            rivals << rivalText(rival);
        return tr("Tried %1").arg(rivals.join(u", "));
    }
    case Kind::NotExplained:
        return tr("No element found explains it");
    case Kind::PartlyExplained:
        return tr("The elements found explain only part of it");
    case Kind::Internal:
    case Kind::TubeRayleigh:
    case Kind::TubeCompton: {
        const QString line = reason.line ? QString::fromStdString(std::string(xray::elementSymbol(reason.line->Z)))
                                               + u' ' + lineName(*reason.line)
                                         : tr("a line");
        QString what;
        if (reason.kind == Kind::Internal)
            what = tr("%1 of the detector itself (internal fluorescence)").arg(line);
        else if (reason.kind == Kind::TubeRayleigh)
            what = tr("the tube's %1 scattered by the sample (Rayleigh)").arg(line);
        else
            what = tr("the tube's %1 scattered by the sample (Compton)").arg(line);
        if (reason.escape)
            what = tr("escape peak of %1").arg(what);
        QString text = tr("%1, no element of the sample").arg(what);
        if (!text.isEmpty())
            text[0] = text[0].toUpper();
        return text;
    }
    }
    return {};
}

void IdentifyPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    LazyPanel::changeEvent(event);
}
