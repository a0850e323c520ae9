#include "vcontrols/common/vcwindows.h"

#include <array>
#include <cmath>

#include "platform/forms/application.h"
#include "platform/forms/control.h"
#include "platform/forms/wincontrol.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/region.h"
#include "platform/rtl/clock.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vchosts.h"

// --- regions and invalidation -----------------------------------------------------------------

void CombineChildRegions(TWinControl* Control, HRGN Region, POINT Offset, int Mode) {
  if (!Control || !Region) return;
  const POINT origin = Control->ClientOrigin();
  for (int i = 0; i < Control->ControlCount(); ++i) {
    TControl* child = Control->Controls(i);
    if (GetOrdPropByName(child, "Transparent") != 0) continue;
    RECT rect;
    auto* windowed = dynamic_cast<TWinControl*>(child);
    if (windowed && windowed->HandleAllocated()) {
      // The window's own rectangle: a window region or a frame may make it differ from the
      // bounds the control keeps.
      GetWindowRect(windowed->Handle(), &rect);
      OffsetRect(&rect, -origin.x, -origin.y);
    } else {
      // A child without a window is cut at the control's size (it paints nowhere beyond).
      rect = child->BoundsRect();
      rect.right = Min(rect.right, Control->Width());
      rect.bottom = Min(rect.bottom, Control->Height());
    }
    OffsetRect(&rect, Offset.x, Offset.y);
    HRGN part = CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
    CombineRgn(Region, Region, part, Mode);
    DeleteObject(part);
  }
}

namespace {

BOOL InvalidateTreeOf(HWND Child, LPARAM) {
  InvalidateWindowTree(Child);
  return TRUE;
}

struct TOverlapSearch {
  RECT Area;
};

BOOL InvalidateIfOverlapping(HWND Child, LPARAM Param) {
  const auto* search = reinterpret_cast<const TOverlapSearch*>(Param);
  RECT bounds, overlap;
  if (GetWindowRect(Child, &bounds) && IntersectRect(&overlap, &bounds, &search->Area)) InvalidateWindowTree(Child);
  return TRUE;
}

}  // namespace

void InvalidateWindowTree(HWND Window) {
  if (!IsWindow(Window)) return;
  InvalidateRect(Window, nullptr, FALSE);
  // The enumeration visits the whole tree below the window, and each child walks its own tree
  // again; invalidating twice changes nothing.
  EnumChildWindows(Window, InvalidateTreeOf, 0);
}

void InvalidateOverlappingChildren(HWND Parent, HWND Window) {
  TOverlapSearch search{};
  if (!IsWindow(Parent) || !GetWindowRect(Window, &search.Area)) return;
  EnumChildWindows(Parent, InvalidateIfOverlapping, reinterpret_cast<LPARAM>(&search));
}

void InvalidateInParent(TControl* Control, bool Erase) {
  if (!Control || !Control->Parent() || !Control->Parent()->HandleAllocated()) return;
  const RECT bounds = Control->BoundsRect();
  InvalidateRect(Control->Parent()->Handle(), &bounds, Erase ? TRUE : FALSE);
}

void RemoveClipChildren(TWinControl* Control) {
  if (!Control) return;
  HWND window = Control->Handle();
  SetWindowLong(window, GWL_STYLE, LONG(DWORD(GetWindowLong(window, GWL_STYLE)) & ~WS_CLIPCHILDREN));
}

// --- slide animation --------------------------------------------------------------------------

namespace {

int32_t StepEdge(int32_t Start, int32_t End, long double Fraction) {
  return Start + int32_t(std::trunc((End - Start) * Fraction));
}

void ValidateOnParent(TControl* Control, const RECT& Rect) {
  TWinControl* parent = Control->Parent();
  if (parent && parent->HandleAllocated()) ValidateRect(parent->Handle(), &Rect);
}

// The panel that follows a button is erased as it moves: its old place shows the parent again.
void InvalidateErasing(TControl* Control) {
  auto* windowed = dynamic_cast<TWinControl*>(Control);
  if (windowed && windowed->HandleAllocated())
    InvalidateRect(windowed->Handle(), nullptr, TRUE);
  else
    InvalidateInParent(Control, true);
}

}  // namespace

void AnimateControls(std::vector<TvcAnimationEntry>& Entries, uint32_t Interval, int32_t Steps,
                     const TvcPlaceControlProc& PlaceControl) {
  if (Entries.empty() || Steps <= 0) return;
  // Where each control stood before the step: [entry][0 first, 1 second].
  std::vector<std::array<RECT, 2>> before(Entries.size());
  for (int32_t step = 1; step <= Steps; ++step) {
    const long double fraction = (long double)step / Steps;
    for (size_t i = 0; i < Entries.size(); ++i) {
      TvcAnimationPlacement* placements[2] = {&Entries[i].First, &Entries[i].Second};
      for (int p = 0; p < 2; ++p) {
        TvcAnimationPlacement& placement = *placements[p];
        if (!placement.Control) continue;
        before[i][p] = placement.Control->BoundsRect();
        placement.Current = RECT{StepEdge(placement.Start.left, placement.End.left, fraction),
                                 StepEdge(placement.Start.top, placement.End.top, fraction),
                                 StepEdge(placement.Start.right, placement.End.right, fraction),
                                 StepEdge(placement.Start.bottom, placement.End.bottom, fraction)};
        if (PlaceControl)
          PlaceControl(placement.Control, placement.Current);
        else
          placement.Control->SetBoundsRect(placement.Current);
      }
    }
    // The panels' new places are painted by the panels themselves: the parent need not paint
    // there first, which would flicker.
    for (TvcAnimationEntry& entry : Entries)
      if (entry.Second.Control) ValidateOnParent(entry.Second.Control, entry.Second.Control->BoundsRect());
    for (size_t i = 0; i < Entries.size(); ++i) {
      TvcAnimationEntry& entry = Entries[i];
      if (entry.First.Control) {
        entry.First.Control->Invalidate();
        entry.First.Control->Update();
      }
      if (TControl* second = entry.Second.Control) {
        InvalidateErasing(second);
        const RECT& old = before[i][1];
        const RECT now = second->BoundsRect();
        if (now.left == old.left && now.top == old.top) {
          ValidateOnParent(second, old);
          second->Update();
        }
      }
    }
    if (Application) Application->ProcessMessages();
    Sleep(Interval);
    if (Application) Application->ProcessMessages();
  }
}

// --- input and the common controls ------------------------------------------------------------

void GetCursorPosition(POINT& Point) {
  GetCursorPos(&Point);
}

TShiftState GetShiftStateNow() {
  TShiftState result;
  if (GetKeyState(VK_SHIFT) < 0) result.Include(ssShift);
  if (GetKeyState(VK_MENU) < 0) result.Include(ssAlt);
  if (GetKeyState(VK_CONTROL) < 0) result.Include(ssCtrl);
  return result;
}

namespace {

// Our common-controls layer (image lists, month calendar, date picker) does what version 6.0 of
// the platform's library does, so callers that test for 4.71 features find them.
constexpr uint32_t CommonControlsVersion = 6u << 16 | 0u;

uint32_t ReadCommonControlsVersion() {
  return CommonControlsVersion;
}

}  // namespace

uint32_t GetComCtlVersion() {
  // Kept once read; a failed reading (0) is tried again next time.
  static uint32_t version = 0;
  if (version == 0) version = ReadCommonControlsVersion();
  return version;
}
