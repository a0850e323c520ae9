#pragma once
// The fixture of the live-picture tests: the program's fixture with a driver list of the test's
// own making, a count of the compositions that reach the composed picture, preview ticks run by
// hand, and an oracle that draws the stamps a composition should have drawn over a base picture.

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/bitmap.h"
#include "tests/app/apptest.h"

class TLivePictureTest : public TAppTest {
 protected:
  // One entry of a driver list.
  enum class TDriverKind {
    Synthetic,  // the synthetic camera, as SyntheticCameraSettings() says
    Broken,     // listed, but its device cannot be opened
    Gap,        // an index whose driver does not answer
    Silent,     // the synthetic camera, refusing its capabilities
  };
  struct TDriverEntry {
    TDriverKind Kind;
    std::string Name;
  };
  void InstallDrivers(const std::vector<TDriverEntry>& Drivers);

  // Start() with the settings file's text first (none when empty), counting compositions.
  void StartWith(const std::string& Settings = "");
  // One tick of the preview timer.
  void Tick();
  // The name of the driver the capture window has connected, "" for none.
  std::string ConnectedDriver();

  TBitmap* Composed() const;
  // The three bytes (blue, green, red) of a pixel of a 24- or 32-bit bitmap.
  static uint32_t Pixel(TBitmap* Bitmap, int X, int Y);
  // Whether two bitmaps hold the same pixels; reports the first difference.
  static ::testing::AssertionResult SamePixels(TBitmap* Expected, TBitmap* Actual);

  // A stamp as the composition should draw it.
  struct TStamp {
    int X, Y;
    std::string Text;
    TColor Color;
    TColor Shadow = clNone;
    int Size = 8;
  };
  // Base with the stamps drawn over it, each in the stamp font, text stamp first.
  static std::unique_ptr<TBitmap> WithStamps(TBitmap* Base, const std::vector<TStamp>& Stamps);

  // How often a composition reached the live image since StartWith.
  int Compositions = 0;
};
