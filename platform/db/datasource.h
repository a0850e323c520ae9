#pragma once
// TDataSource: the connector between one data set and the data links of the controls that show
// it. It follows the data set's state, passes the data set's events on to every link, fires its
// own OnStateChange / OnDataChange / OnUpdateData, and starts an edit for a control when
// AutoEdit allows.

#include <cstdint>
#include <vector>

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/db/dataset.h"

class TDataLink;
class TField;

// Field is the changed field, or nullptr when the record or the data set changed.
using TDataChangeEvent = TEvent<TObject*, TField*>;

class TDataSource : public TComponent {
  KORCAM_CLASS(TDataSource, TComponent)

 public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;

  // Controls may put the data set into edit mode when the user starts typing.
  PLAIN_PROPERTY(bool, AutoEdit, true)
  PROPERTY(TDataSet*, DataSet, nullptr)
  PROPERTY(bool, Enabled, true)
  EVENT(TNotifyEvent, OnStateChange)
  EVENT(TDataChangeEvent, OnDataChange)
  EVENT(TNotifyEvent, OnUpdateData)

  // The data set's state while enabled and connected, else dsInactive.
  TDataSetState State() const { return FState; }
  // Starts an edit of the data set when AutoEdit is set and it is browsing.
  void Edit();
  // Whether DataSet is this source's data set or a detail of it through a chain of masters.
  bool IsLinkedTo(const TDataSet* ADataSet) const;
  int DataLinkCount() const { return static_cast<int>(FDataLinks.size()); }
  TDataLink* DataLinks(int Index) const { return FDataLinks.at(static_cast<size_t>(Index)); }

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void AddDataLink(TDataLink* Link);
  void RemoveDataLink(TDataLink* Link);
  void DataEvent(TDataEvent Event, intptr_t Info);
  void NotifyDataLinks(TDataEvent Event, intptr_t Info);
  void UpdateState();
  void SetState(TDataSetState Value);
  void Detach();

  std::vector<TDataLink*> FDataLinks;
  TDataSetState FState = dsInactive;
  bool FDetached = false;
};
