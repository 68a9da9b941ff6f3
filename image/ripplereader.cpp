// Reading Lispix ripple (.rpl, .raw) spectrum images.
#include "ripple.h"

#include "spectrum/encoding.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

namespace image {

namespace {

std::string_view trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && lower(text.substr(0, prefix.size())) == prefix;
}

std::string quote(std::string_view text)
{
    std::string out = "'";
    for (char c : text.substr(0, 40))
        out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
    return out + (text.size() > 40 ? "...'" : "'");
}

using Keys = std::map<std::string, std::string, std::less<>>;

// "(KEY VALUE)" and "(MLX::key : value)" groups.
void parenGroups(std::string_view text, Keys &keys)
{
    std::size_t open = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') {
            open = i;
        } else if (text[i] == ')' && open != std::string_view::npos) {
            std::string_view group = trim(text.substr(open + 1, i - open - 1));
            open = std::string_view::npos;
            if (startsWithNoCase(group, "mlx::"))
                group.remove_prefix(5);
            const std::size_t end = group.find_first_of(" \t:");
            const std::string key = lower(group.substr(0, end));
            std::string_view value = end == std::string_view::npos ? std::string_view() : group.substr(end);
            value = trim(value);
            while (!value.empty() && (value.front() == ':' || std::isspace(static_cast<unsigned char>(value.front()))))
                value.remove_prefix(1);
            if (!key.empty())
                keys[key] = std::string(value);
        }
    }
}

// The key-value pairs of a .rpl text, keys in lower case.
Keys keyValues(std::string_view text)
{
    Keys keys;
    std::string cleaned; // without comments
    cleaned.reserve(text.size());
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        line = line.substr(0, line.find(';'));
        cleaned.append(line);
        cleaned += '\n';
    }
    const std::string_view all = trim(cleaned);
    if (!all.empty() && all.front() == '(') {
        parenGroups(all, keys);
        return keys;
    }
    start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view line = trim(all.substr(start, end - start));
        start = end + 1;
        if (line.empty())
            continue;
        std::size_t split = line.find('\t');
        if (split == std::string_view::npos)
            split = line.find_first_of(" ");
        if (split == std::string_view::npos)
            continue;
        keys[lower(trim(line.substr(0, split)))] = std::string(trim(line.substr(split + 1)));
    }
    return keys;
}

class Fields {
public:
    explicit Fields(const Keys &keys) : keys_(keys) {}

    const std::string *get(std::string_view key) const
    {
        const auto it = keys_.find(key);
        return it == keys_.end() ? nullptr : &it->second;
    }

    // A whole number; refused, naming the key, when it is missing (and
    // required) or not a whole number.
    Result<std::optional<std::uint64_t>> whole(std::string_view key, bool required) const
    {
        const std::string *value = get(key);
        if (!value) {
            if (required)
                return Error::make(ErrorKind::RplMissing, {std::string(key)});
            return std::optional<std::uint64_t>();
        }
        std::uint64_t n = 0;
        const std::string_view text = trim(*value);
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size())
            return Error::make(ErrorKind::RplNotWhole, {std::string(key), quote(*value)});
        return std::optional<std::uint64_t>(n);
    }

    // A number, or nothing (with a warning when it is there but not one).
    std::optional<double> number(std::string_view key, std::vector<std::string> &warnings) const
    {
        const std::string *value = get(key);
        if (!value)
            return std::nullopt;
        std::string text(trim(*value));
        std::replace(text.begin(), text.end(), ',', '.');
        double n = 0;
        const char *begin = text.data() + (text.starts_with('+') ? 1 : 0);
        const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), n);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(n)) {
            warnings.push_back(std::string(key) + " " + quote(*value) + " is not a number; it is ignored");
            return std::nullopt;
        }
        return n;
    }

    std::string word(std::string_view key) const
    {
        const std::string *value = get(key);
        return value ? lower(trim(*value)) : std::string();
    }

    std::string text(std::string_view key) const
    {
        const std::string *value = get(key);
        return value ? spectrum::encoding::toUtf8(trim(*value)) : std::string();
    }

private:
    const Keys &keys_;
};

// "the .rpl header's KEY is VALUE, not A, B or C".
Error badChoice(std::string_view key, const std::string &value, std::string_view a, std::string_view b,
                std::string_view c)
{
    return Error::make(ErrorKind::RplChoice,
                       {std::string(key), quote(value), std::string(a), std::string(b), std::string(c)});
}

// The factor from a unit of energy to eV, or nothing for another unit.
std::optional<double> toEv(const std::string &unit)
{
    if (unit.empty() || unit == "ev")
        return 1.0;
    if (unit == "kev")
        return 1000.0;
    return std::nullopt;
}

class RippleSource final : public PixelSource {
public:
    RippleSource(RippleHeader ripple, std::shared_ptr<const ByteSource> raw)
        : ripple_(std::move(ripple)), raw_(std::move(raw))
    {
    }

    const Header &header() const override { return ripple_.header; }

    std::optional<Error> read(std::size_t first, std::size_t count, std::span<std::byte> out) const override
    {
        const Header &h = ripple_.header;
        if (auto error = checkRange(first, count, out.size()))
            return error;
        const std::size_t bytes = sampleBytes(h.type);
        if (ripple_.order == RecordOrder::Image && h.channels > 1) {
            // Each channel's image lies in one piece: read each channel's
            // share of the pixels and put it in place.
            std::vector<std::byte> plane(count * bytes);
            for (std::size_t c = 0; c < h.channels; ++c) {
                const std::uint64_t at = ripple_.offset + (std::uint64_t(c) * h.pixels() + first) * bytes;
                if (auto error = raw_->read(at, plane))
                    return Error::wrap(ErrorKind::RplRaw, {}, *error);
                for (std::size_t p = 0; p < count; ++p)
                    std::memcpy(out.data() + (p * h.channels + c) * bytes, plane.data() + p * bytes, bytes);
            }
        } else {
            const std::uint64_t at = ripple_.offset + std::uint64_t(first) * h.pixelBytes();
            if (auto error = raw_->read(at, out))
                return Error::wrap(ErrorKind::RplRaw, {}, *error);
        }
        if (bytes > 1 && ripple_.bigEndian != (std::endian::native == std::endian::big))
            for (std::size_t i = 0; i < out.size(); i += bytes)
                std::reverse(out.data() + i, out.data() + i + bytes);
        return std::nullopt;
    }

private:
    RippleHeader ripple_;
    std::shared_ptr<const ByteSource> raw_;
};

} // namespace

Result<RippleHeader> parseRipple(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos)
        return Error::make(ErrorKind::RplBinary);
    const Keys keys = keyValues(text);
    const Fields f(keys);
    RippleHeader out;
    Header &h = out.header;
    h.format = Format::Ripple;

    std::uint64_t size[3] = {};
    const char *names[3] = {"width", "height", "depth"};
    for (int i = 0; i < 3; ++i) {
        auto value = f.whole(names[i], true);
        if (!value)
            return value.error();
        size[i] = *value.value();
    }
    if (auto bad = checkSize(std::size_t(std::min<std::uint64_t>(size[0], MaxSide + 1)),
                             std::size_t(std::min<std::uint64_t>(size[1], MaxSide + 1)),
                             std::size_t(std::min<std::uint64_t>(size[2], MaxChannels + 1))))
        return Error::wrap(ErrorKind::RplDescribes, {}, *bad);
    h.width = std::size_t(size[0]);
    h.height = std::size_t(size[1]);
    h.channels = std::size_t(size[2]);
    auto offset = f.whole("offset", false);
    if (!offset)
        return offset.error();
    out.offset = offset->value_or(0);

    // The numbers' type.
    const std::string dataType = f.word("data-type");
    if (!f.get("data-type"))
        return Error::make(ErrorKind::RplNoDataType);
    auto length = f.whole("data-length", true);
    if (!length)
        return length.error();
    const std::uint64_t bytes = *length.value();
    if (bytes != 1 && bytes != 2 && bytes != 4 && bytes != 8)
        return Error::make(ErrorKind::RplDataLength, {std::to_string(bytes)});
    if (dataType == "unsigned")
        h.type = bytes == 1 ? SampleType::U8 : bytes == 2 ? SampleType::U16 : bytes == 4 ? SampleType::U32 : SampleType::U64;
    else if (dataType == "signed")
        h.type = bytes == 1 ? SampleType::I8 : bytes == 2 ? SampleType::I16 : bytes == 4 ? SampleType::I32 : SampleType::I64;
    else if (dataType == "float") {
        if (bytes < 4)
            return Error::make(ErrorKind::RplFloat, {std::to_string(bytes)});
        h.type = bytes == 4 ? SampleType::F32 : SampleType::F64;
    } else
        return badChoice("data-type", *f.get("data-type"), "signed", "unsigned", "float");

    const std::string order = f.word("byte-order");
    if (order == "big-endian")
        out.bigEndian = true;
    else if (order == "little-endian")
        out.bigEndian = false;
    else if (order == "dont-care" || (order.empty() && bytes == 1)) {
        if (bytes > 1)
            h.warnings.push_back("byte-order is dont-care for numbers of " + std::to_string(bytes) +
                                 " bytes; they are read in this machine's order");
        out.bigEndian = std::endian::native == std::endian::big;
    } else if (order.empty())
        return Error::make(ErrorKind::RplNoByteOrder, {std::to_string(bytes)});
    else
        return badChoice("byte-order", *f.get("byte-order"), "little-endian", "big-endian", "dont-care");

    const std::string recordBy = f.word("record-by");
    if (recordBy == "vector")
        out.order = RecordOrder::Vector;
    else if (recordBy == "image")
        out.order = RecordOrder::Image;
    else if (recordBy == "dont-care" || (recordBy.empty() && h.channels == 1)) {
        if (h.channels > 1)
            return Error::make(ErrorKind::RplDontCare, {std::to_string(h.channels)});
        out.order = RecordOrder::DontCare;
    } else if (recordBy.empty())
        return Error::make(ErrorKind::RplNoRecordBy);
    else
        return badChoice("record-by", *f.get("record-by"), "vector", "image", "dont-care");

    // Calibration.
    std::vector<std::string> &warnings = h.warnings;
    const std::string units = f.word("depth-units");
    const std::optional<double> perUnit = toEv(units);
    const auto depthScale = f.number("depth-scale", warnings);
    const auto evPerChannel = f.number("ev-per-chan", warnings);
    const auto depthOrigin = f.number("depth-origin", warnings);
    std::optional<double> gain;
    if (depthScale && perUnit)
        gain = *depthScale * *perUnit;
    else if (evPerChannel)
        gain = *evPerChannel;
    if (depthScale && !perUnit && !evPerChannel)
        warnings.push_back("depth-units " + quote(units) + " is no unit of energy: the spectra are uncalibrated");
    if (gain) {
        if (*gain > 0) {
            double offsetEv = 0;
            if (depthOrigin) {
                if (perUnit)
                    offsetEv = *depthOrigin * *perUnit;
                else
                    warnings.push_back("depth-origin is in " + quote(units) + ", no unit of energy: it is ignored");
            }
            h.calibration = spectrum::Calibration{offsetEv, *gain};
        } else {
            warnings.push_back("a gain of " + std::to_string(*gain) + " eV per channel: the spectra are uncalibrated");
        }
    }

    Metadata &meta = h.meta;
    meta.beam_kV = f.number("beam-energy", warnings);
    meta.pixelLiveTime_s = f.number("live-time", warnings);
    if (auto fwhm = f.number("detector-peak-width-ev", warnings); fwhm && *fwhm > 0)
        meta.resolution.fwhmMnKa_eV = fwhm;
    else if (auto resolution = f.number("energy-resolution", warnings); resolution && *resolution > 0)
        meta.resolution.fwhmMnKa_eV = resolution;
    const auto widthScale = f.number("width-scale", warnings);
    const auto heightScale = f.number("height-scale", warnings);
    if (widthScale && heightScale && *widthScale > 0 && *heightScale > 0) {
        meta.pixelWidth = widthScale;
        meta.pixelHeight = heightScale;
        meta.pixelUnit = f.text("width-units");
    }
    meta.title = f.text("title");
    meta.date = f.text("date");
    meta.time = f.text("time");
    meta.signalType = f.text("signal");
    return out;
}

bool looksLikeRipple(std::string_view head)
{
    head = head.substr(0, 64 * 1024);
    if (head.find('\0') != std::string_view::npos)
        return false;
    const Keys keys = keyValues(head);
    return keys.contains("width") && keys.contains("height") && keys.contains("depth");
}

Result<std::shared_ptr<const PixelSource>> openRipple(std::string_view rplText, std::shared_ptr<const ByteSource> raw)
{
    auto parsed = parseRipple(rplText);
    if (!parsed)
        return parsed.error();
    const Header &h = parsed->header;
    const std::uint64_t need = parsed->offset + h.decodedBytes();
    if (parsed->offset > raw->size() || raw->size() - parsed->offset < h.decodedBytes())
        return Error::make(ErrorKind::RawSize, {std::to_string(raw->size()), std::to_string(need),
                                                std::to_string(parsed->offset), std::to_string(h.width),
                                                std::to_string(h.height), std::to_string(h.channels),
                                                std::to_string(sampleBytes(h.type))});
    if (raw->size() > need)
        parsed->header.warnings.push_back("the .raw file holds " + std::to_string(raw->size() - need) +
                                          " bytes more than the .rpl header describes; they are ignored");
    return std::shared_ptr<const PixelSource>(std::make_shared<RippleSource>(std::move(parsed.value()), std::move(raw)));
}

} // namespace image
