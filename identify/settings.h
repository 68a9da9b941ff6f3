// The settings of automatic identification: every number the method was
// tuned with, in one place, each with its reason. Each is a choice of this
// method, not a constant of nature; docs/identification.md ("The tuned
// constants") gives them as a table.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace identify {

// ------------------------------------------------------------ peak search

// A peak is reported where the filtered spectrum has a maximum at least
// this many standard deviations above zero. Why not 3: a spectrum of 20 keV
// holds some 150 resolution elements, and the filtered noise has a maximum
// every few channels, each a chance for the noise to pass the threshold;
// the maxima of correlated noise also reach further than single values. On
// flat Poisson spectra of 2048 channels (0.5 to 500 counts a channel, 200
// seeds each) a noise peak passed 4 sigma in 3 to 4.5 % of the spectra,
// 4.5 sigma in 1 to 1.5 %, 5 sigma in none of 800; at 3 sigma most spectra
// would show one. A line of a few hundred counts on an ordinary continuum
// still passes 5 sigma.
inline constexpr double PeakThreshold = 5.0;

// ----------------------------------------------------------- resolution

// The best pattern must fit a peak to chi-square per degree of freedom at
// most this (1 for a perfect fit; real peaks' tails add a few) for the peak
// to say what the detector's FWHM is.
inline constexpr double MaxReducedChiSquare = 10;

// The starting estimate fits each strong peak with the line finder's best
// EstimateCandidates candidates, each free to move by EstimateShift of a
// FWHM (calibrations are off by a few eV before they are refined: 4 to
// 8 eV at 1 to 6 keV on the measured spectra of bench/measured, well
// within a tenth of a FWHM).
inline constexpr std::size_t EstimateCandidates = 5;
inline constexpr double EstimateShift = 0.1;

// ------------------------------------------------- the detector's response

// Incomplete charge collection: the share of a peak's counts in its tail at
// Mn K-alpha before the spectrum's own peaks measure it, and how it grows
// with the detector's attenuation (photons absorbed nearer the entrance
// lose more charge). Fitted with the tail free on the measured spectra:
// Mn K-alpha 0.6 to 1.1 % (Oxford SDD, nine spectra), Cu K-alpha 0.7 to
// 1.8 %, Fe 1.3 to 1.6 %, Ti 2.8 % and Ca 4 to 5.5 % (Bruker SDD); the
// Bruker peaks give a power of 0.77 to 0.82 of the attenuation.
inline constexpr double UsualTail = 0.01;
inline constexpr double UsualTailPower = 0.7;
// The tail's decay length in Gaussian sigmas (1.3 to 2.3 on the same
// peaks), and the flat shelf beneath it as a share of the tail.
inline constexpr double TailSlope = 1.5;
inline constexpr double ShelfPerTail = 0.1;
// No tail takes more than this share of a peak (the soft lines' reach tens
// of per cent on some detectors).
inline constexpr double MaxTail = 0.5;
// Lines of a column weaker than this share of its strongest are drawn
// without their tail (a share of a share).
inline constexpr double MinTailedShare = 0.1;
// A peak measures the calibration and the resolution when it holds at
// least MinRefineCounts counts, and its tail when it holds MinTailCounts (a
// tail of 1 % must stand out of the noise of the Gaussian's foot); at most
// MaxRefineGroups peaks of the model share its window; a fit worse than
// MaxRefineReducedChiSquare per degree of freedom measures something else
// (a line nobody named).
inline constexpr double MinRefineCounts = 2000;
inline constexpr double MinTailCounts = 20000;
inline constexpr std::size_t MaxRefineGroups = 6;
inline constexpr double MaxRefineReducedChiSquare = 25;
// The starting resolution is already the spectrum's own (or the file's): a
// peak that needs a FWHM more than MaxWidthChange away from it is a blend of
// lines (S K-alpha under Mo L-alpha) or not what it was named, and measures
// nothing. The refined FWHM of the measured spectra of bench/measured lies
// within 5 % of the starting one.
inline constexpr double MaxWidthChange = 0.15;
// The search runs again with the response measured only where it moves a
// line by more than this share of a FWHM, the FWHM by this share, or a
// tail by a tenth of it: less changes no decision, and the second search
// costs as much as the first.
inline constexpr double ResponseMoves = 0.05;
// A fit of a group of peaks (peakfit.h) renders its lines over its window
// some tens of times: FitTrials, for bounding its work before it starts.
inline constexpr double FitTrials = 50;
// The fits of peaks (the resolution, the response, the scattered tube
// lines) may each take this many times the search's work bound: on the
// measured spectra they take a few times what the search does.
inline constexpr double FitWorkShare = 5;
// Positions are known no better than PositionFloor_eV (chemical shifts,
// and compilations that differ by that much); a peak may move by up to
// RefineShift of a FWHM, and by at least MinRefineShift_eV.
inline constexpr double PositionFloor_eV = 1.0;
inline constexpr double RefineShift = 0.3;
inline constexpr double MinRefineShift_eV = 25;
// Below 1 keV the light elements' peaks stray from the calibration above it
// (C K-alpha 5 to 27 eV low on the Oxford detectors of bench/measured, O
// K-alpha 4 eV low): each keeps its own shift, up to MaxLowShift_eV, when
// it differs from the calibration's by more than three standard deviations.
inline constexpr double MaxLowShift_eV = 25;
// A quadratic term of the calibration is kept when peaks over at least
// QuadraticSpan_eV lower chi-square by QuadraticChiSquare (three standard
// deviations); a gain needs peaks GainSpan_eV apart.
inline constexpr double QuadraticSpan_eV = 3000;
// What calibrations are off by, before the peaks say more: an offset of
// CalibrationOffsetSpread_eV, a gain of CalibrationGainSpread_eV per keV and a
// quadratic term of CalibrationQuadraticSpread_eV per keV squared (the
// measured spectra of bench/measured are off by 2 to 8 eV at 1 to 8 keV);
// a peak whose position strays from a straight calibration through the
// others by more than MaxShiftResidual standard deviations measures a blend.
inline constexpr double CalibrationOffsetSpread_eV = 10;
inline constexpr double CalibrationGainSpread_eV = 3;
inline constexpr double CalibrationQuadraticSpread_eV = 0.5;
inline constexpr double MaxShiftResidual = 4;
// ... and a calibration off by more than MaxCalibrationShift_eV plus
// MaxCalibrationShift of the energy anywhere the peaks lie is no
// calibration error but peaks named wrongly or blended.
inline constexpr double MaxCalibrationShift_eV = 15;
inline constexpr double MaxCalibrationShift = 0.003;
inline constexpr double QuadraticChiSquare = 9;
inline constexpr double GainSpan_eV = 1000;


// The detector's internal fluorescence: Si K lines from its dead layer and
// Al K lines from its contact or window coating, excited by the photons
// above their K edges that it then counts. Goldstein et al. (Scanning
// Electron Microscopy and X-Ray Microanalysis, 4th ed., 2018) put the
// silicon peak at an apparent few tenths of a per cent of silicon; on the
// pure Mn and Cu spectra of bench/measured the Al and Si peaks hold 0.04 to
// 0.07 % of the photons above their edges. At most this share.
inline constexpr double MaxInternalFluorescence = 0.005;

// Under X-rays the tube's lines are scattered by the sample: without
// --tube, rhodium's, the commonest anode of X-ray fluorescence tubes (a
// tube of another anode leaves the columns empty). The Compton peaks land
// where ScatterAngle_deg puts them (detectors sit near 90 degrees from the
// tube), moved by up to half their width to where the spectrum shows them,
// broadened by the detector and by the Doppler effect of the sample's bound
// electrons, ComptonBroadening of the energy (0.6 to 0.9 keV at the 19 keV
// Compton peak of Rh K-alpha on tin and steel).
inline constexpr int UsualTube = 45;
inline constexpr double ScatterAngle_deg = 90;
inline constexpr double ComptonBroadening = 0.03;

// ------------------------------------------------------ element patterns

// Lines weaker than this within their family (after the excitation model)
// are left out of an element's pattern: too weak to matter, and they slow
// the fit. A family of a million counts still shows lines of a thousand.
inline constexpr double MinRelative = 0.001;
// Lines below this energy are not looked for: the noise peak is there.
inline constexpr double MinLineEnergy_eV = 150;
// The lines of one subshell keep the table's ratios exactly; the subshells
// of a family may differ from the model by this factor either way (the
// relative intensities are for photons at twice the deepest edge; under
// electrons and near an edge the subshells' shares change).
inline constexpr double SubshellTolerance = 1.6;
// A peak (lines closer than half a FWHM) expected to give less than this
// share of its subshell's strongest peak keeps the table's ratio to it.
inline constexpr double MinPeakShare = 0.01;
// A subshell expected to give less than this share of its family joins the
// family's main subshell.
inline constexpr double MinSubshellShare = 0.1;
// Absorption in the sample across an absorption edge: a line just above an
// edge of an element of the sample is absorbed far more than one just below
// it, by the element itself (W Mg above the M5 and M4 edges against W Ma
// below them) or by another (Pb Mg and Mo Lg above the S K edge in PbS and
// MoS2; Zn La above the Cu L edges in brass). Where that element is the
// bulk of the sample, the ratio of the two lines falls short of the
// excitation model's by the difference; where it is dilute, it does not.
// The ties between an element's peaks allow either: the ratio in a bulk
// sample of the element alone (xray/bulkabsorption.h), seen at an ordinary
// take-off angle; and once the element is accepted, the same for each other
// element fitted with it. A candidate is judged by its own absorption only:
// another element's edge must not let it be named from its weak lines
// below the edge while its strong ones above are missing.
inline constexpr double TakeOff_deg = 35;
// The families of one element may differ from the excitation model by this
// factor either way, and more where absorption and the detector's window
// weaken the lower family (see absorptionTolerance, overvoltageTolerance).
inline constexpr double FamilyTolerance = 3;

// How far two peaks of one subshell's lines may stray from the table's
// ratio: the detector's efficiency and absorption in the sample change with
// energy, by about the energy ratio to the power 1.5, and much more below
// 2 keV, where window edges and soft-X-ray absorption lie between lines.
inline double peakTolerance(double a_eV, double b_eV)
{
    const double low = std::min(a_eV, b_eV), high = std::max(a_eV, b_eV);
    return std::max(1.25, std::pow(high / low, 1.5)) * std::max(1.0, std::pow(2000.0 / low, 1.5));
}

// Absorption in the sample and the detector's window weaken soft lines
// more than any model of the excitation knows: the lower family may fall
// short by (3 keV / E)^1.5 more below 3 keV.
inline double absorptionTolerance(double lowerEnergy_eV)
{
    return std::max(1.0, std::pow(3000.0 / lowerEnergy_eV, 1.5));
}

// Near its edge a family's yield changes fast with the beam energy and
// the model is least sure: below an overvoltage of 1.5, by 0.5 / (U - 1).
inline double overvoltageTolerance(double overvoltage)
{
    return overvoltage > 1 ? std::max(1.0, 0.5 / (overvoltage - 1)) : 1.0;
}

// ------------------------------------------------------------- the noise

// The model is never exact: a residual counts against a noise of
// sqrt(Poisson + (systematicShare(E) x spread)^2 + ...), where `spread` is
// what the model's peaks put through the filter's windows with its weights
// taken as positive (TopHat::spread): how far an error of one sign in their
// shape or position could move the filtered value. The share was measured on
// the 52 measured spectra of bench/measured, fitted with the response
// refined and no systematic part, over the bins where the spread is 5 and
// 20 times the Poisson noise: the share that brings 95 % of the residuals
// within 1.96 noises is 2.3 % above 3 keV, 7.7 to 12 % from 1 to 3 keV and
// 6 to 18 % below 1 keV (the median residuals need 0.7, 1.5 to 2.4 and 4 to
// 5 %). So 2 % and up to 8 % more towards 1 keV and below, where the
// detector's window, absorption in the sample and incomplete charge
// collection change peaks most.
inline double systematicShare(double energy_eV)
{
    const double k = 1000.0 / std::max(energy_eV, 100.0);
    return 0.02 + 0.06 * std::min(1.0, k * k);
}

// Nor is the continuum, which the filter takes away only where it is
// straight: below a few keV the window's absorption edges and its rising
// transmission bend it within a FWHM. A residual counts against another
// continuumError(E) x the clipped continuum: 10 % at 1 keV and below,
// falling as 1/E^2 above.
inline double continuumError(double energy_eV)
{
    return 0.1 * std::min(1.0, (1000.0 / energy_eV) * (1000.0 / energy_eV));
}

// The continuum's step at an edge may be up to this many times the
// continuum there as clipped (which undercuts a steep edge by up to about
// that much), no more: a step cannot take up a peak.
inline constexpr double StepCap = 3;

// ------------------------------------------------------------ candidates

// Elements that ordinary samples do not hold are proposed only when the
// user allows them (IdentifyOptions::allow): see rareElement (identify.h).

// Candidates lie within this many FWHM of the peak...
inline constexpr double CandidateTolerance = 0.75;
// ... with a line there of at least this relative intensity within its
// family: a peak that only an element's weaker lines could make comes with
// that element's stronger ones, which show first.
inline constexpr double MinCandidateRelative = 0.02;
// ... at most this many, the finder's best first (the measured spectra's
// elements are all among their peaks' first eight).
inline constexpr std::size_t MaxCandidates = 8;
// Of the candidates that pass the quick test against the residual, this
// many of the best are fitted again with everything else free.
inline constexpr std::size_t JointRefits = 3;
// Of those, candidates whose gain within a FWHM of the peak lies within
// LocalTie of the best one's explain it equally well: the one with fewer
// columns is taken, the simpler explanation, not the one whose other lines
// take up scraps of residual elsewhere (Ce M lines and L lines under Ba's
// rather than F K-alpha in BaF2).
inline constexpr double LocalTie = 0.1;

// -------------------------------------------------------------- decisions

// A new element must lower chi-square by at least this (five standard
// deviations), and by PerAmplitudeChiSquare more for each amplitude it
// brings; an element stays after pruning on the same terms.
inline constexpr double AcceptChiSquare = 25;
inline constexpr double PerAmplitudeChiSquare = 2.0;
// An element whose lines lie on one of the steps the continuum takes at the
// absorption edges of the detector's window (C Ka below the C edge of a
// polymer window) is confounded with that step: it must lower chi-square by
// this much (twenty standard deviations).
inline constexpr double OnWindowEdgeChiSquare = 400;
// ... and explain at least this share of the peak it was proposed for.
inline constexpr double ExplainShare = 0.5;
// A partner line predicted at this many standard deviations or more is
// strong; it is missing when the spectrum shows less than MissingShare of
// it, by more than MissingSignificance standard deviations.
inline constexpr double StrongPartner = 5;
inline constexpr double MissingShare = 0.5;
inline constexpr double MissingSignificance = 3;
// Low-energy lines are weak evidence of an element that also has harder
// lines: absorption in the sample and the detector's window change their
// size by orders of magnitude (below 1 keV; by a factor of a few up to
// 3.5 keV, where the M lines of heavy elements and the L lines of the
// middle ones crowd together), and the window's absorption edges put steps
// into the continuum. An element proposed for a peak below such a limit must
// show its strongest line of another family above it too, where the beam
// excites that line's shell with at least the overvoltage given (more than
// just above the edge, where the line may be too weak to see), by
// SeenSignificance standard deviations.
struct EvidenceRule {
    double below_eV;
    double overvoltage;
};
inline constexpr EvidenceRule EvidenceRules[] = {{1000, 1.2}, {3500, 2.0}};
inline constexpr double SeenSignificance = 3;
// Every family of a candidate that the beam excites with an overvoltage of
// MinFamilyOvervoltage or more, where the excitation model's ratios hold
// within FamilyTolerance, and that lies above MinFamilyCheck_eV (below it
// absorption in the sample and the window can take nearly all of it: Ca L
// at 0.3 keV beside Ca K in calcium fluoride) must show, at the least the
// model allows beside the peak it was proposed for: no Br L-alpha without
// Br K-alpha at 25 kV (at 20 kV the overvoltage of Br's K shell is 1.48).
inline constexpr double MinFamilyOvervoltage = 1.5;
inline constexpr double MinFamilyCheck_eV = 1000;
// The simpler explanation: a peak's shadow reaches ShadowBelow FWHM below
// it and ShadowAbove above, where its tail and shoulders lie, and holds
// what the model of it may miss: Shadow of its counts above 1 keV (the
// tails measured on bench/measured are 1 to 5 %), SoftShadow below
// (tails of tens of per cent), ArtefactShadow of an escape, sum or the
// detector's own lines (known to tens of per cent). An element all of
// whose peaks lie in the shadow of stronger ones, holding less than that,
// is dropped; one without a peak of its own (OwnShare of the counts the
// model puts there) is at most possible.
inline constexpr double ShadowBelow = 3;
inline constexpr double ShadowAbove = 1;
inline constexpr double Shadow = 0.05;
inline constexpr double SoftShadow = 0.15;
inline constexpr double ArtefactShadow = 0.5;
inline constexpr double OwnShare = 0.5;
// An element's peaks weaker than this share of its strongest are not
// weighed for the shadow: they say nothing either way.
inline constexpr double ShadowWeakPeak = 0.02;

// ------------------------------------------------------------- sum peaks

// Sum peaks are no new element, and the elements found make them whenever
// the count rate is high: one amplitude, fixed by the elements' own lines,
// predicts them all. Three standard deviations are enough.
inline constexpr double AcceptSums = 9;
// Sum peaks: at most this share of the counted events may be two photons.
inline constexpr double MaxPileUp = 0.05;
// Pairs of lines of this share of the strongest and more: a sum of weaker
// ones is ten thousand times weaker than the strongest sum.
inline constexpr double MinSumLineShare = 1e-2;
// Three photons in one pulse (Si K-alpha three times at 5.22 keV in pure Si
// at 20 kV): about the share squared; lines of MinTripleLineShare of the
// strongest and more.
inline constexpr double MinTripleLineShare = 0.1;

// ---------------------------------------------------------------- bounds

// At most this many elements, and this many peaks taken in turn (a real
// spectrum needs a fraction of either).
inline constexpr std::size_t MaxElements = 16;
inline constexpr int MaxRounds = 60;
// ... and at most this much fitting (Model::work, in multiply-adds), the
// default of IdentifyOptions::maxWork: six times what the hardest of the
// synthetic spectra takes, 6.4e6 (and twice it for pruning), and half as
// much again as a measured XRF spectrum of stainless steel with eleven
// elements, three million counts in Fe Ka and six sum peaks needs (2e7 to
// 3e7). Random spectra reach it; real ones should not. The fuzz target
// gives far less.
inline constexpr double MaxWork = 4e7;
// The bound in force: IdentifyOptions::maxWork, none (0) when it is not a
// number above 0.
inline double workBound(double maxWork) { return maxWork > 0 ? maxWork : 0.0; }

// ---------------------------------------------------------------- report

// Confidence: certain with a significance of CertainSignificance or more
// and ConfirmingPeaks peaks of its own (or its one peak taken without a
// rival); probable with CertainSignificance or more, or
// ProbableSignificance and ConfirmingPeaks peaks; else possible. One peak
// can be a coincidence of energies; two at the energies of one element's
// lines rarely are.
inline constexpr double CertainSignificance = 10;
inline constexpr double ProbableSignificance = 6;
inline constexpr int ConfirmingPeaks = 2;
// A required element whose removal costs less than this many standard
// deviations is reported as not seen.
inline constexpr double RequiredSeenSignificance = 3;
// A peak is given to the group of lines (K-alpha1 and 2, L-beta1, 2,
// 3...) that puts the most counts there, named by its strongest lines of
// those that put at least GroupLeadShare as much there as any of the
// group; lines of other elements that make up SeenShare of the peak or
// more are seen too.
inline constexpr double GroupLeadShare = 0.5;
inline constexpr double SeenShare = 0.3;
// What a reason names: an accepted element's other peaks of at least
// PartnerShare of the counts of its peak at the target, at most
// MaxPartnersNamed of them, and at most MaxRivalsNamed rivals; a peak no
// element explains, at most MaxTriedNamed of the candidates refused.
inline constexpr double PartnerShare = 0.05;
inline constexpr std::size_t MaxPartnersNamed = 3;
inline constexpr std::size_t MaxRivalsNamed = 3;
inline constexpr std::size_t MaxTriedNamed = 4;

} // namespace identify
