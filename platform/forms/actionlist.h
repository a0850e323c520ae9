#pragma once
// TCustomActionList and TActionList: the program's actions, in order, with the image list their
// ImageIndex refers to. Form resources write the actions inside their list. The list updates its
// actions whenever the program is idle (each action's OnUpdate), and runs the action whose
// shortcut a key is when the form that owns the list is asked (TCustomForm::IsShortCut).

#include <vector>

#include "platform/classes/component.h"
#include "platform/forms/actions.h"
#include "platform/forms/application.h"

class TCustomImageList;

class TCustomActionList : public TComponent, public TIdleUpdater {
  KORCAM_CLASS(TCustomActionList, TComponent)

 public:
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;
  void BeforeDestruction() override;

  PROPERTY(TCustomImageList*, Images, nullptr)
  EVENT(TNotifyEvent, OnChange)

 public:
  int ActionCount() const { return int(FActions.size()); }
  TContainedAction* Actions(int Index) const { return FActions.at(size_t(Index)); }
  int IndexOfAction(const TContainedAction* Action) const;

  // Runs the enabled action whose shortcut Value is; true when one ran (the key is then used up).
  bool IsShortCut(TShortCut Value);
  // Each action's OnUpdate.
  void IdleUpdate() override;

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TContainedAction;
  void AddAction(TContainedAction* Action);
  void RemoveAction(TContainedAction* Action);
  // After Images changed, or an action joined or left: OnChange.
  virtual void Change();

 private:
  std::vector<TContainedAction*> FActions;
};

class TActionList : public TCustomActionList {
  KORCAM_CLASS(TActionList, TCustomActionList)

 public:
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};
