#include "hardcases.h"

#include "xray/elements.h"

namespace synth {

namespace {

// A sample written as "Pb:86.6,S:13.4" in wt %.
std::vector<Constituent> sample(std::initializer_list<std::pair<const char *, double>> parts)
{
    std::vector<Constituent> out;
    for (const auto &[symbol, percent] : parts)
        out.push_back({xray::parseElement(symbol).value_or(0), percent / 100});
    return out;
}

HardCase eds(std::string name, std::string question, std::vector<Constituent> parts, double kV,
             std::uint64_t seed)
{
    HardCase c{std::move(name), std::move(question), {}};
    c.recipe.title = c.name;
    c.recipe.sample = std::move(parts);
    c.recipe.beam_kV = kV;
    c.recipe.seed = seed;
    return c;
}

} // namespace

std::vector<HardCase> hardCases()
{
    std::vector<HardCase> cases;
    const auto add = [&](HardCase c) { cases.push_back(std::move(c)); };

    // S Ka 2.308, Mo La 2.293, Pb Ma 2.346 keV: told apart by partner lines.
    add(eds("pbs-20kv", "PbS: Pb Ma beside S Ka, Pb told by its L lines", sample({{"Pb", 86.6}, {"S", 13.4}}), 20, 101));
    add(eds("mos2-20kv", "MoS2 at 20 kV: Mo La beside S Ka, no Mo K lines", sample({{"Mo", 59.9}, {"S", 40.1}}), 20, 102));
    add(eds("s-mo-pb-25kv", "S, Mo and Pb together at 2.3 keV", sample({{"Pb", 40}, {"Mo", 30}, {"S", 30}}), 25, 103));
    add(eds("mo-25kv", "pure Mo: its L lines are not S", sample({{"Mo", 100}}), 25, 104));
    add(eds("pb-20kv", "pure Pb: its M lines are not S or Mo", sample({{"Pb", 100}}), 20, 105));
    add(eds("fes2-20kv", "pyrite: S Ka is not Mo or Pb", sample({{"Fe", 46.5}, {"S", 53.5}}), 20, 106));
    // Ba L / Ti K.
    add(eds("batio3-20kv", "BaTiO3: Ba L lines among Ti K lines", sample({{"Ba", 58.9}, {"Ti", 20.5}, {"O", 20.6}}), 20, 111));
    add(eds("ti-20kv", "pure Ti: its K lines are not Ba", sample({{"Ti", 100}}), 20, 112));
    // W Ma / Si Ka, Ta Ma / Si Ka, Sr La / Si Ka, Y La / P Ka, Al Ka / Br La.
    add(eds("wsi2-20kv", "WSi2: W Ma beside Si Ka", sample({{"W", 76.6}, {"Si", 23.4}}), 20, 121));
    add(eds("w-20kv", "pure W: W Ma is not Si", sample({{"W", 100}}), 20, 122));
    add(eds("tasi2-20kv", "TaSi2: Ta Ma beside Si Ka", sample({{"Ta", 76.3}, {"Si", 23.7}}), 20, 123));
    add(eds("srsio3-20kv", "SrSiO3: Sr La beside Si Ka", sample({{"Sr", 53.5}, {"Si", 17.2}, {"O", 29.3}}), 20, 124));
    add(eds("ypo4-20kv", "YPO4: Y La beside P Ka", sample({{"Y", 48.3}, {"P", 16.8}, {"O", 34.8}}), 20, 125));
    add(eds("albr3-20kv", "AlBr3: Al Ka under Br La", sample({{"Al", 10.1}, {"Br", 89.9}}), 20, 126));
    // As Ka 10.544 / Pb La 10.551 keV.
    add(eds("as-pb-25kv", "As in Pb: As Ka under Pb La", sample({{"Pb", 85}, {"As", 15}}), 25, 131));
    // Kb of one element on Ka of the next.
    add(eds("cr-mn-20kv", "Mn Ka under Cr Kb", sample({{"Cr", 90}, {"Mn", 10}}), 20, 141));
    add(eds("cr-20kv", "pure Cr: Cr Kb is not Mn", sample({{"Cr", 100}}), 20, 142));
    add(eds("fe-co-20kv", "Co Ka under Fe Kb", sample({{"Fe", 90}, {"Co", 10}}), 20, 143));
    add(eds("fe-20kv", "pure Fe: Fe Kb is not Co", sample({{"Fe", 100}}), 20, 144));
    // Artefacts.
    {
        HardCase c = eds("cu-escape-20kv", "pure Cu, many counts: its Si escape at 6.31 keV is not Fe",
                         sample({{"Cu", 100}}), 20, 151);
        c.recipe.counts = 3e7;
        add(c);
    }
    {
        HardCase c = eds("mo-ge-30kv", "pure Mo on a Ge detector: Ge escapes of Mo K at 7.59 and 6.50 keV",
                         sample({{"Mo", 100}}), 30, 152);
        c.recipe.detector = DetectorModel::typical(xray::Material::Ge);
        c.recipe.counts = 3e6;
        add(c);
    }
    {
        HardCase c = eds("ti-sum-20kv", "pure Ti at a high rate: 2 x Ti Ka at 9.02 keV is not Cu",
                         sample({{"Ti", 100}}), 20, 153);
        c.recipe.counts = 1e7;
        c.recipe.pileUp = 0.01;
        add(c);
    }
    // Traces beside major elements.
    add(eds("fe-cr1-20kv", "1 wt % Cr in Fe", sample({{"Fe", 99}, {"Cr", 1}}), 20, 161));
    add(eds("cu-pb2-20kv", "2 wt % Pb in Cu", sample({{"Cu", 98}, {"Pb", 2}}), 20, 162));
    // 5 kV: L and M lines only.
    add(eds("brass-5kv", "brass at 5 kV: Cu and Zn by their L lines", sample({{"Cu", 70}, {"Zn", 30}}), 5, 171));
    add(eds("feni-5kv", "Fe-Ni at 5 kV: L lines only", sample({{"Fe", 50}, {"Ni", 50}}), 5, 172));
    add(eds("pbsn-5kv", "solder at 5 kV: Pb M, Sn L and M lines", sample({{"Pb", 60}, {"Sn", 40}}), 5, 173));
    add(eds("w-5kv", "pure W at 5 kV: W M lines alone", sample({{"W", 100}}), 5, 174));
    // X-ray fluorescence with a rhodium tube: its scattered lines are in the spectrum.
    {
        HardCase c = eds("brass-xrf-40kv", "brass by XRF, Rh tube: Rh lines scattered, Compton peaks",
                         sample({{"Cu", 70}, {"Zn", 30}}), 40, 181);
        c.recipe.excitation = Excitation::Tube;
        c.recipe.detector = DetectorModel::typical(xray::Material::Si, 145);
        add(c);
    }
    {
        HardCase c = eds("steel-xrf-40kv", "stainless steel by XRF, Rh tube",
                         sample({{"Fe", 70}, {"Cr", 18}, {"Ni", 10}, {"Mn", 2}}), 40, 182);
        c.recipe.excitation = Excitation::Tube;
        c.recipe.detector = DetectorModel::typical(xray::Material::Si, 145);
        add(c);
    }
    {
        HardCase c = eds("mo-xrf-ge-50kv", "Mo by XRF on a Ge detector, Rh tube: escapes and scatter",
                         sample({{"Mo", 100}}), 50, 183);
        c.recipe.excitation = Excitation::Tube;
        c.recipe.detector = DetectorModel::typical(xray::Material::Ge);
        add(c);
    }
    return cases;
}

const HardCase *findHardCase(const std::vector<HardCase> &cases, const std::string &name)
{
    for (const HardCase &c : cases)
        if (c.name == name)
            return &c;
    return nullptr;
}

} // namespace synth
