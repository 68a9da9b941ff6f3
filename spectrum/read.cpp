#include "read.h"

#include "emsa.h"
#include "readsupport.h"
#include "spx.h"
#include "text.h"
#include "textscan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

namespace spectrum {

namespace {

using scan::Number;

// How much of a file the format detection looks at.
constexpr std::size_t SniffBytes = 64 * 1024;

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::optional<Error> binaryContent(std::string_view head)
{
    if (startsWith(head, "\xFF\xFE") || startsWith(head, "\xFE\xFF"))
        return Error::make(ErrorKind::Utf16);
    if (startsWith(head, std::string_view("\0\0\xFE\xFF", 4)))
        return Error::make(ErrorKind::Utf32);
    std::size_t control = 0;
    for (char c : head) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == 0)
            return Error::make(ErrorKind::Binary);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f')
            ++control;
    }
    if (control * 100 > head.size())
        return Error::make(ErrorKind::Binary);
    return std::nullopt;
}

// "FORMAT      : ..." or "SPECTRUM" alone, but not "Spectrum of ...".
bool isEmsaKeyword(std::string_view text, std::string_view name)
{
    text = scan::trim(text);
    if (!scan::startsWithNoCase(text, name))
        return false;
    const std::string_view rest = scan::trim(text.substr(name.size()));
    return rest.empty() || rest[0] == ':' || rest[0] == '-';
}

} // namespace

Result<Format> detectFormat(std::string_view bytes)
{
    std::string_view head = bytes.substr(0, SniffBytes);
    if (scan::trimAll(head).empty())
        return Error::make(bytes.empty() ? ErrorKind::Empty : ErrorKind::OnlyBlanks);
    if (auto error = binaryContent(head))
        return *error;
    if (startsWith(head, "\xEF\xBB\xBF"))
        head.remove_prefix(3);
    const std::string_view start = scan::trimAll(head);
    if (!start.empty() && start[0] == '<')
        return Format::Spx;

    scan::Lines lines(head);
    std::string_view raw;
    std::vector<double> values;
    std::string bad, scratch;
    while (lines.next(raw)) {
        const std::string_view line = scan::trimAll(raw);
        if (line.empty())
            continue;
        if (line[0] == '#') {
            std::string_view name = line.substr(1);
            if (!name.empty() && name[0] == '#')
                continue;
            if (isEmsaKeyword(name, "FORMAT") || isEmsaKeyword(name, "SPECTRUM"))
                return Format::Emsa;
            continue;
        }
        if (line[0] == '$')
            return Format::Counts;
        values.clear();
        // "0,5;200": between semicolons a comma is the decimal mark.
        std::string_view numbers = line;
        if (line.find(';') != std::string_view::npos) {
            scratch.assign(line);
            std::replace(scratch.begin(), scratch.end(), ',', '.');
            numbers = scratch;
        }
        if (scan::appendValues(numbers, values, bad) == Number::Read && !values.empty()) {
            return values.size() == 2 ? Format::Text : Format::Counts;
        }
        // A header line, or a line of numbers with one bad value: the reader
        // will say which.
        if (!values.empty())
            return values.size() == 2 ? Format::Text : Format::Counts;
    }
    return Error::make(ErrorKind::NoNumbers);
}

Result<Spectrum> readBytes(std::string_view bytes)
{
    const Result<Format> format = detectFormat(bytes);
    if (!format)
        return format.error();
    switch (format.value()) {
    case Format::Emsa: return readEmsa(bytes);
    case Format::Spx: return readSpx(bytes);
    case Format::Text: return readText(bytes);
    case Format::Counts: return readCounts(bytes);
    }
    return Error::make(ErrorKind::UnknownFormat);
}

Result<Spectrum> readFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Error::system();
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return Error::system();
    if (S_ISDIR(info.st_mode))
        return Error::make(ErrorKind::Directory);
    if (!S_ISREG(info.st_mode))
        return Error::make(ErrorKind::NotRegular);
    if (static_cast<unsigned long long>(info.st_size) > MaxFileBytes)
        return Error::make(ErrorKind::TooLarge, {std::to_string(static_cast<unsigned long long>(info.st_size) >> 20),
                                                 std::to_string(MaxFileBytes >> 20)});
    std::string bytes;
    // One byte more than the size: a file that grows while read is read
    // whole, within the limit.
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t used = 0;
    while (true) {
        if (used == bytes.size()) {
            if (bytes.size() > MaxFileBytes)
                return Error::make(ErrorKind::Grew, {std::to_string(MaxFileBytes >> 20)});
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return Error::system();
        }
        if (got == 0)
            break;
        used += std::size_t(got);
    }
    bytes.resize(used);
    return readBytes(bytes);
}

} // namespace spectrum
