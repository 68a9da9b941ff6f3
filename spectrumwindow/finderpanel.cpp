#include "finderpanel.h"
#include "uicommon/numberlocale.h"

#include "uicommon/candidatesmodel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

FinderPanel::FinderPanel(CandidatesModel *model, QWidget *parent) : LazyPanel(parent), model_(model)
{
    setObjectName(QStringLiteral("FinderPanel"));
}

void FinderPanel::build()
{
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("FinderPanelTitle"));
    title_->setWordWrap(true);
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("FinderPanelView"));
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setWordWrap(false);
    pin_ = new QPushButton(this);
    pin_->setObjectName(QStringLiteral("FinderPanelPin"));
    assign_ = new QPushButton(this);
    assign_->setObjectName(QStringLiteral("FinderPanelAssign"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(pin_);
    buttons->addWidget(assign_);
    buttons->addStretch();
    auto *box = new QVBoxLayout(this);
    box->addWidget(title_);
    box->addWidget(view_, 1);
    box->addLayout(buttons);

    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    emit chosen(current.row());
            });
    connect(pin_, &QPushButton::clicked, this, [this] {
        if (currentRow() >= 0)
            emit pinRequested(currentRow());
    });
    connect(assign_, &QPushButton::clicked, this, &FinderPanel::assignRequested);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        view_->resizeColumnsToContents();
        pin_->setEnabled(false);
        assign_->setEnabled(false);
    });
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &c) {
        pin_->setEnabled(c.isValid());
        assign_->setEnabled(c.isValid() && channel_.has_value());
    });
    view_->resizeColumnsToContents();
    pin_->setEnabled(false);
    assign_->setEnabled(false);
    retranslate();
}

int FinderPanel::currentRow() const
{
    if (!isBuilt())
        return -1;
    const QModelIndex current = view_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void FinderPanel::setPeak(std::optional<double> energy_eV, std::optional<double> channel)
{
    energy_eV_ = energy_eV;
    channel_ = channel;
    retranslate();
}

void FinderPanel::retranslate()
{
    if (!isBuilt())
        return;
    const QLocale locale = NumberLocale();
    if (energy_eV_ && channel_)
        title_->setText(tr("Candidates for the peak at %1 keV (channel %2):")
                            .arg(locale.toString(*energy_eV_ / 1000, 'f', 3), locale.toString(*channel_, 'f', 0)));
    else if (channel_)
        title_->setText(tr("The peak at channel %1 has no energy while the spectrum is uncalibrated: "
                           "assign it a line in the calibration panel.")
                            .arg(locale.toString(*channel_, 'f', 0)));
    else
        title_->setText(tr("Click a peak in the plot to list the lines, escape peaks and sum peaks that can explain it."));
    pin_->setText(tr("&Pin its element"));
    assign_->setText(tr("&Calibrate: the peak is this line"));
    model_->retranslate();
}

void FinderPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    LazyPanel::changeEvent(event);
}
