// Published component fields of a form: bound to the components its resource made, before the
// components' Loaded runs; a field without a component of its name, or of another class, is a load
// error; a field is cleared when its component leaves the form.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture_classes.h"
#include "platform/classes/formreader.h"

namespace {

class TFieldedForm : public TFixturePanel {
  KORCAM_CLASS(TFieldedForm, TFixturePanel)
 public:
  explicit TFieldedForm(TComponent* AOwner) : TFixturePanel(AOwner) {}
  PUBLISHED_FIELD(TFixturePanel, Panel1)
  PUBLISHED_FIELD(TFixturePanel, Button1)
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override {
    TComponent::GetChildren(Proc, Root);
  }
};

// A component that looks at its owner's fields while it loads.
class TFieldWatcher : public TFixturePanel {
  KORCAM_CLASS(TFieldWatcher, TFixturePanel)
 public:
  explicit TFieldWatcher(TComponent* AOwner) : TFixturePanel(AOwner) {}
  void Loaded() override {
    TFixturePanel::Loaded();
    if (auto* Form = dynamic_cast<TFieldedForm*>(Owner())) SawPanel1 = Form->Panel1 != nullptr;
  }
  bool SawPanel1 = false;
};

// A descendant adds a field of its own; the ancestor's are bound too.
class TFieldedChild : public TFieldedForm {
  KORCAM_CLASS(TFieldedChild, TFieldedForm)
 public:
  explicit TFieldedChild(TComponent* AOwner) : TFieldedForm(AOwner) {}
  PUBLISHED_FIELD(TFieldWatcher, Panel2)
};

const char* const Fielded = R"(object Form1: TFieldedChild
  object Watcher: TFieldWatcher
  end
  object Panel1: TFixturePanel
    object Button1: TFixturePanel
    end
  end
  object Panel2: TFieldWatcher
  end
end
)";

}  // namespace

KORCAM_REGISTER_CLASS(TFieldedForm)
KORCAM_REGISTER_CLASS(TFieldedChild)
KORCAM_REGISTER_CLASS(TFieldWatcher)

TEST(FormFields, BoundToTheComponentsOfTheirNamesBeforeLoaded) {
  TFieldedChild Form(nullptr);
  ReadComponentText(&Form, Fielded);
  ASSERT_NE(Form.Panel1, nullptr);
  EXPECT_EQ(Form.Panel1->Name(), "Panel1");
  ASSERT_NE(Form.Button1, nullptr);
  EXPECT_EQ(Form.Button1->Name(), "Button1");
  ASSERT_NE(Form.Panel2, nullptr);
  EXPECT_EQ(Form.Panel2->Name(), "Panel2");
  auto* Watcher = dynamic_cast<TFieldWatcher*>(Form.FindComponent("Watcher"));
  ASSERT_NE(Watcher, nullptr);
  EXPECT_TRUE(Watcher->SawPanel1) << "the field was not bound before Loaded";
}

TEST(FormFields, AMissingOrMistypedComponentIsALoadError) {
  struct TCase {
    const char* Name;
    const char* Text;
    const char* Message;
  };
  const TCase Cases[] = {
      {"no component of the field's name", R"(object Form1: TFieldedChild
  object Panel1: TFixturePanel
  end
  object Button1: TFixturePanel
  end
end
)",
       "Field TFieldedChild.Panel2 has no component of that name in the form"},
      {"a component of another class",
       R"(object Form1: TFieldedChild
  object Panel1: TFixturePanel
  end
  object Button1: TFixturePanel
  end
  object Panel2: TFixturePanel
  end
end
)",
       "Field TFieldedChild.Panel2 is a TFieldWatcher, but Panel2 is a TFixturePanel"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFieldedChild Form(nullptr);
    try {
      ReadComponentText(&Form, Case.Text);
      ADD_FAILURE() << "read without error";
    } catch (const EReadError& E) {
      EXPECT_EQ(E.Message(), Case.Message);
    }
  }
}

TEST(FormFields, AFieldIsClearedWhenItsComponentGoes) {
  TFieldedChild Form(nullptr);
  ReadComponentText(&Form, Fielded);
  TFieldWatcher* Panel2 = Form.Panel2;
  Panel2->Free();
  EXPECT_EQ(Form.Panel2, nullptr);
  EXPECT_NE(Form.Panel1, nullptr);
  // A component that moves to another owner is no longer the form's either.
  TFixturePanel Other(nullptr);
  Other.InsertComponent(Form.Button1);
  EXPECT_EQ(Form.Button1, nullptr);
}
