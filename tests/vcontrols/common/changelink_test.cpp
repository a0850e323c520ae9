// Change links and the library's collection base.

#include "vcontrols/common/changelink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcontrols/common/vccollection.h"

namespace {

class TListener : public TObject {
  KORCAM_CLASS(TListener, TObject)

 public:
  std::vector<std::string> Log;
  void Changed(TObject* Sender) {
    Log.push_back("change " + (Sender ? std::string(Sender->ClassName()) : std::string("nil")));
  }
  void Down(TObject* Sender) { Log.push_back("down"); }
};
KORCAM_REGISTER_CLASS(TListener)

TEST(ChangeLinkTest, OperationsFireTheirEventsWithTheSenderObject) {
  TListener listener;
  TvcChangeLink link;
  link.OnChange = TNotifyEvent(&listener, &TListener::Changed);
  link.OnButtonDown = TNotifyEvent(&listener, &TListener::Down);
  TvcChangeLink sender;
  link.SenderObject = &sender;
  link.Change();
  link.ButtonDown();
  link.ComponentLoaded();  // no handler: nothing happens
  EXPECT_EQ(listener.Log, (std::vector<std::string>{"change TvcChangeLink", "down"}));
}

class TTestItem : public TvcCollectionItem {
  KORCAM_CLASS(TTestItem, TvcCollectionItem)

 public:
  explicit TTestItem(TCollection* Collection) : TvcCollectionItem(Collection) {}
};
KORCAM_REGISTER_CLASS(TTestItem)

TEST(VcCollectionTest, AddsItemsOfItsClassAndNotifies) {
  TvcCollection collection(TTestItem::StaticClass());
  TvcCollectionItem* first = collection.Add();
  TvcCollectionItem* second = collection.Add();
  EXPECT_EQ(collection.GetItem(1), second);
  EXPECT_EQ(first->ClassName(), "TTestItem");
  EXPECT_EQ(first->ItemControl(), first);
  TListener listener;
  second->OnItemNotify = TNotifyEvent(&listener, &TListener::Changed);
  second->DoItemNotify();
  EXPECT_EQ(listener.Log, (std::vector<std::string>{"change TTestItem"}));
}

}  // namespace
