// The demo form on a real X server. The same click and keys go to it twice: injected into the
// headless back end, and sent as X events from another connection to the form's X window. The
// edit must end with the same text, and the X server must show exactly what the headless back
// end rendered. The class library's clipboard reaches other programs through the selections.
//
// The X events are sent with XSendEvent (the test-input extension's client library is not part
// of the build's dependencies); the back end takes synthetic events as it takes the server's own.

#include <iterator>
#include <memory>

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/clipboard.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "platform/user/desktopservices.h"
#include "tests/platform/backends/x11/demorender.h"
#include "tests/platform/backends/x11/x11fixture.h"
#include "tests/platform/backends/x11/x11selectionpeers.h"

#include <X11/keysym.h>

using namespace X11Test;

namespace {

// The X keys of the demo keys, in their order.
constexpr KeySym DemoSymbols[] = {XK_4, XK_2, XK_7, XK_BackSpace, XK_Home};
static_assert(std::size(DemoSymbols) == std::size(DemoKeys));

class X11Demo : public TX11BackendTest {
 protected:
  // Shows the form and gives its X window the input focus, as a window manager would.
  ::Window ShowOnServer(TForm* Form) {
    Form->Show();
    ::Window Id = WaitForXWindow(Form->Handle());
    if (!Id) return 0;
    XSetInputFocus(Other->Get(), Id, RevertToParent, CurrentTime);
    XSync(Other->Get(), False);
    PumpUntil([&] { return GetActiveWindow() == Form->Handle(); });
    return Id;
  }

  void Type(::Window Id, KeySym Symbol, unsigned Modifier = 0, KeySym ModifierKey = 0) {
    if (Modifier) Other->SendKey(Id, ModifierKey, true);
    Other->SendKey(Id, Symbol, true, Modifier);
    Other->SendKey(Id, Symbol, false, Modifier);
    if (Modifier) Other->SendKey(Id, ModifierKey, false, Modifier);
  }
};

TEST_F(X11Demo, TheServerShowsWhatTheHeadlessBackEndRendered) {
  // The headless render runs with the X11 back end stopped, so that it is all its own.
  StopX11Backend();
  TDemoRender Headless = RenderDemoHeadless();
  const std::string Folder = PictureFolder();
  SaveScreenImagePng(Headless.Client, Folder + "/demo-headless.png");
  ASSERT_NE(Headless.Text, "Привет, webcam ✓") << "the click and keys changed nothing";
  TX11StartOptions Options;
  Options.DisplayName = Server->Name().c_str();
  ASSERT_TRUE(StartX11Backend(Options));

  TDemoFormHolder Form = MakeDemoForm();
  ::Window Id = ShowOnServer(Form.get());
  ASSERT_NE(Id, 0u);
  ASSERT_EQ(GetActiveWindow(), Form->Handle());
  // The X window is the client area; the same size as the headless picture of it.
  ASSERT_EQ(Form->ClientWidth(), Headless.Client.Width);
  ASSERT_EQ(Form->ClientHeight(), Headless.Client.Height);
  Other->SendButton(Id, Button1, true, DemoClickAt.x, DemoClickAt.y);
  Other->SendButton(Id, Button1, false, DemoClickAt.x, DemoClickAt.y, Button1Mask);
  for (size_t Index = 0; Index < std::size(DemoKeys); ++Index)
    Type(Id, DemoSymbols[Index], DemoKeys[Index].Shift ? ShiftMask : 0, XK_Shift_L);
  TEdit* Edit = DemoEdit(Form.get());
  EXPECT_TRUE(PumpUntil([&] { return Edit->Text() == Headless.Text; })) << Edit->Text();

  // No tolerance: the server's 24-bit TrueColor visual keeps every colour as it is. Only the
  // caret blinks on the real clock here (the headless run held its clock still), so the two
  // pictures agree whenever the caret is in the same phase: wait for that.
  TScreenImage Shown{Headless.Client.Width, Headless.Client.Height, {}};
  bool Same = PumpUntil([&] {
    Shown.Pixels = Other->Pixels(Id, Shown.Width, Shown.Height);
    return Shown.Pixels == Headless.Client.Pixels;
  });
  SaveScreenImagePng(Shown, Folder + "/demo-x11.png");
  TScreenImage Screen{1024, 768, Other->Pixels(Other->Root(), 1024, 768)};
  SaveScreenImagePng(Screen, Folder + "/demo-x11-screen.png");
  if (!Same && Shown.Pixels.size() == Headless.Client.Pixels.size()) {
    TScreenImage Difference = Shown;
    int Count = 0;
    for (size_t Index = 0; Index < Shown.Pixels.size(); ++Index) {
      bool Differs = Shown.Pixels[Index] != Headless.Client.Pixels[Index];
      Count += Differs;
      Difference.Pixels[Index] = Differs ? 0xFF0000 : 0x404040;
    }
    SaveScreenImagePng(Difference, Folder + "/demo-x11-difference.png");
    ADD_FAILURE() << Count << " pixels differ; see " << Folder;
  }
  EXPECT_TRUE(Same) << "see " << Folder;
}

// The small view over another full-screen program: while hidden, the form becomes translucent
// (alpha 178, a 30 % value), topmost and smaller; shown again, the X window carries all of it.
// Leaving the view takes it back the same way.
TEST_F(X11Demo, TheTranslucentTopmostViewSurvivesTheHiddenSwitch) {
  TDemoFormHolder Form = MakeDemoForm();
  ASSERT_NE(ShowOnServer(Form.get()), 0u);
  Atom AboveState = Other->Intern("_NET_WM_STATE_ABOVE");
  auto State = [&](::Window Id) {
    struct {
      std::vector<unsigned long> Opacity;
      bool OnTop = false;
      unsigned Width = 0, Height = 0;
    } Result;
    Result.Opacity = Other->LongProperty(Id, "_NET_WM_WINDOW_OPACITY", XA_CARDINAL);
    for (unsigned long Item : Other->LongProperty(Id, "_NET_WM_STATE", XA_ATOM)) Result.OnTop |= Item == AboveState;
    ::Window Root = 0;
    int X = 0, Y = 0;
    unsigned Border = 0, Depth = 0;
    XGetGeometry(Other->Get(), Id, &Root, &X, &Y, &Result.Width, &Result.Height, &Border, &Depth);
    return Result;
  };
  struct TCase {
    const char* Name;
    bool Translucent;
    bool Topmost;
    int ClientWidth, ClientHeight;
    std::vector<unsigned long> Opacity;  // empty: no property
  };
  const TCase Cases[] = {
      {"entering: translucent, topmost, fitted", true, true, 180, 170, {0xB2B2B2B2ul}},
      {"leaving: opaque, not topmost, former size", false, false, 400, 260, {}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Form->Hide();
    PumpFor(20);
    Form->SetAlphaBlendValue(178);
    Form->SetAlphaBlend(Case.Translucent);
    SetWindowPos(Form->Handle(), Case.Topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Form->SetClientWidth(Case.ClientWidth);
    Form->SetClientHeight(Case.ClientHeight);
    Form->Show();
    ::Window Id = WaitForXWindow(Form->Handle());
    ASSERT_NE(Id, 0u);
    EXPECT_TRUE(PumpUntil([&] {
      auto Now = State(Id);
      return Now.Opacity == Case.Opacity && Now.OnTop == Case.Topmost && int(Now.Width) == Case.ClientWidth &&
             int(Now.Height) == Case.ClientHeight;
    }));
    auto Now = State(Id);
    EXPECT_EQ(Now.Opacity, Case.Opacity);
    EXPECT_EQ(Now.OnTop, Case.Topmost);
    EXPECT_EQ(int(Now.Width), Case.ClientWidth);
    EXPECT_EQ(int(Now.Height), Case.ClientHeight);
  }
}

TEST_F(X11Demo, TheClipboardOfTheClassLibraryIsTheDesktopClipboard) {
  TDemoFormHolder Form = MakeDemoForm();
  ::Window Id = ShowOnServer(Form.get());
  ASSERT_NE(Id, 0u);
  TEdit* Edit = DemoEdit(Form.get());
  ASSERT_TRUE(Edit->Focused());

  // Ctrl+C in the edit: another program reads the selected text.
  Edit->SetSelStart(8);
  Edit->SetSelLength(6);
  Type(Id, XK_c, ControlMask, XK_Control_L);
  struct TRead {
    std::string Data, TypeName;
  };
  auto OtherReads = [&](const char* Target) {
    TPieceReader Reader(*Other, "CLIPBOARD", Target);
    PumpUntil([&] { return Reader.Poll(); });
    return TRead{Reader.Data, Reader.TypeName};
  };
  ASSERT_TRUE(PumpUntil([&] { return Clipboard()->AsText() == "webcam"; }));
  TRead Copied = OtherReads("UTF8_STRING");
  EXPECT_EQ(Copied.Data, "webcam");
  EXPECT_EQ(Copied.TypeName, "UTF8_STRING");

  // Ctrl+V pastes what another program copied.
  {
    TOtherOwner Owner(Server->Name(), "CLIPBOARD", {{"UTF8_STRING", "Камера"}});
    PumpFor(20);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    Type(Id, XK_v, ControlMask, XK_Control_L);
    EXPECT_TRUE(PumpUntil([&] { return Edit->Text() == "Привет, Камера ✓"; })) << Edit->Text();
  }

  // A picture given to the clipboard goes out as PNG, and one from another program comes in.
  std::unique_ptr<TBitmap> Picture = std::make_unique<TBitmap>();
  Picture->SetPixelFormat(pf32bit);
  Picture->SetSize(5, 3);
  for (int Y = 0; Y < 3; ++Y) {
    auto* Row = static_cast<uint32_t*>(Picture->ScanLine(Y));
    for (int X = 0; X < 5; ++X) Row[X] = uint32_t(X * 50) << 16 | uint32_t(Y * 100) << 8 | 0x30;
  }
  Clipboard()->Assign(Picture.get());
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  TRead Png = OtherReads("image/png");
  ASSERT_EQ(Png.TypeName, "image/png");
  TBgraImage Read = DecodePng(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Png.Data.data()), Png.Data.size()));
  ASSERT_EQ(Read.Width, 5);
  ASSERT_EQ(Read.Height, 3);
  for (int Y = 0; Y < 3; ++Y)
    for (int X = 0; X < 5; ++X) {
      SCOPED_TRACE(testing::Message() << "pixel " << X << "," << Y);
      const uint8_t* Pixel = Read.Row(Y) + X * 4;
      EXPECT_EQ(Pixel[2], X * 50);
      EXPECT_EQ(Pixel[1], Y * 100);
      EXPECT_EQ(Pixel[0], 0x30);
    }
  {
    TBgraImage Image;
    Image.Resize(2, 2);
    for (size_t Index = 0; Index < Image.Pixels.size(); Index += 4) {
      Image.Pixels[Index] = 0x10;
      Image.Pixels[Index + 1] = 0x20;
      Image.Pixels[Index + 2] = uint8_t(0x30 + Index);
      Image.Pixels[Index + 3] = 255;
    }
    std::vector<uint8_t> Encoded = EncodePng(Image.View());
    TOtherOwner Owner(Server->Name(), "CLIPBOARD", {{"image/png", std::string(Encoded.begin(), Encoded.end())}});
    PumpFor(20);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    TBitmap* Pasted = Clipboard()->Bitmap();
    ASSERT_NE(Pasted, nullptr);
    ASSERT_EQ(Pasted->Width(), 2);
    ASSERT_EQ(Pasted->Height(), 2);
    EXPECT_EQ(Pasted->Canvas()->Pixels(1, 1), TColor(0x10203C));
  }

  // Once the back end stops, the clipboard stays inside the process again.
  Form.reset();
  StopX11Backend();
  EXPECT_EQ(GetClipboardStore(), nullptr);
  EXPECT_EQ(GetNotifyArea(), nullptr);
  Clipboard()->SetAsText("kept here");
  EXPECT_EQ(Clipboard()->AsText(), "kept here");
  Clipboard()->Clear();
}

}  // namespace
