#include "inflate.h"

#include <zlib.h>

#include <climits>

namespace image {

struct Inflater::State {
    z_stream stream{};
    bool ready = false;
};

Inflater::Inflater() : state_(std::make_unique<State>()) {}

Inflater::~Inflater()
{
    if (state_->ready)
        inflateEnd(&state_->stream);
}

std::optional<Error> Inflater::inflate(std::span<const std::byte> in, std::span<std::byte> out)
{
    if (in.size() > UINT_MAX || out.size() > UINT_MAX)
        return Error::make(ErrorKind::InflateHuge);
    z_stream &z = state_->stream;
    if (!state_->ready) {
        if (inflateInit(&z) != Z_OK)
            return Error::make(ErrorKind::InflateStart);
        state_->ready = true;
    } else if (inflateReset(&z) != Z_OK) {
        return Error::make(ErrorKind::InflateStart);
    }
    z.next_in = reinterpret_cast<Bytef *>(const_cast<std::byte *>(in.data()));
    z.avail_in = uInt(in.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    const int status = ::inflate(&z, Z_FINISH);
    if (status == Z_STREAM_END) {
        if (z.avail_out != 0)
            return Error::make(ErrorKind::InflateShort,
                               {std::to_string(out.size() - z.avail_out), std::to_string(out.size())});
        return std::nullopt;
    }
    if (status == Z_BUF_ERROR && z.avail_out == 0)
        return Error::make(ErrorKind::InflateLong, {std::to_string(out.size())});
    if (status == Z_BUF_ERROR)
        return Error::make(ErrorKind::InflateEnds);
    return Error::make(ErrorKind::InflateDamaged, {z.msg ? z.msg : "zlib error " + std::to_string(status)});
}

} // namespace image
