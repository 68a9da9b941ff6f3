#include "bcfwriter.h"

#include "sfswriter.h"

#include "xray/detector.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace synth {

namespace {

constexpr std::size_t DataHeaderBytes = 0x1A0;

void put16(std::string &out, std::uint16_t v)
{
    out += char(v & 0xFF);
    out += char(v >> 8);
}
void put32(std::string &out, std::uint32_t v)
{
    put16(out, std::uint16_t(v & 0xFFFF));
    put16(out, std::uint16_t(v >> 16));
}
void putBytes(std::string &out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}
void set32(std::string &out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

std::string number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string xmlEscaped(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string base64(const std::string &bytes)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t a = std::uint8_t(bytes[i]);
        const std::uint32_t b = i + 1 < bytes.size() ? std::uint8_t(bytes[i + 1]) : 0;
        const std::uint32_t c = i + 2 < bytes.size() ? std::uint8_t(bytes[i + 2]) : 0;
        const std::uint32_t n = a << 16 | b << 8 | c;
        out += digits[n >> 18];
        out += digits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return out;
}

std::string deflated(const std::string &bytes)
{
    uLongf size = compressBound(uLong(bytes.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(bytes.data()),
              uLong(bytes.size()), Z_DEFAULT_COMPRESSION);
    out.resize(size);
    return out;
}

// The 22 bytes before a record's data.
std::string recordHeader(std::uint32_t x, std::size_t chan1, std::size_t chan2, std::uint16_t packing,
                         std::uint16_t pulses, std::uint32_t dataBytes)
{
    std::string out;
    put32(out, x);
    put16(out, std::uint16_t(std::min<std::size_t>(chan1, 0xFFFF)));
    put16(out, std::uint16_t(std::min<std::size_t>(chan2, 0xFFFF)));
    put32(out, 0xC0000); // as Esprit writes it
    put16(out, packing);
    put16(out, std::uint16_t(dataBytes & 0xFFFF));
    put16(out, pulses);
    put32(out, dataBytes);
    return out;
}

std::string packedRecord(std::uint32_t x, std::span<const std::uint32_t> counts, bool extraPulses)
{
    std::vector<std::uint64_t> c(counts.begin(), counts.end());
    std::vector<std::uint16_t> extra;
    if (extraPulses)
        for (std::size_t ch = 0; ch < c.size() && ch < 0x10000 && extra.size() < 8; ++ch)
            if (c[ch] > 0) {
                --c[ch];
                extra.push_back(std::uint16_t(ch));
            }
    std::size_t covered = c.size();
    while (covered > 0 && c[covered - 1] == 0)
        --covered;
    std::string groups;
    for (std::size_t i = 0; i < covered;) {
        std::size_t j = i;
        if (c[i] == 0) {
            while (j < covered && j - i < 255 && c[j] == 0)
                ++j;
            groups += char(0);
            groups += char(j - i);
            i = j;
            continue;
        }
        while (j < covered && j - i < 255 && c[j] != 0)
            ++j;
        const std::uint64_t low = *std::min_element(c.begin() + std::ptrdiff_t(i), c.begin() + std::ptrdiff_t(j));
        const std::uint64_t high = *std::max_element(c.begin() + std::ptrdiff_t(i), c.begin() + std::ptrdiff_t(j));
        int width = 8;
        for (int w : {1, 2, 4}) {
            const std::uint64_t valueLimit = w == 1 ? 15 : w == 2 ? 255 : 65535;
            if (high - low <= valueLimit && low < (std::uint64_t(1) << (8 * w))) {
                width = w;
                break;
            }
        }
        groups += char(width);
        groups += char(j - i);
        putBytes(groups, low, width);
        if (width == 1) {
            for (std::size_t k = i; k < j; k += 2) {
                const unsigned lowNibble = unsigned(c[k] - low);
                const unsigned highNibble = k + 1 < j ? unsigned(c[k + 1] - low) : 0;
                groups += char(lowNibble | highNibble << 4);
            }
        } else {
            for (std::size_t k = i; k < j; ++k)
                putBytes(groups, c[k] - low, width / 2);
        }
        i = j;
    }
    std::size_t chan1 = covered;
    for (std::uint16_t ch : extra)
        chan1 = std::max<std::size_t>(chan1, ch + 1u);
    const std::uint32_t dataBytes = std::uint32_t(groups.size() + 4);
    std::string out = recordHeader(x, chan1, covered, 2, std::uint16_t(extra.size()), dataBytes);
    out += groups;
    put32(out, std::uint32_t(2 * extra.size()));
    for (std::uint16_t ch : extra)
        put16(out, ch);
    return out;
}

} // namespace

std::string bcfRecord(std::uint32_t x, std::span<const std::uint32_t> counts, BcfPacking packing, bool extraPulses)
{
    const std::uint64_t total = std::accumulate(counts.begin(), counts.end(), std::uint64_t(0));
    if (total == 0)
        return {};
    std::size_t last = counts.size();
    while (counts[last - 1] == 0)
        --last;
    const bool pulsesFit = total <= 0xFFFF && last <= 0x10000;
    if (packing == BcfPacking::Pulses16 && pulsesFit) {
        std::string out = recordHeader(x, last, 0, 0, std::uint16_t(total), std::uint32_t(2 * total));
        for (std::size_t ch = 0; ch < last; ++ch)
            for (std::uint32_t k = 0; k < counts[ch]; ++k)
                put16(out, std::uint16_t(ch));
        return out;
    }
    if (packing == BcfPacking::Pulses12 && pulsesFit && last <= 4096) {
        std::vector<unsigned> pulses;
        pulses.reserve(total);
        for (std::size_t ch = 0; ch < last; ++ch)
            pulses.insert(pulses.end(), counts[ch], unsigned(ch));
        static constexpr std::size_t Tail[4] = {0, 2, 4, 6};
        std::size_t bytes = 6 * (pulses.size() / 4) + Tail[pulses.size() % 4];
        bytes += bytes % 2;
        std::string data(bytes, '\0');
        for (std::size_t i = 0; i < pulses.size(); i += 4) {
            const auto p = [&](std::size_t k) { return i + k < pulses.size() ? pulses[i + k] : 0u; };
            unsigned char b[6];
            b[1] = (unsigned char)(p(0) >> 4);
            b[0] = (unsigned char)((p(0) & 0xF) << 4 | p(1) >> 8);
            b[3] = (unsigned char)(p(1) & 0xFF);
            b[2] = (unsigned char)(p(2) >> 4);
            b[5] = (unsigned char)((p(2) & 0xF) << 4 | p(3) >> 8);
            b[4] = (unsigned char)(p(3) & 0xFF);
            for (std::size_t k = 0; k < 6 && 6 * (i / 4) + k < bytes; ++k)
                data[6 * (i / 4) + k] = char(b[k]);
        }
        return recordHeader(x, last, 0, 1, std::uint16_t(total), std::uint32_t(bytes)) + data;
    }
    return packedRecord(x, counts.subspan(0, last), extraPulses);
}

namespace {
constexpr std::size_t DirectoryEntry = 0, HeaderEntry = 1, DataEntry = 2;
}

BcfWriter::BcfWriter(const std::string &path, const BcfMap &map, const BcfOptions &options)
    : map_(map), options_(options), container_(std::make_unique<SfsWriter>(path, options.chunkSize, options.version)),
      sum_(map.channels, 0.0)
{
    error_ = container_->error;
    container_->add("EDSDatabase", -1, true);
    container_->add("HeaderData", 0, false);
    container_->add("SpectrumData0", 0, false);
    if (options_.compressed) {
        std::string head(0x80, '\0');
        std::memcpy(head.data(), "AACS", 4);
        set32(head, 4, options_.blockSize);
        set32(head, 16, 0x40000000);
        set32(head, 20, 1);
        container_->append(DataEntry, head);
        written_ = head.size();
    }
    std::string dataHeader(DataHeaderBytes, '\0');
    set32(dataHeader, 0, std::uint32_t(map.height));
    set32(dataHeader, 4, std::uint32_t(map.width));
    appendData(dataHeader);
}

BcfWriter::~BcfWriter() = default;

void BcfWriter::appendData(const std::string &bytes)
{
    if (!options_.compressed) {
        container_->append(DataEntry, bytes);
        return;
    }
    pending_ += bytes;
    while (pending_.size() >= options_.blockSize)
        flushBlock(false);
}

void BcfWriter::flushBlock(bool last)
{
    const std::size_t n = last ? pending_.size() : options_.blockSize;
    if (n == 0)
        return;
    const std::string packed = deflated(pending_.substr(0, n));
    pending_.erase(0, n);
    std::string block;
    put32(block, std::uint32_t(packed.size()));
    put32(block, std::uint32_t(n));
    put32(block, 0);
    put32(block, std::uint32_t(options_.version >= 2 ? packed.size() + 16 : written_ + 16 + packed.size()));
    block += packed;
    container_->append(DataEntry, block);
    written_ += block.size();
    ++blocks_;
}

void BcfWriter::addRow(std::span<const std::uint32_t> counts)
{
    std::string row;
    std::uint32_t records = 0;
    std::string body;
    for (std::size_t x = 0; x < map_.width; ++x) {
        const auto pixel = counts.subspan(x * map_.channels, map_.channels);
        for (std::size_t c = 0; c < map_.channels; ++c)
            sum_[c] += pixel[c];
        const std::string record = bcfRecord(std::uint32_t(x), pixel, options_.packing, options_.extraPulses);
        if (!record.empty()) {
            body += record;
            ++records;
        }
    }
    put32(row, records);
    row += body;
    appendData(row);
    ++rows_;
}

std::string BcfWriter::headerXml() const
{
    const std::string date = "<Date>1.2.2024</Date><Time>10:20:30</Time>";
    std::string counts;
    for (std::size_t c = 0; c < sum_.size(); ++c) {
        if (c)
            counts += ',';
        counts += std::to_string(std::uint64_t(sum_[c]));
    }
    std::string lines;
    for (std::size_t y = 0; y < map_.height; ++y)
        lines += y ? ",1" : "1";
    const std::string layers = base64(deflated("<DetLayers><Layer0 Atom=\"14\" Thickness=\"0.029\"/></DetLayers>"));
    // sigma^2 = SigmaAbs + SigmaLin E (sigma and E in keV): the detector's
    // width is a straight line in E when squared.
    std::string sigmaAbs = "3E-4", sigmaLin = "4E-4";
    if (map_.fwhmMnKa_eV > 0) {
        const xray::Detector detector(xray::Material::Si, map_.fwhmMnKa_eV);
        const double perSigma = 2 * std::sqrt(2 * std::log(2.0)) * 1000;
        const double at0 = std::pow(detector.fwhm(0) / perSigma, 2), at10 = std::pow(detector.fwhm(10000) / perSigma, 2);
        sigmaAbs = number(at0);
        sigmaLin = number((at10 - at0) / 10);
    }
    const std::string w = std::to_string(map_.width), h = std::to_string(map_.height);
    return "<?xml version=\"1.0\" encoding=\"WINDOWS-1252\" standalone=\"yes\"?><TRTSpectrumDatabase><RTHeader/>"
           "<ClassInstance Type=\"TRTSpectrumDatabase\" Name=\"" + xmlEscaped(map_.title) + "\"><Header>" + date +
           "<FileVersion>" + std::to_string(options_.version) + "</FileVersion></Header>"
           "<ClassInstance Type=\"TRTSEMData\"><HV>" + number(map_.beam_kV) + "</HV><Mag>1000</Mag><DX>" +
           number(map_.pixelSize_um) + "</DX><DY>" + number(map_.pixelSize_um) + "</DY></ClassInstance>"
           "<ClassInstance Type=\"TRTSEMStageData\"><State>7936</State></ClassInstance>"
           "<ClassInstance Type=\"TRTDSPConfiguration\"><ImageWidth>" + w + "</ImageWidth><ImageHeight>" + h +
           "</ImageHeight><PixelAverage>1</PixelAverage><LineAverage>1</LineAverage><PixelTime>100</PixelTime>"
           "</ClassInstance>"
           "<ClassInstance Type=\"TRTImageData\"><TRTHeaderedClass/><ItemSize>2</ItemSize><Width>" + w +
           "</Width><Height>" + h + "</Height><PlaneCount>0</PlaneCount></ClassInstance>"
           "<LineCounter>" + lines + "</LineCounter><ChCount>" + std::to_string(map_.channels) +
           "</ChCount><DetectorCount>1</DetectorCount>"
           "<SpectrumData0><ClassInstance Type=\"TRTSpectrum\" Name=\"sum\"><TRTHeaderedClass>"
           "<ClassInstance Type=\"TRTSpectrumHardwareHeader\"><Amplification>2E4</Amplification></ClassInstance>"
           "<ClassInstance Type=\"TRTDetectorHeader\"><Type>synthetic SDD</Type><DetLayers>" + layers +
           "</DetLayers></ClassInstance>"
           "<ClassInstance Type=\"TRTESMAHeader\"><PrimaryEnergy>" + number(map_.beam_kV) +
           "</PrimaryEnergy><ElevationAngle>35</ElevationAngle><AzimutAngle>45</AzimutAngle></ClassInstance>"
           "</TRTHeaderedClass><ClassInstance Type=\"TRTSpectrumHeader\">" + date + "<ChannelCount>" +
           std::to_string(map_.channels) + "</ChannelCount><CalibAbs>" + number(map_.offset_eV / 1000.0) +
           "</CalibAbs><CalibLin>" + number(map_.gain_eV / 1000.0) +
           "</CalibLin><SigmaAbs>" + sigmaAbs + "</SigmaAbs><SigmaLin>" + sigmaLin + "</SigmaLin></ClassInstance>"
           "<Channels>" + counts + "</Channels></ClassInstance></SpectrumData0></ClassInstance></TRTSpectrumDatabase>";
}

std::optional<std::string> BcfWriter::finish()
{
    if (rows_ != map_.height)
        return "the map has " + std::to_string(map_.height) + " rows but " + std::to_string(rows_) + " were given";
    if (options_.compressed) {
        flushBlock(true);
        std::string count;
        put32(count, blocks_);
        container_->patch(DataEntry, 12, count);
    }
    container_->close(DataEntry);

    const std::string xml = headerXml();
    if (options_.compressed) {
        std::string head(0x80, '\0');
        std::memcpy(head.data(), "AACS", 4);
        set32(head, 4, options_.blockSize);
        std::uint32_t blocks = 0;
        std::string body;
        for (std::size_t at = 0; at < xml.size(); at += options_.blockSize) {
            const std::string piece = xml.substr(at, options_.blockSize);
            const std::string packed = deflated(piece);
            put32(body, std::uint32_t(packed.size()));
            put32(body, std::uint32_t(piece.size()));
            put32(body, 0);
            put32(body, std::uint32_t(packed.size() + 16));
            body += packed;
            ++blocks;
        }
        set32(head, 12, blocks);
        container_->append(HeaderEntry, head + body);
    } else {
        container_->append(HeaderEntry, xml);
    }
    container_->close(HeaderEntry);
    (void)DirectoryEntry;
    const auto error = container_->finish();
    return error_ ? error_ : error;
}

} // namespace synth
