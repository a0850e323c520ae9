#include "tests/platform/capture/movie_support.h"

#include <cstdio>
#include <cstdlib>

#include "platform/capture/aviwriter.h"
#include "platform/capture/syntheticcamera.h"

namespace MovieTest {

uint32_t ColourOf(int Index) {
  return uint32_t((Index * 20) & 0xFF) | uint32_t((255 - Index * 20) & 0xFF) << 8 | 0x80u << 16;
}

std::vector<uint8_t> FlatFrame(const BITMAPINFOHEADER& Format, uint32_t Colour) {
  std::vector<uint8_t> Bgr(size_t(Format.biWidth) * Format.biHeight * 3);
  for (size_t Index = 0; Index < Bgr.size(); Index += 3) {
    Bgr[Index] = uint8_t(Colour);
    Bgr[Index + 1] = uint8_t(Colour >> 8);
    Bgr[Index + 2] = uint8_t(Colour >> 16);
  }
  std::vector<uint8_t> Frame(Format.biSizeImage);
  PackSyntheticFrame(Bgr.data(), Format, Frame.data());
  return Frame;
}

bool WriteMovie(const std::string& Path, const std::vector<int>& Indices, uint32_t MicroSeconds) {
  const BITMAPINFOHEADER Format = MakeVideoFormat(BI_RGB, Width, Height, 24);
  TAviWriter Writer;
  if (!Writer.Open(Path, Format, MicroSeconds)) return false;
  for (int Index : Indices) {
    const std::vector<uint8_t> Frame = FlatFrame(Format, ColourOf(Index));
    if (!Writer.Write(Frame.data(), Frame.size(), Index)) return false;
  }
  return Writer.Finish();
}

TOpenMovie::TOpenMovie(const std::string& Path)
    : Result(AVIStreamOpenFromFileA(&Stream, Path.c_str(), streamtypeVIDEO, 0, OF_SHARE_DENY_WRITE, nullptr)) {
  if (Stream) Reader = AVIStreamGetFrameOpen(Stream, nullptr);
}

TOpenMovie::~TOpenMovie() {
  if (Reader) AVIStreamGetFrameClose(Reader);
  if (Stream) AVIStreamRelease(Stream);
}

const BITMAPINFOHEADER* TOpenMovie::Frame(LONG Position) {
  return static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(Reader, Position));
}

void ExpectFlat(const BITMAPINFOHEADER* Frame, uint32_t Colour, int Tolerance) {
  ASSERT_NE(Frame, nullptr);
  const uint8_t* Pixel = reinterpret_cast<const uint8_t*>(Frame) + Frame->biSize +
                         (Frame->biHeight / 2) * VideoRowStride(Frame->biWidth, 24) + (Frame->biWidth / 2) * 3;
  for (int Channel = 0; Channel < 3; ++Channel)
    EXPECT_NEAR(Pixel[Channel], (Colour >> (8 * Channel)) & 0xFF, Tolerance) << "channel " << Channel;
}

bool CanProbe() {
  static const bool Installed = std::system("ffprobe -version > /dev/null 2>&1") == 0;
  return Installed;
}

std::string Probe(const std::string& Path) {
  if (!CanProbe()) return "";
  const std::string Command =
      "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
      "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of default=nw=1 '" + Path + "'";
  std::string Output;
  if (FILE* Pipe = popen(Command.c_str(), "r")) {
    char Buffer[256];
    while (fgets(Buffer, sizeof Buffer, Pipe)) Output += Buffer;
    pclose(Pipe);
  }
  return Output.empty() ? "(ffprobe printed nothing)" : Output;
}

int ProbedFrames(const std::string& Path) {
  const std::string Probed = Probe(Path);
  const size_t At = Probed.find("nb_read_frames=");
  if (At == std::string::npos) return -1;
  return std::atoi(Probed.c_str() + At + 15);
}

}  // namespace MovieTest
