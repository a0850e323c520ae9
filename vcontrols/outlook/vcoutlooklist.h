#pragma once
// The page panel of an outlook bar and the icon list a page can show on it.
//
// TvcOutlookPanel: the panel every outlook page owns. Transparent (the default), it shows the
// bar's background picture through itself, or the bar's colour when the bar has no picture.
//
// TvcCustomOutlookList: a column (loVertical) or row of items, each a large icon from Images and
// a caption, painted off screen and copied in one piece. Items under the mouse are hot (framed,
// and filled with ItemHotTrackColor); a click on an item's hit area clicks it (OnItemChange first
// when csSelect keeps one selected item, then OnItemClick, the item's OnClick and its action).
// When the items do not fit, two small buttons scroll them one item at a time, repeating every
// ScrollInterval ms while held. The hit area is the icon (hsIconHilite with images) or the whole
// item (hsItemHilite, or no images).
//
// Item geometry. An item measures its caption (w, h) with the list's font; loVertical adds
// ItemSpacing to h, loHorizontal to w; with Images, a left or right icon adds its width,
// GlyphOffset, Separation and 8 to w, a top or bottom icon its height and Separation to h;
// ItemsWidth fixes w in loHorizontal. Its extent is h (loVertical) or w. From the top item on,
// items are shown while their extents fit, plus the first one that does not fit fully. The scroll
// buttons are 15 pixels square, 10 pixels in from the corners (loVertical: top-right and
// bottom-right; loHorizontal: top-left and top-right).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/alignment.h"
#include "platform/classes/events.h"
#include "platform/forms/actions.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/buttons.h"
#include "platform/forms/customcontrol.h"
#include "platform/forms/imagelist.h"
#include "vcontrols/common/vccollection.h"
#include "vcontrols/common/vccommon.h"

class TvcCustomOutlookBar;
class TvcCustomOutlookList;
class TvcOutlookListItem;
class TvcOutlookPage;

class TvcOutlookPanel : public TCustomControl {
  KORCAM_CLASS(TvcOutlookPanel, TCustomControl)

 public:
  explicit TvcOutlookPanel(TComponent* AOwner);
  ~TvcOutlookPanel() override;

  bool Transparent() const { return FTransparent; }
  // A change repaints the parent.
  virtual void SetTransparent(bool Value);
  // The page the panel belongs to (set by the bar).
  TvcOutlookPage* Page() const { return FPage; }
  void SetPage(TvcOutlookPage* Value) { FPage = Value; }
  // Set while the bar's slide places the panel.
  bool BeingPlaced() const { return FBeingPlaced; }
  void SetBeingPlaced(bool Value) { FBeingPlaced = Value; }
  bool SuspendClipping() const { return FSuspendClipping; }
  void SetSuspendClipping(bool Value) { FSuspendClipping = Value; }
  // The parent, when it is an outlook bar.
  TvcCustomOutlookBar* OutlookBar() const;

  void Dispatch(TMessage& Message) override;

 protected:
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void Paint() override;

  bool FSuspendClipping = false;
  bool FTransparent = true;
  TvcOutlookPage* FPage = nullptr;
  bool FBeingPlaced = false;
};

KORCAM_ENUM(TvcCustomOutlookListClickStyle, csClick, csSelect)
KORCAM_ENUM(TvcOutlookHotTrackStyle, hsIconHilite, hsItemHilite)

// (OutlookList, Item).
using TvcCustomOutlookListItemEvent = TEvent<TvcCustomOutlookList*, TvcOutlookListItem*>;
// (OutlookList, Item, GlyphPos, TextPos, DefaultDrawing): may move the icon and the caption, or
// draw the item itself (DefaultDrawing false).
using TvcOutlookListDrawItemEvent = TEvent<TvcCustomOutlookList*, TvcOutlookListItem*, POINT&, POINT&, bool&>;

// The link between an item and its action: a change of the action's caption reaches the item.
class TvcOutlookItemActionLink : public TActionLink {
  KORCAM_CLASS(TvcOutlookItemActionLink, TActionLink)

 public:
  explicit TvcOutlookItemActionLink(TvcOutlookListItem* Client = nullptr) : FClient(Client) {}
  void SetCaption(const std::string& Value) override;
  void ActionFreed() override;

 private:
  TvcOutlookListItem* FClient;
};

class TvcOutlookListItem : public TvcCollectionItem {
  KORCAM_CLASS(TvcOutlookListItem, TvcCollectionItem)

 public:
  explicit TvcOutlookListItem(TCollection* Collection);
  ~TvcOutlookListItem() override;

  ACCESSOR_PROPERTY(TBasicAction*, Action, nullptr)
  PROPERTY(int32_t, GlyphOffset, 0)
  PROPERTY(int32_t, ImageIndex, 0)
  ACCESSOR_PROPERTY(bool, Selected, false)
  PROPERTY(int32_t, Separation, 10)
  PLAIN_PROPERTY(int32_t, Tag, 0)
  PROPERTY(std::string, Text, "")
  PROPERTY(TAlignment, TextAlignment, taCenter)
  EVENT(TvcCustomOutlookListItemEvent, OnClick)

 public:
  // The Text, or the inherited name when it is empty.
  std::string DisplayName() const override;
  void Assign(TPersistent* Source) override;

  TvcCustomOutlookList* OutlookList() const;
  bool Pressed() const { return FPressed; }
  void SetPressed(bool Value);
  bool Hot() const { return FHot; }
  // A hot item takes the mouse for the list, so that leaving the list is noticed.
  void SetHot(bool Value);
  RECT HitRect() const { return FHitRect; }
  RECT ItemRect() const { return FItemRect; }

  // Between the top item and the last shown one; Fully: and not cut at the list's edges.
  virtual bool IsVisible(bool Fully) const;
  virtual int32_t Extent() const;
  virtual void Paint();
  virtual void PaintGlyph(const RECT& Rect);
  // (Hot and pressed) or selected.
  virtual bool IsDown() const;
  // The item's rectangle (and the pixel row above it), computed afresh.
  virtual void InvalidateItem(bool Erase);
  // A custom action's caption becomes the Text (while reading a form, only into an empty Text).
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);

 protected:
  friend class TvcCustomOutlookList;
  friend class TvcOutlookItemActionLink;
  void ActionFreed();

  std::unique_ptr<TvcOutlookItemActionLink> FActionLink;
  RECT FHitRect{};
  RECT FItemRect{};
  bool FPressed = false;
  bool FHot = false;
  bool FSelected = false;
};

class TvcOutlookListItems : public TvcCollection {
  KORCAM_CLASS(TvcOutlookListItems, TvcCollection)

 public:
  explicit TvcOutlookListItems(TvcCustomOutlookList* List = nullptr);
  TvcOutlookListItem* Add() override;
  TvcOutlookListItem* Items(int Index) const { return static_cast<TvcOutlookListItem*>(TCollection::Items(Index)); }
  TvcCustomOutlookList* OutlookList() const { return FList; }
  TPersistent* GetOwner() const override;

 protected:
  // Any change repaints the whole list.
  void Update(TCollectionItem* Item) override;

  TvcCustomOutlookList* FList;
};

// Which scroll button: none, up (or left), down (or right).
enum TvcScrollButton : int { sbNone = 0, sbUpLeft = 1, sbDownRight = 2 };

class TvcCustomOutlookList : public TvcOutlookPanel {
  KORCAM_CLASS(TvcCustomOutlookList, TvcOutlookPanel)

 public:
  explicit TvcCustomOutlookList(TComponent* AOwner);
  ~TvcCustomOutlookList() override;

  // --- settings (TvcOutlookList publishes them) ---
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  // The window is made again.
  void SetBorderStyle(TBorderStyle Value);
  TvcCustomOutlookListClickStyle ClickStyle() const { return FClickStyle; }
  void SetClickStyle(TvcCustomOutlookListClickStyle Value) { FClickStyle = Value; }
  TvcOutlookHotTrackStyle HotTrackStyle() const { return FHotTrackStyle; }
  void SetHotTrackStyle(TvcOutlookHotTrackStyle Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TButtonLayout ItemLayout() const { return FItemLayout; }
  void SetItemLayout(TButtonLayout Value);
  TColor ItemHighlightColor() const { return FItemHighlightColor; }
  void SetItemHighlightColor(TColor Value);
  TColor ItemHotTrackColor() const { return FItemHotTrackColor; }
  void SetItemHotTrackColor(TColor Value);
  TColor ItemShadowColor() const { return FItemShadowColor; }
  void SetItemShadowColor(TColor Value);
  TColor ItemSelectedDitherColor() const { return FItemSelectedDitherColor; }
  void SetItemSelectedDitherColor(TColor Value);
  TvcOutlookListItems* Items() const { return FItems.get(); }
  void SetItems(TvcOutlookListItems* Value) { FItems->Assign(Value); }
  int32_t ItemSpacing() const { return FItemSpacing; }
  // Kept even: an odd value is raised by one.
  void SetItemSpacing(int32_t Value);
  int32_t ItemsWidth() const { return FItemsWidth; }
  void SetItemsWidth(int32_t Value);
  TvcLayout Layout() const { return FLayout; }
  void SetLayout(TvcLayout Value);
  bool ScrollButtonsVisible() const { return FScrollButtonsVisible; }
  void SetScrollButtonsVisible(bool Value);
  int32_t ScrollInterval() const { return FScrollInterval; }
  void SetScrollInterval(int32_t Value) { FScrollInterval = Value; }
  // The caption colour of hot and selected items in whole-item mode (black).
  TColor HotTextColor() const { return FHotTextColor; }

  EVENT(TvcOutlookListDrawItemEvent, OnDrawItem)
  EVENT(TvcCustomOutlookListItemEvent, OnItemChange)
  EVENT(TvcCustomOutlookListItemEvent, OnItemClick)

 public:
  // --- state ---
  TvcOutlookListItem* TopItem() const;
  void SetTopItem(TvcOutlookListItem* Value) { FTopItem = Value; }
  // The last item shown (partly, perhaps); nullptr without items.
  TvcOutlookListItem* LastVisibleItem() const;
  RECT ScrollButtonRect(TvcScrollButton Button) const { return Button == sbUpLeft ? FUpRect : FDownRect; }
  TvcScrollButton PressedButton() const { return FPressedButton; }
  TvcScrollButton HotButton() const { return FHotButton; }
  // The icon's size (0 x 0 without Images).
  SIZE ImageSize() const;
  // The icon hit area is used (not the whole item): hsIconHilite with Images.
  bool IconHitMode() const;
  TvcOutlookPage* OwningPage() const { return FPage; }
  TBitmap* OffScreen() const { return FBitmap.get(); }

  // --- operations ---
  // The item's size along and across the layout, spacing included.
  SIZE ItemSize(const TvcOutlookListItem* Item) const;
  // The item's rectangle, caption rectangle and icon rectangle; false outside the shown range.
  bool ItemRects(const TvcOutlookListItem* Item, RECT& ItemRect, RECT& CaptionRect, RECT& GlyphRect) const;
  virtual void CalcItemRects();
  virtual bool CanScroll(TvcScrollButton Button) const;
  virtual void DoDrawItem(TvcOutlookListItem* Item, POINT& GlyphPos, POINT& TextPos, bool& DefaultDrawing);
  virtual void ImagesChanged(TObject* Sender);
  virtual void InvalidateScrollButton(TvcScrollButton Button);
  virtual void ItemClicked(TvcOutlookListItem* Item);
  virtual void Scroll();
  virtual void UpdateHotItems();
  virtual void CalcScrollButtonRects();
  // The first fully shown item whose rectangle holds the point; nullptr when none.
  virtual TvcOutlookListItem* ItemAtPoint(int X, int Y) const;
  virtual void PaintScrollButton(TvcScrollButton Button);

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

 protected:
  friend class TvcOutlookListItem;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The canvas items are measured and drawn on.
  TCanvas* DrawCanvas() const { return FBitmap->Canvas(); }
  void PaintBackground();
  // Which scroll button holds the point (sbNone: none).
  TvcScrollButton ButtonAt(int X, int Y) const;

  TBorderStyle FBorderStyle = bsSingle;
  TvcCustomOutlookListClickStyle FClickStyle = csClick;
  TvcOutlookHotTrackStyle FHotTrackStyle = hsIconHilite;
  TColor FHotTextColor = clBlack;
  TCustomImageList* FImages = nullptr;
  TButtonLayout FItemLayout = blGlyphTop;
  TColor FItemHighlightColor = clBtnFace;
  TColor FItemHotTrackColor = clBtnShadow;
  TColor FItemShadowColor = clBtnText;
  std::unique_ptr<TvcOutlookListItems> FItems;
  int32_t FItemSpacing = 20;
  int32_t FItemsWidth = 0;
  TvcLayout FLayout = loVertical;
  std::unique_ptr<TBitmap> FBitmap;
  int32_t FScrollInterval = 250;
  TvcOutlookListItem* FTopItem = nullptr;
  RECT FUpRect{};
  RECT FDownRect{};
  TvcScrollButton FPressedButton = sbNone;
  bool FScrollButtonsVisible = true;
  TvcScrollButton FHotButton = sbNone;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  HWND FPreviousCapture = nullptr;
  TColor FItemSelectedDitherColor = clBtnHighlight;

 private:
  void CMControlListChange(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMTimer(TMessage& Message);
};

class TvcOutlookList : public TvcCustomOutlookList {
  KORCAM_CLASS(TvcOutlookList, TvcCustomOutlookList)

 public:
  explicit TvcOutlookList(TComponent* AOwner) : TvcCustomOutlookList(AOwner) {}

  PUBLISH_PROPERTY(TvcCustomOutlookList, TBorderStyle, BorderStyle, bsSingle)
  PUBLISH_PROPERTY(TvcCustomOutlookList, TvcCustomOutlookListClickStyle, ClickStyle, csClick)
  PUBLISH_PROPERTY(TvcCustomOutlookList, TvcOutlookHotTrackStyle, HotTrackStyle, hsIconHilite)
  PUBLISH_PROPERTY(TvcCustomOutlookList, TCustomImageList*, Images, nullptr)
  PUBLISH_PROPERTY(TvcCustomOutlookList, TColor, ItemHighlightColor, clBtnFace)
  PUBLISH_PROPERTY(TvcCustomOutlookList, TColor, ItemHotTrackColor, clBtnShadow)
  PUBLISH_PROPERTY(TvcCustomOutlookList, TButtonLayout, ItemLayout, blGlyphTop)
  PUBLISH_PROPERTY(TvcCustomOutlookList, TColor, ItemShadowColor, clBtnText)
  PUBLISH_PROPERTY(TvcCustomOutlookList, TColor, ItemSelectedDitherColor, clBtnHighlight)
  KORCAM_PROPERTY_ROW(Items, [] {
    auto Info = korcam_detail::MakeProperty("Items", "TvcOutlookListItems*", &TvcCustomOutlookList::Items,
                                            &TvcCustomOutlookList::SetItems);
    Info.Owned = true;
    return Info;
  }())
  PUBLISH_PROPERTY(TvcCustomOutlookList, int32_t, ItemSpacing, 20)
  PUBLISH_PROPERTY(TvcCustomOutlookList, int32_t, ItemsWidth, 0)
  PUBLISH_PROPERTY(TvcCustomOutlookList, TvcLayout, Layout, loVertical)
  PUBLISH_PROPERTY(TvcCustomOutlookList, bool, ScrollButtonsVisible, true)
  PUBLISH_PROPERTY(TvcCustomOutlookList, int32_t, ScrollInterval, 250)
  PUBLISH_PROPERTY(TvcOutlookPanel, bool, Transparent, false)
};
