// The type of one count in a spectrum image, as the file stores it (or, for
// a file that stores none, the narrowest type that holds every count).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <type_traits>

namespace image {

enum class SampleType : std::uint8_t { U8, U16, U32, U64, I8, I16, I32, I64, F32, F64 };

inline constexpr SampleType AllSampleTypes[] = {SampleType::U8,  SampleType::U16, SampleType::U32, SampleType::U64,
                                                SampleType::I8,  SampleType::I16, SampleType::I32, SampleType::I64,
                                                SampleType::F32, SampleType::F64};

// Bytes per sample: 1, 2, 4 or 8.
std::size_t sampleBytes(SampleType type);
// NumPy's names: "uint8", "int16", "float32"...
std::string_view sampleTypeName(SampleType type);
std::optional<SampleType> sampleTypeNamed(std::string_view name);
bool isFloat(SampleType type);
bool isSigned(SampleType type);

// The C++ type of each SampleType, and back.
template <SampleType> struct SampleOf;
template <> struct SampleOf<SampleType::U8> { using type = std::uint8_t; };
template <> struct SampleOf<SampleType::U16> { using type = std::uint16_t; };
template <> struct SampleOf<SampleType::U32> { using type = std::uint32_t; };
template <> struct SampleOf<SampleType::U64> { using type = std::uint64_t; };
template <> struct SampleOf<SampleType::I8> { using type = std::int8_t; };
template <> struct SampleOf<SampleType::I16> { using type = std::int16_t; };
template <> struct SampleOf<SampleType::I32> { using type = std::int32_t; };
template <> struct SampleOf<SampleType::I64> { using type = std::int64_t; };
template <> struct SampleOf<SampleType::F32> { using type = float; };
template <> struct SampleOf<SampleType::F64> { using type = double; };

template <class T> constexpr SampleType sampleTypeOf()
{
    if constexpr (std::is_same_v<T, std::uint8_t>) return SampleType::U8;
    else if constexpr (std::is_same_v<T, std::uint16_t>) return SampleType::U16;
    else if constexpr (std::is_same_v<T, std::uint32_t>) return SampleType::U32;
    else if constexpr (std::is_same_v<T, std::uint64_t>) return SampleType::U64;
    else if constexpr (std::is_same_v<T, std::int8_t>) return SampleType::I8;
    else if constexpr (std::is_same_v<T, std::int16_t>) return SampleType::I16;
    else if constexpr (std::is_same_v<T, std::int32_t>) return SampleType::I32;
    else if constexpr (std::is_same_v<T, std::int64_t>) return SampleType::I64;
    else if constexpr (std::is_same_v<T, float>) return SampleType::F32;
    else {
        static_assert(std::is_same_v<T, double>, "not a sample type");
        return SampleType::F64;
    }
}

// Calls f(T{}) with T the C++ type of `type`, and returns what it returns:
//   visitSample(type, [&](auto zero) { using T = decltype(zero); ... });
template <class F> decltype(auto) visitSample(SampleType type, F &&f)
{
    switch (type) {
    case SampleType::U8: return f(std::uint8_t{});
    case SampleType::U16: return f(std::uint16_t{});
    case SampleType::U32: return f(std::uint32_t{});
    case SampleType::U64: return f(std::uint64_t{});
    case SampleType::I8: return f(std::int8_t{});
    case SampleType::I16: return f(std::int16_t{});
    case SampleType::I32: return f(std::int32_t{});
    case SampleType::I64: return f(std::int64_t{});
    case SampleType::F32: return f(float{});
    case SampleType::F64: break;
    }
    return f(double{});
}

// `count` samples of `type` at `from` (native byte order, any alignment) as
// doubles; integers beyond 2^53 are rounded.
void toDoubles(SampleType type, const std::byte *from, std::size_t count, double *to);
void toFloats(SampleType type, const std::byte *from, std::size_t count, float *to);

} // namespace image
