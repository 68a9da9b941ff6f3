// Reading Bruker .spx files.
#include "encoding.h"
#include "numbertext.h"
#include "readsupport.h"
#include "spx.h"
#include "textscan.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace spectrum {

namespace {

using scan::Number;

enum class TextEncoding { Utf8, Windows1252, Unsupported };

// The encoding named in the XML declaration, if the file has one.
std::string_view declaredEncoding(std::string_view bytes)
{
    const std::string_view start = bytes.substr(0, 200);
    if (!start.starts_with("<?xml"))
        return {};
    const std::size_t close = start.find("?>");
    const std::string_view declaration = start.substr(0, close);
    const std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return {};
    std::size_t i = at + 8;
    while (i < declaration.size() && (scan::isBlank(declaration[i]) || declaration[i] == '='))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return {};
    const char quote = declaration[i++];
    const std::size_t end = declaration.find(quote, i);
    if (end == std::string_view::npos)
        return {};
    return declaration.substr(i, end - i);
}

TextEncoding encodingOf(std::string_view name)
{
    if (name.empty() || scan::equalsNoCase(name, "UTF-8") || scan::equalsNoCase(name, "UTF8"))
        return TextEncoding::Utf8;
    for (std::string_view single : {"WINDOWS-1252", "CP1252", "ISO-8859-1", "ISO8859-1", "LATIN1", "LATIN-1",
                                    "US-ASCII", "ASCII"})
        if (scan::equalsNoCase(name, single))
            return TextEncoding::Windows1252;
    return TextEncoding::Unsupported;
}

// The 1-based line of a byte offset.
std::size_t lineAt(std::string_view bytes, std::ptrdiff_t offset)
{
    const std::size_t end = std::min(bytes.size(), std::size_t(std::max<std::ptrdiff_t>(offset, 0)));
    return 1 + std::size_t(std::count(bytes.begin(), bytes.begin() + std::ptrdiff_t(end), '\n'));
}

pugi::xml_node findInstance(pugi::xml_node under, const char *type)
{
    return under.find_node([type](pugi::xml_node node) {
        return std::strcmp(node.name(), "ClassInstance") == 0 &&
               std::strcmp(node.attribute("Type").value(), type) == 0;
    });
}

class SpxReader {
public:
    explicit SpxReader(std::string_view bytes) : bytes_(bytes) {}
    Result<Spectrum> read();

private:
    std::string text(std::string_view value) const
    {
        if (encoding_ == TextEncoding::Windows1252)
            return encoding::windows1252ToUtf8(value);
        return encoding::toUtf8(value); // UTF-8 declared, and wrong: read as Windows-1252
    }
    std::optional<double> number(pugi::xml_node parent, const char *name, Spectrum &spectrum) const;

    std::string_view bytes_;
    TextEncoding encoding_ = TextEncoding::Utf8;
};

std::optional<double> SpxReader::number(pugi::xml_node parent, const char *name, Spectrum &spectrum) const
{
    const pugi::xml_node child = parent.child(name);
    if (!child)
        return std::nullopt;
    double value = 0.0;
    // Bruker writes the C form; a comma as decimal mark turns up in files
    // edited by hand in some locales.
    std::string written(scan::trimAll(child.text().get()));
    if (scan::parseNumber(written, value) == Number::Read)
        return value;
    std::replace(written.begin(), written.end(), ',', '.');
    if (scan::parseNumber(written, value) == Number::Read) {
        spectrum.warnings.push_back(std::string(name) + " has a decimal comma");
        return value;
    }
    spectrum.warnings.push_back(std::string(name) + " " + scan::quote(child.text().get()) + " is no number");
    return std::nullopt;
}

Result<Spectrum> SpxReader::read()
{
    const std::string_view declared = declaredEncoding(bytes_);
    encoding_ = encodingOf(declared);
    if (encoding_ == TextEncoding::Unsupported)
        return Error::make(ErrorKind::SpxEncoding, {scan::quote(declared)}, 1);

    pugi::xml_document document;
    // Parsed as bytes: pugixml leaves 8-bit text alone, and the texts are
    // decoded afterwards from the declared encoding.
    const pugi::xml_parse_result parsed = document.load_buffer(
        bytes_.data(), bytes_.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed)
        return Error::make(ErrorKind::XmlNotWellFormed, {parsed.description()}, lineAt(bytes_, parsed.offset));

    const pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), "TRTSpectrum") != 0)
        return Error::make(ErrorKind::SpxNotBruker, {scan::quote(root.name())});
    const pugi::xml_node instance = findInstance(root, "TRTSpectrum");
    if (!instance)
        return Error::make(ErrorKind::SpxNoSpectrum);
    const pugi::xml_node channels = instance.child("Channels") ? instance.child("Channels")
                                                               : instance.find_node([](pugi::xml_node n) {
                                                                     return std::strcmp(n.name(), "Channels") == 0;
                                                                 });
    if (!channels)
        return Error::make(ErrorKind::SpxNoChannels);

    Spectrum spectrum;
    spectrum.format = Format::Spx;
    Metadata &meta = spectrum.meta;
    meta.title = text(instance.attribute("Name").value());
    meta.signalType = "EDS";

    // The counts.
    const std::string_view list = channels.text().get();
    std::vector<double> &counts = spectrum.counts;
    std::string bad;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string_view::npos)
            end = list.size();
        const std::string_view item = scan::trimAll(list.substr(start, end - start));
        start = end + 1;
        if (item.empty()) {
            if (end == list.size())
                break; // a trailing comma
            return Error::make(ErrorKind::SpxEmptyValue);
        }
        double value = 0.0;
        const Number n = scan::parseNumber(item, value);
        if (n == Number::NotFinite)
            return Error::make(ErrorKind::CountsNotFinite, {scan::quote(item)});
        if (n == Number::None)
            return Error::make(ErrorKind::SpxTextInChannels, {scan::quote(item)});
        if (counts.size() == MaxChannels)
            return Error::make(ErrorKind::TooManyChannels, {std::to_string(MaxChannels)});
        counts.push_back(value);
    }
    if (counts.empty())
        return Error::make(ErrorKind::SpxChannelsEmpty);

    // The headers.
    if (const pugi::xml_node header = findInstance(instance, "TRTSpectrumHeader")) {
        const auto declaredCount = number(header, "ChannelCount", spectrum);
        if (declaredCount && *declaredCount != double(counts.size()))
            spectrum.warnings.push_back("ChannelCount is " + numberText(*declaredCount) +
                                        " but Channels holds " + std::to_string(counts.size()) + " counts; all are kept");
        const auto abs = number(header, "CalibAbs", spectrum);
        const auto lin = number(header, "CalibLin", spectrum);
        if (lin) {
            if (!(*lin > 0.0))
                return Error::make(ErrorKind::SpxGain);
            spectrum.calibration = Calibration{abs.value_or(0.0) * 1000.0, *lin * 1000.0};
            if (!abs)
                spectrum.warnings.push_back("no CalibAbs: the first channel is taken as 0 eV");
        } else {
            spectrum.warnings.push_back("no CalibLin: the spectrum is uncalibrated");
        }
        meta.date = text(scan::trimAll(header.child("Date").text().get()));
        meta.time = text(scan::trimAll(header.child("Time").text().get()));
        meta.resolution.sigmaAbs_keV2 = number(header, "SigmaAbs", spectrum);
        meta.resolution.sigmaLin_keV = number(header, "SigmaLin", spectrum);
    } else {
        spectrum.warnings.push_back("no TRTSpectrumHeader: the spectrum is uncalibrated");
    }
    if (const pugi::xml_node hardware = findInstance(instance, "TRTSpectrumHardwareHeader")) {
        if (const auto real = number(hardware, "RealTime", spectrum))
            meta.realTime_s = *real / 1000.0;
        if (const auto live = number(hardware, "LifeTime", spectrum))
            meta.liveTime_s = *live / 1000.0;
    }
    if (const pugi::xml_node esma = findInstance(instance, "TRTESMAHeader"))
        meta.beam_kV = number(esma, "PrimaryEnergy", spectrum);

    noteNegativeCounts(spectrum);
    return spectrum;
}

} // namespace

Result<Spectrum> readSpx(std::string_view bytes)
{
    return SpxReader(bytes).read();
}

} // namespace spectrum
