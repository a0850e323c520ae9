#pragma once
// TComponent: named objects in an ownership tree. The owner frees what it owns, and only the
// owner; a component that is going away tells its owner, the owner's other components and every
// component that asked for free notification, so no one keeps a reference to it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/persistent.h"

KORCAM_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
            csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
using TComponentState = TSet<TComponentStateItem>;

KORCAM_ENUM(TComponentStyleItem, csInheritable, csCheckPropAvail, csSubComponent, csTransient)
using TComponentStyle = TSet<TComponentStyleItem>;

KORCAM_ENUM(TOperation, opInsert, opRemove)

class TComponent : public TPersistent {
  KORCAM_CLASS(TComponent, TPersistent)

 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  PROPERTY(std::string, Name, "")
  PLAIN_PROPERTY(int64_t, Tag, 0)

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const { return FComponents.at(static_cast<size_t>(Index)); }
  int ComponentIndex() const;
  // An owned component by name (ASCII case-insensitive), or nullptr.
  TComponent* FindComponent(const std::string& AName) const;

  TComponentState ComponentState() const { return FComponentState; }
  TComponentStyle ComponentStyle() const { return FComponentStyle; }
  void SetDesigning(bool Value);

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  void DestroyComponents();
  // Marks this component and those it owns as going away.
  void Destroying();

  // Asks to be told (Notification with opRemove) when AComponent is freed; both sides remember
  // the other, so whichever goes first tells the other.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Called when a component is inserted into or removed from this component's ownership tree,
  // and when a component this one asked about is freed. Overrides clear their references to a
  // removed component and then call the inherited method, which passes the news on to every
  // owned component.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Called once a form has set every property of this component.
  virtual void Loaded();

  // Form streaming: the component that holds this one in the form's tree (a control's parent),
  // and the components written inside this one.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* Value) {}
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root);

  std::string GetNamePath() const override { return FName; }
  void BeforeDestruction() override;

  // Reader support: the reader switches csLoading/csReading on around streaming.
  void SetComponentState(TComponentState Value) { FComponentState = Value; }

 protected:
  void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
  TComponentStyle FComponentStyle{csInheritable};

 private:
  void RemoveFreeNotifications();
  void DestroyOwnedAndDetach();

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState;
  bool FDestroyed = false;
};

// True for a valid component name: a letter or "_" then letters, digits or "_" (ASCII).
bool IsValidIdent(const std::string& Ident);
