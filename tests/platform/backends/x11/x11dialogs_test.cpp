// A message box and the open-picture dialog on a real X server: each comes up as a dialog window
// of its owner (transient for it, modal while the owner takes no input), shows what our model
// drew, and is answered by keys and a click sent from another X connection. Pictures of both are
// written for looking at.

#include <chrono>
#include <filesystem>
#include <functional>

#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/filedialogs.h"
#include "platform/forms/form.h"
#include "platform/forms/listbox.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/picture.h"
#include "platform/rtl/fileutils.h"
#include "tests/platform/backends/x11/demorender.h"
#include "tests/platform/backends/x11/x11fixture.h"
#include "tests/platform/rtl/temp_folder.h"

#include <X11/keysym.h>

using namespace X11Test;

namespace {

struct TFormFree {
  void operator()(TForm* Form) const { Form->Free(); }
};

class X11Dialogs : public TX11BackendTest {
 protected:
  void SetUp() override {
    TX11BackendTest::SetUp();
    if (IsSkipped()) return;
    Main.reset(NewForm<TForm>(nullptr));
    Main->SetCaption("Korvane Webcam Lite 1.1");
    Main->SetBounds(100, 80, 640, 480);
    Main->Show();
    MainId = WaitForXWindow(Main->Handle());
  }
  void TearDown() override {
    Main.reset();
    TX11BackendTest::TearDown();
  }

  // Runs Modal while Steps take turns at every idle moment of its loop: a step answers true when
  // it is done and the next may start. The loop is ended after 15 seconds whatever happens.
  void RunWith(const std::function<void()>& Modal, std::vector<std::function<bool(TCustomForm*)>> Steps) {
    size_t Next = 0;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    UINT_PTR Ticker = SetTimer(nullptr, 0, 20, nullptr);
    Application->OnIdle = TIdleEvent([&](TObject*, bool& Done) {
      Done = true;
      // The active window is the dialog while its loop runs (Xlib's own Screen hides the
      // class library's, so the form is found from its window).
      auto* Dialog = dynamic_cast<TCustomForm*>(TWinControl::FindControl(GetActiveWindow()));
      if (!Dialog || Dialog == Main.get()) return;
      if (std::chrono::steady_clock::now() > Deadline) {
        ADD_FAILURE() << "the dialog was not answered; step " << Next;
        Dialog->SetModalResult(mrCancel);
        return;
      }
      if (Next < Steps.size() && Steps[Next](Dialog)) ++Next;
    });
    Modal();
    Application->OnIdle = TIdleEvent();
    KillTimer(nullptr, Ticker);
  }

  // True once the dialog's X window shows exactly what our model drew; then writes its picture.
  bool Shown(TCustomForm* Dialog, const std::string& Name, ::Window& Id) {
    Id = X11WindowOf(Dialog->Handle());
    if (!Id || !Other->Viewable(Id)) return false;
    int Width = 0, Height = 0;
    std::vector<uint32_t> Expected = ExpectedPixels(Dialog->Handle(), Width, Height);
    std::vector<uint32_t> Pixels = Other->Pixels(Id, Width, Height);
    if (Pixels != Expected) return false;
    SaveScreenImagePng(TScreenImage{Width, Height, Pixels}, PictureFolder() + "/" + Name + ".png");
    SaveScreenImagePng(TScreenImage{1024, 768, Other->Pixels(Other->Root(), 1024, 768)},
                       PictureFolder() + "/" + Name + "-screen.png");
    return true;
  }

  // The window manager's view of a dialog: its type, the window it belongs to, and its states.
  void ExpectDialogOfMain(::Window Id) {
    std::vector<unsigned long> Type = Other->LongProperty(Id, "_NET_WM_WINDOW_TYPE", XA_ATOM);
    ASSERT_EQ(Type.size(), 1u);
    EXPECT_EQ(Type[0], Other->Intern("_NET_WM_WINDOW_TYPE_DIALOG"));
    ::Window For = 0;
    XGetTransientForHint(Other->Get(), Id, &For);
    EXPECT_EQ(For, MainId);
    bool Modal = false;
    for (unsigned long State : Other->LongProperty(Id, "_NET_WM_STATE", XA_ATOM))
      Modal |= State == Other->Intern("_NET_WM_STATE_MODAL");
    EXPECT_TRUE(Modal);
  }

  void Press(::Window Id, KeySym Symbol) {
    Other->SendKey(Id, Symbol, true);
    Other->SendKey(Id, Symbol, false);
  }

  std::unique_ptr<TForm, TFormFree> Main;
  ::Window MainId = 0;
};

TEST_F(X11Dialogs, AMessageBoxIsAnsweredWithAKey) {
  ASSERT_NE(MainId, 0u);
  ::Window Id = 0;
  std::string Title;
  int Answer = 0;
  RunWith([&] { Answer = MessageBoxA(Main->Handle(), "This action will delete the current file. Are you sure?",
                                     "Korvane WebCam", MB_OKCANCEL | MB_ICONQUESTION); },
          {[&](TCustomForm* Box) { return Shown(Box, "x11-messagebox", Id); },
           [&](TCustomForm*) {
             ExpectDialogOfMain(Id);
             Title = Other->StringProperty(Id, "_NET_WM_NAME");
             // Tab to Cancel, then Space presses it.
             Press(Id, XK_Tab);
             Press(Id, XK_space);
             return true;
           }});
  EXPECT_EQ(Title, "Korvane WebCam");
  EXPECT_EQ(Answer, IDCANCEL);
  EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
}

TEST_F(X11Dialogs, AnOpenPictureDialogIsAnsweredWithAClickAndEnter) {
  ASSERT_NE(MainId, 0u);
  TTempFolder Folder;
  std::filesystem::create_directories(Folder.Path() / "Снимки");
  TBitmap Ramp;
  Ramp.SetPixelFormat(pf24bit);
  Ramp.SetSize(120, 90);
  for (int Y = 0; Y < 90; ++Y) {
    auto* Row = static_cast<uint8_t*>(Ramp.ScanLine(Y));
    for (int X = 0; X < 120; ++X) {
      Row[X * 3] = uint8_t(X * 2);
      Row[X * 3 + 1] = uint8_t(Y * 2);
      Row[X * 3 + 2] = uint8_t(200 - X);
    }
  }
  TPicture Picture;
  Picture.SetBitmap(&Ramp);
  Picture.SaveToFile(Folder.File("Снимки/watermark.jpg"));
  Ramp.SaveToFile(Folder.File("Снимки/logo.bmp"));

  TOpenPictureDialog Dialog(nullptr);
  Dialog.SetFilter("All supported files|*.bmp;*.jpg;*.ico;|Bitmaps (*.bmp)|*.bmp|Jpeg(*.jpg)|*.jpg|Icon(*.ico)|*.ico");
  Dialog.SetTitle("Select picture");
  Dialog.SetInitialDir(Folder.File("Снимки"));
  Dialog.SetOptions({ofHideReadOnly, ofNoChangeDir, ofEnableSizing});
  ::Window Id = 0;
  bool Chosen = false;
  RunWith([&] { Chosen = Dialog.Execute(); },
          {[&](TCustomForm* Form) { return Shown(Form, "x11-open-picture-start", Id); },
           [&](TCustomForm* Form) {
             ExpectDialogOfMain(Id);
             // A click on the second entry (watermark.jpg) of the list, in the dialog's client area.
             auto* List = dynamic_cast<TCustomListBox*>(Form->FindComponent("FileList"));
             const RECT Item = List->ItemRect(1);
             const POINT At = Form->ScreenToClient(List->ClientToScreen(POINT{(Item.left + Item.right) / 2,
                                                                              (Item.top + Item.bottom) / 2}));
             Other->SendButton(Id, Button1, true, At.x, At.y);
             Other->SendButton(Id, Button1, false, At.x, At.y, Button1Mask);
             return true;
           },
           [&](TCustomForm* Form) {
             auto* List = dynamic_cast<TCustomListBox*>(Form->FindComponent("FileList"));
             return List->ItemIndex() == 1 && Shown(Form, "x11-open-picture-chosen", Id);
           },
           [&](TCustomForm*) {
             Press(Id, XK_Return);
             return true;
           }});
  ASSERT_TRUE(Chosen);
  EXPECT_EQ(Dialog.FileName(), Folder.File("Снимки/watermark.jpg"));
}

}  // namespace
