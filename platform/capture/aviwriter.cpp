#include "platform/capture/aviwriter.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/capture/ffmpeg.h"
#include "platform/capture/trace.h"

TAviWriter::~TAviWriter() { Discard(); }

bool TAviWriter::Fail(const std::string& Text) {
  FError = Text;
  KORCAM_CAPTURE_TRACE(Avi, FPath + ": " + Text);
  Discard();
  return false;
}

void TAviWriter::Close() {
  if (!FOutput) return;
  if (FOutput->pb) avio_closep(&FOutput->pb);
  avformat_free_context(FOutput);
  FOutput = nullptr;
  FStream = nullptr;
}

void TAviWriter::Discard() {
  if (!FOutput) return;
  Close();
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
  if (MicroSecondsPerFrame == 0) return Fail("No frame rate");
  if (!FDecoder.Configure(Format)) return Fail("Unreadable frame format " + FourCCToString(Format.biCompression));
  av_reduce(&FFrameDuration.num, &FFrameDuration.den, MicroSecondsPerFrame, 1000000, INT32_MAX);
  const int Width = Format.biWidth;
  const int Height = std::abs(Format.biHeight);
  if (!FEncoder.Configure(Width, Height, FFrameDuration)) return Fail("No JPEG encoder");

  const std::string Temporary = TemporaryName(Path);
  const AVOutputFormat* Avi = av_guess_format("avi", nullptr, nullptr);
  if (!Avi || avformat_alloc_output_context2(&FOutput, Avi, nullptr, Temporary.c_str()) < 0 || !FOutput)
    return Fail("No AVI writer");
  // No library version in the file: the same frames always give the same bytes.
  FOutput->flags |= AVFMT_FLAG_BITEXACT;
  FStream = avformat_new_stream(FOutput, nullptr);
  if (!FStream) return Fail("Out of memory");
  FStream->time_base = FFrameDuration;
  FStream->avg_frame_rate = av_inv_q(FFrameDuration);
  FStream->r_frame_rate = FStream->avg_frame_rate;
  if (avcodec_parameters_from_context(FStream->codecpar, FEncoder.Context()) < 0) return Fail("Out of memory");
  if (const int Result = avio_open(&FOutput->pb, Temporary.c_str(), AVIO_FLAG_WRITE); Result < 0)
    return Fail("Cannot create the file: " + AvErrorText(Result));
  if (const int Result = avformat_write_header(FOutput, nullptr); Result < 0)
    return Fail("Cannot write the file: " + AvErrorText(Result));
  return true;
}

bool TAviWriter::Write(const uint8_t* Data, size_t Size, int64_t Index) {
  if (!FOutput) return false;
  if (Index <= FLastIndex) return true;  // a frame never goes back in time
  const AVFrame* Picture = FDecoder.Decode(Data, Size);
  if (!Picture) return true;
  AVPacket* Packet = FEncoder.Encode(*Picture, Index);
  if (!Packet) return Fail("JPEG encoding failed");
  Packet->stream_index = FStream->index;
  Packet->pts = Packet->dts = av_rescale_q(Index, FFrameDuration, FStream->time_base);
  Packet->duration = 0;
  if (const int Result = av_write_frame(FOutput, Packet); Result < 0)
    return Fail("Cannot write the file: " + AvErrorText(Result));
  if (FOutput->pb->error < 0) return Fail("Cannot write the file: " + AvErrorText(FOutput->pb->error));
  FLastIndex = Index;
  ++FFramesWritten;
  return true;
}

bool TAviWriter::Finish() {
  if (!FOutput) return false;
  if (const int Result = av_write_trailer(FOutput); Result < 0)
    return Fail("Cannot complete the file: " + AvErrorText(Result));
  avio_flush(FOutput->pb);
  if (FOutput->pb->error < 0) return Fail("Cannot complete the file: " + AvErrorText(FOutput->pb->error));
  if (const int Result = avio_closep(&FOutput->pb); Result < 0)
    return Fail("Cannot complete the file: " + AvErrorText(Result));
  std::error_code Error;
  std::filesystem::rename(TemporaryName(FPath), FPath, Error);
  if (Error) return Fail("Cannot rename the file: " + Error.message());
  avformat_free_context(FOutput);
  FOutput = nullptr;
  FStream = nullptr;
  return true;
}
