// The page panel of an outlook bar, and the icon list: item geometry, hot tracking, clicks, the
// scroll buttons with their auto-repeat, and the off-screen painting.

#include "vcontrols/outlook/vcoutlooklist.h"

#include <algorithm>

#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/scopeexit.h"
#include "platform/user/user.h"
#include "vcontrols/common/vcdraw.h"
#include "vcontrols/common/vcwindows.h"
#include "vcontrols/imaging/vcimager.h"
#include "vcontrols/outlook/vcoutlookbar.h"

KORCAM_REGISTER_CLASS(TvcOutlookPanel)
KORCAM_REGISTER_CLASS(TvcOutlookItemActionLink)
KORCAM_REGISTER_CLASS(TvcOutlookListItem)
KORCAM_REGISTER_CLASS(TvcOutlookListItems)
KORCAM_REGISTER_CLASS(TvcCustomOutlookList)
KORCAM_REGISTER_CLASS(TvcOutlookList)

namespace {

// The auto-repeat timer of a held scroll button.
constexpr UINT_PTR ScrollTimerId = 100;
constexpr int ScrollButtonSize = 15;

bool Contains(const RECT& Rect, int X, int Y) {
  return X >= Rect.left && X < Rect.right && Y >= Rect.top && Y < Rect.bottom;
}

// The imager's working bitmap, computed first when it is empty.
TvcBitmap* ImagerPicture(TvcCustomImager* Imager) {
  TvcBitmap* Picture = Imager->WorkBitmap();
  if (Picture->Empty()) Imager->RefreshEffects();
  return Picture;
}

}  // namespace

// --- TvcOutlookPanel ------------------------------------------------------------------------------

TvcOutlookPanel::TvcOutlookPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FTransparent = true;
}

TvcOutlookPanel::~TvcOutlookPanel() = default;

void TvcOutlookPanel::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (Parent()) Parent()->Invalidate();
}

TvcCustomOutlookBar* TvcOutlookPanel::OutlookBar() const { return dynamic_cast<TvcCustomOutlookBar*>(Parent()); }

void TvcOutlookPanel::AlignControls(TControl* AControl, RECT& Rect) {
  TCustomControl::AlignControls(AControl, Rect);
  // A windowless control is painted by the panel: its new place needs the panel's paint.
  if (AControl && !dynamic_cast<TWinControl*>(AControl)) Invalidate();
}

void TvcOutlookPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CONTROLLISTCHANGE:
      TCustomControl::Dispatch(Message);
      if (!Message.LParam && dynamic_cast<TvcCustomOutlookList*>(reinterpret_cast<TControl*>(Message.WParam)))
        Invalidate();
      return;
    case WM_ERASEBKGND: {
      // An opaque list covers the whole panel: erasing would only flicker.
      for (int Index = 0; Index < ControlCount(); ++Index)
        if (auto* List = dynamic_cast<TvcOutlookList*>(Controls(Index)); List && !List->Transparent()) {
          Message.Result = 1;
          return;
        }
      TvcCustomOutlookBar* Bar = OutlookBar();
      if (!FTransparent || !Bar || !Bar->Imager()) {
        TCustomControl::Dispatch(Message);
        return;
      }
      // Transparent on a bar with a picture: Paint copies the picture, nothing is erased.
      Message.Result = 1;
      return;
    }
    default:
      TCustomControl::Dispatch(Message);
  }
}

void TvcOutlookPanel::Paint() {
  TvcCustomOutlookBar* Bar = OutlookBar();
  TCanvas* C = Canvas();
  if (Bar && FTransparent && Bar->Imager()) {
    // The bar's picture as the bar paints it, and the part of it behind the panel.
    TBitmap Behind;
    Behind.SetSize(Bar->Width(), Bar->Height());
    TvcBitmap* Picture = ImagerPicture(Bar->Imager());
    const RECT Whole{0, 0, Bar->Width(), Bar->Height()};
    if (Bar->Imager()->DrawStyle() == dsTile)
      TileGraphic(Picture, Behind.Canvas(), Whole);
    else
      Behind.Canvas()->StretchDraw(Whole, Picture);
    RECT Target = C->ClipRect();
    RECT Source = Target;
    OffsetRect(&Source, Left(), Top());
    C->CopyRect(Target, Behind.Canvas(), Source);
  }
  if (Parent() && Parent()->HandleAllocated() &&
      (GetWindowLongA(Parent()->HandleIfAllocated(), GWL_STYLE) & WS_CLIPCHILDREN)) {
    // The bar must paint beneath its panels for a transparent panel to show it.
    RemoveClipChildren(Parent());
    Invalidate();
  }
  if (Bar && Bar->IsHandlingPress()) {
    // A slide moves the panel under its children: they repaint over its new background.
    const RECT Painted = C->ClipRect();
    for (int Index = 0; Index < ControlCount(); ++Index) {
      auto* Windowed = dynamic_cast<TWinControl*>(Controls(Index));
      if (!Windowed || !Windowed->HandleAllocated()) continue;
      const RECT Bounds = Windowed->BoundsRect();
      RECT Overlap{};
      if (!IntersectRect(&Overlap, &Bounds, &Painted)) continue;
      OffsetRect(&Overlap, -Bounds.left, -Bounds.top);
      InvalidateRect(Windowed->HandleIfAllocated(), &Overlap, FALSE);
    }
  }
}

// --- TvcOutlookItemActionLink ---------------------------------------------------------------------

void TvcOutlookItemActionLink::SetCaption(const std::string& Value) {
  // Called before the action stores the new caption: the item takes the value given.
  if (FClient && dynamic_cast<TCustomAction*>(Action())) FClient->SetText(Value);
}

void TvcOutlookItemActionLink::ActionFreed() {
  if (FClient) FClient->ActionFreed();
}

// --- TvcOutlookListItem ---------------------------------------------------------------------------

TvcOutlookListItem::TvcOutlookListItem(TCollection* Collection) : TvcCollectionItem(Collection) {}

TvcOutlookListItem::~TvcOutlookListItem() {
  if (TvcCustomOutlookList* List = OutlookList(); List && List->FTopItem == this) List->FTopItem = nullptr;
  FActionLink.reset();
}

TvcCustomOutlookList* TvcOutlookListItem::OutlookList() const {
  auto* Items = dynamic_cast<TvcOutlookListItems*>(Collection());
  return Items ? Items->OutlookList() : nullptr;
}

std::string TvcOutlookListItem::DisplayName() const {
  return FText.empty() ? TvcCollectionItem::DisplayName() : FText;
}

void TvcOutlookListItem::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TvcOutlookListItem*>(Source);
  if (!Other) {
    TvcCollectionItem::Assign(Source);
    return;
  }
  FGlyphOffset = Other->FGlyphOffset;
  FImageIndex = Other->FImageIndex;
  FSeparation = Other->FSeparation;
  FTag = Other->FTag;
  FText = Other->FText;
  FTextAlignment = Other->FTextAlignment;
  OnClick = Other->OnClick;
  SetAction(Other->Action());
  InvalidateItem(true);
}

TBasicAction* TvcOutlookListItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TvcOutlookListItem::SetAction(TBasicAction* Value) {
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TvcOutlookItemActionLink>(this);
  FActionLink->SetAction(Value);
  // Read from a form, the item's own text wins over the action's.
  ActionChange(Value, Value->ComponentState().Contains(csLoading));
  if (TvcCustomOutlookList* List = OutlookList()) Value->FreeNotification(List);
}

void TvcOutlookListItem::ActionFreed() { FActionLink.reset(); }

void TvcOutlookListItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* Action = dynamic_cast<TCustomAction*>(Sender);
  if (!Action) return;
  if (!CheckDefaults || FText.empty()) SetText(Action->Caption());
}

bool TvcOutlookListItem::Selected() const {
  TvcCustomOutlookList* List = OutlookList();
  return FSelected && List && List->ClickStyle() != csClick;
}

void TvcOutlookListItem::SetSelected(bool Value) {
  if (FSelected == Value) return;
  if (Value)
    if (TvcCustomOutlookList* List = OutlookList())
      for (int Index = 0; Index < List->Items()->Count(); ++Index)
        if (TvcOutlookListItem* Other = List->Items()->Items(Index); Other != this) Other->SetSelected(false);
  FSelected = Value;
  InvalidateItem(!Value);
}

void TvcOutlookListItem::SetText(const std::string& Value) {
  if (FText == Value) return;
  FText = Value;
  DoItemNotify();
  InvalidateItem(true);
}

void TvcOutlookListItem::SetTextAlignment(TAlignment Value) {
  if (FTextAlignment == Value) return;
  FTextAlignment = Value;
  DoItemNotify();
  InvalidateItem(true);
}

void TvcOutlookListItem::SetGlyphOffset(int32_t Value) {
  if (FGlyphOffset == Value) return;
  FGlyphOffset = Value;
  DoItemNotify();
  InvalidateItem(true);
}

void TvcOutlookListItem::SetImageIndex(int32_t Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  InvalidateItem(true);
}

void TvcOutlookListItem::SetSeparation(int32_t Value) {
  if (FSeparation == Value) return;
  FSeparation = Value;
  InvalidateItem(true);
}

void TvcOutlookListItem::SetPressed(bool Value) {
  if (FPressed == Value) return;
  FPressed = Value;
  if (!Selected()) InvalidateItem(false);
}

void TvcOutlookListItem::SetHot(bool Value) {
  TvcCustomOutlookList* List = OutlookList();
  if (!List || List->ComponentState().Contains(csDesigning)) return;
  if (FHot == Value) {
    if (Value && List->HandleAllocated() && GetCapture() != List->HandleIfAllocated())
      SetCapture(List->HandleIfAllocated());
    return;
  }
  FHot = Value;
  if (!Value) FPressed = false;
  InvalidateItem(false);
  // Holding the mouse tells the list when the pointer leaves it.
  if (Value && List->HandleAllocated()) SetCapture(List->HandleIfAllocated());
}

bool TvcOutlookListItem::IsDown() const { return (FHot && FPressed) || Selected(); }

bool TvcOutlookListItem::IsVisible(bool Fully) const {
  TvcCustomOutlookList* List = OutlookList();
  TvcOutlookListItem* Top = List ? List->TopItem() : nullptr;
  TvcOutlookListItem* Last = List ? List->LastVisibleItem() : nullptr;
  if (!Top || !Last || Index() < Top->Index() || Index() > Last->Index()) return false;
  if (!Fully) return true;
  RECT Item{}, Caption{}, Glyph{};
  if (!List->ItemRects(this, Item, Caption, Glyph)) return false;
  return List->Width() >= Item.right && List->Height() >= Item.bottom;
}

int32_t TvcOutlookListItem::Extent() const {
  TvcCustomOutlookList* List = OutlookList();
  if (!List) return 0;
  const SIZE Size = List->ItemSize(this);
  return List->Layout() == loVertical ? Size.cy : Size.cx;
}

void TvcOutlookListItem::InvalidateItem(bool Erase) {
  TvcCustomOutlookList* List = OutlookList();
  if (!List || !List->HandleAllocated()) return;
  RECT Item{}, Caption{}, Glyph{};
  if (!List->ItemRects(this, Item, Caption, Glyph)) return;
  Item.top -= 1;
  InvalidateRect(List->HandleIfAllocated(), &Item, Erase ? TRUE : FALSE);
}

void TvcOutlookListItem::Paint() {
  TvcCustomOutlookList* List = OutlookList();
  if (!List) return;
  TCanvas* C = List->DrawCanvas();
  RECT Item{}, Caption{}, Glyph{};
  if (!List->ItemRects(this, Item, Caption, Glyph)) return;
  FItemRect = Item;
  const bool WholeItem = !List->IconHitMode();
  const bool Down = IsDown();
  const SIZE ImageSize = List->ImageSize();
  const bool HasImages = List->Images() != nullptr;
  TColor TextColor = List->Font()->Color();
  if ((FHot && WholeItem) || Selected()) TextColor = List->HotTextColor();
  if (WholeItem && Down) OffsetRect(&Caption, 1, 1);

  // Left and right icon layouts with an offset place the icon from the item's edge.
  const TButtonLayout Layout = List->ItemLayout();
  const bool SideLayout = Layout == blGlyphLeft || Layout == blGlyphRight;
  const int Shift = WholeItem && Down ? 1 : 0;
  POINT GlyphPos{Glyph.left, Glyph.top};
  POINT TextPos{Caption.left, Caption.top};
  if (FGlyphOffset > 0 && HasImages && SideLayout) {
    if (Layout == blGlyphLeft) {
      TextPos.x = Item.left + ImageSize.cx + FGlyphOffset + FSeparation + 4 + Shift;
      GlyphPos.x = Item.left + FGlyphOffset;
    } else {
      TextPos.x = Item.left + 3 + Shift;
      GlyphPos.x = Item.right - ImageSize.cx - FGlyphOffset - 1;
    }
  }
  bool DefaultDrawing = true;
  List->DoDrawItem(this, GlyphPos, TextPos, DefaultDrawing);
  OffsetRect(&Glyph, GlyphPos.x - Glyph.left, GlyphPos.y - Glyph.top);
  OffsetRect(&Caption, TextPos.x - Caption.left, TextPos.y - Caption.top);
  RECT HitGlyph = Glyph;
  InflateRect(&HitGlyph, 2, 2);
  const bool Vertical = List->Layout() == loVertical;
  if (WholeItem)
    FHitRect = Item;
  else if (Vertical)
    UnionRect(&FHitRect, &HitGlyph, &Caption);
  if (!DefaultDrawing) {
    if (!WholeItem && !Vertical) UnionRect(&FHitRect, &HitGlyph, &Caption);
    return;
  }

  PaintGlyph(HitGlyph);

  if (FGlyphOffset > 0 && SideLayout) {
    Caption.left = Item.left + 3;
    Caption.right = Item.right - 4;
    if (HasImages) {
      if (Layout == blGlyphRight)
        Caption.right = Glyph.left - FSeparation;
      else
        Caption.left = Glyph.right + FSeparation;
    }
    if (WholeItem && Down) OffsetRect(&Caption, 1, 0);
  }
  if (!WholeItem && !Vertical) UnionRect(&FHitRect, &HitGlyph, &Caption);
  UINT Format = DT_WORDBREAK | DT_END_ELLIPSIS;
  Format |= FTextAlignment == taLeftJustify ? DT_LEFT : FTextAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
  C->Font()->Assign(List->Font());
  C->Font()->SetColor(TextColor);
  C->Brush()->SetStyle(bsClear);
  HDC DC = C->Handle();
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, ColorToRGB(TextColor));
  DrawTextA(DC, FText.c_str(), int(FText.size()), &Caption, Format);
}

void TvcOutlookListItem::PaintGlyph(const RECT& Rect) {
  TvcCustomOutlookList* List = OutlookList();
  if (!List) return;
  TCanvas* C = List->DrawCanvas();
  const bool WholeItem = !List->IconHitMode();
  const bool Down = IsDown();
  // The frame goes round the icon (Rect, inflated), or round the whole hit area.
  RECT Frame = WholeItem ? FHitRect : Rect;
  const TColor Dither = List->ItemSelectedDitherColor();
  const TColor HotFill = List->ItemHotTrackColor();
  if (Selected() && Dither != clNone) {
    DitherFill(C, Frame, List->Color(), Dither);
  } else if (FHot && HotFill != List->Color() && HotFill != clNone) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(HotFill);
    C->FillRect(Frame);
  }
  if (Selected() || (FHot && Down)) {
    RECT Edge = Frame;
    Frame3D(C, Edge, List->ItemShadowColor(), List->ItemHighlightColor(), 1);
  } else if (FHot) {
    RECT Edge = Frame;
    Frame3D(C, Edge, List->ItemHighlightColor(), List->ItemShadowColor(), 1);
  }
  if (TCustomImageList* Images = List->Images()) {
    // Rect is the icon's rectangle inflated by 2: the icon is centred in the icon itself.
    RECT Glyph = Rect;
    InflateRect(&Glyph, -2, -2);
    const SIZE Size = List->ImageSize();
    int X = Glyph.left + (Glyph.right - Glyph.left) / 2 - Size.cx / 2;
    int Y = Glyph.top + (Glyph.bottom - Glyph.top) / 2 - Size.cy / 2;
    if (WholeItem && Down) ++X, ++Y;
    if (FImageIndex >= 0 && FImageIndex < Images->Count()) Images->Draw(C, X, Y, FImageIndex, true);
  }
  // The scroll buttons lie over the first and last item: they are drawn again on top.
  if (this == List->TopItem()) List->PaintScrollButton(sbUpLeft);
  if (this == List->LastVisibleItem()) List->PaintScrollButton(sbDownRight);
}

// --- TvcOutlookListItems --------------------------------------------------------------------------

TvcOutlookListItems::TvcOutlookListItems(TvcCustomOutlookList* List)
    : TvcCollection(TvcOutlookListItem::StaticClass()), FList(List) {}

TvcOutlookListItem* TvcOutlookListItems::Add() { return static_cast<TvcOutlookListItem*>(TvcCollection::Add()); }

TPersistent* TvcOutlookListItems::GetOwner() const { return FList; }

void TvcOutlookListItems::Update(TCollectionItem* Item) {
  TvcCollection::Update(Item);
  if (FList) FList->Invalidate();
}

// --- TvcCustomOutlookList -------------------------------------------------------------------------

TvcCustomOutlookList::TvcCustomOutlookList(TComponent* AOwner) : TvcOutlookPanel(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FControlStyle.Include(csReflector);
  FControlStyle.Exclude(csCaptureMouse);
  SetParentColor(false);
  SetColor(clBtnShadow);
  FBorderStyle = bsSingle;
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->OnChange = TNotifyEvent([this](TObject* Sender) { ImagesChanged(Sender); });
  FItems = std::make_unique<TvcOutlookListItems>(this);
  FItems->SetPropName("Items");
  FBitmap = std::make_unique<TBitmap>();
  FBitmap->SetSize(Width(), Height());
  FItemHotTrackColor = Color();
  SetParentFont(false);
  Font()->SetColor(TColor(0xFFFFFF));
  FTransparent = false;
}

TvcCustomOutlookList::~TvcCustomOutlookList() {
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  // The items go first: an item that goes clears the top item it leaves behind.
  FItems.reset();
  FImageChangeLink.reset();
  FBitmap.reset();
}

void TvcCustomOutlookList::CreateParams(TCreateParams& Params) {
  TvcOutlookPanel::CreateParams(Params);
  if (FBorderStyle == bsSingle) {
    Params.Style &= ~DWORD(WS_BORDER);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  }
}

void TvcCustomOutlookList::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TvcCustomOutlookList::SetHotTrackStyle(TvcOutlookHotTrackStyle Value) {
  if (FHotTrackStyle == Value) return;
  FHotTrackStyle = Value;
  Invalidate();
}

void TvcCustomOutlookList::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImages = Value;
  if (Value) {
    Value->RegisterChanges(FImageChangeLink.get());
    Value->FreeNotification(this);
  }
  Invalidate();
}

void TvcCustomOutlookList::SetItemLayout(TButtonLayout Value) {
  if (FItemLayout == Value) return;
  FItemLayout = Value;
  Invalidate();
}

void TvcCustomOutlookList::SetItemHighlightColor(TColor Value) {
  if (FItemHighlightColor == Value) return;
  FItemHighlightColor = Value;
  Invalidate();
}

void TvcCustomOutlookList::SetItemHotTrackColor(TColor Value) {
  if (FItemHotTrackColor == Value) return;
  FItemHotTrackColor = Value;
  Invalidate();
}

void TvcCustomOutlookList::SetItemShadowColor(TColor Value) {
  if (FItemShadowColor == Value) return;
  FItemShadowColor = Value;
  Invalidate();
}

void TvcCustomOutlookList::SetItemSelectedDitherColor(TColor Value) {
  if (FItemSelectedDitherColor == Value) return;
  FItemSelectedDitherColor = Value;
  Invalidate();
}

void TvcCustomOutlookList::SetItemSpacing(int32_t Value) {
  if (Value % 2 != 0) ++Value;
  if (FItemSpacing == Value) return;
  FItemSpacing = Value;
  Invalidate();
}

void TvcCustomOutlookList::SetItemsWidth(int32_t Value) {
  if (FItemsWidth == Value) return;
  FItemsWidth = Value;
  Invalidate();
}

void TvcCustomOutlookList::SetLayout(TvcLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  CalcScrollButtonRects();
  Invalidate();
}

void TvcCustomOutlookList::SetScrollButtonsVisible(bool Value) {
  if (FScrollButtonsVisible == Value) return;
  FScrollButtonsVisible = Value;
  Invalidate();
}

// --- geometry ---

TvcOutlookListItem* TvcCustomOutlookList::TopItem() const {
  if (FTopItem) return FTopItem;
  return FItems && FItems->Count() > 0 ? FItems->Items(0) : nullptr;
}

TvcOutlookListItem* TvcCustomOutlookList::LastVisibleItem() const {
  TvcOutlookListItem* Top = TopItem();
  if (!Top) return nullptr;
  const RECT Client = ClientRect();
  const int Room = FLayout == loVertical ? Client.bottom - Client.top : Client.right - Client.left;
  int Sum = 0;
  for (int Index = Top->Index(); Index < FItems->Count(); ++Index) {
    Sum += FItems->Items(Index)->Extent();
    if (Sum > Room) return FItems->Items(Index);
  }
  return FItems->Items(FItems->Count() - 1);
}

SIZE TvcCustomOutlookList::ImageSize() const {
  return FImages ? SIZE{FImages->Width(), FImages->Height()} : SIZE{0, 0};
}

bool TvcCustomOutlookList::IconHitMode() const { return FHotTrackStyle == hsIconHilite && FImages; }

SIZE TvcCustomOutlookList::ItemSize(const TvcOutlookListItem* Item) const {
  TCanvas* C = DrawCanvas();
  C->Font()->Assign(Font());
  SIZE Size = C->TextExtent(Item->Text());
  if (FLayout == loVertical)
    Size.cy += FItemSpacing;
  else
    Size.cx += FItemSpacing;
  if (FImages) {
    const SIZE Image = ImageSize();
    if (FItemLayout == blGlyphLeft || FItemLayout == blGlyphRight)
      Size.cx += Image.cx + Item->GlyphOffset() + Item->Separation() + 8;
    else
      Size.cy += Image.cy + Item->Separation();
  }
  if (FLayout == loHorizontal && FItemsWidth > 0) Size.cx = FItemsWidth;
  return Size;
}

bool TvcCustomOutlookList::ItemRects(const TvcOutlookListItem* Item, RECT& ItemRect, RECT& CaptionRect,
                                     RECT& GlyphRect) const {
  TvcOutlookListItem* Top = TopItem();
  TvcOutlookListItem* Last = LastVisibleItem();
  if (!Item || !Top || !Last || Item->Index() < Top->Index() || Item->Index() > Last->Index()) return false;
  int Offset = 0;
  for (int Index = Top->Index(); Index < Item->Index(); ++Index) Offset += FItems->Items(Index)->Extent();
  const SIZE Size = ItemSize(Item);
  const RECT Client = ClientRect();
  ItemRect = FLayout == loVertical ? RECT{0, Offset, Client.right, Offset + Size.cy}
                                   : RECT{Offset, 0, Offset + Size.cx, Client.bottom};
  const SIZE Image = ImageSize();
  RECT Measure = ItemRect;
  if (FItemLayout == blGlyphLeft && FImages) Measure.left += Image.cx + Item->GlyphOffset() + Item->Separation() + 4;
  TCanvas* C = DrawCanvas();
  C->Font()->Assign(Font());
  const std::string& Text = Item->Text();
  DrawTextA(C->Handle(), Text.c_str(), int(Text.size()), &Measure, DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_END_ELLIPSIS);
  const SIZE CaptionSize{Measure.right - Measure.left, Measure.bottom - Measure.top};
  const POINT Center{(ItemRect.left + ItemRect.right) / 2, (ItemRect.top + ItemRect.bottom) / 2};
  CalcGlyphTextLayout(Center, &CaptionRect, &GlyphRect, CaptionSize, Image, int32_t(FItemLayout), Item->Separation());
  return true;
}

void TvcCustomOutlookList::CalcItemRects() {
  const bool WholeItem = !IconHitMode();
  for (int Index = 0; Index < FItems->Count(); ++Index) {
    TvcOutlookListItem* Item = FItems->Items(Index);
    RECT Whole{}, Caption{}, Glyph{};
    if (!ItemRects(Item, Whole, Caption, Glyph)) {
      Item->FItemRect = Item->FHitRect = RECT{};
      continue;
    }
    Item->FItemRect = Whole;
    InflateRect(&Glyph, 2, 2);
    Item->FHitRect = WholeItem ? Whole : Glyph;
  }
}

void TvcCustomOutlookList::CalcScrollButtonRects() {
  const int W = Width(), H = Height();
  if (FLayout == loVertical) {
    FUpRect = RECT{W - 25, 10, W - 10, 25};
    FDownRect = RECT{W - 25, H - 25, W - 10, H - 10};
  } else {
    FUpRect = RECT{10, 10, 25, 25};
    FDownRect = RECT{W - 25, 10, W - 10, 25};
  }
}

TvcScrollButton TvcCustomOutlookList::ButtonAt(int X, int Y) const {
  if (Contains(FUpRect, X, Y)) return sbUpLeft;
  if (Contains(FDownRect, X, Y)) return sbDownRight;
  return sbNone;
}

bool TvcCustomOutlookList::CanScroll(TvcScrollButton Button) const {
  TvcOutlookListItem* Top = TopItem();
  if (!Top) return false;
  if (Button == sbUpLeft) return Top->Index() > 0;
  if (Button != sbDownRight) return false;
  TvcOutlookListItem* Last = LastVisibleItem();
  if (Last != Top && !Last->IsVisible(true)) Last = FItems->Items(Last->Index() - 1);
  return Last->Index() < FItems->Count() - 1;
}

void TvcCustomOutlookList::Scroll() {
  TvcOutlookListItem* Top = TopItem();
  if (!Top) return;
  if (FPressedButton == sbUpLeft && Top->Index() > 0)
    FTopItem = FItems->Items(Top->Index() - 1);
  else if (FPressedButton == sbDownRight && Top->Index() < FItems->Count() - 1)
    FTopItem = FItems->Items(Top->Index() + 1);
  else
    return;
  Invalidate();
  CalcItemRects();
  UpdateHotItems();
}

TvcOutlookListItem* TvcCustomOutlookList::ItemAtPoint(int X, int Y) const {
  for (int Index = 0; Index < FItems->Count(); ++Index) {
    TvcOutlookListItem* Item = FItems->Items(Index);
    if (!Item->IsVisible(true)) continue;
    RECT Whole{}, Caption{}, Glyph{};
    if (ItemRects(Item, Whole, Caption, Glyph) && Contains(Whole, X, Y)) return Item;
  }
  return nullptr;
}

// --- events ---

void TvcCustomOutlookList::DoDrawItem(TvcOutlookListItem* Item, POINT& GlyphPos, POINT& TextPos, bool& DefaultDrawing) {
  if (OnDrawItem) OnDrawItem(this, Item, GlyphPos, TextPos, DefaultDrawing);
}

void TvcCustomOutlookList::ImagesChanged(TObject*) { Invalidate(); }

void TvcCustomOutlookList::InvalidateScrollButton(TvcScrollButton Button) {
  if (!HandleAllocated() || Button == sbNone) return;
  const RECT Rect = ScrollButtonRect(Button);
  InvalidateRect(HandleIfAllocated(), &Rect, FALSE);
}

void TvcCustomOutlookList::ItemClicked(TvcOutlookListItem* Item) {
  TObjectProtector Protector(this);
  if (FClickStyle == csSelect && !Item->Selected()) {
    Item->SetSelected(true);
    if (OnItemChange) OnItemChange(this, Item);
  }
  if (OnItemClick) OnItemClick(this, Item);
  if (Item->OnClick) Item->OnClick(this, Item);
  if (TBasicAction* Action = Item->Action(); Action && Action->OnExecute) Action->OnExecute(Item);
  UpdateHotItems();
}

void TvcCustomOutlookList::UpdateHotItems() {
  if (!HandleAllocated()) return;
  POINT Cursor{};
  GetCursorPos(&Cursor);
  Cursor = ScreenToClient(Cursor);
  for (int Index = 0; Index < FItems->Count(); ++Index) {
    TvcOutlookListItem* Item = FItems->Items(Index);
    if (!Item->IsVisible(false)) continue;
    Item->SetHot(Contains(Item->FHitRect, Cursor.x, Cursor.y));
  }
}

// --- mouse ---

void TvcCustomOutlookList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvcOutlookPanel::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TvcScrollButton Scroller = ButtonAt(X, Y);
  if (Scroller != sbNone && CanScroll(Scroller)) {
    FPressedButton = Scroller;
    FPreviousCapture = GetCapture();
    SetCapture(Handle());
    InvalidateScrollButton(Scroller);
    // The first step comes after one interval (or when the button is released inside).
    SetTimer(Handle(), ScrollTimerId, UINT(std::max(1, FScrollInterval)), nullptr);
    return;
  }
  for (int Index = 0; Index < FItems->Count(); ++Index) {
    TvcOutlookListItem* Item = FItems->Items(Index);
    if (Item->IsVisible(false) && Contains(Item->FHitRect, X, Y)) {
      Item->SetPressed(true);
      break;
    }
  }
}

void TvcCustomOutlookList::MouseMove(TShiftState Shift, int X, int Y) {
  TvcOutlookPanel::MouseMove(Shift, X, Y);
  POINT Screen{};
  GetCursorPos(&Screen);
  const bool UnderCursor = WindowFromPoint(Screen) == HandleIfAllocated();
  const bool Inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
  bool AnyHot = false;
  for (int Index = 0; Index < FItems->Count(); ++Index) {
    TvcOutlookListItem* Item = FItems->Items(Index);
    if (!Item->IsVisible(false)) continue;
    const bool Hot = UnderCursor && Inside && Contains(Item->FHitRect, X, Y);
    Item->SetHot(Hot);
    AnyHot = AnyHot || Hot;
  }
  // A held scroll button keeps the mouse until it is released.
  if (!AnyHot && FPressedButton == sbNone && HandleAllocated() && GetCapture() == HandleIfAllocated())
    ReleaseCapture();
  const TvcScrollButton Hot = ButtonAt(X, Y);
  if (Hot != FHotButton) {
    const TvcScrollButton Old = FHotButton;
    FHotButton = Hot;
    if (Hot == sbNone || CanScroll(Hot)) {
      InvalidateScrollButton(Old);
      InvalidateScrollButton(Hot);
    }
  }
}

void TvcCustomOutlookList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvcOutlookPanel::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TObjectProtector Protector(this);
  std::vector<TvcOutlookListItem*> Clicked;
  for (int Index = 0; Index < FItems->Count(); ++Index) {
    TvcOutlookListItem* Item = FItems->Items(Index);
    if (!Item->IsVisible(false)) continue;
    if (Item->FPressed && Contains(Item->FHitRect, X, Y)) Clicked.push_back(Item);
    Item->SetPressed(false);
  }
  for (TvcOutlookListItem* Item : Clicked) ItemClicked(Item);
  if (FPressedButton == sbNone) return;
  if (ButtonAt(X, Y) == FPressedButton && CanScroll(FPressedButton)) Scroll();
  const TvcScrollButton Released = FPressedButton;
  FPressedButton = sbNone;
  if (HandleAllocated()) KillTimer(HandleIfAllocated(), ScrollTimerId);
  ReleaseCapture();
  if (FPreviousCapture && IsWindow(FPreviousCapture)) SetCapture(FPreviousCapture);
  FPreviousCapture = nullptr;
  InvalidateScrollButton(Released);
}

// --- painting ---

void TvcCustomOutlookList::PaintBackground() {
  TCanvas* C = DrawCanvas();
  const RECT Client = ClientRect();
  TvcCustomOutlookBar* Bar = FPage ? FPage->OutlookBar() : nullptr;
  TvcOutlookPanel* PagePanel = FPage ? FPage->Panel() : nullptr;
  C->Brush()->SetStyle(bsSolid);
  if (!FTransparent) {
    C->Brush()->SetColor(Color());
    C->FillRect(Client);
    return;
  }
  if (!Bar || !Bar->Imager() || !PagePanel) {
    // Off a page, a transparent list takes its parent's colour.
    TControl* Behind = Bar ? static_cast<TControl*>(Bar) : static_cast<TControl*>(Parent());
    C->Brush()->SetColor(Behind ? Behind->Color() : Color());
    C->FillRect(Client);
    return;
  }
  TvcBitmap* Picture = ImagerPicture(Bar->Imager());
  if (Bar->Imager()->DrawStyle() == dsTile)
    TileGraphic(Picture, C, PagePanel->BoundsRect());
  else
    C->StretchDraw(PagePanel->ClientRect(), Picture);
}

void TvcCustomOutlookList::PaintScrollButton(TvcScrollButton Button) {
  if (!FScrollButtonsVisible || !CanScroll(Button)) return;
  TCanvas* C = DrawCanvas();
  RECT Rect = ScrollButtonRect(Button);
  const bool Pushed = FHotButton == Button && FPressedButton == Button;
  DrawFrameControl(C->Handle(), &Rect, DFC_BUTTON, DFCS_BUTTONPUSH | (Pushed ? DFCS_PUSHED : 0));
  const bool Vertical = FLayout == loVertical;
  const char* Name = Vertical ? (Button == sbUpLeft ? "VCDROPUP" : "VCDROPDOWN")
                              : (Button == sbUpLeft ? "VCDROPLEFT" : "VCDROPRIGHT");
  TBitmap Arrow;
  Arrow.LoadFromResourceName(nullptr, Name);
  Arrow.SetTransparent(true);
  const int Push = Pushed ? 1 : 0;
  const POINT At = Vertical ? POINT{Rect.left + 2, Rect.top + 5} : POINT{Rect.left + 5, Rect.top + 3};
  C->Draw(At.x + Push, At.y + Push, &Arrow);
}

void TvcCustomOutlookList::Paint() {
  TvcOutlookPanel::Paint();
  const RECT Client = ClientRect();
  if (FBitmap->Width() != Client.right || FBitmap->Height() != Client.bottom)
    FBitmap->SetSize(Client.right, Client.bottom);
  PaintBackground();
  TCanvas* C = DrawCanvas();
  C->Font()->Assign(Font());
  CalcItemRects();
  TvcOutlookListItem* Top = TopItem();
  TvcOutlookListItem* Last = LastVisibleItem();
  if (Top && Last)
    for (int Index = Top->Index(); Index <= Last->Index(); ++Index) FItems->Items(Index)->Paint();
  PaintScrollButton(sbUpLeft);
  PaintScrollButton(sbDownRight);
  Canvas()->CopyRect(Client, C, Client);
}

// --- messages ---

void TvcCustomOutlookList::Loaded() {
  TvcOutlookPanel::Loaded();
  SetClickStyle(FClickStyle);
  CalcScrollButtonRects();
}

void TvcCustomOutlookList::Notification(TComponent* AComponent, TOperation Operation) {
  TvcOutlookPanel::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  if (AComponent == FImages) {
    // The list may be half gone already; it lets go of its links itself.
    FImages = nullptr;
    Invalidate();
  }
  if (FItems)
    for (int Index = 0; Index < FItems->Count(); ++Index)
      if (TvcOutlookListItem* Item = FItems->Items(Index); Item->Action() == AComponent) Item->SetAction(nullptr);
}

void TvcCustomOutlookList::CMControlListChange(TMessage& Message) {
  if (Message.LParam)
    throw EInvalidOperation(
        "TvcCustomOutlookList does not accept child controls.  Delete TvcCustomOutlookList and/or set the "
        "options property of the TvcControlBar, \"cboAutoCreateOutlookList\", to False");
  TvcOutlookPanel::Dispatch(Message);
}

void TvcCustomOutlookList::WMSize(TMessage& Message) {
  TvcOutlookPanel::Dispatch(Message);
  const RECT Client = ClientRect();
  FBitmap->SetSize(Client.right, Client.bottom);
  CalcScrollButtonRects();
}

void TvcCustomOutlookList::WMTimer(TMessage& Message) {
  if (Message.WParam != ScrollTimerId) {
    TvcOutlookPanel::Dispatch(Message);
    return;
  }
  if (FPressedButton == sbNone || !CanScroll(FPressedButton)) return;
  POINT Cursor{};
  GetCursorPos(&Cursor);
  Cursor = ScreenToClient(Cursor);
  if (ButtonAt(Cursor.x, Cursor.y) == FPressedButton) Scroll();
}

void TvcCustomOutlookList::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CONTROLLISTCHANGE:
      CMControlListChange(Message);
      return;
    case CN_CHAR:
      if (ComponentState().Contains(csDesigning)) return;
      if (Focused())
        TvcOutlookPanel::Dispatch(Message);
      else
        Message.Result = 0;
      return;
    case CM_DESIGNHITTEST: {
      const int X = short(LOWORD(Message.LParam)), Y = short(HIWORD(Message.LParam));
      Message.Result = ButtonAt(X, Y) != sbNone ? 1 : 0;
      return;
    }
    case WM_ERASEBKGND:
      // Painting is off screen and copied whole: nothing is ever erased.
      Message.Result = 1;
      return;
    case WM_SIZE:
      WMSize(Message);
      return;
    case WM_TIMER:
      WMTimer(Message);
      return;
    default:
      TvcOutlookPanel::Dispatch(Message);
  }
}
