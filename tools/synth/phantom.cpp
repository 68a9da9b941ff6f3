#include "phantom.h"

#include "random.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace synth {

const std::vector<Phase> &Phantom::phases()
{
    static const std::vector<Phase> list = {
        {"carbon matrix", {{6, 1.0}}},
        {"TiO2", {{22, 0.60}, {8, 0.40}}},
        {"V2O5", {{23, 0.56}, {8, 0.44}}},
        {"SiO2", {{14, 0.47}, {8, 0.53}}},
        {"W", {{74, 1.0}}},
    };
    return list;
}

Phantom::Phantom(const PhantomRecipe &recipe) : recipe_(recipe)
{
    for (const Phase &phase : phases()) {
        Recipe r;
        r.title = phase.name;
        r.sample = phase.sample;
        r.beam_kV = recipe.beam_kV;
        r.detector = recipe.detector;
        r.channels = recipe.channels;
        r.gain_eV = recipe.gain_eV;
        r.offset_eV = recipe.offset_eV;
        r.counts = recipe.countsPerPixel;
        r.seed = recipe.seed;
        std::vector<double> expected = generate(r).expected;
        // A pixel's expected counts: the recipe's, the noise peak included.
        const double total = std::accumulate(expected.begin(), expected.end(), 0.0);
        for (double &e : expected)
            e *= recipe.countsPerPixel / total;
        std::vector<double> cumulative(expected.size());
        double sum = 0;
        for (std::size_t c = 0; c < expected.size(); ++c) {
            sum += expected[c];
            cumulative[c] = sum / recipe.countsPerPixel;
        }
        cumulative.back() = 1.0;
        expected_.push_back(std::move(expected));
        cumulative_.push_back(std::move(cumulative));
    }
}

std::size_t Phantom::phaseAt(std::size_t x, std::size_t y) const
{
    const double w = double(recipe_.width), h = double(recipe_.height);
    const double radius = 0.18 * std::min(w, h);
    const double px = double(x) + 0.5, py = double(y) + 0.5;
    for (std::size_t disc = 0; disc < 4; ++disc) {
        const double cx = (disc % 2 == 0 ? 0.25 : 0.75) * w;
        const double cy = (disc < 2 ? 0.25 : 0.75) * h;
        if ((px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius)
            return disc + 1;
    }
    return 0;
}

void Phantom::row(std::size_t y, std::span<std::uint32_t> out) const
{
    const std::size_t channels = recipe_.channels;
    std::fill(out.begin(), out.end(), 0u);
    // A generator of its own for each row, seeded from the recipe's seed and
    // the row.
    Random random(recipe_.seed * 0x9E3779B97F4A7C15ull + y * 0xD1B54A32D192ED03ull + 1);
    for (std::size_t x = 0; x < recipe_.width; ++x) {
        const std::vector<double> &cumulative = cumulative_[phaseAt(x, y)];
        std::uint32_t *pixel = out.data() + x * channels;
        // Poisson counts in every channel: a Poisson total shared out by
        // the spectrum's shape.
        const auto total = std::size_t(random.poisson(recipe_.countsPerPixel));
        for (std::size_t k = 0; k < total; ++k) {
            const double u = random.uniform();
            const std::size_t c = std::size_t(std::upper_bound(cumulative.begin(), cumulative.end(), u) - cumulative.begin());
            ++pixel[std::min(c, channels - 1)];
        }
    }
}

} // namespace synth
