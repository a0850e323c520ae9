#pragma once
// The library's label: a windowless control whose caption goes through the caption renderer
// (TextOptions), so it can be lowered, raised, outlined, shadowed, extruded, turned, wrapped and
// justified. With AutoSize the label is exactly as large as its rendered caption (a
// right-aligned label keeps its right edge and grows to the left); Alt and the caption's
// accelerator letter give the focus to FocusControl. The data-aware label can show a field of a
// data set instead of its caption.

#include <memory>
#include <string>

#include "platform/forms/graphiccontrol.h"
#include "platform/forms/wincontrol.h"
#include "vcontrols/text/vctext.h"

class TFieldDataLink;
class TDataSource;

class TvcCustomLabel : public TGraphicControl {
  KORCAM_CLASS(TvcCustomLabel, TGraphicControl)

 public:
  explicit TvcCustomLabel(TComponent* AOwner);
  ~TvcCustomLabel() override;

  // --- settings (TvcLabel publishes them) ---
  bool AutoSize() const { return FAutoSize; }
  // On a change: store, size to the caption, repaint.
  virtual void SetAutoSize(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  TvcCaptionText* TextOptions() const { return FTextOptions.get(); }
  void SetTextOptions(TvcCaptionText* Value) { FTextOptions->Assign(Value); }
  // No background is painted: the parent shows around the caption.
  bool Transparent() const;
  void SetTransparent(bool Value);

  // --- operations ---
  virtual std::string GetLabelText() const;
  virtual void DoMouseEnter();
  virtual void DoMouseLeave();
  virtual bool IsTextEnabled() const;
  // Takes the size of the rendered caption (turned, shadowed, extruded, outlined), unless the
  // label is being read from a form or AutoSize is off.
  virtual void AdjustBounds();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void Paint() override;

  std::unique_ptr<TvcCaptionText> FTextOptions;
  TWinControl* FFocusControl = nullptr;

 private:
  void CMDialogChar(TMessage& Message);
};

// The label with a field data link: without a field it shows its caption, with one the
// field's text (a memo's whole text).
class TvcDBCustomLabel : public TvcCustomLabel {
  KORCAM_CLASS(TvcDBCustomLabel, TvcCustomLabel)

 public:
  explicit TvcDBCustomLabel(TComponent* AOwner);
  ~TvcDBCustomLabel() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  const std::string& DataField() const;
  void SetDataField(const std::string& Value);
  TFieldDataLink* DataLink() const { return FDataLink.get(); }

  // Raises "Operation not allowed in a DBCtrlGrid" when switched on while the data source is
  // fixed.
  void SetAutoSize(bool Value) override;
  std::string GetLabelText() const override;
  virtual std::string GetFieldText() const;
  // The link's data changed: the caption follows the field.
  void DataChange(TObject* Sender);

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Answers CM_GETDATALINK with the link.
  // FIXME: waits for actions that look for a target among the controls (our actions run their
  // own handlers only): a target action's execution and update then go to the component
  // handling first and to the link second.
  void Dispatch(TMessage& Message) override;

 private:
  std::unique_ptr<TFieldDataLink> FDataLink;
};

class TvcLabel : public TvcDBCustomLabel {
  KORCAM_CLASS(TvcLabel, TvcDBCustomLabel)

 public:
  explicit TvcLabel(TComponent* AOwner) : TvcDBCustomLabel(AOwner) {}

  PUBLISH_PROPERTY(TvcCustomLabel, bool, AutoSize, true)
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
  PUBLISH_PROPERTY(TvcDBCustomLabel, std::string, DataField, "")
  PUBLISH_PROPERTY(TvcDBCustomLabel, TDataSource*, DataSource, nullptr)
  PUBLISH_PROPERTY(TvcCustomLabel, TWinControl*, FocusControl, nullptr)
  KORCAM_PROPERTY_ROW(TextOptions, [] {
    auto Info = korcam_detail::MakeProperty("TextOptions", "TvcCaptionText*", &TvcCustomLabel::TextOptions,
                                            &TvcCustomLabel::SetTextOptions);
    Info.Owned = true;
    return Info;
  }())
  PUBLISH_PROPERTY(TvcCustomLabel, bool, Transparent, false)
};
