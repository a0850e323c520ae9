#pragma once
// TkvDBSpinEdit: the numeric, date and time editor of the data-aware library. The edit base with
// a pair of up/down buttons at its right edge. The buttons and the Up and Down keys step a number
// by Increment, or step the date or time part under the caret; MinValue and MaxValue bound every
// value the control writes (both 0: no bounds).
//
// There is no stored value apart from the text: Value reads the text by the edit's kind (a bound
// numeric field, a date, a time, a date and time, or a plain number), and an empty or unreadable
// text reads as MinValue; reading never raises. A value typed outside the bounds reads as typed
// until the edit is left, then it is written back clamped.

#include <memory>

#include "kvcontrols/editors/kvdatetextutils.h"
#include "kvcontrols/editors/kvedit.h"
#include "kvcontrols/editors/kvspin.h"
#include "platform/rtl/datetime_type.h"
#include "platform/rtl/formatsettings.h"

// ---- the value logic, without a window ----------------------------------------------------

// Both bounds 0: Value unchanged. Otherwise below Min gives Min, else above Max gives Max (with
// Min above Max the lower test wins).
double kvSpinClamp(double Value, double MinValue, double MaxValue);
// Steps one part of Value: days wrap within the month, months within the year, hours within the
// day, minutes and seconds within the hour; AM/PM moves by twelve hours. A day that does not exist
// in the new month is lowered (down to the 28th). For a time kind Value is a time of day;
// otherwise a date part keeps the time of day and a time part keeps the date.
TDateTime kvStepDateTimePart(TDateTime Value, TkvDateTimePart Part, bool Up, bool TimeKind);
// Where the stepped part stands in Text (0-based start and length): date parts by the short date
// order, time parts after the date (a time kind's text is all time).
void kvSpinPartSelection(const std::string& Text, TkvDateTimePart Part, bool TimeKind, int& Start,
                         int& Length, const TFormatSettings& Settings = FormatSettings());

// The spin edit's own button effects: flat or transparent effects let the parent paint behind the
// buttons, so the edit's window stops clipping its children.
class TkvDBSpinButtonEffects : public TkvButtonEffects {
  KORCAM_CLASS(TkvDBSpinButtonEffects, TkvButtonEffects)

 public:
  TkvDBSpinButtonEffects(TControl* AEditControl = nullptr, TControl* AButtonControl = nullptr)
      : TkvButtonEffects(AEditControl, AButtonControl) {}
  void RefreshButton() override;
};

class TkvDBSpinEdit : public TkvDBCustomEdit {
  KORCAM_CLASS(TkvDBSpinEdit, TkvDBCustomEdit)

 public:
  explicit TkvDBSpinEdit(TComponent* AOwner);
  ~TkvDBSpinEdit() override;

  // Published without default: a form always stores it.
  double Value() const;
  // Always assigns the text (clamped, by kind) and marks the edit modified unless loading.
  void SetValue(double X);
  KORCAM_PROPERTY_ROW(Value,
                      korcam_detail::MakeProperty("Value", "double", &ThisClass::Value, &ThisClass::SetValue))
 public:
  PLAIN_PROPERTY(double, Increment, 1.0)
  PLAIN_PROPERTY(double, MinValue, 0)
  PLAIN_PROPERTY(double, MaxValue, 0)
  // False: the text cannot be typed, pasted, cut or deleted; the buttons and arrows still step.
  PLAIN_PROPERTY(bool, EditorEnabled, true)
  // A multi-line window keeps its formatting rectangle clear of the buttons.
  PROPERTY(bool, LimitEditRect, false)
  OWNED_PROPERTY(TkvDBSpinButtonEffects, ButtonEffects)
  EVENT(TNotifyEvent, BeforeUpClick)
  EVENT(TNotifyEvent, AfterUpClick)
  EVENT(TNotifyEvent, BeforeDownClick)
  EVENT(TNotifyEvent, AfterDownClick)

 public:
  TkvSpinButton* SpinButton() const { return FButton; }
  // Set while the edit has its parent repaint behind the buttons (they skip painting meanwhile).
  bool EraseGuard() const { return FEraseGuard; }
  // The button and arrow-key actions.
  virtual void UpClick();
  virtual void DownClick();
  // The key filter of typing.
  virtual bool IsValidKey(char32_t Key) const;
  // Places the spin button for the current size and sets the formatting rectangle.
  void LayoutButton();

  void SetEditRect() override;
  bool GetShowButton() const override;
  int GetButtonWidth() const override;
  int GetTextRight() const override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void CMExit(TMessage& Message) override;
  void WMPasteCut(TMessage& Message) override;

 private:
  void Step(bool Up);
  void UpClickHandler(TObject* Sender) { UpClick(); }
  void DownClickHandler(TObject* Sender) { DownClick(); }

  TkvSpinButton* FButton = nullptr;
  bool FEraseGuard = false;
};
