#pragma once
// TkvDataInspectorEdit: the inspector's in-place text editor. The grid places it over the value
// cell of a row that has no editor control of its own; it takes the row's text and read-only
// state, wraps for word-wrapping rows, and keeps one pixel of the cell's frame free on each side.

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

 private:
  bool FWordWrap = false;
};
