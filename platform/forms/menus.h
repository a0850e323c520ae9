#pragma once
// TMenuItem and TPopupMenu: a tree of menu items and a menu that pops up at a screen point.
//
// Popup shows the items in a window of its own, in columns (an item with Break starts a new
// column; mbBarBreak draws a line between the columns), and blocks until the menu closes: the
// program's messages keep flowing meanwhile (timers, painting), but the keys go to the menu.
// The menu closes on Escape, on a press of a mouse button outside it (the press then goes on to
// where it was made), or on a pick: a click on an enabled item, Enter on the highlighted one, or
// the item's '&' letter. After the window is gone and Popup has returned from its loop, the
// picked item's OnClick runs. A caption of "-" is a separator line. The default item of a menu
// (Default) is drawn bold; a tray icon's double-click chooses it. While an item is highlighted,
// its Hint is the application's hint (a status bar shows it). An item may show an action
// (Action): it follows the action's caption, hint, check mark, enabled and visible state and
// shortcut, and a click runs the action.
//
// Form resources write a popup menu's items inside it, and an item's own items inside the item.

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/component.h"
#include "platform/forms/actions.h"
#include "platform/forms/customcontrol.h"
#include "platform/forms/shortcut.h"

class TMenuItem;

// The link of a menu item to its action.
class TMenuActionLink : public TActionLink {
  KORCAM_CLASS(TMenuActionLink, TActionLink)

 public:
  explicit TMenuActionLink(TMenuItem* AClient) : FClient(AClient) {}
  void SetCaption(const std::string& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const std::string& Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;
  void ActionFreed() override;

 private:
  TMenuItem* FClient;
};

KORCAM_ENUM(TMenuBreak, mbNone, mbBreak, mbBarBreak)
KORCAM_ENUM(TPopupAlignment, paLeft, paRight, paCenter)
KORCAM_ENUM(TMenuAutoFlag, maAutomatic, maManual, maParent)

class TMenuItem : public TComponent {
  KORCAM_CLASS(TMenuItem, TComponent)

 public:
  explicit TMenuItem(TComponent* AOwner);
  // Frees the items below it too.
  ~TMenuItem() override;

  ACCESSOR_PROPERTY(TBasicAction*, Action, nullptr)
  PLAIN_PROPERTY(TMenuBreak, Break, mbNone)
  PLAIN_PROPERTY(std::string, Caption, "")
  PLAIN_PROPERTY(bool, Checked, false)
  // Only one item among its siblings is the default: setting it clears the others.
  PROPERTY(bool, Default, false)
  PLAIN_PROPERTY(bool, Enabled, true)
  PLAIN_PROPERTY(std::string, Hint, "")
  PLAIN_PROPERTY(TShortCut, ShortCut, scNone)
  PLAIN_PROPERTY(bool, Visible, true)
  EVENT(TNotifyEvent, OnClick)

 public:
  int Count() const { return int(FItems.size()); }
  TMenuItem* Items(int Index) const { return FItems.at(size_t(Index)); }
  // Adds Item as the last child (taking it from any other parent first).
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  // Takes the child out without freeing it.
  void Remove(TMenuItem* Item);
  // Frees every child.
  void Clear();
  int IndexOf(const TMenuItem* Item) const;
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
  bool IsLine() const { return FCaption == "-"; }
  // Fires OnClick, or runs the action when there is no OnClick (enabled items only).
  virtual void Click();
  // The visible, enabled default item among the children (nullptr: none).
  TMenuItem* DefaultItem() const;
  TMenuActionLink* ActionLink() const { return FActionLink.get(); }

  // Form streaming: an item's parent is its parent item, or the menu for a top-level item.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void Loaded() override;

 protected:
  // Takes the action's state (CheckDefaults: only where the item holds its default).
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);

 private:
  friend class TMenuActionLink;
  friend class TPopupMenu;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  // Set on the root item of a menu: the menu it belongs to.
  TComponent* FMenu = nullptr;
  std::unique_ptr<TMenuActionLink> FActionLink;
};

// The window a showing menu draws its items in: a top-level tool window that never takes the
// activation. It belongs to the menu's Popup and lives only while the menu shows.
class TPopupMenuWindow : public TCustomControl {
  KORCAM_CLASS(TPopupMenuWindow, TCustomControl)

 public:
  explicit TPopupMenuWindow(TMenuItem* Root);
  ~TPopupMenuWindow() override;

  // The visible entries in display order and their rectangles (client coordinates).
  int EntryCount() const { return int(FEntries.size()); }
  TMenuItem* Entry(int Index) const { return FEntries.at(size_t(Index)).Item; }
  RECT EntryRect(int Index) const { return FEntries.at(size_t(Index)).Rect; }
  int Highlighted() const { return FHighlighted; }
  // Lays the entries out in columns; answers the window size.
  SIZE Measure();
  // Keyboard handling while the menu shows: true when the key was the menu's.
  bool HandleKey(const MSG& Message);
  // Set when the menu is done: Picked is the item chosen (nullptr: closed without a pick).
  bool Done() const { return FDone; }
  TMenuItem* Picked() const { return FPicked; }
  void Finish(TMenuItem* Item);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  struct TEntry {
    TMenuItem* Item;
    RECT Rect;
    int Column;
  };
  bool Selectable(int Index) const;
  void Highlight(int Index);
  // The next selectable entry from Index in Step direction (wrapping), or -1.
  int NextSelectable(int Index, int Step) const;
  int EntryAt(POINT Pos) const;
  // The window's font made bold, for the default item.
  HFONT BoldFont();

  TMenuItem* FRoot;
  std::unique_ptr<TFont> FBoldFont;
  std::vector<TEntry> FEntries;
  std::vector<int> FBarColumns;  // columns that start with a bar (x of the line)
  int FHighlighted = -1;
  bool FDone = false;
  TMenuItem* FPicked = nullptr;
};

class TPopupMenu : public TComponent {
  KORCAM_CLASS(TPopupMenu, TComponent)

 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  PLAIN_PROPERTY(TPopupAlignment, Alignment, paLeft)
  PLAIN_PROPERTY(TMenuAutoFlag, AutoHotkeys, maAutomatic)
  EVENT(TNotifyEvent, OnPopup)

 public:
  // The root item; the menu's entries are its children.
  TMenuItem* Items() const { return FItems.get(); }
  // Shows the menu with its top-left (paLeft), top-right (paRight) or top-centre (paCenter) at
  // the screen point, kept on the screen, and returns when it has closed (see above). OnPopup
  // runs first. Descendants extend it (a menu that must know it is showing wraps it).
  virtual void Popup(int X, int Y);
  // The item picked at the last Popup (nullptr: none); its OnClick has run.
  TMenuItem* PickedItem() const { return FPicked; }
  // The menu's window while it shows (tests look at it), else nullptr.
  TPopupMenuWindow* Window() const { return FWindow; }
  // Closes a showing menu without a pick.
  void CloseMenu();

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

 private:
  std::unique_ptr<TMenuItem> FItems;
  TPopupMenuWindow* FWindow = nullptr;
  TMenuItem* FPicked = nullptr;
};
