#include "candidatesmodel.h"
#include "numberlocale.h"

#include "xray/elements.h"
#include "xray/lines.h"

#include <QLocale>

namespace {

QString fromUtf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QString symbol(const xray::Line &line) { return fromUtf8(xray::elementSymbol(line.Z)); }

// "Kα1", or the IUPAC name of a line without a Siegbahn one.
QString lineName(const xray::Line &line) { return QString::fromStdString(xray::displayNameGreek(line)); }

QString label(const xray::Line &line) { return QString::fromStdString(xray::lineLabel(line)); }

QString keV(double eV) { return NumberLocale().toString(eV / 1000, 'f', 3); }

} // namespace

CandidatesModel::CandidatesModel(QObject *parent) : QAbstractTableModel(parent) {}

void CandidatesModel::setCandidates(double energy_eV, std::vector<xray::Candidate> candidates)
{
    beginResetModel();
    energy_eV_ = energy_eV;
    candidates_ = std::move(candidates);
    endResetModel();
}

void CandidatesModel::clear() { setCandidates(0, {}); }

const xray::Candidate *CandidatesModel::candidate(int row) const
{
    return row >= 0 && std::size_t(row) < candidates_.size() ? &candidates_[std::size_t(row)] : nullptr;
}

int CandidatesModel::elementOf(int row) const
{
    const xray::Candidate *c = candidate(row);
    return c && c->line ? c->line->Z : 0;
}

QString CandidatesModel::markerLabel(const xray::Candidate &c)
{
    switch (c.kind) {
    case xray::CandidateKind::Escape:
        return label(*c.line) + QStringLiteral(" esc");
    case xray::CandidateKind::Sum:
        return label(*c.line) + u'+' + (c.second ? label(*c.second) : QString());
    case xray::CandidateKind::Line:
        break;
    }
    return label(*c.line);
}

double CandidatesModel::relativeSize(const xray::Candidate &c)
{
    switch (c.kind) {
    case xray::CandidateKind::Escape:
        return c.line->relative * c.fraction;
    case xray::CandidateKind::Sum:
        return c.line->relative * (c.second ? c.second->relative : 0.0);
    case xray::CandidateKind::Line:
        break;
    }
    return c.line->relative;
}

void CandidatesModel::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!candidates_.empty())
        emit dataChanged(index(0, KindColumn), index(rowCount() - 1, KindColumn));
}

int CandidatesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(candidates_.size());
}

int CandidatesModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString CandidatesModel::text(const xray::Candidate &c, int column) const
{
    switch (column) {
    case ElementColumn:
        if (c.kind == xray::CandidateKind::Sum && c.second && c.second->Z != c.line->Z)
            return symbol(*c.line) + u'+' + symbol(*c.second);
        return symbol(*c.line);
    case LineColumn:
        switch (c.kind) {
        case xray::CandidateKind::Escape:
            return tr("%1 escape (%2)").arg(lineName(*c.line), c.escape ? fromUtf8(xray::escapeLineLabel(*c.escape)) : QString());
        case xray::CandidateKind::Sum:
            return lineName(*c.line) + u'+' + (c.second ? lineName(*c.second) : QString());
        case xray::CandidateKind::Line:
            break;
        }
        return lineName(*c.line);
    case EnergyColumn:
        return keV(c.energy_eV);
    case DeltaColumn:
        return NumberLocale().toString(c.delta_eV, 'f', 1);
    case RelativeColumn:
        return NumberLocale().toString(relativeSize(c), 'g', 3);
    case KindColumn:
        switch (c.kind) {
        case xray::CandidateKind::Escape:
            return tr("escape");
        case xray::CandidateKind::Sum:
            return tr("sum");
        case xray::CandidateKind::Line:
            break;
        }
        return tr("line");
    case ConfirmColumn: {
        QStringList lines;
        for (const xray::Line *l : c.confirm)
            lines << label(*l) + u' ' + keV(l->energy_eV);
        return lines.join(QStringLiteral(", "));
    }
    default:
        return {};
    }
}

QVariant CandidatesModel::data(const QModelIndex &index, int role) const
{
    const xray::Candidate *c = index.isValid() ? candidate(index.row()) : nullptr;
    if (!c)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(*c, index.column());
    case Qt::ToolTipRole:
        return tr("%1: score %2").arg(markerLabel(*c), NumberLocale().toString(c->score, 'g', 3));
    case Qt::TextAlignmentRole:
        if (index.column() == EnergyColumn || index.column() == DeltaColumn || index.column() == RelativeColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case ZRole:
        return c->line ? int(c->line->Z) : 0;
    default:
        return {};
    }
}

QVariant CandidatesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ElementColumn:
        return tr("Element");
    case LineColumn:
        return tr("Line");
    case EnergyColumn:
        return tr("Energy (keV)");
    case DeltaColumn:
        return tr("ΔE (eV)");
    case RelativeColumn:
        return tr("Relative intensity");
    case KindColumn:
        return tr("Kind");
    case ConfirmColumn:
        return tr("Confirming lines");
    default:
        return {};
    }
}
