#include "platform/forms/menus.h"

#include <algorithm>

#include "platform/forms/application.h"
#include "platform/gdi/colors.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/text.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TMenuActionLink)
KORCAM_REGISTER_CLASS(TMenuItem)
KORCAM_REGISTER_CLASS(TPopupMenuWindow)
KORCAM_REGISTER_CLASS(TPopupMenu)

namespace {

constexpr int CheckWidth = 18;   // room at the left for the check mark
constexpr int TextRight = 18;    // room after the caption
constexpr int LineHeight = 8;    // a separator
constexpr int ColumnBar = 4;     // width of the line between columns of a bar break
constexpr int ShortCutGap = 24;  // between a caption and its shortcut

// Measures text without a window.
struct TTextDC {
  explicit TTextDC(HFONT Font) : DC(CreateCompatibleDC(nullptr)) { Old = SelectObject(DC, Font); }
  ~TTextDC() {
    SelectObject(DC, Old);
    DeleteDC(DC);
  }
  TTextDC(const TTextDC&) = delete;
  TTextDC& operator=(const TTextDC&) = delete;
  HDC DC;
  HGDIOBJ Old;
};

// The letter after a single '&' of a caption, lower-cased (0: none).
char32_t AcceleratorOf(const std::string& Caption) {
  const std::u32string Chars = Utf8ToUtf32(Caption);
  for (size_t Index = 0; Index + 1 < Chars.size(); ++Index) {
    if (Chars[Index] != U'&') continue;
    if (Chars[Index + 1] == U'&') {
      ++Index;
      continue;
    }
    return UnicodeToLower(Chars[Index + 1]);
  }
  return 0;
}

}  // namespace

// ---- TMenuItem -------------------------------------------------------------------------------

// ---- TMenuActionLink -------------------------------------------------------------------------

void TMenuActionLink::SetCaption(const std::string& Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->Caption() == Action->Caption()) FClient->SetCaption(Value);
}

void TMenuActionLink::SetChecked(bool Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->Checked() == Action->Checked()) FClient->SetChecked(Value);
}

void TMenuActionLink::SetEnabled(bool Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->Enabled() == Action->Enabled()) FClient->SetEnabled(Value);
}

void TMenuActionLink::SetHint(const std::string& Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->Hint() == Action->Hint()) FClient->SetHint(Value);
}

void TMenuActionLink::SetShortCut(TShortCut Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->ShortCut() == Action->ShortCut()) FClient->SetShortCut(Value);
}

void TMenuActionLink::SetVisible(bool Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->Visible() == Action->Visible()) FClient->SetVisible(Value);
}

void TMenuActionLink::ActionFreed() {
  FClient->FActionLink.reset();
}

// ---- TMenuItem -------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  Clear();
  if (FParent) FParent->Remove(this);
}

TBasicAction* TMenuItem::Action() const {
  return FActionLink ? FActionLink->Action() : nullptr;
}

void TMenuItem::SetAction(TBasicAction* Value) {
  if (Value == Action()) return;
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
  FActionLink->SetAction(Value);
  ActionChange(Value, ComponentState().Contains(csLoading));
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* Source = dynamic_cast<TCustomAction*>(Sender);
  if (!Source) return;
  if (!CheckDefaults || FCaption.empty()) FCaption = Source->Caption();
  if (!CheckDefaults || !FChecked) FChecked = Source->Checked();
  if (!CheckDefaults || FEnabled) FEnabled = Source->Enabled();
  if (!CheckDefaults || FHint.empty()) FHint = Source->Hint();
  if (!CheckDefaults || FShortCut == scNone) FShortCut = Source->ShortCut();
  if (!CheckDefaults || FVisible) FVisible = Source->Visible();
}

void TMenuItem::SetDefault(bool Value) {
  if (FDefault == Value) return;
  if (Value && FParent)
    for (TMenuItem* Sibling : FParent->FItems)
      if (Sibling != this) Sibling->FDefault = false;
  FDefault = Value;
}

TMenuItem* TMenuItem::DefaultItem() const {
  for (TMenuItem* Item : FItems)
    if (Item->FDefault && Item->FVisible && Item->FEnabled) return Item;
  return nullptr;
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (auto* Item = dynamic_cast<TMenuItem*>(Value)) {
    Item->Add(this);
  } else if (auto* Menu = dynamic_cast<TPopupMenu*>(Value)) {
    Menu->Items()->Add(this);
  } else if (Value) {
    throw EComponentError("A menu item can only be placed in a menu or in another menu item");
  }
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TMenuItem* Item : FItems)
    if (Item->Owner() == Root) Proc(Item);
}

void TMenuItem::Loaded() {
  TComponent::Loaded();
  // A default item read from a form clears the others only once they are all there.
  if (FDefault && FParent)
    for (TMenuItem* Sibling : FParent->FItems)
      if (Sibling != this && Sibling->FDefault) Sibling->FDefault = false;
}

void TMenuItem::Add(TMenuItem* Item) {
  Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item || Item == this) return;
  if (Item->FParent) Item->FParent->Remove(Item);
  Index = std::clamp(Index, 0, Count());
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto Found = std::find(FItems.begin(), FItems.end(), Item);
  if (Found == FItems.end()) return;
  FItems.erase(Found);
  Item->FParent = nullptr;
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* Last = FItems.back();
    Remove(Last);
    Last->Free();
  }
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto Found = std::find(FItems.begin(), FItems.end(), Item);
  return Found == FItems.end() ? -1 : int(Found - FItems.begin());
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  TObjectProtector Protector(this);
  if (OnClick)
    OnClick(this);
  else if (FActionLink)
    FActionLink->Execute(this);
}

// ---- the window ------------------------------------------------------------------------------

TPopupMenuWindow::TPopupMenuWindow(TMenuItem* Root) : TCustomControl(nullptr), FRoot(Root) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque};
  FColor = clMenu;
}

TPopupMenuWindow::~TPopupMenuWindow() = default;

void TPopupMenuWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
  Params.WndParent = nullptr;
}

SIZE TPopupMenuWindow::Measure() {
  FEntries.clear();
  FBarColumns.clear();
  TTextDC Text(Font()->Handle());
  TEXTMETRICA Metrics{};
  GetTextMetricsA(Text.DC, &Metrics);
  const int ItemHeight = std::max<int>(Metrics.tmHeight + 6, 18);
  // First pass: columns of entries with their heights and the widest caption of each column.
  struct TColumn {
    int Width = 0;
    bool Bar = false;
    int Height = 0;
  };
  std::vector<TColumn> Columns(1);
  for (int Index = 0; Index < FRoot->Count(); ++Index) {
    TMenuItem* Item = FRoot->Items(Index);
    if (!Item->Visible()) continue;
    if (Item->Break() != mbNone && Columns.back().Height > 0) {
      Columns.emplace_back();
      Columns.back().Bar = Item->Break() == mbBarBreak;
    }
    RECT Size{0, 0, 0, 0};
    const std::string Caption = Item->Caption();
    if (!Item->IsLine()) {
      // The default item is drawn bold, so it is measured bold.
      HGDIOBJ Normal = nullptr;
      if (Item->Default()) Normal = SelectObject(Text.DC, BoldFont());
      DrawTextA(Text.DC, Caption.c_str(), int(Caption.size()), &Size, DT_CALCRECT | DT_SINGLELINE);
      const std::string Keys = ShortCutToText(Item->ShortCut());
      if (!Keys.empty()) {
        RECT KeysSize{0, 0, 0, 0};
        DrawTextA(Text.DC, Keys.c_str(), int(Keys.size()), &KeysSize, DT_CALCRECT | DT_SINGLELINE);
        Size.right += ShortCutGap + (KeysSize.right - KeysSize.left);
      }
      if (Normal) SelectObject(Text.DC, Normal);
    }
    const int Height = Item->IsLine() ? LineHeight : ItemHeight;
    const int Column = int(Columns.size()) - 1;
    FEntries.push_back(TEntry{Item, RECT{0, Columns.back().Height, 0, Columns.back().Height + Height}, Column});
    Columns.back().Height += Height;
    Columns.back().Width = std::max<int>(Columns.back().Width, CheckWidth + (Size.right - Size.left) + TextRight);
  }
  // Second pass: x positions.
  std::vector<int> Left(Columns.size(), 0);
  int X = 0, Height = 0;
  for (size_t Column = 0; Column < Columns.size(); ++Column) {
    if (Columns[Column].Bar) {
      FBarColumns.push_back(X + ColumnBar / 2);
      X += ColumnBar;
    }
    Left[Column] = X;
    X += std::max(Columns[Column].Width, 40);
    Height = std::max(Height, Columns[Column].Height);
  }
  for (TEntry& Entry : FEntries) {
    Entry.Rect.left = Left[size_t(Entry.Column)];
    Entry.Rect.right = Entry.Rect.left + std::max(Columns[size_t(Entry.Column)].Width, 40);
  }
  // The border of the window comes on top.
  return SIZE{std::max(X, 40) + 2, std::max(Height, ItemHeight) + 2};
}

bool TPopupMenuWindow::Selectable(int Index) const {
  if (Index < 0 || Index >= EntryCount()) return false;
  const TMenuItem* Item = FEntries[size_t(Index)].Item;
  return !Item->IsLine() && Item->Enabled();
}

int TPopupMenuWindow::NextSelectable(int Index, int Step) const {
  const int Total = EntryCount();
  if (Total == 0) return -1;
  int Walk = Index < 0 ? (Step > 0 ? -1 : Total) : Index;
  for (int Tried = 0; Tried < Total; ++Tried) {
    Walk = (Walk + Step + Total) % Total;
    if (Selectable(Walk)) return Walk;
  }
  return -1;
}

int TPopupMenuWindow::EntryAt(POINT Pos) const {
  for (int Index = 0; Index < EntryCount(); ++Index)
    if (PtInRect(&FEntries[size_t(Index)].Rect, Pos)) return Index;
  return -1;
}

void TPopupMenuWindow::Highlight(int Index) {
  if (Index == FHighlighted) return;
  FHighlighted = Index;
  // The highlighted item's hint is the application's, for a status bar to show; the window
  // carries it too, since the application takes the hint of the control under the mouse.
  const std::string ItemHint = Index >= 0 ? FEntries[size_t(Index)].Item->Hint() : std::string();
  SetHint(ItemHint);
  if (Application) Application->SetHint(TControl::GetLongHint(ItemHint));
  Invalidate();
}

HFONT TPopupMenuWindow::BoldFont() {
  if (!FBoldFont) {
    FBoldFont = std::make_unique<TFont>();
    FBoldFont->Assign(Font());
    FBoldFont->SetStyle(FBoldFont->Style() + fsBold);
  }
  return FBoldFont->Handle();
}

void TPopupMenuWindow::Finish(TMenuItem* Item) {
  FDone = true;
  FPicked = Item;
}

bool TPopupMenuWindow::HandleKey(const MSG& Message) {
  switch (Message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      switch (Message.wParam) {
        case VK_ESCAPE:
          Finish(nullptr);
          break;
        case VK_UP:
          Highlight(NextSelectable(FHighlighted, -1));
          break;
        case VK_DOWN:
          Highlight(NextSelectable(FHighlighted, 1));
          break;
        case VK_LEFT:
        case VK_RIGHT: {
          // To the nearest selectable entry of the next column, at about the same height.
          if (FHighlighted < 0) break;
          const TEntry& Current = FEntries[size_t(FHighlighted)];
          const int Wanted = Current.Column + (Message.wParam == VK_RIGHT ? 1 : -1);
          int Best = -1, BestDistance = 0;
          for (int Index = 0; Index < EntryCount(); ++Index) {
            if (FEntries[size_t(Index)].Column != Wanted || !Selectable(Index)) continue;
            const int Distance = std::abs(int(FEntries[size_t(Index)].Rect.top - Current.Rect.top));
            if (Best < 0 || Distance < BestDistance) {
              Best = Index;
              BestDistance = Distance;
            }
          }
          if (Best >= 0) Highlight(Best);
          break;
        }
        case VK_RETURN:
          if (Selectable(FHighlighted)) Finish(FEntries[size_t(FHighlighted)].Item);
          break;
        default:
          break;
      }
      return true;
    case WM_CHAR:
    case WM_SYSCHAR: {
      const char32_t Key = UnicodeToLower(char32_t(Message.wParam));
      if (Key < 32) return true;
      for (int Index = 0; Index < EntryCount(); ++Index)
        if (Selectable(Index) && AcceleratorOf(FEntries[size_t(Index)].Item->Caption()) == Key) {
          Finish(FEntries[size_t(Index)].Item);
          break;
        }
      return true;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return true;
    default:
      return false;
  }
}

void TPopupMenuWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_MOUSEMOVE: {
      const int Index = EntryAt(Message.Pos());
      Highlight(Selectable(Index) ? Index : -1);
      break;
    }
    case WM_LBUTTONUP: {
      TCustomControl::Dispatch(Message);
      // A release on an enabled entry picks it; elsewhere inside the menu it stays open.
      const int Index = EntryAt(Message.Pos());
      if (Selectable(Index)) Finish(FEntries[size_t(Index)].Item);
      return;
    }
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}

void TPopupMenuWindow::Paint() {
  TCanvas* C = Canvas();
  C->SetFont(Font());
  HDC DC = C->Handle();
  const RECT Client = ClientRect();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clMenu);
  C->FillRect(Client);
  for (int X : FBarColumns) {
    RECT Bar{X - 1, Client.top + 2, X + 1, Client.bottom - 2};
    DrawEdge(DC, &Bar, EDGE_ETCHED, BF_LEFT);
  }
  SetBkMode(DC, TRANSPARENT);
  for (int Index = 0; Index < EntryCount(); ++Index) {
    const TEntry& Entry = FEntries[size_t(Index)];
    TMenuItem* Item = Entry.Item;
    RECT R = Entry.Rect;
    if (Item->IsLine()) {
      RECT Line{R.left + 2, R.top + LineHeight / 2 - 1, R.right - 2, R.top + LineHeight / 2 + 1};
      DrawEdge(DC, &Line, EDGE_ETCHED, BF_TOP);
      continue;
    }
    const bool Lit = Index == FHighlighted;
    if (Lit) {
      C->Brush()->SetColor(clHighlight);
      C->FillRect(R);
    }
    const TColor TextColor = !Item->Enabled() ? clGrayText : (Lit ? clHighlightText : clMenuText);
    SetTextColor(DC, COLORREF(ColorToRGB(TextColor)));
    if (Item->Checked()) {
      // A check mark drawn with two strokes.
      C->Pen()->SetColor(TextColor);
      C->Pen()->SetWidth(2);
      const int Y = (R.top + R.bottom) / 2;
      C->Polyline({POINT{R.left + 5, Y}, POINT{R.left + 8, Y + 3}, POINT{R.left + 13, Y - 3}});
      C->Pen()->SetWidth(1);
    }
    RECT TextRect{R.left + CheckWidth, R.top, R.right - 4, R.bottom};
    const std::string Caption = Item->Caption();
    // The canvas may have selected its brush again; the caption never paints a background.
    SetBkMode(DC, TRANSPARENT);
    HGDIOBJ Normal = Item->Default() ? SelectObject(DC, BoldFont()) : nullptr;
    DrawTextA(DC, Caption.c_str(), int(Caption.size()), &TextRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    const std::string Keys = ShortCutToText(Item->ShortCut());
    if (!Keys.empty()) {
      RECT KeysRect{TextRect.left, R.top, R.right - TextRight / 2, R.bottom};
      DrawTextA(DC, Keys.c_str(), int(Keys.size()), &KeysRect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    if (Normal) SelectObject(DC, Normal);
  }
}

// ---- TPopupMenu ------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

void TPopupMenu::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (int Index = 0; Index < FItems->Count(); ++Index)
    if (FItems->Items(Index)->Owner() == Root) Proc(FItems->Items(Index));
}

TPopupMenu::~TPopupMenu() {
  CloseMenu();
}

void TPopupMenu::CloseMenu() {
  if (FWindow) FWindow->Finish(nullptr);
}

void TPopupMenu::Popup(int X, int Y) {
  if (FWindow) return;  // already showing
  FPicked = nullptr;
  if (OnPopup) OnPopup(this);
  std::unique_ptr<TPopupMenuWindow> Window = std::make_unique<TPopupMenuWindow>(FItems.get());
  const SIZE Size = Window->Measure();
  if (Window->EntryCount() == 0) return;
  // Where the alignment puts it, then kept on the work area.
  int Left = X;
  if (FAlignment == paRight) Left = X - Size.cx;
  if (FAlignment == paCenter) Left = X - Size.cx / 2;
  int Top = Y;
  RECT Work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
  if (Left + Size.cx > Work.right) Left = Work.right - Size.cx;
  if (Top + Size.cy > Work.bottom) Top = std::max<int>(Y - Size.cy, Work.top);
  Left = std::max<int>(Left, Work.left);
  Top = std::max<int>(Top, Work.top);
  Window->SetBounds(Left, Top, Size.cx, Size.cy);
  HWND Handle = Window->Handle();
  SetWindowPos(Handle, HWND_TOPMOST, Left, Top, Size.cx, Size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FWindow = Window.get();
  // Whatever held the mouse lets it go: the menu tracks it now. It holds the mouse itself, so that
  // a press anywhere, also on another program's window or the desktop, reaches it and closes it
  // (a menu of the tray icon shows while none of the program's windows is under the mouse).
  if (HWND Capture = GetCapture(); Capture && Capture != Handle) SendMessageA(Capture, WM_CANCELMODE, 0, 0);
  SetCapture(Handle);

  try {
    while (!Window->Done()) {
      if (GetCapture() != Handle && IsWindow(Handle)) SetCapture(Handle);
      MSG Message{};
      if (PeekMessageA(&Message, nullptr, 0, 0, PM_NOREMOVE)) {
        const UINT Kind = Message.message;
        const bool IsKey = Kind == WM_KEYDOWN || Kind == WM_KEYUP || Kind == WM_CHAR || Kind == WM_SYSKEYDOWN ||
                           Kind == WM_SYSKEYUP || Kind == WM_SYSCHAR;
        const bool IsPress = Kind == WM_LBUTTONDOWN || Kind == WM_RBUTTONDOWN || Kind == WM_MBUTTONDOWN ||
                             Kind == WM_NCLBUTTONDOWN || Kind == WM_NCRBUTTONDOWN || Kind == WM_LBUTTONDBLCLK;
        if (IsKey) {
          PeekMessageA(&Message, Message.hwnd, Kind, Kind, PM_REMOVE);
          // The characters of the key come back as WM_CHAR for the accelerators.
          TranslateMessage(&Message);
          Window->HandleKey(Message);
          continue;
        }
        if (IsPress && Message.hwnd != Handle) {
          // A press elsewhere closes the menu and is left for its own window.
          Window->Finish(nullptr);
          break;
        }
        if (IsPress && Message.hwnd == Handle && Kind != WM_NCLBUTTONDOWN && Kind != WM_NCRBUTTONDOWN) {
          POINT At{GET_X_LPARAM(Message.lParam), GET_Y_LPARAM(Message.lParam)};
          RECT Client{};
          GetClientRect(Handle, &Client);
          if (!PtInRect(&Client, At)) {
            // Outside the menu: it closes, and the press goes on to the window it was made over.
            PeekMessageA(&Message, Handle, Kind, Kind, PM_REMOVE);
            Window->Finish(nullptr);
            ClientToScreen(Handle, &At);
            ReleaseCapture();
            if (HWND Target = WindowFromPoint(At); Target && Target != Handle) {
              ScreenToClient(Target, &At);
              PostMessageA(Target, Kind, Message.wParam, MAKELPARAM(WORD(int16_t(At.x)), WORD(int16_t(At.y))));
            }
            break;
          }
        }
        if (Kind == WM_QUIT) break;
      }
      if (!Application) break;
      Application->HandleMessage();
    }
  } catch (...) {
    FWindow = nullptr;
    throw;
  }
  FWindow = nullptr;
  if (GetCapture() == Handle) ReleaseCapture();
  if (Application) Application->SetHint("");
  TMenuItem* Picked = Window->Picked();
  if (Handle && IsWindow(Handle)) ShowWindow(Handle, SW_HIDE);
  Window.reset();
  FPicked = Picked;
  if (Picked) Picked->Click();
}
