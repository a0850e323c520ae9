// Copy and paste with other programs through the X selections.

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>

#include "platform/rtl/clock.h"
#include "platform/rtl/unicode.h"

#include "platform/backends/x11/x11clipboard.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "tests/platform/backends/x11/x11fixture.h"
#include "tests/sourcepath.h"
#include "tests/platform/backends/x11/x11selectionpeers.h"

#include "platform/backends/x11/x11parts.h"
#include "platform/backends/x11/x11selections.h"

#include <X11/keysym.h>

using namespace X11Test;

namespace {

// Text with multi-byte characters throughout, so that a piece boundary falls inside one.
std::string LargeText(size_t Bytes) {
  std::string Text;
  Text.reserve(Bytes + 16);
  for (size_t Line = 0; Text.size() < Bytes; ++Line) Text += "Кадр " + std::to_string(Line) + " webcam ✓\n";
  return Text;
}

std::string ReadFixture(const std::string& Relative) {
  std::ifstream Input(SourcePath(Relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(Input), std::istreambuf_iterator<char>());
}

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
  std::string Huge = LargeText(4 << 20);
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
      {"multi-megabyte text in INCR pieces", "CLIPBOARD", {{"UTF8_STRING", Huge}}, Huge},
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

X11Impl::TX11Selections& Selections() { return *X11Impl::RunningParts()->Selections; }

TEST_F(X11Clipboard, TextAboveTheLargestRequestGoesInPieces) {
  // Over the server's largest request (16 MiB with big requests): the real threshold.
  size_t Limit = Selections().PieceBytes();
  ASSERT_GT(Limit, 60000u);
  std::string Huge = LargeText(Limit + Limit / 4);
  ASSERT_TRUE(X11SetSelectionText(TX11Selection::Clipboard, Huge));
  {
    TPieceReader Reader(*Other, "CLIPBOARD", "UTF8_STRING");
    ASSERT_TRUE(PumpUntil([&] { return Reader.Poll(); }, 30000));
    EXPECT_TRUE(Reader.Incremental);
    EXPECT_EQ(Reader.Pieces, 2);
    EXPECT_EQ(Reader.TypeName, "UTF8_STRING");
    EXPECT_EQ(Reader.Data.size(), Huge.size());
    EXPECT_TRUE(Reader.Data == Huge) << "the text differs";
  }
  EXPECT_EQ(Selections().OutgoingCount(), 0u);
  // Just below the limit it goes whole.
  std::string Whole = Huge.substr(0, Limit);
  ASSERT_TRUE(X11SetSelectionText(TX11Selection::Clipboard, Whole));
  TPieceReader Reader(*Other, "CLIPBOARD", "UTF8_STRING");
  ASSERT_TRUE(PumpUntil([&] { return Reader.Poll(); }, 30000));
  EXPECT_FALSE(Reader.Incremental);
  EXPECT_EQ(Reader.Data.size(), Whole.size());
}

TEST_F(X11Clipboard, TransfersInPiecesRunSideBySideAndEndWithTheirRequestor) {
  // Small pieces make many round trips out of a few hundred kilobytes.
  Selections().SetPieceBytes(65536);
  std::string Text = LargeText(700000);
  ASSERT_TRUE(X11SetSelectionText(TX11Selection::Clipboard, Text));
  {
    // Two readers at once, one of them asking for Latin-1, and a third that quits early.
    TPieceReader Utf8(*Other, "CLIPBOARD", "UTF8_STRING");
    TPieceReader Latin(*Other, "CLIPBOARD", "STRING");
    TPieceReader Quitter(*Other, "CLIPBOARD", "UTF8_STRING");
    ASSERT_TRUE(PumpUntil([&] { return Quitter.Poll() || Quitter.Pieces > 0; }));
    Quitter.GoAway();
    ASSERT_TRUE(PumpUntil([&] { return Utf8.Poll() & Latin.Poll(); }, 20000));
    EXPECT_TRUE(Utf8.Data == Text) << "the text differs";
    EXPECT_EQ(Utf8.Pieces, int((Text.size() + 65535) / 65536));
    std::string Expected;
    for (size_t Index = 0; Index < Text.size();) {
      char32_t Code = Utf8Decode(Text, Index);
      Expected.push_back(Code < 256 ? char(Code) : '?');
    }
    EXPECT_EQ(Latin.TypeName, "STRING");
    EXPECT_TRUE(Latin.Data == Expected) << "the Latin-1 text differs";
    // The transfer of the reader that quit was dropped with its window.
    EXPECT_TRUE(PumpUntil([&] { return Selections().OutgoingCount() == 0; }));
  }
  // A reader that takes the first piece and then stops is dropped once it has been quiet for a
  // while, when the next transfer starts.
  TPieceReader Stalled(*Other, "CLIPBOARD", "UTF8_STRING");
  ASSERT_TRUE(PumpUntil([&] {
    Stalled.Poll();
    return Stalled.Pieces > 0;
  }));
  EXPECT_EQ(Selections().OutgoingCount(), 1u);
  // Our side writes the second piece, which nobody takes.
  PumpFor(50);
  {
    TScopedManualClock Later(ManualClockDefaultStart, Clock().TickCount() + 10001);
    TPieceReader Next(*Other, "CLIPBOARD", "UTF8_STRING");
    ASSERT_TRUE(PumpUntil([&] { return Next.Poll(); }));
    EXPECT_TRUE(Next.Data == Text);
    EXPECT_EQ(Selections().OutgoingCount(), 0u);
  }
  EXPECT_EQ(Stalled.Pieces, 1);

  // A requestor may be a window we listen to for reasons of our own (a tray manager's, which
  // may paste too): that listening must outlast the transfer.
  {
    X11Impl::TX11Connection& Ours = *X11Impl::RunningParts()->Connection;
    ::Window Panel = XCreateSimpleWindow(Other->Get(), Other->Root(), 0, 0, 50, 20, 0, 0, 0);
    XSync(Other->Get(), False);
    XSelectInput(Ours.Get(), Panel, StructureNotifyMask);
    auto OurMask = [&] {
      XWindowAttributes Attributes{};
      XGetWindowAttributes(Ours.Get(), Panel, &Attributes);
      return Attributes.your_event_mask;
    };
    {
      TPieceReader FromPanel(*Other, "CLIPBOARD", "UTF8_STRING", Panel);
      ASSERT_TRUE(PumpUntil([&] { return FromPanel.Poll(); }));
      EXPECT_TRUE(FromPanel.Incremental);
      EXPECT_TRUE(FromPanel.Data == Text);
    }
    EXPECT_EQ(OurMask(), StructureNotifyMask);
    XDestroyWindow(Other->Get(), Panel);
    XSync(Other->Get(), False);
  }

  // A picture goes in pieces too, and small content still goes whole.
  TBgraImage Picture;
  Picture.Resize(300, 300);
  // Noise, so the PNG file stays bigger than a piece.
  uint32_t Seed = 12345;
  for (uint8_t& Byte : Picture.Pixels) {
    Seed = Seed * 1103515245u + 12345u;
    Byte = uint8_t(Seed >> 24);
  }
  ASSERT_TRUE(X11SetSelectionImage(TX11Selection::Clipboard, Picture));
  TPieceReader Png(*Other, "CLIPBOARD", "image/png");
  ASSERT_TRUE(PumpUntil([&] { return Png.Poll(); }));
  EXPECT_TRUE(Png.Incremental);
  TBgraImage Read = DecodePng(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Png.Data.data()), Png.Data.size()));
  EXPECT_EQ(Read.Width, 300);
  ASSERT_TRUE(X11SetSelectionText(TX11Selection::Clipboard, "small"));
  EXPECT_EQ(OtherReads("CLIPBOARD", "UTF8_STRING"), "small");
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

// What other programs hand us is bounded, and refused in words when it is too much: a picture
// that unpacks to more than 32 million pixels (here a 7.8 KB PNG of 8000 x 8000 pixels that would
// take 256 MB), and content above the transfer limit, in one reply, in pieces, or in pieces whose
// announced size understates what follows.
TEST_F(X11Clipboard, WhatOtherProgramsHandUsIsRefusedWhenTooLarge) {
  const std::string Huge = ReadFixture("tests/fixtures/images/gray1_8000x8000.png");
  ASSERT_EQ(Huge.size(), 7852u);
  {
    TOtherOwner Owner(Server->Name(), "CLIPBOARD", {{"image/png", Huge}});
    PumpFor(20);
    EXPECT_TRUE(X11SelectionHasImage(TX11Selection::Clipboard));
    try {
      X11GetSelectionImage(TX11Selection::Clipboard);
      ADD_FAILURE() << "the picture was taken";
    } catch (const EGraphicTooLarge& Error) {
      EXPECT_EQ(Error.Message(), "The picture on the clipboard is too large to paste");
    }
  }
  const std::string Text = LargeText(300000);
  struct TCase {
    const char* Name;
    size_t PieceSize;
    bool Understates;
  };
  const TCase Cases[] = {
      {"in one reply", 1 << 20, false},
      {"in pieces", 65536, false},
      {"in pieces announced as one byte", 65536, true},
  };
  Selections().SetIncomingLimit(100000);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TOtherOwner Owner(Server->Name(), "CLIPBOARD", {{"UTF8_STRING", Text}}, Case.PieceSize, Case.Understates);
    PumpFor(20);
    EXPECT_THROW(X11GetSelectionText(TX11Selection::Clipboard), EInvalidOperation);
  }
  Selections().SetIncomingLimit(0);
  // Within the limit, the same content comes whole.
  TOtherOwner Owner(Server->Name(), "CLIPBOARD", {{"UTF8_STRING", Text}}, 65536, true);
  PumpFor(20);
  std::optional<std::string> Pasted = X11GetSelectionText(TX11Selection::Clipboard);
  ASSERT_TRUE(Pasted.has_value());
  EXPECT_TRUE(*Pasted == Text);
}

}  // namespace
