#include "platform/capture/mjpegencoder.h"

#include "platform/capture/ffmpeg.h"

TMjpegEncoder::~TMjpegEncoder() { Release(); }

void TMjpegEncoder::Release() {
  avcodec_free_context(&FCodec);
  av_frame_free(&FPicture);
  av_packet_free(&FPacket);
}

bool TMjpegEncoder::Configure(int Width, int Height, AVRational TimeBase, int Quantiser) {
  Release();
  const AVCodec* Codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
  if (!Codec || Width <= 0 || Height <= 0) return false;
  FCodec = avcodec_alloc_context3(Codec);
  FPicture = av_frame_alloc();
  FPacket = av_packet_alloc();
  if (!FCodec || !FPicture || !FPacket) {
    Release();
    return false;
  }
  FQuantiser = Quantiser;
  FCodec->width = Width;
  FCodec->height = Height;
  FCodec->pix_fmt = AV_PIX_FMT_YUVJ420P;
  FCodec->color_range = AVCOL_RANGE_JPEG;
  FCodec->time_base = TimeBase;
  FCodec->thread_count = 1;
  FCodec->flags |= AV_CODEC_FLAG_QSCALE | AV_CODEC_FLAG_BITEXACT;
  FCodec->global_quality = FF_QP2LAMBDA * Quantiser;
  if (avcodec_open2(FCodec, Codec, nullptr) < 0) {
    Release();
    return false;
  }
  FPicture->format = AV_PIX_FMT_YUVJ420P;
  FPicture->width = Width;
  FPicture->height = Height;
  FPicture->color_range = AVCOL_RANGE_JPEG;
  if (av_frame_get_buffer(FPicture, 0) < 0) {
    Release();
    return false;
  }
  return true;
}

AVPacket* TMjpegEncoder::Encode(const AVFrame& Source, int64_t Pts) {
  if (!FCodec) return nullptr;
  if (av_frame_make_writable(FPicture) < 0) return nullptr;
  if (!FConverter.Convert(Source, AV_PIX_FMT_YUVJ420P, FCodec->width, FCodec->height,
                          FPicture->data, FPicture->linesize))
    return nullptr;
  FPicture->pts = Pts;
  FPicture->quality = FF_QP2LAMBDA * FQuantiser;
  av_packet_unref(FPacket);
  if (avcodec_send_frame(FCodec, FPicture) < 0) return nullptr;
  if (avcodec_receive_packet(FCodec, FPacket) < 0) return nullptr;
  return FPacket;
}
