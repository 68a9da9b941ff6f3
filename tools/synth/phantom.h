// Synthetic spectrum images with known phases: a matrix with four discs of
// other compositions, every pixel a Poisson draw from its phase's
// spectrum (synth.h). Two pairs of phases overlap on purpose: Ti Kβ
// (4.93 keV) lies on V Kα (4.95 keV), and Si Kα (1.74 keV) on W Mα
// (1.77 keV), so an element map must tell each pair apart.
//
// Phases, by mass: 0 the matrix, carbon; 1 TiO2 (Ti 60 %, O 40 %), top
// left; 2 V2O5 (V 56 %, O 44 %), top right; 3 SiO2 (Si 47 %, O 53 %), bottom
// left; 4 W, bottom right. Each disc has a radius of 0.18 of the image's
// shorter side, centred in its quarter.
#pragma once

#include "detectormodel.h"
#include "synth.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace synth {

struct PhantomRecipe {
    std::size_t width = 64, height = 48, channels = 2048;
    double gain_eV = 10, offset_eV = -475;
    double beam_kV = 20;
    double countsPerPixel = 400; // expected counts of a pixel
    std::uint64_t seed = 1;
    DetectorModel detector = DetectorModel::typical(xray::Material::Si);
};

struct Phase {
    std::string name;
    std::vector<Constituent> sample;
};

class Phantom {
public:
    explicit Phantom(const PhantomRecipe &recipe);

    const PhantomRecipe &recipe() const { return recipe_; }
    static const std::vector<Phase> &phases();
    // The phase of pixel x, y.
    std::size_t phaseAt(std::size_t x, std::size_t y) const;
    // A pixel's noise-free counts per channel in each phase.
    const std::vector<double> &expected(std::size_t phase) const { return expected_[phase]; }

    // Row y's counts (width × channels, each pixel's channels together):
    // each pixel a Poisson draw of its phase's spectrum. The same recipe and
    // row always give the same counts, so rows can be made in any order.
    void row(std::size_t y, std::span<std::uint32_t> out) const;

private:
    PhantomRecipe recipe_;
    std::vector<std::vector<double>> expected_;
    std::vector<std::vector<double>> cumulative_; // per phase, normalised to 1
};

} // namespace synth
