// The status-bar window of the common controls ("msctls_statusbar32"); see commctrl.h.

#include <algorithm>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/forms/commctrl.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

namespace {

// Where parts lie: below a 2-pixel strip at the top, 2 pixels apart.
constexpr int PartTop = 2;
constexpr int PartGap = 2;

struct TPart {
  int RightEdge = -1;
  std::string Text;
  ULONG_PTR Data = 0;  // an owner-drawn part's value
  WPARAM Flags = 0;    // SBT_ flags
};

struct TStatusState {
  std::vector<TPart> Parts{TPart{}};
  TPart Simple;
  bool SimpleMode = false;
  HFONT Font = nullptr;
};

std::unordered_map<HWND, std::unique_ptr<TStatusState>>& States() {
  static std::unordered_map<HWND, std::unique_ptr<TStatusState>> Table;
  return Table;
}

TStatusState& StateOf(HWND Window) {
  std::unique_ptr<TStatusState>& Slot = States()[Window];
  if (!Slot) Slot = std::make_unique<TStatusState>();
  return *Slot;
}

RECT ClientOf(HWND Window) {
  RECT Client{};
  GetClientRect(Window, &Client);
  return Client;
}

// The rectangle of part Index (its edge included), from the client size and the edges.
RECT PartRect(const TStatusState& State, const RECT& Client, int Index) {
  if (State.SimpleMode) return RECT{Client.left, Client.top + PartTop, Client.right, Client.bottom};
  LONG Left = Client.left;
  RECT Result{};
  for (int I = 0; I <= Index; ++I) {
    const int Edge = State.Parts[size_t(I)].RightEdge;
    const LONG Right = std::max<LONG>(Left, Edge < 0 ? Client.right : Edge);
    Result = RECT{Left, Client.top + PartTop, Right, Client.bottom};
    // Edges near the largest coordinate must not wrap round to the left.
    Left = Right > std::numeric_limits<LONG>::max() - PartGap ? Right : Right + PartGap;
  }
  return Result;
}

LRESULT TextInfo(const TPart& Part) {
  if (Part.Flags & SBT_OWNERDRAW) return LRESULT(Part.Data);
  return LRESULT(MAKELONG(WORD(std::min<size_t>(Part.Text.size(), 0xFFFF)), WORD(Part.Flags & 0xFF00)));
}

void DrawPartText(HWND Window, HDC DC, const TStatusState& State, const TPart& Part, RECT Inner) {
  if (Part.Text.empty()) return;
  Inner.left += 2;
  Inner.right -= 2;
  if (Inner.right <= Inner.left) return;
  const int Saved = SaveDC(DC);
  HFONT Font = State.Font ? State.Font : reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (Font) SelectObject(DC, Font);
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
  // Before the first tab: left; after one tab: centred; after a second: at the right.
  static constexpr UINT Placement[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  size_t Start = 0;
  for (int Segment = 0; Segment < 3 && Start <= Part.Text.size(); ++Segment) {
    const size_t Tab = Segment < 2 ? Part.Text.find('\t', Start) : std::string::npos;
    const std::string Piece = Part.Text.substr(Start, Tab == std::string::npos ? std::string::npos : Tab - Start);
    RECT Box = Inner;
    if (!Piece.empty())
      DrawTextA(DC, Piece.c_str(), int(Piece.size()), &Box,
                Placement[Segment] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (Tab == std::string::npos) break;
    Start = Tab + 1;
  }
  RestoreDC(DC, Saved);
  (void)Window;
}

void DrawPart(HWND Window, HDC DC, const TStatusState& State, const TPart& Part, int Index, RECT Bounds) {
  UINT Edge = BDR_SUNKENOUTER;
  if (Part.Flags & SBT_POPOUT) Edge = BDR_RAISEDOUTER;
  if (Part.Flags & SBT_NOBORDERS) Edge = 0;
  if (Edge) DrawEdge(DC, &Bounds, Edge, BF_RECT | BF_ADJUST);
  if (!(Part.Flags & SBT_OWNERDRAW)) {
    DrawPartText(Window, DC, State, Part, Bounds);
    return;
  }
  DRAWITEMSTRUCT Item{};
  Item.CtlType = ODT_STATIC;
  Item.CtlID = UINT(GetWindowLongPtrA(Window, GWLP_ID));
  Item.itemID = UINT(Index);
  Item.itemAction = ODA_DRAWENTIRE;
  Item.hwndItem = Window;
  Item.hDC = DC;
  Item.rcItem = Bounds;
  Item.itemData = Part.Data;
  if (HWND Parent = GetParent(Window)) SendMessageA(Parent, WM_DRAWITEM, WPARAM(Item.CtlID), LPARAM(&Item));
}

void Paint(HWND Window, HDC DC) {
  const RECT Client = ClientOf(Window);
  // The parent may redraw the bar (or free it) while it draws a part: read the state afresh for
  // every part.
  auto Current = [Window]() -> TStatusState* {
    auto Found = States().find(Window);
    return Found == States().end() ? nullptr : Found->second.get();
  };
  TStatusState* State = Current();
  if (!State) return;
  if (State->SimpleMode) {
    const TPart Part = State->Simple;
    DrawPart(Window, DC, *State, Part, int(SB_SIMPLEID), PartRect(*State, Client, 0));
  } else {
    for (size_t Index = 0; (State = Current()) && Index < State->Parts.size(); ++Index) {
      const TPart Part = State->Parts[Index];
      DrawPart(Window, DC, *State, Part, int(Index), PartRect(*State, Client, int(Index)));
    }
  }
  if (!IsWindow(Window)) return;
  if (GetWindowLongA(Window, GWL_STYLE) & SBARS_SIZEGRIP) {
    const LONG Side = std::min<LONG>(GetSystemMetrics(SM_CXVSCROLL), Client.bottom - Client.top);
    RECT Grip{Client.right - Side, Client.bottom - Side, Client.right, Client.bottom};
    if (Side > 0) DrawFrameControl(DC, &Grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}

void InvalidatePart(HWND Window, const TStatusState& State, int Index) {
  const RECT Bounds = PartRect(State, ClientOf(Window), Index);
  InvalidateRect(Window, &Bounds, TRUE);
}

LRESULT StatusMessage(HWND Window, TStatusState& State, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case SB_SETTEXTA: {
      const int Index = int(WParam & 0xFF);
      const WPARAM Flags = WParam & 0xFF00;
      const bool IsSimple = WPARAM(Index) == SB_SIMPLEID;
      if (!IsSimple && Index >= int(State.Parts.size())) return FALSE;
      TPart& Part = IsSimple ? State.Simple : State.Parts[size_t(Index)];
      TPart Next = Part;
      Next.Flags = Flags;
      if (Flags & SBT_OWNERDRAW) {
        Next.Data = ULONG_PTR(LParam);
        Next.Text.clear();
      } else {
        Next.Data = 0;
        Next.Text = LParam ? reinterpret_cast<const char*>(LParam) : "";
      }
      const bool Changed = Next.Flags != Part.Flags || Next.Data != Part.Data || Next.Text != Part.Text;
      Part = std::move(Next);
      if (Changed && IsSimple == State.SimpleMode) InvalidatePart(Window, State, IsSimple ? 0 : Index);
      return TRUE;
    }
    case SB_GETTEXTA:
    case SB_GETTEXTLENGTHA: {
      const int Index = int(WParam & 0xFF);
      const bool IsSimple = WPARAM(Index) == SB_SIMPLEID;
      if (!IsSimple && Index >= int(State.Parts.size())) return 0;
      const TPart& Part = IsSimple ? State.Simple : State.Parts[size_t(Index)];
      if (Message == SB_GETTEXTA && LParam && !(Part.Flags & SBT_OWNERDRAW)) {
        char* Buffer = reinterpret_cast<char*>(LParam);
        std::copy(Part.Text.begin(), Part.Text.end(), Buffer);
        Buffer[Part.Text.size()] = 0;
      }
      return TextInfo(Part);
    }
    case SB_SETPARTS: {
      const int Count = int(WParam);
      if (Count < 1 || Count > SB_MAXPARTS || !LParam) return FALSE;
      const int* Edges = reinterpret_cast<const int*>(LParam);
      State.Parts.resize(size_t(Count));
      for (int I = 0; I < Count; ++I) State.Parts[size_t(I)].RightEdge = Edges[I];
      InvalidateRect(Window, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETPARTS: {
      int* Edges = reinterpret_cast<int*>(LParam);
      const size_t Room = std::min(size_t(WParam), State.Parts.size());
      for (size_t I = 0; Edges && I < Room; ++I) Edges[I] = State.Parts[I].RightEdge;
      return LRESULT(State.Parts.size());
    }
    case SB_GETBORDERS: {
      int* Borders = reinterpret_cast<int*>(LParam);
      if (!Borders) return FALSE;
      Borders[0] = 0;
      Borders[1] = PartTop;
      Borders[2] = PartGap;
      return TRUE;
    }
    case SB_SIMPLE:
      if (State.SimpleMode != (WParam != 0)) {
        State.SimpleMode = WParam != 0;
        InvalidateRect(Window, nullptr, TRUE);
      }
      return 0;
    case SB_ISSIMPLE:
      return State.SimpleMode;
    case SB_GETRECT: {
      RECT* Rect = reinterpret_cast<RECT*>(LParam);
      const int Index = int(WParam);
      if (!Rect || Index < 0 || (!State.SimpleMode && Index >= int(State.Parts.size()))) return FALSE;
      *Rect = PartRect(State, ClientOf(Window), State.SimpleMode ? 0 : Index);
      return TRUE;
    }
    default:
      return 0;
  }
}

}  // namespace

LRESULT StatusBarWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_NCDESTROY) {
    States().erase(Window);
    return DefWindowProcA(Window, Message, WParam, LParam);
  }
  TStatusState& State = StateOf(Window);
  if (Message >= SB_SETTEXTA && Message <= SB_ISSIMPLE) return StatusMessage(Window, State, Message, WParam, LParam);
  switch (Message) {
    case WM_SETFONT:
      State.Font = reinterpret_cast<HFONT>(WParam);
      if (LParam) InvalidateRect(Window, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(State.Font);
    case WM_SIZE:
      // The last part reaches the right end and the grip sits in the corner: both move.
      InvalidateRect(Window, nullptr, TRUE);
      return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      if (WParam) {
        Paint(Window, reinterpret_cast<HDC>(WParam));
        return 0;
      }
      PAINTSTRUCT Info{};
      HDC DC = BeginPaint(Window, &Info);
      if (DC) Paint(Window, DC);
      EndPaint(Window, &Info);
      return 0;
    }
    default:
      return DefWindowProcA(Window, Message, WParam, LParam);
  }
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* Init) {
  if (!Init || Init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  if (Init->dwICC & ICC_BAR_CLASSES) {
    static std::once_flag Registered;
    std::call_once(Registered, [] {
      WNDCLASSA Class{};
      Class.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
      Class.lpfnWndProc = StatusBarWindowProc;
      Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
      Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
      Class.lpszClassName = STATUSCLASSNAME;
      RegisterClassA(&Class);
    });
  }
  return TRUE;
}

void InitCommonControls() {
  const INITCOMMONCONTROLSEX All{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  InitCommonControlsEx(&All);
}
