#pragma once
// The outlook bar: a button group whose items are pages. Each page is a page button and a page
// panel (TvcOutlookPanel) that may hold an icon list (TvcOutlookList) or any other controls. The
// page buttons are stacked along one edge, ButtonSize pixels each; exactly one page is active,
// and its panel fills the room the buttons leave: next to its own button (paDynamic), above all
// buttons (paTop) or below them (paBottom). A page button pressed by the user, or a page selected
// in code, slides the buttons and panels to their new places in Animation.Steps steps; other
// rearrangements (a resize, a setting, loading) jump. Behind shaped page buttons and transparent
// panels the bar can paint the picture of an image control (Imager), tiled or stretched.
//
// Page layout (loVertical; loHorizontal runs the same along x). With CH the client height and P
// = CH - ButtonSize * visible pages: every visible page's button goes to the next ButtonSize
// strip from the top (from P for paTop); the selected page's panel goes below its button, P
// high, and pushes the following buttons down (paDynamic), or lies at 0 .. P (paTop) or CH - P ..
// CH (paBottom). The panel shown until now shrinks to nothing next to its button and is then
// hidden above the bar. The panels of other pages stay hidden above the bar (negative Top).
//
// The bar owns the page panels (the form owns the page buttons); a form stores both as the
// bar's children, the panels after the buttons, in page order.

#include <cstdint>
#include <memory>

#include "vcontrols/buttons/vcbuttongroup.h"
#include "vcontrols/outlook/vcoutlooklist.h"

class TvcCustomImager;
class TvcCustomOutlookBar;

// How a page switch slides: Steps steps, Interval ms apart; off: the switch happens at once.
class TvcAnimation : public TPersistent {
  KORCAM_CLASS(TvcAnimation, TPersistent)

 public:
  TvcAnimation() = default;
  PLAIN_PROPERTY(bool, Enabled, true)
  PLAIN_PROPERTY(int32_t, Interval, 1)
  PLAIN_PROPERTY(int32_t, Steps, 7)

 public:
  void Assign(TPersistent* Source) override;
};

KORCAM_ENUM(TvcCustomOutlookBarOption, cboAutoCreateOutlookList, cboTransparentPanels)
using TvcCustomOutlookBarOptions = TSet<TvcCustomOutlookBarOption>;
KORCAM_ENUM(TvcPanelAlignment, paDynamic, paTop, paBottom)

class TvcOutlookPage : public TvcButtonGroupItem {
  KORCAM_CLASS(TvcOutlookPage, TvcButtonGroupItem)

 public:
  // The page button, and (unless the bar is being read) the page panel, hidden above the bar,
  // and with cboAutoCreateOutlookList an outlook list on it.
  explicit TvcOutlookPage(TCollection* Collection);
  // Frees the panel with everything on it, then the button.
  ~TvcOutlookPage() override;

  TvcOutlookPanel* Panel() const { return FPanel; }
  TvcCustomOutlookList* OutlookList() const { return FOutlookList; }

  // The panel moves to the bar's components, and it and the list learn their page.
  void AttachButton() override;

  virtual TvcCustomOutlookBar* OutlookBar() const;
  // Makes the page's outlook list, owned by the nearest frame or form above the bar. A bar with
  // neither above it gets no list.
  virtual void CreateOutlookList();
  // Selects the page and arranges.
  virtual void Activate();
  // Makes the page's panel (hidden above the bar, behind the bar's other children) when the page
  // has none.
  void CreatePanel();

 protected:
  friend class TvcCustomOutlookBar;
  friend class TvcOutlookPages;
  TvcOutlookPanel* FPanel = nullptr;
  TvcCustomOutlookList* FOutlookList = nullptr;
};

class TvcOutlookPages : public TvcButtonGroupItems {
  KORCAM_CLASS(TvcOutlookPages, TvcButtonGroupItems)

 public:
  explicit TvcOutlookPages(TvcCustomButtonGroup* Bar);

  TvcOutlookPage* Items(int Index) const { return static_cast<TvcOutlookPage*>(TCollection::Items(Index)); }
  // The first page added becomes the active one.
  TvcCollectionItem* Add() override;
  // See the page layout above.
  void ArrangeButtons() override;

  virtual TvcCustomOutlookBar* OutlookBar() const;
  // Where the slide puts a control at each step: a page panel by its bounds (marked as being
  // placed), a page button by moving its window without a redraw and then repainting it.
  virtual void PlaceControl(TControl* Control, const RECT& Rect);

 protected:
  // Whether the switch slides (see ArrangeButtons in the .cpp).
  bool ShouldAnimate() const;
};

class TvcCustomOutlookBar : public TvcCustomButtonGroup {
  KORCAM_CLASS(TvcCustomOutlookBar, TvcCustomButtonGroup)

 public:
  explicit TvcCustomOutlookBar(TComponent* AOwner);
  ~TvcCustomOutlookBar() override;

  // --- settings ---
  TvcAnimation* Animation() const { return FAnimation.get(); }
  void SetAnimation(TvcAnimation* Value) { FAnimation->Assign(Value); }
  // The button of the selected page; nullptr when none.
  TvcCustomBitBtn* ActivePage() const;
  // Selects the page of that button; nullptr (or a button of no page) does nothing.
  void SetActivePage(TvcCustomBitBtn* Value);
  int32_t ButtonSize() const { return FButtonSize; }
  void SetButtonSize(int32_t Value);
  TvcCustomImager* Imager() const { return FImager; }
  void SetImager(TvcCustomImager* Value);
  TvcCustomOutlookBarOptions Options() const { return FOptions; }
  virtual void SetOptions(TvcCustomOutlookBarOptions Value);
  TvcPanelAlignment PanelAlignment() const { return FPanelAlignment; }
  virtual void SetPanelAlignment(TvcPanelAlignment Value);
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  TvcOutlookPages* OutlookItems() const { return static_cast<TvcOutlookPages*>(FButtonItems.get()); }
  void SetOutlookItems(TvcOutlookPages* Value) { SetButtonItems(Value); }
  // Renames the page panels (and, with cboAutoCreateOutlookList, a list view first on a panel)
  // whose names begin with the bar's name; then the page buttons as the group does.
  void SetName(const std::string& Value);

  // --- operations ---
  // A shaped button that is not a rectangle, or an image button with a transparent colour:
  // the bar's background shows around it.
  virtual bool IsShapedPageButton(TvcCustomBitBtn* Button) const;
  // While a page button's press is being handled (a slide runs inside it).
  virtual bool IsHandlingPress() const;
  // A press during a slide is undone at once: the slide completes to the page it started for.
  void ButtonPressed(TObject* Sender) override;
  void ButtonChanging(TObject* Sender) override;
  const TClassInfo& GetCollectionClass() const override;
  // The bar never resizes itself to its buttons: the size is its own.
  void CalcGroupSize(TControl* Control, bool Resize, SIZE& Size) override;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void Paint() override;

  std::unique_ptr<TvcAnimation> FAnimation;
  int32_t FPressDepth = 0;
  bool FReverting = false;  // a page pressed during a slide is being put back
  int32_t FButtonSize = 20;
  TvcCustomImager* FImager = nullptr;
  TvcCustomOutlookBarOptions FOptions{cboAutoCreateOutlookList};
  TvcPanelAlignment FPanelAlignment = paDynamic;
  bool FShowButtons = true;
  std::unique_ptr<TvcChangeLink> FImagerLink;
};

class TvcOutlookBar : public TvcCustomOutlookBar {
  KORCAM_CLASS(TvcOutlookBar, TvcCustomOutlookBar)

 public:
  explicit TvcOutlookBar(TComponent* AOwner) : TvcCustomOutlookBar(AOwner) {}

  KORCAM_PROPERTY_ROW(ActivePage, [] {
    auto Info = korcam_detail::MakeProperty("ActivePage", "TvcCustomBitBtn*", &TvcCustomOutlookBar::ActivePage,
                                            &TvcCustomOutlookBar::SetActivePage);
    // The selected page comes from the buttons' own Down.
    Info.Stored = [](const TObject&) { return false; };
    return Info;
  }())
  KORCAM_PROPERTY_ROW(Animation, [] {
    auto Info = korcam_detail::MakeProperty("Animation", "TvcAnimation*", &TvcCustomOutlookBar::Animation,
                                            &TvcCustomOutlookBar::SetAnimation);
    Info.Owned = true;
    return Info;
  }())
  PUBLISH_PROPERTY(TvcCustomButtonGroup, bool, AutoBold, false)
  PUBLISH_PROPERTY(TCustomPanel, TBevelCut, BevelInner, bvNone)
  PUBLISH_PROPERTY(TCustomPanel, TBevelCut, BevelOuter, bvNone)
  PUBLISH_PROPERTY(TCustomPanel, TBorderStyle, BorderStyle, bsSingle)
  PUBLISH_PROPERTY(TvcCustomOutlookBar, int32_t, ButtonSize, 20)
  KORCAM_PROPERTY_ROW(ButtonClassName, [] {
    auto Info = korcam_detail::MakeProperty("ButtonClassName", "std::string", &TvcCustomButtonGroup::ButtonClassName,
                                            &TvcCustomButtonGroup::SetButtonClassName);
    korcam_detail::SetDefault<std::string>(Info, "TvcShapeBtn");
    return Info;
  }())
  PUBLISH_PROPERTY(TvcCustomOutlookBar, TvcCustomImager*, Imager, nullptr)
  KORCAM_PROPERTY_ROW(OutlookItems, [] {
    auto Info = korcam_detail::MakeProperty("OutlookItems", "TvcOutlookPages*", &TvcCustomOutlookBar::OutlookItems,
                                            &TvcCustomOutlookBar::SetOutlookItems);
    Info.Owned = true;
    // The page buttons are the bar's children in the form; every one brings its page back.
    Info.Stored = [](const TObject&) { return false; };
    return Info;
  }())
  PUBLISH_PROPERTY(TvcCustomButtonGroup, TvcLayout, Layout, loVertical)
  PUBLISH_PROPERTY(TvcCustomOutlookBar, TvcCustomOutlookBarOptions, Options, cboAutoCreateOutlookList)
  PUBLISH_PROPERTY(TvcCustomOutlookBar, TvcPanelAlignment, PanelAlignment, paDynamic)
  PUBLISH_PROPERTY(TvcCustomOutlookBar, bool, ShowButtons, true)
  PUBLISH_PROPERTY(TvcCustomButtonGroup, bool, ShowDownAsUp, false)
  PUBLISH_PROPERTY(TWinControl, bool, TabStop, true)
};
