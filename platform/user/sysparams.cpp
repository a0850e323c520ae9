// Cursors, system settings, the beep sink and the caret.

#include <cstring>
#include <mutex>

#include "platform/gdi/sysmetrics.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/paint.h"

using namespace UserImpl;

namespace {

// Stock cursors are records of their own; the handle points at one.
struct TCursorRecord {
  WORD Id;
};

constexpr WORD StockCursorIds[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                   32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};

TCursorRecord* StockCursors() {
  static TCursorRecord Records[std::size(StockCursorIds)] = {};
  static std::once_flag Once;
  std::call_once(Once, [] {
    for (size_t I = 0; I < std::size(StockCursorIds); ++I) Records[I].Id = StockCursorIds[I];
  });
  return Records;
}

struct TSettings {
  std::mutex Lock;
  bool WorkAreaSet = false;
  RECT WorkArea{};
  UINT DoubleClickTime = 500;
  TMessageBeepSink Beep;
  TCaretInfo Caret;
};

TSettings& Settings() {
  static TSettings Instance;
  return Instance;
}

}  // namespace

HCURSOR LoadCursorA(HINSTANCE Instance, LPCSTR Name) {
  if (Instance || !IS_INTRESOURCE(Name)) return nullptr;
  WORD Id = WORD(reinterpret_cast<uintptr_t>(Name));
  TCursorRecord* Records = StockCursors();
  for (size_t I = 0; I < std::size(StockCursorIds); ++I)
    if (Records[I].Id == Id) return reinterpret_cast<HCURSOR>(&Records[I]);
  return nullptr;
}

WORD CursorId(HCURSOR Cursor) {
  TCursorRecord* Records = StockCursors();
  for (size_t I = 0; I < std::size(StockCursorIds); ++I)
    if (reinterpret_cast<HCURSOR>(&Records[I]) == Cursor) return Records[I].Id;
  return 0;
}

HCURSOR SetCursor(HCURSOR Cursor) {
  HCURSOR Previous;
  {
    TGuard Lock(Mutex());
    Previous = InputLocked().Cursor;
    InputLocked().Cursor = Cursor;
  }
  if (Previous != Cursor)
    if (TWindowDriver* Driver = GetWindowDriver()) Driver->CursorChanged(Cursor);
  return Previous;
}

HCURSOR GetCursor() {
  TGuard Lock(Mutex());
  return InputLocked().Cursor;
}

int ShowCursor(BOOL Show) {
  TGuard Lock(Mutex());
  int& Count = InputLocked().CursorShowCount;
  Count += Show ? 1 : -1;
  return Count;
}

RECT GetWorkArea() {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  if (S.WorkAreaSet) return S.WorkArea;
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

BOOL SystemParametersInfoA(UINT Action, UINT UIParam, LPVOID Param, UINT WinIni) {
  switch (Action) {
    case SPI_GETWORKAREA:
      if (!Param) return FALSE;
      *static_cast<RECT*>(Param) = GetWorkArea();
      return TRUE;
    case SPI_SETWORKAREA: {
      TSettings& S = Settings();
      std::lock_guard<std::mutex> Lock(S.Lock);
      S.WorkAreaSet = Param != nullptr;
      if (Param) S.WorkArea = *static_cast<const RECT*>(Param);
      return TRUE;
    }
    case SPI_GETWHEELSCROLLLINES:
      if (!Param) return FALSE;
      *static_cast<UINT*>(Param) = 3;
      return TRUE;
    case SPI_GETDRAGFULLWINDOWS:
      if (!Param) return FALSE;
      *static_cast<BOOL*>(Param) = TRUE;
      return TRUE;
    case SPI_GETKEYBOARDDELAY:
      if (!Param) return FALSE;
      *static_cast<int*>(Param) = 1;
      return TRUE;
    case SPI_GETKEYBOARDSPEED:
      if (!Param) return FALSE;
      *static_cast<int*>(Param) = 31;
      return TRUE;
    case SPI_GETMOUSEHOVERTIME:
      if (!Param) return FALSE;
      *static_cast<UINT*>(Param) = 400;
      return TRUE;
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT:
      if (!Param) return FALSE;
      *static_cast<UINT*>(Param) = 4;
      return TRUE;
    case SPI_GETBEEP:
      if (!Param) return FALSE;
      *static_cast<BOOL*>(Param) = TRUE;
      return TRUE;
    default: return FALSE;
  }
}

UINT GetDoubleClickTime() {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  return S.DoubleClickTime;
}

BOOL SetDoubleClickTime(UINT Milliseconds) {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  S.DoubleClickTime = Milliseconds ? Milliseconds : 500;
  return TRUE;
}

BOOL MessageBeep(UINT Type) {
  TMessageBeepSink Sink;
  {
    TSettings& S = Settings();
    std::lock_guard<std::mutex> Lock(S.Lock);
    Sink = S.Beep;
  }
  if (Sink) Sink(Type);
  return TRUE;
}

TMessageBeepSink SetMessageBeepSink(TMessageBeepSink Sink) {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  std::swap(S.Beep, Sink);
  return Sink;
}

// ---- caret -----------------------------------------------------------------------------------

BOOL CreateCaret(HWND Window, HBITMAP, int Width, int Height) {
  if (!Window) return FALSE;
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  S.Caret = TCaretInfo{};
  S.Caret.Window = Window;
  S.Caret.Size = SIZE{Width > 0 ? Width : 1, Height > 0 ? Height : 16};
  return TRUE;
}

BOOL DestroyCaret() {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  if (!S.Caret.Window) return FALSE;
  S.Caret = TCaretInfo{};
  return TRUE;
}

BOOL ShowCaret(HWND Window) {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  if (!S.Caret.Window || (Window && Window != S.Caret.Window)) return FALSE;
  if (S.Caret.HideCount > 0) --S.Caret.HideCount;
  return TRUE;
}

BOOL HideCaret(HWND Window) {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  if (!S.Caret.Window || (Window && Window != S.Caret.Window)) return FALSE;
  ++S.Caret.HideCount;
  return TRUE;
}

BOOL SetCaretPos(int X, int Y) {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  if (!S.Caret.Window) return FALSE;
  S.Caret.Position = POINT{X, Y};
  return TRUE;
}

BOOL GetCaretPos(LPPOINT Point) {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  if (!Point) return FALSE;
  *Point = S.Caret.Position;
  return TRUE;
}

TCaretInfo GetCaretInfo() {
  TSettings& S = Settings();
  std::lock_guard<std::mutex> Lock(S.Lock);
  return S.Caret;
}
