#include "platform/capture/frameconverter.h"

#include "platform/capture/ffmpeg.h"
#include "platform/capture/videoformat.h"

namespace {

bool IsFullRange(const AVFrame& Picture) {
  switch (Picture.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
    case AV_PIX_FMT_GRAY8: return true;
    default: return Picture.color_range == AVCOL_RANGE_JPEG;
  }
}

bool IsFullRangeTarget(AVPixelFormat Format) {
  const AVPixFmtDescriptor* Descriptor = av_pix_fmt_desc_get(Format);
  if (Descriptor && (Descriptor->flags & AV_PIX_FMT_FLAG_RGB)) return true;
  return Format == AV_PIX_FMT_YUVJ420P || Format == AV_PIX_FMT_YUVJ422P ||
         Format == AV_PIX_FMT_YUVJ444P || Format == AV_PIX_FMT_GRAY8;
}

}  // namespace

TFrameConverter::~TFrameConverter() { sws_freeContext(FContext); }

bool TFrameConverter::Convert(const AVFrame& Source, AVPixelFormat Target, int Width, int Height,
                              uint8_t* const Planes[4], const int Strides[4]) {
  if (Source.width <= 0 || Source.height <= 0 || Width <= 0 || Height <= 0) return false;
  const int SourceRange = IsFullRange(Source) ? 1 : 0;
  if (!FContext || FSourceWidth != Source.width || FSourceHeight != Source.height ||
      FSourceFormat != Source.format || FSourceRange != SourceRange || FTargetWidth != Width ||
      FTargetHeight != Height || FTargetFormat != Target) {
    FContext = sws_getCachedContext(FContext, Source.width, Source.height,
                                    AVPixelFormat(Source.format), Width, Height, Target,
                                    SWS_BILINEAR | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr,
                                    nullptr, nullptr);
    FSourceFormat = -1;
    if (!FContext) return false;
    const int* Coefficients = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(FContext, Coefficients, SourceRange, Coefficients,
                             IsFullRangeTarget(Target) ? 1 : 0, 0, 1 << 16, 1 << 16);
    FSourceWidth = Source.width;
    FSourceHeight = Source.height;
    FSourceFormat = Source.format;
    FSourceRange = SourceRange;
    FTargetWidth = Width;
    FTargetHeight = Height;
    FTargetFormat = Target;
  }
  return sws_scale(FContext, Source.data, Source.linesize, 0, Source.height, Planes, Strides) > 0;
}

bool TFrameConverter::ConvertToDib(const AVFrame& Source, int Width, int Height, int BitCount,
                                   uint8_t* Bits) {
  if (BitCount != 24 && BitCount != 32) return false;
  const int Stride = int(VideoRowStride(Width, BitCount));
  uint8_t* const Planes[4] = {Bits + size_t(Height - 1) * Stride, nullptr, nullptr, nullptr};
  const int Strides[4] = {-Stride, 0, 0, 0};
  return Convert(Source, BitCount == 32 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24, Width, Height,
                 Planes, Strides);
}
