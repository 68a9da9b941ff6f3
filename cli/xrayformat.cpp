#include "xrayformat.h"

#include "errors.h"
#include "options.h"

#include "xray/edges.h"
#include "xray/elements.h"

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <ostream>

namespace cli {

std::string format(const char *pattern, ...)
{
    va_list args;
    va_start(args, pattern);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, pattern, args);
    va_end(args);
    std::string text(size > 0 ? std::size_t(size) : 0, '\0');
    if (size > 0)
        std::vsnprintf(text.data(), text.size() + 1, pattern, again);
    va_end(again);
    return text;
}

int elementArgument(std::string_view text)
{
    const std::optional<int> Z = xray::parseElement(text);
    if (!Z)
        throw UsageError("unknown element " + cli::quoted(text) + " (give a symbol such as Fe, or an atomic number)");
    return *Z;
}

std::string elementTitle(int Z)
{
    // Names are common nouns: "iron".
    std::string name(xray::elementName(Z));
    if (!name.empty())
        name[0] = char(std::tolower(static_cast<unsigned char>(name[0])));
    return format("%s (%s, Z = %d)", std::string(xray::elementSymbol(Z)).c_str(), name.c_str(), Z);
}

std::string keV(double energy_eV)
{
    std::string text = format("%.4f", energy_eV / 1000.0);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

std::string eV(double energy_eV)
{
    std::string text = format("%.2f", energy_eV);
    if (text.back() == '0')
        text.pop_back();
    return text;
}

double rounded(double x, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double r = std::round(x * scale) / scale;
    return r == 0 ? 0.0 : r; // never -0
}

double significant(double x, int digits)
{
    if (x == 0 || !std::isfinite(x))
        return x;
    const int magnitude = int(std::floor(std::log10(std::abs(x))));
    return rounded(x, digits - 1 - magnitude);
}

namespace {

// Where the table has no value it holds 0.
Json valueOrNull(double value) { return value != 0 ? Json(value) : Json(nullptr); }

} // namespace

Json edgesJson(int Z)
{
    Json edges = Json::array();
    for (const xray::Edge &edge : xray::edgesOf(Z)) {
        Json e = Json::object();
        e["shell"] = xray::shellName(edge.shell);
        e["energy_eV"] = edge.energy_eV;
        e["fluorescence_yield"] = valueOrNull(edge.fluorescenceYield);
        e["jump_ratio"] = valueOrNull(edge.jumpRatio);
        edges.push_back(std::move(e));
    }
    return edges;
}

void printEdges(std::ostream &out, int Z)
{
    const auto edges = xray::edgesOf(Z);
    if (edges.empty()) {
        out << "No absorption edges in the table for " << xray::elementSymbol(Z)
            << " (edges are listed for H to Cf).\n";
        return;
    }
    out << "Absorption edges   energy eV       keV   fluorescence yield   jump ratio\n";
    for (const xray::Edge &edge : edges) {
        const std::string yield = edge.fluorescenceYield != 0 ? format("%.4g", edge.fluorescenceYield) : "-";
        const std::string jump = edge.jumpRatio != 0 ? format("%.4g", edge.jumpRatio) : "-";
        out << format("  %-16s %9s %9s   %18s   %10s\n", std::string(xray::shellName(edge.shell)).c_str(),
                      eV(edge.energy_eV).c_str(), format("%.4f", edge.energy_eV / 1000).c_str(), yield.c_str(), jump.c_str());
    }
}

} // namespace cli
