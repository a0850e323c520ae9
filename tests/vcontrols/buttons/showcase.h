#pragma once
// The buttons' test form: labels in every caption style, a button of every kind, image buttons
// (tinted, bevelled, raised, a two-picture strip) and every shape, read from its form text
// (tests/fixtures/forms/vcshowcase.form) with its pictures drawn here. Its handlers record which
// buttons were clicked and which changed their selection.

#include <memory>
#include <string>
#include <vector>

#include "platform/backends/headless/headless.h"
#include "platform/forms/form.h"
#include "vcontrols/buttons/vcshapebtn.h"
#include "vcontrols/text/vclabel.h"

class TVcShowcaseForm : public TForm {
  KORCAM_CLASS(TVcShowcaseForm, TForm)

 public:
  explicit TVcShowcaseForm(TComponent* AOwner) : TForm(AOwner) {}
  // A form without the showcase's resource (for forms built in code).
  TVcShowcaseForm(TComponent* AOwner, int Dummy) : TForm(AOwner, Dummy) {}

  PUBLISHED_METHOD(ButtonClick, TObject* Sender)
  PUBLISHED_METHOD(ButtonSelChange, TObject* Sender)
  PUBLISHED_METHOD(LabelClick, TObject* Sender)

 public:
  std::vector<std::string> Clicks;
  std::vector<std::string> SelectionChanges;

  template <class T>
  T* Find(const char* Name) const {
    return dynamic_cast<T*>(FindComponent(Name));
  }
};

struct TVcShowcaseFree {
  void operator()(TVcShowcaseForm* Form) const { Form->Free(); }
};
using TVcShowcaseHolder = std::unique_ptr<TVcShowcaseForm, TVcShowcaseFree>;

// Reads the form from its text and gives the image buttons their pictures.
TVcShowcaseHolder MakeShowcaseForm();
// Every shape in every orientation, each on a button of its own, in a grid of one row a shape.
TVcShowcaseHolder MakeShapeGrid();

// What a user does to the form, in order: clicks at a point of a control (its client
// coordinates; the centre when X is -1) and keys (with Alt held when Alt is set). Both the
// headless run and the run on a real X server play it.
struct TShowcaseStep {
  const char* Name;
  const char* Control;  // nullptr: a key
  POINT At;
  int VirtualKey;
  bool Alt;
};
extern const TShowcaseStep ShowcaseSteps[];
extern const size_t ShowcaseStepCount;
// The clicks the steps give, in order.
extern const std::vector<std::string> ShowcaseClicks;
// Where a step's click goes, in the form's client coordinates.
POINT ShowcaseClickPoint(TVcShowcaseForm* Form, const TShowcaseStep& Step);

// The form rendered headless before and after the steps (client areas), and what it recorded.
struct TShowcaseRun {
  TScreenImage Before;
  TScreenImage After;
  std::vector<std::string> Clicks;
  std::vector<std::string> SelectionChanges;
  std::string FocusedName;
};
TShowcaseRun RunShowcaseHeadless();
