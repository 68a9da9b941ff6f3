// The finder window (Tools > Find lines by energy): the lines, escape peaks
// and sum peaks near an energy the user types, as `zandor find` gives them.
// Choosing a row shows its element in the main window.
#pragma once

#include <QWidget>

class CandidatesModel;
class DetectorBox;
class QLabel;
class QLineEdit;
class QTableView;

class FinderWindow : public QWidget {
    Q_OBJECT

public:
    explicit FinderWindow(QWidget *parent = nullptr);

    // Runs the search for what the boxes hold; what `zandor find` would
    // list, best first. Called on every change of a box.
    void search();

    QLineEdit *energyBox() const { return energy_; }
    QLineEdit *toleranceBox() const { return tolerance_; }
    QLineEdit *elementsBox() const { return elements_; }
    DetectorBox *detectorBox() const { return detector_; }
    QTableView *results() const { return results_; }
    CandidatesModel *candidates() const { return model_; }
    QLabel *message() const { return message_; }

signals:
    void showElementRequested(int Z);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    QLabel *energyLabel_ = nullptr;
    QLabel *toleranceLabel_ = nullptr;
    QLabel *elementsLabel_ = nullptr;
    QLineEdit *energy_ = nullptr;
    QLineEdit *tolerance_ = nullptr;
    QLineEdit *elements_ = nullptr;
    DetectorBox *detector_ = nullptr;
    QLabel *message_ = nullptr;
    QTableView *results_ = nullptr;
    CandidatesModel *model_ = nullptr;
    QString problem_; // why the boxes give no search, in English source text
    QString problemArgument_;
};
