#include "open.h"

#include "bcf.h"
#include "bytesource.h"
#include "ripple.h"

#include "spectrum/read.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace image {

namespace {

// How much of a file tells its kind, and the largest .rpl header read.
constexpr std::size_t HeadBytes = 64 * 1024;
constexpr std::size_t MaxRplBytes = 1u << 20;

enum class Kind { Bcf, Ripple, Raw, Other };

bool isRegularFile(const std::string &path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The path without its extension, and the extension in lower case.
std::pair<std::string, std::string> splitExtension(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {path, {}};
    std::string extension = path.substr(dot + 1);
    for (char &c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return {path.substr(0, dot), extension};
}

// The first of stem + each ending that is a regular file, or nothing.
std::optional<std::string> besideFile(const std::string &stem, std::initializer_list<const char *> endings)
{
    for (const char *ending : endings)
        if (isRegularFile(stem + ending))
            return stem + ending;
    return std::nullopt;
}

Result<std::string> headOf(const ByteSource &bytes, std::size_t limit)
{
    std::string head(std::size_t(std::min<std::uint64_t>(bytes.size(), limit)), '\0');
    if (auto error = bytes.read(0, {reinterpret_cast<std::byte *>(head.data()), head.size()}))
        return *error;
    return head;
}

Result<std::shared_ptr<const PixelSource>> openRippleHeader(const std::string &rplPath,
                                                            std::shared_ptr<const ByteSource> rplBytes)
{
    if (rplBytes->size() > MaxRplBytes)
        return Error::make(ErrorKind::RplTooLarge, {std::to_string(rplBytes->size()), std::to_string(MaxRplBytes)});
    auto text = headOf(*rplBytes, MaxRplBytes);
    if (!text)
        return text.error();
    const std::string stem = splitExtension(rplPath).first;
    const auto rawPath = besideFile(stem, {".raw", ".RAW", ".Raw"});
    if (!rawPath)
        return Error::make(ErrorKind::RplNoRaw, {stem.substr(stem.find_last_of('/') + 1)});
    auto raw = openFileBytes(*rawPath);
    if (!raw)
        return Error::wrap(ErrorKind::RplRawFile, {}, raw.error());
    return openRipple(text.value(), std::move(raw.value()));
}

} // namespace

Result<std::shared_ptr<const PixelSource>> openImageFile(const std::string &path, const Progress &progress)
{
    auto bytes = openFileBytes(path);
    if (!bytes)
        return bytes.error();
    auto head = headOf(*bytes.value(), HeadBytes);
    if (!head)
        return head.error();
    if (looksLikeBcf(head.value()))
        return openBcf(std::move(bytes.value()), progress);
    if (looksLikeRipple(head.value()))
        return openRippleHeader(path, std::move(bytes.value()));
    const auto [stem, extension] = splitExtension(path);
    if (extension == "raw") {
        const auto rplPath = besideFile(stem, {".rpl", ".RPL", ".Rpl"});
        if (!rplPath)
            return Error::make(ErrorKind::RawNoRpl, {stem.substr(stem.find_last_of('/') + 1)});
        auto rplBytes = openFileBytes(*rplPath);
        if (!rplBytes)
            return Error::wrap(ErrorKind::RawRplFile, {}, rplBytes.error());
        return openRippleHeader(*rplPath, std::move(rplBytes.value()));
    }
    return Error::make(ErrorKind::NotImage);
}

Result<Opened> openFile(const std::string &path, const Progress &progress)
{
    // What cannot be opened, or is no regular file, the spectrum reader
    // refuses in its own words.
    auto bytes = openFileBytes(path);
    auto head = bytes ? headOf(*bytes.value(), HeadBytes) : Result<std::string>(std::string());
    const bool image = bytes && head &&
                       (looksLikeBcf(head.value()) || looksLikeRipple(head.value()) ||
                        (splitExtension(path).second == "raw" &&
                         besideFile(splitExtension(path).first, {".rpl", ".RPL", ".Rpl"})));
    if (image) {
        auto source = openImageFile(path, progress);
        if (!source)
            return source.error();
        return Opened{std::nullopt, std::move(source.value())};
    }
    auto spectrum = spectrum::readFile(path);
    if (!spectrum)
        return spectrum.error();
    return Opened{std::move(spectrum.value()), nullptr};
}

} // namespace image
