#pragma once
// TCustomListBox and TListBox: a list of text entries, one of which may be selected. It draws
// the entries itself (or lets OnDrawItem draw them), scrolls vertically with a scroll bar, selects
// with the mouse (pressing and dragging) and the keys (arrows, pages, Home, End, and a typed
// letter jumps to the next entry starting with it), and answers the LB_ messages of the window
// system's list box. A selection change made by the user is reported as LBN_SELCHANGE: through
// the parent window (which hands it back as CN_COMMAND), or straight to the control when it has
// no parent window; the control then fires OnClick.
//
// Pop-up use: with Popup set the list is a top-level tool window: bordered, topmost, never
// activated, saving what it covers; ShowPopup places and shows it without taking the focus from
// the control that opened it, which goes on receiving the keys and forwards those the list
// should handle. Inside a pop-up the selection is drawn as focused.

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/customcontrol.h"
#include "platform/rtl/stringlist.h"

// List box messages.
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_FINDSTRING = 0x018F;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_ERR = -1;

// List box notifications (WM_COMMAND, high word).
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;

// List box styles.
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;

KORCAM_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)
KORCAM_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault,
            odComboBoxEdit)
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
// (Control, Index, Rect, State): draw entry Index into Rect of the control's Canvas.
using TDrawItemEvent = TEvent<TWinControl*, int32_t, RECT, TOwnerDrawState>;
// (Control, Index, Height): the height of entry Index (variable owner draw).
using TMeasureItemEvent = TEvent<TWinControl*, int32_t, int32_t&>;

class TCustomListBox : public TCustomControl {
  KORCAM_CLASS(TCustomListBox, TCustomControl)

 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  PROPERTY(TBorderStyle, BorderStyle, bsSingle)
  PROPERTY(bool, IntegralHeight, false)
  PROPERTY(int32_t, ItemHeight, 16)
  ACCESSOR_PROPERTY(int32_t, ItemIndex, -1)
  ACCESSOR_PROPERTY(TStrings*, Items)
  PROPERTY(bool, Sorted, false)
  PROPERTY(TListBoxStyle, Style, lbStandard)
  ACCESSOR_PROPERTY(int32_t, TopIndex, 0)
  PUBLISH_PROPERTY(TControl, TColor, Color, clWindow)
  PUBLISH_PROPERTY(TControl, bool, ParentColor, false)
  PUBLISH_PROPERTY(TWinControl, bool, TabStop, true)
  EVENT(TDrawItemEvent, OnDrawItem)
  EVENT(TMeasureItemEvent, OnMeasureItem)

 public:
  int Count() const;
  // The entry at a client point (-1 outside the entries; Existing false: the entry the point
  // would be, clamped to the list).
  int ItemAtPos(POINT Pos, bool Existing) const;
  RECT ItemRect(int Index) const;
  void Clear();

  // Pop-up use, see above. Popup takes effect when the window is (re)made.
  bool Popup() const { return FPopup; }
  void SetPopup(bool Value);
  // Places the pop-up at screen bounds and shows it topmost without activation.
  void ShowPopup(int X, int Y, int Width, int Height);
  void HidePopup();
  bool PopupVisible() const;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  // Draws entry Index: OnDrawItem for owner-drawn styles when assigned, else the text on the
  // selection colours.
  virtual void DrawItem(int Index, RECT Rect, TOwnerDrawState State);
  // The height of entry Index for lbOwnerDrawVariable (OnMeasureItem may change it).
  virtual void MeasureItem(int Index, int32_t& Height);

 private:
  void ItemsChanged();
  // Moves the selection as the user does: scrolls it into view and reports the change.
  void UserSelect(int Index);
  void NotifySelChange();
  void ScrollIntoView(int Index);
  void UpdateScrollBar();
  int HeightOf(int Index) const;
  // Entries that fit in the client area from TopIndex on (at least 1).
  int VisibleCount() const;
  int FindPrefix(int StartAfter, const std::string& Text, bool Exact) const;
  int IntegralAdjusted(int AHeight) const;
  int NonClientHeight() const;
  void WMVScroll(TMessage& Message);
  void ListMessage(TMessage& Message);

  TStringList FItems;
  int32_t FItemIndex = -1;
  int32_t FTopIndex = 0;
  bool FPopup = false;
  bool FTracking = false;
  mutable std::vector<int> FHeights;  // measured heights (variable owner draw), -1 unknown
};

class TListBox : public TCustomListBox {
  KORCAM_CLASS(TListBox, TCustomListBox)

 public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};
