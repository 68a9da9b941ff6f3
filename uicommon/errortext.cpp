#include "errortext.h"

#include <QCoreApplication>

#include <cerrno>

namespace errortext {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("errortext", text); }

// The XML parser's descriptions of what is wrong with a document, as it
// words them, for the translations to find.
[[maybe_unused]] constexpr const char *XmlDescriptions[] = {
    QT_TRANSLATE_NOOP("errortext", "No error"),
    QT_TRANSLATE_NOOP("errortext", "File was not found"),
    QT_TRANSLATE_NOOP("errortext", "Error reading from file/stream"),
    QT_TRANSLATE_NOOP("errortext", "Could not allocate memory"),
    QT_TRANSLATE_NOOP("errortext", "Internal error occurred"),
    QT_TRANSLATE_NOOP("errortext", "Could not determine tag type"),
    QT_TRANSLATE_NOOP("errortext", "Error parsing document declaration/processing instruction"),
    QT_TRANSLATE_NOOP("errortext", "Error parsing comment"),
    QT_TRANSLATE_NOOP("errortext", "Error parsing CDATA section"),
    QT_TRANSLATE_NOOP("errortext", "Error parsing document type declaration"),
    QT_TRANSLATE_NOOP("errortext", "Error parsing PCDATA section"),
    QT_TRANSLATE_NOOP("errortext", "Error parsing start element tag"),
    QT_TRANSLATE_NOOP("errortext", "Error parsing element attribute"),
    QT_TRANSLATE_NOOP("errortext", "Error parsing end element tag"),
    QT_TRANSLATE_NOOP("errortext", "Start-end tags mismatch"),
    QT_TRANSLATE_NOOP("errortext", "Unable to append nodes: root is not an element or document"),
    QT_TRANSLATE_NOOP("errortext", "No document element found"),
};

// The C library's reason for errno `code`, for the errors a file can meet;
// its own (English) text for the others.
QString systemText(int code, const QString &library)
{
    switch (code) {
    case ENOENT: return tr("no such file or directory");
    case EACCES: return tr("permission denied");
    case EPERM: return tr("operation not permitted");
    case EISDIR: return tr("is a directory");
    case ENOTDIR: return tr("not a directory");
    case ENOSPC: return tr("no space left on device");
    case EDQUOT: return tr("disk quota exceeded");
    case EROFS: return tr("read-only file system");
    case EIO: return tr("input/output error");
    case ENAMETOOLONG: return tr("file name too long");
    case ELOOP: return tr("too many levels of symbolic links");
    case EMFILE: return tr("too many open files");
    case ENFILE: return tr("too many open files in system");
    case ENOMEM: return tr("cannot allocate memory");
    case EFBIG: return tr("file too large");
    case EBUSY: return tr("device or resource busy");
    case EEXIST: return tr("file exists");
    case ENXIO: return tr("no such device or address");
    case ENODEV: return tr("no such device");
    case EAGAIN: return tr("resource temporarily unavailable");
    case EINVAL: return tr("invalid argument");
    default: break;
    }
    return library;
}

// The wording with %1... replaced by the values in one pass, as the core
// does it (a value that holds "%2" stays as it is).
QString fill(const QString &wording, const QStringList &values)
{
    QString out;
    out.reserve(wording.size() + 16);
    for (qsizetype i = 0; i < wording.size(); ++i) {
        const QChar c = wording[i];
        if (c == u'%' && i + 1 < wording.size() && wording[i + 1] >= u'1' && wording[i + 1] <= u'9') {
            const qsizetype n = wording[i + 1].unicode() - u'1';
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

} // namespace

QString wording(spectrum::ErrorKind kind)
{
    using K = spectrum::ErrorKind;
    switch (kind) {
    case K::Unworded:
    case K::System:
    case K::Count:
        return QStringLiteral("%1");

    case K::Directory: return tr("a directory, not a spectrum file");
    case K::DirectoryFile: return tr("a directory, not a file");
    case K::NotRegular: return tr("not a regular file (a device, pipe or socket)");
    case K::TooLarge: return tr("the file is %1 MB; a spectrum file can be at most %2 MB");
    case K::Grew: return tr("the file grew past %1 MB while it was read");
    case K::Empty: return tr("the file is empty");
    case K::OnlyBlanks: return tr("the file holds only blanks");
    case K::Utf16: return tr("UTF-16 or UTF-32 text; save the spectrum as UTF-8 or 8-bit text");
    case K::Utf32: return tr("UTF-32 text; save the spectrum as UTF-8 or 8-bit text");
    case K::Binary: return tr("binary data, not a spectrum file");
    case K::NoNumbers: return tr("not a spectrum: no line of numbers");
    case K::UnknownFormat: return tr("unknown format");
    case K::CutShortBefore: return tr("the file is cut short: it ends before byte %1");
    case K::CutShortAt: return tr("the file is cut short: it ends at byte %1, before byte %2");
    case K::Cancelled: return tr("cancelled");
    case K::NoMemory: return tr("not enough memory");

    case K::CalibrationTooFew: return tr("a calibration needs at least two peaks of known energy, not %1");
    case K::CalibrationNotFinite: return tr("a calibration point is not a finite number");
    case K::CalibrationOneChannel:
        return tr("the peaks all lie at the same channel, which says nothing about the gain: assign lines to peaks at "
                  "two different channels");
    case K::CalibrationFalling:
        return tr("the energies do not rise with the channel (the gain would be zero or negative): check the lines "
                  "assigned to the peaks");
    case K::CalibrationTooFar: return tr("the calibration points are too far apart to fit");

    case K::EmsaNeither: return tr("this line is neither an EMSA keyword (#NAME: value) nor data: %1");
    case K::EmsaNotNumber: return tr("#%1 must be a finite number, not %2");
    case K::EmsaSecondSpectrum: return tr("a second #SPECTRUM after the data");
    case K::EmsaDatatype: return tr("#DATATYPE must be Y or XY, not %1");
    case K::EmsaTextInData: return tr("the data hold text where a number should be: %1");
    case K::EmsaXyOdd: return tr("an XY data line holds pairs of energy and counts, not %1 numbers");
    case K::EmsaNoSpectrum: return tr("a header but no data: no #SPECTRUM line and no counts");
    case K::EmsaNoCounts: return tr("a header but no data: no counts after #SPECTRUM");
    case K::EmsaXperchan: return tr("#XPERCHAN must be above zero");
    case K::EmsaOffset: return tr("#OFFSET is too large");
    case K::EmsaNoCalibration: return tr("no #XPERCHAN, and the energies of the data give no calibration: %1");

    case K::SpxEncoding: return tr("the XML declares the encoding %1; spx files are read in UTF-8 or Windows-1252");
    case K::XmlNotWellFormed: return tr("not well-formed XML: %1");
    case K::SpxNotBruker: return tr("an XML file, but not a Bruker spectrum: its root element is %1, not TRTSpectrum");
    case K::SpxNoSpectrum: return tr("a Bruker file without a spectrum (no ClassInstance of Type TRTSpectrum)");
    case K::SpxNoChannels: return tr("a Bruker spectrum without counts (no Channels element)");
    case K::SpxEmptyValue: return tr("Channels holds an empty value between two commas");
    case K::SpxTextInChannels: return tr("Channels holds text where a number should be: %1");
    case K::SpxChannelsEmpty: return tr("a header but no data: Channels is empty");
    case K::SpxGain: return tr("CalibLin, the gain, must be above zero");

    case K::CountsNotFinite: return tr("counts must be finite numbers, not %1");
    case K::TooManyChannels: return tr("more than %1 channels");

    case K::TextNotFinite: return tr("counts and energies must be finite numbers, not %1");
    case K::TextNotNumber: return tr("text where a number should be: %1");
    case K::TextOneNumber: return tr("a line of a two-column spectrum holds one number, not an energy and a count");
    case K::TextMoreNumbers: return tr("a line of a two-column spectrum holds more than an energy and a count");
    case K::TextNoData: return tr("no data: not a spectrum");
    case K::TextHeaderNoData: return tr("a header but no data");
    case K::TextNoCalibration: return tr("the energies give no calibration: %1");

    case K::WriteNoName: return tr("no file name");
    case K::WriteDirectoryExists: return tr("a directory of that name exists");
    case K::WriteCannotCreate: return tr("cannot create a file in %1: %2");
    case K::WriteNoTemporary: return tr("cannot create a temporary file in %1");
    case K::WriteCannotWrite: return tr("cannot write: %1");
    case K::WriteCannotReplace: return tr("cannot replace the file: %1");

    case K::NotCalibrated:
        return tr("the spectrum is not calibrated: its channels have no energies, so its peaks cannot be named "
                  "(calibrate it first, from two known peaks)");

    case K::ImageEmpty: return tr("an image of %1 × %2 pixels holds nothing");
    case K::ImageNoChannels: return tr("spectra of 0 channels");
    case K::ImageSide: return tr("an image of %1 × %2 pixels; a side can be at most %3 pixels");
    case K::ImagePixels: return tr("an image of %1 × %2 pixels; at most 2^32 pixels are read");
    case K::ImageChannels: return tr("spectra of %1 channels; at most %2 are read");
    case K::CubeMemory: return tr("not enough memory for the whole cube (%1 × %2 pixels × %3 channels, %4)");
    case K::CubeBytes: return tr("%1 bytes for a cube of %2 × %3 pixels × %4 channels of %5 (%6 bytes)");
    case K::PixelsOutside: return tr("pixels %1 to %2 are outside the image of %3 pixels");
    case K::BufferSize: return tr("a buffer of %1 bytes for %2 pixels of %3 bytes");
    case K::PixelNotFinite: return tr("pixel %1, %2 holds a count that is not a finite number in channel %3");
    case K::SumOverflow: return tr("the counts add up past the largest number a double holds");
    case K::RectangleEmpty: return tr("the rectangle %1,%2 to %3,%4 holds no pixel");
    case K::RectangleOutside: return tr("the rectangle %1,%2 to %3,%4 reaches outside the image of %5 × %6 pixels");
    case K::PixelOutside: return tr("pixel %1, %2 is outside the image of %3 × %4 pixels");

    case K::SfsTooShort: return tr("not a Bruker bcf file (too short for its signature)");
    case K::SfsSignature: return tr("not a Bruker bcf file (no AAMVHFSS signature)");
    case K::SfsHeaderCut: return tr("the file is cut short within its header (%1 bytes)");
    case K::SfsChunkSize: return tr("a container chunk size of %1 bytes (%2 to %3 are read)");
    case K::SfsTableEmpty: return tr("the container's file table is empty");
    case K::SfsTableFit: return tr("the container's file table of %1 entries does not fit in the file (cut short?)");
    case K::SfsTablePast:
        return tr("the container's file table points to chunk %1, past the end of the file (cut short?)");
    case K::SfsNoParent: return tr("the container's entry %1 names a directory (%2) that does not exist");
    case K::SfsLoop:
        return tr("the container's entry %1 lies in a directory that is not one, or in a loop of directories");
    case K::SfsListChainPast:
        return tr("the container's chunk list of %1 points to chunk %2, past the end of the file (cut short?)");
    case K::SfsChunkListPast: return tr("the chunk list of %1 points to chunk %2, past the end of the file (cut short?)");
    case K::SfsIsDirectory: return tr("%1 is a directory");
    case K::SfsClaims: return tr("%1 claims %2 bytes, more than the file holds (cut short?)");
    case K::SfsEndsAt: return tr("%1 ends at byte %2, before byte %3");
    case K::SfsBlockSize: return tr("%1 is compressed in blocks of %2 bytes (1 to %3 are read)");
    case K::SfsBlocks: return tr("%1 claims %2 compressed blocks, more than it holds (cut short?)");
    case K::SfsBlockCut: return tr("%1 is cut short in its compressed block %2 of %3");
    case K::SfsBlockClaims:
        return tr("%1's compressed block %2 claims %3 bytes that decompress to %4 (blocks are 1 to %5 bytes)");
    case K::SfsBlockError: return tr("%1's compressed block %2 %3");
    case K::SfsTooLarge: return tr("%1 is %2 bytes; at most %3 are read");

    case K::InflateHuge: return tr("a compressed block of more than 4 GiB");
    case K::InflateStart: return tr("zlib cannot start");
    case K::InflateShort: return tr("decompresses to %1 bytes, not the %2 its header gives");
    case K::InflateLong: return tr("decompresses to more than the %1 bytes its header gives");
    case K::InflateEnds: return tr("the compressed data end before the block does");
    case K::InflateDamaged: return tr("damaged compressed data (%1)");

    case K::BcfHeaderXml: return tr("the map's header is not well-formed XML: %1");
    case K::BcfNoDatabase: return tr("the map's header has no TRTSpectrumDatabase");
    case K::BcfNoDataset: return tr("the map's header has no %1 spectrum, which gives the channels and calibration");
    case K::BcfSumSpectrum: return tr("the map's sum spectrum: %1");
    case K::BcfNoHeader: return tr("a bcf file without an EDS map (no EDSDatabase/HeaderData)");
    case K::BcfNoData: return tr("a bcf file without an EDS map (no EDSDatabase/SpectrumData)");
    case K::BcfDataHeader: return tr("the map's data header: %1");
    case K::BcfSize: return tr("the map's data give a size of %1 × %2 pixels");
    case K::BcfRow: return tr("row %1: %2");
    case K::BcfRowRecords: return tr("row %1 holds %2 pixel records, more than its %3 pixels");
    case K::BcfRecordColumn: return tr("row %1 has a record for column %2, outside its %3 pixels");
    case K::BcfRecordOrder: return tr("row %1 has its pixel records out of order (column %2 after %3)");
    case K::BcfPixel: return tr("pixel %1, %2: %3");
    case K::BcfRecordSize: return tr("a record of %1 bytes (at most %2 are read)");
    case K::BcfPulses16: return tr("%1 pulses of 16 bits in %2 bytes");
    case K::BcfPulses12: return tr("%1 pulses of 12 bits in %2 bytes");
    case K::BcfPackedTrailer: return tr("packed counts in %1 bytes, too few for their trailer");
    case K::BcfExtraPulses: return tr("%1 extra pulses in %2 bytes");
    case K::BcfEndsEarly: return tr("the map's data end early, within a pixel record (cut short?)");
    case K::BcfGroupCut: return tr("a packed group is cut short");
    case K::BcfGroupWidth: return tr("a packed group of width %1 (1, 2, 4 or 8 are known)");
    case K::BcfGroupPast: return tr("a packed group runs past the record's data");

    case K::RplTooLarge: return tr("a .rpl header of %1 bytes; at most %2 are read");
    case K::RplNoRaw: return tr("a ripple header without its data: no %1.raw beside it");
    case K::RplRawFile: return tr("its .raw file: %1");
    case K::RawNoRpl: return tr("a raw file without its ripple header: no %1.rpl beside it");
    case K::RawRplFile: return tr("its .rpl header: %1");
    case K::NotImage: return tr("not a spectrum image (a Bruker bcf, or a ripple .rpl with its .raw)");
    case K::RplMissing: return tr("the .rpl header has no %1");
    case K::RplNotWhole: return tr("the .rpl header's %1 %2 is not a whole number");
    case K::RplChoice: return tr("the .rpl header's %1 is %2, not %3, %4 or %5");
    case K::RplRaw: return tr("the .raw file: %1");
    case K::RplBinary: return tr("binary data, not a .rpl header");
    case K::RplDescribes: return tr("the .rpl header describes %1");
    case K::RplNoDataType: return tr("the .rpl header has no data-type");
    case K::RplDataLength: return tr("the .rpl header's data-length is %1, not 1, 2, 4 or 8");
    case K::RplFloat: return tr("the .rpl header gives floats of %1 bytes; they take 4 or 8");
    case K::RplNoByteOrder: return tr("the .rpl header has no byte-order, which numbers of %1 bytes need");
    case K::RplDontCare:
        return tr("the .rpl header's record-by is dont-care, which only a depth of 1 allows (depth is %1)");
    case K::RplNoRecordBy: return tr("the .rpl header has no record-by, which a depth above 1 needs");
    case K::RawSize:
        return tr("the .raw file holds %1 bytes; the .rpl header describes %2 (an offset of %3 and %4 × %5 pixels × "
                  "%6 channels of %7 bytes)");
    }
    return QStringLiteral("%1");
}

QString reason(const spectrum::Error &error)
{
    using K = spectrum::ErrorKind;
    QStringList values;
    for (const std::string &v : error.values)
        values << QString::fromStdString(v);
    switch (error.kind) {
    case K::Unworded:
    case K::Count:
        return QString::fromStdString(error.reason);
    case K::System:
        return systemText(values.value(1).toInt(), values.value(0));
    case K::XmlNotWellFormed:
    case K::BcfHeaderXml:
        if (!values.isEmpty())
            values[0] = QCoreApplication::translate("errortext", error.values[0].c_str());
        break;
    default:
        break;
    }
    if (spectrum::wrapsError(error.kind))
        values << (error.cause ? reason(*error.cause) : QString());
    return fill(wording(error.kind), values);
}

QString message(const spectrum::Error &error)
{
    const QString text = reason(error);
    if (error.line == 0)
        return text;
    return tr("%1 (line %2)").arg(text, QString::number(error.line));
}

} // namespace errortext
