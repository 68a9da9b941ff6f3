// The line finder's candidates as a table, for the spectrum window's finder
// panel and the finder window alike: element, line, energy, distance,
// relative intensity, kind, and the lines that would confirm it.
#pragma once

#include "xray/finder.h"

#include <QAbstractTableModel>

#include <vector>

class CandidatesModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { ElementColumn, LineColumn, EnergyColumn, DeltaColumn, RelativeColumn, KindColumn, ConfirmColumn,
                  ColumnCount };
    // The atomic number of the element a row stands for (the parent's for
    // an escape, the first line's for a sum).
    static constexpr int ZRole = Qt::UserRole + 1;

    explicit CandidatesModel(QObject *parent = nullptr);

    // The candidates found for a peak at energy_eV, best first.
    void setCandidates(double energy_eV, std::vector<xray::Candidate> candidates);
    void clear();
    double energy_eV() const { return energy_eV_; }
    const xray::Candidate *candidate(int row) const;
    int elementOf(int row) const;

    // How a candidate is named in the plot's markers: "Fe Kα1", "Cu Kα1 esc",
    // "Ti Kα1+Ti Kα1".
    static QString markerLabel(const xray::Candidate &candidate);
    // The expected size: a line's relative intensity, an escape's parent's
    // times its fraction, a sum's product.
    static double relativeSize(const xray::Candidate &candidate);

    // Headers and kinds in the language in force.
    void retranslate();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString text(const xray::Candidate &c, int column) const;

    double energy_eV_ = 0;
    std::vector<xray::Candidate> candidates_;
};
