/* libjpeg-turbo behind a return-code interface; see jpegcodec.h for the contract.
 *
 * Every public function that calls into libjpeg sets a jump target first (setjmp in the same
 * function), and the error manager's error_exit jumps there. Locals are not read after a jump
 * except the object pointer, which never changes, so no volatile qualifiers are needed. */

#include "platform/gdi/imagefile/jpegcodec.h"

#include <setjmp.h>
#include <stdlib.h>
#include <string.h>

/* jpeglib.h uses FILE without including stdio.h, and jerror.h needs jpeglib.h. */
/* clang-format off */
#include <stdio.h>
#include <jpeglib.h>
#include <jerror.h>
/* clang-format on */

/* A progressive file may hold any number of scans; a hostile one holds thousands of empty ones to
 * keep the decoder busy. Real files use about ten. */
#define JPEG_MAX_SCANS 1000

typedef struct TJpegErrorManager {
  struct jpeg_error_mgr Public;
  jmp_buf Target;
  int Strict;
} TJpegErrorManager;

static void ErrorExit(j_common_ptr Info) {
  TJpegErrorManager* Manager = (TJpegErrorManager*)Info->err;
  longjmp(Manager->Target, 1);
}

/* Warnings (level -1) report damaged data the library worked around; trace messages (level > 0)
 * are chatter. Nothing is ever printed. */
static void EmitMessage(j_common_ptr Info, int Level) {
  TJpegErrorManager* Manager = (TJpegErrorManager*)Info->err;
  if (Level < 0) {
    Info->err->num_warnings++;
    /* Garbage between markers is skipped without touching a pixel. */
    if (Manager->Strict && Info->err->msg_code != JWRN_EXTRANEOUS_DATA) longjmp(Manager->Target, 1);
  }
}

static void OutputMessage(j_common_ptr Info) {
  (void)Info;
}

static void InitErrorManager(TJpegErrorManager* Manager) {
  jpeg_std_error(&Manager->Public);
  Manager->Public.error_exit = ErrorExit;
  Manager->Public.emit_message = EmitMessage;
  Manager->Public.output_message = OutputMessage;
  Manager->Strict = 0;
}

/* libjpeg leaves msg_code 0 only when it never reported; keep "0 = success" unambiguous. */
static int ErrorCode(const TJpegErrorManager* Manager) {
  return Manager->Public.msg_code != 0 ? Manager->Public.msg_code : JERR_BAD_STATE;
}

/* ---- Encoding ---- */

struct TJpegCompressor {
  struct jpeg_compress_struct Info;
  TJpegErrorManager Error;
  struct jpeg_destination_mgr Destination;
  int Created;
  unsigned char* Buffer; /* kept between pictures */
  size_t Capacity;
  size_t Size;
};

static void InitDestination(j_compress_ptr Info) {
  TJpegCompressor* Compressor = (TJpegCompressor*)Info->client_data;
  if (Compressor->Buffer == NULL) {
    size_t Initial = (size_t)Info->image_width * Info->image_height / 4 + 4096;
    Compressor->Buffer = (unsigned char*)malloc(Initial);
    if (Compressor->Buffer == NULL) ERREXIT(Info, JERR_OUT_OF_MEMORY);
    Compressor->Capacity = Initial;
  }
  Compressor->Destination.next_output_byte = Compressor->Buffer;
  Compressor->Destination.free_in_buffer = Compressor->Capacity;
}

static boolean EmptyOutputBuffer(j_compress_ptr Info) {
  TJpegCompressor* Compressor = (TJpegCompressor*)Info->client_data;
  size_t OldCapacity = Compressor->Capacity;
  size_t NewCapacity = OldCapacity * 2;
  unsigned char* Grown = (unsigned char*)realloc(Compressor->Buffer, NewCapacity);
  if (Grown == NULL) ERREXIT(Info, JERR_OUT_OF_MEMORY);
  Compressor->Buffer = Grown;
  Compressor->Capacity = NewCapacity;
  /* The library asks for more room only when the whole buffer is full. */
  Compressor->Destination.next_output_byte = Grown + OldCapacity;
  Compressor->Destination.free_in_buffer = NewCapacity - OldCapacity;
  return TRUE;
}

static void TermDestination(j_compress_ptr Info) {
  TJpegCompressor* Compressor = (TJpegCompressor*)Info->client_data;
  Compressor->Size = Compressor->Capacity - Compressor->Destination.free_in_buffer;
}

TJpegCompressor* JpegCompressorCreate(void) {
  TJpegCompressor* Compressor = (TJpegCompressor*)calloc(1, sizeof(TJpegCompressor));
  if (Compressor == NULL) return NULL;
  InitErrorManager(&Compressor->Error);
  Compressor->Info.err = &Compressor->Error.Public;
  if (setjmp(Compressor->Error.Target)) {
    jpeg_destroy_compress(&Compressor->Info);
    free(Compressor);
    return NULL;
  }
  jpeg_create_compress(&Compressor->Info);
  Compressor->Created = 1;
  Compressor->Info.client_data = Compressor;
  Compressor->Destination.init_destination = InitDestination;
  Compressor->Destination.empty_output_buffer = EmptyOutputBuffer;
  Compressor->Destination.term_destination = TermDestination;
  Compressor->Info.dest = &Compressor->Destination;
  return Compressor;
}

void JpegCompressorDestroy(TJpegCompressor* Compressor) {
  if (Compressor == NULL) return;
  if (Compressor->Created) jpeg_destroy_compress(&Compressor->Info);
  free(Compressor->Buffer);
  free(Compressor);
}

int JpegCompressorEncode(TJpegCompressor* Compressor, const uint8_t* Top, ptrdiff_t Stride, int Width,
                         int Height, TJpegLayout Layout, int Quality, const uint8_t** Data, size_t* Size) {
  j_compress_ptr Info = &Compressor->Info;
  *Data = NULL;
  *Size = 0;
  if (setjmp(Compressor->Error.Target)) {
    jpeg_abort_compress(Info);
    return ErrorCode(&Compressor->Error);
  }
  Compressor->Error.Public.msg_code = 0;
  if (Width <= 0 || Height <= 0) ERREXIT(Info, JERR_EMPTY_IMAGE);
  Info->image_width = (JDIMENSION)Width;
  Info->image_height = (JDIMENSION)Height;
  /* The extended colour spaces of libjpeg-turbo read blue-first rows directly: no per-frame copy
   * into red-first order. */
  if (Layout == jlBgr24) {
    Info->input_components = 3;
    Info->in_color_space = JCS_EXT_BGR;
  } else {
    Info->input_components = 4;
    Info->in_color_space = JCS_EXT_BGRX;
  }
  jpeg_set_defaults(Info);
  jpeg_set_quality(Info, Quality, TRUE);
  jpeg_start_compress(Info, TRUE);
  while (Info->next_scanline < Info->image_height) {
    JSAMPROW Rows[16];
    JDIMENSION Count = 0;
    while (Count < 16 && Info->next_scanline + Count < Info->image_height) {
      Rows[Count] = (JSAMPROW)(Top + (ptrdiff_t)(Info->next_scanline + Count) * Stride);
      Count++;
    }
    jpeg_write_scanlines(Info, Rows, Count);
  }
  jpeg_finish_compress(Info);
  *Data = Compressor->Buffer;
  *Size = Compressor->Size;
  return 0;
}

/* ---- Decoding ---- */

struct TJpegDecompressor {
  struct jpeg_decompress_struct Info;
  TJpegErrorManager Error;
  struct jpeg_progress_mgr Progress;
  int Created;
};

static void ProgressMonitor(j_common_ptr Common) {
  j_decompress_ptr Info = (j_decompress_ptr)Common;
  if (Info->is_decompressor && Info->input_scan_number > JPEG_MAX_SCANS) ERREXIT(Info, JERR_BAD_PROGRESSION);
}

TJpegDecompressor* JpegDecompressorCreate(void) {
  TJpegDecompressor* Decompressor = (TJpegDecompressor*)calloc(1, sizeof(TJpegDecompressor));
  if (Decompressor == NULL) return NULL;
  InitErrorManager(&Decompressor->Error);
  Decompressor->Info.err = &Decompressor->Error.Public;
  if (setjmp(Decompressor->Error.Target)) {
    jpeg_destroy_decompress(&Decompressor->Info);
    free(Decompressor);
    return NULL;
  }
  jpeg_create_decompress(&Decompressor->Info);
  Decompressor->Created = 1;
  Decompressor->Progress.progress_monitor = ProgressMonitor;
  Decompressor->Info.progress = &Decompressor->Progress;
  return Decompressor;
}

void JpegDecompressorDestroy(TJpegDecompressor* Decompressor) {
  if (Decompressor == NULL) return;
  if (Decompressor->Created) jpeg_destroy_decompress(&Decompressor->Info);
  free(Decompressor);
}

int JpegDecompressorReadHeader(TJpegDecompressor* Decompressor, const uint8_t* Data, size_t Size, int Strict,
                               TJpegHeaderInfo* Header) {
  j_decompress_ptr Info = &Decompressor->Info;
  memset(Header, 0, sizeof(*Header));
  if (setjmp(Decompressor->Error.Target)) {
    jpeg_abort_decompress(Info);
    return ErrorCode(&Decompressor->Error);
  }
  Decompressor->Error.Public.msg_code = 0;
  Decompressor->Error.Strict = Strict;
  /* The memory source refuses an empty buffer with its own error. */
  jpeg_mem_src(Info, Data, (unsigned long)Size);
  jpeg_read_header(Info, TRUE);
  Header->Width = (int)Info->image_width;
  Header->Height = (int)Info->image_height;
  Header->Components = Info->num_components;
  Header->Progressive = Info->progressive_mode;
  return 0;
}

/* CMYK as Adobe applications store it (inverted: 255 is no ink) when the file has their marker,
 * plain otherwise. */
static void CmykToBgr(const JSAMPLE* Cmyk, uint8_t* Target, JDIMENSION Width, int Inverted, int PixelBytes) {
  JDIMENSION X;
  for (X = 0; X < Width; X++) {
    unsigned C = Cmyk[4 * X], M = Cmyk[4 * X + 1], Y = Cmyk[4 * X + 2], K = Cmyk[4 * X + 3];
    if (!Inverted) {
      C = 255 - C;
      M = 255 - M;
      Y = 255 - Y;
      K = 255 - K;
    }
    Target[PixelBytes * X] = (uint8_t)((Y * K + 127) / 255);
    Target[PixelBytes * X + 1] = (uint8_t)((M * K + 127) / 255);
    Target[PixelBytes * X + 2] = (uint8_t)((C * K + 127) / 255);
    if (PixelBytes == 4) Target[PixelBytes * X + 3] = 255;
  }
}

int JpegDecompressorDecode(TJpegDecompressor* Decompressor, uint8_t* Top, ptrdiff_t Stride,
                           TJpegLayout Layout) {
  j_decompress_ptr Info = &Decompressor->Info;
  if (setjmp(Decompressor->Error.Target)) {
    jpeg_abort_decompress(Info);
    return ErrorCode(&Decompressor->Error);
  }
  {
    const int Cmyk = Info->jpeg_color_space == JCS_CMYK || Info->jpeg_color_space == JCS_YCCK;
    const int PixelBytes = Layout == jlBgr24 ? 3 : 4;
    JSAMPARRAY CmykRow = NULL;
    if (Cmyk)
      Info->out_color_space = JCS_CMYK;
    else
      Info->out_color_space = Layout == jlBgr24 ? JCS_EXT_BGR : JCS_EXT_BGRA;
    jpeg_start_decompress(Info);
    if (Cmyk)
      CmykRow = (*Info->mem->alloc_sarray)((j_common_ptr)Info, JPOOL_IMAGE, Info->output_width * 4, 1);
    while (Info->output_scanline < Info->output_height) {
      uint8_t* Target = Top + (ptrdiff_t)Info->output_scanline * Stride;
      if (Cmyk) {
        if (jpeg_read_scanlines(Info, CmykRow, 1) == 1)
          CmykToBgr(CmykRow[0], Target, Info->output_width, Info->saw_Adobe_marker, PixelBytes);
      } else {
        JSAMPROW Row = (JSAMPROW)Target;
        jpeg_read_scanlines(Info, &Row, 1);
      }
    }
    jpeg_finish_decompress(Info);
  }
  return 0;
}

void JpegDecompressorAbort(TJpegDecompressor* Decompressor) {
  if (Decompressor != NULL && Decompressor->Created) jpeg_abort_decompress(&Decompressor->Info);
}
