#pragma once
// The pickers' test form: a framed panel with the text and shadow colour combos, a group box with
// the effect colour combo (no border, grey scale, sorted by hue) beside a bevelled panel holding
// a transparent group box without caption, and an edit, read from its form text
// (tests/fixtures/forms/vcpickers.form). Its handler records which combos changed. The same clicks
// and keys are played on it headless and on a real X server.

#include <memory>
#include <string>
#include <vector>

#include "platform/backends/headless/headless.h"
#include "platform/forms/form.h"
#include "vcontrols/combos/vccolorcombo.h"

class TVcPickersForm : public TForm {
  KORCAM_CLASS(TVcPickersForm, TForm)

 public:
  explicit TVcPickersForm(TComponent* AOwner) : TForm(AOwner) {}

  PUBLISHED_METHOD(ComboChange, TObject* Sender)

 public:
  std::vector<std::string> Changes;

  template <class T>
  T* Find(const char* Name) const {
    return dynamic_cast<T*>(FindComponent(Name));
  }
};

struct TVcPickersFree {
  void operator()(TVcPickersForm* Form) const { Form->Free(); }
};
using TVcPickersHolder = std::unique_ptr<TVcPickersForm, TVcPickersFree>;

TVcPickersHolder MakePickersForm();

// What a user does, in order: a click at a point of a control (a combo: the middle of its
// button; the form: the point given, in its client coordinates), or a key.
struct TPickerStep {
  const char* Name;
  const char* Control;  // nullptr: a key
  POINT At;
  int VirtualKey;
};
extern const TPickerStep PickerSteps[];
extern const size_t PickerStepCount;
// Where a step's click goes, in the form's client coordinates.
POINT PickerClickPoint(TVcPickersForm* Form, const TPickerStep& Step);
// The three combos' names and the colours the steps leave in them.
extern const char* const PickerCombos[3];
extern const TColor PickerColours[3];

// The form rendered headless before and after the steps (client areas), and what it recorded.
struct TPickerRun {
  TScreenImage Before;
  TScreenImage After;
  std::vector<TColor> Colours;
  std::vector<std::string> Changes;
  std::string FocusedName;
};
TPickerRun RunPickersHeadless();
// The client area of a form as the headless screen shows it.
TScreenImage PickerClientImage(THeadlessBackend& Backend, TForm* Form);
