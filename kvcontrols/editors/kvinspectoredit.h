#pragma once
// TkvDataInspectorEdit: the inspector's in-place text editor. The grid places it over the value
// cell of a row that has no editor control of its own; it takes the row's text and read-only
// state, wraps for word-wrapping rows, and keeps one pixel of the cell's frame free on each side.
// Navigation keys (Tab, Escape, the page keys, Up and Down, Enter when it acts as Tab) go to the
// inspector's own key handling; Ctrl+Left and Ctrl+Right reach it too, to collapse and expand.

#include "platform/forms/grids.h"

class TkvDataInspector;

class TkvDataInspectorEdit : public TInplaceEdit {
  KORCAM_CLASS(TkvDataInspectorEdit, TInplaceEdit)

 public:
  explicit TkvDataInspectorEdit(TComponent* AOwner);

  TkvDataInspector* Inspector() const;
  bool WordWrap() const { return FWordWrap; }
  void UpdateContents() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void BoundsChanged() override;
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;

 private:
  bool FWordWrap = false;
};
