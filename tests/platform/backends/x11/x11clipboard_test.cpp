// Copy and paste with other programs through the X selections.

#include <poll.h>

#include <atomic>
#include <cstring>
#include <map>
#include <thread>

#include "platform/backends/x11/x11clipboard.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "tests/platform/backends/x11/x11fixture.h"

#include <X11/keysym.h>

using namespace X11Test;

namespace {

// Another program that owns a selection, answering requests on a thread of its own (ours blocks
// in the request meanwhile). Content above PieceSize goes in INCR pieces, as big clipboards do.
class TOtherOwner {
 public:
  TOtherOwner(const std::string& DisplayName, const char* Selection, std::map<std::string, std::string> Content,
              size_t PieceSize = 65536)
      : FContent(std::move(Content)), FPieceSize(PieceSize) {
    FDisplay = XOpenDisplay(DisplayName.c_str());
    FSelection = XInternAtom(FDisplay, Selection, False);
    FWindow = XCreateSimpleWindow(FDisplay, DefaultRootWindow(FDisplay), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(FDisplay, FSelection, FWindow, CurrentTime);
    XSync(FDisplay, False);
    FThread = std::thread([this] { Serve(); });
  }
  ~TOtherOwner() {
    FStop = true;
    FThread.join();
    XDestroyWindow(FDisplay, FWindow);
    XCloseDisplay(FDisplay);
  }

 private:
  struct TTransfer {
    ::Window Requestor;
    Atom Property;
    Atom Type;
    std::string Data;
    size_t Sent = 0;
    bool Done = false;
  };

  void Serve() {
    while (!FStop) {
      pollfd Watch{XConnectionNumber(FDisplay), POLLIN, 0};
      poll(&Watch, 1, 10);
      while (XPending(FDisplay) > 0) {
        XEvent Event;
        XNextEvent(FDisplay, &Event);
        if (Event.type == SelectionRequest) Answer(Event.xselectionrequest);
        if (Event.type == PropertyNotify && Event.xproperty.state == PropertyDelete) NextPiece(Event.xproperty);
      }
    }
  }

  void Answer(const XSelectionRequestEvent& Request) {
    XEvent Reply{};
    Reply.xselection.type = SelectionNotify;
    Reply.xselection.requestor = Request.requestor;
    Reply.xselection.selection = Request.selection;
    Reply.xselection.target = Request.target;
    Reply.xselection.time = Request.time;
    char* Name = XGetAtomName(FDisplay, Request.target);
    std::string Target = Name;
    XFree(Name);
    if (Target == "TARGETS") {
      std::vector<long> Atoms;
      for (const auto& Entry : FContent) Atoms.push_back(long(XInternAtom(FDisplay, Entry.first.c_str(), False)));
      XChangeProperty(FDisplay, Request.requestor, Request.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(Atoms.data()), int(Atoms.size()));
      Reply.xselection.property = Request.property;
    } else if (FContent.count(Target)) {
      const std::string& Data = FContent[Target];
      Reply.xselection.property = Request.property;
      if (Data.size() > FPieceSize) {
        XSelectInput(FDisplay, Request.requestor, PropertyChangeMask);
        long Size = long(Data.size());
        XChangeProperty(FDisplay, Request.requestor, Request.property, XInternAtom(FDisplay, "INCR", False), 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(&Size), 1);
        FTransfers.push_back(TTransfer{Request.requestor, Request.property, Request.target, Data});
      } else {
        XChangeProperty(FDisplay, Request.requestor, Request.property, Request.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(Data.data()), int(Data.size()));
      }
    }
    XSendEvent(FDisplay, Request.requestor, False, NoEventMask, &Reply);
    XFlush(FDisplay);
  }

  void NextPiece(const XPropertyEvent& Event) {
    for (TTransfer& Transfer : FTransfers) {
      if (Transfer.Done || Transfer.Requestor != Event.window || Transfer.Property != Event.atom) continue;
      size_t Count = std::min(FPieceSize, Transfer.Data.size() - Transfer.Sent);
      XChangeProperty(FDisplay, Transfer.Requestor, Transfer.Property, Transfer.Type, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(Transfer.Data.data() + Transfer.Sent), int(Count));
      Transfer.Sent += Count;
      // The empty piece after the last one ends the transfer.
      if (Count == 0) Transfer.Done = true;
      XFlush(FDisplay);
    }
  }

  Display* FDisplay = nullptr;
  Atom FSelection = 0;
  ::Window FWindow = 0;
  std::map<std::string, std::string> FContent;
  size_t FPieceSize;
  std::vector<TTransfer> FTransfers;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

class X11Clipboard : public TX11BackendTest {
 protected:
  // What the other program gets when it asks for Target of Selection (our loop runs meanwhile).
  std::optional<std::string> OtherReads(const char* Selection, const char* Target, std::string* TypeName = nullptr) {
    Display* Server = Other->Get();
    ::Window Requestor = XCreateSimpleWindow(Server, Other->Root(), 0, 0, 1, 1, 0, 0, 0);
    Atom Property = Other->Intern("TEST_TRANSFER");
    XConvertSelection(Server, Other->Intern(Selection), Other->Intern(Target), Property, Requestor, CurrentTime);
    XFlush(Server);
    XEvent Event{};
    bool Answered = PumpUntil([&] { return XCheckTypedWindowEvent(Server, Requestor, SelectionNotify, &Event); });
    std::optional<std::string> Result;
    if (Answered && Event.xselection.property) {
      Atom Type = 0;
      int Format = 0;
      unsigned long Count = 0, After = 0;
      unsigned char* Data = nullptr;
      XGetWindowProperty(Server, Requestor, Property, 0, 1 << 24, True, AnyPropertyType, &Type, &Format, &Count,
                         &After, &Data);
      if (Data) {
        if (Format == 8) {
          Result = std::string(reinterpret_cast<char*>(Data), Count);
        } else if (Format == 32) {
          std::string Names;
          for (unsigned long I = 0; I < Count; ++I) {
            char* Name = XGetAtomName(Server, Atom(reinterpret_cast<long*>(Data)[I]));
            Names += std::string(Name) + " ";
            XFree(Name);
          }
          Result = Names;
        }
        XFree(Data);
      }
      if (TypeName && Type) {
        char* Name = XGetAtomName(Server, Type);
        *TypeName = Name;
        XFree(Name);
      }
    }
    XDestroyWindow(Server, Requestor);
    return Result;
  }

  HWND FocusedWindow() {
    HWND Window = CreateTestWindow(0, WS_POPUP, 20, 20, 100, 60);
    ShowWindow(Window, SW_SHOW);
    WaitForXWindow(Window);
    return Window;
  }
};

TEST_F(X11Clipboard, TextCopiedInOurWindowIsReadByAnotherProgram) {
  HWND Window = FocusedWindow();
  ::Window Id = X11WindowOf(Window);
  ASSERT_NE(Id, 0u);
  struct TCase {
    const char* Name;
    std::string Text;
    const char* Target;
    std::string Expected;
    const char* Type;
  };
  const TCase Cases[] = {
      {"ASCII as UTF8_STRING", "Hello, world", "UTF8_STRING", "Hello, world", "UTF8_STRING"},
      {"Cyrillic as UTF8_STRING", "Привет", "UTF8_STRING", "Привет", "UTF8_STRING"},
      {"text/plain;charset=utf-8", "Привет", "text/plain;charset=utf-8", "Привет", "text/plain;charset=utf-8"},
      {"STRING is Latin-1; what it lacks becomes ?", "café Ж", "STRING", "caf\xE9 ?", "STRING"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    SetCopyAction([&](HWND) { EXPECT_TRUE(X11SetSelectionText(TX11Selection::Clipboard, Case.Text)); });
    // Ctrl+C typed in our window.
    Log().clear();
    Other->SendKey(Id, XK_Control_L, true);
    Other->SendKey(Id, XK_c, true, ControlMask);
    Other->SendKey(Id, XK_c, false, ControlMask);
    Other->SendKey(Id, XK_Control_L, false, ControlMask);
    ASSERT_TRUE(PumpUntil([&] { return Logged(WM_CHAR, Window); }));
    std::string Type;
    EXPECT_EQ(OtherReads("CLIPBOARD", Case.Target, &Type), Case.Expected);
    EXPECT_EQ(Type, Case.Type);
  }
  std::optional<std::string> Targets = OtherReads("CLIPBOARD", "TARGETS");
  ASSERT_TRUE(Targets.has_value());
  EXPECT_NE(Targets->find("UTF8_STRING"), std::string::npos);
  EXPECT_EQ(Targets->find("image/png"), std::string::npos);
  // Our own copy comes back without asking the server.
  EXPECT_EQ(X11GetSelectionText(TX11Selection::Clipboard), "café Ж");

  // PRIMARY is a selection of its own.
  ASSERT_TRUE(X11SetSelectionText(TX11Selection::Primary, "selected"));
  EXPECT_EQ(OtherReads("PRIMARY", "UTF8_STRING"), "selected");
  EXPECT_EQ(OtherReads("CLIPBOARD", "UTF8_STRING"), "café Ж");
  // An image cannot be asked for where there is none.
  EXPECT_EQ(OtherReads("CLIPBOARD", "image/png"), std::nullopt);
}

TEST_F(X11Clipboard, TextOfAnotherProgramIsPasted) {
  // Ours first: the other program taking the selection over must make ours stale.
  ASSERT_TRUE(X11SetSelectionText(TX11Selection::Clipboard, "ours"));
  std::string Large(300000, 'x');
  for (size_t I = 0; I < Large.size(); I += 97) Large[I] = char('a' + I % 26);
  struct TCase {
    const char* Name;
    const char* Selection;
    std::map<std::string, std::string> Offered;
    std::optional<std::string> Expected;
  };
  const TCase Cases[] = {
      {"UTF-8 text", "CLIPBOARD", {{"UTF8_STRING", "Камера"}}, "Камера"},
      {"Latin-1 STRING only", "PRIMARY", {{"STRING", "caf\xE9"}}, "café"},
      {"a trailing zero byte is dropped", "CLIPBOARD", {{"UTF8_STRING", std::string("end\0", 4)}}, "end"},
      {"large text in INCR pieces", "CLIPBOARD", {{"UTF8_STRING", Large}}, Large},
      {"no text on offer", "CLIPBOARD", {{"image/png", "not really"}}, std::nullopt},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TOtherOwner Owner(Server->Name(), Case.Selection, Case.Offered);
    PumpFor(20);
    TX11Selection Selection =
        std::strcmp(Case.Selection, "PRIMARY") == 0 ? TX11Selection::Primary : TX11Selection::Clipboard;
    std::optional<std::string> Pasted = X11GetSelectionText(Selection);
    EXPECT_EQ(Pasted.has_value(), Case.Expected.has_value());
    if (Pasted && Case.Expected) {
      EXPECT_EQ(Pasted->size(), Case.Expected->size());
      EXPECT_TRUE(*Pasted == *Case.Expected) << "the text differs";
    }
  }
  // Nobody owns the clipboard any more (the owner went): nothing, and at once.
  PumpFor(20);
  EXPECT_EQ(X11GetSelectionText(TX11Selection::Clipboard), std::nullopt);
  EXPECT_TRUE(X11SelectionFormats(TX11Selection::Clipboard).empty());

  // Only the back end's thread may ask.
  std::optional<std::string> FromElsewhere = std::string("unchanged");
  std::thread([&] { FromElsewhere = X11GetSelectionText(TX11Selection::Clipboard); }).join();
  EXPECT_EQ(FromElsewhere, std::nullopt);
}

TBgraImage TestImage() {
  TBgraImage Image;
  Image.Resize(7, 5);
  Image.HasAlpha = true;
  for (int Y = 0; Y < 5; ++Y)
    for (int X = 0; X < 7; ++X) {
      uint8_t* P = Image.Row(Y) + X * 4;
      P[0] = uint8_t(X * 30);
      P[1] = uint8_t(Y * 50);
      P[2] = uint8_t(200 - X * 10);
      P[3] = uint8_t(X == 0 ? 0 : 255 - Y * 20);
    }
  return Image;
}

TEST_F(X11Clipboard, PicturesTravelAsPng) {
  TBgraImage Image = TestImage();
  ASSERT_TRUE(X11SetSelectionImage(TX11Selection::Clipboard, Image));
  std::optional<std::string> Targets = OtherReads("CLIPBOARD", "TARGETS");
  ASSERT_TRUE(Targets.has_value());
  EXPECT_NE(Targets->find("image/png"), std::string::npos);
  EXPECT_EQ(Targets->find("UTF8_STRING"), std::string::npos);
  std::optional<std::string> Png = OtherReads("CLIPBOARD", "image/png");
  ASSERT_TRUE(Png.has_value());
  TBgraImage Read = DecodePng(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Png->data()), Png->size()));
  EXPECT_EQ(Read.Width, 7);
  EXPECT_EQ(Read.Height, 5);
  EXPECT_EQ(Read.Pixels, Image.Pixels);

  // And from another program.
  std::vector<uint8_t> Encoded = EncodePng(Image.View());
  {
    TOtherOwner Owner(Server->Name(), "CLIPBOARD",
                      {{"image/png", std::string(Encoded.begin(), Encoded.end())}, {"UTF8_STRING", "a picture"}});
    PumpFor(20);
    EXPECT_TRUE(X11SelectionHasImage(TX11Selection::Clipboard));
    EXPECT_TRUE(X11SelectionHasText(TX11Selection::Clipboard));
    std::optional<TBgraImage> Pasted = X11GetSelectionImage(TX11Selection::Clipboard);
    ASSERT_TRUE(Pasted.has_value());
    EXPECT_EQ(Pasted->Width, 7);
    EXPECT_EQ(Pasted->Pixels, Image.Pixels);
  }
  // A picture that does not decode is no picture.
  {
    TOtherOwner Owner(Server->Name(), "CLIPBOARD", {{"image/png", "garbage"}});
    PumpFor(20);
    EXPECT_EQ(X11GetSelectionImage(TX11Selection::Clipboard), std::nullopt);
  }
}

}  // namespace
