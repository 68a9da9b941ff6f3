#include "identifylabels.h"

#include "xray/elements.h"
#include "xray/lines.h"

namespace identifylabels {

namespace {

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
