#pragma once
// The tree view tests' fixture: a form with a TvcTreeView on the headless screen and a manual
// clock; trees built from a compact text; clicks at a node's parts through the real input path;
// and a record of the view's node events.

#include <string>
#include <vector>

#include "platform/forms/form.h"
#include "tests/platform/forms/controltest.h"
#include "vcontrols/treeview/vctreeview.h"

namespace TreeTest {

// Where on a node's row a click goes.
enum class TPart { Label, Button, StateIcon, Right };

class TTreeViewTest : public FormsTest::TFormsTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Nodes from lines like "a", " a1", "  a11" (one blank per level); returns them in tree order.
  std::vector<TvcTreeNode*> Build(const std::vector<std::string>& Lines);
  // The texts of the nodes in tree order, with one blank per level, joined by "|".
  std::string Shape() const;
  // A client point of Node's row.
  POINT PointOf(TvcTreeNode* Node, TPart Part) const;
  // Presses and releases the left button there (Shift / Ctrl held as given).
  void ClickNode(TvcTreeNode* Node, TPart Part = TPart::Label, bool Shift = false, bool Ctrl = false);
  void DoubleClickNode(TvcTreeNode* Node);
  // Node events in order ("Change b", "Toggle a", "Deletion c", ...).
  std::vector<std::string> Events;
  void RecordEvents();

  TForm* Form = nullptr;
  TvcTreeView* View = nullptr;
};

// Texts of nodes, joined by ",".
std::string Texts(const std::vector<TvcTreeNode*>& Nodes);

}  // namespace TreeTest
