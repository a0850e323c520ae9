#pragma once
// TCustomMaskEdit and TMaskEdit: an edit whose input follows an edit mask (editmask.h).
//
// With an empty EditMask the control is the plain edit in every respect: EditText equals Text,
// EditCanModify allows, Reset and ValidateEdit do nothing.
//
// With a mask the text always has one character per mask position. Literal positions cannot be
// typed over; typing a character that the position accepts replaces it and moves the caret to the
// next input position (literals are skipped); a refused character beeps. Backspace and Delete
// put blanks back (a selection is blanked as a whole); pasting types the clipboard's characters
// one after the other. The length limit is the mask's length. EditText is the text as shown (with
// literals and blank characters); Text is what programs read and write: blanks become spaces and,
// when the mask does not store literals, the literals are left out.
//
// Escape undoes the edits made since the control was entered (Reset); leaving the control checks
// the text (ValidateEdit), which raises EDBEditError and puts the caret on the first position
// that is wrong, so the focus stays.
//
// Extension points (virtual):
// - EditCanModify(): asked before every change by the user; false refuses the change silently
//   (a data-aware descendant first puts its record into edit mode here).
// - Reset(): called on Escape while the text is modified; gives back the text of the entry.
// - Validate(Value, Pos): whether an edit text is complete; Pos receives the first bad position.
// - ValidateError(): raises the error; called by ValidateEdit on a failed check.
// - ValidateEdit(): runs the check; called when the control is left.

#include <string>

#include "platform/forms/edit.h"
#include "platform/forms/editmask.h"
#include "platform/rtl/exceptions.h"

KORCAM_EXCEPTION(EDBEditError, Exception);

// The message of a failed ValidateEdit (two blanks after the full stop).
extern const char* const SMaskEditErr;

class TCustomMaskEdit : public TCustomEdit {
  KORCAM_CLASS(TCustomMaskEdit, TCustomEdit)

 public:
  explicit TCustomMaskEdit(TComponent* AOwner);
  ~TCustomMaskEdit() override;

  PROPERTY(std::string, EditMask, "")
  // The length limit: the mask's length while there is a mask (a value set meanwhile is kept for
  // when the mask goes), the stored limit otherwise.
  ACCESSOR_PROPERTY(int32_t, MaxLength, 0)

 public:
  bool IsMasked() const { return !FMask.Empty(); }
  const TEditMask& Mask() const { return FMask; }
  // The text as shown: with literals and blank characters when masked, else Text.
  std::string EditText() const;
  // Sets the shown text directly (masked: one character per position; a shorter text is padded
  // with the empty positions, characters that do not fit a position leave it blank).
  void SetEditText(const std::string& Value);

  virtual bool EditCanModify();
  virtual void Reset();
  virtual bool Validate(const std::string& Value, int& Pos);
  virtual void ValidateError();
  virtual void ValidateEdit();

  void Dispatch(TMessage& Message) override;

 protected:
  std::string GetText() const override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void DoEnter() override;
  void Change() override;
  // Puts the caret on Position (masked: selects the character there, so typing replaces it).
  void SetCursor(int Position);
  // Whether the text was changed by the user since the control was entered (Escape resets).
  bool MaskModified() const { return FOldValueValid && EditText() != FOldValue; }

 private:
  void WMSetText(TMessage& Message);
  void WMPaste(TMessage& Message);
  void WMCutClear(TMessage& Message);
  void CMExit(TMessage& Message);
  // Replaces the shown text as an edit by the user: modified, OnChange, caret at CaretAt.
  void ApplyUserEdit(const std::u32string& NewEditText, size_t CaretAt);
  // Types the characters into the positions from the selection start on; returns false when
  // nothing could be typed.
  bool TypeChars(const std::u32string& Chars);
  // Blanks the input positions in [Start, End).
  std::u32string BlankRange(size_t Start, size_t End) const;
  std::u32string ShownChars() const;
  void SetShownChars(const std::u32string& Chars);
  void ApplyLimit();
  // Whether the user may change the text now: the window's read-only flag beeps, EditCanModify
  // refuses silently.
  bool CanUserEdit();

  TEditMask FMask;
  int32_t FUserMaxLength = 0;
  std::string FOldValue;
  bool FOldValueValid = false;
  bool FUserEdit = false;
};

class TMaskEdit : public TCustomMaskEdit {
  KORCAM_CLASS(TMaskEdit, TCustomMaskEdit)

 public:
  explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};
