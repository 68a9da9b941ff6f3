#include "error.h"

#include "readsupport.h"

#include <cerrno>

namespace spectrum {

std::string_view errorWording(ErrorKind kind)
{
    using K = ErrorKind;
    switch (kind) {
    case K::Unworded: return "%1";

    case K::System: return "%1";
    case K::Directory: return "a directory, not a spectrum file";
    case K::DirectoryFile: return "a directory, not a file";
    case K::NotRegular: return "not a regular file (a device, pipe or socket)";
    case K::TooLarge: return "the file is %1 MB; a spectrum file can be at most %2 MB";
    case K::Grew: return "the file grew past %1 MB while it was read";
    case K::Empty: return "the file is empty";
    case K::OnlyBlanks: return "the file holds only blanks";
    case K::Utf16: return "UTF-16 or UTF-32 text; save the spectrum as UTF-8 or 8-bit text";
    case K::Utf32: return "UTF-32 text; save the spectrum as UTF-8 or 8-bit text";
    case K::Binary: return "binary data, not a spectrum file";
    case K::NoNumbers: return "not a spectrum: no line of numbers";
    case K::UnknownFormat: return "unknown format";
    case K::CutShortBefore: return "the file is cut short: it ends before byte %1";
    case K::CutShortAt: return "the file is cut short: it ends at byte %1, before byte %2";
    case K::Cancelled: return "cancelled";
    case K::NoMemory: return "not enough memory";

    case K::CalibrationTooFew: return "a calibration needs at least two peaks of known energy, not %1";
    case K::CalibrationNotFinite: return "a calibration point is not a finite number";
    case K::CalibrationOneChannel:
        return "the peaks all lie at the same channel, which says nothing about the gain: assign lines to peaks at two "
               "different channels";
    case K::CalibrationFalling:
        return "the energies do not rise with the channel (the gain would be zero or negative): check the lines "
               "assigned to the peaks";
    case K::CalibrationTooFar: return "the calibration points are too far apart to fit";

    case K::EmsaNeither: return "this line is neither an EMSA keyword (#NAME: value) nor data: %1";
    case K::EmsaNotNumber: return "#%1 must be a finite number, not %2";
    case K::EmsaSecondSpectrum: return "a second #SPECTRUM after the data";
    case K::EmsaDatatype: return "#DATATYPE must be Y or XY, not %1";
    case K::EmsaTextInData: return "the data hold text where a number should be: %1";
    case K::EmsaXyOdd: return "an XY data line holds pairs of energy and counts, not %1 numbers";
    case K::EmsaNoSpectrum: return "a header but no data: no #SPECTRUM line and no counts";
    case K::EmsaNoCounts: return "a header but no data: no counts after #SPECTRUM";
    case K::EmsaXperchan: return "#XPERCHAN must be above zero";
    case K::EmsaOffset: return "#OFFSET is too large";
    case K::EmsaNoCalibration: return "no #XPERCHAN, and the energies of the data give no calibration: %1";

    case K::SpxEncoding: return "the XML declares the encoding %1; spx files are read in UTF-8 or Windows-1252";
    case K::XmlNotWellFormed: return "not well-formed XML: %1";
    case K::SpxNotBruker: return "an XML file, but not a Bruker spectrum: its root element is %1, not TRTSpectrum";
    case K::SpxNoSpectrum: return "a Bruker file without a spectrum (no ClassInstance of Type TRTSpectrum)";
    case K::SpxNoChannels: return "a Bruker spectrum without counts (no Channels element)";
    case K::SpxEmptyValue: return "Channels holds an empty value between two commas";
    case K::SpxTextInChannels: return "Channels holds text where a number should be: %1";
    case K::SpxChannelsEmpty: return "a header but no data: Channels is empty";
    case K::SpxGain: return "CalibLin, the gain, must be above zero";

    case K::CountsNotFinite: return "counts must be finite numbers, not %1";
    case K::TooManyChannels: return "more than %1 channels";

    case K::TextNotFinite: return "counts and energies must be finite numbers, not %1";
    case K::TextNotNumber: return "text where a number should be: %1";
    case K::TextOneNumber: return "a line of a two-column spectrum holds one number, not an energy and a count";
    case K::TextMoreNumbers: return "a line of a two-column spectrum holds more than an energy and a count";
    case K::TextNoData: return "no data: not a spectrum";
    case K::TextHeaderNoData: return "a header but no data";
    case K::TextNoCalibration: return "the energies give no calibration: %1";

    case K::WriteNoName: return "no file name";
    case K::WriteDirectoryExists: return "a directory of that name exists";
    case K::WriteCannotCreate: return "cannot create a file in %1: %2";
    case K::WriteNoTemporary: return "cannot create a temporary file in %1";
    case K::WriteCannotWrite: return "cannot write: %1";
    case K::WriteCannotReplace: return "cannot replace the file: %1";

    case K::NotCalibrated:
        return "the spectrum is not calibrated: its channels have no energies, so its peaks cannot be named "
               "(calibrate it first, from two known peaks)";

    case K::ImageEmpty: return "an image of %1 × %2 pixels holds nothing";
    case K::ImageNoChannels: return "spectra of 0 channels";
    case K::ImageSide: return "an image of %1 × %2 pixels; a side can be at most %3 pixels";
    case K::ImagePixels: return "an image of %1 × %2 pixels; at most 2^32 pixels are read";
    case K::ImageChannels: return "spectra of %1 channels; at most %2 are read";
    case K::CubeMemory: return "not enough memory for the whole cube (%1 × %2 pixels × %3 channels, %4)";
    case K::CubeBytes: return "%1 bytes for a cube of %2 × %3 pixels × %4 channels of %5 (%6 bytes)";
    case K::PixelsOutside: return "pixels %1 to %2 are outside the image of %3 pixels";
    case K::BufferSize: return "a buffer of %1 bytes for %2 pixels of %3 bytes";
    case K::PixelNotFinite: return "pixel %1, %2 holds a count that is not a finite number in channel %3";
    case K::SumOverflow: return "the counts add up past the largest number a double holds";
    case K::RectangleEmpty: return "the rectangle %1,%2 to %3,%4 holds no pixel";
    case K::RectangleOutside: return "the rectangle %1,%2 to %3,%4 reaches outside the image of %5 × %6 pixels";
    case K::PixelOutside: return "pixel %1, %2 is outside the image of %3 × %4 pixels";

    case K::SfsTooShort: return "not a Bruker bcf file (too short for its signature)";
    case K::SfsSignature: return "not a Bruker bcf file (no AAMVHFSS signature)";
    case K::SfsHeaderCut: return "the file is cut short within its header (%1 bytes)";
    case K::SfsChunkSize: return "a container chunk size of %1 bytes (%2 to %3 are read)";
    case K::SfsTableEmpty: return "the container's file table is empty";
    case K::SfsTableFit: return "the container's file table of %1 entries does not fit in the file (cut short?)";
    case K::SfsTablePast: return "the container's file table points to chunk %1, past the end of the file (cut short?)";
    case K::SfsNoParent: return "the container's entry %1 names a directory (%2) that does not exist";
    case K::SfsLoop: return "the container's entry %1 lies in a directory that is not one, or in a loop of directories";
    case K::SfsListChainPast:
        return "the container's chunk list of %1 points to chunk %2, past the end of the file (cut short?)";
    case K::SfsChunkListPast: return "the chunk list of %1 points to chunk %2, past the end of the file (cut short?)";
    case K::SfsIsDirectory: return "%1 is a directory";
    case K::SfsClaims: return "%1 claims %2 bytes, more than the file holds (cut short?)";
    case K::SfsEndsAt: return "%1 ends at byte %2, before byte %3";
    case K::SfsBlockSize: return "%1 is compressed in blocks of %2 bytes (1 to %3 are read)";
    case K::SfsBlocks: return "%1 claims %2 compressed blocks, more than it holds (cut short?)";
    case K::SfsBlockCut: return "%1 is cut short in its compressed block %2 of %3";
    case K::SfsBlockClaims:
        return "%1's compressed block %2 claims %3 bytes that decompress to %4 (blocks are 1 to %5 bytes)";
    case K::SfsBlockError: return "%1's compressed block %2 %3";
    case K::SfsTooLarge: return "%1 is %2 bytes; at most %3 are read";

    case K::InflateHuge: return "a compressed block of more than 4 GiB";
    case K::InflateStart: return "zlib cannot start";
    case K::InflateShort: return "decompresses to %1 bytes, not the %2 its header gives";
    case K::InflateLong: return "decompresses to more than the %1 bytes its header gives";
    case K::InflateEnds: return "the compressed data end before the block does";
    case K::InflateDamaged: return "damaged compressed data (%1)";

    case K::BcfHeaderXml: return "the map's header is not well-formed XML: %1";
    case K::BcfNoDatabase: return "the map's header has no TRTSpectrumDatabase";
    case K::BcfNoDataset: return "the map's header has no %1 spectrum, which gives the channels and calibration";
    case K::BcfSumSpectrum: return "the map's sum spectrum: %1";
    case K::BcfNoHeader: return "a bcf file without an EDS map (no EDSDatabase/HeaderData)";
    case K::BcfNoData: return "a bcf file without an EDS map (no EDSDatabase/SpectrumData)";
    case K::BcfDataHeader: return "the map's data header: %1";
    case K::BcfSize: return "the map's data give a size of %1 × %2 pixels";
    case K::BcfRow: return "row %1: %2";
    case K::BcfRowRecords: return "row %1 holds %2 pixel records, more than its %3 pixels";
    case K::BcfRecordColumn: return "row %1 has a record for column %2, outside its %3 pixels";
    case K::BcfRecordOrder: return "row %1 has its pixel records out of order (column %2 after %3)";
    case K::BcfPixel: return "pixel %1, %2: %3";
    case K::BcfRecordSize: return "a record of %1 bytes (at most %2 are read)";
    case K::BcfPulses16: return "%1 pulses of 16 bits in %2 bytes";
    case K::BcfPulses12: return "%1 pulses of 12 bits in %2 bytes";
    case K::BcfPackedTrailer: return "packed counts in %1 bytes, too few for their trailer";
    case K::BcfExtraPulses: return "%1 extra pulses in %2 bytes";
    case K::BcfEndsEarly: return "the map's data end early, within a pixel record (cut short?)";
    case K::BcfGroupCut: return "a packed group is cut short";
    case K::BcfGroupWidth: return "a packed group of width %1 (1, 2, 4 or 8 are known)";
    case K::BcfGroupPast: return "a packed group runs past the record's data";

    case K::RplTooLarge: return "a .rpl header of %1 bytes; at most %2 are read";
    case K::RplNoRaw: return "a ripple header without its data: no %1.raw beside it";
    case K::RplRawFile: return "its .raw file: %1";
    case K::RawNoRpl: return "a raw file without its ripple header: no %1.rpl beside it";
    case K::RawRplFile: return "its .rpl header: %1";
    case K::NotImage: return "not a spectrum image (a Bruker bcf, or a ripple .rpl with its .raw)";
    case K::RplMissing: return "the .rpl header has no %1";
    case K::RplNotWhole: return "the .rpl header's %1 %2 is not a whole number";
    case K::RplChoice: return "the .rpl header's %1 is %2, not %3, %4 or %5";
    case K::RplRaw: return "the .raw file: %1";
    case K::RplBinary: return "binary data, not a .rpl header";
    case K::RplDescribes: return "the .rpl header describes %1";
    case K::RplNoDataType: return "the .rpl header has no data-type";
    case K::RplDataLength: return "the .rpl header's data-length is %1, not 1, 2, 4 or 8";
    case K::RplFloat: return "the .rpl header gives floats of %1 bytes; they take 4 or 8";
    case K::RplNoByteOrder: return "the .rpl header has no byte-order, which numbers of %1 bytes need";
    case K::RplDontCare:
        return "the .rpl header's record-by is dont-care, which only a depth of 1 allows (depth is %1)";
    case K::RplNoRecordBy: return "the .rpl header has no record-by, which a depth above 1 needs";
    case K::RawSize:
        return "the .raw file holds %1 bytes; the .rpl header describes %2 (an offset of %3 and %4 × %5 pixels × %6 "
               "channels of %7 bytes)";

    case K::Count: break;
    }
    return "%1";
}

bool wrapsError(ErrorKind kind)
{
    using K = ErrorKind;
    switch (kind) {
    case K::EmsaNoCalibration:
    case K::TextNoCalibration:
    case K::WriteCannotCreate:
    case K::WriteCannotWrite:
    case K::WriteCannotReplace:
    case K::SfsBlockError:
    case K::BcfSumSpectrum:
    case K::BcfDataHeader:
    case K::BcfRow:
    case K::BcfPixel:
    case K::RplRawFile:
    case K::RawRplFile:
    case K::RplRaw:
    case K::RplDescribes:
        return true;
    default:
        return false;
    }
}

std::string fillPlaces(std::string_view wording, const std::vector<std::string> &values)
{
    std::string out;
    out.reserve(wording.size() + 16);
    for (std::size_t i = 0; i < wording.size(); ++i) {
        const char c = wording[i];
        if (c == '%' && i + 1 < wording.size() && wording[i + 1] >= '1' && wording[i + 1] <= '9') {
            const std::size_t n = std::size_t(wording[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string Error::message() const
{
    if (line == 0)
        return reason;
    return reason + " (line " + std::to_string(line) + ")";
}

Error Error::make(ErrorKind kind, std::vector<std::string> values, std::size_t line)
{
    Error error;
    error.reason = fillPlaces(errorWording(kind), values);
    error.line = line;
    error.kind = kind;
    error.values = std::move(values);
    return error;
}

Error Error::wrap(ErrorKind kind, std::vector<std::string> values, const Error &cause)
{
    std::vector<std::string> filled = values;
    filled.push_back(cause.reason);
    Error error;
    error.reason = fillPlaces(errorWording(kind), filled);
    error.kind = kind;
    error.values = std::move(values);
    error.cause = std::make_shared<const Error>(cause);
    return error;
}

Error Error::system()
{
    const int code = errno;
    return make(ErrorKind::System, {systemReason(), std::to_string(code)});
}

} // namespace spectrum
