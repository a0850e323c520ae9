// The demo form: a form read from a form resource, with nested windowed panels, a transparent
// panel over a windowless shape, windowless shapes and labels, and an edit, rendered by the
// headless back end and compared with a reference the test draws from the layout alone.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/backends/headless/headless.h"
#include "platform/classes/resources.h"
#include "platform/forms/application.h"
#include "platform/forms/edit.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"
#include "tests/platform/backends/headless/democontrols.h"
#include "tests/sourcepath.h"

namespace {

std::string OutputFolder() {
  const char* Folder = std::getenv("KORCAM_TEST_IMAGES");
  std::filesystem::path Path = Folder ? Folder : "/tmp/korcam-demo";
  std::filesystem::create_directories(Path);
  return Path.string();
}

// The picture the form should show, built from its layout: solid areas, exact rectangles, the
// inside of ellipses, and "don't care" areas where text, 3-D frames and ellipse edges go (their
// pixels depend on the font and the edge drawing, which other tests check).
class TReference {
 public:
  TReference(int Width, int Height)
      : FWidth(Width), FHeight(Height), FPixels(size_t(Width) * Height, 0), FCare(FPixels.size(), true) {}

  void Fill(RECT R, TColor Color) {
    ForEach(R, [&](int X, int Y) { Set(X, Y, Color); });
  }
  void DontCare(RECT R) {
    ForEach(R, [&](int X, int Y) { FCare[Index(X, Y)] = false; });
  }
  // A 3-D frame two pixels wide along the inside of R.
  void Frame(RECT R) {
    DontCare(RECT{R.left, R.top, R.right, R.top + 2});
    DontCare(RECT{R.left, R.bottom - 2, R.right, R.bottom});
    DontCare(RECT{R.left, R.top, R.left + 2, R.bottom});
    DontCare(RECT{R.right - 2, R.top, R.right, R.bottom});
  }
  // A one-pixel outline in Pen, Brush inside.
  void Rectangle(RECT R, TColor Pen, TColor Brush) {
    Fill(R, Pen);
    Fill(RECT{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1}, Brush);
  }
  void Ellipse(RECT R, TColor Brush) {
    const double CX = (R.left + R.right) / 2.0, CY = (R.top + R.bottom) / 2.0;
    const double RX = (R.right - R.left) / 2.0, RY = (R.bottom - R.top) / 2.0;
    ForEach(R, [&](int X, int Y) {
      const double DX = (X + 0.5 - CX) / RX, DY = (Y + 0.5 - CY) / RY;
      const double D = std::sqrt(DX * DX + DY * DY);
      if (D < 1 - 2.5 / std::min(RX, RY))
        Set(X, Y, Brush);
      else if (D <= 1 + 1.5 / std::min(RX, RY))
        FCare[Index(X, Y)] = false;
    });
  }
  // Pixels that differ where it matters; writes both pictures and the difference when any do.
  int Compare(const TScreenImage& Actual, int OffsetX, int OffsetY, const std::string& Name) const {
    int Differ = 0;
    TScreenImage Expected{FWidth, FHeight, FPixels},
        Diff{FWidth, FHeight, std::vector<uint32_t>(FPixels.size(), 0)};
    for (int Y = 0; Y < FHeight; ++Y)
      for (int X = 0; X < FWidth; ++X) {
        const uint32_t Got = Actual.At(X + OffsetX, Y + OffsetY);
        if (!FCare[Index(X, Y)]) {
          Diff.Pixels[Index(X, Y)] = 0x404040;
          continue;
        }
        if (Got != FPixels[Index(X, Y)]) {
          ++Differ;
          Diff.Pixels[Index(X, Y)] = 0xFF0000;
        }
      }
    if (Differ) {
      SaveScreenImagePng(Expected, OutputFolder() + "/" + Name + "-reference.png");
      SaveScreenImagePng(Diff, OutputFolder() + "/" + Name + "-difference.png");
    }
    return Differ;
  }
  int CareCount() const { return int(std::count(FCare.begin(), FCare.end(), true)); }

 private:
  size_t Index(int X, int Y) const { return size_t(Y) * size_t(FWidth) + size_t(X); }
  void Set(int X, int Y, TColor Color) {
    const COLORREF C = COLORREF(ColorToRGB(Color));
    FPixels[Index(X, Y)] = (uint32_t(GetRValue(C)) << 16) | (uint32_t(GetGValue(C)) << 8) | GetBValue(C);
    FCare[Index(X, Y)] = true;
  }
  template <class F>
  void ForEach(RECT R, F Do) {
    for (int Y = std::max<LONG>(R.top, 0); Y < std::min<LONG>(R.bottom, FHeight); ++Y)
      for (int X = std::max<LONG>(R.left, 0); X < std::min<LONG>(R.right, FWidth); ++X) Do(X, Y);
  }
  int FWidth, FHeight;
  std::vector<uint32_t> FPixels;
  std::vector<bool> FCare;
};

// The form's resource, read from the fixture file and registered as the class's resource.
void RegisterDemoResource() {
  static std::string Text;
  if (!Text.empty()) return;
  std::ifstream In(SourcePath("tests/fixtures/forms/demo.form"), std::ios::binary);
  std::stringstream Buffer;
  Buffer << In.rdbuf();
  Text = Buffer.str();
  RegisterResourceData("forms/demoform.form",
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
}

class DemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BYTE Keys[256] = {};
    SetKeyboardState(Keys);
    SetCursorPos(799, 599);
  }
  TScopedManualClock Clock;
  THeadlessBackend Backend{800, 600};
};

TEST_F(DemoTest, DemoFormRendersAsItsLayoutSays) {
  RegisterDemoResource();
  TDemoForm* Form = NewForm<TDemoForm>(nullptr);
  ASSERT_EQ(Form->ControlCount(), 4);
  auto Control = [&](const char* Name) { return dynamic_cast<TControl*>(Form->FindComponent(Name)); };
  auto* Edit = dynamic_cast<TEdit*>(Control("Edit1"));
  ASSERT_TRUE(Edit);
  Form->Show();
  Application->ProcessMessages();
  ASSERT_TRUE(Edit->Focused());
  Edit->SetSelStart(8);
  Edit->SetSelLength(6);
  Application->ProcessMessages();
  EXPECT_EQ(Edit->SelText(), "webcam");
  EXPECT_EQ(Form->ClientWidth(), 400);
  EXPECT_EQ(Form->ClientHeight(), 260);
  EXPECT_EQ(Control("Work")->BoundsRect(), (RECT{90, 36, 400, 238}));

  const std::string Folder = OutputFolder();
  ASSERT_TRUE(Backend.SaveScreenPng(Folder + "/demo-screen.png"));
  ASSERT_TRUE(Backend.SaveWindowPng(Form->Handle(), Folder + "/demo-window.png"));

  // The reference, in client coordinates of the form.
  TReference Ref(400, 260);
  auto In = [&](const char* Name) {
    TControl* C = Control(Name);
    POINT P = C->Parent()->ClientToScreen(POINT{C->Left(), C->Top()});
    P = Form->ScreenToClient(P);
    return RECT{P.x, P.y, P.x + C->Width(), P.y + C->Height()};
  };
  Ref.Fill(In("Title"), clNavy);
  Ref.DontCare(RECT{8, 8, 392, 28});
  Ref.Fill(In("Status"), clSilver);
  Ref.Frame(In("Status"));
  Ref.DontCare(RECT{150, 240, 250, 258});
  Ref.Fill(In("Tools"), clBtnFace);
  Ref.Frame(In("Tools"));
  Ref.Rectangle(In("Square"), clMaroon, clRed);
  Ref.Ellipse(In("Circle"), clLime);
  Ref.Rectangle(In("Block"), clYellow, clBlue);
  Ref.Fill(In("Work"), clTeal);
  Ref.Ellipse(In("Sun"), clYellow);  // the transparent glass shows it
  Ref.Frame(In("Glass"));
  {
    RECT G = In("Glass");
    const int Middle = (G.top + G.bottom) / 2;
    Ref.DontCare(RECT{G.left + 12, Middle - 10, G.right - 12, Middle + 10});
  }
  Ref.Rectangle(In("GlassDot"), clPurple, clFuchsia);
  Ref.Fill(In("Card"), clWhite);
  Ref.Frame(In("Card"));
  Ref.DontCare(In("CardLabel"));
  Ref.Fill(In("Inner"), clSilver);
  Ref.Frame(In("Inner"));
  Ref.Ellipse(In("InnerShape"), clRed);
  RECT E = In("Edit1");
  Ref.Fill(E, clWindow);
  Ref.Frame(E);
  Ref.DontCare(RECT{E.left + 2, E.top + 2, E.right - 2, E.bottom - 2 - 1});

  TScreenImage Window = Backend.CaptureWindow(Form->Handle());
  RECT WindowRect{};
  GetWindowRect(Form->Handle(), &WindowRect);
  const POINT Origin = Form->ClientOrigin();
  const int Differ = Ref.Compare(Window, Origin.x - WindowRect.left, Origin.y - WindowRect.top, "demo");
  EXPECT_EQ(Differ, 0) << "see " << Folder;
  EXPECT_GT(Ref.CareCount(), 400 * 260 * 2 / 3);

  // Text was drawn where the reference leaves it open: the title has white pixels, the edit's
  // selection is highlighted.
  auto Count = [&](RECT R, TColor Color) {
    const COLORREF C = COLORREF(ColorToRGB(Color));
    const uint32_t Want = (uint32_t(GetRValue(C)) << 16) | (uint32_t(GetGValue(C)) << 8) | GetBValue(C);
    int N = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
      for (int X = R.left; X < R.right; ++X)
        if (Window.At(X + Origin.x - WindowRect.left, Y + Origin.y - WindowRect.top) == Want) ++N;
    return N;
  };
  EXPECT_GT(Count(RECT{8, 8, 392, 28}, clWhite), 50);
  EXPECT_GT(Count(RECT{E.left + 2, E.top + 2, E.right - 2, E.bottom - 2}, clHighlight), 50);
  Form->Free();
}

}  // namespace
