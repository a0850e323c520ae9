#include <sstream>

#include "platform/forms/controlcanvas.h"
#include "platform/gdi/gdi.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {

KORCAM_REGISTER_CLASS(TTestPanel)
KORCAM_REGISTER_CLASS(TTestBox)
KORCAM_REGISTER_CLASS(TTestShape)

// ---- the log -----------------------------------------------------------------------------------

void TControlLog::Attach(TControl* Control, const std::string& Name) {
  TWndMethod Previous = Control->WindowProc;
  Control->WindowProc = [this, Previous, Name](TMessage& Message) {
    if ((Only.empty() || Only.count(Message.Msg)) && !Ignored.count(Message.Msg))
      FEntries.push_back(TLoggedControlMessage{Name, Message.Msg, Message.WParam, Message.LParam});
    Previous(Message);
  };
}

std::vector<std::string> TControlLog::Names() const {
  std::vector<std::string> Result;
  for (const auto& Entry : FEntries)
    Result.push_back(Entry.Control + " " + ControlMessageName(Entry.Message));
  return Result;
}

const char* ControlMessageName(UINT Message) {
  switch (Message) {
#define NAME(M) \
  case M:       \
    return #M;
    NAME(WM_CREATE)
    NAME(WM_DESTROY) NAME(WM_MOVE) NAME(WM_SIZE) NAME(WM_ACTIVATE) NAME(WM_SETFOCUS) NAME(WM_KILLFOCUS) NAME(
        WM_ENABLE) NAME(WM_SETTEXT) NAME(WM_PAINT) NAME(WM_CLOSE) NAME(WM_ERASEBKGND) NAME(WM_SHOWWINDOW)
        NAME(WM_CANCELMODE) NAME(WM_SETCURSOR) NAME(WM_MOUSEACTIVATE) NAME(WM_WINDOWPOSCHANGING) NAME(
            WM_WINDOWPOSCHANGED) NAME(WM_NCCREATE) NAME(WM_NCDESTROY) NAME(WM_NCCALCSIZE) NAME(WM_NCHITTEST)
            NAME(WM_NCPAINT) NAME(WM_NCACTIVATE) NAME(WM_GETDLGCODE) NAME(WM_KEYDOWN) NAME(WM_KEYUP)
                NAME(WM_CHAR) NAME(WM_SYSKEYDOWN) NAME(WM_TIMER) NAME(WM_MOUSEMOVE) NAME(WM_LBUTTONDOWN) NAME(
                    WM_LBUTTONUP) NAME(WM_LBUTTONDBLCLK) NAME(WM_RBUTTONDOWN) NAME(WM_RBUTTONUP)
                    NAME(WM_MOUSEWHEEL) NAME(WM_CAPTURECHANGED) NAME(WM_GETTEXT) NAME(WM_GETTEXTLENGTH) NAME(
                        WM_GETMINMAXINFO) NAME(WM_STYLECHANGING) NAME(WM_STYLECHANGED) NAME(WM_PARENTNOTIFY)
                        NAME(WM_APP + 0x3FE) NAME(WM_CUT) NAME(WM_COPY) NAME(WM_PASTE) NAME(WM_CLEAR)
                            NAME(WM_UNDO) NAME(WM_ACTIVATEAPP) NAME(CM_ACTIVATE) NAME(CM_DEACTIVATE) NAME(
                                CM_CANCELMODE) NAME(CM_DIALOGKEY) NAME(CM_DIALOGCHAR) NAME(CM_FOCUSCHANGED)
                                NAME(CM_PARENTFONTCHANGED) NAME(CM_PARENTCOLORCHANGED) NAME(CM_HITTEST) NAME(
                                    CM_VISIBLECHANGED) NAME(CM_ENABLEDCHANGED) NAME(CM_COLORCHANGED)
                                    NAME(CM_FONTCHANGED) NAME(CM_CURSORCHANGED) NAME(CM_CTL3DCHANGED)
                                        NAME(CM_PARENTCTL3DCHANGED) NAME(CM_TEXTCHANGED) NAME(CM_MOUSEENTER)
                                            NAME(CM_MOUSELEAVE) NAME(CM_SHOWINGCHANGED) NAME(CM_ENTER)
                                                NAME(CM_EXIT) NAME(CM_WANTSPECIALKEY) NAME(CM_RELEASE)
                                                    NAME(CM_SHOWHINTCHANGED) NAME(CM_PARENTSHOWHINTCHANGED)
                                                        NAME(CM_SYSCOLORCHANGE) NAME(CM_TABSTOPCHANGED)
                                                            NAME(CM_CONTROLLISTCHANGE) NAME(CM_CHILDKEY)
                                                                NAME(CM_HINTSHOW) NAME(CM_RECREATEWND)
                                                                    NAME(CM_INVALIDATE) NAME(CM_CONTROLCHANGE)
                                                                        NAME(CM_CHANGED)
                                                                            NAME(CM_BIDIMODECHANGED)
                                                                                NAME(CM_PARENTBIDIMODECHANGED)
                                                                                    NAME(CM_MOUSEWHEEL)
                                                                                        NAME(CN_KEYDOWN)
                                                                                            NAME(CN_KEYUP)
                                                                                                NAME(CN_CHAR)
#undef NAME
                                                                                                    default
        : return "(other)";
  }
}

namespace {

std::string Describe(const std::string& Control, UINT Message, WPARAM W, LPARAM L) {
  std::ostringstream Out;
  Out << Control << " " << ControlMessageName(Message) << " (0x" << std::hex << Message << ") w=0x" << W
      << " l=0x" << L;
  return Out.str();
}

}  // namespace

void ExpectControlMessagesAt(const TControlLog& Log, const TExpectedControlMessage* Expected, size_t Count,
                             const char* Context, const char* File, int Line) {
  const auto& Actual = Log.Entries();
  size_t A = 0;
  bool Ok = true;
  for (size_t E = 0; E < Count; ++E) {
    const auto& Want = Expected[E];
    auto Matches = [&](const TLoggedControlMessage& Got) {
      return Got.Control == Want.Control && Got.Message == Want.Message &&
             (!(Want.Flags & WParam) || Got.WParamValue == Want.WParamValue) &&
             (!(Want.Flags & LParam) || Got.LParamValue == Want.LParamValue);
    };
    if (A < Actual.size() && Matches(Actual[A])) {
      ++A;
      continue;
    }
    if (Want.Flags & Optional) continue;
    Ok = false;
    break;
  }
  if (Ok && A == Actual.size()) return;
  std::ostringstream Dump;
  Dump << Context << ": message sequence differs\n  expected:\n";
  for (size_t E = 0; E < Count; ++E)
    Dump << "    [" << E << "] "
         << Describe(Expected[E].Control, Expected[E].Message, Expected[E].WParamValue,
                     Expected[E].LParamValue)
         << ((Expected[E].Flags & Optional) ? " (optional)" : "") << "\n";
  Dump << "  actual:\n";
  for (size_t I = 0; I < Actual.size(); ++I)
    Dump << "    [" << I << "] "
         << Describe(Actual[I].Control, Actual[I].Message, Actual[I].WParamValue, Actual[I].LParamValue)
         << "\n";
  ADD_FAILURE_AT(File, Line) << Dump.str();
}

// ---- the fixture -------------------------------------------------------------------------------

TFormsTest::TFormsTest() = default;
TFormsTest::~TFormsTest() = default;

void TFormsTest::SetUp() {
  GdiSetScreenSize(800, 600);
  RECT Work{0, 0, 800, 600};
  SystemParametersInfoA(SPI_SETWORKAREA, 0, &Work, 0);
  BYTE Keys[256] = {};
  SetKeyboardState(Keys);
  SetCursorPos(799, 599);
  FSavedApplication = Application;
  Application = new TApplication(nullptr);
  Application->SetTitle("Test");
  SetMessageBoxSink([this](const TMessageBoxRequest& Request) {
    Boxes.push_back(Request);
    if (Answers.empty()) return Request.DefaultAnswer;
    int Answer = Answers.front();
    Answers.pop_front();
    return Answer;
  });
  SetMessageBeepSink([this](UINT) { ++Beeps; });
}

void TFormsTest::TearDown() {
  Application->CancelHint();
  Application->Free();
  Application = FSavedApplication;
  SetMessageBoxSink(nullptr);
  SetMessageBeepSink(nullptr);
  FreeDeviceContexts();
  ReleaseCapture();
  // Whatever a failed test left behind goes, so the next test starts clean.
  std::vector<HWND> Windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND Window, LPARAM Param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
        return TRUE;
      },
      LPARAM(&Windows));
  for (HWND Window : Windows)
    if (IsWindow(Window)) DestroyWindow(Window);
  MSG Message;
  while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
  }
  BYTE Keys[256] = {};
  SetKeyboardState(Keys);
}

void TFormsTest::Advance(uint64_t Milliseconds, uint64_t Step) {
  Pump();
  while (Milliseconds > 0) {
    uint64_t Now = std::min(Milliseconds, Step);
    FClock->Advance(Now);
    Milliseconds -= Now;
    Pump();
  }
}

// ---- test controls -----------------------------------------------------------------------------

TTestPanel::TTestPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                   csOpaque,          csDoubleClicks, csReplicatable};
  SetBounds(0, 0, 100, 50);
}

void TTestPanel::SetTransparent(bool Value) {
  Transparent = Value;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  RecreateWnd();
}

void TTestPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (Transparent) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TTestPanel::Paint() {
  ++PaintCount;
  if (Transparent) return;
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TTestPanel::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND && Transparent) {
    Message.Result = 1;
    return;
  }
  if (Message.Msg == WM_GETDLGCODE && WantArrows) {
    Message.Result = DLGC_WANTARROWS;
    return;
  }
  TCustomControl::Dispatch(Message);
}

TTestBox::TTestBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 60, 20);
  SetTabStop(true);
  SetColor(clWindow);
}

void TTestBox::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TTestBox::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (Key) Typed += Key;
}

void TTestBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CanFocus()) SetFocus();
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

TTestShape::TTestShape(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 20, 20);
}

void TTestShape::Paint() {
  ++PaintCount;
  CopyPainted = ControlState().Contains(csPaintCopy);
  if (FillBackground) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(RECT{0, 0, Width(), Height()});
  }
  if (InnerColor != clNone) {
    Canvas()->Brush()->SetColor(InnerColor);
    Canvas()->FillRect(RECT{Width() / 4, Height() / 4, Width() - Width() / 4, Height() - Height() / 4});
  }
}

TColor PixelAt(TWinControl* Control, int X, int Y) {
  // What the screen shows there: the pixel of the top-level window's store, whichever window
  // painted it.
  POINT P{X, Y};
  ClientToScreen(Control->Handle(), &P);
  HWND Top = GetAncestor(Control->HandleIfAllocated(), GA_ROOT);
  RECT R{};
  GetWindowRect(Top, &R);
  TPixelSurface Surface = GetWindowSurface(Top);
  const int SX = P.x - R.left, SY = P.y - R.top;
  if (!Surface.IsValid() || SX < 0 || SY < 0 || SX >= Surface.Width || SY >= Surface.Height) return clNone;
  const uint8_t* Pixel = Surface.Row(SY) + SX * 4;
  return TColor(RGB(Pixel[2], Pixel[1], Pixel[0]));
}

}  // namespace FormsTest
