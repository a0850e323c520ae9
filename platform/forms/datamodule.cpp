#include "platform/forms/datamodule.h"

#include "platform/classes/formreader.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"

KORCAM_REGISTER_CLASS(TDataModule)

TDataModule::TDataModule(TComponent* AOwner, int) : TComponent(AOwner) {
  FResourceRead = true;
  if (Screen) Screen->AddDataModule(this);
  AddGlobalRoot(this);
}

TDataModule::TDataModule(TComponent* AOwner) : TDataModule(AOwner, 0) {
  FResourceRead = false;
}

TDataModule::~TDataModule() {
  if (Screen) Screen->RemoveDataModule(this);
  RemoveGlobalRoot(this);
}

bool TDataModule::InitInheritedComponent() {
  if (FResourceRead) return false;
  FResourceRead = true;
  const std::string Resource = FindFormResource(ClassType());
  if (Resource.empty()) return false;
  ReadComponentResource(this, Resource);
  return true;
}

void TDataModule::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  InitInheritedComponent();
  DoCreate();
}

void TDataModule::DoCreate() {
  // As with forms, an exception out of OnCreate leaves the creation.
  if (OnCreate) OnCreate(this);
}

void TDataModule::BeforeDestruction() {
  Destroying();
  DoDestroy();
  if (Screen) Screen->RemoveDataModule(this);
  RemoveGlobalRoot(this);
  TComponent::BeforeDestruction();
}

void TDataModule::DoDestroy() {
  if (!OnDestroy) return;
  try {
    OnDestroy(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TDataModule::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  auto Integer = [Filer](const char* Name, int32_t& Field) {
    Filer->DefineProperty(
        Name, [&Field](TReader& Reader) { Field = int32_t(Reader.ReadInteger()); },
        [&Field](TWriter& Writer) { Writer.WriteInteger(Field); }, true);
  };
  Integer("Left", FDesignOffset.x);
  Integer("Top", FDesignOffset.y);
  Integer("Width", FDesignSize.cx);
  Integer("Height", FDesignSize.cy);
}

void TDataModule::UpdateActions() {
  for (int Index = 0; Index < ComponentCount(); ++Index)
    if (auto* Updater = dynamic_cast<TIdleUpdater*>(Components(Index))) Updater->IdleUpdate();
}
