// Bruker .bcf spectrum images (Esprit 1.x and 2.x "hypermaps"): the SFS
// container (sfs.h), the XML header EDSDatabase/HeaderData and the pixel
// data EDSDatabase/SpectrumDataN (bcfrecords.h).
//
// From the header: the map's sum spectrum, whose channel count is the
// cube's and whose calibration (CalibAbs, CalibLin) the cube's; the beam
// (TRTSEMData's HV, else the sum spectrum's PrimaryEnergy); the pixel size
// (DX, DY, in µm); the whole map's real time (its line counters, pixel time
// and averaging), and the sum spectrum's live and real times where it has
// them; the map's name, date and time.
//
// The counts of a bcf have no stored type: the cube takes the narrowest
// unsigned type (8, 16, 32 or 64 bits) that holds every count, found in
// the first walk through the data (a pixel of pulses holds at most its
// number of pulses in a channel, so only pixels of many pulses are counted
// channel by channel).
#pragma once

#include "bytesource.h"
#include "pixelsource.h"

#include <memory>
#include <string_view>

namespace image {

// Whether these first bytes are a bcf's (the container's signature).
bool looksLikeBcf(std::string_view head);

// Opens the spectrum image of a bcf: reads the container and the header,
// then walks the pixel data once to index its rows, check every record and
// find the count type, telling `progress` the decoded bytes walked. The
// counts are then decoded chunk by chunk from `bytes` through the source
// returned. A file with several maps (EDSDatabase/SpectrumData0, 1 ...)
// gives the first, with a warning. Refused with the reason: not a bcf, no
// EDS map in it, a damaged container, header or record, data cut short.
Result<std::shared_ptr<const PixelSource>> openBcf(std::shared_ptr<const ByteSource> bytes,
                                                   const Progress &progress = {});

} // namespace image
