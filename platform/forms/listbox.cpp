#include "platform/forms/listbox.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/colors.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/rtl/unicode.h"
#include "platform/user/scrollbar.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TCustomListBox)
KORCAM_REGISTER_CLASS(TListBox)

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks, csOpaque};
  FColor = clWindow;
  FParentColor = false;
  FTabStop = true;
  FItems.OnChange = [this](TStringList&) { ItemsChanged(); };
  SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() {
  FItems.OnChange = nullptr;
}

// ---- properties ------------------------------------------------------------------------------

TStrings* TCustomListBox::Items() const {
  return const_cast<TStringList*>(&FItems);
}

void TCustomListBox::SetItems(TStrings* Value) {
  if (Value && Value != &FItems) FItems.Assign(*Value);
}

int TCustomListBox::Count() const {
  return FItems.GetCount();
}

void TCustomListBox::Clear() {
  FItems.Clear();
}

int32_t TCustomListBox::ItemIndex() const {
  return FItemIndex;
}

void TCustomListBox::SetItemIndex(int32_t Value) {
  // An index outside the entries selects nothing.
  if (Value < 0 || Value >= Count()) Value = -1;
  if (Value == FItemIndex) return;
  FItemIndex = Value;
  if (Value >= 0) ScrollIntoView(Value);
  Invalidate();
}

int32_t TCustomListBox::TopIndex() const {
  return FTopIndex;
}

void TCustomListBox::SetTopIndex(int32_t Value) {
  // The last page is the furthest the list scrolls.
  const int Last = std::max(0, Count() - VisibleCount());
  Value = std::clamp(Value, 0, std::max(Last, 0));
  if (Value == FTopIndex) return;
  FTopIndex = Value;
  UpdateScrollBar();
  Invalidate();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
  if (FIntegralHeight == Value) return;
  FIntegralHeight = Value;
  SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TCustomListBox::SetItemHeight(int32_t Value) {
  if (Value <= 0 || FItemHeight == Value) return;
  FItemHeight = Value;
  FHeights.clear();
  SetBounds(FLeft, FTop, FWidth, FHeight);
  UpdateScrollBar();
  Invalidate();
}

void TCustomListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  const std::string Selected = FItemIndex >= 0 ? FItems.Get(FItemIndex) : std::string();
  FItems.SetSorted(Value);
  if (!Selected.empty()) FItemIndex = FItems.IndexOf(Selected);
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  FHeights.clear();
  UpdateScrollBar();
  Invalidate();
}

void TCustomListBox::SetPopup(bool Value) {
  if (FPopup == Value) return;
  FPopup = Value;
  if (HandleAllocated()) RecreateWnd();
}

// ---- layout ----------------------------------------------------------------------------------

int TCustomListBox::HeightOf(int Index) const {
  if (FStyle != lbOwnerDrawVariable) return FItemHeight;
  if (Index < 0 || Index >= Count()) return FItemHeight;
  if (FHeights.size() != size_t(Count())) FHeights.assign(size_t(Count()), -1);
  int& Height = FHeights[size_t(Index)];
  if (Height < 0) {
    int32_t Measured = FItemHeight;
    const_cast<TCustomListBox*>(this)->MeasureItem(Index, Measured);
    Height = std::max<int32_t>(Measured, 1);
  }
  return Height;
}

void TCustomListBox::MeasureItem(int Index, int32_t& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

int TCustomListBox::VisibleCount() const {
  const RECT Client = ClientRect();
  const int Room = Client.bottom - Client.top;
  int Count = 0, Used = 0;
  for (int Index = FTopIndex; Index < this->Count(); ++Index) {
    Used += HeightOf(Index);
    if (Used > Room) break;
    ++Count;
  }
  if (FStyle != lbOwnerDrawVariable && FTopIndex + Count >= this->Count()) Count = std::max(Count, Room / FItemHeight);
  return std::max(Count, 1);
}

RECT TCustomListBox::ItemRect(int Index) const {
  const RECT Client = ClientRect();
  int Top = 0;
  if (Index >= FTopIndex) {
    for (int Walk = FTopIndex; Walk < Index; ++Walk) Top += HeightOf(Walk);
  } else {
    for (int Walk = Index; Walk < FTopIndex; ++Walk) Top -= HeightOf(Walk);
  }
  return RECT{Client.left, Top, Client.right, Top + HeightOf(Index)};
}

int TCustomListBox::ItemAtPos(POINT Pos, bool Existing) const {
  const RECT Client = ClientRect();
  if (Count() == 0) return -1;
  if (Existing && (Pos.x < Client.left || Pos.x >= Client.right || Pos.y < 0)) return -1;
  if (Pos.y < 0) return std::max(FTopIndex - 1, 0);
  int Top = 0;
  for (int Index = FTopIndex; Index < Count(); ++Index) {
    const int Bottom = Top + HeightOf(Index);
    if (Pos.y < Bottom) return Index;
    Top = Bottom;
  }
  return Existing ? -1 : Count() - 1;
}

void TCustomListBox::ScrollIntoView(int Index) {
  if (Index < 0 || Index >= Count()) return;
  if (Index < FTopIndex) {
    SetTopIndex(Index);
    return;
  }
  // Scroll down until the entry's bottom is inside the client area.
  const RECT Client = ClientRect();
  int Top = FTopIndex;
  while (Top < Index) {
    int Bottom = 0;
    for (int Walk = Top; Walk <= Index; ++Walk) Bottom += HeightOf(Walk);
    if (Bottom <= Client.bottom - Client.top) break;
    ++Top;
  }
  if (Top != FTopIndex) {
    FTopIndex = Top;
    UpdateScrollBar();
    Invalidate();
  }
}

int TCustomListBox::NonClientHeight() const {
  if (FPopup) return 2;
  if (FBorderStyle == bsNone) return 0;
  return FCtl3D ? 4 : 2;
}

int TCustomListBox::IntegralAdjusted(int AHeight) const {
  // Only whole entries: the height shrinks to the last entry that fits (never below one).
  if (!FIntegralHeight || FStyle == lbOwnerDrawVariable || FItemHeight <= 0) return AHeight;
  const int Frame = NonClientHeight();
  const int Client = std::max(AHeight - Frame, FItemHeight);
  return Client / FItemHeight * FItemHeight + Frame;
}

void TCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, IntegralAdjusted(AHeight));
  UpdateScrollBar();
}

void TCustomListBox::UpdateScrollBar() {
  if (!HandleAllocated()) return;
  int Total = 0;
  for (int Index = 0; Index < Count(); ++Index) Total += 1;
  const int Page = VisibleCount();
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  Info.nMin = 0;
  Info.nMax = std::max(Total - 1, 0);
  Info.nPage = UINT(Page);
  Info.nPos = FTopIndex;
  const bool Needed = Total > Page;
  ShowScrollBar(HandleIfAllocated(), SB_VERT, Needed);
  if (Needed) SetScrollInfo(HandleIfAllocated(), SB_VERT, &Info, TRUE);
}

void TCustomListBox::ItemsChanged() {
  FHeights.clear();
  if (FItemIndex >= Count()) FItemIndex = -1;
  const int Last = std::max(0, Count() - VisibleCount());
  if (FTopIndex > Last) FTopIndex = Last;
  UpdateScrollBar();
  Invalidate();
}

// ---- the window ------------------------------------------------------------------------------

void TCustomListBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
  if (FSorted) Params.Style |= LBS_SORT;
  if (FStyle == lbOwnerDrawFixed) Params.Style |= LBS_OWNERDRAWFIXED;
  if (FStyle == lbOwnerDrawVariable) Params.Style |= LBS_OWNERDRAWVARIABLE;
  if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FPopup) {
    // A tool window above everything that never takes the activation from its owner.
    Params.Style = (Params.Style & ~(WS_CHILD | WS_TABSTOP)) | WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WindowClass.style |= CS_SAVEBITS;
    Params.WndParent = nullptr;
  } else if (FBorderStyle == bsSingle) {
    if (FCtl3D)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomListBox::CreateWnd() {
  // A new window measures its entries again.
  FHeights.clear();
  TCustomControl::CreateWnd();
  UpdateScrollBar();
}

void TCustomListBox::ShowPopup(int X, int Y, int Width, int Height) {
  SetPopup(true);
  const int Adjusted = IntegralAdjusted(Height);
  FLeft = X;
  FTop = Y;
  FWidth = Width;
  FHeight = Adjusted;
  SetWindowPos(Handle(), HWND_TOPMOST, X, Y, Width, Adjusted, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  UpdateScrollBar();
  if (FItemIndex >= 0) ScrollIntoView(FItemIndex);
  Invalidate();
}

void TCustomListBox::HidePopup() {
  FTracking = false;
  if (HandleAllocated())
    SetWindowPos(HandleIfAllocated(), nullptr, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
}

bool TCustomListBox::PopupVisible() const {
  return FPopup && HandleAllocated() && IsWindowVisible(HandleIfAllocated());
}

// ---- painting --------------------------------------------------------------------------------

void TCustomListBox::Paint() {
  TCanvas* C = Canvas();
  C->SetFont(Font());
  const RECT Client = ClientRect();
  const bool Focused = FPopup || (HandleAllocated() && GetFocus() == HandleIfAllocated());
  int Top = 0;
  for (int Index = FTopIndex; Index < Count() && Top < Client.bottom; ++Index) {
    const RECT R{Client.left, Top, Client.right, Top + HeightOf(Index)};
    TOwnerDrawState State;
    if (Index == FItemIndex) {
      State.Include(odSelected);
      if (Focused) State.Include(odFocused);
    }
    if (!Enabled()) State.Include(odDisabled);
    DrawItem(Index, R, State);
    Top = R.bottom;
  }
  if (Top < Client.bottom) {
    C->Brush()->SetColor(Color());
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(RECT{Client.left, Top, Client.right, Client.bottom});
  }
}

void TCustomListBox::DrawItem(int Index, RECT Rect, TOwnerDrawState State) {
  TCanvas* C = Canvas();
  const bool Selected = State.Contains(odSelected);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Selected ? clHighlight : Color());
  C->Font()->SetColor(Selected ? clHighlightText : (Enabled() ? Font()->Color() : clGrayText));
  if (FStyle != lbStandard && OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
  } else {
    C->FillRect(Rect);
    C->TextRect(Rect, Rect.left + 2, Rect.top, FItems.Get(Index));
  }
  if (State.Contains(odFocused)) {
    HDC DC = C->Handle();
    DrawFocusRect(DC, &Rect);
  }
}

// ---- selection by the user -------------------------------------------------------------------

void TCustomListBox::NotifySelChange() {
  if (!HandleAllocated()) return;
  const WPARAM Param = MAKEWPARAM(WORD(GetWindowLongPtrA(HandleIfAllocated(), GWLP_ID)), LBN_SELCHANGE);
  HWND ParentWindow = (GetWindowLongA(HandleIfAllocated(), GWL_STYLE) & WS_CHILD) ? GetParent(HandleIfAllocated())
                                                                                   : nullptr;
  if (ParentWindow)
    SendMessageA(ParentWindow, WM_COMMAND, Param, LPARAM(HandleIfAllocated()));
  else
    Perform(CN_COMMAND, Param, LPARAM(HandleIfAllocated()));
}

void TCustomListBox::UserSelect(int Index) {
  if (Count() == 0) return;
  Index = std::clamp(Index, 0, Count() - 1);
  ScrollIntoView(Index);
  if (Index == FItemIndex) return;
  FItemIndex = Index;
  Invalidate();
  NotifySelChange();
}

void TCustomListBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0 || Count() == 0) return;
  const int Page = std::max(VisibleCount() - 1, 1);
  const int Current = FItemIndex;
  switch (Key) {
    case VK_UP:
      UserSelect(Current < 0 ? 0 : Current - 1);
      break;
    case VK_DOWN:
      UserSelect(Current < 0 ? 0 : Current + 1);
      break;
    case VK_PRIOR:
      UserSelect(Current < 0 ? 0 : Current - Page);
      break;
    case VK_NEXT:
      UserSelect(Current < 0 ? 0 : Current + Page);
      break;
    case VK_HOME:
      UserSelect(0);
      break;
    case VK_END:
      UserSelect(Count() - 1);
      break;
    default:
      return;
  }
  Key = 0;
}

void TCustomListBox::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (Key < 32 || Key == 127) return;
  // A typed character moves to the next entry that starts with it.
  const int Found = FindPrefix(FItemIndex, Utf32ToUtf8(std::u32string(1, Key)), false);
  if (Found >= 0) UserSelect(Found);
  Key = 0;
}

void TCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (!FPopup && CanFocus() && GetFocus() != HandleIfAllocated()) SetFocus();
    FTracking = true;
    const int Index = ItemAtPos(POINT{X, Y}, true);
    if (Index >= 0) UserSelect(Index);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!FTracking) return;
  // Dragging past either end scrolls the list one entry at a time.
  const RECT Client = ClientRect();
  if (Y < Client.top)
    UserSelect(FTopIndex - 1);
  else if (Y >= Client.bottom)
    UserSelect(FTopIndex + VisibleCount());
  else
    UserSelect(ItemAtPos(POINT{X, Y}, false));
}

// ---- search ----------------------------------------------------------------------------------

int TCustomListBox::FindPrefix(int StartAfter, const std::string& Text, bool Exact) const {
  const int Total = Count();
  if (Total == 0) return -1;
  const std::string Wanted = Utf8LowerCase(Text);
  const int First = (StartAfter < -1 || StartAfter >= Total) ? 0 : StartAfter + 1;
  for (int Step = 0; Step < Total; ++Step) {
    const int Index = (First + Step) % Total;
    const std::string Entry = Utf8LowerCase(FItems.Get(Index));
    if (Exact ? Entry == Wanted : Entry.compare(0, Wanted.size(), Wanted) == 0) return Index;
  }
  return -1;
}

// ---- messages --------------------------------------------------------------------------------

void TCustomListBox::WMVScroll(TMessage& Message) {
  const int Page = std::max(VisibleCount() - 1, 1);
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP:
      SetTopIndex(FTopIndex - 1);
      break;
    case SB_LINEDOWN:
      SetTopIndex(FTopIndex + 1);
      break;
    case SB_PAGEUP:
      SetTopIndex(FTopIndex - Page);
      break;
    case SB_PAGEDOWN:
      SetTopIndex(FTopIndex + Page);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      SetTopIndex(int(int16_t(HIWORD(Message.WParam))));
      break;
    case SB_TOP:
      SetTopIndex(0);
      break;
    case SB_BOTTOM:
      SetTopIndex(Count());
      break;
    default:
      break;
  }
  Message.Result = 0;
}

void TCustomListBox::ListMessage(TMessage& Message) {
  const int Index = int(intptr_t(Message.WParam));
  const char* Text = reinterpret_cast<const char*>(Message.LParam);
  switch (Message.Msg) {
    case LB_ADDSTRING:
      Message.Result = FItems.Add(Text ? Text : "");
      return;
    case LB_INSERTSTRING: {
      const int At = (Index < 0 || Index > Count()) ? Count() : Index;
      // The selection stays on its entry.
      if (FItemIndex >= At) ++FItemIndex;
      FItems.Insert(At, Text ? Text : "");
      Message.Result = At;
      return;
    }
    case LB_DELETESTRING:
      if (Index < 0 || Index >= Count()) {
        Message.Result = LB_ERR;
        return;
      }
      if (FItemIndex == Index) FItemIndex = -1;
      else if (FItemIndex > Index) --FItemIndex;
      FItems.Delete(Index);
      Message.Result = Count();
      return;
    case LB_RESETCONTENT:
      FItemIndex = -1;
      FTopIndex = 0;
      FItems.Clear();
      return;
    case LB_SETCURSEL:
      SetItemIndex(Index);
      Message.Result = (Index >= 0 && Index < Count()) ? Index : LB_ERR;
      return;
    case LB_GETCURSEL:
      Message.Result = FItemIndex >= 0 ? FItemIndex : LB_ERR;
      return;
    case LB_GETCOUNT:
      Message.Result = Count();
      return;
    case LB_GETTEXTLEN:
      Message.Result = (Index >= 0 && Index < Count()) ? LRESULT(FItems.Get(Index).size()) : LB_ERR;
      return;
    case LB_GETTEXT: {
      if (Index < 0 || Index >= Count()) {
        Message.Result = LB_ERR;
        return;
      }
      const std::string Entry = FItems.Get(Index);
      // The buffer must hold LB_GETTEXTLEN bytes and the terminator.
      if (char* Buffer = reinterpret_cast<char*>(Message.LParam)) std::memcpy(Buffer, Entry.c_str(), Entry.size() + 1);
      Message.Result = LRESULT(Entry.size());
      return;
    }
    case LB_SELECTSTRING: {
      const int Found = FindPrefix(Index, Text ? Text : "", false);
      if (Found >= 0) SetItemIndex(Found);
      Message.Result = Found >= 0 ? Found : LB_ERR;
      return;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
      const int Found = FindPrefix(Index, Text ? Text : "", Message.Msg == LB_FINDSTRINGEXACT);
      Message.Result = Found >= 0 ? Found : LB_ERR;
      return;
    }
    case LB_GETTOPINDEX:
      Message.Result = FTopIndex;
      return;
    case LB_SETTOPINDEX:
      if (Index < 0 || (Index >= Count() && Count() > 0)) {
        Message.Result = LB_ERR;
        return;
      }
      SetTopIndex(Index);
      Message.Result = 0;
      return;
    case LB_GETITEMHEIGHT:
      Message.Result = HeightOf(Index);
      return;
    case LB_SETITEMHEIGHT: {
      const int Height = int(LOWORD(Message.LParam));
      if (Height <= 0 || Height > 255) {
        Message.Result = LB_ERR;
        return;
      }
      if (FStyle == lbOwnerDrawVariable && Index >= 0 && Index < Count()) {
        HeightOf(Index);
        FHeights[size_t(Index)] = Height;
        Invalidate();
      } else {
        SetItemHeight(Height);
      }
      Message.Result = 0;
      return;
    }
    case LB_GETITEMRECT: {
      if (Index < 0 || Index >= Count()) {
        Message.Result = LB_ERR;
        return;
      }
      if (auto* R = reinterpret_cast<RECT*>(Message.LParam)) *R = ItemRect(Index);
      Message.Result = 1;
      return;
    }
    case LB_ITEMFROMPOINT: {
      const POINT P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      const int Found = ItemAtPos(P, true);
      // High word 1: outside the entries (the nearest entry in the low word).
      Message.Result = Found >= 0 ? Found : MAKELRESULT(WORD(std::max(ItemAtPos(P, false), 0)), 1);
      return;
    }
    default:
      return;
  }
}

void TCustomListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_VSCROLL:
      WMVScroll(Message);
      return;
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_MOUSEACTIVATE:
      if (FPopup) {
        Message.Result = MA_NOACTIVATE;
        return;
      }
      break;
    case WM_LBUTTONUP:
      FTracking = false;
      break;
    case WM_LBUTTONDBLCLK:
      TCustomControl::Dispatch(Message);
      if (HandleAllocated() && ItemAtPos(Message.Pos(), true) >= 0)
        Perform(CN_COMMAND, MAKEWPARAM(WORD(GetWindowLongPtrA(HandleIfAllocated(), GWLP_ID)), LBN_DBLCLK),
                LPARAM(HandleIfAllocated()));
      return;
    case WM_SIZE:
      TCustomControl::Dispatch(Message);
      UpdateScrollBar();
      return;
    case CN_COMMAND:
      switch (HIWORD(Message.WParam)) {
        case LBN_SELCHANGE:
          Changed();
          Click();
          return;
        case LBN_DBLCLK:
          DblClick();
          return;
        default:
          return;
      }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    default:
      if (Message.Msg >= LB_ADDSTRING && Message.Msg <= LB_ITEMFROMPOINT) {
        ListMessage(Message);
        return;
      }
      break;
  }
  TCustomControl::Dispatch(Message);
}
