#pragma once
// The edit base of the data-aware library: a masked edit that works unbound on its own text or
// bound to one field of a data set through a field data link.
//
// - TkvCustomMaskEdit adds typing through a picture mask (the library's own mask grammar,
//   kvpicturevalidator.h) with an event that sees every check, an edit frame, word wrap and
//   returns.
// - TkvDBCustomEdit binds a field, completes dates and times when Space is typed, filters keys
//   of numeric fields, hands navigation keys to a grid or inspector that hosts it, and paints its
//   text itself while it is not being edited (alignment, frame colours, highlight in a grid).
//   It is the base of the spin edit and the combos.
// - TkvDBEdit is the published edit; TkvDBPicture the picture-mask settings of one edit.
//
// The window's own read-only flag (EM_SETREADONLY) is separate from the ReadOnly property: a new
// edit starts read-only at the window level and the first key, paste, cut or Delete of an unbound
// edit that is not ReadOnly lifts it; a bound edit's window flag follows the data link's editing
// state. Every text change of an unbound edit marks it modified once its form has loaded.
//
// Extension points (virtual, listed in the order descendants override them):
//   TkvCustomMaskEdit: IsOwnerDrawn, SetEditRect, DoCheckValue, StartEdit, GetButtonWidth,
//   GetTextRight.
//   TkvDBCustomEdit: IsEditLocked, IsMemoField, HasEditableText, GetTextRect, GetValueText,
//   PaintText, GetShowButton, SetShowButton, PaintFrame, DoInvalidValue, IsDroppedDown,
//   DoMouseEnter, DoMouseLeave, GetDisplayText.

#include <memory>
#include <string>

#include "kvcontrols/editors/kvframe.h"
#include "platform/classes/alignment.h"
#include "platform/db/datasource.h"
#include "platform/forms/maskedit.h"

class TDataSet;
class TField;
class TFieldDataLink;
class TControlCanvas;
class TkvCustomMaskEdit;

KORCAM_ENUM(TkvEditAlignment, eaLeftAlignEditing, eaRightAlignEditing)
// How an unbound edit reads its text: as plain text, a date, a time or both.
KORCAM_ENUM(TkvEditDataType, kvDefault, kvEdtDate, kvEdtTime, kvEdtDateTime)

// (Sender, PassesPictureTest): told about every check of the text against the picture mask.
using TkvValidateEvent = TEvent<TObject*, bool>;

// The picture-mask settings of one edit. While PictureMaskFromDataSet is set and the edit is
// bound to a data set that publishes a PictureMasks list, the mask and its auto-fill flag live in
// that list's entry for the field (a picture the table itself keeps wins), and AllowInvalidExit
// reads False.
class TkvDBPicture : public TPersistent {
  KORCAM_CLASS(TkvDBPicture, TPersistent)

 public:
  explicit TkvDBPicture(TkvCustomMaskEdit* AOwner = nullptr) : FEdit(AOwner) {}

  ACCESSOR_PROPERTY(std::string, PictureMask, "")
  ACCESSOR_PROPERTY(bool, AutoFill, true)
  ACCESSOR_PROPERTY(bool, AllowInvalidExit, false)
  PLAIN_PROPERTY(bool, PictureMaskFromDataSet, true)

 public:
  TkvCustomMaskEdit* Edit() const { return FEdit; }
  // The mask lives in the bound data set's PictureMasks list.
  bool MaskFromDataSet() const;
  // Copies mask and auto-fill from the data set's entry (when the mask lives there).
  void RefreshFromDataSet();
  // From another picture: its mask and AutoFill as it reads them.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

 private:
  // Writes mask and auto-fill into the data set's entry.
  void StoreInDataSet();

  TkvCustomMaskEdit* FEdit;
  std::string FStoredMask;
  // The mask last read from the data set (the getter hands out a reference).
  mutable std::string FReadMask;
  bool FStoredAutoFill = true;
  bool FStoredAllowInvalidExit = false;
};

class TkvCustomMaskEdit : public TCustomMaskEdit {
  KORCAM_CLASS(TkvCustomMaskEdit, TCustomMaskEdit)

 public:
  explicit TkvCustomMaskEdit(TComponent* AOwner);
  ~TkvCustomMaskEdit() override;

  OWNED_PROPERTY(TkvDBPicture, Picture)
  OWNED_PROPERTY(TkvEditFrame, Frame)
  // A change makes the window again (styles are fixed at creation).
  PROPERTY(bool, WordWrap, false)
  PROPERTY(bool, WantReturns, false)
  PROPERTY(bool, ShowVertScrollBar, false)
  PLAIN_PROPERTY(bool, MaskStoreLiteralTemplate, false)
  PLAIN_PROPERTY(bool, UsePictureMask, true)
  EVENT(TkvValidateEvent, OnCheckValue)

 public:
  // UsePictureMask with a non-empty mask: the class library's edit mask is then not used.
  bool PictureMaskInUse() const;
  // Empty texts pass; otherwise a text passes when no picture mask is set or when it completely
  // matches it. OnCheckValue hears the result every time.
  bool IsPictureValid(const std::string& Text);
  // The last key press changed the text itself (through the picture mask).
  bool ModifiedInKeyPress() const { return FModifiedInKeyPress; }
  // The last exit was refused because the text fails its picture mask.
  bool DoExitPictureError() const { return FDoExitPictureError; }
  // The window's own read-only flag.
  bool WindowReadOnly() const { return FWindowReadOnly; }
  void SetWindowReadOnly(bool Value);

  virtual bool IsOwnerDrawn() const { return false; }
  // Sets the formatting rectangle of the window.
  virtual void SetEditRect();
  virtual void DoCheckValue(bool PassesPictureTest);
  // Called before the user changes the text: a bound edit puts its record into edit mode.
  virtual void StartEdit() {}
  // The width of the control's button (0: none).
  virtual int GetButtonWidth() const { return 0; }
  // Where text ends on the right (the button's left edge for the combos).
  virtual int GetTextRight() const;

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyPress(char32_t& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void Change() override;
  // Types Key through the picture mask (after the masked edit's own handling).
  void PictureKeyPress(char32_t& Key);
  // The text is checked when OnCheckValue is set, for the event's sake.
  void RecheckForEvent();
  // Messages whose handling the bound edit extends.
  virtual void WMPasteCut(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  // Assigns a text that the user typed: a text change counts as a modification meanwhile.
  void SetTextAsEdit(const std::string& Value);

  bool FModifiedInKeyPress = false;
  bool FSetModifiedInChangeEvent = false;
  bool FDoExitPictureError = false;
  bool FWindowReadOnly = false;
};

class TkvDBCustomEdit : public TkvCustomMaskEdit {
  KORCAM_CLASS(TkvDBCustomEdit, TkvCustomMaskEdit)

 public:
  explicit TkvDBCustomEdit(TComponent* AOwner);
  ~TkvDBCustomEdit() override;

  ACCESSOR_PROPERTY(TDataSource*, DataSource, nullptr)
  ACCESSOR_PROPERTY(std::string, DataField, "")
  // The data link's read-only flag; the window follows it as described above.
  ACCESSOR_PROPERTY(bool, ReadOnly, false)
  PLAIN_PROPERTY(bool, AutoFillDate, true)
  PROPERTY(TkvEditAlignment, EditAlignment, eaLeftAlignEditing)
  PLAIN_PROPERTY(TkvEditDataType, UnboundDataType, kvDefault)
  PROPERTY(TAlignment, UnboundAlignment, taLeftJustify)

 public:
  TFieldDataLink* DataLink() const { return FDataLink.get(); }
  TField* Field() const;
  // Sets Modified; True is refused for a read-only binding and tells an editing data link.
  void SetModifiedFlag(bool Value);
  bool IsDateKind() const;
  bool IsTimeKind() const;
  bool IsDateTimeKind() const;
  // Left inside an inspector; else the field's alignment, or UnboundAlignment without a field.
  TAlignment GetEffectiveAlignment() const;
  // The text when an unbound edit took the focus (Escape gives it back).
  const std::string& StartValue() const { return FStartValue; }
  bool HasFocusFlag() const { return FFocused; }
  // Space completion of dates and times; true when it handled the key.
  bool AutoCompleteDateTime(char32_t& Key);

  virtual bool IsEditLocked() const;
  virtual bool IsMemoField() const;
  virtual bool HasEditableText() const { return true; }
  virtual void GetTextRect(RECT& Rect) const;
  virtual void GetValueText(std::string& Text) const { Text = this->Text(); }
  virtual void PaintText(TCanvas* Canvas, const RECT& Rect, const std::string& Text, int X, int Y);
  virtual bool GetShowButton() const { return false; }
  virtual void SetShowButton(bool) {}
  virtual void PaintFrame(TCanvas* Canvas);
  virtual void DoInvalidValue(TField* AField);
  virtual bool IsDroppedDown() const { return false; }
  virtual void DoMouseEnter();
  virtual void DoMouseLeave();
  virtual bool GetDisplayText(const std::string& Value, std::string& Text) const { return false; }

  void StartEdit() override;
  bool EditCanModify() override;
  void Reset() override;
  void SetEditRect() override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void DoEnter() override;
  void Change() override;
  void CMExit(TMessage& Message) override;
  void WMPasteCut(TMessage& Message) override;
  // Own painting (kveditpaint.cpp): true when the edit draws its text itself now.
  bool PaintsItself() const;
  void PaintSelf(TMessage& Message);
  // The top and left margins of own painting.
  void TextMargins(int& Left, int& Top) const;
  // The edit is inside a grid that may take navigation keys; true when the key went there.
  bool HandGridKey(WORD& Key, TShiftState Shift);
  TControlCanvas* PaintCanvas();
  void RecomputeTextMargin();

  std::unique_ptr<TFieldDataLink> FDataLink;
  std::unique_ptr<TControlCanvas> FPaintCanvas;
  TAlignment FFieldAlignment = taLeftJustify;
  std::string FStartValue;
  bool FFocused = false;
  int FTextMargin = 1;

 private:
  void DataChange(TObject* Sender);
  void EditingChange(TObject* Sender);
  void UpdateData(TObject* Sender);
  void CMEnter(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void ResetMaxLength();
  // Strips the edit mask's literals from the text; an empty result is a blank text.
  bool EditMaskTextIsBlank() const;
};

class TkvDBEdit : public TkvDBCustomEdit {
  KORCAM_CLASS(TkvDBEdit, TkvDBCustomEdit)

 public:
  explicit TkvDBEdit(TComponent* AOwner) : TkvDBCustomEdit(AOwner) {}
};
