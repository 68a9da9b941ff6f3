#include "identifylabels.h"

#include "xray/elements.h"
#include "xray/lines.h"

#include <QCoreApplication>

namespace identifylabels {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("identifylabels", text); }

QString symbol(int Z)
{
    const std::string_view s = xray::elementSymbol(Z);
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

} // namespace

QString lineGroup(const xray::Line &line)
{
    return QString::fromStdString(xray::siegbahnGreek(xray::displayGroup(line)));
}

QString peakLabel(const identify::Assignment &a)
{
    switch (a.kind) {
    case identify::AssignmentKind::Line:
        return QString::fromStdString(xray::lineLabel(*a.line));
    case identify::AssignmentKind::Escape:
        return symbol(a.line->Z) + u' ' + lineGroup(*a.line) + u" esc"_qs;
    case identify::AssignmentKind::Sum: {
        const QString first = lineGroup(*a.line), second = lineGroup(*a.second);
        if (a.line->Z == a.second->Z)
            return first == second ? u"2\u00d7"_qs + symbol(a.line->Z) + u' ' + first
                                   : symbol(a.line->Z) + u' ' + first + u'+' + second;
        return symbol(a.line->Z) + u' ' + first + u'+' + symbol(a.second->Z) + u' ' + second;
    }
    case identify::AssignmentKind::Zero:
    case identify::AssignmentKind::Unexplained:
        break;
    }
    return {};
}

QString reasonLabel(const identify::PeakReason &reason)
{
    using Kind = identify::PeakReason::Kind;
    switch (reason.kind) {
    case Kind::Rayleigh:
        return tr("Rayleigh");
    case Kind::Compton:
        return tr("Compton");
    case Kind::Internal:
    case Kind::TubeRayleigh:
    case Kind::TubeCompton: {
        if (!reason.line)
            return {};
        const QString line = symbol(reason.line->Z) + u' ' + lineGroup(*reason.line);
        if (reason.kind == Kind::Internal)
            return reason.escape ? tr("%1 esc (detector)").arg(line) : tr("%1 (detector)").arg(line);
        if (reason.kind == Kind::TubeRayleigh)
            return reason.escape ? tr("%1 scattered, esc").arg(line) : tr("%1 scattered").arg(line);
        return reason.escape ? tr("%1 Compton, esc").arg(line) : tr("%1 Compton").arg(line);
    }
    default:
        break;
    }
    return {};
}

QList<int> elementsOf(const identify::Assignment &a)
{
    QList<int> elements;
    if (a.line)
        elements << a.line->Z;
    if (a.second && !elements.contains(a.second->Z))
        elements << a.second->Z;
    return elements;
}

} // namespace identifylabels
