// The spectrum window's calibration panel: the peak last clicked, a box to
// name its line ("Fe Ka1"), the assignments made with the fitted energy of
// each and its residual, the fitted offset and gain, and undo.
#pragma once

#include "uicommon/lazypanel.h"

#include <QList>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CalibrationPanel : public LazyPanel {
    Q_OBJECT

public:
    struct Row {
        double channel;
        QString line;
        double energy_eV;
        std::optional<double> residual_eV; // once two or more are fitted
    };

    explicit CalibrationPanel(QWidget *parent = nullptr);

    void setPeak(std::optional<double> channel, std::optional<double> energy_eV);
    // The assignments, and the calibration in force: offset and gain in eV,
    // with the RMS of the residuals when fitted from them.
    void setAssignments(const QList<Row> &rows);
    void setCalibration(std::optional<double> offset_eV, std::optional<double> gain_eV, std::optional<double> rms_eV);
    // A refusal, shown until the next change; empty clears it.
    void setMessage(const QString &message);

    QLineEdit *lineEntry() const { return (ensureBuilt(), line_); }
    QPushButton *assignButton() const { return (ensureBuilt(), assign_); }
    QPushButton *undoButton() const { return (ensureBuilt(), undo_); }
    QTableWidget *table() const { return (ensureBuilt(), table_); }
    QLabel *result() const { return (ensureBuilt(), result_); }
    QLabel *message() const { return (ensureBuilt(), message_); }

signals:
    void assignRequested(const QString &lineText);
    void undoRequested();

protected:
    void build() override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void fillTable();

    QLabel *peak_ = nullptr;
    QLineEdit *line_ = nullptr;
    QPushButton *assign_ = nullptr;
    QPushButton *undo_ = nullptr;
    QTableWidget *table_ = nullptr;
    QLabel *result_ = nullptr;
    QLabel *message_ = nullptr;
    std::optional<double> channel_, energy_eV_, offset_, gain_, rms_;
    QList<Row> rows_;
    QString messageText_;
};
