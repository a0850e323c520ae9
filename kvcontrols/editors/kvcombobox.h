#pragma once
// TkvDBCustomComboBox and its published form TkvDBComboBox: the combo base whose button drops
// down a list of choices, a borderless topmost list window (TkvPopupListbox), with
// - a map list: an item may be "display<TAB>value", so that the field stores the value while the
//   user sees the display text;
// - matching of typed text against the entries, first-letter search, and a type-ahead search
//   inside the open list (the type-ahead text restarts after 1500 ms without a key);
// - a history list of accepted texts, the newest optionally shown at the top of the list;
// - a two-column display of the pieces of each item.
// A thread mouse hook closes the list when the user clicks anywhere outside it and the combo.
//
// The list window is created on first need and lives until the combo goes. ItemIndex reads the
// list's selection once the list exists, the stored index before.

#include <memory>
#include <string>

#include "kvcontrols/editors/kvcombo.h"
#include "kvcontrols/editors/kvhistory.h"
#include "platform/forms/customcontrol.h"
#include "platform/rtl/stringlist.h"

KORCAM_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)

class TkvDBCustomComboBox;

// (Sender, Select): the list closed; Select tells whether an entry was accepted.
using TkvComboCloseUpEvent = TEvent<TObject*, bool>;
// (Sender, Value, Accept): Accept False keeps Value out of the history.
using TkvAddHistoryItemEvent = TEvent<TObject*, const std::string&, bool&>;
// (Control, Index, Rect, State): paints an item of an owner-drawn combo. State holds
// kvodSelected and kvodFocused.
using TkvDrawItemEvent = TEvent<TObject*, int, const RECT&, uint32_t>;
constexpr uint32_t kvodSelected = 0x01;
constexpr uint32_t kvodFocused = 0x10;
// (Control, Index, Height): published for form compatibility; nothing calls it.
using TkvMeasureItemEvent = TEvent<TObject*, int, int&>;

// The items of a combo box: every change marks the combo's list stale.
class TkvComboStringList : public TStringList {
 public:
  explicit TkvComboStringList(TkvDBCustomComboBox* Combo) : FCombo(Combo) {}
  int AddObject(const std::string& S, TObject* Object) override;
  void Clear() override;
  void Delete(int Index) override;
  void Exchange(int Index1, int Index2) override;
  void Insert(int Index, const std::string& S) override;
  void Sort() override;

 private:
  void MarkStale();
  TkvDBCustomComboBox* FCombo;
};

// The drop-down list: a top-level tool window without activation, showing its entries one per
// row with the selected one highlighted.
class TkvPopupListbox : public TCustomControl {
  KORCAM_CLASS(TkvPopupListbox, TCustomControl)

 public:
  explicit TkvPopupListbox(TComponent* AOwner);

  TStringList& Items() { return FItems; }
  const TStringList& Items() const { return FItems; }
  int Count() const { return FItems.Count(); }
  int ItemIndex() const { return FItemIndex; }
  // An index outside the entries selects nothing.
  void SetItemIndex(int Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value) { FItemHeight = Value; }
  int TopIndex() const { return FTopIndex; }
  // Back to the first row, then the selection scrolled into view (after a size change).
  void ResetScroll();
  // The first entry after StartAfter (cyclically) that begins with Prefix, a-z folded; -1 when
  // none. StartAfter -1 searches from the top.
  int FindPrefix(const std::string& Prefix, int StartAfter) const;
  // Selects that entry; the answer is its index or -1 (the selection then stays).
  int SelectString(int StartAfter, const std::string& Prefix);
  // The row under a client point, or -1.
  int ItemAtPos(POINT Point) const;
  RECT ItemRect(int Index) const;
  TkvDBCustomComboBox* Combo() const { return FCombo; }

  // The type-ahead text and the tick of its last key.
  std::string SearchText;
  uint32_t LastKeyTick = 0;

  // Moves the selection as a list box does for Up, Down, PgUp, PgDn, Home and End; true when
  // the key was one of them.
  bool MoveByKey(WORD Key);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  void ScrollIntoView();
  TkvDBCustomComboBox* FCombo;
  TStringList FItems;
  int FItemIndex = -1;
  int FItemHeight = 11;
  int FTopIndex = 0;
};

class TkvDBCustomComboBox : public TkvDBCustomCombo {
  KORCAM_CLASS(TkvDBCustomComboBox, TkvDBCustomCombo)

 public:
  explicit TkvDBCustomComboBox(TComponent* AOwner);
  ~TkvDBCustomComboBox() override;
  void BeforeDestruction() override;

  ACCESSOR_PROPERTY(TStrings*, Items)
  ACCESSOR_PROPERTY(int32_t, ItemIndex, -1)
  // Replaces the combo base's style for the combo box.
  PROPERTY(TComboBoxStyle, Style, csDropDown)
  PLAIN_PROPERTY(bool, MapList, false)
  PLAIN_PROPERTY(bool, AllowClearKey, false)
  PLAIN_PROPERTY(bool, AutoDropDown, false)
  PLAIN_PROPERTY(bool, ShowMatchText, false)
  PLAIN_PROPERTY(bool, TwoColumnDisplay, false)
  PLAIN_PROPERTY(bool, DisableDropDownList, false)
  PLAIN_PROPERTY(int32_t, DropDownCount, 8)
  PLAIN_PROPERTY(int32_t, DropDownWidth, 0)
  PLAIN_PROPERTY(int32_t, Column1Width, 0)
  PLAIN_PROPERTY(int32_t, ItemHeight, 0)
  ACCESSOR_PROPERTY(bool, Sorted, false)
  OWNED_PROPERTY(TkvHistoryList, HistoryList)
  EVENT(TNotifyEvent, OnDropDown)
  EVENT(TkvComboCloseUpEvent, OnCloseUp)
  EVENT(TkvDrawItemEvent, OnDrawItem)
  EVENT(TkvMeasureItemEvent, OnMeasureItem)
  EVENT(TkvAddHistoryItemEvent, OnAddHistoryItem)

 public:
  TkvComboStringList& ItemList() { return *FItems; }
  TkvPopupListbox* ListBox() const { return FListBox; }
  bool ListStale() const { return FListStale; }
  void MarkListStale() { FListStale = true; }
  const std::string& PreDropDownText() const { return FPreDropDownText; }

  // Shows a stored value (the inspector's way in).
  void SelectValue(const std::string& Value);
  // The stored value of a display text, and back (map lists and two columns).
  std::string DisplayToValue(const std::string& Display) const;
  std::string ValueToDisplay(const std::string& Value) const;
  // Shows a value that came from the field or the program.
  void SetValueText(const std::string& Data);
  // Refills the list from the items and the history.
  void RebuildDropDownList();
  // Creates the list when missing; rebuilds it when it is empty or stale.
  void EnsureList();

  virtual int IndexOfText(const std::string& Text, int StartAt);
  virtual void RemoveFromHistory(const std::string& Text, bool FromHistory);
  virtual void AddToHistory(std::string Text, bool ToHistory);
  virtual void ClearHistory();

  bool IsOwnerDrawn() const override;
  bool HasEditableText() const override;
  bool IsEditStyle() const override;
  bool IsDroppedDown() const override { return FListVisible; }
  void GetValueText(std::string& Text) const override;
  // Owner-drawn combos with OnDrawItem paint their edit part through it.
  void PaintText(TCanvas* Canvas, const RECT& Rect, const std::string& Text, int X, int Y) override;
  bool GetDisplayText(const std::string& Value, std::string& Text) const override;
  void DropDown() override;
  void CloseUp(bool Accept) override;
  void Dispatch(TMessage& Message) override;

  // The list's own keys and clicks, routed here.
  void ListKeyPress(char32_t& Key);
  void ListSelectionChanged();
  void ListMouseUp();

 protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  friend class TkvComboStringList;
  void ComboDataChange(TObject* Sender);
  // Selects entry Index as the Down key does (edit mode for a bound combo; nothing for an
  // unbound read-only one); with SelectText the text is selected afterwards.
  bool SelectEntry(int Index, bool SelectText);
  bool MayChangeValue() const;
  int StoredIndexForText();
  void InstallMouseHook();
  static void RemoveMouseHook();
  static LRESULT MouseHook(int Code, WPARAM WParam, LPARAM LParam);

  std::unique_ptr<TkvComboStringList> FItems;
  TkvPopupListbox* FListBox = nullptr;
  int32_t FStoredIndex = -1;
  bool FListVisible = false;
  bool FListStale = true;
  std::string FPreDropDownText;
  bool FSavedShowHint = false;
  bool FNoKeysYet = false;
  bool FAutoDroppingDown = false;
  bool FSelectionChange = false;
  bool FClosing = false;
  bool FDestroying = false;
  TNotifyEvent FBaseDataChange;
  static HHOOK FMouseHook;
};

class TkvDBComboBox : public TkvDBCustomComboBox {
  KORCAM_CLASS(TkvDBComboBox, TkvDBCustomComboBox)

 public:
  explicit TkvDBComboBox(TComponent* AOwner) : TkvDBCustomComboBox(AOwner) {}
};

// The value text of any edit of the library (GetValueText); the inspector commits it.
void kvGetEditValueText(TObject* Control, std::string& Text);
