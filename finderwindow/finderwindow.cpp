#include "finderwindow.h"
#include "uicommon/numberlocale.h"

#include "uicommon/candidatesmodel.h"
#include "uicommon/detectorbox.h"

#include "xray/elements.h"
#include "xray/energy.h"

#include <QEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The finder window lists at most this many candidates.
constexpr std::size_t MaxCandidates = 100;

} // namespace

FinderWindow::FinderWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FinderWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    energy_ = new QLineEdit(this);
    energy_->setObjectName(QStringLiteral("FinderEnergy"));
    tolerance_ = new QLineEdit(this);
    tolerance_->setObjectName(QStringLiteral("FinderTolerance"));
    elements_ = new QLineEdit(this);
    elements_->setObjectName(QStringLiteral("FinderElements"));
    detector_ = new DetectorBox(this);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("FinderMessage"));
    message_->setWordWrap(true);
    model_ = new CandidatesModel(this);
    results_ = new QTableView(this);
    results_->setObjectName(QStringLiteral("FinderResults"));
    results_->setModel(model_);
    results_->setSelectionBehavior(QAbstractItemView::SelectRows);
    results_->setSelectionMode(QAbstractItemView::SingleSelection);
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->verticalHeader()->hide();
    results_->horizontalHeader()->setStretchLastSection(true);

    energyLabel_ = new QLabel(this);
    energyLabel_->setBuddy(energy_);
    toleranceLabel_ = new QLabel(this);
    toleranceLabel_->setBuddy(tolerance_);
    elementsLabel_ = new QLabel(this);
    elementsLabel_->setBuddy(elements_);
    auto *form = new QFormLayout;
    form->addRow(energyLabel_, energy_);
    form->addRow(toleranceLabel_, tolerance_);
    form->addRow(elementsLabel_, elements_);
    auto *box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(detector_);
    box->addWidget(message_);
    box->addWidget(results_, 1);

    for (QLineEdit *e : {energy_, tolerance_, elements_})
        connect(e, &QLineEdit::textChanged, this, &FinderWindow::search);
    connect(detector_, &DetectorBox::changed, this, &FinderWindow::search);
    connect(results_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &row) {
        if (const int Z = model_->elementOf(row.row()); Z > 0)
            emit showElementRequested(Z);
    });
    connect(model_, &QAbstractItemModel::modelReset, results_, &QTableView::resizeColumnsToContents);
    retranslate();
    resize(760, 520);
}

void FinderWindow::search()
{
    problem_.clear();
    problemArgument_.clear();
    const QString energyText = energy_->text().trimmed();
    if (energyText.isEmpty()) {
        model_->clear();
        retranslate();
        return;
    }
    const xray::EnergyReading energy = xray::parseEnergy(energyText.toStdString());
    if (!energy) {
        problem_ = QStringLiteral("energy");
        problemArgument_ = QStringLiteral("'%1' %2").arg(energyText, QString::fromStdString(energy.reason));
        model_->clear();
        retranslate();
        return;
    }
    xray::FindOptions options;
    options.limit = MaxCandidates;
    options.beam_eV = detector_->beam_eV();
    const QString toleranceText = tolerance_->text().trimmed();
    if (!toleranceText.isEmpty()) {
        const xray::EnergyReading tolerance = xray::parseEnergy(toleranceText.toStdString());
        if (!tolerance) {
            problem_ = QStringLiteral("tolerance");
            problemArgument_ = QStringLiteral("'%1' %2").arg(toleranceText, QString::fromStdString(tolerance.reason));
            model_->clear();
            retranslate();
            return;
        }
        options.tolerance_eV = *tolerance.eV;
    }
    QStringList unknown;
    for (const QString &word :
         elements_->text().split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
        if (const std::optional<int> Z = xray::parseElement(word.toStdString()))
            options.elements.push_back(*Z);
        else
            unknown << word;
    }
    if (!unknown.isEmpty()) {
        problem_ = QStringLiteral("elements");
        problemArgument_ = unknown.join(QStringLiteral(", "));
    }
    const xray::FindResult found = xray::findLines(*energy.eV, detector_->detector(), options);
    model_->setCandidates(*energy.eV, found.candidates);
    retranslate();
}

void FinderWindow::retranslate()
{
    setWindowTitle(tr("Find lines by energy \u2014 Zandor"));
    energyLabel_->setText(tr("&Energy:"));
    energy_->setPlaceholderText(tr("6.4 keV, 6400 eV or 6.4"));
    toleranceLabel_->setText(tr("&Tolerance:"));
    tolerance_->setPlaceholderText(tr("one FWHM of the detector"));
    elementsLabel_->setText(tr("Elements &present:"));
    elements_->setPlaceholderText(tr("Fe, Cu: their strong lines form sum peaks"));
    const QLocale locale = NumberLocale();
    if (problem_ == QLatin1String("energy"))
        message_->setText(tr("The energy %1.").arg(problemArgument_));
    else if (problem_ == QLatin1String("tolerance"))
        message_->setText(tr("The tolerance %1.").arg(problemArgument_));
    else if (problem_ == QLatin1String("elements"))
        message_->setText(tr("Not elements, left out: %1.").arg(problemArgument_));
    else if (model_->rowCount() > 0 || !energy_->text().trimmed().isEmpty())
        message_->setText(tr("%n candidate(s) near %1 keV (%2 eV), best first.", nullptr, model_->rowCount())
                              .arg(locale.toString(model_->energy_eV() / 1000, 'f', 4),
                                   locale.toString(model_->energy_eV(), 'f', 1)));
    else
        message_->setText(tr("Type the energy of a peak: a number with its unit, eV or keV; a bare number is keV."));
    model_->retranslate();
}

void FinderWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
