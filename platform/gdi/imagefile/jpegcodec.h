#pragma once
/* The C side of the JPEG codec. libjpeg reports a fatal error by calling the error manager, which
 * must not return; ours jumps back (longjmp) to the entry point of this file that made the call.
 * Every such jump starts and ends inside the C functions below, so no C++ frame is ever skipped:
 * each function returns 0 on success or a nonzero libjpeg message code, and the C++ wrapper
 * (jpegfile.cpp) turns that code into an exception "JPEG error #<code>".
 *
 * A compressor or decompressor object is reusable: after an error it is reset, ready for the next
 * picture. The compressor keeps its output buffer between pictures, so a caller that encodes a
 * frame per timer tick or per movie frame reallocates only when a frame outgrows every earlier one.
 */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Pixel layouts of the rows the codec reads and writes: blue first, as bitmaps store them. */
typedef enum TJpegLayout {
  jlBgr24 = 0,  /* blue, green, red */
  jlBgrx32 = 1, /* blue, green, red, one byte the encoder ignores and the decoder sets to 255 */
} TJpegLayout;

/* ---- Encoding ---- */

typedef struct TJpegCompressor TJpegCompressor;

/* Returns NULL when memory is short. */
TJpegCompressor* JpegCompressorCreate(void);
void JpegCompressorDestroy(TJpegCompressor* Compressor);

/* Encodes Height rows of Width pixels; row y starts at Top + y * Stride (Stride may be negative for a
 * bottom-up bitmap). Baseline JPEG with the library's defaults at Quality (clamped to 1..100 as the
 * library does). On success *Data and *Size describe the file image, valid until the next call or
 * the destruction of the compressor. Returns 0 or a libjpeg message code. */
int JpegCompressorEncode(TJpegCompressor* Compressor, const uint8_t* Top, ptrdiff_t Stride, int Width,
                         int Height, TJpegLayout Layout, int Quality, const uint8_t** Data, size_t* Size);

/* ---- Decoding ---- */

typedef struct TJpegDecompressor TJpegDecompressor;

typedef struct TJpegHeaderInfo {
  int Width;
  int Height;
  int Components;  /* in the file: 1 grey, 3 colour, 4 CMYK or YCCK */
  int Progressive; /* nonzero for a progressive file */
} TJpegHeaderInfo;

TJpegDecompressor* JpegDecompressorCreate(void);
void JpegDecompressorDestroy(TJpegDecompressor* Decompressor);

/* Reads the headers of the file image Data[0..Size). The bytes must stay valid until
 * JpegDecompressorDecode or JpegDecompressorAbort. With Strict set, damaged data that the library
 * would only warn about (a truncated file, a corrupt entropy-coded segment) fails with the
 * warning's message code; bytes skipped between markers are still tolerated. */
int JpegDecompressorReadHeader(TJpegDecompressor* Decompressor, const uint8_t* Data, size_t Size, int Strict,
                               TJpegHeaderInfo* Info);
/* Decodes the picture whose header was read into rows at Top + y * Stride. Grey, colour, CMYK and
 * YCCK files all come out as blue, green, red. Returns 0 or a libjpeg message code. */
int JpegDecompressorDecode(TJpegDecompressor* Decompressor, uint8_t* Top, ptrdiff_t Stride,
                           TJpegLayout Layout);
/* Drops a picture whose header was read without decoding it. */
void JpegDecompressorAbort(TJpegDecompressor* Decompressor);

#ifdef __cplusplus
}
#endif
