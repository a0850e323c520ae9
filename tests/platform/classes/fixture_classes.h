#pragma once
// Small classes that exercise the object model the way controls and forms do: a sub-object, a
// collection, nested components and a root with published handlers.

#include <string>
#include <vector>

#include "platform/classes/collection.h"
#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/rtl/stringlist.h"

KORCAM_ENUM(TFixtureAlign, faNone, faTop, faBottom, faClient)
KORCAM_ENUM(TFixtureStyleItem, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFixtureStyles = TSet<TFixtureStyleItem>;

class TFixtureFont : public TPersistent {
  KORCAM_CLASS(TFixtureFont, TPersistent)
 public:
  PLAIN_PROPERTY(std::string, Name, "Tahoma")
  PLAIN_PROPERTY(int32_t, Size, 8)
  PLAIN_PROPERTY(TFixtureStyles, Style, )
  PLAIN_PROPERTY(int32_t, Color, 0)
  void Assign(TPersistent* Source) override;
};

class TFixtureItem : public TCollectionItem {
  KORCAM_CLASS(TFixtureItem, TCollectionItem)
 public:
  explicit TFixtureItem(TCollection* Collection) : TCollectionItem(Collection) {}
  PLAIN_PROPERTY(std::string, Text, "")
  PLAIN_PROPERTY(int32_t, Width, 50)
  void Assign(TPersistent* Source) override;
};

class TFixtureItems : public TOwnedCollection {
  KORCAM_CLASS(TFixtureItems, TOwnedCollection)
 public:
  explicit TFixtureItems(TPersistent* Owner) : TOwnedCollection(Owner, TFixtureItem::StaticClass()) {}
  int UpdateCalls = 0;

 protected:
  void Update(TCollectionItem*) override { ++UpdateCalls; }
};

// A component that nests other components (as a panel holds controls) and streams a custom
// binary property, as shaped buttons stream their region.
class TFixturePanel : public TComponent {
  KORCAM_CLASS(TFixturePanel, TComponent)
 public:
  explicit TFixturePanel(TComponent* AOwner);
  ~TFixturePanel() override;

  PROPERTY(std::string, Caption, "")
  PLAIN_PROPERTY(int32_t, Left, 0)
  PLAIN_PROPERTY(bool, Visible, true)
  PLAIN_PROPERTY(double, Ratio, 1.5)
  PLAIN_PROPERTY(TFixtureAlign, Align, faNone)
  PLAIN_PROPERTY(char32_t, PasswordChar, 0)
  OWNED_PROPERTY(TFixtureFont, Font)
  OWNED_PROPERTY(TFixtureItems, Items)
  OWNED_PROPERTY(TStringList, Lines)
  PROPERTY(TFixturePanel*, Buddy, nullptr)
  EVENT(TNotifyEvent, OnClick)

  std::vector<uint8_t> Region;  // streamed as "RegionData"
  TFixturePanel* ParentPanel = nullptr;
  std::vector<TFixturePanel*> Children;
  std::vector<std::string> Log;  // Loaded and Notification calls

  bool HasParent() const override { return ParentPanel != nullptr; }
  TComponent* GetParentComponent() const override { return ParentPanel; }
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

class TFixtureForm : public TFixturePanel {
  KORCAM_CLASS(TFixtureForm, TFixturePanel)
 public:
  explicit TFixtureForm(TComponent* AOwner) : TFixturePanel(AOwner) {}
  PUBLISHED_METHOD(ButtonClick, TObject* Sender)
  PUBLISHED_METHOD(Unrelated, int Value)
  std::vector<std::string> Clicks;

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
};
