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
        return Error{"a compressed block of more than 4 GiB"};
    z_stream &z = state_->stream;
    if (!state_->ready) {
        if (inflateInit(&z) != Z_OK)
            return Error{"zlib cannot start"};
        state_->ready = true;
    } else if (inflateReset(&z) != Z_OK) {
        return Error{"zlib cannot start"};
    }
    z.next_in = reinterpret_cast<Bytef *>(const_cast<std::byte *>(in.data()));
    z.avail_in = uInt(in.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    const int status = ::inflate(&z, Z_FINISH);
    if (status == Z_STREAM_END) {
        if (z.avail_out != 0)
            return Error{"decompresses to " + std::to_string(out.size() - z.avail_out) + " bytes, not the " +
                         std::to_string(out.size()) + " its header gives"};
        return std::nullopt;
    }
    if (status == Z_BUF_ERROR && z.avail_out == 0)
        return Error{"decompresses to more than the " + std::to_string(out.size()) + " bytes its header gives"};
    if (status == Z_BUF_ERROR)
        return Error{"the compressed data end before the block does"};
    return Error{std::string("damaged compressed data (") + (z.msg ? z.msg : "zlib error " + std::to_string(status)) +
                 ")"};
}

} // namespace image
