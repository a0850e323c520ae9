#pragma once
// Actions: the program's commands (TAction), each with the caption, hint, image, check mark,
// enabled and visible state that every place showing it uses, and the handler that runs it.
// Menu items, buttons and tool-bar buttons show an action through an action link: setting their
// Action copies the action's state into them, and every later change of the action reaches them
// through the link, so all of them stay in step. A click on such a client executes the action.
//
// Executing (TCustomAction::Execute): OnUpdate first, so the state is current; nothing when the
// action is disabled; an AutoCheck action then toggles its check mark (a checked member of a
// radio group, GroupIndex above 0, stays checked); then OnExecute. Checking a member of a radio
// group unchecks the other actions of its list with the same GroupIndex.
//
// While the program is idle, every action list runs the OnUpdate of each of its actions (see
// actionlist.h), so handlers that enable or check an action from the program's state keep the
// clients current without being called by anyone.

#include <functional>
#include <string>
#include <vector>

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/forms/shortcut.h"

class TBasicAction;
class TControl;
class TCustomActionList;

// One client's connection to its action. The action calls the setters with a new value before
// it stores it; a link passes the value on only while its client still shows the action's old
// value, so a client that was given a caption (or hint ...) of its own keeps it.
class TActionLink : public TObject {
  KORCAM_CLASS(TActionLink, TObject)

 public:
  TActionLink() = default;
  // Leaves the action's list of links.
  ~TActionLink() override;

  TBasicAction* Action() const { return FAction; }
  // Joins Value's links (leaving the old action's).
  void SetAction(TBasicAction* Value);
  // Executes the action for the client that was clicked; false when it did not run.
  bool Execute(TComponent* Target = nullptr);
  bool Update();

  virtual void SetCaption(const std::string& Value) {}
  virtual void SetChecked(bool Value) {}
  virtual void SetEnabled(bool Value) {}
  virtual void SetHint(const std::string& Value) {}
  virtual void SetImageIndex(int32_t Value) {}
  virtual void SetShortCut(TShortCut Value) {}
  virtual void SetVisible(bool Value) {}
  // The action is going away: the client forgets it.
  virtual void ActionFreed() {}

 private:
  friend class TBasicAction;
  TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
  KORCAM_CLASS(TBasicAction, TComponent)

 public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;
  void BeforeDestruction() override;

  EVENT(TNotifyEvent, OnExecute)
  EVENT(TNotifyEvent, OnUpdate)

 public:
  // Runs OnExecute; false when there is none.
  virtual bool Execute();
  // Runs OnUpdate; false when there is none.
  virtual bool Update();
  // The client that was clicked last (nullptr when the program executed the action itself).
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value);

  int LinkCount() const { return int(FLinks.size()); }
  TActionLink* Links(int Index) const { return FLinks.at(size_t(Index)); }
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TActionLink;
  void RegisterLink(TActionLink* Link);
  void UnRegisterLink(TActionLink* Link);
  // Calls Apply on every link; a link may leave while it hears the news.
  void ForEachLink(const std::function<void(TActionLink*)>& Apply);
  bool IsLink(const TActionLink* Link) const;

 private:
  std::vector<TActionLink*> FLinks;
  TComponent* FActionComponent = nullptr;
};

// An action that lives in an action list (an action manager is one): form resources write the
// actions inside their list.
class TContainedAction : public TBasicAction {
  KORCAM_CLASS(TContainedAction, TBasicAction)

 public:
  explicit TContainedAction(TComponent* AOwner);
  ~TContainedAction() override;
  void BeforeDestruction() override;

  PLAIN_PROPERTY(std::string, Category, "")

 public:
  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* Value);
  // The position in the list (-1 outside one).
  int Index() const;

  bool HasParent() const override { return FActionList != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

 private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
};

class TCustomAction : public TContainedAction {
  KORCAM_CLASS(TCustomAction, TContainedAction)

 public:
  explicit TCustomAction(TComponent* AOwner);
  ~TCustomAction() override;

  PLAIN_PROPERTY(bool, AutoCheck, false)
  PROPERTY(std::string, Caption, "")
  PROPERTY(bool, Checked, false)
  PROPERTY(bool, Enabled, true)
  PROPERTY(int32_t, GroupIndex, 0)
  PROPERTY(std::string, Hint, "")
  PROPERTY(int32_t, ImageIndex, -1)
  PROPERTY(TShortCut, ShortCut, scNone)
  PROPERTY(bool, Visible, true)

 public:
  // See the top of the file.
  bool Execute() override;
  // Runs the key's action: Execute when it is the action's shortcut; false otherwise or when
  // the action did not run (disabled).
  bool HandleShortCut();

 private:
  bool FChecking = false;  // unchecking the rest of the radio group
};

class TAction : public TCustomAction {
  KORCAM_CLASS(TAction, TCustomAction)

 public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// The link of a control (a button, a tool-bar button): caption, hint, enabled and visible state
// follow the action, and a click executes it. A control that shows a check mark (a tool-bar
// button) overrides SetChecked in a link of its own.
class TControlActionLink : public TActionLink {
  KORCAM_CLASS(TControlActionLink, TActionLink)

 public:
  explicit TControlActionLink(TControl* AClient) : FClient(AClient) {}
  TControl* Client() const { return FClient; }

  void SetCaption(const std::string& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const std::string& Value) override;
  void SetVisible(bool Value) override;
  void ActionFreed() override;

 protected:
  TControl* FClient;
};
