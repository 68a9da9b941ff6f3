// The spectrum window's finder panel: the candidates for the peak last
// clicked, best first, as a view on the shared candidates model. Choosing a
// row shows its element in the main window and highlights its markers; a
// button pins its element, another assigns its energy to the peak for the
// calibration.
#pragma once

#include "uicommon/lazypanel.h"

#include <optional>

class CandidatesModel;
class QLabel;
class QPushButton;
class QTableView;

class FinderPanel : public LazyPanel {
    Q_OBJECT

public:
    FinderPanel(CandidatesModel *model, QWidget *parent = nullptr);

    // What the list is for: a peak at that energy and channel, a peak of an
    // uncalibrated spectrum (no energy), or nothing picked.
    void setPeak(std::optional<double> energy_eV, std::optional<double> channel);

    QTableView *view() const { return (ensureBuilt(), view_); }
    QPushButton *pinButton() const { return (ensureBuilt(), pin_); }
    QPushButton *assignButton() const { return (ensureBuilt(), assign_); }
    // The row chosen; -1 for none (and while the panel was never shown).
    int currentRow() const;

signals:
    void chosen(int row);
    void pinRequested(int row);
    void assignRequested();

protected:
    void build() override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    CandidatesModel *model_;
    QLabel *title_ = nullptr;
    QTableView *view_ = nullptr;
    QPushButton *pin_ = nullptr;
    QPushButton *assign_ = nullptr;
    std::optional<double> energy_eV_;
    std::optional<double> channel_;
};
