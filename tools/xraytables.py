"""The X-ray physics core's tables, for tools/make-data.

    write_tables(elements, xray_dir)

writes, under xray_dir (the source tree's xray/ by default):

    data/lines.tsv        every selected line of B..Cf with its relative
                          intensity within its family
    data/edges.tsv        K, L1-L3 and M1-M5 absorption edges of H..Cf
    data/attenuation.tsv  mass attenuation of the detector elements
    data/detectors.tsv    the detector elements' escaping K lines
    data/absorbers.tsv    mass attenuation of window, dead-layer and crystal
                          elements from 0.1 keV, for detector efficiencies
    data/photoionisation.tsv  photoionisation cross sections of the shells
                          that give lines, from their edges up to 100 keV
    data/atomicweights.tsv    atomic weights of B..Cf
    data/sampleattenuation.tsv  mass attenuation of B..Cf from 0.1 keV, for
                          absorption in the sample of synthetic spectra
    generated/*.cpp, .h   the same as constexpr C++ arrays

`elements` maps an atomic number to (symbol, English name), from BODR.
Everything else comes from xraylib; nothing here is typed by hand but the
Siegbahn names (a nomenclature, see SIEGBAHN) and the choices below.
The TSV files are for people to read and cite; the program compiles the
C++ and reads nothing at start-up. A test checks that the two agree.
"""

import csv
import math
import os
import re
from decimal import Decimal

import xraylib

FIRST_Z = 5     # boron: the lightest element with a K line in xraylib
LAST_Z = 98     # californium: the heaviest with radiative rates
EDGE_LAST_Z = 98

SHELLS = ["K", "L1", "L2", "L3", "M1", "M2", "M3", "M4", "M5"]
SHELL_MACRO = {name: getattr(xraylib, name + "_SHELL") for name in SHELLS}
FAMILIES = ["K", "L", "M"]

# A transition is kept when its radiative rate is at least this share of
# the sum of its initial shell's radiative rates.
MIN_RATE_SHARE = Decimal("0.001")

# Relative intensities come from xraylib's XRF cross sections with cascades
# (CS_FluorLine_Kissel_Cascade) for photons of OVERVOLTAGE times the family's
# deepest edge: K for the K lines, L1 for the L lines, M1 for the M lines.
# That excites every subshell of the family, so subshell ionisation,
# fluorescence yields and Coster-Kronig transfers within the family count,
# and stays below the next deeper edge for every element (checked below), so
# no vacancy cascades down from a deeper shell.
OVERVOLTAGE = 2
DEEPEST_EDGE = {"K": "K", "L": "L1", "M": "M1"}
NEXT_DEEPER_EDGE = {"K": None, "L": "K", "M": "L3"}

RELATIVE_DIGITS = 4

# xraylib has the M5 radiative rates of Cd..La (M5N3, the Mz1 line, and
# M5O3) but no M5 fluorescence yield, so their cross sections are 0. For
# those elements, and only those, the M5 yield is EADL97's
# (tools/data/m5_yields_eadl97.csv, cited there), which continues xraylib's
# own M5 yields from Ce on smoothly. The lines whose relative intensities
# rest on it and the M5 edge are marked "estimated" in the TSV files. See
# docs/data-corrections-mzeta.md.
M5_YIELDS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data",
                         "m5_yields_eadl97.csv")
ESTIMATED = "estimated"

# Siegbahn names, written in ASCII: a = alpha, b = beta, g = gamma,
# z = zeta, n = eta, l = script l; s, t, u, v are Latin letters.
# From xraylib's Siegbahn line macros (KA1_LINE = KL3_LINE, ..., LH_LINE =
# L2M1_LINE), and for the members of doublets that xraylib names once (KN2
# and KN3, KM4 and KM5, KN4 and KN5, L3O4 and L3O5, L3N6 and L3N7) and the M
# lines from the IUPAC nomenclature: R. Jenkins, R. Manne, R. Robin,
# C. Senemaud, X-Ray Spectrom. 20 (1991) 149-155, table 2.
SIEGBAHN = {
    "KL3": "Ka1", "KL2": "Ka2", "KL1": "Ka3",
    "KM3": "Kb1", "KM2": "Kb3", "KN3": "Kb2", "KN2": "Kb2",
    "KN5": "Kb4", "KN4": "Kb4", "KM5": "Kb5", "KM4": "Kb5",
    "L3M5": "La1", "L3M4": "La2", "L2M4": "Lb1", "L3N5": "Lb2",
    "L1M3": "Lb3", "L1M2": "Lb4", "L3O45": "Lb5", "L3O4": "Lb5", "L3O5": "Lb5",
    "L3N1": "Lb6", "L3O1": "Lb7", "L1M5": "Lb9", "L1M4": "Lb10",
    "L3N4": "Lb15", "L2M3": "Lb17",
    "L2N4": "Lg1", "L1N2": "Lg2", "L1N3": "Lg3", "L1O3": "Lg4",
    "L2N1": "Lg5", "L2O4": "Lg6", "L2O1": "Lg8",
    "L2M1": "Ln", "L3M1": "Ll", "L3M3": "Ls", "L3M2": "Lt",
    "L3N6": "Lu", "L3N7": "Lu", "L2N6": "Lv",
    "M5N7": "Ma1", "M5N6": "Ma2", "M4N6": "Mb", "M3N5": "Mg",
    "M5N3": "Mz1", "M4N2": "Mz2",
}

# Detectors: their elements with the number of atoms in the formula.
DETECTORS = [("si", "Si", [(14, 1)]), ("ge", "Ge", [(32, 1)]),
             ("cdte", "CdTe", [(48, 1), (52, 1)])]
# The escaping lines of a detector element: its K-alpha (at the KL3 energy)
# and its K-beta (at the KM3 energy), each carrying its share of the K-shell
# radiative rate (KL* for K-alpha, all the others for K-beta).
ESCAPE_LINES = [("KL3", "KL"), ("KM3", None)]

# Mass attenuation grid: log-spaced points between these energies (keV),
# plus every edge of the element in the range, taken twice (just below and
# just above). Interpolated log-log; the generator checks the error at the
# middle of every interval against xraylib.
ATT_FROM_KEV = 1.0
ATT_TO_KEV = 200.0
ATT_PER_DECADE = 40
ATT_MAX_ERROR = 0.01
# xraylib's cross sections begin here.
XRAYLIB_FROM_KEV = 0.1
# xraylib's cross-section tables put an edge up to a few tenths of an eV
# away from EdgeEnergy: the values at an edge are taken this share below and
# above it.
ATT_EDGE_STEP = 1e-3

# Absorbers: the elements of detector windows (Be; polymer C, H, N, O; Al
# coating), dead layers and crystals (Si, Ge, Cd, Te), for the detector
# efficiencies of synthetic spectra. Mass attenuation from 0.1 keV, where
# light-element lines begin, to 200 keV: the grid above, then refined where
# log-log interpolation misses xraylib by more than ABS_MAX_ERROR.
# Ge, Cd and Te from 1 keV: the detectors made of them have beryllium
# windows that let nothing softer through, and below 1 keV xraylib's
# attenuation of Cd and Te has N edges, which the table's K..M5 do not list.
ABSORBERS = [(1, 0.1), (4, 0.1), (6, 0.1), (7, 0.1), (8, 0.1), (13, 0.1), (14, 0.1),
             (32, 1.0), (48, 1.0), (52, 1.0)]
ABS_MAX_ERROR = 0.01
# xraylib puts the K edges of the lightest elements up to 2 % above
# EdgeEnergy (N: 401.6 eV, its step near 409.5 eV): their values at an edge
# are taken this share below and above it.
ABS_EDGE_STEP = 0.025

# Photoionisation (xraylib CS_Photo_Partial) of each shell that gives one of
# the table's lines, for exciting synthetic X-ray fluorescence: from a step
# above the edge (PHOTO_EDGE_STEP; xraylib's cross sections put some edges
# up to 1 % away from EdgeEnergy) to PHOTO_TO_KEV, PHOTO_PER_DECADE points a
# decade plus every deeper edge of the element twice (below, above: above a
# deeper edge xraylib shares the photo effect out again), refined where
# log-log interpolation misses by more than PHOTO_MAX_ERROR. Only edges from
# PHOTO_FROM_KEV up: X-ray fluorescence detectors see no lines below it
# through their beryllium windows, and xraylib's partial cross sections of
# the lightest elements' L shells are not smooth enough to interpolate.
PHOTO_FROM_KEV = 1.0
PHOTO_TO_KEV = 100.0
PHOTO_PER_DECADE = 4
PHOTO_EDGE_STEP = 1e-2
PHOTO_MAX_ERROR = 0.02

# Sample attenuation: every element with lines, for the absorption of its
# own and the other elements' lines and the continuum in a bulk sample of a
# synthetic spectrum. From 0.1 keV to ATT_TO_KEV, SAMPLE_PER_DECADE points a
# decade plus every edge xraylib has in the range (N, O and P shells too:
# heavy elements have them above 1 keV), refined where log-log
# interpolation misses by more than SAMPLE_MAX_ERROR; edges taken
# ABS_EDGE_STEP below and above, as for the absorbers.
SAMPLE_FROM_KEV = 0.1
SAMPLE_PER_DECADE = 20
SAMPLE_MAX_ERROR = 0.02
ALL_SHELLS = sorted((n[:-len("_SHELL")] for n in dir(xraylib) if n.endswith("_SHELL")),
                    key=lambda name: getattr(xraylib, name + "_SHELL"))


class TableError(Exception):
    pass


def _value(function, *args):
    """An xraylib value, or None where xraylib has none (error or 0)."""
    try:
        value = function(*args)
    except (ValueError, RuntimeError):
        return None
    return value if value else None


def _dec(value):
    return Decimal(repr(value))


def _plain(d):
    text = format(d, "f")
    return "0" if text in ("-0", "") else text


def _short(value, digits):
    """value to `digits` significant digits, as the shortest text that
    reads back the same: 0.4992, 1.0, 1.99e-10."""
    return repr(float("%.*g" % (digits, value)))


def _ev(kev):
    """eV text of an xraylib keV value, with one decimal, or two where
    needed. xraylib's energies have at most four decimals in keV (0.1 eV);
    the energy of an unresolved doublet (L3O45) is the mean of two, computed
    in binary (13.393149999999999 keV), and is written to 0.01 eV."""
    ev = _dec(kev).scaleb(3)
    rounded = ev.quantize(Decimal("0.01"))
    if abs(ev - rounded) > Decimal("1e-6"):
        raise TableError("energy %r keV is finer than 0.01 eV" % kev)
    if rounded == rounded.quantize(Decimal("0.1")):
        rounded = rounded.quantize(Decimal("0.1"))
    return _plain(rounded)


def _number(value):
    """xraylib's value as its shortest exact decimal text."""
    return _plain(_dec(value))


# ----------------------------------------------------------------- lines

_TRANSITION = re.compile(r"^(K|L[123]|M[1-5])([KLMNOPQ][1-7]+)_LINE$")


def _transitions():
    """(IUPAC name, initial shell, xraylib macro) of every single-line
    macro of the K, L and M shells, unresolved doublets (L3O45) included;
    group macros (KA_LINE, KO_LINE) are not transitions."""
    found = []
    for name in dir(xraylib):
        match = _TRANSITION.match(name)
        if match:
            found.append((name[:-5], match.group(1), getattr(xraylib, name)))
    return sorted(found, key=lambda t: -t[2])


def _edge_kev(z, shell):
    return _value(xraylib.EdgeEnergy, z, SHELL_MACRO[shell])


def _m5_vacancies(z, kev):
    """M5 vacancies per gram made by photons of `kev`, with every transfer
    from deeper shells (xraylib's Kissel cascade): the factor that
    CS_FluorLine_Kissel_Cascade multiplies by the M5 yield and the line's
    radiative rate. A shell whose edge lies above `kev` gives none."""
    deeper = [_value(xraylib.CS_Photo_Partial, z, xraylib.K_SHELL, kev) or 0.0]
    for name in ("PL1", "PL2", "PL3", "PM1", "PM2", "PM3", "PM4", "PM5"):
        function = getattr(xraylib, name + "_full_cascade_kissel")
        deeper.append(_value(function, z, kev, *deeper) or 0.0)
    return deeper[-1]


def _m5_transitions(z):
    return [(iupac, macro) for iupac, shell, macro in _transitions()
            if shell == "M5" and _value(xraylib.RadRate, z, macro)]


def m5_yield_estimates():
    """{Z: estimated M5 fluorescence yield} for every element with M5
    radiative rates in xraylib but no M5 yield (see M5_YIELDS)."""
    lacking = {z for z in range(FIRST_Z, LAST_Z + 1)
               if _m5_transitions(z) and not _value(xraylib.FluorYield, z, xraylib.M5_SHELL)}
    with open(M5_YIELDS, encoding="utf-8", newline="") as f:
        rows = {int(r["Z"]): r for r in csv.DictReader(l for l in f if not l.startswith("#"))}
    if set(rows) - lacking:
        raise TableError("%s: xraylib now has an M5 yield for Z=%s; drop the row"
                         % (os.path.basename(M5_YIELDS), sorted(set(rows) - lacking)))
    if lacking - set(rows):
        raise TableError("%s: no EADL97 yields for Z=%s, which has M5 lines but no M5 yield"
                         % (os.path.basename(M5_YIELDS), sorted(lacking - set(rows))))
    # The cross sections below rebuild xraylib's: check it on the first
    # element that has an M5 yield of its own.
    z = max(lacking) + 1
    kev = _excitation_kev(z, "M")
    iupac, macro = _m5_transitions(z)[0]
    own = xraylib.CS_FluorLine_Kissel_Cascade(z, macro, kev)
    rebuilt = (_m5_vacancies(z, kev) * xraylib.FluorYield(z, xraylib.M5_SHELL)
               * xraylib.RadRate(z, macro))
    if abs(rebuilt / own - 1) > 1e-9:
        raise TableError("Z=%d %s: rebuilt cross section %r is not xraylib's %r"
                         % (z, iupac, rebuilt, own))
    return {z: float(row["omega_m5"]) for z, row in rows.items()}


def select_lines(report, m5_yields):
    """Every line of the table: dicts with z, family, shell, iupac,
    siegbahn, energy (text, eV), rate (share of the shell's radiative
    total) and relative (text)."""
    transitions = _transitions()
    lines = []
    for z in range(FIRST_Z, LAST_Z + 1):
        rates = {}
        for iupac, shell, macro in transitions:
            rate = _value(xraylib.RadRate, z, macro)
            if rate:
                rates[iupac] = (shell, macro, _dec(rate))
        totals = {}
        for shell, _, rate in rates.values():
            totals[shell] = totals.get(shell, 0) + rate
        by_family = {}
        for iupac, (shell, macro, rate) in rates.items():
            if rate / totals[shell] < MIN_RATE_SHARE:
                continue
            kev = _value(xraylib.LineEnergy, z, macro)
            if kev is None:
                report["no energy"].append((z, iupac))
                continue
            edge = _edge_kev(z, shell)
            if edge is None or kev >= edge:
                raise TableError("Z=%d %s: energy %r keV not below its %s edge %r"
                                 % (z, iupac, kev, shell, edge))
            family = shell[0]
            excitation = _excitation_kev(z, family)
            cs = _value(xraylib.CS_FluorLine_Kissel_Cascade, z, macro, excitation)
            if cs is None and shell == "M5" and z in m5_yields:
                cs = _m5_vacancies(z, excitation) * m5_yields[z] * float(rate)
            if cs is None:
                report["no cross section"].append((z, iupac))
                continue
            by_family.setdefault(family, []).append(
                {"z": z, "family": family, "shell": shell, "iupac": iupac,
                 "siegbahn": SIEGBAHN.get(iupac, ""), "energy": _ev(kev),
                 "rate": float(rate / totals[shell]), "cs": cs})
        for family, members in by_family.items():
            strongest = max(members, key=lambda m: m["cs"])
            for m in members:
                m["relative"] = _short(m["cs"] / strongest["cs"], RELATIVE_DIGITS)
                # Resting on an estimated M5 yield: the M5 lines, and all
                # the family where an M5 line is its strongest.
                rests = z in m5_yields and "M5" in (m["shell"], strongest["shell"])
                m["note"] = ESTIMATED if rests else ""
            lines.extend(members)
    lines.sort(key=lambda m: (m["z"], Decimal(m["energy"]), SHELLS.index(m["shell"]),
                              m["iupac"]))
    return lines


def _excitation_kev(z, family):
    deepest = _edge_kev(z, DEEPEST_EDGE[family])
    if deepest is None:
        raise TableError("Z=%d has a %s line but no %s edge" % (z, family, DEEPEST_EDGE[family]))
    excitation = OVERVOLTAGE * deepest
    deeper = NEXT_DEEPER_EDGE[family]
    if deeper and _edge_kev(z, deeper) and excitation >= _edge_kev(z, deeper):
        raise TableError("Z=%d: the %s excitation %r keV reaches the %s edge"
                         % (z, family, excitation, deeper))
    return excitation


def check_lines(lines):
    """Fails when the intensities stop making sense: what the finder and
    its users rely on."""
    def rel(z, iupac):
        for m in lines:
            if m["z"] == z and m["iupac"] == iupac:
                return float(m["relative"])
        return None
    for z in range(FIRST_Z, LAST_Z + 1):
        ka2 = rel(z, "KL2")
        if ka2 is not None and not 0.45 <= ka2 <= 0.65:
            raise TableError("Z=%d: Ka2/Ka1 = %s" % (z, ka2))
    for z in range(26, 31):
        kb1 = rel(z, "KM3")
        if not 0.1 <= kb1 <= 0.2:
            raise TableError("Z=%d: Kb1/Ka1 = %s" % (z, kb1))
    # Scandium's 3d shell holds one electron: its Ll outshines La1.
    for z in range(22, LAST_Z + 1):
        if rel(z, "L3M5") != 1:
            raise TableError("Z=%d: La1 is not the strongest L line" % z)
    # Below gadolinium the 4f shell is (nearly) empty and Mz lines lead.
    for z in range(64, LAST_Z + 1):
        if rel(z, "M5N7") != 1:
            raise TableError("Z=%d: Ma1 is not the strongest M line" % z)
    energies = {}
    for m in lines:
        key = (m["z"], m["iupac"])
        if key in energies:
            raise TableError("Z=%d %s twice" % key)
        energies[key] = m["energy"]


# ----------------------------------------------------------------- edges

def select_edges(m5_yields):
    edges = []
    for z in range(1, EDGE_LAST_Z + 1):
        for shell in SHELLS:
            kev = _edge_kev(z, shell)
            if kev is None:
                continue
            yield_ = _value(xraylib.FluorYield, z, SHELL_MACRO[shell])
            jump = _value(xraylib.JumpFactor, z, SHELL_MACRO[shell])
            estimated = shell == "M5" and z in m5_yields
            if estimated:
                yield_ = m5_yields[z]
            edges.append({"z": z, "shell": shell, "energy": _ev(kev),
                          "yield": _number(yield_) if yield_ else "",
                          "jump": _number(jump) if jump else "",
                          "note": ESTIMATED if estimated else ""})
    return edges


# ---------------------------------------------------- detector materials

def _attenuation_points(z, from_kev=ATT_FROM_KEV, max_error=None, step=ATT_EDGE_STEP,
                        shells=SHELLS, per_decade=ATT_PER_DECADE):
    """(energy eV text, mu cm2/g text) of element z's mass attenuation
    grid; an edge of `shells` appears twice, below and above. With
    max_error, intervals whose middle the log-log interpolation misses by
    more are split until it does not."""
    lo, hi = math.log10(from_kev), math.log10(ATT_TO_KEV)
    count = int(round((hi - lo) * per_decade))
    grid = [round(10 ** (lo + (hi - lo) * i / count), 6) for i in range(count + 1)]
    edges = [e for e in (_value(xraylib.EdgeEnergy, z, getattr(xraylib, s + "_SHELL"))
                         for s in shells)
             if e and from_kev < e < ATT_TO_KEV]
    # No grid point right at an edge's shifted step.
    grid = [g for g in grid
            if all(abs(g - e) > 2 * step * e for e in edges)]
    # (energy, 0 below an edge / 1 above or off edges, mu)
    points = [(g, 1, xraylib.CS_Total(z, g)) for g in grid]
    for e in edges:
        points.append((e, 0, xraylib.CS_Total(z, max(XRAYLIB_FROM_KEV, e * (1 - step)))))
        points.append((e, 1, xraylib.CS_Total(z, e * (1 + step))))
    fixed = [(e, mu) for e, _, mu in sorted(points)]
    if max_error is not None:
        fixed = _refined(fixed, lambda kev: xraylib.CS_Total(z, kev), max_error,
                         lambda kev: any(abs(kev - e) < 4 * step * e for e in edges))
    rows = [(_short(e * 1000, 7), _short(mu, 6)) for e, mu in fixed]
    _check_attenuation(z, rows, edges, max_error or ATT_MAX_ERROR, step)
    return rows


def _refined(points, function, max_error, near_edge):
    """points (keV, value), with a point added in the middle of every
    interval whose log-log interpolation misses function there by more than
    max_error, until none does (or the interval is under 0.2 % wide).
    Intervals at an edge (two points at one energy) or near one are kept."""
    out = [points[0]]
    pending = list(reversed(points[1:]))
    while pending:
        a, b = out[-1], pending[-1]
        if a[0] != b[0] and b[0] / a[0] > 1.002:
            middle = math.sqrt(a[0] * b[0])
            if not near_edge(middle):
                exact = function(middle)
                t = math.log(middle / a[0]) / math.log(b[0] / a[0])
                guess = math.exp(math.log(a[1]) + t * math.log(b[1] / a[1]))
                if abs(guess / exact - 1) > max_error:
                    pending.append((round(middle, 6), exact))
                    continue
        out.append(pending.pop())
    return out


def _interpolate(rows, ev):
    pts = [(float(e), float(m)) for e, m in rows]
    for (e0, m0), (e1, m1) in zip(pts, pts[1:]):
        if e0 < ev <= e1 and e0 != e1:
            t = math.log(ev / e0) / math.log(e1 / e0)
            return math.exp(math.log(m0) + t * math.log(m1 / m0))
    raise TableError("%r eV outside the attenuation grid" % ev)


def _check_attenuation(z, rows, edges, max_error, step):
    pts = [float(e) for e, _ in rows]
    for e0, e1 in zip(pts, pts[1:]):
        if e0 == e1:
            continue
        middle = math.sqrt(e0 * e1)
        # xraylib's own edge sits a little off EdgeEnergy: skip the
        # intervals that touch an edge.
        if any(abs(middle / 1000 - e) < 4 * step * e for e in edges):
            continue
        exact = xraylib.CS_Total(z, middle / 1000)
        error = abs(_interpolate(rows, middle) / exact - 1)
        # Rounding the refined points to 7 digits may leave a little more.
        if error > max_error * 1.05:
            raise TableError("Z=%d: attenuation interpolated %.2f %% off at %.1f eV"
                             % (z, 100 * error, middle))


def _k_shares(z):
    """K-alpha and K-beta shares of element z's K radiative rate."""
    rates = {}
    for iupac, shell, macro in _transitions():
        if shell == "K":
            rate = _value(xraylib.RadRate, z, macro)
            if rate:
                rates[iupac] = rate
    total = sum(rates.values())
    alpha = sum(r for name, r in rates.items() if name.startswith("KL")) / total
    return {"KL": alpha, None: 1 - alpha}


def select_detectors(elements):
    detectors = []
    for key, label, formula in DETECTORS:
        weights = [(z, n * xraylib.AtomicWeight(z)) for z, n in formula]
        total = sum(w for _, w in weights)
        members = []
        for z, w in weights:
            shares = _k_shares(z)
            escapes = []
            for iupac, group in ESCAPE_LINES:
                kev = xraylib.LineEnergy(z, getattr(xraylib, iupac + "_LINE"))
                escapes.append({"iupac": iupac, "energy": _ev(kev),
                                "share": _short(shares[group], 6)})
            members.append({
                "z": z, "symbol": elements[z][0],
                "mass_fraction": _short(w / total, 6),
                "k_edge": _ev(_edge_kev(z, "K")),
                "omega_k": _number(xraylib.FluorYield(z, xraylib.K_SHELL)),
                "jump_k": _number(xraylib.JumpFactor(z, xraylib.K_SHELL)),
                "escapes": escapes,
                "attenuation": _attenuation_points(z)})
        detectors.append({"key": key, "label": label, "members": members})
    return detectors


# ------------------------------------------------ synthetic spectra's physics

def select_absorbers(elements):
    """Mass attenuation of ABSORBERS from their first energy, refined."""
    return [{"z": z, "symbol": elements[z][0],
             "attenuation": _attenuation_points(z, from_kev, ABS_MAX_ERROR, ABS_EDGE_STEP)}
            for z, from_kev in ABSORBERS]


def _photo(z, shell, kev):
    """xraylib's photoionisation of the shell, never above the whole photo
    effect (next to some edges xraylib's partial value overshoots it)."""
    macro = SHELL_MACRO[shell]
    return min(xraylib.CS_Photo_Partial(z, macro, kev), xraylib.CS_Photo(z, kev))


def select_photoionisation(lines):
    """Per element and shell that gives a line, with an edge from
    PHOTO_FROM_KEV to PHOTO_TO_KEV: edge, and (energy eV text, cm2/g text)
    points from just above the edge."""
    shells = {}
    for m in lines:
        shells.setdefault(m["z"], set()).add(m["shell"])
    result = []
    for z in sorted(shells):
        for shell in SHELLS:
            if shell not in shells[z]:
                continue
            edge = _edge_kev(z, shell)
            if edge is None or not PHOTO_FROM_KEV <= edge < PHOTO_TO_KEV:
                continue
            deeper = [d for d in (_edge_kev(z, s) for s in SHELLS[:SHELLS.index(shell)])
                      if d and edge < d < PHOTO_TO_KEV]
            start = edge * (1 + PHOTO_EDGE_STEP)
            lo, hi = math.log10(start), math.log10(PHOTO_TO_KEV)
            count = max(1, int(math.ceil((hi - lo) * PHOTO_PER_DECADE)))
            grid = [round(10 ** (lo + (hi - lo) * i / count), 6) for i in range(count + 1)]
            grid = [g for g in grid if all(abs(g - d) > 2 * PHOTO_EDGE_STEP * d for d in deeper)]
            points = [(g, 1, _photo(z, shell, g)) for g in grid]
            for d in deeper:
                points.append((d, 0, _photo(z, shell, d * (1 - PHOTO_EDGE_STEP))))
                points.append((d, 1, _photo(z, shell, d * (1 + PHOTO_EDGE_STEP))))
            fixed = [(e, v) for e, _, v in sorted(points)]
            if any(not v > 0 for _, v in fixed):
                raise TableError("Z=%d %s: photoionisation not above zero" % (z, shell))
            fixed = _refined(fixed, lambda kev: _photo(z, shell, kev), PHOTO_MAX_ERROR,
                             lambda kev: any(abs(kev - d) < 4 * PHOTO_EDGE_STEP * d
                                             for d in deeper))
            result.append({"z": z, "shell": shell, "edge": _ev(edge),
                           "points": [(_short(e * 1000, 7), _short(v, 6)) for e, v in fixed]})
    return result


def select_sample_attenuation(elements):
    """Mass attenuation of every element with lines, from SAMPLE_FROM_KEV."""
    return [{"z": z, "symbol": elements[z][0],
             "attenuation": _attenuation_points(z, SAMPLE_FROM_KEV, SAMPLE_MAX_ERROR,
                                                ABS_EDGE_STEP, ALL_SHELLS, SAMPLE_PER_DECADE)}
            for z in range(FIRST_Z, LAST_Z + 1)]


def select_weights():
    return [{"z": z, "weight": _number(xraylib.AtomicWeight(z))}
            for z in range(1, LAST_Z + 1)]


# ---------------------------------------------------------------- output

def _header(title, lines_of_text):
    version = getattr(xraylib, "__version__", "unknown")
    out = ["# " + title,
           "# Written by tools/make-data from xraylib %s: T. Schoonjans et al., "
           "Spectrochim. Acta B 66 (2011) 776-784; A. Brunetti et al., "
           "Spectrochim. Acta B 59 (2004) 1725-1731." % version]
    out += ["# " + t if t else "#" for t in lines_of_text]
    return out


LINES_NOTES = [
    "Line energies: xraylib LineEnergy (R. D. Deslattes et al., Rev. Mod. Phys. 75 (2003) 35,",
    "where tabulated), in eV. Radiative rates: xraylib RadRate. Fluorescence cross sections:",
    "xraylib CS_FluorLine_Kissel_Cascade.",
    "",
    "Selection: every element from B (5) to Cf (98); every radiative transition of the K,",
    "L1-L3 and M1-M5 shells whose rate is at least 0.1 % of the sum of its shell's rates,",
    "for which xraylib has an energy and a fluorescence cross section.",
    "Relative intensity: within the element's family (K, L or M; the strongest = 1), the",
    "ratio of the lines' fluorescence cross sections with cascades, for photons of twice",
    "the family's deepest edge (K edge for K, L1 for L, M1 for M). That is below the",
    "next deeper edge (K for L, L3 for M) for every element, so Coster-Kronig transfers",
    "within the family count and no cascade from a deeper shell does. 4 significant digits.",
    "Siegbahn names in ASCII (a alpha, b beta, g gamma, z zeta, n eta, l script l):",
    "xraylib's Siegbahn macros; doublet members and M lines from R. Jenkins et al.,",
    "X-Ray Spectrom. 20 (1991) 149. Empty where a transition has none.",
    "",
    "Note \"estimated\": the M5 lines of Cd (48) to La (57). xraylib has their",
    "radiative rates (Mz1 = M5N3, M5O3) but no M5 fluorescence yield; the M5 yield used",
    "is EADL97's (S. T. Perkins et al., UCRL-50400 Vol. 30 (1991);",
    "tools/data/m5_yields_eadl97.csv). (Were an M5 line the strongest of its family,",
    "the whole family would be marked.)",
    "",
    "Columns: Z; symbol; family (K, L, M); shell (initial vacancy); IUPAC transition;",
    "Siegbahn name; energy eV; rate (share of the shell's radiative rates);",
    "relative intensity within the family; note.",
]

EDGES_NOTES = [
    "Absorption edges K, L1-L3 and M1-M5 of H (1) to Cf (98), where xraylib has them.",
    "Energies: xraylib EdgeEnergy, in eV. Fluorescence yields: xraylib FluorYield.",
    "Jump ratios: xraylib JumpFactor. Empty where xraylib has no value.",
    "Note \"estimated\": the M5 yields of Cd (48) to La (57), which xraylib lacks:",
    "EADL97's (S. T. Perkins et al., UCRL-50400 Vol. 30 (1991);",
    "tools/data/m5_yields_eadl97.csv).",
    "",
    "Columns: Z; symbol; shell; energy eV; fluorescence yield; jump ratio; note.",
]

ATTENUATION_NOTES = [
    "Mass attenuation coefficients of the detector elements, cm2/g: xraylib CS_Total,",
    "%d points per decade from %g to %g keV (7 significant digits of energy, 6 of mu);"
    % (ATT_PER_DECADE, ATT_FROM_KEV, ATT_TO_KEV),
    "an absorption edge appears twice, first the value just below it (%g %% under the"
    % (100 * ATT_EDGE_STEP),
    "edge energy), then just above. Interpolated log-log; within %g %% of xraylib between"
    % (100 * ATT_MAX_ERROR),
    "the points.",
    "",
    "Columns: Z; symbol; energy eV; mass attenuation cm2/g.",
]

DETECTORS_NOTES = [
    "Detector materials and their elements' escaping K lines, for escape peaks.",
    "Mass fraction: from xraylib AtomicWeight and the formula. K edge: xraylib EdgeEnergy.",
    "Fluorescence yield: xraylib FluorYield(K). Jump ratio: xraylib JumpFactor(K).",
    "Escape lines: K-alpha at the KL3 energy and K-beta at the KM3 energy (xraylib",
    "LineEnergy); share: their part of the K radiative rates (xraylib RadRate; KL* for",
    "K-alpha, all other K transitions for K-beta).",
    "",
    "Columns: detector; Z; symbol; mass fraction; K edge eV; K fluorescence yield;",
    "K jump ratio; escape line (IUPAC); its energy eV; its share.",
]

ABSORBERS_NOTES = [
    "Mass attenuation coefficients of the elements of detector windows, dead layers and",
    "crystals, cm2/g: xraylib CS_Total, %d points per decade from 0.1 keV (Ge, Cd, Te from"
    % ATT_PER_DECADE,
    "1 keV) to %g keV, refined" % ATT_TO_KEV,
    "where log-log interpolation missed xraylib by more than %g %%; an absorption edge"
    % (100 * ABS_MAX_ERROR),
    "appears twice, first the value %g %% below it, then %g %% above. For the detector"
    % (100 * ABS_EDGE_STEP, 100 * ABS_EDGE_STEP),
    "efficiency of synthetic spectra.",
    "",
    "Columns: Z; symbol; energy eV; mass attenuation cm2/g.",
]

SAMPLE_NOTES = [
    "Mass attenuation coefficients of every element with lines, cm2/g: xraylib CS_Total,",
    "%d points per decade from %g keV to %g keV, refined where log-log interpolation"
    % (SAMPLE_PER_DECADE, SAMPLE_FROM_KEV, ATT_TO_KEV),
    "missed xraylib by more than %g %%; every absorption edge xraylib has in the range"
    % (100 * SAMPLE_MAX_ERROR),
    "(K to P shells) appears twice, first the value %g %% below it, then %g %% above."
    % (100 * ABS_EDGE_STEP, 100 * ABS_EDGE_STEP),
    "For the absorption in the sample of synthetic spectra.",
    "",
    "Columns: Z; symbol; energy eV; mass attenuation cm2/g.",
]

PHOTO_NOTES = [
    "Photoionisation cross sections of the shells that give the line table's lines, cm2/g:",
    "xraylib CS_Photo_Partial (never above CS_Photo), for edges from %g to %g keV, from"
    % (PHOTO_FROM_KEV, PHOTO_TO_KEV),
    "%g %% above the edge to %g keV: %d points per decade plus every deeper edge of the"
    % (100 * PHOTO_EDGE_STEP, PHOTO_TO_KEV, PHOTO_PER_DECADE),
    "element (twice: %g %% below, then above), refined where log-log interpolation missed"
    % (100 * PHOTO_EDGE_STEP),
    "xraylib by more than %g %%. For exciting synthetic X-ray fluorescence spectra."
    % (100 * PHOTO_MAX_ERROR),
    "",
    "Columns: Z; symbol; shell; edge eV; energy eV; cross section cm2/g.",
]

WEIGHTS_NOTES = [
    "Atomic weights of H (1) to Cf (98), g/mol: xraylib AtomicWeight. For turning mass",
    "fractions into atoms in synthetic spectra and for the composition of windows.",
    "",
    "Columns: Z; symbol; atomic weight.",
]


def _tsv(path, header, columns, rows):
    text = "\n".join(header + ["\t".join(columns)] + ["\t".join(r) for r in rows]) + "\n"
    _write(path, text)


def _write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def _cpp_string(text):
    return '"' + text + '"'


GENERATED = ("// Generated by tools/make-data from xraylib %s; do not edit.\n"
             "// The same values, with their sources, are in %s.\n")


def _cpp_file(version, source, body):
    """A generated .cpp: its banner, the table header and body (lines) in
    namespace xray::table."""
    return "\n".join([GENERATED % (version, source), '#include "xray/generated/tables.h"', "",
                      "namespace xray::table {", ""] + body
                     + ["} // namespace xray::table", ""])


def _cpp_array(declaration, items, wrap=True):
    """`declaration = { items };` with a blank line after it; items wrapped
    into rows, or one a line."""
    rows = _wrapped(items) if wrap else ["    " + item + "," for item in items]
    return [declaration + " = {"] + rows + ["};", ""]


def _cpp_lines(lines, version):
    body = _cpp_array("constexpr Line lines[LineCount]", [
        "{%d, Family::%s, Shell::%s, %s, %s, %s, %s}" % (
            m["z"], m["family"], m["shell"], _cpp_string(m["iupac"]),
            _cpp_string(m["siegbahn"]), m["energy"], m["relative"]) for m in lines], wrap=False)
    # Where each element's lines start, by Z; the entry after the last
    # element is LineCount.
    body += _cpp_array("constexpr std::uint16_t lineStart[LastLineZ + 2]",
                       [str(v) for v in _starts(lines, LAST_Z)])
    order = sorted(range(len(lines)), key=lambda i: (Decimal(lines[i]["energy"]), i))
    body += _cpp_array("constexpr std::uint16_t byEnergy[LineCount]", [str(i) for i in order])
    body += _cpp_array("constexpr double energiesSorted[LineCount]",
                       [lines[i]["energy"] for i in order])
    return _cpp_file(version, "xray/data/lines.tsv", body)


def _starts(items, last_z):
    """For Z = 0 .. last_z + 1, the index of the first item of that Z or a
    later one (len(items) past the end)."""
    return [next((i for i, item in enumerate(items) if item["z"] >= z), len(items))
            for z in range(0, last_z + 2)]


def _wrapped(items, width=100):
    rows, row = [], "   "
    for item in items:
        piece = " " + item + ","
        if len(row) + len(piece) > width:
            rows.append(row)
            row = "   "
        row += piece
    rows.append(row)
    return rows


def _cpp_edges(edges, version):
    body = ["// 0 where xraylib has no value."]
    body += _cpp_array("constexpr Edge edges[EdgeCount]", [
        "{%d, Shell::%s, %s, %s, %s}" % (e["z"], e["shell"], e["energy"], e["yield"] or "0",
                                         e["jump"] or "0") for e in edges], wrap=False)
    body += _cpp_array("constexpr std::uint16_t edgeStart[LastEdgeZ + 2]",
                       [str(v) for v in _starts(edges, EDGE_LAST_Z)])
    return _cpp_file(version, "xray/data/edges.tsv", body)


def _cpp_elements(elements, version):
    body = ["// Index 0 is empty; Z = 1 .. ElementCount."]
    body += _cpp_array("constexpr ElementName elementNames[ElementCount + 1]",
                       ['{"", ""}'] + ["{%s, %s}" % (_cpp_string(elements[z][0]),
                                                     _cpp_string(elements[z][1]))
                                       for z in sorted(elements)], wrap=False)
    return _cpp_file(version, "share/elements.inf (BODR)", body)


def _cpp_detectors(detectors, version):
    members = [m for d in detectors for m in d["members"]]
    body = []
    for m in members:
        body += _cpp_array("constexpr AttenuationPoint attenuation%s[]" % m["symbol"],
                           ["{%s, %s}" % p for p in m["attenuation"]])
    body.append("// The detectors' elements, detector by detector.")
    body += _cpp_array("constexpr MaterialElement materialElements[]", [
        "{%d, %s, attenuation%s, %d}" % (m["z"], m["mass_fraction"], m["symbol"],
                                         len(m["attenuation"])) for m in members], wrap=False)
    body.append("// Their escaping lines, in the same order.")
    body += _cpp_array("constexpr EscapeLine escapeLines[]", [
        "{%d, %s, %s, %s, %s, %s, %s, %s}" % (
            m["z"], _cpp_string(e["iupac"]), e["energy"], e["share"], m["k_edge"],
            m["omega_k"], m["jump_k"], m["mass_fraction"])
        for m in members for e in m["escapes"]], wrap=False)
    body.append("// Each detector's first element and escape line, and their counts.")
    entries, element, escape = [], 0, 0
    for d in detectors:
        count = len(d["members"])
        escapes = sum(len(m["escapes"]) for m in d["members"])
        entries.append("{%s, %s, %d, %d, %d, %d}" % (
            _cpp_string(d["key"]), _cpp_string(d["label"]), element, count, escape, escapes))
        element += count
        escape += escapes
    body += _cpp_array("constexpr MaterialEntry materials[MaterialCount]", entries, wrap=False)
    return _cpp_file(version, "xray/data/detectors.tsv and attenuation.tsv", body)


def _cpp_synthesis(absorbers, photo, weights, version):
    body = []
    for a in absorbers:
        body += _cpp_array("constexpr AttenuationPoint absorber%s[]" % a["symbol"],
                           ["{%s, %s}" % p for p in a["attenuation"]])
    body += _cpp_array("constexpr Absorber absorbers[AbsorberCount]", [
        "{%d, absorber%s, %d}" % (a["z"], a["symbol"], len(a["attenuation"])) for a in absorbers],
        wrap=False)
    for p in photo:
        body += _cpp_array("constexpr AttenuationPoint photo%d%s[]" % (p["z"], p["shell"]),
                           ["{%s, %s}" % q for q in p["points"]])
    body.append("// By Z, then shell from K outwards.")
    body += _cpp_array("constexpr PhotoShell photoShells[PhotoShellCount]", [
        "{%d, Shell::%s, %s, photo%d%s, %d}" % (p["z"], p["shell"], p["edge"], p["z"], p["shell"],
                                                len(p["points"])) for p in photo], wrap=False)
    body.append("// Index Z; index 0 is not an element.")
    body += _cpp_array("constexpr double atomicWeights[LastLineZ + 1]",
                       ["0"] + [w["weight"] for w in weights])
    return _cpp_file(version, "xray/data/absorbers.tsv, photoionisation.tsv and atomicweights.tsv",
                     body)


def _cpp_samples(samples, version):
    body = []
    for a in samples:
        body += _cpp_array("constexpr AttenuationPoint sample%s[]" % a["symbol"],
                           ["{%s, %s}" % p for p in a["attenuation"]])
    body.append("// By Z, from FirstLineZ.")
    body += _cpp_array("constexpr Absorber sampleElements[SampleElementCount]", [
        "{%d, sample%s, %d}" % (a["z"], a["symbol"], len(a["attenuation"])) for a in samples],
        wrap=False)
    return _cpp_file(version, "xray/data/sampleattenuation.tsv", body)


def _cpp_header(lines, edges, elements, version, absorbers, photo, samples):
    mn = next(m for m in lines if m["z"] == 25 and m["iupac"] == "KL3")
    return "\n".join([
        GENERATED % (version, "xray/data/"),
        "// The compiled tables of the X-ray core. Everything here is constant",
        "// data, initialised at compile time: nothing runs at start-up.",
        "#pragma once",
        "",
        '#include "xray/types.h"',
        "",
        "#include <cstdint>",
        "",
        "namespace xray::table {",
        "",
        "inline constexpr int LineCount = %d;" % len(lines),
        "inline constexpr int EdgeCount = %d;" % len(edges),
        "inline constexpr int ElementCount = %d;" % max(elements),
        "inline constexpr int FirstLineZ = %d;" % FIRST_Z,
        "inline constexpr int LastLineZ = %d;" % LAST_Z,
        "inline constexpr int LastEdgeZ = %d;" % EDGE_LAST_Z,
        "inline constexpr int MaterialCount = %d;" % len(DETECTORS),
        "inline constexpr int AbsorberCount = %d;" % len(absorbers),
        "inline constexpr int PhotoShellCount = %d;" % len(photo),
        "inline constexpr int SampleElementCount = %d;" % len(samples),
        "// Mn KL3 (K-alpha1), the reference energy of detector resolutions.",
        "inline constexpr double MnKalpha_eV = %s;" % mn["energy"],
        "",
        "struct ElementName {",
        "    const char *symbol;",
        "    const char *name;",
        "};",
        "",
        "struct AttenuationPoint {",
        "    double energy_eV;",
        "    double mu_cm2_g;",
        "};",
        "",
        "// One element of a detector material.",
        "struct MaterialElement {",
        "    int Z;",
        "    double massFraction;",
        "    const AttenuationPoint *attenuation; // by energy; an edge twice, below then above",
        "    int attenuationCount;",
        "};",
        "",
        "// An element of detector windows, dead layers and crystals.",
        "struct Absorber {",
        "    int Z;",
        "    const AttenuationPoint *attenuation; // as in MaterialElement",
        "    int attenuationCount;",
        "};",
        "",
        "// The photoionisation of one shell of one element, cm2/g, from just above",
        "// its edge (its points use mu_cm2_g for the cross section).",
        "struct PhotoShell {",
        "    std::uint8_t Z;",
        "    Shell shell;",
        "    double edge_eV;",
        "    const AttenuationPoint *points;",
        "    int count;",
        "};",
        "",
        "struct MaterialEntry {",
        "    const char *key;   // \"si\"",
        "    const char *label; // \"Si\"",
        "    int firstElement;",
        "    int elementCount;",
        "    int firstEscape;",
        "    int escapeCount;",
        "};",
        "",
        "extern const Line lines[LineCount];",
        "extern const std::uint16_t lineStart[LastLineZ + 2];",
        "extern const std::uint16_t byEnergy[LineCount];",
        "extern const double energiesSorted[LineCount];",
        "extern const Edge edges[EdgeCount];",
        "extern const std::uint16_t edgeStart[LastEdgeZ + 2];",
        "extern const ElementName elementNames[ElementCount + 1];",
        "extern const MaterialElement materialElements[];",
        "extern const EscapeLine escapeLines[];",
        "extern const MaterialEntry materials[MaterialCount];",
        "extern const Absorber absorbers[AbsorberCount];",
        "extern const PhotoShell photoShells[PhotoShellCount];",
        "extern const double atomicWeights[LastLineZ + 1];",
        "extern const Absorber sampleElements[SampleElementCount];",
        "",
        "} // namespace xray::table",
        ""])


def write_tables(elements, xray_dir):
    """Writes the TSV files and the generated C++ under xray_dir; returns a
    report of the transitions left out, for the maintainer."""
    report = {"no energy": [], "no cross section": []}
    version = getattr(xraylib, "__version__", "unknown")
    m5_yields = m5_yield_estimates()
    lines = select_lines(report, m5_yields)
    check_lines(lines)
    edges = select_edges(m5_yields)
    detectors = select_detectors(elements)
    absorbers = select_absorbers(elements)
    photo = select_photoionisation(lines)
    weights = select_weights()
    samples = select_sample_attenuation(elements)

    data = os.path.join(xray_dir, "data")
    gen = os.path.join(xray_dir, "generated")
    symbol = {z: elements[z][0] for z in elements}
    _tsv(os.path.join(data, "lines.tsv"),
         _header("Zandor X-ray line table: K, L and M lines of B (5) to Cf (98)", LINES_NOTES),
         ["Z", "symbol", "family", "shell", "iupac", "siegbahn", "energy_eV", "rate",
          "relative", "note"],
         [[str(m["z"]), symbol[m["z"]], m["family"], m["shell"], m["iupac"], m["siegbahn"],
           m["energy"], _short(m["rate"], 5), m["relative"], m["note"]] for m in lines])
    _tsv(os.path.join(data, "edges.tsv"),
         _header("Zandor absorption edge table", EDGES_NOTES),
         ["Z", "symbol", "shell", "energy_eV", "fluorescence_yield", "jump_ratio", "note"],
         [[str(e["z"]), symbol[e["z"]], e["shell"], e["energy"], e["yield"], e["jump"],
           e["note"]] for e in edges])
    _tsv(os.path.join(data, "attenuation.tsv"),
         _header("Zandor mass attenuation of the detector elements", ATTENUATION_NOTES),
         ["Z", "symbol", "energy_eV", "mu_cm2_g"],
         [[str(m["z"]), m["symbol"], e, mu] for d in detectors for m in d["members"]
          for e, mu in m["attenuation"]])
    _tsv(os.path.join(data, "detectors.tsv"),
         _header("Zandor detector materials and escape lines", DETECTORS_NOTES),
         ["detector", "Z", "symbol", "mass_fraction", "k_edge_eV", "fluorescence_yield",
          "jump_ratio", "escape_line", "energy_eV", "share"],
         [[d["key"], str(m["z"]), m["symbol"], m["mass_fraction"], m["k_edge"], m["omega_k"],
           m["jump_k"], e["iupac"], e["energy"], e["share"]]
          for d in detectors for m in d["members"] for e in m["escapes"]])
    _tsv(os.path.join(data, "absorbers.tsv"),
         _header("Zandor mass attenuation of window, dead-layer and crystal elements",
                 ABSORBERS_NOTES),
         ["Z", "symbol", "energy_eV", "mu_cm2_g"],
         [[str(a["z"]), a["symbol"], e, mu] for a in absorbers for e, mu in a["attenuation"]])
    _tsv(os.path.join(data, "photoionisation.tsv"),
         _header("Zandor photoionisation cross sections", PHOTO_NOTES),
         ["Z", "symbol", "shell", "edge_eV", "energy_eV", "tau_cm2_g"],
         [[str(p["z"]), symbol[p["z"]], p["shell"], p["edge"], e, v]
          for p in photo for e, v in p["points"]])
    _tsv(os.path.join(data, "atomicweights.tsv"),
         _header("Zandor atomic weights", WEIGHTS_NOTES),
         ["Z", "symbol", "atomic_weight"],
         [[str(w["z"]), symbol[w["z"]], w["weight"]] for w in weights])
    _tsv(os.path.join(data, "sampleattenuation.tsv"),
         _header("Zandor mass attenuation of the sample elements", SAMPLE_NOTES),
         ["Z", "symbol", "energy_eV", "mu_cm2_g"],
         [[str(a["z"]), a["symbol"], e, mu] for a in samples for e, mu in a["attenuation"]])
    _write(os.path.join(gen, "tables.h"),
           _cpp_header(lines, edges, elements, version, absorbers, photo, samples))
    _write(os.path.join(gen, "linetable.cpp"), _cpp_lines(lines, version))
    _write(os.path.join(gen, "edgetable.cpp"), _cpp_edges(edges, version))
    _write(os.path.join(gen, "elementtable.cpp"), _cpp_elements(elements, version))
    _write(os.path.join(gen, "detectortable.cpp"), _cpp_detectors(detectors, version))
    _write(os.path.join(gen, "synthesistable.cpp"),
           _cpp_synthesis(absorbers, photo, weights, version))
    _write(os.path.join(gen, "sampletable.cpp"), _cpp_samples(samples, version))
    return report
