#pragma once
// TDataModule: a non-visual container of components (timers, actions, dialogs) read from its own
// form resource, with OnCreate and OnDestroy. It is created in the same two steps as a form (see
// form.h): the constructor, then AfterConstruction, which reads the resource registered for the
// class and fires OnCreate.

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/rtl/wintypes.h"

class TDataModule : public TComponent {
  KORCAM_CLASS(TDataModule, TComponent)

 public:
  explicit TDataModule(TComponent* AOwner);
  // The class library's CreateNew: a data module that never reads a resource.
  TDataModule(TComponent* AOwner, int Dummy);
  ~TDataModule() override;
  void BeforeDestruction() override;

  virtual void AfterConstruction();
  // Reads the resource of the class (or an ancestor's); false when there is none. Runs once.
  bool InitInheritedComponent();

  PLAIN_PROPERTY(bool, OldCreateOrder, false)
  EVENT(TNotifyEvent, OnCreate)
  EVENT(TNotifyEvent, OnDestroy)

 public:
  // Where the designer showed the module; form resources store it as Left, Top, Width, Height.
  POINT DesignOffset() const { return FDesignOffset; }
  SIZE DesignSize() const { return FDesignSize; }
  void DefineProperties(TFiler* Filer) override;
  // Runs the idle-time updates of the module's components (action lists).
  void UpdateActions();

 protected:
  virtual void DoCreate();
  virtual void DoDestroy();

 private:
  POINT FDesignOffset{0, 0};
  SIZE FDesignSize{0, 0};
  bool FCreated = false;
  bool FResourceRead = false;
};
