#include "sampletype.h"

#include <cstring>

namespace image {

std::size_t sampleBytes(SampleType type)
{
    return visitSample(type, [](auto zero) { return sizeof zero; });
}

std::string_view sampleTypeName(SampleType type)
{
    switch (type) {
    case SampleType::U8: return "uint8";
    case SampleType::U16: return "uint16";
    case SampleType::U32: return "uint32";
    case SampleType::U64: return "uint64";
    case SampleType::I8: return "int8";
    case SampleType::I16: return "int16";
    case SampleType::I32: return "int32";
    case SampleType::I64: return "int64";
    case SampleType::F32: return "float32";
    case SampleType::F64: break;
    }
    return "float64";
}

std::optional<SampleType> sampleTypeNamed(std::string_view name)
{
    for (SampleType type : AllSampleTypes)
        if (sampleTypeName(type) == name)
            return type;
    return std::nullopt;
}

bool isFloat(SampleType type) { return type == SampleType::F32 || type == SampleType::F64; }

bool isSigned(SampleType type)
{
    return isFloat(type) || type == SampleType::I8 || type == SampleType::I16 || type == SampleType::I32 ||
           type == SampleType::I64;
}

namespace {

template <class Out> void convert(SampleType type, const std::byte *from, std::size_t count, Out *to)
{
    visitSample(type, [&](auto zero) {
        using T = decltype(zero);
        for (std::size_t i = 0; i < count; ++i) {
            T value;
            std::memcpy(&value, from + i * sizeof(T), sizeof(T));
            to[i] = static_cast<Out>(value);
        }
    });
}

} // namespace

void toDoubles(SampleType type, const std::byte *from, std::size_t count, double *to) { convert(type, from, count, to); }

void toFloats(SampleType type, const std::byte *from, std::size_t count, float *to) { convert(type, from, count, to); }

} // namespace image
