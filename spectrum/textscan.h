// Reading text the way spectrum files need it: lines with any of the usual
// ends, blanks, letters in any case, and numbers in the C form whatever the
// process locale. Used by the readers; not part of the core's interface.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace spectrum::scan {

// Walks through a text line by line. A line ends at LF, CR LF or a CR alone;
// the end is not part of the line. The last line may lack its end.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

    // The next line into `line`; false at the end of the text.
    bool next(std::string_view &line);
    // The 1-based number of the line last returned.
    std::size_t number() const { return number_; }
    // Where the next line starts, as an offset into the text.
    std::size_t position() const { return position_; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t number_ = 0;
};

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// Without blanks (spaces, TABs) at either end; trimAll also drops other
// white space and control characters (a stray CR, a form feed).
std::string_view trim(std::string_view text);
std::string_view trimAll(std::string_view text);

bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
bool containsNoCase(std::string_view text, std::string_view part);
std::string toUpper(std::string_view text);

// The outcome of reading one number.
enum class Number {
    Read,      // a finite number
    NotFinite, // "nan", "inf", or too large for a double ("1e999")
    None,      // no number at this place
};

// Reads a number at the start of `text`: an optional sign ('+' too), digits
// with an optional '.', and an optional exponent, which may stand apart from
// the digits after blanks ("2.0 E-06"). "21." and ".5" are numbers.
// On Read and NotFinite, `length` is how many characters it took.
Number readNumber(std::string_view text, double &value, std::size_t &length);

// The whole of `text` (blanks around it allowed) as one number.
Number parseNumber(std::string_view text, double &value);

// A number at the start of `text` followed by anything (units, remarks):
// "100.   live time" reads 100. Leading blanks are skipped.
Number leadingNumber(std::string_view text, double &value);

} // namespace spectrum::scan

namespace spectrum::scan {

// Reads every number on a line, the numbers separated by blanks, TABs,
// commas or semicolons, and appends them to `values`. Stops at the first
// thing that is no finite number: then `bad` is that text (cut short) and
// the result says whether it was no number or a non-finite one. Stops
// early, with Read, once `values` holds more than `most` numbers, so that
// one enormous line cannot take more memory than the caller allows.
Number appendValues(std::string_view line, std::vector<double> &values, std::string &bad,
                    std::size_t most = std::size_t(-1));

// How a text should be quoted in a reason: at most 30 characters, control
// characters as '?'.
std::string quote(std::string_view text);

} // namespace spectrum::scan
