#include "platform/capture/avireader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/capture/aviscan.h"
#include "platform/capture/ffmpeg.h"
#include "platform/capture/trace.h"

namespace {

// How far back a frame without a picture of its own (an empty frame) looks for one.
constexpr int64_t MaxStepsBack = 64;

// The layout of the AVI file at Path, read apart from FFmpeg (which keeps its own view of the
// file); false when it cannot be read.
bool ScanFile(const std::string& Path, int Stream, TAviLayout& Layout) {
  const int Descriptor = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
  if (Descriptor < 0) return false;
  struct stat Info {};
  bool Scanned = false;
  if (fstat(Descriptor, &Info) == 0) {
    const TAviReadAt Read = [Descriptor](int64_t Offset, void* Data, size_t Size) {
      auto* Bytes = static_cast<uint8_t*>(Data);
      while (Size > 0) {
        const ssize_t Got = ::pread(Descriptor, Bytes, Size, off_t(Offset));
        if (Got < 0 && errno == EINTR) continue;
        if (Got <= 0) return false;
        Bytes += Got;
        Offset += Got;
        Size -= size_t(Got);
      }
      return true;
    };
    Scanned = ScanAviFile(Read, Info.st_size, Stream, false, Layout) &&
              (Layout.Indexed || ScanAviFile(Read, Info.st_size, Stream, true, Layout));
  }
  ::close(Descriptor);
  return Scanned;
}

}  // namespace

TAviReader::~TAviReader() { Close(); }

void TAviReader::Close() {
  avcodec_free_context(&FCodec);
  av_packet_free(&FPacket);
  av_frame_free(&FPicture);
  if (FInput) avformat_close_input(&FInput);
  FStream = -1;
  FWidth = FHeight = 0;
  FFrameCount = 0;
  FDib.clear();
  FDibPosition = -1;
  FNextPosition = -1;
}

bool TAviReader::Open(const std::string& Path, int StreamIndex) {
  Close();
  const AVInputFormat* Avi = av_find_input_format("avi");
  if (!Avi || avformat_open_input(&FInput, Path.c_str(), Avi, nullptr) < 0) {
    FInput = nullptr;
    return false;
  }
  if (avformat_find_stream_info(FInput, nullptr) < 0) {
    Close();
    return false;
  }
  int Seen = 0;
  for (unsigned Index = 0; Index < FInput->nb_streams; ++Index) {
    if (FInput->streams[Index]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
    if (Seen++ == StreamIndex) {
      FStream = int(Index);
      break;
    }
  }
  if (FStream < 0) {
    Close();
    return false;
  }
  AVStream* Stream = FInput->streams[FStream];
  const AVCodecParameters* Parameters = Stream->codecpar;
  FWidth = Parameters->width;
  FHeight = Parameters->height;
  if (FWidth <= 0 || FHeight <= 0 || FWidth > MaxVideoDimension || FHeight > MaxVideoDimension) {
    Close();
    return false;
  }
  const AVCodec* Codec = avcodec_find_decoder(Parameters->codec_id);
  FCodec = Codec ? avcodec_alloc_context3(Codec) : nullptr;
  FPacket = av_packet_alloc();
  FPicture = av_frame_alloc();
  if (!FCodec || !FPacket || !FPicture || avcodec_parameters_to_context(FCodec, Parameters) < 0) {
    Close();
    return false;
  }
  FCodec->thread_count = 1;
  FCodec->max_pixels = int64_t(MaxVideoDimension) * MaxVideoDimension / 4;
  if (avcodec_open2(FCodec, Codec, nullptr) < 0) {
    Close();
    return false;
  }
  FTimeBase = Stream->time_base;
  FFrameDuration = Stream->avg_frame_rate.num > 0 ? av_inv_q(Stream->avg_frame_rate) : FTimeBase;
  TAviLayout Layout;
  if (ScanFile(Path, FStream, Layout) && !Layout.Indexed) {
    // A movie cut short, or left unfinished: its header counts what was meant to be there (or
    // nothing) and no index lists its frames. The frames are those the file holds whole, and
    // FFmpeg is told where they lie, as an index would, so that any of them can be sought.
    FFrameCount = int64_t(Layout.Frames.size());
    for (size_t Frame = 0; Frame < Layout.Frames.size(); ++Frame)
      if (Layout.Frames[Frame].Size > 0)
        av_add_index_entry(Stream, Layout.Frames[Frame].Offset, int64_t(Frame), int(Layout.Frames[Frame].Size), 0,
                           AVINDEX_KEYFRAME);
  } else {
    // The header's count (which includes skipped frames, written as empty chunks the index does
    // not list), or the index's last frame when that goes further (OpenDML files count only
    // their first part in the header).
    FFrameCount = std::max<int64_t>(Stream->nb_frames, 0);
    if (const int Entries = avformat_index_get_entries_count(Stream); Entries > 0)
      if (const AVIndexEntry* Last = avformat_index_get_entry(Stream, Entries - 1))
        FFrameCount = std::max<int64_t>(FFrameCount, Last->timestamp + 1);
  }

  const DWORD ImageSize = VideoRowStride(FWidth, 24) * DWORD(FHeight);
  FDib.assign(sizeof(BITMAPINFOHEADER) + ImageSize, 0);
  const BITMAPINFOHEADER Header = MakeVideoFormat(BI_RGB, FWidth, FHeight, 24);
  std::memcpy(FDib.data(), &Header, sizeof Header);
  FNextPosition = 0;
  return true;
}

bool TAviReader::DecodeAt(int64_t Position) {
  if (Position != FNextPosition) {
    if (av_seek_frame(FInput, FStream, Position, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(FInput, FStream, Position, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
      return false;
    avcodec_flush_buffers(FCodec);
  }
  FNextPosition = -1;
  bool Decoded = false;
  while (av_read_frame(FInput, FPacket) >= 0) {
    if (FPacket->stream_index != FStream) {
      av_packet_unref(FPacket);
      continue;
    }
    const int64_t Stamp = FPacket->pts != AV_NOPTS_VALUE ? FPacket->pts : FPacket->dts;
    if (Stamp != AV_NOPTS_VALUE && Stamp > Position) {
      av_packet_unref(FPacket);
      break;
    }
    // An empty packet is a repeated frame; sent to the decoder it would mean "end of stream".
    if (FPacket->size > 0 && avcodec_send_packet(FCodec, FPacket) >= 0) {
      for (;;) {
        av_frame_unref(FPicture);
        if (avcodec_receive_frame(FCodec, FPicture) < 0) break;
        Decoded = FConverter.ConvertToDib(*FPicture, FWidth, FHeight, 24,
                                          FDib.data() + sizeof(BITMAPINFOHEADER));
      }
    }
    av_packet_unref(FPacket);
    if (Stamp == Position) {
      FNextPosition = Position + 1;
      break;
    }
  }
  return Decoded;
}

const uint8_t* TAviReader::FrameAt(int64_t Position) {
  if (!FInput || Position < 0 || Position >= FFrameCount) return nullptr;
  if (Position == FDibPosition) return FDib.data();
  FDibPosition = -1;
  // An empty frame shows the picture before it: step back to the frame that has one.
  for (int64_t Target = Position; Target >= 0 && Position - Target <= MaxStepsBack; --Target) {
    if (DecodeAt(Target)) {
      FDibPosition = Position;
      if (Target != Position) FNextPosition = -1;
      return FDib.data();
    }
  }
  return nullptr;
}
