// Invalidation, painting and window device contexts over the top-level backing stores.

#include "platform/user/paint.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/gdi/gdiobj.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"
#include "platform/user/paintstore.h"
#include "platform/user/window.h"

using namespace UserImpl;

namespace {

TWindowDriver* Driver = nullptr;

struct TDCRecord {
  HDC DC = nullptr;
  HWND Window = nullptr;
  HWND Top = nullptr;
  bool Whole = false;
  DWORD Flags = 0;
  // Extra clipping in the window's client (or window, when Whole) coordinates.
  std::optional<TRegion> Extra;
};

std::vector<TDCRecord>& LiveDCs() {
  static std::vector<TDCRecord> Records;
  return Records;
}

RECT Offset(RECT R, int DX, int DY) {
  return RECT{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY};
}

RECT ClientRectScreenLocked(const TWindow* Window) {
  POINT Origin = ClientOriginLocked(Window);
  return RECT{Origin.x, Origin.y, Origin.x + (Window->Client.right - Window->Client.left),
              Origin.y + (Window->Client.bottom - Window->Client.top)};
}

// The window's own shape (rectangle and region) in screen coordinates.
TRegion WindowShapeScreenLocked(const TWindow* Window) {
  RECT R = WindowRectScreenLocked(Window);
  if (!Window->Region) return TRegion(R);
  TRegion Shape = *Window->Region;
  Shape.Offset(R.left, R.top);
  Shape.Intersect(R);
  return Shape;
}

// Whether a window takes its area out of its parent's and its lower siblings' drawing. A
// transparent window does not: it shows what they paint beneath it.
bool ClipsOthers(const TWindow* Window) {
  return (Window->Style & WS_VISIBLE) && !(Window->ExStyle & WS_EX_TRANSPARENT);
}

void SubtractSiblingsAboveLocked(TRegion& Area, const TWindow* Window) {
  if (!Window->Parent) return;
  for (const TWindow* Sibling : Window->Parent->Children) {
    if (Sibling == Window) break;
    if (ClipsOthers(Sibling)) Area.Subtract(WindowShapeScreenLocked(Sibling));
  }
}

// What a DC of the window may draw on, in screen coordinates.
TRegion VisibleScreenLocked(const TWindow* Window, bool Whole, bool ClipChildren, bool ClipSiblings) {
  if (!IsVisibleLocked(Window)) return TRegion();
  TRegion Area = WindowShapeScreenLocked(Window);
  if (!Whole) Area.Intersect(ClientRectScreenLocked(Window));
  if (ClipChildren)
    for (const TWindow* Child : Window->Children)
      if (ClipsOthers(Child)) Area.Subtract(WindowShapeScreenLocked(Child));
  if (ClipSiblings && !IsTopLevel(Window)) SubtractSiblingsAboveLocked(Area, Window);
  for (const TWindow* Ancestor = Window->Parent; Ancestor && Ancestor->Parent; Ancestor = Ancestor->Parent) {
    Area.Intersect(ClientRectScreenLocked(Ancestor));
    Area.Intersect(WindowShapeScreenLocked(Ancestor));
    if (!IsTopLevel(Ancestor) && (Ancestor->Style & WS_CLIPSIBLINGS))
      SubtractSiblingsAboveLocked(Area, Ancestor);
  }
  return Area;
}

TBackingStore* StoreLocked(TWindow* Top);

void RefreshDCsLocked(TWindow* Top);

TBackingStore* StoreLocked(TWindow* Top) {
  if (!Top || !IsTopLevel(Top)) return nullptr;
  int Width = Top->Window.right - Top->Window.left, Height = Top->Window.bottom - Top->Window.top;
  if (!Top->Store) Top->Store = std::make_unique<TBackingStore>();
  if (Top->Store->Width != Width || Top->Store->Height != Height) {
    Top->Store->Resize(Width, Height);
    RefreshDCsLocked(Top);
  }
  return Top->Store.get();
}

void ApplyViewLocked(const TDCRecord& Record) {
  TDC* DC = GdiGetDC(Record.DC);
  if (!DC) return;
  TWindow* Window = FindLocked(Record.Window);
  TWindow* Top = Window ? RootLocked(Window) : nullptr;
  if (!Window || !Top || !Top->Store || Top->Handle != Record.Top) {
    DC->SetView(TPixelSurface{}, POINT{0, 0}, std::nullopt);
    DC->InvalidateClip();
    return;
  }
  RECT TopScreen = WindowRectScreenLocked(Top);
  RECT Base = Record.Whole ? WindowRectScreenLocked(Window) : ClientRectScreenLocked(Window);
  TRegion Visible = VisibleScreenLocked(Window, Record.Whole, Record.Flags & DCX_CLIPCHILDREN,
                                        Record.Flags & DCX_CLIPSIBLINGS);
  if (Record.Extra) {
    TRegion Extra = *Record.Extra;
    Extra.Offset(Base.left, Base.top);
    Visible.Intersect(Extra);
  }
  Visible.Offset(-TopScreen.left, -TopScreen.top);
  DC->SetView(Top->Store->Surface(), POINT{Base.left - TopScreen.left, Base.top - TopScreen.top},
              std::move(Visible));
  DC->InvalidateClip();
}

void RefreshDCsLocked(TWindow* Top) {
  for (const TDCRecord& Record : LiveDCs())
    if (Record.Top == Top->Handle) ApplyViewLocked(Record);
}

HDC MakeDC(HWND Handle, DWORD Flags, std::optional<TRegion> Extra) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Window->Parent) return nullptr;
  TWindow* Top = RootLocked(Window);
  StoreLocked(Top);
  TDCRecord Record;
  Record.Window = Handle;
  Record.Top = Top->Handle;
  Record.Whole = (Flags & DCX_WINDOW) != 0;
  Record.Flags = Flags;
  Record.Extra = std::move(Extra);
  Record.DC = GdiCreateSurfaceDC(TPixelSurface{}, POINT{0, 0}, std::nullopt);
  if (!Record.DC) return nullptr;
  ApplyViewLocked(Record);
  LiveDCs().push_back(std::move(Record));
  return LiveDCs().back().DC;
}

DWORD StyleFlagsLocked(const TWindow* Window) {
  DWORD Flags = 0;
  if (Window->Style & WS_CLIPCHILDREN) Flags |= DCX_CLIPCHILDREN;
  if (Window->Style & WS_CLIPSIBLINGS) Flags |= DCX_CLIPSIBLINGS;
  return Flags;
}

void WakeOwnerLocked(const TWindow* Window) {
  if (TMessageQueue* Queue = QueueOfThreadLocked(Window->ThreadId)) WakeQueueLocked(*Queue);
}

bool HasFrame(const TWindow* Window) {
  const RECT& W = Window->Window;
  const RECT& C = Window->Client;
  return W.left != C.left || W.top != C.top || W.right != C.right || W.bottom != C.bottom;
}

// Area is in the window's client coordinates; Frame says whether it touches the frame.
void RedrawLocked(TWindow* Window, const TRegion& Area, bool Frame, UINT Flags) {
  bool Visible = IsVisibleLocked(Window);
  RECT Client{0, 0, Window->Client.right - Window->Client.left,
              Window->Client.bottom - Window->Client.top};
  if ((Flags & RDW_INVALIDATE) && Visible) {
    TRegion Part = Area;
    Part.Intersect(Client);
    if (!Part.IsEmpty()) {
      Window->Update.Union(Part);
      if (Flags & RDW_ERASE) Window->EraseNeeded = true;
    }
    if ((Flags & RDW_FRAME) && Frame && HasFrame(Window)) Window->FrameNeeded = true;
    if (Flags & RDW_INTERNALPAINT) Window->InternalPaint = true;
    WakeOwnerLocked(Window);
  }
  if (Flags & RDW_VALIDATE) {
    Window->Update.Subtract(Area);
    if (Flags & RDW_NOFRAME) Window->FrameNeeded = false;
    if (Flags & RDW_NOINTERNALPAINT) Window->InternalPaint = false;
  }
  if (Flags & RDW_NOERASE) Window->EraseNeeded = false;
  if (Window->Update.IsEmpty()) Window->EraseNeeded = false;
  bool Children = (Flags & RDW_ALLCHILDREN) ||
                  (!(Flags & RDW_NOCHILDREN) && !(Window->Style & WS_CLIPCHILDREN));
  // A transparent child shows what its parent paints beneath it, so it paints again after it.
  bool TransparentOnly = !Children && (Flags & RDW_INVALIDATE) && !(Flags & RDW_NOCHILDREN);
  if (!Children && !TransparentOnly) return;
  for (TWindow* Child : Window->Children) {
    const RECT& R = Child->Window;
    if (!Area.Intersects(R)) continue;
    if (!Children && !(Child->ExStyle & WS_EX_TRANSPARENT)) continue;
    TRegion ChildArea = Area;
    ChildArea.Offset(-Child->Client.left, -Child->Client.top);
    TRegion FramePart(R);
    FramePart.Subtract(Child->Client);
    FramePart.Intersect(Area);
    // A child's frame inside the area is part of what the parent may paint over, so it is
    // redrawn too, whether or not the caller asked for the parent's own frame.
    RedrawLocked(Child, ChildArea, !FramePart.IsEmpty(), FramePart.IsEmpty() ? Flags : Flags | RDW_FRAME);
  }
}

// Sends WM_PAINT to the window and then to its children that need it, parents first, each once.
void UpdateNow(HWND Handle, bool Children) {
  std::set<HWND> Done;
  for (;;) {
    HWND Next = nullptr;
    {
      TGuard Lock(Mutex());
      TWindow* Window = FindLocked(Handle);
      if (!Window) return;
      DWORD Thread = Window->ThreadId;
      if (!IsVisibleLocked(Window)) return;
      if (WindowNeedsPaintLocked(Window)) {
        Next = Handle;
      } else if (Children) {
        // In the queue's order: parents first, transparent windows after what lies beneath.
        if (TWindow* Found = FindWindowToPaintLocked(Window, Thread)) Next = Found->Handle;
      }
      // A window that needs painting again right after it painted is left for the queue.
      if (Next && Done.count(Next)) return;
      if (!Next) return;
      if (TWindow* Target = FindLocked(Next)) Target->PaintStarted = false;
    }
    Done.insert(Next);
    SendMessage(Next, WM_PAINT, 0, 0);
    TGuard Lock(Mutex());
    TWindow* Target = FindLocked(Next);
    if (Target && !Target->PaintStarted && WindowNeedsPaintLocked(Target)) {
      Target->Update.Clear();
      Target->EraseNeeded = false;
      Target->FrameNeeded = false;
      Target->InternalPaint = false;
    }
  }
}

// Sends WM_NCPAINT and WM_ERASEBKGND now where they are due (RDW_ERASENOW, GetUpdateRect).
void EraseNow(HWND Handle) {
  bool Frame, Erase;
  TRegion Update;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !IsVisibleLocked(Window)) return;
    Frame = Window->FrameNeeded;
    Window->FrameNeeded = false;
    Erase = Window->EraseNeeded && !Window->Update.IsEmpty();
    Window->EraseNeeded = false;
    Update = Window->Update;
  }
  if (Frame) SendMessage(Handle, WM_NCPAINT, 1, 0);
  if (Erase) {
    DWORD Flags;
    {
      TGuard Lock(Mutex());
      TWindow* Window = FindLocked(Handle);
      if (!Window) return;
      Flags = StyleFlagsLocked(Window);
    }
    HDC DC = MakeDC(Handle, Flags, Update);
    if (!DC) return;
    LRESULT Erased = SendMessage(Handle, WM_ERASEBKGND, WPARAM(DC), 0);
    ReleaseDC(Handle, DC);
    if (!Erased) {
      TGuard Lock(Mutex());
      if (TWindow* Window = FindLocked(Handle)) Window->EraseNeeded = true;
    }
  }
}

}  // namespace

// ---- the store -------------------------------------------------------------------------------

namespace UserImpl {

void TBackingStore::Resize(int NewWidth, int NewHeight) {
  Width = std::max(NewWidth, 0);
  Height = std::max(NewHeight, 0);
  Pixels.assign(size_t(Width) * size_t(Height), 0);
  Dirty = TRegion(0, 0, Width, Height);
}

TPixelSurface TBackingStore::Surface() {
  TPixelSurface Result;
  if (Width <= 0 || Height <= 0) return Result;
  Result.Width = Width;
  Result.Height = Height;
  Result.BitCount = 32;
  Result.Top = reinterpret_cast<uint8_t*>(Pixels.data());
  Result.Stride = ptrdiff_t(Width) * 4;
  return Result;
}

bool WindowNeedsPaintLocked(const TWindow* Window) {
  return !Window->Update.IsEmpty() || Window->InternalPaint || Window->FrameNeeded;
}

TWindow* FindWindowToPaintLocked(TWindow* Parent, DWORD ThreadId) {
  auto& Children = Parent->Children;
  for (size_t I = 0; I < Children.size(); ++I) {
    TWindow* Child = Children[I];
    if (!(Child->Style & WS_VISIBLE)) continue;
    TWindow* Found = nullptr;
    if (Child->ThreadId == ThreadId && WindowNeedsPaintLocked(Child))
      Found = Child;
    else if (!(Child->Style & WS_MINIMIZE))
      Found = FindWindowToPaintLocked(Child, ThreadId);
    if (!Found) continue;
    // A transparent window paints after the siblings below it, whose pixels it shows.
    if ((Found->ExStyle & WS_EX_TRANSPARENT) && Found->Parent) {
      auto& Siblings = Found->Parent->Children;
      auto Position = std::find(Siblings.begin(), Siblings.end(), Found);
      for (auto It = Position + 1; It < Siblings.end(); ++It)
        if (((*It)->Style & WS_VISIBLE) && (*It)->ThreadId == ThreadId && WindowNeedsPaintLocked(*It))
          return *It;
    }
    return Found;
  }
  return nullptr;
}

void InvalidateAfterMove(HWND Handle, const RECT& OldWindowScreen, bool WasVisible, UINT Flags,
                         bool SizeChanged) {
  if (Flags & SWP_NOREDRAW) return;
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return;
  bool NowVisible = IsVisibleLocked(Window);
  bool TopLevel = IsTopLevel(Window);
  bool Moved = !(Flags & SWP_NOMOVE) && !TopLevel;
  bool Restacked = !(Flags & SWP_NOZORDER) && !TopLevel;
  if (NowVisible && (!WasVisible || SizeChanged || Moved || Restacked || (Flags & SWP_FRAMECHANGED))) {
    RECT Client{0, 0, Window->Client.right - Window->Client.left,
                Window->Client.bottom - Window->Client.top};
    RedrawLocked(Window, TRegion(Client), true, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (TopLevel && Window->Store) Window->Store->Dirty.Union(RECT{0, 0, Window->Store->Width, Window->Store->Height});
  }
  if (!TopLevel && WasVisible && Window->Parent && IsVisibleLocked(Window->Parent)) {
    TRegion Exposed(OldWindowScreen);
    if (NowVisible) Exposed.Subtract(WindowShapeScreenLocked(Window));
    if (!Exposed.IsEmpty()) {
      POINT Origin = ClientOriginLocked(Window->Parent);
      Exposed.Offset(-Origin.x, -Origin.y);
      RedrawLocked(Window->Parent, Exposed, false, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
  }
  if (NowVisible) RefreshDCsLocked(RootLocked(Window));
}

}  // namespace UserImpl

// ---- device contexts -------------------------------------------------------------------------

HDC GetDCEx(HWND Handle, HRGN Clip, DWORD Flags) {
  if (!Handle) {
    HDC DC = GdiCreateSurfaceDC(TPixelSurface{}, POINT{0, 0}, std::nullopt);
    TGuard Lock(Mutex());
    TDCRecord Record;
    Record.DC = DC;
    LiveDCs().push_back(std::move(Record));
    return DC;
  }
  std::optional<TRegion> Extra;
  if (Clip && (Flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    if (TRegion* Region = GdiGetRegion(Clip)) {
      if (Flags & DCX_INTERSECTRGN) {
        Extra = *Region;
      } else {
        TRegion Everything(-0x4000000, -0x4000000, 0x4000000, 0x4000000);
        Everything.Subtract(*Region);
        Extra = std::move(Everything);
      }
    }
  }
  return MakeDC(Handle, Flags, std::move(Extra));
}

HDC GetDC(HWND Handle) {
  if (!Handle) return GetDCEx(nullptr, nullptr, 0);
  DWORD Flags;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return nullptr;
    Flags = StyleFlagsLocked(Window);
  }
  return MakeDC(Handle, Flags | DCX_CACHE, std::nullopt);
}

HDC GetWindowDC(HWND Handle) {
  if (!Handle) return GetDC(nullptr);
  DWORD Flags;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return nullptr;
    Flags = StyleFlagsLocked(Window) & ~DCX_CLIPCHILDREN;
  }
  return MakeDC(Handle, Flags | DCX_WINDOW | DCX_CACHE, std::nullopt);
}

int ReleaseDC(HWND Window, HDC DC) {
  {
    TGuard Lock(Mutex());
    auto& Records = LiveDCs();
    auto Found = std::find_if(Records.begin(), Records.end(), [&](const TDCRecord& R) { return R.DC == DC; });
    if (Found == Records.end()) return 0;
    // What the DC could draw on is shown again by the back end.
    if (TDC* Context = GdiGetDC(DC)) {
      TWindow* Top = FindLocked(Found->Top);
      if (Top && Top->Store && Context->Surface().IsValid()) Top->Store->Dirty.Union(Context->Clip());
    }
    Records.erase(Found);
  }
  DeleteDC(DC);
  return 1;
}

HWND WindowFromDC(HDC DC) {
  TGuard Lock(Mutex());
  for (const TDCRecord& Record : LiveDCs())
    if (Record.DC == DC) return Record.Window;
  return nullptr;
}

HDC BeginPaint(HWND Handle, LPPAINTSTRUCT Paint) {
  if (!Paint) return nullptr;
  bool Frame;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return nullptr;
    Frame = Window->FrameNeeded && HasFrame(Window) && IsVisibleLocked(Window);
    Window->FrameNeeded = false;
  }
  if (Frame) SendMessage(Handle, WM_NCPAINT, 1, 0);
  TRegion Update;
  bool Erase;
  DWORD Flags;
  RECT Client;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return nullptr;
    Update = Window->Update;
    Window->Update.Clear();
    Window->InternalPaint = false;
    Window->PaintStarted = true;
    Erase = Window->EraseNeeded;
    Window->EraseNeeded = false;
    Flags = StyleFlagsLocked(Window);
    Client = RECT{0, 0, Window->Client.right - Window->Client.left,
                  Window->Client.bottom - Window->Client.top};
  }
  Update.Intersect(Client);
  HDC DC = MakeDC(Handle, Flags, Update);
  std::memset(Paint, 0, sizeof(*Paint));
  Paint->hdc = DC;
  Paint->rcPaint = Update.Bounds();
  Paint->fErase = FALSE;
  if (DC && Erase && !Update.IsEmpty()) Paint->fErase = SendMessage(Handle, WM_ERASEBKGND, WPARAM(DC), 0) ? FALSE : TRUE;
  return DC;
}

BOOL EndPaint(HWND Window, const PAINTSTRUCT* Paint) {
  if (!Paint) return FALSE;
  ReleaseDC(Window, Paint->hdc);
  return TRUE;
}

// ---- invalidation ----------------------------------------------------------------------------

BOOL RedrawWindow(HWND Handle, const RECT* Rect, HRGN RegionHandle, UINT Flags) {
  {
    TGuard Lock(Mutex());
    TWindow* Window = Handle ? FindLocked(Handle) : DesktopLocked();
    if (!Window) return FALSE;
    if (!Window->Parent) {
      // The desktop: every top-level window.
      for (TWindow* Top : Window->Children) {
        RECT All{0, 0, Top->Client.right - Top->Client.left, Top->Client.bottom - Top->Client.top};
        RedrawLocked(Top, TRegion(All), true, Flags | RDW_ALLCHILDREN);
      }
    } else {
      RECT All{0, 0, Window->Client.right - Window->Client.left,
               Window->Client.bottom - Window->Client.top};
      TRegion Area(All);
      bool Frame = true;
      if (RegionHandle) {
        if (TRegion* Region = GdiGetRegion(RegionHandle)) Area = *Region;
        Frame = false;
      } else if (Rect) {
        Area = TRegion(*Rect);
        Frame = false;
      }
      if (Frame) {
        // The whole window: children lying partly in the frame area are still covered.
        TRegion Everything(-Window->Client.left + Window->Window.left,
                           -Window->Client.top + Window->Window.top,
                           Window->Window.right - Window->Client.left,
                           Window->Window.bottom - Window->Client.top);
        Area.Union(Everything);
      }
      RedrawLocked(Window, Area, Frame, Flags);
    }
  }
  if (Flags & RDW_UPDATENOW) {
    if (Handle) UpdateNow(Handle, (Flags & RDW_ALLCHILDREN) != 0);
  } else if (Flags & RDW_ERASENOW) {
    if (Handle) EraseNow(Handle);
  }
  return TRUE;
}

BOOL InvalidateRect(HWND Window, const RECT* Rect, BOOL Erase) {
  return RedrawWindow(Window, Rect, nullptr, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND Window, HRGN Region, BOOL Erase) {
  return RedrawWindow(Window, nullptr, Region, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND Window, const RECT* Rect) {
  return RedrawWindow(Window, Rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND Window, HRGN Region) {
  return RedrawWindow(Window, nullptr, Region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL GetUpdateRect(HWND Handle, LPRECT Rect, BOOL Erase) {
  if (Erase) EraseNow(Handle);
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window) return FALSE;
  if (Rect) *Rect = Window->Update.Bounds();
  return Window->Update.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND Handle, HRGN RegionHandle, BOOL Erase) {
  if (Erase) EraseNow(Handle);
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  TRegion* Region = GdiGetRegion(RegionHandle);
  if (!Window || !Region) return ERROR;
  *Region = Window->Update;
  return Region->Complexity();
}

int ExcludeUpdateRgn(HDC DC, HWND Handle) {
  TRegion Update;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return ERROR;
    Update = Window->Update;
  }
  for (const RECT& R : Update.Rects()) ExcludeClipRect(DC, R.left, R.top, R.right, R.bottom);
  RECT Box;
  return GetClipBox(DC, &Box);
}

BOOL UpdateWindow(HWND Window) {
  return RedrawWindow(Window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- scrolling -------------------------------------------------------------------------------

int ScrollWindowEx(HWND Handle, int DX, int DY, const RECT* Scroll, const RECT* Clip, HRGN UpdateHandle,
                   LPRECT UpdateRect, UINT Flags) {
  TRegion Invalid;
  std::vector<HWND> MoveChildren;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window) return ERROR;
    RECT Client{0, 0, Window->Client.right - Window->Client.left,
                Window->Client.bottom - Window->Client.top};
    RECT Source = Client, Limit = Client;
    if (Scroll) Source = RECT{std::max(Scroll->left, Client.left), std::max(Scroll->top, Client.top),
                              std::min(Scroll->right, Client.right), std::min(Scroll->bottom, Client.bottom)};
    if (Clip) Limit = RECT{std::max(Clip->left, Client.left), std::max(Clip->top, Client.top),
                           std::min(Clip->right, Client.right), std::min(Clip->bottom, Client.bottom)};
    TRegion SourceArea(Source);
    SourceArea.Intersect(Limit);
    TRegion Moved;
    if (IsVisibleLocked(Window)) {
      TWindow* Top = RootLocked(Window);
      TBackingStore* Store = StoreLocked(Top);
      POINT Origin = ClientOriginLocked(Window);
      RECT TopScreen = WindowRectScreenLocked(Top);
      // Pixels of children are not the window's to move.
      TRegion Visible = VisibleScreenLocked(Window, false, true, (Window->Style & WS_CLIPSIBLINGS) != 0);
      Visible.Offset(-Origin.x, -Origin.y);
      TRegion From = SourceArea;
      From.Intersect(Visible);
      Moved = From;
      Moved.Offset(DX, DY);
      Moved.Intersect(Limit);
      Moved.Intersect(Visible);
      if (Store && !Moved.IsEmpty()) {
        int OffsetX = Origin.x - TopScreen.left, OffsetY = Origin.y - TopScreen.top;
        RECT Box = Moved.Bounds();
        RECT SourceBox = Offset(Box, -DX, -DY);
        int Width = Box.right - Box.left, Height = Box.bottom - Box.top;
        std::vector<uint32_t> Copy(size_t(Width) * size_t(Height));
        for (int Y = 0; Y < Height; ++Y) {
          int SY = SourceBox.top + Y + OffsetY;
          for (int X = 0; X < Width; ++X) {
            int SX = SourceBox.left + X + OffsetX;
            bool Inside = SX >= 0 && SY >= 0 && SX < Store->Width && SY < Store->Height;
            Copy[size_t(Y) * size_t(Width) + size_t(X)] = Inside ? Store->Pixels[size_t(SY) * size_t(Store->Width) + size_t(SX)] : 0;
          }
        }
        for (const RECT& R : Moved.Rects()) {
          for (int Y = R.top; Y < R.bottom; ++Y) {
            int TY = Y + OffsetY;
            if (TY < 0 || TY >= Store->Height) continue;
            for (int X = R.left; X < R.right; ++X) {
              int TX = X + OffsetX;
              if (TX < 0 || TX >= Store->Width) continue;
              Store->Pixels[size_t(TY) * size_t(Store->Width) + size_t(TX)] =
                  Copy[size_t(Y - Box.top) * size_t(Width) + size_t(X - Box.left)];
            }
          }
        }
        TRegion Dirty = Moved;
        Dirty.Offset(OffsetX, OffsetY);
        Store->Dirty.Union(Dirty);
      }
    }
    TRegion Target = SourceArea;
    Target.Offset(DX, DY);
    Target.Intersect(Limit);
    Invalid = SourceArea;
    Invalid.Union(Target);
    Invalid.Subtract(Moved);
    // The pending update region moves with the pixels.
    TRegion Inside = Window->Update;
    Inside.Intersect(SourceArea);
    if (!Inside.IsEmpty()) {
      Window->Update.Subtract(Inside);
      Inside.Offset(DX, DY);
      Inside.Intersect(Limit);
      Window->Update.Union(Inside);
    }
    if (Flags & SW_INVALIDATE)
      RedrawLocked(Window, Invalid, false, RDW_INVALIDATE | (Flags & SW_ERASE ? RDW_ERASE : 0) | RDW_ALLCHILDREN);
    if (Flags & SW_SCROLLCHILDREN)
      for (TWindow* Child : Window->Children)
        if (!Scroll || TRegion(*Scroll).Intersects(Child->Window)) MoveChildren.push_back(Child->Handle);
  }
  for (HWND Child : MoveChildren) {
    RECT R;
    {
      TGuard Lock(Mutex());
      TWindow* Window = FindLocked(Child);
      if (!Window) continue;
      R = Window->Window;
    }
    SetWindowPos(Child, nullptr, R.left + DX, R.top + DY, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (UpdateHandle)
    if (TRegion* Region = GdiGetRegion(UpdateHandle)) *Region = Invalid;
  if (UpdateRect) *UpdateRect = Invalid.Bounds();
  return Invalid.Complexity();
}

BOOL ScrollWindow(HWND Window, int DX, int DY, const RECT* Scroll, const RECT* Clip) {
  UINT Flags = SW_INVALIDATE | SW_ERASE | (Scroll ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(Window, DX, DY, Scroll, Clip, nullptr, nullptr, Flags) != ERROR;
}

// ---- window regions --------------------------------------------------------------------------

int SetWindowRgn(HWND Handle, HRGN RegionHandle, BOOL Redraw) {
  std::optional<TRegion> NewRegion;
  if (RegionHandle) {
    TRegion* Region = GdiGetRegion(RegionHandle);
    if (!Region) return 0;
    NewRegion = *Region;
  }
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Window || !Window->Parent) return 0;
    if (Redraw && !IsTopLevel(Window) && IsVisibleLocked(Window) && IsVisibleLocked(Window->Parent)) {
      // What the old shape covered and the new one does not is the parent's to paint again.
      TRegion Exposed = WindowShapeScreenLocked(Window);
      Window->Region = NewRegion;
      Exposed.Subtract(WindowShapeScreenLocked(Window));
      POINT Origin = ClientOriginLocked(Window->Parent);
      Exposed.Offset(-Origin.x, -Origin.y);
      RedrawLocked(Window->Parent, Exposed, false, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    } else {
      Window->Region = NewRegion;
    }
    RefreshDCsLocked(RootLocked(Window));
  }
  // The window owns the region from now on.
  if (RegionHandle) DeleteObject(RegionHandle);
  SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                   (Redraw ? 0 : SWP_NOREDRAW));
  return 1;
}

int GetWindowRgn(HWND Handle, HRGN RegionHandle) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  TRegion* Region = GdiGetRegion(RegionHandle);
  if (!Window || !Region || !Window->Region) return ERROR;
  *Region = *Window->Region;
  return Region->Complexity();
}

// ---- back ends and tests ---------------------------------------------------------------------

void PaintPendingWindows() {
  MSG Message;
  int Guard = 0;
  while (PeekMessage(&Message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE) && ++Guard < 100000)
    DispatchMessage(&Message);
}

TPixelSurface GetWindowSurface(HWND Handle) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !IsTopLevel(Window) || !Window->Store) return TPixelSurface{};
  return StoreLocked(Window)->Surface();
}

bool CopyWindowPixels(HWND Handle, std::vector<uint32_t>& Pixels, int& Width, int& Height) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Window->Parent) return false;
  TWindow* Top = RootLocked(Window);
  TBackingStore* Store = StoreLocked(Top);
  if (!Store) return false;
  RECT TopScreen = WindowRectScreenLocked(Top);
  RECT R = WindowRectScreenLocked(Window);
  Width = R.right - R.left;
  Height = R.bottom - R.top;
  Pixels.assign(size_t(std::max(Width, 0)) * size_t(std::max(Height, 0)), 0);
  for (int Y = 0; Y < Height; ++Y) {
    int SY = R.top - TopScreen.top + Y;
    if (SY < 0 || SY >= Store->Height) continue;
    for (int X = 0; X < Width; ++X) {
      int SX = R.left - TopScreen.left + X;
      if (SX < 0 || SX >= Store->Width) continue;
      Pixels[size_t(Y) * size_t(Width) + size_t(X)] = Store->Pixels[size_t(SY) * size_t(Store->Width) + size_t(SX)];
    }
  }
  return true;
}

TRegion TakeDirtyRegion(HWND Handle) {
  TGuard Lock(Mutex());
  TWindow* Window = FindLocked(Handle);
  if (!Window || !Window->Store) return TRegion();
  TRegion Result = std::move(Window->Store->Dirty);
  Window->Store->Dirty = TRegion();
  return Result;
}

void SetWindowDriver(TWindowDriver* Value) {
  TGuard Lock(Mutex());
  Driver = Value;
}

TWindowDriver* GetWindowDriver() {
  TGuard Lock(Mutex());
  return Driver;
}

namespace UserImpl {

void NotifyDriverWindowChanged(HWND Handle) {
  TWindowDriver* Target;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Driver || !Window || !IsTopLevel(Window)) return;
    Target = Driver;
  }
  Target->WindowChanged(Handle);
}

void NotifyDriverWindowDestroyed(HWND Handle) {
  TWindowDriver* Target;
  {
    TGuard Lock(Mutex());
    TWindow* Window = FindLocked(Handle);
    if (!Driver || !Window || !IsTopLevel(Window)) return;
    Target = Driver;
  }
  Target->WindowDestroyed(Handle);
}

void NotifyDriverFlush() {
  TWindowDriver* Target;
  {
    TGuard Lock(Mutex());
    Target = Driver;
  }
  if (Target) Target->Flush();
}

// Drops the DCs of a window that goes away (their views are emptied, so late drawing is harmless).
void ForgetWindowDCsLocked(HWND Handle) {
  for (const TDCRecord& Record : LiveDCs()) {
    if (Record.Window != Handle && Record.Top != Handle) continue;
    if (TDC* DC = GdiGetDC(Record.DC)) {
      DC->SetView(TPixelSurface{}, POINT{0, 0}, std::nullopt);
      DC->InvalidateClip();
    }
  }
}

}  // namespace UserImpl
