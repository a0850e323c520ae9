#pragma once
// Window regions made from pictures, and the bytes of a region as the image buttons stream it.
//
// A region from a picture covers every pixel whose colour differs from a key colour: each row's
// maximal runs of such pixels become rectangles, joined into one region. The streamed form is a
// byte count N (int32, little-endian) followed by N bytes of region data (a 32-byte header with
// the rectangle count, then the rectangles); N = 0 means no region.

#include <cstdint>
#include <vector>

#include "platform/gdi/colors.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/wintypes.h"
#include "vcontrols/imaging/raster.h"

// The region of the pixels whose colour (PixelToColor) differs from Color; Color -1 means the
// colour of the top-left pixel. None (nullptr) for an empty raster or when every pixel has the
// key colour.
HRGN RegionFromRaster(const TvcRaster& Image, TColor Color);

// The region data of a region (empty for none).
std::vector<uint8_t> CaptureRegionBytes(HRGN Region);
// A region from region data; nullptr for no bytes or bytes that are no valid region data.
HRGN RegionFromBytes(const std::vector<uint8_t>& Bytes);

// The streamed form: N and the N bytes; without bytes, N = 0 and nothing more.
void WriteRegionBytes(TStream& Stream, const std::vector<uint8_t>& Bytes);
// Reads N and, when N is not 0, N bytes. A negative N, or more bytes than the stream holds,
// raises EReadError and reads nothing more.
std::vector<uint8_t> ReadRegionBytes(TStream& Stream);
