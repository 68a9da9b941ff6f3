#include "bytesource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace image {

namespace {

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
                return Error::system();
            }
            if (got == 0) // the file shrank since it was opened
                return Error::make(ErrorKind::CutShortBefore, {std::to_string(offset + out.size())});
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
        return Error::make(ErrorKind::CutShortAt, {std::to_string(size), std::to_string(offset + length)});
    return std::nullopt;
}

Result<std::shared_ptr<const ByteSource>> openFileBytes(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Error::system();
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const Error error = Error::system();
        ::close(fd);
        return error;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return Error::make(S_ISDIR(info.st_mode) ? ErrorKind::DirectoryFile : ErrorKind::NotRegular);
    }
    return std::shared_ptr<const ByteSource>(std::make_shared<FileBytes>(fd, std::uint64_t(info.st_size)));
}

std::shared_ptr<const ByteSource> memoryBytes(std::string bytes) { return std::make_shared<MemoryBytes>(std::move(bytes)); }

std::shared_ptr<const ByteSource> viewedBytes(std::string_view bytes) { return std::make_shared<MemoryBytes>(bytes); }

} // namespace image
