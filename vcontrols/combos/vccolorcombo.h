#pragma once
// The colour pickers of the library.
//
// TvcCustomColorList / TvcColorList: an owner-drawn list of colours, each drawn as a swatch and,
// optionally, its name. It lists a chosen mix of the class library's named colours, the entry for
// no colour (clNone), custom colours given as Name=HEX, colours added at run time under their
// "RGB: r, g, b" names (they survive rebuilds), and a grey scale; it sorts them by hue, by
// intensity or by name, lets the application filter and rename them through events, and keeps a
// selected colour. Every colour is one text entry Name=HEX in the master list, in display order;
// the list box shows the entries the filter lets through.
//
// TvcCustomColorCombo / TvcColorCombo: a drop-down combo whose face shows the selected colour's
// swatch and name and whose drop-down is a colour list (a top-level tool window that tracks the
// mouse and closes the combo on release). It keeps SelectedColor (the value the program reads:
// a colour, clNone, or vcNoColor while none is selected), matches typed text against the names,
// adds unlisted colours under their RGB text, opens the colour dialog (double click with
// cdoEnabled, or in place of the list with the ellipsis button), and can be bound to a field that
// holds the colour's name or, for an integer field, its value.

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/alignment.h"
#include "platform/forms/colordialog.h"
#include "platform/forms/listbox.h"
#include "vcontrols/combos/vccolortables.h"
#include "vcontrols/combos/vccombo.h"

class TvcCustomColorCombo;
class TvcColorList;

// (Sender, AColor, AColorName, Accept): a colour named after its RGB values is about to be added;
// the handler may rename it or refuse it.
using TvcAddNewColorEvent = TEvent<TObject*, TColor, std::string&, bool&>;
// (Sender, AColor, AColorName, Accept): whether the entry is shown.
using TvcOnFilterColorEvent = TEvent<TObject*, TColor, const std::string&, bool&>;

KORCAM_ENUM(TvcColorDialogOption, cdoEnabled, cdoPreventFullOpen, cdoFullOpen, cdoSolidColor, cdoAnyColor)
using TvcColorDialogOptions = TSet<TvcColorDialogOption>;
using TvcColorDialogEvent = TEvent<TObject*, TColorDialog*>;
// (Sender, Dialog, MResult, Accept): Accept starts as MResult = mrOk.
using TvcCloseColorDialogEvent = TEvent<TObject*, TColorDialog*, TModalResult, bool&>;

class TvcCustomColorList : public TCustomListBox {
  KORCAM_CLASS(TvcCustomColorList, TCustomListBox)

 public:
  explicit TvcCustomColorList(TComponent* AOwner);
  ~TvcCustomColorList() override;

  PROPERTY(TLeftRight, Alignment, taLeftJustify)
  PROPERTY(TLeftRight, ColorAlignment, taLeftJustify)
  // 0: as wide as the swatch is high. Starts at the smaller of the system and list font heights
  // less one, so it is always written.
  NODEFAULT_PROPERTY(int32_t, ColorWidth, 0)
  PROPERTY(TvcColorListBoxOptions, Options, ccoShowStandardColors, ccoShowColorNames)
  // vcNoColor while the list has no current item.
  ACCESSOR_PROPERTY(TColor, SelectedColor, vcNoColor)
  PROPERTY(TvcSortByOption, SortBy, csoNone)
  // 1 to 255.
  PROPERTY(int32_t, GreyScaleIncrement, 10)
  PROPERTY(std::string, NoneString, "")
  EVENT(TvcAddNewColorEvent, OnAddNewColor)
  EVENT(TvcOnFilterColorEvent, OnFilterColor)
  // 0 or more.
  PROPERTY(int32_t, ColorMargin, 2)
  ACCESSOR_PROPERTY(TStrings*, CustomColors)

 public:
  // Appends Name=Hex to the master list unless the value text or the name (without regard to
  // case) is listed already; an "RGB:" name goes to OnAddNewColor first and, accepted, joins the
  // added colours and shows at once. Whether it was added.
  virtual bool AddColor(std::string Name, const std::string& Hex);
  virtual void CustomColorsChanged();
  // The first pair of master entries whose names compare equal in the locale (each entry with
  // every later one); Name is the later one's.
  virtual bool FindDuplicateName(std::string& Name);
  // The library colours, the custom colours, the added colours and the grey scale, then shown.
  virtual void BuildColorList();
  // Sorts the master list by SortBy, fills the items, and selects the stored colour again.
  virtual void SortAndShow();
  // The items (and the index map) from the master list, as OnFilterColor lets them through.
  virtual void FillItems();
  virtual void DrawColorItem(TCanvas* ACanvas, int Index, TColor Color, const std::string& Name,
                             TOwnerDrawState State, RECT Rect, int SwatchHeight, int SwatchWidth);
  // The colour of shown item Index; raises EConvertError for a value that is not hexadecimal.
  virtual TColor ColorOfItem(int Index);

  int GetCurrentIndex();
  // Makes Index current and stores its colour as the selected one (vcNoColor for -1 or an index
  // past the end).
  void SelectIndex(int Index);
  const TStringList& MasterList() const { return FMasterList; }
  const TStringList& AddedColors() const { return FAddedColors; }
  const std::vector<int>& IndexMap() const { return FIndexMap; }
  // The selected colour before the last click.
  TColor PreviousColor() const { return FPreviousColor; }
  // The stored colour goes back to the one before the last click (the current item stays).
  void RestorePreviousColor() { FSelectedColor = FPreviousColor; }
  // The stored selected colour, also while no item is current.
  TColor StoredColor() const { return FSelectedColor; }
  // A colour combo's drop-down: its owner is a colour combo.
  bool IsDropDown() const;
  // The marks of a press in the drop-down; the combo clears them each time it opens.
  bool PressedInList() const { return FPressedInList; }
  bool TrackingStopped() const { return FTrackingStopped; }
  void ClearDropDownMarks();

  void Loaded() override;
  void Click() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DrawItem(int Index, RECT Rect, TOwnerDrawState State) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  TStringList FMasterList;
  TStringList FAddedColors;
  TStringList FCustomColorList;
  std::vector<int> FIndexMap;
  TColor FSelectedColor = vcNoColor;
  TColor FPreviousColor = vcNoColor;
  int FHotItem = -1;
  POINT FHotPoint{0, 0};
  bool FPressedInList = false;
  bool FTrackingStopped = false;
  // The left button is held after a press in the list.
  bool FPressing = false;

 private:
  bool Loading() const { return ComponentState().Contains(csLoading); }
  void WarnOfDuplicateNames();
};

class TvcColorList : public TvcCustomColorList {
  KORCAM_CLASS(TvcColorList, TvcCustomColorList)

 public:
  explicit TvcColorList(TComponent* AOwner) : TvcCustomColorList(AOwner) {}
};

// The settings a colour combo gives its list each time it drops down.
class TvcColorListOptions : public TPersistent {
  KORCAM_CLASS(TvcColorListOptions, TPersistent)

 public:
  explicit TvcColorListOptions(TvcCustomColorCombo* ACombo = nullptr);
  ~TvcColorListOptions() override;

  PLAIN_PROPERTY(TColor, Color, clWindow)
  PROPERTY(int32_t, ColorWidth, 0)
  OWNED_PROPERTY(TFont, Font)
  PROPERTY(int32_t, GreyScaleIncrement, 10)
  PLAIN_PROPERTY(bool, IntegralHeight, true)
  PLAIN_PROPERTY(int32_t, ItemHeight, 16)
  PLAIN_PROPERTY(std::string, NoneString, "None")
  PROPERTY(TvcColorListBoxOptions, Options, ccoShowStandardColors, ccoShowColorNames)
  PLAIN_PROPERTY(TvcSortByOption, SortBy, csoNone)

 public:
  void Assign(TPersistent* Source) override;

 private:
  TvcCustomColorCombo* FCombo;
};

class TvcCustomColorCombo : public TvcCustomCombo {
  KORCAM_CLASS(TvcCustomColorCombo, TvcCustomCombo)

 public:
  explicit TvcCustomColorCombo(TComponent* AOwner);
  ~TvcCustomColorCombo() override;
  void BeforeDestruction() override;

  PLAIN_PROPERTY(bool, AutoDropDown, false)
  PROPERTY(TLeftRight, ColorAlignment, taLeftJustify)
  PROPERTY(TColorDialog*, ColorDialog, nullptr)
  PLAIN_PROPERTY(TvcColorDialogOptions, ColorDialogOptions, cdoPreventFullOpen)
  OWNED_PROPERTY(TvcColorListOptions, ColorListOptions)
  ACCESSOR_PROPERTY(TStrings*, CustomColors)
  PLAIN_PROPERTY(int32_t, DropDownWidth, 0)
  // The stored colour the program reads: a colour, clNone, or vcNoColor.
  PROPERTY(TColor, SelectedColor, vcNoColor)
  PLAIN_PROPERTY(bool, ShowMatchText, true)
  // Read while a field is bound: a string field's own alignment, left for any other field.
  ACCESSOR_PROPERTY(TLeftRight, UnboundAlignment, taLeftJustify)
  EVENT(TvcAddNewColorEvent, OnAddNewColor)
  EVENT(TvcOnFilterColorEvent, OnFilterColor)
  EVENT(TvcColorDialogEvent, OnInitColorDialog)
  EVENT(TvcCloseColorDialogEvent, OnCloseColorDialog)

 public:
  // ---- operations ------------------------------------------------------------------------------
  virtual void DoAddNewColor(TObject* Sender, TColor Color, std::string& Name, bool& Accept);
  virtual void DoFilterColor(TObject* Sender, TColor Color, const std::string& Name, bool& Accept);
  // The colour of shown item Index; for -1 the colour of an RGB text in the edit, else
  // SelectedColor.
  virtual TColor ColorOfItem(int Index);
  virtual bool IsIntegerField() const;
  // The name of the shown item holding Color; else its RGB text (empty for vcNoColor, and while
  // there is no list).
  virtual std::string ColorName(TColor Color);
  virtual RECT GetColorTextRect(RECT Rect, bool Highlight);
  virtual void CreateColorList();
  virtual int GetTextLeftOffset(RECT Rect);
  virtual void DrawSwatch(TCanvas* ACanvas, RECT Rect, bool Highlight, TColor Color);
  virtual void SetTextByName(const std::string& Name);
  // The colour dialog with SelectedColor; accepted, its colour becomes SelectedColor (an unlisted
  // one is added under its RGB text). Whether the user confirmed.
  virtual bool ExecuteColorDialog();
  virtual void RebuildList();

  // Text, item index and list follow SelectedColor; an unlisted colour is added first.
  void SyncSelectedColor();
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Index);
  TvcColorList* ColorList() const { return FColorList; }
  // The swatch's width and height in a paint rectangle.
  SIZE GetSwatchSize(const RECT& Rect);
  static std::optional<TColor> ParseRGBText(const std::string& Text) { return ::ParseRGBText(Text); }

  // ---- the combo base's part ---------------------------------------------------------------
  TWinControl* GetDropDownControl() override;
  TWinControl* GetDropDownContainer() override;
  int GetDropDownItemCount() override;
  void GetDropDownItemSize(int& Width, int& ItemHeight) override;
  bool GetDroppedDown() override;
  void DropDown() override;
  void CloseUp(bool Accept) override;
  void PaintText(TCanvas* ACanvas, RECT Rect, bool Highlight, bool GridCell, const std::string& Text) override;
  void AfterPaint() override;
  void PaintFieldText(TCanvas* ACanvas, RECT Rect, bool Highlight) override;
  void DataChange(TObject* Sender) override;
  void UpdateData(TObject* Sender) override;
  bool EditCanModify() override;
  bool IsTextEditable() const override;
  void DisableTyping() override;
  void SelectAll() override;
  void SetEditRect() override;
  int GetTextRight() override;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateWnd() override;
  void Change() override;
  void DblClick() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void CustomColorsChanged();
  void ListMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  // The shown item named Name (without regard to case), -1 when none.
  int ShownIndexOfName(const std::string& Name);
  // The shown item holding Color, -1 when none.
  int ShownIndexOfColor(TColor Color);
  // The key messages of the list's navigation (see the .cpp).
  bool HandleListKeys(TMessage& Message);
  void ClearColor();
  bool Destroying() const { return ComponentState().Contains(csDestroying); }

  TvcColorList* FColorList = nullptr;
  TStringList FCustomColorList;
  int FItemIndex = -1;
  bool FAutoDropping = false;
  bool FModifyGuard = false;
  bool FTextGuard = false;
  bool FDialogGuard = false;
  bool FPressedInside = false;
  int FIndexAtDropDown = -1;
  TColor FColorAtDropDown = vcNoColor;
  int FListIndexAtPress = -1;
  bool FSelecting = false;
  TLeftRight FUnboundAlignment = taLeftJustify;
};

class TvcColorCombo : public TvcCustomColorCombo {
  KORCAM_CLASS(TvcColorCombo, TvcCustomColorCombo)

 public:
  explicit TvcColorCombo(TComponent* AOwner);
  PUBLISH_PROPERTY(TvcCustomCombo, TvcComboStyle, Style, vccombo::csDropDownList)
};
