#pragma once
// TActionManager: an action list whose actions tool bars show (actiontoolbar.h). It holds the
// image list the actions' ImageIndex refers to, and knows the tool bars that show its actions, so
// that a change of its images reaches every one of them.

#include <vector>

#include "platform/forms/actionlist.h"

class TActionToolBar;

class TActionManager : public TCustomActionList {
  KORCAM_CLASS(TActionManager, TCustomActionList)

 public:
  explicit TActionManager(TComponent* AOwner);
  ~TActionManager() override;

  // The tool bars whose ActionManager this is, in the order they chose it.
  int ActionBarCount() const { return int(FActionBars.size()); }
  TActionToolBar* ActionBars(int Index) const { return FActionBars.at(size_t(Index)); }

 protected:
  // Tells the tool bars, then OnChange.
  void Change() override;

 private:
  friend class TActionToolBar;
  void AddActionBar(TActionToolBar* Bar);
  void RemoveActionBar(TActionToolBar* Bar);

  std::vector<TActionToolBar*> FActionBars;
};
