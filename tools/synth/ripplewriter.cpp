#include "ripplewriter.h"

#include <algorithm>
#include <cstring>

namespace synth {

namespace {

std::string number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// A value in the file's type and byte order.
void encode(double value, image::SampleType type, bool bigEndian, char *out)
{
    image::visitSample(type, [&](auto zero) {
        using T = decltype(zero);
        const T v = static_cast<T>(value);
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &v, sizeof(T));
        if (bigEndian)
            std::reverse(bytes, bytes + sizeof(T));
        std::memcpy(out, bytes, sizeof(T));
    });
}

} // namespace

std::string rippleHeaderText(const RippleMap &map, const RippleOptions &options)
{
    const std::size_t bytes = image::sampleBytes(options.type);
    const char *dataType = image::isFloat(options.type) ? "float" : image::isSigned(options.type) ? "signed" : "unsigned";
    const char *order = options.order == image::RecordOrder::Vector  ? "vector"
                        : options.order == image::RecordOrder::Image ? "image"
                                                                     : "dont-care";
    std::string text = "key\tvalue\n";
    text += "width\t" + std::to_string(map.width) + "\n";
    text += "height\t" + std::to_string(map.height) + "\n";
    text += "depth\t" + std::to_string(map.channels) + "\n";
    text += "offset\t" + std::to_string(options.offset) + "\n";
    text += std::string("data-type\t") + dataType + "\n";
    text += "data-length\t" + std::to_string(bytes) + "\n";
    text += std::string("byte-order\t") + (bytes == 1 ? "dont-care" : options.bigEndian ? "big-endian" : "little-endian") + "\n";
    text += std::string("record-by\t") + order + "\n";
    if (options.keV) {
        text += "depth-scale\t" + number(map.gain_eV / 1000) + "\n";
        text += "depth-origin\t" + number(map.offset_eV / 1000) + "\n";
        text += "depth-units\tkeV\n";
    } else {
        text += "ev-per-chan\t" + number(map.gain_eV) + "\n";
        text += "depth-origin\t" + number(map.offset_eV) + "\n";
        text += "depth-units\teV\n";
    }
    text += "beam-energy\t" + number(map.beam_kV) + "\n";
    if (map.pixelLiveTime_s > 0)
        text += "live-time\t" + number(map.pixelLiveTime_s) + "\n";
    text += "signal\tEDS_SEM\n";
    text += "title\t" + map.title + "\n";
    return text;
}

RippleWriter::RippleWriter(const std::string &rplPath, const RippleMap &map, const RippleOptions &options)
    : map_(map), options_(options)
{
    const std::string text = rippleHeaderText(map, options);
    std::FILE *rpl = std::fopen(rplPath.c_str(), "wb");
    if (!rpl || std::fwrite(text.data(), 1, text.size(), rpl) != text.size()) {
        error_ = "cannot write '" + rplPath + "'";
    }
    if (rpl)
        std::fclose(rpl);
    const std::size_t dot = rplPath.find_last_of('.');
    const std::string rawPath = (dot == std::string::npos ? rplPath : rplPath.substr(0, dot)) + ".raw";
    raw_ = std::fopen(rawPath.c_str(), "wb");
    if (!raw_)
        error_ = error_.value_or("cannot create '" + rawPath + "'");
    if (options.offset > 0)
        write(0, std::string(options.offset, '\x5A'));
}

RippleWriter::~RippleWriter()
{
    if (raw_)
        std::fclose(raw_);
}

void RippleWriter::write(std::uint64_t at, const std::string &bytes)
{
    if (!raw_)
        return;
    if (fseeko(raw_, off_t(at), SEEK_SET) != 0 || std::fwrite(bytes.data(), 1, bytes.size(), raw_) != bytes.size())
        error_ = error_.value_or("cannot write the .raw file");
}

void RippleWriter::addRow(std::span<const double> values)
{
    const std::size_t bytes = image::sampleBytes(options_.type);
    const std::size_t pixels = map_.width * map_.height;
    if (options_.order == image::RecordOrder::Image && map_.channels > 1) {
        // Each channel's part of this row, in its own image.
        std::string part(map_.width * bytes, '\0');
        for (std::size_t c = 0; c < map_.channels; ++c) {
            for (std::size_t x = 0; x < map_.width; ++x)
                encode(values[x * map_.channels + c], options_.type, options_.bigEndian, part.data() + x * bytes);
            write(options_.offset + (std::uint64_t(c) * pixels + rows_ * map_.width) * bytes, part);
        }
    } else {
        std::string row(values.size() * bytes, '\0');
        for (std::size_t i = 0; i < values.size(); ++i)
            encode(values[i], options_.type, options_.bigEndian, row.data() + i * bytes);
        write(options_.offset + std::uint64_t(rows_) * map_.width * map_.channels * bytes, row);
    }
    ++rows_;
}

std::optional<std::string> RippleWriter::finish()
{
    if (rows_ != map_.height)
        return "the map has " + std::to_string(map_.height) + " rows but " + std::to_string(rows_) + " were given";
    if (raw_ && std::fclose(raw_) != 0)
        error_ = error_.value_or("cannot write the .raw file");
    raw_ = nullptr;
    return error_;
}

} // namespace synth
