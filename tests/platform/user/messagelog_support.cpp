#include "tests/platform/user/messagelog.h"

#include <cstdio>
#include <sstream>

namespace UserTest {

namespace {

thread_local int DefProcDepth = 0;

}  // namespace

TMessageLog*& CurrentLog() {
  static TMessageLog* Log = nullptr;
  return Log;
}

LRESULT LoggingProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  TMessageLog* Log = CurrentLog();
  if (Log && Message != WM_GETTEXT && Message != WM_GETTEXTLENGTH && !Log->Ignored.count(Message)) {
    unsigned Flags = InDispatchedMessage() ? Posted : Sent;
    if (Log->IsParent(Window)) Flags |= Parent;
    if (DefProcDepth > 0) Flags |= DefProc;
    Log->Add(TLoggedMessage{Window, Message, Flags, WParam, LParam});
  }
  if (Log && Log->Responder)
    if (std::optional<LRESULT> Answer = Log->Responder(Window, Message, WParam, LParam)) return *Answer;
  // Messages of this procedure's own default handling nest inside it; they are marked DefProc.
  int Saved = DefProcDepth;
  DefProcDepth = 1;
  LRESULT Result = DefWindowProc(Window, Message, WParam, LParam);
  DefProcDepth = Saved;
  return Result;
}

const char* TestClassName() {
  static const char* Name = [] {
    WNDCLASSA Class{};
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = LoggingProc;
    Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Class.lpszClassName = "KorcamTestWindow";
    RegisterClass(&Class);
    return "KorcamTestWindow";
  }();
  return Name;
}

HWND CreateTestWindow(DWORD ExStyle, DWORD Style, int X, int Y, int Width, int Height, HWND Parent,
                      UINT_PTR Id, const char* Text) {
  return CreateWindowEx(ExStyle, TestClassName(), Text, Style, X, Y, Width, Height, Parent,
                        reinterpret_cast<HMENU>(Id), nullptr, nullptr);
}

void Drain(bool Translate) {
  MSG Message;
  for (int Guard = 0; Guard < 10000 && PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE); ++Guard) {
    if (Translate) TranslateMessage(&Message);
    DispatchMessage(&Message);
  }
}

void SendSeparatorAndDrain(HWND Window) {
  SendMessage(Window, SeparatorMessage, 0, 0);
  Drain();
}

const char* MessageName(UINT Message) {
  switch (Message) {
#define NAME(M) \
  case M: return #M;
    NAME(WM_CREATE) NAME(WM_DESTROY) NAME(WM_MOVE) NAME(WM_SIZE) NAME(WM_ACTIVATE)
    NAME(WM_SETFOCUS) NAME(WM_KILLFOCUS) NAME(WM_ENABLE) NAME(WM_SETREDRAW) NAME(WM_SETTEXT)
    NAME(WM_PAINT) NAME(WM_CLOSE) NAME(WM_QUIT) NAME(WM_ERASEBKGND) NAME(WM_SHOWWINDOW)
    NAME(WM_ACTIVATEAPP) NAME(WM_CANCELMODE) NAME(WM_SETCURSOR) NAME(WM_MOUSEACTIVATE)
    NAME(WM_GETMINMAXINFO) NAME(WM_WINDOWPOSCHANGING) NAME(WM_WINDOWPOSCHANGED)
    NAME(WM_CONTEXTMENU) NAME(WM_STYLECHANGING) NAME(WM_STYLECHANGED) NAME(WM_NCCREATE)
    NAME(WM_NCDESTROY) NAME(WM_NCCALCSIZE) NAME(WM_NCHITTEST) NAME(WM_NCPAINT)
    NAME(WM_NCACTIVATE) NAME(WM_NCMOUSEMOVE) NAME(WM_NCLBUTTONDOWN) NAME(WM_NCLBUTTONUP)
    NAME(WM_NCLBUTTONDBLCLK) NAME(WM_KEYDOWN) NAME(WM_KEYUP) NAME(WM_CHAR) NAME(WM_SYSKEYDOWN)
    NAME(WM_SYSKEYUP) NAME(WM_SYSCHAR) NAME(WM_SYSCOMMAND) NAME(WM_TIMER) NAME(WM_HSCROLL)
    NAME(WM_VSCROLL) NAME(WM_MOUSEMOVE) NAME(WM_LBUTTONDOWN) NAME(WM_LBUTTONUP)
    NAME(WM_LBUTTONDBLCLK) NAME(WM_RBUTTONDOWN) NAME(WM_RBUTTONUP) NAME(WM_MBUTTONDOWN)
    NAME(WM_MBUTTONUP) NAME(WM_MOUSEWHEEL) NAME(WM_PARENTNOTIFY) NAME(WM_CAPTURECHANGED)
    NAME(WM_USER) NAME(SeparatorMessage)
#undef NAME
    default: return nullptr;
  }
}

namespace {

std::string FlagText(unsigned Flags) {
  std::string Text;
  auto Add = [&](unsigned Bit, const char* Name) {
    if (!(Flags & Bit)) return;
    if (!Text.empty()) Text += '|';
    Text += Name;
  };
  Add(Sent, "sent");
  Add(Posted, "posted");
  Add(Parent, "parent");
  Add(DefProc, "defproc");
  Add(Hook, "hook");
  Add(Optional, "optional");
  return Text;
}

std::string NameOf(UINT Message) {
  if (const char* Name = MessageName(Message)) return Name;
  char Buffer[16];
  std::snprintf(Buffer, sizeof(Buffer), "0x%04X", Message);
  return Buffer;
}

std::string DescribeExpected(const TExpectedMessage& Entry) {
  std::ostringstream Out;
  Out << NameOf(Entry.Message) << " [" << FlagText(Entry.Flags) << "]";
  if (Entry.Flags & WParam) Out << " wParam=0x" << std::hex << Entry.WParamValue << std::dec;
  if (Entry.Flags & LParam) Out << " lParam=0x" << std::hex << Entry.LParamValue << std::dec;
  return Out.str();
}

bool Matches(const TExpectedMessage& Expected, const TLoggedMessage& Actual) {
  if (Expected.Message != Actual.Message) return false;
  unsigned Kind = Expected.Flags & (Sent | Posted);
  if (Kind && Kind != (Actual.Flags & (Sent | Posted))) return false;
  constexpr unsigned Exact = Parent | DefProc | Hook;
  if ((Expected.Flags & Exact) != (Actual.Flags & Exact)) return false;
  if ((Expected.Flags & WParam) &&
      ((Expected.WParamValue ^ Actual.WParamValue) & Expected.WParamMask) != 0)
    return false;
  if ((Expected.Flags & LParam) &&
      ((Expected.LParamValue ^ Actual.LParamValue) & Expected.LParamMask) != 0)
    return false;
  return true;
}

}  // namespace

std::string Describe(const TLoggedMessage& Entry) {
  std::ostringstream Out;
  Out << NameOf(Entry.Message) << " [" << FlagText(Entry.Flags) << "] hwnd=" << Entry.Window
      << " wParam=0x" << std::hex << Entry.WParamValue << " lParam=0x" << Entry.LParamValue;
  return Out.str();
}

void ExpectSequenceAt(const TMessageLog& Log, const TExpectedMessage* Expected, size_t Count,
                      const char* Context, const char* File, int Line) {
  const auto& Actual = Log.Entries();
  size_t E = 0, A = 0;
  std::string Problem;
  while (E < Count || A < Actual.size()) {
    if (E < Count && A < Actual.size() && Matches(Expected[E], Actual[A])) {
      ++E;
      ++A;
      continue;
    }
    if (E < Count && (Expected[E].Flags & Optional)) {
      ++E;
      continue;
    }
    std::ostringstream Out;
    if (E < Count && A < Actual.size())
      Out << "expected[" << E << "] " << DescribeExpected(Expected[E]) << " but got actual[" << A
          << "] " << Describe(Actual[A]);
    else if (E < Count)
      Out << "expected[" << E << "] " << DescribeExpected(Expected[E]) << " is missing";
    else
      Out << "unexpected actual[" << A << "] " << Describe(Actual[A]);
    Problem = Out.str();
    break;
  }
  if (Problem.empty()) return;
  std::ostringstream Dump;
  Dump << Context << ": " << Problem << "\n  expected:\n";
  for (size_t I = 0; I < Count; ++I) Dump << "    [" << I << "] " << DescribeExpected(Expected[I]) << "\n";
  Dump << "  actual:\n";
  for (size_t I = 0; I < Actual.size(); ++I) Dump << "    [" << I << "] " << Describe(Actual[I]) << "\n";
  ADD_FAILURE_AT(File, Line) << Dump.str();
}

void TUserTest::SetUp() {
  CurrentLog() = &Log;
  BYTE Keys[256] = {};
  SetKeyboardState(Keys);
}

void TUserTest::TearDown() {
  CurrentLog() = nullptr;
  ReleaseCapture();
  std::vector<HWND> Windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND Window, LPARAM Param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
        return TRUE;
      },
      LPARAM(&Windows));
  for (HWND Window : Windows) DestroyWindow(Window);
  MSG Message;
  while (PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) {
  }
  BYTE Keys[256] = {};
  SetKeyboardState(Keys);
  SetMessageBeepSink({});
}

}  // namespace UserTest
