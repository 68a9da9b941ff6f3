// Why a file could not be read or written (or a calibration fitted): a kind,
// with the values its sentence names, for a reader to word in its own
// language; and the sentence in English, as the command line prints it.
// The readers of spectra and of spectrum images, the writers and the
// calibration fit all report through it. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace spectrum {

// Each kind has one English sentence (errorWording) with places %1, %2...
// for its values in order; a kind that wraps another error ("its .raw
// file: ...") has one place more, the last, for that error's sentence.
enum class ErrorKind : std::uint16_t {
    Unworded, // a sentence alone, in `reason`

    // --- Files -----------------------------------------------------------
    System,         // %1: the C library's text for errno %2
    Directory,      // a directory, not a spectrum file
    DirectoryFile,  // a directory, not a file
    NotRegular,     // a device, pipe or socket
    TooLarge,       // the file is %1 MB; at most %2
    Grew,           // the file grew past %1 MB while it was read
    Empty,
    OnlyBlanks,
    Utf16,
    Utf32,
    Binary,
    NoNumbers,
    UnknownFormat,
    CutShortBefore, // it ends before byte %1
    CutShortAt,     // it ends at byte %1, before byte %2
    Cancelled,
    NoMemory,

    // --- Calibration fit ---------------------------------------------------
    CalibrationTooFew, // not %1 peaks
    CalibrationNotFinite,
    CalibrationOneChannel,
    CalibrationFalling,
    CalibrationTooFar,

    // --- EMSA/MSA ----------------------------------------------------------
    EmsaNeither,         // line %1 is neither keyword nor data
    EmsaNotNumber,       // #%1 must be a number, not %2
    EmsaSecondSpectrum,
    EmsaDatatype,        // not %1
    EmsaTextInData,      // %1
    EmsaXyOdd,           // %1 numbers
    EmsaNoSpectrum,
    EmsaNoCounts,
    EmsaXperchan,
    EmsaOffset,
    EmsaNoCalibration,   // wraps the fit's error

    // --- Bruker spx ----------------------------------------------------------
    SpxEncoding,         // %1
    XmlNotWellFormed,    // %1: the XML parser's text
    SpxNotBruker,        // root element %1
    SpxNoSpectrum,
    SpxNoChannels,
    SpxEmptyValue,
    SpxTextInChannels,   // %1
    SpxChannelsEmpty,
    SpxGain,

    // --- Any spectrum format ---------------------------------------------------
    CountsNotFinite,     // not %1
    TooManyChannels,     // more than %1

    // --- Text (energy and counts, or counts) -----------------------------------
    TextNotFinite,       // not %1
    TextNotNumber,       // %1
    TextOneNumber,
    TextMoreNumbers,
    TextNoData,
    TextHeaderNoData,
    TextNoCalibration,   // wraps the fit's error

    // --- Writing --------------------------------------------------------------
    WriteNoName,
    WriteDirectoryExists,
    WriteCannotCreate,   // in %1; wraps the system's error
    WriteNoTemporary,    // in %1
    WriteCannotWrite,    // wraps the system's error
    WriteCannotReplace,  // wraps the system's error

    // --- Identification ----------------------------------------------------------
    NotCalibrated,

    // --- Spectrum images: their size ---------------------------------------------
    ImageEmpty,          // %1 × %2 pixels
    ImageNoChannels,
    ImageSide,           // %1 × %2; at most %3
    ImagePixels,         // %1 × %2
    ImageChannels,       // %1; at most %2
    CubeMemory,          // %1 × %2 × %3, %4 bytes in words
    CubeBytes,           // %1 bytes for %2 × %3 × %4 of %5 (%6 bytes)
    PixelsOutside,       // %1 to %2 of %3
    BufferSize,          // %1 bytes, %2 pixels of %3 bytes
    PixelNotFinite,      // pixel %1, %2, channel %3
    SumOverflow,
    RectangleEmpty,      // %1,%2 to %3,%4
    RectangleOutside,    // %1,%2 to %3,%4 of %5 × %6
    PixelOutside,        // %1, %2 of %3 × %4

    // --- Bruker bcf: the container -------------------------------------------------
    SfsTooShort,
    SfsSignature,
    SfsHeaderCut,        // %1 bytes
    SfsChunkSize,        // %1 (%2 to %3)
    SfsTableEmpty,
    SfsTableFit,         // %1 entries
    SfsTablePast,        // chunk %1
    SfsNoParent,         // entry %1, directory %2
    SfsLoop,             // entry %1
    SfsListChainPast,    // of %1, chunk %2: the list's own chain
    SfsChunkListPast,    // of %1, chunk %2: a chunk it lists
    SfsIsDirectory,      // %1
    SfsClaims,           // %1 claims %2 bytes
    SfsEndsAt,           // %1 ends at %2, before %3
    SfsBlockSize,        // %1 in blocks of %2 (1 to %3)
    SfsBlocks,           // %1 claims %2 blocks
    SfsBlockCut,         // %1 block %2 of %3
    SfsBlockClaims,      // %1 block %2: %3 bytes to %4 (1 to %5)
    SfsBlockError,       // %1 block %2; wraps the decompressor's error
    SfsTooLarge,         // %1 is %2 bytes; at most %3

    // --- Bruker bcf: compressed blocks ------------------------------------------------
    InflateHuge,
    InflateStart,
    InflateShort,        // %1 bytes, not %2
    InflateLong,         // more than %1
    InflateEnds,
    InflateDamaged,      // %1: zlib's text

    // --- Bruker bcf: the map --------------------------------------------------------
    BcfHeaderXml,        // %1: the XML parser's text
    BcfNoDatabase,
    BcfNoDataset,        // %1
    BcfSumSpectrum,      // wraps the spectrum reader's error
    BcfNoHeader,
    BcfNoData,
    BcfDataHeader,       // wraps
    BcfSize,             // %1 × %2
    BcfRow,              // row %1; wraps
    BcfRowRecords,       // row %1, %2 records, %3 pixels
    BcfRecordColumn,     // row %1, column %2, %3 pixels
    BcfRecordOrder,      // row %1, column %2 after %3
    BcfPixel,            // pixel %1, %2; wraps
    BcfRecordSize,       // %1 bytes (at most %2)
    BcfPulses16,         // %1 in %2 bytes
    BcfPulses12,         // %1 in %2 bytes
    BcfPackedTrailer,    // %1 bytes
    BcfExtraPulses,      // %1 in %2 bytes
    BcfEndsEarly,
    BcfGroupCut,
    BcfGroupWidth,       // %1
    BcfGroupPast,

    // --- Ripple (.rpl and .raw) --------------------------------------------------------
    RplTooLarge,         // %1 bytes; at most %2
    RplNoRaw,            // %1.raw
    RplRawFile,          // wraps the .raw file's error
    RawNoRpl,            // %1.rpl
    RawRplFile,          // wraps the .rpl file's error
    NotImage,
    RplMissing,          // %1
    RplNotWhole,         // %1 %2
    RplChoice,           // %1 is %2, not %3, %4 or %5
    RplRaw,              // wraps
    RplBinary,
    RplDescribes,        // wraps the size's error
    RplNoDataType,
    RplDataLength,       // %1
    RplFloat,            // %1
    RplNoByteOrder,      // %1
    RplDontCare,         // depth %1
    RplNoRecordBy,
    RawSize,             // %1 bytes; %2 (offset %3, %4 × %5 × %6 of %7 bytes)

    Count // not a kind: how many there are
};

struct Error {
    // The sentence, without a full stop, in English.
    std::string reason;
    // The 1-based line it concerns, 0 where no line applies.
    std::size_t line = 0;
    ErrorKind kind = ErrorKind::Unworded;
    // What the sentence names, in the order of its places: numbers as
    // written, texts of the file already quoted, names.
    std::vector<std::string> values = {};
    // For a kind that wraps another error: that error.
    std::shared_ptr<const Error> cause = {};

    // "reason (line N)" or "reason".
    std::string message() const;

    // An error of that kind, its reason worded from the values.
    static Error make(ErrorKind kind, std::vector<std::string> values = {}, std::size_t line = 0);
    // An error of that kind around another one, whose reason fills the last place.
    static Error wrap(ErrorKind kind, std::vector<std::string> values, const Error &cause);
    // The C library's text for errno, as kind System.
    static Error system();
};

// The English sentence of a kind, with its places.
std::string_view errorWording(ErrorKind kind);
// Whether a kind wraps another error.
bool wrapsError(ErrorKind kind);

// The wording with %1... replaced by the values in one pass (a value that
// holds "%2" stays as it is).
std::string fillPlaces(std::string_view wording, const std::vector<std::string> &values);

} // namespace spectrum
