#include <cstring>

#include "platform/capture/capture.h"
#include "platform/capture/capturedriver.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/forms/canvas.h"
#include "platform/forms/picture.h"
#include "tests/app/livepicture.h"

namespace {

class TSilentCamera : public TSyntheticCamera {
 public:
  TSilentCamera() : TSyntheticCamera(SyntheticCameraSettings()) {}
  bool AnswersCapabilities() const override { return false; }
};

}  // namespace

void TLivePictureTest::InstallDrivers(const std::vector<TDriverEntry>& Drivers) {
  InstallCaptureDriverList([Drivers] {
    std::vector<TCaptureDriverEntry> List;
    for (const TDriverEntry& Driver : Drivers) {
      TCaptureDriverEntry Entry;
      Entry.Name = Driver.Name;
      Entry.Version = "1.0";
      switch (Driver.Kind) {
        case TDriverKind::Synthetic:
          Entry.Open = [](std::string&) -> std::unique_ptr<TCaptureDriver> {
            return std::make_unique<TSyntheticCamera>(SyntheticCameraSettings());
          };
          break;
        case TDriverKind::Broken:
          Entry.Open = [](std::string& Error) -> std::unique_ptr<TCaptureDriver> {
            Error = "No such device";
            return nullptr;
          };
          break;
        case TDriverKind::Silent:
          Entry.Open = [](std::string&) -> std::unique_ptr<TCaptureDriver> {
            return std::make_unique<TSilentCamera>();
          };
          break;
        case TDriverKind::Gap:
          break;
      }
      List.push_back(std::move(Entry));
    }
    return List;
  });
}

void TLivePictureTest::StartWith(const std::string& Settings) {
  if (!Settings.empty()) WriteText("korcam.ini", Settings);
  Start();
  Compositions = 0;
  // Each composition hands one picture to the live image, whose effect pipeline then runs once.
  TvcBitmapOptions* Options = FormGhost->ImageMain->BitmapOptions();
  const TNotifyEvent Imager = Options->OnChange;
  Options->OnChange = TNotifyEvent([this, Imager](TObject* Sender) {
    if (Imager) Imager(Sender);
    ++Compositions;
  });
}

void TLivePictureTest::Tick() {
  DataModule1->TimerPreviewTimer(DataModule1->TimerPreview);
}

std::string TLivePictureTest::ConnectedDriver() {
  char Name[80] = {};
  if (!FormGhost->SendCaptureMessage(WM_CAP_DRIVER_GET_NAMEA, sizeof Name, reinterpret_cast<LPARAM>(Name)))
    return "";
  return Name;
}

TBitmap* TLivePictureTest::Composed() const {
  return dynamic_cast<TBitmap*>(FormGhost->FComposedPicture->Graphic());
}

uint32_t TLivePictureTest::Pixel(TBitmap* Bitmap, int X, int Y) {
  const int Bytes = Bitmap->PixelFormat() == pf32bit ? 4 : 3;
  const auto* Row = static_cast<const uint8_t*>(Bitmap->ScanLine(Y)) + X * Bytes;
  return uint32_t(Row[0]) | uint32_t(Row[1]) << 8 | uint32_t(Row[2]) << 16;
}

::testing::AssertionResult TLivePictureTest::SamePixels(TBitmap* Expected, TBitmap* Actual) {
  if (!Expected || !Actual) return ::testing::AssertionFailure() << "a picture is missing";
  if (Expected->Width() != Actual->Width() || Expected->Height() != Actual->Height())
    return ::testing::AssertionFailure() << "size " << Actual->Width() << " x " << Actual->Height()
                                         << ", expected " << Expected->Width() << " x " << Expected->Height();
  for (int Y = 0; Y < Expected->Height(); ++Y)
    for (int X = 0; X < Expected->Width(); ++X)
      if (Pixel(Expected, X, Y) != Pixel(Actual, X, Y))
        return ::testing::AssertionFailure() << "pixel (" << X << ", " << Y << ") is " << std::hex
                                             << Pixel(Actual, X, Y) << ", expected " << Pixel(Expected, X, Y);
  return ::testing::AssertionSuccess();
}

std::unique_ptr<TBitmap> TLivePictureTest::WithStamps(TBitmap* Base, const std::vector<TStamp>& Stamps) {
  auto Picture = std::make_unique<TBitmap>();
  Picture->Assign(Base);
  TCanvas* Canvas = Picture->Canvas();
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->SetName("Verdana");
  Canvas->Font()->SetCharset(0);
  for (const TStamp& Stamp : Stamps) {
    Canvas->Font()->SetSize(Stamp.Size);
    if (Stamp.Shadow != clNone) {
      Canvas->Font()->SetColor(Stamp.Shadow);
      Canvas->TextOut(Stamp.X + 1, Stamp.Y + 1, Stamp.Text);
    }
    Canvas->Font()->SetColor(Stamp.Color);
    Canvas->TextOut(Stamp.X, Stamp.Y, Stamp.Text);
  }
  return Picture;
}
