#include "npy.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace image {

std::string npyHeader(std::string_view descr, std::span<const std::size_t> shape)
{
    std::string dict = "{'descr': '" + std::string(descr) + "', 'fortran_order': False, 'shape': (";
    for (std::size_t i = 0; i < shape.size(); ++i)
        dict += std::to_string(shape[i]) + (shape.size() == 1 ? "," : i + 1 < shape.size() ? ", " : "");
    dict += "), }";
    // Magic (6), version (2), length (2), the dictionary and its padding,
    // and a final line end: a multiple of 64 bytes.
    const std::size_t unpadded = 10 + dict.size() + 1;
    dict.append((64 - unpadded % 64) % 64, ' ');
    dict += '\n';
    std::string header("\x93NUMPY\x01\x00", 8);
    header += char(dict.size() & 0xFF);
    header += char(dict.size() >> 8);
    return header + dict;
}

namespace {

template <class Bits> Bits swapBytes(Bits v)
{
    Bits out = 0;
    for (std::size_t k = 0; k < sizeof(Bits); ++k)
        out = Bits(out << 8) | Bits((v >> (8 * k)) & 0xFF);
    return out;
}

template <class T>
std::optional<Error> write(const std::string &path, std::span<const T> values, std::span<const std::size_t> shape,
                           std::string_view descr)
{
    std::size_t count = 1;
    for (const std::size_t n : shape)
        count *= n;
    if (count != values.size())
        return Error{"an array of " + std::to_string(values.size()) + " numbers does not have the shape given"};
    const std::string header = npyHeader(descr, shape);
    const auto close = [](std::FILE *f) { std::fclose(f); };
    std::unique_ptr<std::FILE, decltype(close)> file(std::fopen(path.c_str(), "wb"), close);
    if (!file)
        return Error{std::strerror(errno)};
    bool ok = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size();
    if constexpr (std::endian::native == std::endian::little) {
        ok = ok && std::fwrite(values.data(), sizeof(T), values.size(), file.get()) == values.size();
    } else {
        using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
        std::vector<Bits> swapped(std::min<std::size_t>(values.size(), 1 << 16));
        for (std::size_t at = 0; ok && at < values.size(); at += swapped.size()) {
            const std::size_t n = std::min(swapped.size(), values.size() - at);
            for (std::size_t i = 0; i < n; ++i)
                swapped[i] = swapBytes(std::bit_cast<Bits>(values[at + i]));
            ok = std::fwrite(swapped.data(), sizeof(Bits), n, file.get()) == n;
        }
    }
    const int error = errno;
    if (std::fclose(file.release()) != 0 || !ok)
        return Error{std::strerror(ok ? errno : error)};
    return std::nullopt;
}

} // namespace

std::optional<Error> writeNpy(const std::string &path, std::span<const float> values, std::span<const std::size_t> shape)
{
    return write(path, values, shape, "<f4");
}

std::optional<Error> writeNpy(const std::string &path, std::span<const double> values,
                              std::span<const std::size_t> shape)
{
    return write(path, values, shape, "<f8");
}

} // namespace image
