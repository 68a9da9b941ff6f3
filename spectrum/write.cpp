#include "write.h"

#include "emsa.h"
#include "numbertext.h"
#include "readsupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace spectrum {

std::string csvText(const Spectrum &spectrum)
{
    std::string out;
    out.reserve(32 + spectrum.counts.size() * 20);
    out += spectrum.calibration ? "energy_keV,counts\n" : "channel,counts\n";
    for (std::size_t i = 0; i < spectrum.counts.size(); ++i) {
        if (spectrum.calibration)
            appendNumber(out, spectrum.calibration->energy_eV(double(i)) / 1000.0);
        else
            out += std::to_string(i);
        out += ',';
        appendNumber(out, spectrum.counts[i]);
        out += '\n';
    }
    return out;
}

namespace {


Error systemError(ErrorKind kind, std::vector<std::string> values = {})
{
    return Error::wrap(kind, std::move(values), Error::system());
}

std::string directoryOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::optional<Error> writeFileAtomically(const std::string &path, std::string_view bytes)
{
    if (path.empty())
        return Error::make(ErrorKind::WriteNoName);
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
        return Error::make(ErrorKind::WriteDirectoryExists);

    // A name of our own beside the target, on the same file system, so that
    // the rename is atomic.
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".zandor-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return systemError(ErrorKind::WriteCannotCreate, {directoryOf(path)});
    }
    if (fd < 0)
        return Error::make(ErrorKind::WriteNoTemporary, {directoryOf(path)});

    const auto fail = [&](ErrorKind what) {
        const Error error = systemError(what);
        ::close(fd);
        ::unlink(temporary.c_str());
        return error;
    };
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(ErrorKind::WriteCannotWrite);
        }
        written += std::size_t(n);
    }
    // An existing file keeps its permissions.
    if (::stat(path.c_str(), &target) == 0)
        ::fchmod(fd, target.st_mode & 07777);
    if (::fsync(fd) != 0)
        return fail(ErrorKind::WriteCannotWrite);
    if (::close(fd) != 0) {
        const Error error = systemError(ErrorKind::WriteCannotWrite);
        ::unlink(temporary.c_str());
        return error;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const Error error = systemError(ErrorKind::WriteCannotReplace);
        ::unlink(temporary.c_str());
        return error;
    }
    return std::nullopt;
}

std::optional<Error> writeEmsa(const Spectrum &spectrum, const std::string &path)
{
    return writeFileAtomically(path, emsaText(spectrum));
}

std::optional<Error> writeCsv(const Spectrum &spectrum, const std::string &path)
{
    return writeFileAtomically(path, csvText(spectrum));
}

} // namespace spectrum
