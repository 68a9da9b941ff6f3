#include "bcfheader.h"

#include "spectrum/encoding.h"
#include "spectrum/spx.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace image::bcf {

namespace {

std::string_view trim(std::string_view text)
{
    while (!text.empty() && std::strchr(" \t\r\n", text.front()))
        text.remove_prefix(1);
    while (!text.empty() && std::strchr(" \t\r\n", text.back()))
        text.remove_suffix(1);
    return text;
}

// A number as Bruker writes it, in C form, or with a decimal comma as some
// locales leave it.
std::optional<double> parseNumber(std::string_view text)
{
    std::string written(trim(text));
    if (written.empty())
        return std::nullopt;
    for (int pass = 0; pass < 2; ++pass) {
        double value = 0;
        const char *begin = written.data();
        if (*begin == '+')
            ++begin;
        const auto [end, ec] = std::from_chars(begin, written.data() + written.size(), value);
        if (ec == std::errc() && end == written.data() + written.size() && std::isfinite(value))
            return value;
        std::replace(written.begin(), written.end(), ',', '.');
    }
    return std::nullopt;
}

std::optional<double> childNumber(pugi::xml_node parent, const char *name)
{
    const pugi::xml_node child = parent.child(name);
    return child ? parseNumber(child.text().get()) : std::nullopt;
}

pugi::xml_node instanceOf(pugi::xml_node parent, const char *type)
{
    return parent.find_child_by_attribute("ClassInstance", "Type", type);
}

// The encoding named in the XML declaration ("WINDOWS-1252"), or empty.
std::string declaredEncoding(std::string_view xml)
{
    const std::string_view start = xml.substr(0, std::min<std::size_t>(xml.size(), 200));
    if (!start.starts_with("<?xml"))
        return {};
    const std::string_view declaration = start.substr(0, start.find("?>"));
    const std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return {};
    const std::size_t open = declaration.find_first_of("\"'", at);
    if (open == std::string_view::npos)
        return {};
    const std::size_t close = declaration.find(declaration[open], open + 1);
    if (close == std::string_view::npos)
        return {};
    return std::string(declaration.substr(open + 1, close - open - 1));
}

bool isUtf8Name(std::string_view name)
{
    std::string upper(name);
    for (char &c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return upper.empty() || upper == "UTF-8" || upper == "UTF8";
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void *data, std::size_t size) override { text.append(static_cast<const char *>(data), size); }
};

} // namespace

Result<XmlHeader> parseHeaderXml(std::string_view xml, std::string_view dataset)
{
    pugi::xml_document document;
    // Parsed as bytes: pugixml leaves 8-bit text alone; the texts are
    // decoded from the declared encoding afterwards.
    const pugi::xml_parse_result parsed =
        document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed)
        return Error::make(ErrorKind::BcfHeaderXml, {parsed.description()});
    const pugi::xml_node database = document.find_node([](pugi::xml_node node) {
        return std::strcmp(node.name(), "ClassInstance") == 0 &&
               std::strcmp(node.attribute("Type").value(), "TRTSpectrumDatabase") == 0;
    });
    if (!database)
        return Error::make(ErrorKind::BcfNoDatabase);

    const std::string encoding = declaredEncoding(xml);
    const bool utf8 = isUtf8Name(encoding);
    const auto text = [utf8](std::string_view value) {
        value = trim(value);
        return utf8 ? spectrum::encoding::toUtf8(value) : spectrum::encoding::windows1252ToUtf8(value);
    };

    XmlHeader out;
    Header &h = out.header;
    h.format = Format::Bcf;
    Metadata &meta = h.meta;
    meta.title = text(database.attribute("Name").value());
    meta.signalType = "EDS";
    if (const pugi::xml_node head = database.child("Header")) {
        meta.date = text(head.child("Date").text().get());
        meta.time = text(head.child("Time").text().get());
        out.version = int(childNumber(head, "FileVersion").value_or(0));
    }

    // The map's sum spectrum: a TRTSpectrum like an spx file's, read by the
    // spx reader.
    const pugi::xml_node data = database.child(std::string(dataset).c_str());
    const pugi::xml_node sum = instanceOf(data, "TRTSpectrum");
    if (!sum)
        return Error::make(ErrorKind::BcfNoDataset, {std::string(dataset)});
    StringWriter writer;
    writer.text = "<?xml version=\"1.0\" encoding=\"" + (encoding.empty() ? std::string("UTF-8") : encoding) +
                  "\"?><TRTSpectrum>";
    sum.print(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    writer.text += "</TRTSpectrum>";
    auto spectrum = spectrum::readSpx(writer.text);
    if (!spectrum)
        return Error::wrap(ErrorKind::BcfSumSpectrum, {}, spectrum.error());
    h.channels = spectrum->channels();
    h.calibration = spectrum->calibration;
    meta.liveTime_s = spectrum->meta.liveTime_s;
    meta.realTime_s = spectrum->meta.realTime_s;
    meta.beam_kV = spectrum->meta.beam_kV;
    meta.resolution = spectrum->meta.resolution;
    for (const std::string &warning : spectrum->warnings)
        h.warnings.push_back("the map's sum spectrum: " + warning);

    if (const pugi::xml_node sem = instanceOf(database, "TRTSEMData")) {
        if (const auto hv = childNumber(sem, "HV"); hv && *hv > 0)
            meta.beam_kV = *hv;
        const auto dx = childNumber(sem, "DX");
        const auto dy = childNumber(sem, "DY");
        if (dx && dy && *dx > 0 && *dy > 0) {
            meta.pixelWidth = *dx;
            meta.pixelHeight = *dy;
            meta.pixelUnit = "µm";
        }
    }

    // The map's own image gives its size; overview images have a Name.
    for (pugi::xml_node image = database.child("ClassInstance"); image; image = image.next_sibling("ClassInstance")) {
        if (std::strcmp(image.attribute("Type").value(), "TRTImageData") != 0 || *image.attribute("Name").value())
            continue;
        const auto width = childNumber(image, "Width");
        const auto height = childNumber(image, "Height");
        if (width && height && *width >= 1 && *height >= 1 && *width <= 1e9 && *height <= 1e9) {
            out.imageWidth = std::size_t(*width);
            out.imageHeight = std::size_t(*height);
        }
        break;
    }

    // The real time: every line scan took the pixel time times the
    // averaging for each pixel of the line.
    const pugi::xml_node dsp = instanceOf(database, "TRTDSPConfiguration");
    const auto pixelTime = childNumber(dsp, "PixelTime");
    const auto pixelAverage = childNumber(dsp, "PixelAverage");
    const auto lineAverage = childNumber(dsp, "LineAverage");
    if (const pugi::xml_node counter = database.child("LineCounter"); counter && pixelTime && pixelAverage &&
                                                                      lineAverage) {
        double scans = 0;
        std::string_view list = counter.text().get();
        bool good = !trim(list).empty();
        while (good && !list.empty()) {
            const std::size_t comma = list.find(',');
            const auto value = parseNumber(list.substr(0, comma));
            good = value && *value >= 0;
            scans += value.value_or(0);
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        }
        if (good) {
            out.lineScans = scans;
            out.lineTimePerPixel_s = *lineAverage * *pixelAverage * *pixelTime * 1e-6;
        }
    }
    return out;
}

} // namespace image::bcf
