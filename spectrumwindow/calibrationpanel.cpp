#include "calibrationpanel.h"

#include "errorlabel.h"
#include "uicommon/numberlocale.h"

#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>

CalibrationPanel::CalibrationPanel(QWidget *parent) : LazyPanel(parent)
{
    setObjectName(QStringLiteral("CalibrationPanel"));
}

void CalibrationPanel::build()
{
    peak_ = new QLabel(this);
    peak_->setObjectName(QStringLiteral("CalibrationPeak"));
    peak_->setWordWrap(true);
    line_ = new QLineEdit(this);
    line_->setObjectName(QStringLiteral("CalibrationLine"));
    assign_ = new QPushButton(this);
    assign_->setObjectName(QStringLiteral("CalibrationAssign"));
    undo_ = new QPushButton(this);
    undo_->setObjectName(QStringLiteral("CalibrationUndo"));
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName(QStringLiteral("CalibrationPairs"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("CalibrationResult"));
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("CalibrationMessage"));
    message_->setWordWrap(true);
    showAsError(message_);

    auto *grid = new QGridLayout(this);
    grid->addWidget(peak_, 0, 0, 1, 3);
    grid->addWidget(line_, 1, 0, 1, 2);
    grid->addWidget(assign_, 1, 2);
    grid->addWidget(message_, 2, 0, 1, 3);
    grid->addWidget(table_, 3, 0, 1, 3);
    grid->addWidget(result_, 4, 0, 1, 2);
    grid->addWidget(undo_, 4, 2);

    connect(assign_, &QPushButton::clicked, this, [this] { emit assignRequested(line_->text()); });
    connect(line_, &QLineEdit::returnPressed, this, [this] { emit assignRequested(line_->text()); });
    connect(undo_, &QPushButton::clicked, this, &CalibrationPanel::undoRequested);
    setMessage(messageText_);
    retranslate();
    fillTable(); // its columns fitted to the headers too
}

void CalibrationPanel::setPeak(std::optional<double> channel, std::optional<double> energy_eV)
{
    channel_ = channel;
    energy_eV_ = energy_eV;
    retranslate();
}

void CalibrationPanel::setAssignments(const QList<Row> &rows)
{
    rows_ = rows;
    fillTable();
}

void CalibrationPanel::fillTable()
{
    if (!isBuilt())
        return;
    const QLocale locale = NumberLocale();
    table_->setRowCount(int(rows_.size()));
    for (int r = 0; r < rows_.size(); ++r) {
        const Row &row = rows_[r];
        const QString cells[] = {locale.toString(row.channel, 'f', 1), row.line, locale.toString(row.energy_eV, 'f', 1),
                                 row.residual_eV ? locale.toString(*row.residual_eV, 'f', 2) : QStringLiteral("-")};
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(c == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();
    undo_->setEnabled(!rows_.isEmpty());
}

void CalibrationPanel::setCalibration(std::optional<double> offset_eV, std::optional<double> gain_eV,
                                      std::optional<double> rms_eV)
{
    offset_ = offset_eV;
    gain_ = gain_eV;
    rms_ = rms_eV;
    retranslate();
}

void CalibrationPanel::setMessage(const QString &message)
{
    messageText_ = message;
    if (!isBuilt())
        return;
    message_->setText(message);
    message_->setVisible(!message.isEmpty());
}

void CalibrationPanel::retranslate()
{
    if (!isBuilt())
        return;
    assign_->setEnabled(channel_.has_value());
    const QLocale locale = NumberLocale();
    if (channel_ && energy_eV_)
        peak_->setText(tr("Peak at channel %1 (now %2 keV). Its line:")
                           .arg(locale.toString(*channel_, 'f', 1), locale.toString(*energy_eV_ / 1000, 'f', 3)));
    else if (channel_)
        peak_->setText(tr("Peak at channel %1. Its line:").arg(locale.toString(*channel_, 'f', 1)));
    else
        peak_->setText(tr("Click a peak in the plot, then name its line or choose it among the finder's candidates. "
                          "Two or more peaks give the calibration."));
    line_->setPlaceholderText(tr("Fe Ka1"));
    assign_->setText(tr("&Assign"));
    undo_->setText(tr("U&ndo"));
    table_->setHorizontalHeaderLabels({tr("Channel"), tr("Line"), tr("Energy (eV)"), tr("Residual (eV)")});
    if (offset_ && gain_)
        result_->setText(tr("Energy = %1 eV + %2 eV \u00D7 channel")
                             .arg(locale.toString(*offset_, 'f', 2), locale.toString(*gain_, 'f', 4))
                         + (rms_ ? tr("; RMS of the residuals %1 eV").arg(locale.toString(*rms_, 'f', 2)) : QString()));
    else
        result_->setText(tr("Uncalibrated: the plot shows channels."));
}

void CalibrationPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    LazyPanel::changeEvent(event);
}
