#include "detector.h"

#include "elements.h"
#include "textutil.h"
#include "interpolation.h"
#include "generated/tables.h"

#include <algorithm>
#include <cmath>

namespace xray {

namespace {

const table::MaterialEntry &entry(Material material)
{
    return table::materials[static_cast<int>(material)];
}

// Element `element`'s mass attenuation at E.
double elementAttenuation(const table::MaterialElement &element, double energy_eV)
{
    return table::interpolateLogLog(element.attenuation, element.attenuationCount, energy_eV);
}

} // namespace

std::string_view materialKey(Material material) { return entry(material).key; }

std::string_view materialLabel(Material material) { return entry(material).label; }

std::optional<Material> parseMaterial(std::string_view text)
{
    text = trimmed(text);
    for (int i = 0; i < table::MaterialCount; ++i)
        if (equalsIgnoringCase(text, table::materials[i].key))
            return static_cast<Material>(i);
    return std::nullopt;
}

double defaultFwhm(Material material)
{
    // The resolutions of ordinary detectors of each kind, at Mn K-alpha.
    switch (material) {
    case Material::Si:
        return 129.0;
    case Material::Ge:
        return 145.0;
    case Material::CdTe:
        return 250.0;
    }
    return 129.0;
}

double mnKalpha_eV() { return table::MnKalpha_eV; }

std::string escapeLineLabel(const EscapeLine &line)
{
    std::string label(elementSymbol(line.Z));
    label += ' ';
    label += line.iupac();
    return label;
}

Detector::Detector(Material material) : Detector(material, defaultFwhm(material)) {}

Detector::Detector(Material material, double fwhmMnKa_eV)
    : material_(material),
      fwhmMnKa_(fwhmMnKa_eV),
      noiseSquared_(std::max(0.0, fwhmMnKa_eV * fwhmMnKa_eV - FanoTerm_eV * table::MnKalpha_eV))
{
    const std::span<const EscapeLine> lines = escapeLines();
    for (std::size_t i = 0; i < lines.size() && i < escapeAttenuation_.size(); ++i)
        escapeAttenuation_[i] = massAttenuation(lines[i].energy_eV);
}

std::span<const EscapeLine> Detector::escapeLines() const
{
    const table::MaterialEntry &m = entry(material_);
    return {table::escapeLines + m.firstEscape, std::size_t(m.escapeCount)};
}

Escapes Detector::escapes(double parent_eV) const
{
    Escapes result;
    for (const EscapeLine &line : escapeLines()) {
        if (parent_eV <= line.kEdge_eV || result.count == Escapes::MaxEscapes)
            continue;
        result.items[result.count++] = {&line, parent_eV - line.energy_eV,
                                        escapeFraction(line, parent_eV)};
    }
    return result;
}

double Detector::escapeFraction(const EscapeLine &line, double parent_eV) const
{
    if (!(parent_eV > line.kEdge_eV))
        return 0.0;
    // The material's attenuation at the parent, and the part of it due to
    // the line's element.
    const table::MaterialEntry &m = entry(material_);
    double muE = 0.0, muElement = 0.0;
    bool inMaterial = false;
    for (int i = m.firstElement; i < m.firstElement + m.elementCount; ++i) {
        const table::MaterialElement &element = table::materialElements[i];
        const double mu = element.massFraction * elementAttenuation(element, parent_eV);
        muE += mu;
        if (element.Z == line.Z) {
            muElement = mu;
            inMaterial = true;
        }
    }
    if (!inMaterial)
        return 0.0;
    const std::span<const EscapeLine> own = escapeLines();
    const std::ptrdiff_t index = &line - own.data();
    const double muEscape = index >= 0 && index < std::ptrdiff_t(own.size())
                                ? escapeAttenuation_[std::size_t(index)]
                                : massAttenuation(line.energy_eV);
    const double ratio = muEscape / muE;
    const double leaving = 1.0 - ratio * std::log1p(1.0 / ratio);
    return 0.5 * line.fluorescenceYield * (1.0 - 1.0 / line.jumpRatio) * line.share * (muElement / muE)
           * leaving;
}

double Detector::massAttenuation(double energy_eV) const
{
    const table::MaterialEntry &m = entry(material_);
    double mu = 0.0;
    for (int i = m.firstElement; i < m.firstElement + m.elementCount; ++i) {
        const table::MaterialElement &element = table::materialElements[i];
        mu += element.massFraction * elementAttenuation(element, energy_eV);
    }
    return mu;
}

} // namespace xray
