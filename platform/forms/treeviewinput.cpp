// The tree-view window's input: clicks (with drag detection), double clicks, the keyboard,
// typing to find an item, hot tracking, and label editing in a small edit over the item's text.
//
// Drag detection runs a loop of its own while the button is held, as the platform's tree views
// do: it ends with a drag (the pointer moved 4 pixels, SM_CXDRAG) or with the button released,
// which it swallows; only then does a click select. Messages that are not mouse messages are
// dispatched meanwhile.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/forms/edit.h"
#include "platform/forms/treeviewstate.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

namespace treeview {

namespace {

bool Alive(HWND Window, const TTreeViewState* State) { return StateOf(Window) == State; }

bool ItemAlive(HWND Window, const TTreeViewState* State, TTreeViewItem* Item) {
  return Alive(Window, State) && State->Items.count(Item) != 0;
}

POINT MessagePoint(const MSG& Message) {
  return POINT{GET_X_LPARAM(Message.lParam), GET_Y_LPARAM(Message.lParam)};
}

// Holds the pointer while Button is down; true when it moved far enough for a drag. The release
// that ends the wait is swallowed.
bool DetectDrag(HWND Window, POINT Start, int Button) {
  const UINT Up = Button == VK_LBUTTON ? WM_LBUTTONUP : WM_RBUTTONUP;
  const int DX = std::max(1, GetSystemMetrics(SM_CXDRAG)), DY = std::max(1, GetSystemMetrics(SM_CYDRAG));
  SetCapture(Window);
  const TScopeExit Release([Window] {
    if (GetCapture() == Window) ReleaseCapture();
  });
  for (;;) {
    if (GetCapture() != Window) return false;
    MSG Message{};
    if (!PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
      if (GetAsyncKeyState(Button) >= 0) return false;
      WaitMessage();
      continue;
    }
    if (Message.message == WM_QUIT) {
      PostQuitMessage(int(Message.wParam));
      return false;
    }
    if (Message.message == Up) return false;
    if (Message.message == WM_MOUSEMOVE) {
      const POINT At = MessagePoint(Message);
      if (Message.hwnd == Window && (std::abs(At.x - Start.x) >= DX || std::abs(At.y - Start.y) >= DY)) return true;
      continue;
    }
    if (Message.message == WM_KEYDOWN && Message.wParam == VK_ESCAPE) return false;
    if (Message.message >= WM_MOUSEFIRST && Message.message <= WM_MOUSELAST) continue;
    TranslateMessage(&Message);
    DispatchMessageA(&Message);
  }
}

void ToggleCheck(TTreeViewState& State, TTreeViewItem* Item) {
  const UINT Index = STATEIMAGEMASKTOINDEX(Item->State);
  if (Index == 0) return;
  Item->State = (Item->State & ~TVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(Index == 1 ? 2 : 1);
  InvalidateItem(State, Item);
}

bool IsAncestor(const TTreeViewItem* Ancestor, const TTreeViewItem* Item) {
  for (const TTreeViewItem* Walk = Item ? Item->Parent : nullptr; Walk; Walk = Walk->Parent)
    if (Walk == Ancestor) return true;
  return false;
}

// A selection made by the user: with TVS_SINGLEEXPAND the new item opens and the old one
// closes (unless it holds the new one).
void UserSelect(TTreeViewState& State, TTreeViewItem* Item, UINT Action) {
  HWND Window = State.Window;
  TTreeViewItem* Old = State.Selected;
  if (!SelectCaret(State, Item, Action) || !Item || !ItemAlive(Window, &State, Item)) return;
  if (!(StyleOf(State) & TVS_SINGLEEXPAND) || Old == Item) return;
  if (Old && State.Items.count(Old) && !IsAncestor(Old, Item)) {
    Expand(State, Old, TVE_COLLAPSE, Action);
    if (!ItemAlive(Window, &State, Item)) return;
  }
  Expand(State, Item, TVE_EXPAND, Action);
}

void ExpandAll(TTreeViewState& State, TTreeViewItem* Item) {
  HWND Window = State.Window;
  std::vector<TTreeViewItem*> Pending{Item};
  while (!Pending.empty()) {
    TTreeViewItem* Next = Pending.back();
    Pending.pop_back();
    if (!ItemAlive(Window, &State, Next)) continue;
    Expand(State, Next, TVE_EXPAND, TVC_BYKEYBOARD);
    if (!Alive(Window, &State)) return;
    if (!State.Items.count(Next)) continue;
    for (TTreeViewItem* Child = Next->FirstChild; Child; Child = Child->Next) Pending.push_back(Child);
  }
}

// The edit of a label being edited: Enter keeps the text, Escape drops it, leaving the edit
// keeps it; it grows with its text up to the tree's right edge.
class TTreeLabelEdit : public TEdit {
 public:
  TTreeLabelEdit(HWND Tree) : TEdit(nullptr), FTree(Tree) {}

  void Dispatch(TMessage& Message) override {
    if (Message.Msg == WM_GETDLGCODE) {
      Message.Result = DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
      return;
    }
    TEdit::Dispatch(Message);
    if (Message.Msg == WM_KILLFOCUS)
      if (TTreeViewState* State = StateOf(FTree); State && State->Edit == this) EndEditLabel(*State, false);
  }

 protected:
  void KeyDown(WORD& Key, TShiftState Shift) override {
    TEdit::KeyDown(Key, Shift);
    if (Key != VK_RETURN && Key != VK_ESCAPE) return;
    const bool Cancel = Key == VK_ESCAPE;
    Key = 0;
    if (TTreeViewState* State = StateOf(FTree); State && State->Edit == this) EndEditLabel(*State, Cancel);
  }

  void KeyPress(char32_t& Key) override {
    // Enter and Escape end the edit in KeyDown; their characters would only beep.
    if (Key == U'\r' || Key == U'\x1B') Key = 0;
    TEdit::KeyPress(Key);
  }

  void Change() override {
    TEdit::Change();
    if (TTreeViewState* State = StateOf(FTree); State && State->Edit == this) Fit(*State);
  }

 public:
  void Fit(TTreeViewState& State) {
    SIZE Size{};
    const std::string Current = Text();
    GetTextExtentPoint32A(MeasureDC(State), Current.c_str(), int(Current.size()), &Size);
    const int Right = ClientRectOf(State).right;
    const int Width = std::clamp(int(Size.cx) + 16, 32, std::max<int>(32, Right - Left()));
    SetBounds(Left(), Top(), Width, Height());
  }

 private:
  HWND FTree;
};

}  // namespace

void MouseDown(TTreeViewState& State, UINT Message, WPARAM Keys, POINT Point) {
  HWND Window = State.Window;
  KillTimer(Window, EditTimerId);
  State.PendingEdit = nullptr;
  if (State.Edit) {
    EndEditLabel(State, false);
    if (!Alive(Window, &State)) return;
  }
  if (GetFocus() != Window) {
    SetFocus(Window);
    if (!Alive(Window, &State)) return;
  }
  TTreeViewItem* Item = nullptr;
  const UINT Hit = HitTest(State, Point, Item);
  const DWORD Style = StyleOf(State);
  const bool FullRow = (Style & TVS_FULLROWSELECT) != 0;
  const bool OnItem = Item && ((Hit & TVHT_ONITEM) || (FullRow && (Hit & TVHT_ONITEMRIGHT)));

  if (Message == WM_LBUTTONDBLCLK) {
    if (Hit & TVHT_ONITEMBUTTON) {
      Expand(State, Item, TVE_TOGGLE, TVC_BYMOUSE);
      return;
    }
    NMHDR Note{};
    if (SendNotify(State, Note, NM_DBLCLK) || !Alive(Window, &State)) return;
    if (OnItem && State.Items.count(Item)) Expand(State, Item, TVE_TOGGLE, TVC_BYMOUSE);
    return;
  }
  if (Hit & TVHT_ONITEMBUTTON) {
    Expand(State, Item, TVE_TOGGLE, TVC_BYMOUSE);
    return;
  }
  if ((Hit & TVHT_ONITEMSTATEICON) && (Style & TVS_CHECKBOXES)) {
    ToggleCheck(State, Item);
    NMHDR Note{};
    SendNotify(State, Note, NM_CLICK);
    return;
  }
  if (!OnItem) {
    NMHDR Note{};
    SendNotify(State, Note, NM_CLICK);
    return;
  }
  const bool WasSelected = Item == State.Selected;
  const bool Drag = !(Style & TVS_DISABLEDRAGDROP) && DetectDrag(Window, Point, VK_LBUTTON);
  if (!ItemAlive(Window, &State, Item)) return;
  if (Drag) {
    NMTREEVIEWA Note{};
    Note.action = TVC_BYMOUSE;
    Note.itemNew.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    Note.itemNew.hItem = Item;
    Note.itemNew.state = Item->State;
    Note.itemNew.lParam = Item->Param;
    Note.ptDrag = Point;
    SendNotify(State, Note.hdr, TVN_BEGINDRAGA);
    return;
  }
  UserSelect(State, Item, TVC_BYMOUSE);
  if (!Alive(Window, &State)) return;
  NMHDR Note{};
  if (SendNotify(State, Note, NM_CLICK) || !ItemAlive(Window, &State, Item)) return;
  if (WasSelected && (Style & TVS_EDITLABELS) && (Hit & TVHT_ONITEMLABEL) && State.Selected == Item) {
    State.PendingEdit = Item;
    SetTimer(Window, EditTimerId, GetDoubleClickTime(), nullptr);
  }
  (void)Keys;
}

void RightMouseDown(TTreeViewState& State, POINT Point) {
  HWND Window = State.Window;
  if (State.Edit) {
    EndEditLabel(State, false);
    if (!Alive(Window, &State)) return;
  }
  if (GetFocus() != Window) {
    SetFocus(Window);
    if (!Alive(Window, &State)) return;
  }
  TTreeViewItem* Item = nullptr;
  const UINT Hit = HitTest(State, Point, Item);
  // The right button is always followed to its release (which the window takes); only the
  // drag it may start depends on TVS_DISABLEDRAGDROP.
  const bool Moved = DetectDrag(Window, Point, VK_RBUTTON);
  const bool Drag = Moved && Item && (Hit & TVHT_ONITEM) && !(StyleOf(State) & TVS_DISABLEDRAGDROP);
  if (!Alive(Window, &State)) return;
  if (Drag && State.Items.count(Item)) {
    NMTREEVIEWA Note{};
    Note.action = TVC_BYMOUSE;
    Note.itemNew.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    Note.itemNew.hItem = Item;
    Note.itemNew.state = Item->State;
    Note.itemNew.lParam = Item->Param;
    Note.ptDrag = Point;
    SendNotify(State, Note.hdr, TVN_BEGINRDRAGA);
    return;
  }
  NMHDR Note{};
  SendNotify(State, Note, NM_RCLICK);
}

void MouseMove(TTreeViewState& State, POINT Point) {
  if (!(StyleOf(State) & TVS_TRACKSELECT)) return;
  TTreeViewItem* Item = nullptr;
  const UINT Hit = HitTest(State, Point, Item);
  if (!(Hit & TVHT_ONITEM)) Item = nullptr;
  if (Item == State.Hot) return;
  if (State.Hot) InvalidateItem(State, State.Hot);
  State.Hot = Item;
  if (Item) InvalidateItem(State, Item);
}

void KeyDown(TTreeViewState& State, WPARAM Key) {
  HWND Window = State.Window;
  State.SkipChar = false;
  NMTVKEYDOWN Note{};
  Note.wVKey = WORD(Key);
  SendNotify(State, Note.hdr, TVN_KEYDOWN);
  if (!Alive(Window, &State)) return;
  BuildRows(State);
  const DWORD Style = StyleOf(State);
  TTreeViewItem* Current = State.Selected;
  const int Count = int(State.Rows.size());
  if (Count == 0) return;
  const int Row = Current ? Current->Row : -1;
  const int Page = std::max(1, VisibleRowCount(State, false) - 1);
  auto RowItem = [&](int Index) { return State.Rows[size_t(std::clamp(Index, 0, Count - 1))]; };
  TTreeViewItem* Target = nullptr;
  switch (Key) {
    case VK_UP: Target = Row < 0 ? RowItem(0) : RowItem(Row - 1); break;
    case VK_DOWN: Target = Row < 0 ? RowItem(0) : RowItem(Row + 1); break;
    case VK_HOME: Target = RowItem(0); break;
    case VK_END: Target = RowItem(Count - 1); break;
    case VK_PRIOR: Target = RowItem(Row - Page); break;
    case VK_NEXT: Target = RowItem(Row < 0 ? Page : Row + Page); break;
    case VK_LEFT:
      if (!Current) break;
      if (IsExpanded(Current) && HasChildren(State, Current)) Expand(State, Current, TVE_COLLAPSE, TVC_BYKEYBOARD);
      else if (Current->Parent != &State.Root) Target = Current->Parent;
      break;
    case VK_RIGHT:
      if (!Current || !HasChildren(State, Current)) break;
      if (!IsExpanded(Current)) Expand(State, Current, TVE_EXPAND, TVC_BYKEYBOARD);
      else Target = Current->FirstChild;
      break;
    case VK_ADD:
      State.SkipChar = true;
      if (Current) Expand(State, Current, TVE_EXPAND, TVC_BYKEYBOARD);
      break;
    case VK_SUBTRACT:
      State.SkipChar = true;
      if (Current) Expand(State, Current, TVE_COLLAPSE, TVC_BYKEYBOARD);
      break;
    case VK_MULTIPLY:
      State.SkipChar = true;
      if (Current) ExpandAll(State, Current);
      break;
    case VK_SPACE:
      if (Current && (Style & TVS_CHECKBOXES)) ToggleCheck(State, Current);
      break;
    case VK_F2:
      if (Current && (Style & TVS_EDITLABELS)) EditLabel(State, Current);
      break;
    case VK_RETURN: {
      NMHDR Return{};
      SendNotify(State, Return, NM_RETURN);
      break;
    }
    default:
      break;
  }
  if (Target && Alive(Window, &State) && State.Items.count(Target)) UserSelect(State, Target, TVC_BYKEYBOARD);
}

void Char(TTreeViewState& State, WPARAM Code) {
  // The keypad's plus, minus and star were commands, not typing.
  if (State.SkipChar) {
    State.SkipChar = false;
    return;
  }
  if (Code < 0x20 || Code == 0x7F) return;
  if (Code == ' ' && State.Search.empty()) return;  // the space bar steps check boxes
  const uint64_t Now = Clock().TickCount();
  if (Now - State.SearchTick > 1000) State.Search.clear();
  State.SearchTick = Now;
  State.Search += Utf8Encode(char32_t(Code));
  BuildRows(State);
  const int Count = int(State.Rows.size());
  if (Count == 0) return;
  // A first character looks from the item after the selection on; more characters refine the
  // search from the selected item itself.
  const int From = State.Selected && State.Selected->Row >= 0
                       ? State.Selected->Row + (Utf8Length(State.Search) == 1 ? 1 : 0)
                       : 0;
  const std::string Wanted = AnsiUpperCase(State.Search);
  for (int Step = 0; Step < Count; ++Step) {
    TTreeViewItem* Item = State.Rows[size_t((From + Step) % Count)];
    const std::string Text = AnsiUpperCase(TextOf(State, Item));
    if (Text.compare(0, Wanted.size(), Wanted) == 0) {
      if (State.Items.count(Item)) UserSelect(State, Item, TVC_BYKEYBOARD);
      return;
    }
    if (!StateOf(State.Window)) return;
  }
}

void Timer(TTreeViewState& State, UINT_PTR Id) {
  if (Id != EditTimerId) return;
  KillTimer(State.Window, EditTimerId);
  TTreeViewItem* Item = State.PendingEdit;
  State.PendingEdit = nullptr;
  if (Item && State.Items.count(Item) && Item == State.Selected) EditLabel(State, Item);
}

HWND EditLabel(TTreeViewState& State, TTreeViewItem* Item) {
  HWND Window = State.Window;
  if (State.Edit) {
    EndEditLabel(State, false);
    if (!ItemAlive(Window, &State, Item)) return nullptr;
  }
  EnsureVisible(State, Item, false);
  if (!ItemAlive(Window, &State, Item)) return nullptr;
  const std::string Text = TextOf(State, Item);
  RECT Label{};
  if (!TextRect(State, Item, Label)) return nullptr;
  // The edit exists (hidden) while the parent is asked, so that it can look at it.
  auto* Edit = new TTreeLabelEdit(Window);
  Edit->SetAutoSize(false);
  Edit->SetVisible(false);
  Edit->SetParentWindow(Window);
  if (State.Font) Edit->Font()->SetHandle(State.Font);
  Edit->SetText(Text);
  Edit->SetBounds(Label.left, Label.top, Label.right - Label.left, Label.bottom - Label.top);
  Edit->HandleNeeded();
  State.Edit = Edit;
  State.EditItem = Item;
  auto Drop = [&] {
    if (StateOf(Window) == &State && State.Edit == Edit) {
      State.Edit = nullptr;
      State.EditItem = nullptr;
      Edit->Free();
    }
  };
  std::vector<char> Buffer(Text.begin(), Text.end());
  Buffer.push_back(0);
  NMTVDISPINFOA Note{};
  Note.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_TEXT;
  Note.item.hItem = Item;
  Note.item.state = Item->State;
  Note.item.lParam = Item->Param;
  Note.item.pszText = Buffer.data();
  Note.item.cchTextMax = int(Buffer.size());
  if (SendNotify(State, Note.hdr, TVN_BEGINLABELEDITA) || !ItemAlive(Window, &State, Item) || State.Edit != Edit) {
    Drop();
    return nullptr;
  }
  Edit->Fit(State);
  Edit->SetVisible(true);
  HWND EditWindow = Edit->Handle();
  Edit->SelectAll();
  SetFocus(EditWindow);
  return StateOf(Window) == &State && State.Edit == Edit ? EditWindow : nullptr;
}

BOOL EndEditLabel(TTreeViewState& State, bool Cancel) {
  if (!State.Edit || State.EndingEdit) return FALSE;
  HWND Window = State.Window;
  State.EndingEdit = true;
  TEdit* Edit = State.Edit;
  TTreeViewItem* Item = State.EditItem;
  const std::string Text = Edit->Text();
  const bool FocusInEdit = Edit->HandleAllocated() && GetFocus() == Edit->HandleIfAllocated();
  State.Edit = nullptr;
  State.EditItem = nullptr;
  Edit->Hide();
  Edit->Free();
  bool Keep = false;
  if (Item && State.Items.count(Item)) {
    std::vector<char> Buffer(Text.begin(), Text.end());
    Buffer.push_back(0);
    NMTVDISPINFOA Note{};
    Note.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_TEXT;
    Note.item.hItem = Item;
    Note.item.lParam = Item->Param;
    Note.item.pszText = Cancel ? nullptr : Buffer.data();
    Note.item.cchTextMax = int(Buffer.size());
    Keep = SendNotify(State, Note.hdr, TVN_ENDLABELEDITA) != 0 && !Cancel;
    if (!Alive(Window, &State)) return TRUE;
  }
  State.EndingEdit = false;
  if (Keep && State.Items.count(Item)) {
    if (Item->TextCallback) {
      std::vector<char> Buffer(Text.begin(), Text.end());
      Buffer.push_back(0);
      NMTVDISPINFOA Note{};
      Note.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_TEXT;
      Note.item.hItem = Item;
      Note.item.lParam = Item->Param;
      Note.item.pszText = Buffer.data();
      Note.item.cchTextMax = int(Buffer.size());
      SendNotify(State, Note.hdr, TVN_SETDISPINFOA);
      if (!Alive(Window, &State)) return TRUE;
    } else {
      Item->Text = Text;
    }
    if (State.Items.count(Item)) {
      Item->TextWidth = -1;
      UpdateScrollBars(State);
      InvalidateItem(State, Item);
    }
  }
  if (FocusInEdit && IsWindow(Window)) SetFocus(Window);
  return TRUE;
}

}  // namespace treeview
