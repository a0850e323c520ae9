#pragma once
// The trees' test form: a tree view whose nodes (check boxes, a three-state one, a radio group,
// a link) come from the form text's "Items.Data", a tree combo, and a font combo listing the
// fonts every machine here has, read from tests/fixtures/forms/vctrees.form. The same clicks and
// keys are played on it headless and on a real X server.

#include <memory>
#include <string>
#include <vector>

#include "platform/backends/headless/headless.h"
#include "platform/forms/form.h"
#include "vcontrols/combos/vcfontcombo.h"

class TVcTreesForm : public TForm {
  KORCAM_CLASS(TVcTreesForm, TForm)

 public:
  explicit TVcTreesForm(TComponent* AOwner) : TForm(AOwner) {}

  PUBLISHED_METHOD(TreeChange, TvcCustomTreeView* Sender, TvcTreeNode* Node)
  PUBLISHED_METHOD(ComboChange, TObject* Sender)
  PUBLISHED_METHOD(FontAdd, TObject* Sender, const std::string& Name, TvcComboFontType Kind,
                   const ENUMLOGFONTA& LogFont, const NEWTEXTMETRICA& Metric, bool& Accept)

 public:
  std::vector<std::string> Changes;

  template <class T>
  T* Find(const char* Name) const {
    return dynamic_cast<T*>(FindComponent(Name));
  }
};

struct TVcTreesFree {
  void operator()(TVcTreesForm* Form) const { Form->Free(); }
};
using TVcTreesHolder = std::unique_ptr<TVcTreesForm, TVcTreesFree>;

// The form read from its text, the tree combo given its places.
TVcTreesHolder MakeTreesForm();

// A click on a node's part (the tree: "label" or "state"), on a combo's button, or a key.
struct TTreeStep {
  const char* Name;
  const char* Control;  // nullptr: a key
  const char* Node;     // for the tree
  bool StateIcon;
  int VirtualKey;
};
extern const TTreeStep TreeSteps[];
extern const size_t TreeStepCount;
// Where a step's click goes, in the form's client coordinates.
POINT TreeClickPoint(TVcTreesForm* Form, const TTreeStep& Step);

struct TTreeRun {
  TScreenImage Before;
  TScreenImage After;
  std::string Selected;       // the tree's selected node
  bool ShowButtonsChecked = false;
  std::string Place;          // the tree combo's text
  std::string Font;           // the font combo's selected font
  std::vector<std::string> Changes;
};
TTreeRun RunTreesHeadless();
TScreenImage TreesClientImage(THeadlessBackend& Backend, TForm* Form);
