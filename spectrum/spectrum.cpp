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

std::string Error::message() const
{
    if (line == 0)
        return reason;
    return reason + " (line " + std::to_string(line) + ")";
}

} // namespace spectrum

#include "readsupport.h"

namespace spectrum {

void noteNegativeCounts(Spectrum &spectrum)
{
    std::size_t negative = 0;
    std::size_t first = 0;
    for (std::size_t i = spectrum.counts.size(); i-- > 0;)
        if (spectrum.counts[i] < 0.0) {
            ++negative;
            first = i;
        }
    if (negative == 0)
        return;
    spectrum.warnings.push_back(std::to_string(negative) + (negative == 1 ? " channel has" : " channels have") +
                                " negative counts, kept (the first is channel " + std::to_string(first) + ")");
}

} // namespace spectrum
