// Reading EMSA/MSA files.
#include "calibration.h"
#include "emsa.h"
#include "encoding.h"
#include "numbertext.h"
#include "readsupport.h"
#include "textscan.h"

#include <optional>
#include <cmath>
#include <string>
#include <vector>

namespace spectrum {

namespace {

using scan::Number;

// One "#NAME-units: value" line taken apart.
struct KeywordLine {
    std::string name; // in capitals; a user keyword ("##NAME") keeps one '#'
    std::string_view units;
    std::string_view value;
};

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || scan::isDigit(c) || c == '_' || c == '/' || c == '.';
}

// `line` starts with '#'.
KeywordLine splitKeyword(std::string_view line)
{
    KeywordLine k;
    std::string_view body = line.substr(1);
    if (!body.empty() && body[0] == '#') {
        k.name.push_back('#');
        body.remove_prefix(1);
    }
    const std::size_t colon = body.find(':');
    std::string_view field = colon == std::string_view::npos ? body : body.substr(0, colon);
    k.value = colon == std::string_view::npos ? std::string_view() : scan::trimAll(body.substr(colon + 1));
    field = scan::trim(field);
    std::size_t nameEnd = 0;
    while (nameEnd < field.size() && isNameChar(field[nameEnd]))
        ++nameEnd;
    k.name += scan::toUpper(field.substr(0, nameEnd));
    std::string_view units = scan::trim(field.substr(nameEnd));
    if (!units.empty() && units[0] == '-')
        units = scan::trim(units.substr(1));
    k.units = units;
    return k;
}

bool isKeywordLine(std::string_view trimmed) { return !trimmed.empty() && trimmed[0] == '#'; }

// A time in seconds from a value whose units the keyword field may give.
double seconds(double value, std::string_view units)
{
    return scan::equalsNoCase(units, "ms") ? value / 1000.0 : value;
}

class EmsaReader {
public:
    explicit EmsaReader(std::string_view bytes) : bytes_(bytes), lines_(bytes) {}

    Result<Spectrum> read();

private:
    std::optional<Error> keyword(const KeywordLine &k, std::size_t lineNumber);
    std::optional<Error> dataLine(std::string_view line, std::size_t lineNumber);
    std::optional<Error> finish();
    void warn(std::string text) { spectrum_.warnings.push_back(std::move(text)); }

    std::string_view bytes_;
    scan::Lines lines_;
    Spectrum spectrum_;

    enum class Part { Header, Data, Trailer } part_ = Part::Header;
    bool xy_ = false, sawDatatype_ = false, sawSpectrum_ = false, sawEnd_ = false;
    bool keV_ = false, channelUnits_ = false;
    std::optional<double> npoints_, xperchan_, offset_, choffset_, checksum_;
    std::size_t xperchanLine_ = 0;
    std::vector<double> values_; // one data line's numbers
    std::vector<double> xs_;     // the energies of an XY file
    std::string bad_;
};

Result<Spectrum> EmsaReader::read()
{
    spectrum_.format = Format::Emsa;
    std::string_view raw;
    while (lines_.next(raw)) {
        const std::string_view line = scan::trimAll(raw);
        const std::size_t number = lines_.number();
        if (part_ == Part::Data) {
            if (!isKeywordLine(line)) {
                if (!line.empty())
                    if (auto error = dataLine(line, number))
                        return *error;
                continue;
            }
            const KeywordLine k = splitKeyword(line);
            part_ = Part::Trailer;
            if (k.name == "ENDOFDATA") {
                sawEnd_ = true;
                continue;
            }
            warn("the data end at #" + k.name + " rather than #ENDOFDATA");
            if (auto error = keyword(k, number))
                return *error;
            continue;
        }
        if (line.empty())
            continue;
        if (isKeywordLine(line)) {
            if (auto error = keyword(splitKeyword(line), number))
                return *error;
            continue;
        }
        if (part_ == Part::Trailer) {
            warn("text after #ENDOFDATA is ignored");
            break;
        }
        // A header line that is no keyword: the data, if it is numbers.
        double first = 0.0;
        if (scan::leadingNumber(line, first) == Number::None)
            return Error::make(ErrorKind::EmsaNeither, {scan::quote(line)}, number);
        warn("the data start without a #SPECTRUM line");
        part_ = Part::Data;
        if (auto error = dataLine(line, number))
            return *error;
    }
    if (auto error = finish())
        return *error;
    return std::move(spectrum_);
}

std::optional<Error> EmsaReader::keyword(const KeywordLine &k, std::size_t lineNumber)
{
    const std::string &name = k.name;
    Metadata &meta = spectrum_.meta;
    double number = 0.0;
    const auto numeric = [&](std::optional<double> &target) -> std::optional<Error> {
        const Number n = scan::leadingNumber(k.value, number);
        if (n == Number::Read) {
            target = number;
            return std::nullopt;
        }
        return Error::make(ErrorKind::EmsaNotNumber, {name, scan::quote(k.value)}, lineNumber);
    };
    // A value the model can do without: left out, with a warning, when it
    // is no number.
    const auto optionalNumber = [&](std::optional<double> &target, double scale) {
        if (scan::leadingNumber(k.value, number) == Number::Read)
            target = number * scale;
        else if (!k.value.empty())
            warn("#" + name + " " + scan::quote(k.value) + " is no finite number and is left out");
    };

    if (name == "SPECTRUM") {
        if (part_ == Part::Trailer)
            return Error::make(ErrorKind::EmsaSecondSpectrum, {}, lineNumber);
        part_ = Part::Data;
        sawSpectrum_ = true;
        if (npoints_ && *npoints_ > 0 && *npoints_ <= double(MaxChannels))
            spectrum_.counts.reserve(std::size_t(*npoints_));
    } else if (name == "ENDOFDATA") {
        part_ = Part::Trailer;
        sawEnd_ = true;
    } else if (name == "TITLE") {
        const std::string text = encoding::toUtf8(k.value);
        if (!meta.title.empty() && !text.empty())
            meta.title += ' ';
        meta.title += text;
    } else if (name == "DATE") {
        meta.date = encoding::toUtf8(k.value);
    } else if (name == "TIME") {
        meta.time = encoding::toUtf8(k.value);
    } else if (name == "OWNER") {
        meta.owner = encoding::toUtf8(k.value);
    } else if (name == "SIGNALTYPE") {
        meta.signalType = encoding::toUtf8(k.value);
    } else if (name == "FORMAT") {
        if (!scan::containsNoCase(k.value, "EMSA"))
            warn("#FORMAT is " + scan::quote(k.value) + ", not the EMSA/MAS format");
    } else if (name == "VERSION") {
        // 1.0, TC202v1.0, TC202v2.0: the readings do not differ.
    } else if (name == "NPOINTS") {
        if (scan::leadingNumber(k.value, number) == Number::Read)
            npoints_ = number;
        else
            warn("#NPOINTS " + scan::quote(k.value) + " is no number");
    } else if (name == "NCOLUMNS") {
        if (scan::leadingNumber(k.value, number) != Number::Read || number < 1 || number > 5)
            warn("#NCOLUMNS should be 1 to 5, not " + scan::quote(k.value));
    } else if (name == "DATATYPE") {
        const std::string_view type = scan::trim(k.value);
        if (scan::equalsNoCase(type, "XY"))
            xy_ = true;
        else if (scan::equalsNoCase(type, "Y"))
            xy_ = false;
        else
            return Error::make(ErrorKind::EmsaDatatype, {scan::quote(type)}, lineNumber);
        sawDatatype_ = true;
    } else if (name == "XUNITS") {
        keV_ = scan::containsNoCase(k.value, "kev");
        const std::string_view units = scan::trim(k.value);
        channelUnits_ = scan::equalsNoCase(units, "channel") || scan::equalsNoCase(units, "channels") ||
                        scan::equalsNoCase(units, "ch");
    } else if (name == "XPERCHAN") {
        xperchanLine_ = lineNumber;
        return numeric(xperchan_);
    } else if (name == "OFFSET") {
        return numeric(offset_);
    } else if (name == "CHOFFSET") {
        return numeric(choffset_);
    } else if (name == "BEAMKV") {
        optionalNumber(meta.beam_kV, 1.0);
    } else if (name == "LIVETIME") {
        optionalNumber(meta.liveTime_s, seconds(1.0, k.units));
    } else if (name == "REALTIME") {
        optionalNumber(meta.realTime_s, seconds(1.0, k.units));
    } else if (name == "FWHMMNKA") {
        optionalNumber(meta.resolution.fwhmMnKa_eV, 1.0);
    } else if (name == "CHECKSUM") {
        if (scan::leadingNumber(k.value, number) == Number::Read)
            checksum_ = number;
        else
            warn("#CHECKSUM " + scan::quote(k.value) + " is no number");
    } else {
        meta.keywords.push_back({name, std::string(k.units), encoding::toUtf8(k.value)});
    }
    return std::nullopt;
}

std::optional<Error> EmsaReader::dataLine(std::string_view line, std::size_t lineNumber)
{
    values_.clear();
    // Enough to tell a line that holds too many channels.
    const std::size_t most = xy_ ? 2 * MaxChannels + 2 : MaxChannels + 1;
    const Number status = scan::appendValues(line, values_, bad_, most);
    if (status == Number::NotFinite)
        return Error::make(ErrorKind::CountsNotFinite, {bad_}, lineNumber);
    if (status == Number::None)
        return Error::make(ErrorKind::EmsaTextInData, {bad_}, lineNumber);
    std::vector<double> &counts = spectrum_.counts;
    if (xy_) {
        if (values_.size() % 2 != 0)
            return Error::make(ErrorKind::EmsaXyOdd, {std::to_string(values_.size())}, lineNumber);
        for (std::size_t i = 0; i < values_.size(); i += 2) {
            xs_.push_back(values_[i]);
            counts.push_back(values_[i + 1]);
        }
    } else {
        counts.insert(counts.end(), values_.begin(), values_.end());
    }
    if (counts.size() > MaxChannels)
        return Error::make(ErrorKind::TooManyChannels, {std::to_string(MaxChannels)}, lineNumber);
    return std::nullopt;
}

std::optional<Error> EmsaReader::finish()
{
    std::vector<double> &counts = spectrum_.counts;
    if (!sawSpectrum_ && counts.empty())
        return Error::make(ErrorKind::EmsaNoSpectrum);
    if (counts.empty())
        return Error::make(ErrorKind::EmsaNoCounts);
    if (!sawEnd_)
        warn("the file ends without #ENDOFDATA");
    if (!sawDatatype_)
        warn("no #DATATYPE: read as Y");
    if (npoints_ && *npoints_ != double(counts.size())) {
        warn("#NPOINTS is " + numberText(*npoints_) + " but the data hold " + std::to_string(counts.size()) +
             " channels; all are kept");
    }
    if (checksum_) {
        const std::uint64_t actual = emsaChecksum(bytes_);
        if (*checksum_ != double(actual)) {
            warn("#CHECKSUM is " + numberText(*checksum_) + " but the file sums to " + std::to_string(actual));
        }
    }
    noteNegativeCounts(spectrum_);

    // The calibration.
    if (channelUnits_)
        return std::nullopt;
    const double scale = keV_ ? 1000.0 : 1.0;
    if (xperchan_) {
        const double gain = *xperchan_ * scale;
        if (!(gain > 0.0) || !std::isfinite(gain))
            return Error::make(ErrorKind::EmsaXperchan, {}, xperchanLine_);
        double offset = 0.0;
        if (offset_)
            offset = *offset_ * scale;
        else if (choffset_)
            offset = -*choffset_ * gain;
        else
            warn("neither #OFFSET nor #CHOFFSET: the first channel is taken as 0 eV");
        if (!std::isfinite(offset))
            return Error::make(ErrorKind::EmsaOffset);
        spectrum_.calibration = Calibration{offset, gain};
        return std::nullopt;
    }
    if (xy_ && xs_.size() >= 2) {
        auto fit = fitChannelEnergies(xs_, scale);
        if (!fit)
            return Error::wrap(ErrorKind::EmsaNoCalibration, {}, fit.error());
        spectrum_.calibration = fit->calibration;
        warn("no #XPERCHAN: the calibration is fitted to the energies of the data");
        return std::nullopt;
    }
    warn("no #XPERCHAN: the spectrum is uncalibrated");
    return std::nullopt;
}

} // namespace

Result<Spectrum> readEmsa(std::string_view bytes)
{
    return EmsaReader(bytes).read();
}

std::uint64_t emsaChecksum(std::string_view bytes)
{
    std::uint64_t sum = 0;
    scan::Lines lines(bytes);
    std::string_view line;
    std::size_t start = 0;
    while (lines.next(line)) {
        const std::size_t end = lines.position();
        if (!scan::startsWithNoCase(scan::trimAll(line), "#CHECKSUM"))
            for (std::size_t i = start; i < end; ++i)
                sum += static_cast<unsigned char>(bytes[i]);
        start = end;
    }
    return sum;
}

} // namespace spectrum
