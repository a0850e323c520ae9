#include "platform/forms/pagecontrol.h"

#include <algorithm>

#include "platform/forms/form.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TTabSheet)
KORCAM_REGISTER_CLASS(TPageControl)

namespace {

constexpr int TabPadding = 12;  // across a tab, beyond its caption
constexpr int FirstTabLeft = 2;
constexpr int ActiveLift = 2;   // the active tab stands this much above the others and wider

SIZE MeasureText(TFont* Font, const std::string& Text) {
  HDC DC = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font->Handle());
  const std::string Measured = Text.empty() ? std::string("Xy") : Text;
  RECT R{0, 0, 0, 0};
  DrawTextA(DC, Measured.c_str(), int(Measured.size()), &R, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(DC, Old);
  DeleteDC(DC);
  return SIZE{Text.empty() ? 0 : R.right - R.left, R.bottom - R.top};
}

}  // namespace

// ---- TTabSheet -------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption};
  // A sheet shows only while it is its control's active page.
  FVisible = false;
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::BeforeDestruction() {
  if (FPageControl) FPageControl->RemovePage(this);
  TWinControl::BeforeDestruction();
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (FPageControl == Value) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(Value);
  if (Value) Value->InsertPage(this);
}

void TTabSheet::SetParentComponent(TComponent* Value) {
  auto* Control = dynamic_cast<TPageControl*>(Value);
  if (Value && !Control) throw EComponentError("A tab sheet can only be placed in a page control");
  SetPageControl(Control);
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  auto& Pages = FPageControl->FPages;
  auto Where = std::find(Pages.begin(), Pages.end(), this);
  return Where == Pages.end() ? -1 : int(Where - Pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
  if (FPageControl) FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  int Index = 0;
  for (TTabSheet* Page : FPageControl->FPages) {
    if (Page == this) return Index;
    if (Page->FTabVisible) ++Index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (FPageControl) FPageControl->TabsChanged();
}

void TTabSheet::Dispatch(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED && FPageControl) FPageControl->TabsChanged();
}

// ---- TPageControl ----------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  FTabStop = true;
  SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
  for (TTabSheet* Page : FPages) Page->FPageControl = nullptr;
  FPages.clear();
}

void TPageControl::BeforeDestruction() {
  // The sheets stay with their owner; they only leave the control.
  for (TTabSheet* Page : FPages) Page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
  TCustomControl::BeforeDestruction();
}

void TPageControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  // The pages in page order (not in the order of their windows).
  for (TTabSheet* Page : FPages)
    if (Page->Owner() == Root) Proc(Page);
}

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  Page->FPageControl = this;
  // A control shows a page: the first one until the program chooses.
  if (!FActivePage) SetActivePage(Page);
  TabsChanged();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto Where = std::find(FPages.begin(), FPages.end(), Page);
  if (Where == FPages.end()) return;
  TTabSheet* Next = Page == FActivePage ? FindNextPage(Page, true, false) : nullptr;
  if (Next == Page) Next = nullptr;
  FPages.erase(std::find(FPages.begin(), FPages.end(), Page));
  Page->FPageControl = nullptr;
  if (Page == FActivePage) {
    FActivePage = nullptr;
    if (!ComponentState().Contains(csDestroying)) SetActivePage(Next);
  }
  if (!ComponentState().Contains(csDestroying)) TabsChanged();
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex) {
  auto Where = std::find(FPages.begin(), FPages.end(), Page);
  if (Where == FPages.end()) return;
  FPages.erase(Where);
  NewIndex = std::clamp(NewIndex, 0, int(FPages.size()));
  FPages.insert(FPages.begin() + NewIndex, Page);
  TabsChanged();
}

TTabSheet* TPageControl::ActivePage() const {
  return FActivePage;
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->FPageControl != this) return;
  if (Page == FActivePage) return;
  TObjectProtector Protector(this);
  TTabSheet* Old = FActivePage;
  TCustomForm* Form = GetParentForm(this);
  const bool FocusInOld = Form && Old && Form->ActiveControl() && Old->ContainsControl(Form->ActiveControl());
  FActivePage = Page;
  if (Page) {
    Page->SetBounds(DisplayRect().left, DisplayRect().top, DisplayRect().right - DisplayRect().left,
                    DisplayRect().bottom - DisplayRect().top);
    Page->BringToFront();
    Page->SetVisible(true);
  }
  if (FocusInOld) {
    // The focus leaves the page that goes (it hears OnExit) for the new page, or the control.
    TWinControl* Target = nullptr;
    if (Page) Target = Page->FindNextControl(nullptr, true, true, false);
    if (Target && Target->CanFocus())
      Target->SetFocus();
    else if (CanFocus())
      SetFocus();
  }
  if (Old && Old != Page && Old->FPageControl == this) {
    Old->SetVisible(false);
    if (Old->OnHide) Old->OnHide(Old);
  }
  if (Page && Page == FActivePage && Page->OnShow) Page->OnShow(Page);
  Invalidate();
}

int TPageControl::ActivePageIndex() const {
  return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value) {
  SetActivePage(Value >= 0 && Value < PageCount() ? FPages[size_t(Value)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const {
  const int Count = PageCount();
  if (Count == 0) return nullptr;
  auto Where = std::find(FPages.begin(), FPages.end(), CurrentPage);
  int Start = Where == FPages.end() ? (GoForward ? Count - 1 : 0) : int(Where - FPages.begin());
  int Index = Start;
  for (int Tried = 0; Tried < Count; ++Tried) {
    Index = GoForward ? (Index + 1) % Count : (Index + Count - 1) % Count;
    TTabSheet* Page = FPages[size_t(Index)];
    if (!CheckTabVisible || Page->TabVisible()) return Page;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* Page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
  if (Page && Page != FActivePage) ChangeActivePage(Page);
}

bool TPageControl::CanChange() {
  bool Allow = true;
  if (OnChanging) OnChanging(this, Allow);
  return Allow;
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (Page == FActivePage) return;
  TObjectProtector Protector(this);
  if (!CanChange() || !Protector.Alive()) return;
  SetActivePage(Page);
  if (Protector.Alive()) Change();
}

void TPageControl::SetTabHeight(int32_t Value) {
  if (FTabHeight == Value) return;
  FTabHeight = std::max(0, Value);
  TabsChanged();
}

void TPageControl::SetTabWidth(int32_t Value) {
  if (FTabWidth == Value) return;
  FTabWidth = std::max(0, Value);
  TabsChanged();
}

void TPageControl::TabsChanged() {
  Realign();
  Invalidate();
}

int TPageControl::TabRowHeight() {
  const bool AnyTab = std::any_of(FPages.begin(), FPages.end(), [](TTabSheet* Page) { return Page->TabVisible(); });
  if (!AnyTab) return 0;
  return FTabHeight > 0 ? FTabHeight : MeasureText(Font(), "").cy + 7;
}

RECT TPageControl::DisplayRect() {
  const RECT Client = ClientRect();
  const int Row = TabRowHeight();
  return RECT{Client.left + 1, Client.top + Row + 1, std::max<int>(Client.right - 1, Client.left + 1),
              std::max<int>(Client.bottom - 1, Client.top + Row + 1)};
}

int TPageControl::TabExtent(TTabSheet* Page) {
  return FTabWidth > 0 ? FTabWidth : MeasureText(Font(), Page->Caption()).cx + TabPadding;
}

RECT TPageControl::TabRect(int PageIndex) {
  if (PageIndex < 0 || PageIndex >= PageCount() || !FPages[size_t(PageIndex)]->TabVisible()) return RECT{0, 0, 0, 0};
  const int Row = TabRowHeight();
  int X = FirstTabLeft;
  for (int Index = 0; Index < PageIndex; ++Index)
    if (FPages[size_t(Index)]->TabVisible()) X += TabExtent(FPages[size_t(Index)]);
  TTabSheet* Page = FPages[size_t(PageIndex)];
  RECT R{X, ActiveLift, X + TabExtent(Page), Row};
  if (Page == FActivePage) R = RECT{R.left - ActiveLift, 0, R.right + ActiveLift, Row + 1};
  return R;
}

TTabSheet* TPageControl::PageAt(POINT Pos) {
  // The active tab first: it overlaps its neighbours.
  if (FActivePage) {
    const RECT R = TabRect(FActivePage->PageIndex());
    if (PtInRect(&R, Pos)) return FActivePage;
  }
  for (int Index = 0; Index < PageCount(); ++Index) {
    const RECT R = TabRect(Index);
    if (PtInRect(&R, Pos)) return FPages[size_t(Index)];
  }
  return nullptr;
}

void TPageControl::AlignControls(TControl* AControl, RECT& Rect) {
  const RECT Display = DisplayRect();
  for (TTabSheet* Page : FPages)
    Page->SetBounds(Display.left, Display.top, Display.right - Display.left, Display.bottom - Display.top);
}

void TPageControl::Loaded() {
  TCustomControl::Loaded();
  for (TTabSheet* Page : FPages) Page->SetVisible(Page == FActivePage);
  TabsChanged();
}

void TPageControl::Paint() {
  TCanvas* C = Canvas();
  const RECT Client = ClientRect();
  const int Row = TabRowHeight();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(Client);
  HDC DC = C->Handle();
  RECT Pane{Client.left, Client.top + Row, Client.right, Client.bottom};
  DrawEdge(DC, &Pane, BDR_RAISEDINNER, BF_RECT);
  if (Row == 0) return;
  C->SetFont(Font());
  // Inactive tabs first; the active one on top, open towards its page.
  auto DrawTab = [&](int Index) {
    TTabSheet* Page = FPages[size_t(Index)];
    RECT R = TabRect(Index);
    const bool Active = Page == FActivePage;
    C->Brush()->SetColor(Color());
    C->FillRect(R);
    DC = C->Handle();
    RECT Edge = R;
    DrawEdge(DC, &Edge, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_RIGHT);
    if (Active) {
      // The active tab's bottom merges with its page: no line beneath it.
      RECT Gap{R.left + 1, Row, R.right - 1, Row + 1};
      C->FillRect(Gap);
    }
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, COLORREF(ColorToRGB(Enabled() ? Font()->Color() : clGrayText)));
    const std::string Text = Page->Caption();
    RECT TextRect{R.left, R.top + (Active ? 0 : 1), R.right, Active ? R.bottom - 1 : R.bottom};
    DrawTextA(DC, Text.c_str(), int(Text.size()), &TextRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (Active && Focused()) {
      RECT Focus = R;
      InflateRect(&Focus, -3, -3);
      C->DrawFocusRect(Focus);
    }
  };
  for (int Index = 0; Index < PageCount(); ++Index)
    if (FPages[size_t(Index)]->TabVisible() && FPages[size_t(Index)] != FActivePage) DrawTab(Index);
  if (FActivePage && FActivePage->TabVisible()) DrawTab(FActivePage->PageIndex());
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TTabSheet* Page = PageAt(POINT{X, Y});
  if (!Page) return;
  TObjectProtector Protector(this);
  if (TabStop() && CanFocus() && !Focused()) SetFocus();
  if (Protector.Alive()) ChangeActivePage(Page);
}

void TPageControl::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_LEFT || Key == VK_RIGHT) {
    SelectNextPage(Key == VK_RIGHT, true);
    Key = 0;
  }
}

void TPageControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      return;
    case CM_DIALOGKEY:
      // Ctrl+Tab and Ctrl+Shift+Tab turn the pages while the focus is anywhere inside.
      if (Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && HandleAllocated() &&
          (Focused() || IsChild(HandleIfAllocated(), GetFocus()))) {
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0, true);
        Message.Result = 1;
        return;
      }
      break;
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(Message);
      TabsChanged();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The active tab's focus rectangle comes and goes.
      Invalidate();
      break;
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}
