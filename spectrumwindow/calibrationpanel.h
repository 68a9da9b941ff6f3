// The spectrum window's calibration panel: the peak last clicked, a box to
// name its line ("Fe Ka1"), the assignments made with the fitted energy of
// each and its residual, the fitted offset and gain, and undo.
#pragma once

#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CalibrationPanel : public QWidget {
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

    QLineEdit *lineEntry() const { return line_; }
    QPushButton *assignButton() const { return assign_; }
    QPushButton *undoButton() const { return undo_; }
    QTableWidget *table() const { return table_; }
    QLabel *result() const { return result_; }
    QLabel *message() const { return message_; }

signals:
    void assignRequested(const QString &lineText);
    void undoRequested();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    QLabel *peak_ = nullptr;
    QLineEdit *line_ = nullptr;
    QPushButton *assign_ = nullptr;
    QPushButton *undo_ = nullptr;
    QTableWidget *table_ = nullptr;
    QLabel *result_ = nullptr;
    QLabel *message_ = nullptr;
    std::optional<double> channel_, energy_eV_, offset_, gain_, rms_;
};
