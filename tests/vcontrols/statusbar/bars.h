#pragma once
// The bars' test form: a title button group, an outlook bar of two pages with icon lists, and a
// status bar with a text panel and two key-state panels, read from its form text
// (tests/fixtures/forms/vcbars.form). Its handlers record the group's and the bar's page changes,
// the items clicked and the panel clicked. Both the headless run and the run on a real X server
// play the same steps.

#include <memory>
#include <string>
#include <vector>

#include "platform/backends/headless/headless.h"
#include "platform/forms/form.h"
#include "vcontrols/buttons/vcbuttongroup.h"
#include "vcontrols/outlook/vcoutlookbar.h"
#include "vcontrols/statusbar/vcstatusbar.h"

class TVcBarsForm : public TForm {
  KORCAM_CLASS(TVcBarsForm, TForm)

 public:
  explicit TVcBarsForm(TComponent* AOwner) : TForm(AOwner) {}

  PUBLISHED_METHOD(TitleChange, TvcCustomButtonGroup* Group, TvcButtonGroupItem* Old, TvcButtonGroupItem* New)
  PUBLISHED_METHOD(OptionsChange, TvcCustomButtonGroup* Group, TvcButtonGroupItem* Old, TvcButtonGroupItem* New)
  PUBLISHED_METHOD(ItemClick, TvcCustomOutlookList* List, TvcOutlookListItem* Item)
  PUBLISHED_METHOD(PanelClick, TObject* Sender)

 public:
  std::vector<std::string> Events;

  template <class T>
  T* Find(const char* Name) const {
    return dynamic_cast<T*>(FindComponent(Name));
  }
};

struct TVcBarsFree {
  void operator()(TVcBarsForm* Form) const { Form->Free(); }
};
using TVcBarsHolder = std::unique_ptr<TVcBarsForm, TVcBarsFree>;

TVcBarsHolder MakeBarsForm();

// A user's step: a click on a control (an item of a list, a panel of a status bar: Part is its
// index; -1: the control's centre), or a key when Control is null.
struct TBarsStep {
  const char* Name;
  const char* Control;
  int Part;
  int VirtualKey;
};
extern const TBarsStep BarsSteps[];
extern const size_t BarsStepCount;
// What the steps record, in order.
extern const std::vector<std::string> BarsEvents;
// Where a step's click goes, in the form's client coordinates.
POINT BarsClickPoint(TVcBarsForm* Form, const TBarsStep& Step);

// The form rendered headless before and after the steps (client areas), what it recorded, and
// whether Caps Lock's panel ended enabled.
struct TBarsRun {
  TScreenImage Before;
  TScreenImage After;
  std::vector<std::string> Events;
  bool CapsOn = false;
};
TBarsRun RunBarsHeadless();
