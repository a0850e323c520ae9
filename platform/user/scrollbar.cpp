// The scroll bars of a window (WS_VSCROLL, WS_HSCROLL): their values, their place in the
// non-client area, and what pressing them does.
//
// A bar is an arrow at each end and a track between them; the thumb sits in the track at the
// place the position gives, with a length in proportion to the page. A press on an arrow sends
// SB_LINEUP or SB_LINEDOWN at once and again while the button stays down over it (first after
// 200 ms, then every 50 ms); a press on the track beside the thumb does the same with SB_PAGEUP
// or SB_PAGEDOWN until the thumb reaches the pointer; dragging the thumb sends SB_THUMBTRACK with
// each new position and SB_THUMBPOSITION when released. Every press ends with SB_ENDSCROLL. The
// program moves the bar itself in answer (SetScrollPos), as on the platform.

#include "platform/user/scrollbar.h"

#include <algorithm>

#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/clock.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/shapes.h"
#include "platform/user/internal.h"
#include "platform/user/ncpaint.h"
#include "platform/user/paint.h"
#include "platform/user/message.h"
#include "platform/user/queueinput.h"
#include "platform/user/input.h"
#include "platform/user/window.h"

using namespace UserImpl;

namespace {

constexpr uint64_t FirstRepeatDelay = 200;
constexpr uint64_t RepeatDelay = 50;
constexpr int MinimumThumb = 8;

enum TPart { PartNone, PartLineUp, PartPageUp, PartThumb, PartPageDown, PartLineDown };

int MaxPosition(const TScrollBar& Bar) { return Bar.Max - std::max(Bar.Page - 1, 0); }

bool CanScroll(const TScrollBar& Bar) {
  return Bar.Min < MaxPosition(Bar) && (Bar.Disabled & ESB_DISABLE_BOTH) != ESB_DISABLE_BOTH;
}

struct TBarLayout {
  bool Present = false;
  bool Vertical = true;
  RECT Bar{};       // window coordinates
  int Start = 0;    // along the bar's axis, window coordinates
  int Arrow = 0;
  int Length = 0;
  bool HasThumb = false;
  int ThumbStart = 0;  // from Start
  int ThumbLength = 0;
};

TBarLayout LayoutLocked(TWindow* Window, int BarKind) {
  TBarLayout Layout;
  bool Vertical = BarKind == SB_VERT;
  if (!(Window->Style & (Vertical ? WS_VSCROLL : WS_HSCROLL))) return Layout;
  RECT Client{Window->Client.left - Window->Window.left, Window->Client.top - Window->Window.top,
              Window->Client.right - Window->Window.left, Window->Client.bottom - Window->Window.top};
  Layout.Present = true;
  Layout.Vertical = Vertical;
  if (Vertical) {
    int Width = GetSystemMetrics(SM_CXVSCROLL);
    if (Window->ExStyle & WS_EX_LEFTSCROLLBAR)
      Layout.Bar = RECT{Client.left - Width, Client.top, Client.left, Client.bottom};
    else
      Layout.Bar = RECT{Client.right, Client.top, Client.right + Width, Client.bottom};
    Layout.Start = Layout.Bar.top;
    Layout.Length = Layout.Bar.bottom - Layout.Bar.top;
    Layout.Arrow = GetSystemMetrics(SM_CYVSCROLL);
  } else {
    int Height = GetSystemMetrics(SM_CYHSCROLL);
    Layout.Bar = RECT{Client.left, Client.bottom, Client.right, Client.bottom + Height};
    Layout.Start = Layout.Bar.left;
    Layout.Length = Layout.Bar.right - Layout.Bar.left;
    Layout.Arrow = GetSystemMetrics(SM_CXHSCROLL);
  }
  if (Layout.Length < 2 * Layout.Arrow) Layout.Arrow = Layout.Length / 2;
  const TScrollBar& Bar = ScrollBarLocked(Window, BarKind);
  int Track = Layout.Length - 2 * Layout.Arrow;
  int Thumb = Bar.Page > 0
                  ? int(int64_t(Track) * Bar.Page / (int64_t(Bar.Max) - Bar.Min + 1))
                  : GetSystemMetrics(Vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
  Thumb = std::max(Thumb, MinimumThumb);
  if (Track - Thumb >= 0 && CanScroll(Bar)) {
    Layout.HasThumb = true;
    Layout.ThumbLength = Thumb;
    int Span = MaxPosition(Bar) - Bar.Min;
    Layout.ThumbStart = Layout.Arrow + int(int64_t(Track - Thumb) * (Bar.Pos - Bar.Min) / Span);
  }
  return Layout;
}

TPart PartAt(const TBarLayout& Layout, POINT InWindow) {
  const RECT& R = Layout.Bar;
  if (InWindow.x < R.left || InWindow.x >= R.right || InWindow.y < R.top || InWindow.y >= R.bottom)
    return PartNone;
  int Along = (Layout.Vertical ? InWindow.y : InWindow.x) - Layout.Start;
  if (Along < Layout.Arrow) return PartLineUp;
  if (Along >= Layout.Length - Layout.Arrow) return PartLineDown;
  if (!Layout.HasThumb) return PartNone;
  if (Along < Layout.ThumbStart) return PartPageUp;
  if (Along < Layout.ThumbStart + Layout.ThumbLength) return PartThumb;
  return PartPageDown;
}

WORD CommandOf(TPart Part) {
  switch (Part) {
    case PartLineUp: return SB_LINEUP;
    case PartPageUp: return SB_PAGEUP;
    case PartPageDown: return SB_PAGEDOWN;
    case PartLineDown: return SB_LINEDOWN;
    default: return SB_ENDSCROLL;
  }
}

POINT ToWindowLocked(TWindow* Window, POINT Screen) {
  RECT R = WindowRectScreenLocked(Window);
  return POINT{Screen.x - R.left, Screen.y - R.top};
}

void SendScroll(HWND Window, int Bar, WORD Command, int Position) {
  SendMessage(Window, Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL,
              MAKEWPARAM(Command, WORD(Position)), 0);
}

// Whether the pressed part still wants repeating with the pointer where it is now.
bool PartStillUnderPointerLocked(TWindow* Window, const TScrollTrack& Track) {
  TBarLayout Layout = LayoutLocked(Window, Track.Bar);
  TPart Part = PartAt(Layout, ToWindowLocked(Window, Track.LastPoint));
  return Part == TPart(Track.Part);
}

void RedrawBar(HWND Window) {
  RedrawWindow(Window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

}  // namespace

namespace UserImpl {

TScrollBar& ScrollBarLocked(TWindow* Window, int Bar) {
  TScrollBar& Record = Bar == SB_VERT ? Window->VertScroll : Window->HorzScroll;
  if (!Record.Initialised) {
    Record.Initialised = true;
    Record.Max = (Window->Style & (Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) ? 100 : 0;
  }
  return Record;
}

void StartScrollTrack(HWND Handle, int Bar, POINT Screen) {
  TMessageQueue& Queue = CurrentQueue();
  WORD Command = SB_ENDSCROLL;
  bool SendNow = true;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || Window->ThreadId != Queue.ThreadId) return;
    TBarLayout Layout = LayoutLocked(Window, Bar);
    if (!Layout.Present) return;
    const TScrollBar& Record = ScrollBarLocked(Window, Bar);
    POINT InWindow = ToWindowLocked(Window, Screen);
    TPart Part = PartAt(Layout, InWindow);
    if (Part == PartNone || !CanScroll(Record)) return;
    if (Part == PartLineUp && (Record.Disabled & ESB_DISABLE_LTUP)) return;
    if (Part == PartLineDown && (Record.Disabled & ESB_DISABLE_RTDN)) return;
    TScrollTrack& Track = Queue.Track;
    Track = TScrollTrack{};
    Track.Active = true;
    Track.Window = Handle;
    Track.Bar = Bar;
    Track.Part = Part;
    Track.LastPoint = Screen;
    Track.Command = CommandOf(Part);
    if (Part == PartThumb) {
      Track.Dragging = true;
      int Along = (Layout.Vertical ? InWindow.y : InWindow.x) - Layout.Start;
      Track.ThumbOffset = Along - Layout.ThumbStart;
      Track.TrackPos = Record.Pos;
      SendNow = false;
    } else {
      Track.Repeating = true;
      Track.RepeatDue = Clock().TickCount() + FirstRepeatDelay;
      Command = Track.Command;
    }
    WakeQueueLocked(Queue);
  }
  // The window holds the mouse while the button is down, wherever the pointer goes.
  SetCapture(Handle);
  if (SendNow) SendScroll(Handle, Bar, Command, 0);
}

void CancelScrollTrack(HWND Handle) {
  TMessageQueue& Queue = CurrentQueue();
  TGuard Lock(Mutex());
  if (Queue.Track.Active && (!Handle || Queue.Track.Window == Handle)) Queue.Track = TScrollTrack{};
}

void TrackScrollInput(TMessageQueue& Queue, const TInputEvent& Event) {
  HWND Handle;
  int Bar;
  WORD Send = 0;
  int Position = 0;
  bool End = false, Thumb = false;
  {
    TGuard Lock(Mutex());
    TScrollTrack& Track = Queue.Track;
    TWindow* Window = FindLocked(Track.Window);
    if (!Window || !Track.Active) {
      Track = TScrollTrack{};
      return;
    }
    ApplyKeyToState(Queue.KeyState, VK_LBUTTON, Event.MouseMessage == WM_LBUTTONDOWN);
    Handle = Track.Window;
    Bar = Track.Bar;
    Track.LastPoint = Event.Point;
    if (Track.Dragging) {
      TBarLayout Layout = LayoutLocked(Window, Bar);
      const TScrollBar& Record = ScrollBarLocked(Window, Bar);
      POINT InWindow = ToWindowLocked(Window, Event.Point);
      int Along = (Layout.Vertical ? InWindow.y : InWindow.x) - Layout.Start;
      int Room = Layout.Length - 2 * Layout.Arrow - Layout.ThumbLength;
      int ThumbAt = std::clamp(Along - Track.ThumbOffset - Layout.Arrow, 0, std::max(Room, 0));
      int NewPos = Room > 0 ? Record.Min + int(int64_t(ThumbAt) * (MaxPosition(Record) - Record.Min) / Room)
                            : Record.Min;
      if (Event.MouseMessage == WM_LBUTTONUP) {
        Thumb = true;
        Position = Track.TrackPos = NewPos;
        End = true;
      } else if (Event.MouseMessage == WM_MOUSEMOVE && NewPos != Track.TrackPos) {
        Track.TrackPos = NewPos;
        Send = SB_THUMBTRACK;
        Position = NewPos;
      }
      ScrollBarLocked(Window, Bar).TrackPos = Track.TrackPos;
    } else if (Event.MouseMessage == WM_LBUTTONUP) {
      End = true;
    }
    if (End) Track = TScrollTrack{};
  }
  if (Send) SendScroll(Handle, Bar, Send, Position);
  if (Thumb) SendScroll(Handle, Bar, SB_THUMBPOSITION, Position);
  if (End) {
    if (GetCapture() == Handle) ReleaseCapture();
    SendScroll(Handle, Bar, SB_ENDSCROLL, 0);
  }
}

void ScrollTrackRepeat(TMessageQueue& Queue) {
  HWND Handle;
  int Bar;
  WORD Command;
  {
    TGuard Lock(Mutex());
    TScrollTrack& Track = Queue.Track;
    TWindow* Window = FindLocked(Track.Window);
    if (!Window || !Track.Active) {
      Track = TScrollTrack{};
      return;
    }
    Track.RepeatDue = Clock().TickCount() + RepeatDelay;
    if (!PartStillUnderPointerLocked(Window, Track)) return;
    Handle = Track.Window;
    Bar = Track.Bar;
    Command = Track.Command;
  }
  SendScroll(Handle, Bar, Command, 0);
}

void DrawWindowScrollBars(HWND Handle, HDC DC) {
  TBarLayout Layouts[2];
  bool Disabled[2][2] = {};
  RECT Corner{};
  bool HasCorner = false;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return;
    int Kinds[2] = {SB_VERT, SB_HORZ};
    for (int I = 0; I < 2; ++I) {
      Layouts[I] = LayoutLocked(Window, Kinds[I]);
      const TScrollBar& Bar = ScrollBarLocked(Window, Kinds[I]);
      bool None = !CanScroll(Bar);
      Disabled[I][0] = None || (Bar.Disabled & ESB_DISABLE_LTUP);
      Disabled[I][1] = None || (Bar.Disabled & ESB_DISABLE_RTDN);
    }
    if (Layouts[0].Present && Layouts[1].Present) {
      HasCorner = true;
      Corner = RECT{Layouts[0].Bar.left, Layouts[1].Bar.top, Layouts[0].Bar.right, Layouts[1].Bar.bottom};
    }
  }
  for (int I = 0; I < 2; ++I) {
    const TBarLayout& Layout = Layouts[I];
    if (!Layout.Present) continue;
    RECT Bar = Layout.Bar;
    RECT First = Bar, Second = Bar, Track = Bar;
    if (Layout.Vertical) {
      First.bottom = First.top + Layout.Arrow;
      Second.top = Second.bottom - Layout.Arrow;
      Track.top = First.bottom;
      Track.bottom = Second.top;
    } else {
      First.right = First.left + Layout.Arrow;
      Second.left = Second.right - Layout.Arrow;
      Track.left = First.right;
      Track.right = Second.left;
    }
    DrawFrameControl(DC, &First, DFC_SCROLL,
                     (Layout.Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | (Disabled[I][0] ? DFCS_INACTIVE : 0));
    DrawFrameControl(DC, &Second, DFC_SCROLL,
                     (Layout.Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | (Disabled[I][1] ? DFCS_INACTIVE : 0));
    FillRect(DC, &Track, GetSysColorBrush(COLOR_SCROLLBAR));
    if (Layout.HasThumb) {
      RECT Thumb = Bar;
      if (Layout.Vertical) {
        Thumb.top = Layout.Start + Layout.ThumbStart;
        Thumb.bottom = Thumb.top + Layout.ThumbLength;
      } else {
        Thumb.left = Layout.Start + Layout.ThumbStart;
        Thumb.right = Thumb.left + Layout.ThumbLength;
      }
      FillRect(DC, &Thumb, GetSysColorBrush(COLOR_3DFACE));
      DrawEdge(DC, &Thumb, EDGE_RAISED, BF_RECT);
    }
  }
  if (HasCorner) FillRect(DC, &Corner, GetSysColorBrush(COLOR_3DFACE));
}

LRESULT DefaultHitTest(HWND Handle, POINT Screen) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return HTNOWHERE;
  RECT WindowRect = WindowRectScreenLocked(Window);
  if (Screen.x < WindowRect.left || Screen.x >= WindowRect.right || Screen.y < WindowRect.top ||
      Screen.y >= WindowRect.bottom)
    return HTNOWHERE;
  POINT P{Screen.x - WindowRect.left, Screen.y - WindowRect.top};
  RECT Client{Window->Client.left - Window->Window.left, Window->Client.top - Window->Window.top,
              Window->Client.right - Window->Window.left, Window->Client.bottom - Window->Window.top};
  if (P.x >= Client.left && P.x < Client.right && P.y >= Client.top && P.y < Client.bottom)
    return HTCLIENT;
  for (int Bar : {SB_VERT, SB_HORZ}) {
    TBarLayout Layout = LayoutLocked(Window, Bar);
    if (!Layout.Present) continue;
    const RECT& R = Layout.Bar;
    if (P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom)
      return Bar == SB_VERT ? HTVSCROLL : HTHSCROLL;
  }
  if ((Window->Style & WS_VSCROLL) && (Window->Style & WS_HSCROLL) && P.x >= Client.right &&
      P.y >= Client.bottom && P.x < Client.right + GetSystemMetrics(SM_CXVSCROLL) &&
      P.y < Client.bottom + GetSystemMetrics(SM_CYHSCROLL))
    return (Window->Style & WS_THICKFRAME) ? HTGROWBOX : HTNOWHERE;
  int Width = WindowRect.right - WindowRect.left, Height = WindowRect.bottom - WindowRect.top;
  if (Window->Style & WS_THICKFRAME) {
    int Frame = GetSystemMetrics(SM_CXFRAME);
    int Corner = GetSystemMetrics(SM_CYCAPTION) + Frame;
    bool Left = P.x < Frame, Right = P.x >= Width - Frame;
    bool Top = P.y < Frame, Bottom = P.y >= Height - Frame;
    if (Left || Right || Top || Bottom) {
      bool NearLeft = P.x < Corner, NearRight = P.x >= Width - Corner;
      bool NearTop = P.y < Corner, NearBottom = P.y >= Height - Corner;
      if ((Top && NearLeft) || (Left && NearTop)) return HTTOPLEFT;
      if ((Top && NearRight) || (Right && NearTop)) return HTTOPRIGHT;
      if ((Bottom && NearLeft) || (Left && NearBottom)) return HTBOTTOMLEFT;
      if ((Bottom && NearRight) || (Right && NearBottom)) return HTBOTTOMRIGHT;
      if (Left) return HTLEFT;
      if (Right) return HTRIGHT;
      if (Top) return HTTOP;
      return HTBOTTOM;
    }
  }
  if ((Window->Style & WS_CAPTION) == WS_CAPTION) {
    RECT Insets = NonClientInsets(Window->Style & ~(WS_VSCROLL | WS_HSCROLL | WS_CAPTION) ,
                                  Window->ExStyle & ~WS_EX_CLIENTEDGE, false);
    int Caption = GetSystemMetrics((Window->ExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    int Top = std::max<int>(Insets.top, (Window->Style & WS_THICKFRAME) ? GetSystemMetrics(SM_CYFRAME) : 3);
    if (P.y >= Top && P.y < Top + Caption) {
      if ((Window->Style & WS_SYSMENU) && P.x >= Width - Top - Caption) return HTCLOSE;
      return HTCAPTION;
    }
  }
  return HTBORDER;
}

}  // namespace UserImpl

// ---- the API ---------------------------------------------------------------------------------

int SetScrollInfo(HWND Handle, int BarKind, LPCSCROLLINFO Info, BOOL Redraw) {
  if (!Info || (BarKind != SB_VERT && BarKind != SB_HORZ)) return 0;
  enum { Nothing, Show, Hide, Refresh } Action = Nothing;
  int Result;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return 0;
    TScrollBar& Bar = ScrollBarLocked(Window, BarKind);
    bool Changed = false;
    if (Info->fMask & SIF_PAGE) {
      int Page = int(std::min<UINT>(Info->nPage, 0x7FFFFFFF));
      Changed |= Page != Bar.Page;
      Bar.Page = Page;
    }
    if (Info->fMask & SIF_RANGE) {
      int Min = Info->nMin, Max = Info->nMax;
      // An empty or too wide range becomes 0..0.
      if (Min > Max || uint32_t(int64_t(Max) - Min) >= 0x80000000u) Min = Max = 0;
      Changed |= Min != Bar.Min || Max != Bar.Max;
      Bar.Min = Min;
      Bar.Max = Max;
    }
    Bar.Page = std::clamp(Bar.Page, 0, Bar.Max - Bar.Min + 1);
    if (Info->fMask & SIF_POS) {
      Changed |= Info->nPos != Bar.Pos;
      Bar.Pos = Info->nPos;
    }
    Bar.Pos = std::clamp(Bar.Pos, Bar.Min, std::max(Bar.Min, MaxPosition(Bar)));
    if (Info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
      if (Bar.Min >= MaxPosition(Bar)) {
        if (Info->fMask & SIF_DISABLENOSCROLL) {
          Bar.Disabled = ESB_DISABLE_BOTH;
          Action = Refresh;
          if (!(Window->Style & (BarKind == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) Action = Show;
        } else if (Changed) {
          Action = Hide;
        }
      } else if ((Info->fMask & ~SIF_TRACKPOS) != SIF_PAGE) {
        Bar.Disabled = ESB_ENABLE_BOTH;
        Action = Show;
      }
    }
    if (Action == Nothing && Changed) Action = Refresh;
    Result = Bar.Pos;
  }
  if (Action == Show) ShowScrollBar(Handle, BarKind, TRUE);
  if (Action == Hide) ShowScrollBar(Handle, BarKind, FALSE);
  if ((Action == Refresh || Action == Show) && Redraw) RedrawBar(Handle);
  return Result;
}

BOOL GetScrollInfo(HWND Handle, int BarKind, LPSCROLLINFO Info) {
  if (!Info || (BarKind != SB_VERT && BarKind != SB_HORZ) || !(Info->fMask & SIF_ALL)) return FALSE;
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return FALSE;
  const TScrollBar& Bar = ScrollBarLocked(Window, BarKind);
  if (Info->fMask & SIF_RANGE) {
    Info->nMin = Bar.Min;
    Info->nMax = Bar.Max;
  }
  if (Info->fMask & SIF_PAGE) Info->nPage = UINT(Bar.Page);
  if (Info->fMask & SIF_POS) Info->nPos = Bar.Pos;
  if (Info->fMask & SIF_TRACKPOS) {
    TMessageQueue* Queue = QueueOfThreadLocked(Window->ThreadId);
    bool Tracking = Queue && Queue->Track.Active && Queue->Track.Dragging &&
                    Queue->Track.Window == Handle && Queue->Track.Bar == BarKind;
    Info->nTrackPos = Tracking ? Queue->Track.TrackPos : Bar.Pos;
  }
  return TRUE;
}

int SetScrollPos(HWND Window, int Bar, int Position, BOOL Redraw) {
  int Old = GetScrollPos(Window, Bar);
  SCROLLINFO Info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, Position, 0};
  SetScrollInfo(Window, Bar, &Info, Redraw);
  return Old;
}

int GetScrollPos(HWND Window, int Bar) {
  SCROLLINFO Info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
  return GetScrollInfo(Window, Bar, &Info) ? Info.nPos : 0;
}

BOOL SetScrollRange(HWND Window, int Bar, int Min, int Max, BOOL Redraw) {
  if (!IsWindow(Window)) return FALSE;
  SCROLLINFO Info{sizeof(SCROLLINFO), SIF_RANGE, Min, Max, 0, 0, 0};
  SetScrollInfo(Window, Bar, &Info, Redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND Window, int Bar, LPINT Min, LPINT Max) {
  SCROLLINFO Info{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(Window, Bar, &Info)) return FALSE;
  if (Min) *Min = Info.nMin;
  if (Max) *Max = Info.nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND Handle, int Bar, BOOL Show) {
  DWORD Bits = Bar == SB_VERT ? WS_VSCROLL : Bar == SB_HORZ ? WS_HSCROLL : Bar == SB_BOTH ? WS_VSCROLL | WS_HSCROLL : 0;
  if (!Bits) return FALSE;
  bool Changed;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return FALSE;
    ScrollBarLocked(Window, SB_VERT);
    ScrollBarLocked(Window, SB_HORZ);
    DWORD Old = Window->Style;
    if (Show)
      Window->Style |= Bits;
    else
      Window->Style &= ~Bits;
    Changed = Old != Window->Style;
  }
  if (Changed)
    SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

BOOL EnableScrollBar(HWND Handle, UINT Bars, UINT Arrows) {
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return FALSE;
    if (Bars == SB_VERT || Bars == SB_BOTH) ScrollBarLocked(Window, SB_VERT).Disabled = Arrows;
    if (Bars == SB_HORZ || Bars == SB_BOTH) ScrollBarLocked(Window, SB_HORZ).Disabled = Arrows;
  }
  RedrawBar(Handle);
  return TRUE;
}

BOOL GetScrollBarRect(HWND Handle, int Bar, LPRECT Rect) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Rect) return FALSE;
  TBarLayout Layout = LayoutLocked(Window, Bar);
  if (!Layout.Present) return FALSE;
  RECT Screen = WindowRectScreenLocked(Window);
  *Rect = Layout.Bar;
  Rect->left += Screen.left;
  Rect->right += Screen.left;
  Rect->top += Screen.top;
  Rect->bottom += Screen.top;
  return TRUE;
}

BOOL GetScrollThumb(HWND Handle, int Bar, int* Start, int* Length) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return FALSE;
  TBarLayout Layout = LayoutLocked(Window, Bar);
  if (!Layout.Present || !Layout.HasThumb) return FALSE;
  if (Start) *Start = Layout.ThumbStart;
  if (Length) *Length = Layout.ThumbLength;
  return TRUE;
}
