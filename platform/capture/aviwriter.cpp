#include "platform/capture/aviwriter.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/capture/avirepair.h"
#include "platform/capture/ffmpeg.h"
#include "platform/capture/trace.h"

namespace {

constexpr int OutputBufferBytes = 65536;

// FFmpeg's muxer writes through these into the movie file, which knows its own positions.
int WriteOutput(void* Opaque, uint8_t* Buffer, int Size) {
  auto* Output = static_cast<std::pair<TMovieFile*, int64_t>*>(Opaque);
  if (!Output->first->Write(Output->second, Buffer, size_t(Size))) return AVERROR(Output->first->LastError());
  Output->second += Size;
  return Size;
}

int64_t SeekOutput(void* Opaque, int64_t Offset, int Whence) {
  auto* Output = static_cast<std::pair<TMovieFile*, int64_t>*>(Opaque);
  switch (Whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return Output->first->Size();
    case SEEK_SET: Output->second = Offset; break;
    case SEEK_CUR: Output->second += Offset; break;
    case SEEK_END: Output->second = Output->first->Size() + Offset; break;
    default: return AVERROR(EINVAL);
  }
  return Output->second;
}

std::string Reason(int Code) { return AvErrorText(Code); }

}  // namespace

TAviWriter::~TAviWriter() { Discard(); }

void TAviWriter::CloseOutput() {
  if (FIo) {
    av_freep(&FIo->buffer);
    avio_context_free(&FIo);
  }
  if (FOutput) {
    FOutput->pb = nullptr;
    avformat_free_context(FOutput);
  }
  FOutput = nullptr;
  FStream = nullptr;
}

bool TAviWriter::Fail(const std::string& Text) {
  FError = Text;
  KORCAM_CAPTURE_TRACE(Avi, FPath + ": " + Text);
  Discard();
  return false;
}

bool TAviWriter::Cut(const std::string& Text) {
  // The muxer is given up with whatever it still buffered: the file ends where the disk stopped
  // taking bytes, and the repair finds the last whole frame before that point.
  CloseOutput();
  FError = Text;
  int64_t Frames = 0;
  std::string RepairError;
  const std::string Temporary = TemporaryName(FPath);
  std::error_code Failure;
  if (RepairMovieFile(FFile, Frames, RepairError) && Frames > 0) {
    std::filesystem::rename(Temporary, FPath, Failure);
    if (!Failure) {
      FKept = true;
      FFramesWritten = Frames;
      FError += "; the movie ends after " + std::to_string(Frames) + (Frames == 1 ? " frame" : " frames");
    }
  } else if (!RepairError.empty()) {
    FError += " (" + RepairError + ")";
  }
  if (!FKept) {
    FFramesWritten = 0;
    std::filesystem::remove(Temporary, Failure);
  }
  FFile.Close();
  KORCAM_CAPTURE_TRACE(Avi, FPath + ": " + FError);
  return false;
}

void TAviWriter::Discard() {
  if (!FOutput && !FFile.IsOpen()) return;
  CloseOutput();
  FFile.Close();
  std::error_code Ignored;
  std::filesystem::remove(TemporaryName(FPath), Ignored);
}

bool TAviWriter::Open(const std::string& Path, const BITMAPINFOHEADER& Format,
                      uint32_t MicroSecondsPerFrame) {
  Discard();
  FPath = Path;
  FError.clear();
  FFramesWritten = 0;
  FLastIndex = -1;
  FKept = false;
  if (MicroSecondsPerFrame == 0) return Fail("No frame rate");
  if (!FDecoder.Configure(Format)) return Fail("Unreadable frame format " + FourCCToString(Format.biCompression));
  av_reduce(&FFrameDuration.num, &FFrameDuration.den, MicroSecondsPerFrame, 1000000, INT32_MAX);
  const int Width = Format.biWidth;
  const int Height = std::abs(Format.biHeight);
  if (!FEncoder.Configure(Width, Height, FFrameDuration)) return Fail("No JPEG encoder");

  // What a program that ended in the middle of a movie left here is kept first.
  const std::string Temporary = TemporaryName(Path);
  RecoverUnfinishedMovie(Temporary, Path);
  if (!FFile.Open(Temporary, TMovieFile::TMode::Create)) {
    const int Error = FFile.LastError();
    return Fail(Error == EWOULDBLOCK ? "The movie is being recorded by another writer"
                                     : "Cannot create the file: " + std::error_code(Error, std::generic_category()).message());
  }
  const AVOutputFormat* Avi = av_guess_format("avi", nullptr, nullptr);
  if (!Avi || avformat_alloc_output_context2(&FOutput, Avi, nullptr, Temporary.c_str()) < 0 || !FOutput)
    return Fail("No AVI writer");
  // No library version in the file: the same frames always give the same bytes.
  FOutput->flags |= AVFMT_FLAG_BITEXACT;
  // Every frame goes to the file at once: a program that ends in the middle of a movie loses at
  // most the frame it was writing.
  FOutput->flush_packets = 1;
  FStream = avformat_new_stream(FOutput, nullptr);
  if (!FStream) return Fail("Out of memory");
  FStream->time_base = FFrameDuration;
  FStream->avg_frame_rate = av_inv_q(FFrameDuration);
  FStream->r_frame_rate = FStream->avg_frame_rate;
  if (avcodec_parameters_from_context(FStream->codecpar, FEncoder.Context()) < 0) return Fail("Out of memory");
  auto* Buffer = static_cast<uint8_t*>(av_malloc(OutputBufferBytes));
  FPosition = {&FFile, 0};
  FIo = Buffer ? avio_alloc_context(Buffer, OutputBufferBytes, 1, &FPosition, nullptr, WriteOutput, SeekOutput)
               : nullptr;
  if (!FIo) {
    av_free(Buffer);
    return Fail("Out of memory");
  }
  FOutput->pb = FIo;
  if (const int Result = avformat_write_header(FOutput, nullptr); Result < 0)
    return Fail("Cannot write the file: " + Reason(Result));
  return true;
}

bool TAviWriter::Write(const uint8_t* Data, size_t Size, int64_t Index) {
  if (!FOutput) return false;
  if (Index <= FLastIndex) return true;  // a frame never goes back in time
  const AVFrame* Picture = FDecoder.Decode(Data, Size);
  if (!Picture) return true;
  AVPacket* Packet = FEncoder.Encode(*Picture, Index);
  if (!Packet) return Cut("JPEG encoding failed");
  Packet->stream_index = FStream->index;
  Packet->pts = Packet->dts = av_rescale_q(Index, FFrameDuration, FStream->time_base);
  Packet->duration = 0;
  if (const int Result = av_write_frame(FOutput, Packet); Result < 0)
    return Cut("Cannot write the file: " + Reason(Result));
  if (FIo->error < 0) return Cut("Cannot write the file: " + Reason(FIo->error));
  FLastIndex = Index;
  ++FFramesWritten;
  return true;
}

bool TAviWriter::Finish() {
  if (!FOutput) return false;
  if (const int Result = av_write_trailer(FOutput); Result < 0)
    return Cut("Cannot complete the file: " + Reason(Result));
  avio_flush(FIo);
  if (FIo->error < 0) return Cut("Cannot complete the file: " + Reason(FIo->error));
  CloseOutput();
  FFile.Close();
  std::error_code Error;
  std::filesystem::rename(TemporaryName(FPath), FPath, Error);
  if (Error) {
    FError = "Cannot rename the file: " + Error.message();
    std::filesystem::remove(TemporaryName(FPath), Error);
    KORCAM_CAPTURE_TRACE(Avi, FPath + ": " + FError);
    return false;
  }
  return true;
}
