#include "bytesource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace image {

namespace {

std::string systemReason()
{
    std::string text = std::strerror(errno);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && !(text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = char(text[0] - 'A' + 'a');
    return text;
}

class FileBytes final : public ByteSource {
public:
    FileBytes(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~FileBytes() override { ::close(fd_); }
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;

    std::uint64_t size() const override { return size_; }

    std::optional<Error> read(std::uint64_t offset, std::span<std::byte> out) const override
    {
        if (auto error = checkWithin(size_, offset, out.size()))
            return error;
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t got = ::pread(fd_, out.data() + done, out.size() - done, off_t(offset + done));
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return Error{systemReason()};
            }
            if (got == 0) // the file shrank since it was opened
                return Error{"the file is cut short: it ends before byte " + std::to_string(offset + out.size())};
            done += std::size_t(got);
        }
        return std::nullopt;
    }

private:
    int fd_;
    std::uint64_t size_;
};

class MemoryBytes final : public ByteSource {
public:
    explicit MemoryBytes(std::string bytes) : owned_(std::move(bytes)), bytes_(owned_) {}
    explicit MemoryBytes(std::string_view bytes) : bytes_(bytes) {}

    std::uint64_t size() const override { return bytes_.size(); }

    std::optional<Error> read(std::uint64_t offset, std::span<std::byte> out) const override
    {
        if (auto error = checkWithin(bytes_.size(), offset, out.size()))
            return error;
        if (!out.empty())
            std::memcpy(out.data(), bytes_.data() + offset, out.size());
        return std::nullopt;
    }

private:
    std::string owned_;
    std::string_view bytes_;
};

} // namespace

std::optional<Error> checkWithin(std::uint64_t size, std::uint64_t offset, std::uint64_t length)
{
    if (offset > size || length > size - offset)
        return Error{"the file is cut short: it ends at byte " + std::to_string(size) + ", before byte " +
                     std::to_string(offset + length)};
    return std::nullopt;
}

Result<std::shared_ptr<const ByteSource>> openFileBytes(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Error{systemReason()};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const Error error{systemReason()};
        ::close(fd);
        return error;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return Error{S_ISDIR(info.st_mode) ? "a directory, not a file" : "not a regular file (a device, pipe or socket)"};
    }
    return std::shared_ptr<const ByteSource>(std::make_shared<FileBytes>(fd, std::uint64_t(info.st_size)));
}

std::shared_ptr<const ByteSource> memoryBytes(std::string bytes) { return std::make_shared<MemoryBytes>(std::move(bytes)); }

std::shared_ptr<const ByteSource> viewedBytes(std::string_view bytes) { return std::make_shared<MemoryBytes>(bytes); }

} // namespace image
