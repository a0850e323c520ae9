#pragma once
// TActionToolBar: a tool bar whose buttons show the actions of an action manager.
//
// The bar's Items name, in order, what it shows: an action (its button follows the action's
// image or caption, hint, check mark, enabled and visible state, and a click runs it), a
// separator (caption "-", its own or its action's; a separator with an action hides with it), or
// an entry with Items of its own, whose button drops a menu of those items down below itself.
//
// A button shows the action's image from the manager's image list when the action has one, else
// its caption (ShowCaption: both). Buttons are flat: raised while the mouse is over them, sunken
// while pressed or checked, greyed while disabled. They are laid out left to right from
// HorzMargin, VertMargin below the top, Spacing apart, all as high as the tallest needs; with
// AutoSize (the default) the bar is as high as its buttons plus both vertical margins. The bar
// can take the focus: Left and Right then move between the buttons, Space and Enter press one,
// Down drops a button's menu.

#include <memory>
#include <vector>

#include "platform/classes/collection.h"
#include "platform/forms/actions.h"
#include "platform/forms/customcontrol.h"
#include "platform/forms/graphiccontrol.h"

class TActionManager;
class TActionToolBar;
class TActionClientItem;
class TActionToolButton;
class TChangeLink;
class TCustomImageList;
class TPopupMenu;

// The entries of a bar, or of one entry's drop-down menu.
class TActionClients : public TOwnedCollection {
  KORCAM_CLASS(TActionClients, TOwnedCollection)

 public:
  // AOwner: the bar, or the entry whose menu these are.
  explicit TActionClients(TPersistent* AOwner);
  TActionClientItem* Add();
  TActionClientItem* Items(int Index) const;
  // The bar these entries end up on (nullptr: none).
  TActionToolBar* ActionBar() const;

 protected:
  // Any change rebuilds the bar's buttons.
  void Update(TCollectionItem* Item) override;
};

// Tells its entry when the entry's action goes away.
class TActionClientLink : public TActionLink {
  KORCAM_CLASS(TActionClientLink, TActionLink)

 public:
  explicit TActionClientLink(TActionClientItem* AClient) : FClient(AClient) {}
  void ActionFreed() override;

 private:
  TActionClientItem* FClient;
};

class TActionClientItem : public TCollectionItem {
  KORCAM_CLASS(TActionClientItem, TCollectionItem)

 public:
  explicit TActionClientItem(TCollection* Collection);
  ~TActionClientItem() override;

  ACCESSOR_PROPERTY(TBasicAction*, Action, nullptr)
  // Shown when there is no action; "-" makes a separator.
  PROPERTY(std::string, Caption, "")
  PROPERTY(bool, ShowCaption, false)
  PROPERTY(bool, Visible, true)
  OWNED_PROPERTY(TActionClients, Items)

 public:
  // The action's caption, or the entry's own without an action.
  std::string DisplayCaption() const;
  bool IsSeparator() const { return DisplayCaption() == "-"; }
  bool HasItems() const { return FItems->Count() > 0; }
  std::string DisplayName() const override;
  void Assign(TPersistent* Source) override;

 private:
  friend class TActionClientLink;
  std::unique_ptr<TActionClientLink> FLink;
};

class TActionToolBar : public TCustomControl {
  KORCAM_CLASS(TActionToolBar, TCustomControl)

 public:
  explicit TActionToolBar(TComponent* AOwner);
  ~TActionToolBar() override;
  void BeforeDestruction() override;

  PROPERTY(TActionManager*, ActionManager, nullptr)
  OWNED_PROPERTY(TActionClients, Items)
  PROPERTY(int32_t, HorzMargin, 1)
  PROPERTY(int32_t, VertMargin, 1)
  PROPERTY(int32_t, Spacing, 0)
  PUBLISH_PROPERTY(TControl, TAlign, Align, alTop)
  PUBLISH_PROPERTY(TControl, bool, AutoSize, true)

 public:
  int ButtonCount() const { return int(FButtons.size()); }
  TActionToolButton* Buttons(int Index) const { return FButtons.at(size_t(Index)).get(); }
  int IndexOfButton(const TActionToolButton* Button) const;
  // The button of the entry showing Action (nullptr: none).
  TActionToolButton* FindButton(const TBasicAction* Action) const;
  // The manager's image list (nullptr: none).
  TCustomImageList* Images() const;
  // How high every button is: the tallest glyph or caption with its frame.
  int ButtonHeight();
  // Makes the buttons anew from Items (entries and actions may have changed).
  void RebuildButtons();
  // Drops Button's menu down below it and returns when the menu has closed (a picked entry's
  // action has then run).
  void DropDown(TActionToolButton* Button);
  // The menu dropped down now (tests look at it), else nullptr.
  TPopupMenu* DroppedMenu() const { return FDroppedMenu; }
  // The button the keyboard is on while the bar has the focus (-1: none).
  int HotIndex() const { return FHotIndex; }

  void Dispatch(TMessage& Message) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TActionManager;
  friend class TActionToolButton;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void DoEnter() override;
  void DoExit() override;
  // The manager's images or actions changed.
  void ManagerChanged();
  // Places the buttons and, with AutoSize, fits the bar's height to them.
  void LayoutButtons();

 private:
  void ImagesChanged(TObject* Sender);
  void WatchImages();
  void SetHot(int Index);
  int NextHot(int From, int Step) const;

  // Buttons go with Free: one may be running its own click when the bar is rebuilt.
  struct TFreeButton {
    void operator()(TActionToolButton* Button) const;
  };
  std::vector<std::unique_ptr<TActionToolButton, TFreeButton>> FButtons;
  std::unique_ptr<TChangeLink> FImageLink;
  TCustomImageList* FWatchedImages = nullptr;
  TPopupMenu* FDroppedMenu = nullptr;
  int FHotIndex = -1;
  bool FLayingOut = false;
};

// One button of a bar (made by the bar, never by a form).
class TActionToolButton : public TGraphicControl {
  KORCAM_CLASS(TActionToolButton, TGraphicControl)

 public:
  TActionToolButton(TActionToolBar* Bar, TActionClientItem* Item);
  ~TActionToolButton() override;

  TActionClientItem* Item() const { return FItem; }
  TActionToolBar* Bar() const { return FBar; }
  bool IsSeparator() const;
  bool HasDropDown() const { return FItem->HasItems(); }
  // The action's check mark and image, as the link keeps them.
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  // Pressed: the mouse or the keyboard holds it down. Hot: the mouse is over it.
  bool Pressed() const { return FPressed; }
  bool Hot() const { return FHot; }
  // The width its content needs in a bar whose buttons are ButtonHeight high.
  int NeededWidth(int ButtonHeight);
  // Drops the menu of an entry with items; otherwise as a control's click (runs the action).
  void Click() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

 private:
  friend class TActionToolBar;
  bool Inside(int X, int Y) const;
  // The glyph's image list when the button shows a glyph (nullptr: it shows none).
  TCustomImageList* GlyphImages() const;
  bool ShowsCaption() const;

  TActionToolBar* FBar;
  TActionClientItem* FItem;
  bool FChecked = false;
  int32_t FImageIndex = -1;
  bool FPressed = false;
  bool FHot = false;
  bool FTracking = false;
};
