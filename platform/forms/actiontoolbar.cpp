#include "platform/forms/actiontoolbar.h"

#include <algorithm>

#include "platform/forms/actionmanager.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/menus.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TActionClients)
KORCAM_REGISTER_CLASS(TActionClientLink)
KORCAM_REGISTER_CLASS(TActionClientItem)
KORCAM_REGISTER_CLASS(TActionToolBar)
KORCAM_REGISTER_CLASS(TActionToolButton)

namespace {

constexpr int SeparatorWidth = 8;
constexpr int DropDownWidth = 11;  // the arrow's part of a button with a menu
constexpr int GlyphFrame = 7;      // across a glyph-only button, beyond the glyph
constexpr int CaptionFrame = 12;   // across a caption, beyond its text
constexpr int GlyphGap = 4;        // between a glyph and its caption

// The size of a text in a font, without a window.
SIZE MeasureText(TFont* Font, const std::string& Text) {
  HDC DC = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font->Handle());
  RECT R{0, 0, 0, 0};
  const std::string Measured = Text.empty() ? std::string("Xy") : Text;
  DrawTextA(DC, Measured.c_str(), int(Measured.size()), &R, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(DC, Old);
  DeleteDC(DC);
  return SIZE{Text.empty() ? 0 : R.right - R.left, R.bottom - R.top};
}

// The link of a tool-bar button: the check mark and image as well as what every control follows.
class TToolButtonActionLink : public TControlActionLink {
 public:
  explicit TToolButtonActionLink(TActionToolButton* Button) : TControlActionLink(Button), FButton(Button) {}

  void SetChecked(bool Value) override {
    auto* Action = dynamic_cast<TCustomAction*>(this->Action());
    if (Action && FButton->Checked() == Action->Checked()) FButton->SetChecked(Value);
  }
  void SetImageIndex(int32_t Value) override {
    auto* Action = dynamic_cast<TCustomAction*>(this->Action());
    if (Action && FButton->ImageIndex() == Action->ImageIndex()) FButton->SetImageIndex(Value);
  }
  void SetVisible(bool Value) override {
    // An entry hidden on its own stays hidden whatever its action says.
    if (FButton->Item()->Visible()) TControlActionLink::SetVisible(Value);
  }

 private:
  TActionToolButton* FButton;
};

}  // namespace

// ---- TActionClients --------------------------------------------------------------------------

TActionClients::TActionClients(TPersistent* AOwner) : TOwnedCollection(AOwner, TActionClientItem::StaticClass()) {
  SetPropName("Items");
}

TActionClientItem* TActionClients::Add() {
  return static_cast<TActionClientItem*>(TCollection::Add());
}

TActionClientItem* TActionClients::Items(int Index) const {
  return static_cast<TActionClientItem*>(TCollection::Items(Index));
}

TActionToolBar* TActionClients::ActionBar() const {
  TPersistent* Owner = GetOwner();
  while (auto* Item = dynamic_cast<TActionClientItem*>(Owner)) {
    auto* Collection = Item->Collection();
    if (!Collection) return nullptr;
    Owner = Collection->GetOwner();
  }
  return dynamic_cast<TActionToolBar*>(Owner);
}

void TActionClients::Update(TCollectionItem*) {
  if (TActionToolBar* Bar = ActionBar()) Bar->RebuildButtons();
}

// ---- TActionClientItem -----------------------------------------------------------------------

void TActionClientLink::ActionFreed() {
  // The entry stays, without its action (it shows its own caption now).
  TActionClientItem* Client = FClient;
  Client->FLink.reset();
  if (auto* Clients = dynamic_cast<TActionClients*>(Client->Collection()))
    if (TActionToolBar* Bar = Clients->ActionBar()) Bar->RebuildButtons();
}

TActionClientItem::TActionClientItem(TCollection* Collection)
    : TCollectionItem(Collection), FItems(std::make_unique<TActionClients>(this)) {}

TActionClientItem::~TActionClientItem() = default;

TBasicAction* TActionClientItem::Action() const {
  return FLink ? FLink->Action() : nullptr;
}

void TActionClientItem::SetAction(TBasicAction* Value) {
  if (Value == Action()) return;
  if (!Value) {
    FLink.reset();
  } else {
    if (!FLink) FLink = std::make_unique<TActionClientLink>(this);
    FLink->SetAction(Value);
  }
  Changed(false);
}

void TActionClientItem::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed(false);
}

void TActionClientItem::SetShowCaption(bool Value) {
  if (FShowCaption == Value) return;
  FShowCaption = Value;
  Changed(false);
}

void TActionClientItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed(false);
}

void TActionClientItem::SetItems(TActionClients* Value) {
  FItems->Assign(Value);
}

std::string TActionClientItem::DisplayCaption() const {
  if (auto* Custom = dynamic_cast<TCustomAction*>(Action())) return Custom->Caption();
  return FCaption;
}

std::string TActionClientItem::DisplayName() const {
  const std::string Caption = DisplayCaption();
  return Caption.empty() ? TCollectionItem::DisplayName() : Caption;
}

void TActionClientItem::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TActionClientItem*>(Source);
  if (!Other) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetAction(Other->Action());
  SetCaption(Other->FCaption);
  SetShowCaption(Other->FShowCaption);
  SetVisible(Other->FVisible);
  FItems->Assign(Other->FItems.get());
}

// ---- TActionToolBar --------------------------------------------------------------------------

TActionToolBar::TActionToolBar(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TActionClients>(this)) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  FAlign = alTop;
  FAutoSize = true;
  FImageLink = std::make_unique<TChangeLink>();
  FImageLink->OnChange = TNotifyEvent(this, &TActionToolBar::ImagesChanged);
  SetBounds(0, 0, 150, 29);
}

TActionToolBar::~TActionToolBar() {
  if (FWatchedImages) FWatchedImages->UnRegisterChanges(FImageLink.get());
  if (FActionManager) FActionManager->RemoveActionBar(this);
  FLayingOut = true;  // no layout while the buttons go
  FButtons.clear();
}

void TActionToolBar::BeforeDestruction() {
  if (FDroppedMenu) FDroppedMenu->CloseMenu();
  if (FWatchedImages) FWatchedImages->UnRegisterChanges(FImageLink.get());
  FWatchedImages = nullptr;
  if (FActionManager) FActionManager->RemoveActionBar(this);
  FActionManager = nullptr;
  std::vector<std::unique_ptr<TActionToolButton, TFreeButton>> Old;
  Old.swap(FButtons);
  Old.clear();
  TCustomControl::BeforeDestruction();
}

void TActionToolBar::SetActionManager(TActionManager* Value) {
  if (FActionManager == Value) return;
  if (FActionManager) {
    FActionManager->RemoveActionBar(this);
    FActionManager->RemoveFreeNotification(this);
  }
  FActionManager = Value;
  if (FActionManager) {
    FActionManager->AddActionBar(this);
    FActionManager->FreeNotification(this);
  }
  ManagerChanged();
}

void TActionToolBar::SetItems(TActionClients* Value) {
  FItems->Assign(Value);
}

void TActionToolBar::SetHorzMargin(int32_t Value) {
  if (FHorzMargin == Value) return;
  FHorzMargin = Value;
  LayoutButtons();
}

void TActionToolBar::SetVertMargin(int32_t Value) {
  if (FVertMargin == Value) return;
  FVertMargin = Value;
  LayoutButtons();
}

void TActionToolBar::SetSpacing(int32_t Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  LayoutButtons();
}

void TActionToolBar::TFreeButton::operator()(TActionToolButton* Button) const {
  Button->SetParent(nullptr);
  Button->Free();
}

int TActionToolBar::IndexOfButton(const TActionToolButton* Button) const {
  for (size_t Index = 0; Index < FButtons.size(); ++Index)
    if (FButtons[Index].get() == Button) return int(Index);
  return -1;
}

TCustomImageList* TActionToolBar::Images() const {
  return FActionManager ? FActionManager->Images() : nullptr;
}

TActionToolButton* TActionToolBar::FindButton(const TBasicAction* Action) const {
  for (const auto& Button : FButtons)
    if (Button->Item()->Action() == Action) return Button.get();
  return nullptr;
}

void TActionToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FActionManager) {
    // The manager is going away: forget it without calling it back.
    FActionManager = nullptr;
    if (!ComponentState().Contains(csDestroying)) ManagerChanged();
  }
  if (AComponent == FWatchedImages) {
    FWatchedImages = nullptr;
    if (!ComponentState().Contains(csDestroying)) LayoutButtons();
  }
}

void TActionToolBar::Loaded() {
  TCustomControl::Loaded();
  RebuildButtons();
}

void TActionToolBar::ManagerChanged() {
  WatchImages();
  LayoutButtons();
  Invalidate();
}

void TActionToolBar::WatchImages() {
  TCustomImageList* Wanted = Images();
  if (Wanted == FWatchedImages) return;
  if (FWatchedImages) {
    FWatchedImages->UnRegisterChanges(FImageLink.get());
    FWatchedImages->RemoveFreeNotification(this);
  }
  FWatchedImages = Wanted;
  if (FWatchedImages) {
    FWatchedImages->RegisterChanges(FImageLink.get());
    FWatchedImages->FreeNotification(this);
  }
}

void TActionToolBar::ImagesChanged(TObject*) {
  LayoutButtons();
  Invalidate();
}

void TActionToolBar::RebuildButtons() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (FDroppedMenu) FDroppedMenu->CloseMenu();
  // Out of the list first: a button leaving the bar makes it lay out what is left.
  std::vector<std::unique_ptr<TActionToolButton, TFreeButton>> Old;
  Old.swap(FButtons);
  Old.clear();
  FHotIndex = -1;
  for (int Index = 0; Index < FItems->Count(); ++Index) {
    FButtons.emplace_back(new TActionToolButton(this, FItems->Items(Index)));
  }
  WatchImages();
  LayoutButtons();
  Invalidate();
}

int TActionToolBar::ButtonHeight() {
  int Height = MeasureText(Font(), "").cy + 8;
  if (TCustomImageList* List = Images()) Height = std::max(Height, List->Height() + 6);
  return Height;
}

void TActionToolBar::LayoutButtons() {
  if (FLayingOut || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  FLayingOut = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } Reset{FLayingOut};
  const int Height = ButtonHeight();
  if (FAutoSize && this->Height() != Height + 2 * FVertMargin) SetBounds(Left(), Top(), Width(), Height + 2 * FVertMargin);
  int X = FHorzMargin;
  for (const auto& Button : FButtons) {
    if (!Button->Visible()) continue;
    const int Width = Button->NeededWidth(Height);
    Button->SetBounds(X, FVertMargin, Width, Height);
    X += Width + FSpacing;
  }
}

void TActionToolBar::AlignControls(TControl*, RECT&) {
  // The buttons are the bar's own layout; nothing else lives on a tool bar.
  LayoutButtons();
}

void TActionToolBar::Paint() {
  TCanvas* C = Canvas();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(ClientRect());
}

void TActionToolBar::DropDown(TActionToolButton* Button) {
  if (!Button || !Button->HasDropDown() || FDroppedMenu) return;
  TObjectProtector Protector(this);
  auto Menu = std::make_unique<TPopupMenu>(nullptr);
  TActionClients* Entries = Button->Item()->Items();
  for (int Index = 0; Index < Entries->Count(); ++Index) {
    TActionClientItem* Entry = Entries->Items(Index);
    if (!Entry->Visible()) continue;
    auto* MenuItem = new TMenuItem(Menu.get());
    if (TBasicAction* Action = Entry->Action())
      MenuItem->SetAction(Action);
    else
      MenuItem->SetCaption(Entry->Caption());
    Menu->Items()->Add(MenuItem);
  }
  const POINT Below = Button->ClientToScreen(POINT{0, Button->Height()});
  FDroppedMenu = Menu.get();
  Button->FPressed = true;
  Button->Invalidate();
  struct TEnd {
    TObjectProtector& Protector;
    TActionToolBar* Bar;
    TActionToolButton* Button;
    ~TEnd() {
      if (!Protector.Alive()) return;
      Bar->FDroppedMenu = nullptr;
      // The button may have been rebuilt away by the action the menu ran.
      for (const auto& Each : Bar->FButtons)
        if (Each.get() == Button) {
          Button->FPressed = false;
          Button->Invalidate();
        }
    }
  } End{Protector, this, Button};
  Menu->Popup(Below.x, Below.y);
}

void TActionToolBar::SetHot(int Index) {
  if (Index == FHotIndex) return;
  FHotIndex = Index;
  Invalidate();
}

int TActionToolBar::NextHot(int From, int Step) const {
  const int Count = ButtonCount();
  for (int Tried = 0, Index = From; Tried < Count; ++Tried) {
    Index = (Index + Step + Count) % Count;
    const TActionToolButton* Button = FButtons[size_t(Index)].get();
    if (Button->Visible() && Button->Enabled() && !Button->IsSeparator()) return Index;
  }
  return -1;
}

void TActionToolBar::DoEnter() {
  if (FHotIndex < 0) SetHot(NextHot(-1, 1));
  TCustomControl::DoEnter();
}

void TActionToolBar::DoExit() {
  SetHot(-1);
  TCustomControl::DoExit();
}

void TActionToolBar::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0 || ButtonCount() == 0) return;
  switch (Key) {
    case VK_LEFT:
      SetHot(NextHot(FHotIndex < 0 ? 0 : FHotIndex, -1));
      Key = 0;
      break;
    case VK_RIGHT:
      SetHot(NextHot(FHotIndex < 0 ? -1 : FHotIndex, 1));
      Key = 0;
      break;
    case VK_HOME:
      SetHot(NextHot(-1, 1));
      Key = 0;
      break;
    case VK_END:
      SetHot(NextHot(0, -1));
      Key = 0;
      break;
    case VK_SPACE:
    case VK_RETURN:
    case VK_DOWN:
      if (FHotIndex >= 0 && FHotIndex < ButtonCount()) {
        TActionToolButton* Button = Buttons(FHotIndex);
        Key = 0;
        if (Button->HasDropDown())
          DropDown(Button);
        else if (Key != VK_DOWN)
          Button->Click();
      }
      break;
    default:
      break;
  }
}

void TActionToolBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      return;
    case WM_LBUTTONDOWN:
      // A click on the bar's own background takes no focus: a tool bar keeps out of the way.
      break;
    case CM_FONTCHANGED:
    case CM_SYSCOLORCHANGE:
      TCustomControl::Dispatch(Message);
      LayoutButtons();
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}

// ---- TActionManager --------------------------------------------------------------------------

KORCAM_REGISTER_CLASS(TActionManager)

TActionManager::TActionManager(TComponent* AOwner) : TCustomActionList(AOwner) {}

TActionManager::~TActionManager() = default;

void TActionManager::Change() {
  for (TActionToolBar* Bar : std::vector<TActionToolBar*>(FActionBars)) Bar->ManagerChanged();
  TCustomActionList::Change();
}

void TActionManager::AddActionBar(TActionToolBar* Bar) {
  if (std::find(FActionBars.begin(), FActionBars.end(), Bar) == FActionBars.end()) FActionBars.push_back(Bar);
}

void TActionManager::RemoveActionBar(TActionToolBar* Bar) {
  FActionBars.erase(std::remove(FActionBars.begin(), FActionBars.end(), Bar), FActionBars.end());
}

// ---- TActionToolButton -----------------------------------------------------------------------

TActionToolButton::TActionToolButton(TActionToolBar* Bar, TActionClientItem* Item)
    : TGraphicControl(nullptr), FBar(Bar), FItem(Item) {
  FControlStyle = TControlStyle{csCaptureMouse};
  if (!Item->Visible()) SetVisible(false);
  if (TBasicAction* Action = Item->Action()) {
    SetAction(Action);
  } else {
    SetCaption(Item->Caption());
  }
  if (!Item->Visible()) SetVisible(false);
  SetParent(Bar);
}

TActionToolButton::~TActionToolButton() = default;

std::unique_ptr<TControlActionLink> TActionToolButton::CreateActionLink() {
  return std::make_unique<TToolButtonActionLink>(this);
}

void TActionToolButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TGraphicControl::ActionChange(Sender, CheckDefaults);
  if (auto* Action = dynamic_cast<TCustomAction*>(Sender)) {
    FChecked = Action->Checked();
    FImageIndex = Action->ImageIndex();
  }
}

bool TActionToolButton::IsSeparator() const {
  return FItem->IsSeparator();
}

void TActionToolButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  Invalidate();
}

void TActionToolButton::SetImageIndex(int32_t Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  // A glyph that comes or goes changes the button's width.
  FBar->LayoutButtons();
  Invalidate();
}

TCustomImageList* TActionToolButton::GlyphImages() const {
  TCustomImageList* List = FBar->Images();
  if (!List || FImageIndex < 0 || FImageIndex >= List->Count()) return nullptr;
  return List;
}

bool TActionToolButton::ShowsCaption() const {
  return !GlyphImages() || FItem->ShowCaption();
}

int TActionToolButton::NeededWidth(int ButtonHeight) {
  if (IsSeparator()) return SeparatorWidth;
  int Width = 0;
  TCustomImageList* List = GlyphImages();
  const std::string Text = Caption();
  if (List) Width = List->Width() + GlyphFrame;
  if (ShowsCaption() && !Text.empty()) {
    const int TextWidth = MeasureText(Font(), Text).cx;
    Width = List ? Width - GlyphFrame + GlyphGap + TextWidth + CaptionFrame : TextWidth + CaptionFrame;
  }
  if (Width == 0) Width = ButtonHeight;
  if (HasDropDown()) Width += DropDownWidth;
  return Width;
}

bool TActionToolButton::Inside(int X, int Y) const {
  return X >= 0 && Y >= 0 && X < Width() && Y < Height();
}

void TActionToolButton::Click() {
  if (!Enabled() || IsSeparator()) return;
  TObjectProtector Protector(this);
  if (HasDropDown()) {
    FBar->DropDown(this);
    return;
  }
  TGraphicControl::Click();
}

void TActionToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled() || IsSeparator()) return;
  FTracking = true;
  FPressed = true;
  Invalidate();
}

void TActionToolButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FTracking) return;
  const bool Now = Inside(X, Y);
  if (Now == FPressed) return;
  FPressed = Now;
  Invalidate();
}

void TActionToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FTracking) return;
  FTracking = false;
  FPressed = false;
  Invalidate();
  // The click counts only when the button goes up over the button.
  if (Inside(X, Y)) {
    TObjectProtector Protector(this);
    Click();
  }
}

void TActionToolButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      FHot = true;
      Invalidate();
      break;
    case CM_MOUSELEAVE:
      FHot = false;
      Invalidate();
      break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(Message);
      FBar->LayoutButtons();
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      TGraphicControl::Dispatch(Message);
      FBar->LayoutButtons();
      return;
    default:
      break;
  }
  TGraphicControl::Dispatch(Message);
}

void TActionToolButton::Paint() {
  TCanvas* C = Canvas();
  const RECT R = ClientRect();
  HDC DC = C->Handle();
  if (IsSeparator()) {
    RECT Line{R.left + SeparatorWidth / 2 - 1, R.top + 2, R.left + SeparatorWidth / 2 + 1, R.bottom - 2};
    DrawEdge(DC, &Line, EDGE_ETCHED, BF_LEFT);
    return;
  }
  const bool Active = Enabled() && FBar->Enabled();
  const bool Down = FPressed || FChecked;
  const int Index = FBar->IndexOfButton(this);
  const bool KeyboardHot = FBar->Focused() && Index >= 0 && Index == FBar->HotIndex();
  if (FChecked && !FPressed) {
    // A checked button shows a lighter face, as a button that stays down does.
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnHighlight);
    RECT Face = R;
    InflateRect(&Face, -1, -1);
    C->FillRect(Face);
  }
  if (Down && Active) {
    RECT Edge = R;
    DrawEdge(DC, &Edge, BDR_SUNKENOUTER, BF_RECT);
  } else if ((FHot || KeyboardHot) && Active) {
    RECT Edge = R;
    DrawEdge(DC, &Edge, BDR_RAISEDINNER, BF_RECT);
  }
  const POINT Offset = Down && Active ? POINT{1, 1} : POINT{0, 0};
  RECT Content = R;
  if (HasDropDown()) Content.right -= DropDownWidth;
  int X = Content.left;
  TCustomImageList* List = GlyphImages();
  const std::string Text = Caption();
  const bool WithText = ShowsCaption() && !Text.empty();
  if (List) {
    const int GlyphX = WithText ? Content.left + (GlyphFrame + 1) / 2 : (Content.left + Content.right - List->Width()) / 2;
    const int GlyphY = (R.top + R.bottom - List->Height()) / 2;
    List->Draw(C, GlyphX + Offset.x, GlyphY + Offset.y, FImageIndex, Active);
    X = GlyphX + List->Width() + GlyphGap;
  }
  if (WithText) {
    C->SetFont(Font());
    DC = C->Handle();
    SetBkMode(DC, TRANSPARENT);
    RECT TextRect{List ? X : Content.left, R.top, Content.right, R.bottom};
    OffsetRect(&TextRect, Offset.x, Offset.y);
    const UINT Format = DT_SINGLELINE | DT_VCENTER | (List ? DT_LEFT : DT_CENTER);
    if (Active) {
      SetTextColor(DC, COLORREF(ColorToRGB(Font()->Color())));
      DrawTextA(DC, Text.c_str(), int(Text.size()), &TextRect, Format);
    } else {
      // Disabled text is engraved: a light copy below and right of the shadow-coloured text.
      RECT Light = TextRect;
      OffsetRect(&Light, 1, 1);
      SetTextColor(DC, COLORREF(ColorToRGB(clBtnHighlight)));
      DrawTextA(DC, Text.c_str(), int(Text.size()), &Light, Format);
      SetTextColor(DC, COLORREF(ColorToRGB(clBtnShadow)));
      DrawTextA(DC, Text.c_str(), int(Text.size()), &TextRect, Format);
    }
  }
  if (HasDropDown()) {
    // A small triangle pointing down in the arrow's part.
    const int CenterX = R.right - DropDownWidth / 2 - 1 + Offset.x;
    const int CenterY = (R.top + R.bottom) / 2 + Offset.y;
    C->Pen()->SetColor(Active ? clBtnText : clBtnShadow);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Active ? clBtnText : clBtnShadow);
    C->Polygon({POINT{CenterX - 3, CenterY - 1}, POINT{CenterX + 3, CenterY - 1}, POINT{CenterX, CenterY + 2}});
  }
  if (KeyboardHot) {
    RECT Focus = R;
    InflateRect(&Focus, -3, -3);
    C->DrawFocusRect(Focus);
  }
}
