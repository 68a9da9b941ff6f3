#include "spectrum.h"

namespace spectrum {

std::string_view formatName(Format format)
{
    switch (format) {
    case Format::Emsa: return "emsa";
    case Format::Spx: return "spx";
    case Format::Text: return "text";
    case Format::Counts: return "counts";
    }
    return "counts";
}

std::string_view formatTitle(Format format)
{
    switch (format) {
    case Format::Emsa: return "EMSA/MSA";
    case Format::Spx: return "Bruker spx";
    case Format::Text: return "text (energy, counts)";
    case Format::Counts: return "counts";
    }
    return "counts";
}

double Spectrum::totalCounts() const
{
    double total = 0.0;
    for (double c : counts)
        total += c;
    return total;
}

std::optional<double> Spectrum::energy_eV(double channel) const
{
    if (!calibration)
        return std::nullopt;
    return calibration->energy_eV(channel);
}

} // namespace spectrum

