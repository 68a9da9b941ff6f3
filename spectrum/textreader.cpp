// Reading plain text spectra.
#include "calibration.h"
#include "encoding.h"
#include "numbertext.h"
#include "readsupport.h"
#include "text.h"
#include "textscan.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace spectrum {

namespace {

using scan::Number;

enum class Unit { Unknown, eV, keV, Channel };

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The unit a header names.
Unit unitNamed(std::string_view header)
{
    if (scan::containsNoCase(header, "kev"))
        return Unit::keV;
    for (std::size_t i = 0; i + 2 <= header.size(); ++i)
        if (scan::equalsNoCase(header.substr(i, 2), "ev") && (i == 0 || !isLetter(header[i - 1])) &&
            (i + 2 == header.size() || !isLetter(header[i + 2])))
            return Unit::eV;
    if (scan::startsWithNoCase(scan::trimAll(header), "channel") ||
        scan::startsWithNoCase(scan::trimAll(header), "#channel"))
        return Unit::Channel;
    return Unit::Unknown;
}

bool isComment(std::string_view line) { return !line.empty() && line[0] == '#'; }

// "1,5;200" with semicolons between values: the commas are decimal marks.
std::string_view decimalCommas(std::string_view line, std::string &scratch)
{
    scratch.assign(line);
    for (char &c : scratch)
        if (c == ',')
            c = '.';
        else if (c == ';')
            c = ' ';
    return scratch;
}

Error tooManyChannels(std::size_t line)
{
    return Error::make(ErrorKind::TooManyChannels, {std::to_string(MaxChannels)}, line);
}

Error badValue(Number status, const std::string &bad, std::size_t line)
{
    if (status == Number::NotFinite)
        return Error::make(ErrorKind::TextNotFinite, {bad}, line);
    return Error::make(ErrorKind::TextNotNumber, {bad}, line);
}

} // namespace

Result<Spectrum> readText(std::string_view bytes)
{
    Spectrum spectrum;
    spectrum.format = Format::Text;
    std::vector<double> &counts = spectrum.counts;
    std::vector<double> energies;
    std::vector<double> values;
    std::string bad, scratch;
    std::string_view header, lastComment;
    bool semicolons = false, started = false;

    scan::Lines lines(bytes);
    std::string_view raw;
    while (lines.next(raw)) {
        std::string_view line = scan::trimAll(raw);
        if (line.empty())
            continue;
        if (isComment(line)) {
            if (!started)
                lastComment = line;
            continue;
        }
        if (!started && line.find(';') != std::string_view::npos)
            semicolons = true;
        if (semicolons)
            line = decimalCommas(line, scratch);
        values.clear();
        const Number status = scan::appendValues(line, values, bad, 3);
        if (status != Number::Read) {
            if (!started && header.empty() && status == Number::None && values.empty()) {
                header = raw;
                continue;
            }
            return badValue(status, bad, lines.number());
        }
        if (values.size() != 2)
            return Error::make(values.size() < 2 ? ErrorKind::TextOneNumber : ErrorKind::TextMoreNumbers, {},
                               lines.number());
        started = true;
        if (counts.size() == MaxChannels)
            return tooManyChannels(lines.number());
        energies.push_back(values[0]);
        counts.push_back(values[1]);
    }
    if (counts.empty())
        return Error::make(header.empty() ? ErrorKind::TextNoData : ErrorKind::TextHeaderNoData);

    Unit unit = unitNamed(header);
    if (unit == Unit::Unknown && header.empty())
        unit = unitNamed(lastComment);
    if (unit == Unit::Channel) {
        noteNegativeCounts(spectrum);
        return spectrum;
    }
    if (unit == Unit::Unknown)
        unit = *std::max_element(energies.begin(), energies.end()) < 200.0 ? Unit::keV : Unit::eV;
    if (counts.size() < 2) {
        spectrum.warnings.push_back("one channel gives no gain: the spectrum is uncalibrated");
        noteNegativeCounts(spectrum);
        return spectrum;
    }
    const double scale = unit == Unit::keV ? 1000.0 : 1.0;
    auto fit = fitChannelEnergies(energies, scale);
    if (!fit)
        return Error::wrap(ErrorKind::TextNoCalibration, {}, fit.error());
    spectrum.calibration = fit->calibration;
    double worst = 0.0;
    for (double r : fit->residuals_eV)
        worst = std::max(worst, std::fabs(r));
    if (worst > 0.3 * fit->calibration.gain_eV)
        spectrum.warnings.push_back("the energies are not evenly spaced: the calibration is the straight line that "
                                    "fits them best");
    noteNegativeCounts(spectrum);
    return spectrum;
}

Result<Spectrum> readCounts(std::string_view bytes)
{
    Spectrum spectrum;
    spectrum.format = Format::Counts;
    Metadata &meta = spectrum.meta;
    std::vector<double> &counts = spectrum.counts;
    std::vector<double> values;
    std::string bad;

    std::string section;          // the .spe section we are in, "" outside any
    std::size_t sectionLine = 0;  // lines read within it
    std::optional<double> first, last;
    bool sawHeader = false;

    scan::Lines lines(bytes);
    std::string_view raw;
    while (lines.next(raw)) {
        const std::string_view line = scan::trimAll(raw);
        if (line.empty() || isComment(line))
            continue;
        if (line[0] == '$') {
            section = scan::toUpper(line);
            sectionLine = 0;
            continue;
        }
        ++sectionLine;
        if (!section.empty() && section != "$DATA:") {
            double a = 0.0, b = 0.0;
            if (section == "$SPEC_ID:" && sectionLine == 1) {
                meta.title = encoding::toUtf8(line);
            } else if (section == "$DATE_MEA:" && sectionLine == 1) {
                const std::size_t blank = line.find(' ');
                meta.date = encoding::toUtf8(line.substr(0, blank));
                if (blank != std::string_view::npos)
                    meta.time = encoding::toUtf8(scan::trimAll(line.substr(blank)));
            } else if (section == "$MEAS_TIM:" && sectionLine == 1) {
                values.clear();
                if (scan::appendValues(line, values, bad, 8) == Number::Read && values.size() >= 2) {
                    meta.liveTime_s = values[0];
                    meta.realTime_s = values[1];
                }
            } else if (section == "$ENER_FIT:" && sectionLine == 1) {
                values.clear();
                if (scan::appendValues(line, values, bad, 8) == Number::Read && values.size() >= 2) {
                    a = values[0], b = values[1];
                    if (b > 0.0)
                        spectrum.calibration = Calibration{a * 1000.0, b * 1000.0};
                }
            }
            continue;
        }
        values.clear();
        const Number status = scan::appendValues(line, values, bad, MaxChannels + 1);
        if (status != Number::Read) {
            if (section.empty() && counts.empty() && !sawHeader && status == Number::None && values.empty()) {
                sawHeader = true;
                continue;
            }
            return badValue(status, bad, lines.number());
        }
        if (section == "$DATA:" && sectionLine == 1 && values.size() == 2 && !first) {
            first = values[0];
            last = values[1];
            if (*last - *first + 1 > double(MaxChannels))
                return tooManyChannels(lines.number());
            if (*last >= *first)
                counts.reserve(std::size_t(*last - *first + 1));
            continue;
        }
        if (counts.size() + values.size() > MaxChannels)
            return tooManyChannels(lines.number());
        counts.insert(counts.end(), values.begin(), values.end());
    }
    if (counts.empty())
        return Error::make(sawHeader || first ? ErrorKind::TextHeaderNoData : ErrorKind::TextNoData);
    if (first && *last - *first + 1 != double(counts.size()))
        spectrum.warnings.push_back("$DATA announces channels " + numberText(*first) + " to " + numberText(*last) +
                                    " but holds " +
                                    std::to_string(counts.size()) + " counts; all are kept");
    noteNegativeCounts(spectrum);
    return spectrum;
}

} // namespace spectrum
