// The map model checked, and as bytes: a signature, then every field in
// order, numbers little-endian (sizes and integers as 64-bit, doubles as
// their IEEE bits), strings and vectors after their length.
#include "mapmodel.h"

#include "spectrum/spectrum.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace identify {

namespace {

constexpr std::string_view Signature = "ZANDOR-MAPMODEL-1";

bool finite(const std::vector<double> &values)
{
    for (const double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

// Values over bins first .. within `bins`.
bool fitsIn(std::size_t first, std::size_t size, std::size_t bins) { return first <= bins && size <= bins - first; }

class Writer {
public:
    void u64(std::uint64_t v)
    {
        for (int k = 0; k < 8; ++k)
            out_.push_back(char((v >> (8 * k)) & 0xFF));
    }
    void f64(double v) { u64(std::bit_cast<std::uint64_t>(v)); }
    void i64(std::int64_t v) { u64(std::uint64_t(v)); }
    void text(const std::string &s)
    {
        u64(s.size());
        out_ += s;
    }
    void doubles(const std::vector<double> &v)
    {
        u64(v.size());
        for (const double d : v)
            f64(d);
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return at_ == in_.size(); }

    std::uint64_t u64()
    {
        if (!ok_ || in_.size() - at_ < 8) {
            ok_ = false;
            return 0;
        }
        std::uint64_t v = 0;
        for (int k = 0; k < 8; ++k)
            v |= std::uint64_t(std::uint8_t(in_[at_ + std::size_t(k)])) << (8 * k);
        at_ += 8;
        return v;
    }
    double f64() { return std::bit_cast<double>(u64()); }
    std::int64_t i64() { return std::int64_t(u64()); }
    // A count of items of `bytes` each that the rest of the input can hold.
    std::size_t count(std::size_t bytes)
    {
        const std::uint64_t n = u64();
        if (!ok_ || n > (in_.size() - at_) / bytes) {
            ok_ = false;
            return 0;
        }
        return std::size_t(n);
    }
    std::string text()
    {
        const std::size_t n = count(1);
        std::string s(in_.substr(at_, n));
        at_ += n;
        return s;
    }
    std::vector<double> doubles()
    {
        const std::size_t n = count(8);
        std::vector<double> v(n);
        for (double &d : v)
            d = f64();
        return v;
    }
    std::size_t size() { return std::size_t(u64()); }

private:
    std::string_view in_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

void writeColumnValues(Writer &w, std::size_t first, const std::vector<double> &values, std::size_t rawFirst,
                       const std::vector<double> &raw)
{
    w.u64(first);
    w.doubles(values);
    w.u64(rawFirst);
    w.doubles(raw);
}

void readColumnValues(Reader &r, std::size_t &first, std::vector<double> &values, std::size_t &rawFirst,
                      std::vector<double> &raw)
{
    first = r.size();
    values = r.doubles();
    rawFirst = r.size();
    raw = r.doubles();
}

} // namespace

std::optional<spectrum::Error> checkMapModel(const MapModel &m)
{
    using spectrum::Error;
    if (m.channels == 0 || m.channels > spectrum::MaxChannels)
        return Error{"a map model of " + std::to_string(m.channels) + " channels"};
    if (!std::isfinite(m.offset_eV) || !std::isfinite(m.gain_eV) || !(m.gain_eV > 0))
        return Error{"a map model whose calibration is not a number, or whose gain is not above 0"};
    if (m.channelsPerBin == 0 || m.firstChannel > m.channels || m.bins > (m.channels - m.firstChannel) / m.channelsPerBin)
        return Error{"a map model whose bins reach beyond its " + std::to_string(m.channels) + " channels"};
    if (m.half.size() != m.bins || m.side.size() != m.bins || m.weights.size() != m.bins)
        return Error{"a map model whose filter or weights are not one a bin"};
    for (std::size_t i = 0; i < m.bins; ++i) {
        if (m.half[i] < 0 || m.side[i] < 1 || std::size_t(m.half[i]) > m.bins || std::size_t(m.side[i]) > m.bins)
            return Error{"a map model with a filter window out of range at bin " + std::to_string(i)};
        if (!std::isfinite(m.weights[i]) || m.weights[i] < 0)
            return Error{"a map model with a weight that is not a number of 0 or more at bin " + std::to_string(i)};
    }
    if (m.columns.size() > MaxMapColumns)
        return Error{"a map model of " + std::to_string(m.columns.size()) + " columns, more than " +
                     std::to_string(MaxMapColumns)};
    bool elements = true;
    for (const MapColumn &c : m.columns) {
        if (c.kind != MapColumn::Kind::Element && c.kind != MapColumn::Kind::Peak && c.kind != MapColumn::Kind::Signed)
            return Error{"a map model with a column of no known kind"};
        if (c.kind == MapColumn::Kind::Element && !elements)
            return Error{"a map model whose elements do not come first"};
        elements = elements && c.kind == MapColumn::Kind::Element;
        if (!fitsIn(c.first, c.values.size(), m.bins) || !fitsIn(c.rawFirst, c.raw.size(), m.bins))
            return Error{"a map model whose column '" + c.label + "' reaches beyond its bins"};
        if (!finite(c.values) || !finite(c.raw))
            return Error{"a map model whose column '" + c.label + "' holds a value that is not a number"};
    }
    if (m.tied.size() > MaxMapColumns)
        return Error{"a map model with too many tied columns"};
    for (const MapTied &t : m.tied) {
        if (t.fromChannel > t.toChannel || t.toChannel > m.channels)
            return Error{"a map model whose tied column '" + t.label + "' counts channels beyond its own"};
        if (!fitsIn(t.first, t.values.size(), m.bins) || !fitsIn(t.rawFirst, t.raw.size(), m.bins))
            return Error{"a map model whose tied column '" + t.label + "' reaches beyond its bins"};
        if (!finite(t.values) || !finite(t.raw))
            return Error{"a map model whose tied column '" + t.label + "' holds a value that is not a number"};
    }
    return std::nullopt;
}

std::string mapModelBytes(const MapModel &m)
{
    Writer w;
    w.text(std::string(Signature));
    w.u64(m.channels);
    w.f64(m.offset_eV);
    w.f64(m.gain_eV);
    w.u64(m.firstChannel);
    w.u64(m.channelsPerBin);
    w.u64(m.bins);
    w.u64(m.half.size());
    for (const std::int32_t h : m.half)
        w.i64(h);
    w.u64(m.side.size());
    for (const std::int32_t s : m.side)
        w.i64(s);
    w.doubles(m.weights);
    w.u64(m.columns.size());
    for (const MapColumn &c : m.columns) {
        w.u64(std::uint64_t(c.kind));
        w.i64(c.Z);
        w.text(c.label);
        w.u64(c.lines.size());
        for (const std::string &line : c.lines)
            w.text(line);
        writeColumnValues(w, c.first, c.values, c.rawFirst, c.raw);
    }
    w.u64(m.tied.size());
    for (const MapTied &t : m.tied) {
        w.text(t.label);
        w.u64(t.fromChannel);
        w.u64(t.toChannel);
        writeColumnValues(w, t.first, t.values, t.rawFirst, t.raw);
    }
    return w.take();
}

spectrum::Result<MapModel> mapModelFromBytes(std::string_view bytes)
{
    const spectrum::Error notModel{"not a map model (or a damaged one)"};
    Reader r(bytes);
    if (r.text() != Signature)
        return notModel;
    MapModel m;
    m.channels = r.size();
    m.offset_eV = r.f64();
    m.gain_eV = r.f64();
    m.firstChannel = r.size();
    m.channelsPerBin = r.size();
    m.bins = r.size();
    const auto ints = [&](std::vector<std::int32_t> &into) {
        into.resize(r.count(8));
        for (std::int32_t &v : into) {
            const std::int64_t x = r.i64();
            v = x < INT32_MIN || x > INT32_MAX ? -1 : std::int32_t(x);
        }
    };
    ints(m.half);
    ints(m.side);
    m.weights = r.doubles();
    const std::size_t columns = r.count(8);
    if (columns > MaxMapColumns)
        return notModel;
    for (std::size_t k = 0; k < columns && r.ok(); ++k) {
        MapColumn c;
        const std::uint64_t kind = r.u64();
        c.kind = kind <= 2 ? MapColumn::Kind(kind) : MapColumn::Kind(0xFF);
        // An atomic number beyond any element's is no model's (and would
        // not write back as read were it clamped).
        const std::int64_t Z = r.i64();
        if (Z < -1000 || Z > 1000)
            return notModel;
        c.Z = int(Z);
        c.label = r.text();
        c.lines.resize(r.count(8));
        for (std::string &line : c.lines)
            line = r.text();
        readColumnValues(r, c.first, c.values, c.rawFirst, c.raw);
        m.columns.push_back(std::move(c));
    }
    const std::size_t tied = r.count(8);
    if (tied > MaxMapColumns)
        return notModel;
    for (std::size_t k = 0; k < tied && r.ok(); ++k) {
        MapTied t;
        t.label = r.text();
        t.fromChannel = r.size();
        t.toChannel = r.size();
        readColumnValues(r, t.first, t.values, t.rawFirst, t.raw);
        m.tied.push_back(std::move(t));
    }
    if (!r.ok() || !r.atEnd())
        return notModel;
    if (auto error = checkMapModel(m))
        return *error;
    return m;
}

} // namespace identify
