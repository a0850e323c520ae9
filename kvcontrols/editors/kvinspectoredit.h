#pragma once
// TkvDataInspectorEdit: the inspector's in-place text editor. The grid places it over the value
// cell of a row that has no editor control of its own; it takes the row's text and read-only
// state, wraps for word-wrapping rows, and keeps one pixel of the cell's frame free on each side.
// Navigation keys (Tab, Escape, the page keys, Up and Down, Enter when it acts as Tab) go to the
// inspector's own key handling; Ctrl+Left and Ctrl+Right reach it too, to collapse and expand.
//
// A row with a picture mask is typed through it: the editor takes the row's picture (or, bound
// with PictureMaskFromDataSet, the field's entry in the data set's PictureMasks) when it gets the
// focus, and each printable key is checked against the mask and completed by auto-fill.

#include <memory>
#include <string>

#include "kvcontrols/editors/kvedit.h"
#include "platform/forms/grids.h"

class TkvDataInspector;

class TkvDataInspectorEdit : public TInplaceEdit {
  KORCAM_CLASS(TkvDataInspectorEdit, TInplaceEdit)

 public:
  explicit TkvDataInspectorEdit(TComponent* AOwner);
  ~TkvDataInspectorEdit() override;

  TkvDataInspector* Inspector() const;
  bool WordWrap() const { return FWordWrap; }
  void UpdateContents() override;
  void Dispatch(TMessage& Message) override;

  // The mask typing is checked against; owned by the editor.
  TkvDBPicture* Picture() const { return FPicture.get(); }
  bool HasPictureMask() const { return !FPicture->PictureMask().empty(); }
  // True for an empty text, without a mask, or when Text completely matches the mask (no
  // auto-fill). The inspector's OnCheckValue hears the result.
  bool CheckPicture(const std::string& Text);
  // The second flag of the last PictureMasks lookup made for a bound row.
  bool PictureSecondFlag() const { return FPictureSecondFlag; }

 protected:
  void BoundsChanged() override;
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;

 private:
  void TakeRowPicture();
  void PictureKeyPress(char32_t& Key);
  void TellCheckValue(bool PassesPictureTest);

  std::unique_ptr<TkvDBPicture> FPicture;
  bool FWordWrap = false;
  bool FPictureSecondFlag = true;
};
