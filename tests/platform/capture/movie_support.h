#pragma once
// Shared pieces of the movie tests: test movies of flat-coloured frames (so a frame read back
// tells which one it is, even through JPEG), a reader over the AVI file services, and FFmpeg's
// own count of a movie's frames, as any player would read it.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/capture/avifile.h"
#include "platform/capture/videoformat.h"

namespace MovieTest {

constexpr int Width = 64;
constexpr int Height = 48;

// The colour of frame Index of a test movie.
uint32_t ColourOf(int Index);

// One frame of Format in one flat colour.
std::vector<uint8_t> FlatFrame(const BITMAPINFOHEADER& Format, uint32_t Colour);

// Writes a movie of Width x Height frames with the given indices (each in its own colour).
bool WriteMovie(const std::string& Path, const std::vector<int>& Indices, uint32_t MicroSeconds = 100000);

// Opens the first video stream and a frame reader on it; both closed by the destructor.
struct TOpenMovie {
  PAVISTREAM Stream = nullptr;
  PGETFRAME Reader = nullptr;
  HRESULT Result;
  explicit TOpenMovie(const std::string& Path);
  ~TOpenMovie();
  TOpenMovie(const TOpenMovie&) = delete;
  TOpenMovie& operator=(const TOpenMovie&) = delete;
  const BITMAPINFOHEADER* Frame(LONG Position);
};

// The frame is flat in Colour (every channel within Tolerance at its middle).
void ExpectFlat(const BITMAPINFOHEADER* Frame, uint32_t Colour, int Tolerance = 4);

// Whether the ffprobe tool is installed.
bool CanProbe();
// The lines ffprobe prints for the first video stream, or "" when the tool is missing.
std::string Probe(const std::string& Path);
// The frames ffprobe decodes in the movie; -1 when the tool is missing or reads none.
int ProbedFrames(const std::string& Path);

}  // namespace MovieTest
