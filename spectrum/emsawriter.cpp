// Writing EMSA/MSA files.
#include "emsa.h"
#include "numbertext.h"
#include "textscan.h"

#include <array>
#include <cstdio>

namespace spectrum {

namespace {

constexpr std::size_t MaxLine = 79;            // characters before CR LF
constexpr std::size_t KeywordField = 12;       // "#" + 12 characters + ": "
constexpr std::string_view LineEnd = "\r\n";

// Control characters (a line end inside a title) become blanks, so that one
// value stays one line.
std::string oneLine(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return out;
}

// The first `length` bytes of a UTF-8 text, not cutting a character.
std::string_view cutUtf8(std::string_view text, std::size_t length)
{
    if (text.size() <= length)
        return text;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    return text.substr(0, length);
}

// "#NAME" padded to the keyword field, units at its right end after '-':
// "#LIVETIME  -s: ".
std::string keywordPrefix(std::string_view rawName, std::string_view rawUnits)
{
    // Names and units come from other files: at most 40 and 16 characters,
    // so that a value always has room on the line.
    std::string field(cutUtf8(oneLine(rawName), 40));
    const std::string units(cutUtf8(oneLine(rawUnits), 16));
    if (!units.empty()) {
        const std::size_t used = field.size() + 1 + units.size();
        if (used < KeywordField)
            field.append(KeywordField - used, ' ');
        field += '-';
        field += units;
    }
    if (field.size() < KeywordField)
        field.append(KeywordField - field.size(), ' ');
    return "#" + field + ": ";
}

class EmsaWriter {
public:
    void line(std::string_view name, std::string_view units, std::string_view value)
    {
        const std::string prefix = keywordPrefix(name, units);
        text_ += prefix;
        const std::size_t room = MaxLine > prefix.size() ? MaxLine - prefix.size() : 0;
        text_ += cutUtf8(oneLine(value), room);
        text_ += LineEnd;
    }
    void line(std::string_view name, std::string_view units, double value) { line(name, units, numberText(value)); }

    // A text too long for one line continues on further lines of the same
    // keyword, split at blanks where it can be; readers join them with one
    // blank.
    void longText(std::string_view name, std::string_view value)
    {
        const std::string text = oneLine(value);
        std::string_view rest = text;
        const std::size_t room = MaxLine - keywordPrefix(name, {}).size();
        do {
            std::string_view piece = cutUtf8(rest, room);
            if (piece.size() < rest.size()) {
                const std::size_t blank = piece.rfind(' ');
                if (blank != std::string_view::npos && blank > 0)
                    piece = piece.substr(0, blank);
            }
            line(name, {}, piece);
            rest.remove_prefix(piece.size());
            if (!rest.empty() && rest.front() == ' ')
                rest.remove_prefix(1);
        } while (!rest.empty());
    }

    std::string &text() { return text_; }

private:
    std::string text_;
};

constexpr std::array<std::string_view, 12> Months = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Reads up to three integers separated by one of `separators`.
int splitNumbers(std::string_view text, std::string_view separators, int (&parts)[3])
{
    int count = 0;
    std::size_t i = 0;
    while (count < 3 && i < text.size()) {
        if (!scan::isDigit(text[i]))
            return -1;
        int value = 0;
        std::size_t digits = 0;
        while (i < text.size() && scan::isDigit(text[i]) && digits < 5) {
            value = value * 10 + (text[i++] - '0');
            ++digits;
        }
        parts[count++] = value;
        if (i < text.size()) {
            if (separators.find(text[i]) == std::string_view::npos)
                return -1;
            ++i;
        }
    }
    return i == text.size() ? count : -1;
}

// DD-MMM-YYYY, as the standard writes dates, from the forms files use:
// DD-MMM-YYYY itself, D.M.YYYY (Bruker) and YYYY-MM-DD. Empty otherwise.
std::string standardDate(std::string_view date)
{
    date = scan::trimAll(date);
    char out[40];
    if (date.size() >= 9 && date.size() <= 11) {
        const std::size_t dash = date.find('-');
        if (dash != std::string_view::npos && dash + 4 < date.size() && date[dash + 4] == '-') {
            const std::string month = scan::toUpper(date.substr(dash + 1, 3));
            for (std::string_view m : Months)
                if (m == month)
                    return scan::toUpper(date);
        }
    }
    int parts[3] = {0, 0, 0};
    int day = 0, month = 0, year = 0;
    if (splitNumbers(date, ".", parts) == 3) {
        day = parts[0], month = parts[1], year = parts[2];
    } else if (splitNumbers(date, "-", parts) == 3 && parts[0] > 31) {
        year = parts[0], month = parts[1], day = parts[2];
    } else {
        return {};
    }
    if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1000 || year > 9999)
        return {};
    std::snprintf(out, sizeof out, "%02d-%s-%04d", day, Months[std::size_t(month - 1)].data(), year);
    return out;
}

// HH:MM from H:M or H:M:S.
std::string standardTime(std::string_view time)
{
    int parts[3] = {0, 0, 0};
    const int count = splitNumbers(scan::trimAll(time), ":", parts);
    if (count < 2 || parts[0] > 23 || parts[1] > 59)
        return {};
    char out[32];
    std::snprintf(out, sizeof out, "%02d:%02d", parts[0], parts[1]);
    return out;
}

} // namespace

std::string emsaText(const Spectrum &spectrum)
{
    const Metadata &meta = spectrum.meta;
    std::string yUnits = "counts";
    for (const Keyword &k : meta.keywords)
        if (k.name == "YUNITS")
            yUnits = k.value;

    EmsaWriter out;
    out.text().reserve(400 + spectrum.counts.size() * 12);
    out.line("FORMAT", {}, "EMSA/MAS Spectral Data File");
    out.line("VERSION", {}, "1.0");
    out.longText("TITLE", meta.title);
    out.line("DATE", {}, standardDate(meta.date));
    out.line("TIME", {}, standardTime(meta.time));
    out.line("OWNER", {}, meta.owner);
    out.line("NPOINTS", {}, double(spectrum.counts.size()));
    out.line("NCOLUMNS", {}, "1");
    out.line("XUNITS", {}, spectrum.calibration ? "eV" : "channel");
    out.line("YUNITS", {}, yUnits);
    out.line("DATATYPE", {}, "Y");
    out.line("XPERCHAN", {}, spectrum.calibration ? spectrum.calibration->gain_eV : 1.0);
    out.line("OFFSET", {}, spectrum.calibration ? spectrum.calibration->offset_eV : 0.0);
    if (!meta.signalType.empty())
        out.line("SIGNALTYPE", {}, meta.signalType);
    if (meta.beam_kV)
        out.line("BEAMKV", "kV", *meta.beam_kV);
    if (meta.liveTime_s)
        out.line("LIVETIME", "s", *meta.liveTime_s);
    if (meta.realTime_s)
        out.line("REALTIME", "s", *meta.realTime_s);
    if (meta.resolution.fwhmMnKa_eV)
        out.line("FWHMMNKA", "eV", *meta.resolution.fwhmMnKa_eV);
    for (const Keyword &k : meta.keywords)
        if (k.name != "YUNITS")
            out.line(k.name, k.units, k.value);

    // The checksum leaves out its own line, so it can be worked out from
    // everything else before that line is placed.
    std::string body;
    body += keywordPrefix("SPECTRUM", {});
    body += "Spectral Data Starts Here";
    body += LineEnd;
    for (double count : spectrum.counts) {
        appendNumber(body, count);
        body += ',';
        body += LineEnd;
    }
    body += keywordPrefix("ENDOFDATA", {});
    body += LineEnd;

    std::string &text = out.text();
    const std::uint64_t checksum = emsaChecksum(text) + emsaChecksum(body);
    out.line("CHECKSUM", {}, std::to_string(checksum));
    text += body;
    return std::move(text);
}

} // namespace spectrum
