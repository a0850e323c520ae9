#pragma once
// TPageControl and TTabSheet: pages on top of each other, one shown at a time (ActivePage), with
// a row of tabs along the top to switch between them. A sheet whose TabVisible is off has no tab
// (a program that switches pages itself hides them all); with no tab visible there is no tab row
// and the pages fill the control inside its one-pixel frame.
//
// The user switches pages with a click on a tab, Ctrl+Tab and Ctrl+Shift+Tab (while the focus is
// in the control), and Left and Right while the control itself has the focus: OnChanging may
// refuse, OnChange follows. The program's own ActivePage writes raise neither. When the page that
// goes away holds the focus, the focus moves to the new page's first control (or to the page
// control), so the old page hears OnExit.
//
// Form resources write the sheets inside their page control, in page order.

#include <vector>

#include "platform/forms/customcontrol.h"

class TPageControl;

class TTabSheet : public TWinControl {
  KORCAM_CLASS(TTabSheet, TWinControl)

 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  void BeforeDestruction() override;

  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
  PROPERTY(bool, TabVisible, true)
  EVENT(TNotifyEvent, OnShow)
  EVENT(TNotifyEvent, OnHide)

 public:
  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // The position among the control's pages (-1 outside one).
  int PageIndex() const;
  void SetPageIndex(int Value);
  // The position among the visible tabs (-1 without a tab).
  int TabIndex() const;

  void SetParentComponent(TComponent* Value) override;
  void Dispatch(TMessage& Message) override;

 private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
};

using TTabChangingEvent = TEvent<TObject*, bool&>;

class TPageControl : public TCustomControl {
  KORCAM_CLASS(TPageControl, TCustomControl)

 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  void BeforeDestruction() override;

  ACCESSOR_PROPERTY(TTabSheet*, ActivePage, nullptr)
  // The height of the tabs; 0: as high as the font needs.
  PROPERTY(int32_t, TabHeight, 0)
  // The width of every tab; 0: as wide as its caption needs.
  PROPERTY(int32_t, TabWidth, 0)
  PUBLISH_PROPERTY(TWinControl, bool, TabStop, true)
  EVENT(TNotifyEvent, OnChange)
  EVENT(TTabChangingEvent, OnChanging)

 public:
  int PageCount() const { return int(FPages.size()); }
  TTabSheet* Pages(int Index) const { return FPages.at(size_t(Index)); }
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);
  // The next (or previous) page after CurrentPage, wrapping round; CheckTabVisible: only pages
  // with a tab. nullptr when there is none.
  TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const;
  // Moves to that page as the user would (OnChanging, then OnChange).
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
  // The height of the tab row now: 0 while no sheet shows a tab.
  int TabRowHeight();
  // Where the pages go (client coordinates).
  RECT DisplayRect();
  // The rectangle of a visible tab (client coordinates); empty for a page without a tab.
  RECT TabRect(int PageIndex);
  // The page whose tab is at a client point (nullptr: none).
  TTabSheet* PageAt(POINT Pos);

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

 protected:
  friend class TTabSheet;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // OnChanging; false refuses the change.
  virtual bool CanChange();
  virtual void Change();
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MovePage(TTabSheet* Page, int NewIndex);
  // A sheet's tab came or went.
  void TabsChanged();

 private:
  // A user's switch: OnChanging may refuse; OnChange after the switch.
  void ChangeActivePage(TTabSheet* Page);
  void ShowActivePage();
  int TabExtent(TTabSheet* Page);

  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
};
