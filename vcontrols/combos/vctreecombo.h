#pragma once
// TvcCustomTreeCombo: a drop-down combo whose drop-down is a tree view (TvcPopupTreeView) in a
// thin-bordered pop-up panel (TvcPopupPanel). The edit shows the chosen node's text with the
// node's image in front of it; typing searches the nodes by prefix and can complete the text to
// the matching node's (ShowMatchText); the arrow and page keys move the selection through the
// tree with the drop-down open or closed; the drop-down tree follows the mouse without taking the
// focus and scrolls while the button is held above or below it. Nodes can be kept from being
// chosen (Selectable, tcoLeafSelectOnly). Bound to a data field, the combo stores the node's
// text or one of its two further strings (StoreKind).
//
// The combo keeps a list of every node's text with its image index ("Text=Index"), so that a text
// typed by hand that equals a node's shows that node's image.

#include <memory>
#include <string>

#include "platform/forms/panel.h"
#include "platform/rtl/stringlist.h"
#include "vcontrols/combos/vccombo.h"
#include "vcontrols/treeview/vctreeview.h"

class TvcCustomTreeCombo;

KORCAM_ENUM(TvcTreeComboOption, tcoExpandAllOnDropDown, tcoLeafSelectOnly)
using TvcTreeComboOptions = TSet<TvcTreeComboOption>;
KORCAM_ENUM(TvcTreeComboStoreKind, tcsText, tcsDataText, tcsDataText2)

// The drop-down's container: a pop-up tool window with a one-pixel border, owned by the combo's
// window, never activated.
class TvcPopupPanel : public TCustomPanel {
  KORCAM_CLASS(TvcPopupPanel, TCustomPanel)

 public:
  explicit TvcPopupPanel(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
};

// The node of the combo's tree: Selectable (streamed in the node's extension block: a count of
// the class's published Boolean properties, then one byte each).
class TvcTreeComboTreeNode : public TvcTreeNode {
  KORCAM_CLASS(TvcTreeComboTreeNode, TvcTreeNode)

 public:
  explicit TvcTreeComboTreeNode(TvcTreeNodes* AOwner);
  PLAIN_PROPERTY(bool, Selectable, true)

 public:
  int32_t RecordSize() const override;
  void ReadData(TStream& Stream, TvcNodeRecord& Record) override;
  void WriteData(TStream& Stream, TvcNodeRecord& Record) override;

 protected:
  // The extension block: the published Boolean properties, by count and in order. Reads at most
  // Available bytes and answers how many it read.
  int64_t ReadExtension(TStream& Stream, int64_t Available);
  void WriteExtension(TStream& Stream);
};

class TvcPopupTreeView : public TvcTreeView {
  KORCAM_CLASS(TvcPopupTreeView, TvcTreeView)

 public:
  explicit TvcPopupTreeView(TComponent* AOwner);
  TvcCustomTreeCombo* Combo() const { return FCombo; }
  void SetCombo(TvcCustomTreeCombo* Value) { FCombo = Value; }
  // The scroll timer (id 1000, 50 ms) of a press held above or below the tree.
  virtual void StopScrollTimer();
  virtual void StartScrollTimer();
  bool ScrollTimerOn() const { return FScrollTimerOn; }

  void Dispatch(TMessage& Message) override;

 protected:
  friend class TvcCustomTreeCombo;
  void Change(TvcTreeNode* Node) override;
  void Collapse(TvcTreeNode* Node) override;
  void CalcNodeAttributes(TvcTreeNode* Node, TvcItemStates State) override;

  void PopupMouseDown(TMessage& Message);
  void PopupMouseMove(TMessage& Message);
  void PopupMouseUp(TMessage& Message);
  void ScrollStep();

  TvcCustomTreeCombo* FCombo = nullptr;
  POINT FLastMouse{-1, -1};
  bool FScrollTimerOn = false;
  // While up, the combo's selected node and text follow the tree's selection.
  bool FTextFollows = false;
  // A release accepts the node under it (cleared by a press on a button or state icon).
  bool FReleaseAccepts = true;
  bool FPressedInside = false;
};

class TvcCustomTreeCombo : public TvcCustomCombo {
  KORCAM_CLASS(TvcCustomTreeCombo, TvcCustomCombo)

 public:
  explicit TvcCustomTreeCombo(TComponent* AOwner);
  ~TvcCustomTreeCombo() override;
  void BeforeDestruction() override;

  // ---- settings (descendants publish them) --------------------------------------------------------
  bool ShowMatchText() const { return FShowMatchText; }
  void SetShowMatchText(bool Value);
  TvcTreeComboOptions ComboOptions() const { return FComboOptions; }
  void SetComboOptions(TvcTreeComboOptions Value) { FComboOptions = Value; }
  int32_t DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int32_t Value) { FDropDownWidth = Value; }
  TvcTreeComboStoreKind StoreKind() const { return FStoreKind; }
  void SetStoreKind(TvcTreeComboStoreKind Value) { FStoreKind = Value; }
  TvcTreeViewOptions TreeOptions() const;
  void SetTreeOptions(const TvcTreeViewOptions& Value);
  // The tree sorts by text.
  bool Sorted() const;
  void SetSorted(bool Value);
  TNotifyEvent OnSelectionChange;

  // ---- state -----------------------------------------------------------------------------------------
  TvcPopupTreeView* TreeView() const { return FTreeView; }
  TvcPopupPanel* PopupPanel() const { return FPopupPanel; }
  TvcTreeNode* SelectedNode() const { return FSelectedNode; }
  // "Text=ImageIndex" of every node.
  TStringList* TextImages() const { return FTextImages.get(); }

  // ---- extension points, in the order descendants meet them --------------------------------------------
  // Makes the drop-down tree. A constructor runs its own class's version only, so a descendant
  // that makes another tree calls ReplaceTreeView in its constructor.
  virtual TvcPopupTreeView* CreateTreeView();
  // Where typing starts looking when the selection lies before it: the first node.
  virtual TvcTreeNode* GetSearchStartNode();
  // The tree's node hook: keeps the "Text=ImageIndex" list in step with the nodes.
  virtual void TextImageHook(TvcCustomTreeView* View, TvcTreeNode* Node, const TValue& Value, int32_t Kind);
  // Selects the node of that text (nothing when it is the selected one already; no selection
  // when no node has it).
  virtual void SelectByText(const std::string& S);
  // Every change of the selection by the user is bracketed by these two: OnSelectionChange
  // fires at its end.
  virtual void SelectionChange();
  virtual void BeginSelectionChange();
  virtual bool IsNodeSelectable(TvcTreeNode* Node);
  virtual void SetSelectedNode(TvcTreeNode* Node) { FSelectedNode = Node; }

  // Moves the tree's selection by a key (open: through the shown nodes; closed: in tree order,
  // collapsed ones included), passing over the nodes that cannot be chosen; true when it chose
  // one.
  bool MoveSelection(WORD Key);

  // ---- the combo base's part --------------------------------------------------------------------------
  TWinControl* GetDropDownControl() override;
  TWinControl* GetDropDownContainer() override;
  int GetDropDownItemCount() override;
  void GetDropDownItemSize(int& Width, int& ItemHeight) override;
  void PaintText(TCanvas* ACanvas, RECT Rect, bool Highlight, bool GridCell, const std::string& Text) override;
  int GetLeftIndent() override;
  void DisableTyping() override;
  void AfterPaint() override;
  bool IsTextEditable() const override;
  RECT GetEditRect() override;
  void CloseUp(bool Accept) override;
  void DataChange(TObject* Sender) override;
  void UpdateData(TObject* Sender) override;
  bool GetDroppedDown() override;
  void PaintFieldText(TCanvas* ACanvas, RECT Rect, bool Highlight) override;
  void DropDown() override;

  void Loaded() override;

 protected:
  friend class TvcPopupTreeView;

  void CreateWnd() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void Change() override;
  // The tree made again by the descendant's CreateTreeView (from its constructor).
  void ReplaceTreeView();

  // The image index the edit shows for Text (-1: none).
  int32_t ImageIndexOfText(const std::string& Text);
  // The node whose DataText / DataText2 (as StoreKind says) is Value; nullptr when none.
  TvcTreeNode* NodeOfStoredValue(const std::string& Value);
  // Writes the combo's text as the combo (not the user) does: the combo is marked modified.
  void SetTextFromNode(const std::string& Value);
  TvcTreeNode* StepSelection(TvcTreeNode* Node, WORD Key, bool Open);

  TvcTreeNode* FOpeningNode = nullptr;
  std::string FOpeningText;
  TvcTreeNode* FSelectedNode = nullptr;
  TvcPopupPanel* FPopupPanel = nullptr;
  bool FShowMatchText = true;
  TvcTreeComboOptions FComboOptions{tcoExpandAllOnDropDown};
  TvcPopupTreeView* FTreeView = nullptr;
  int32_t FDropDownWidth = 0;
  std::unique_ptr<TStringList> FTextImages;
  int32_t FCachedLine = -1;
  std::string FCachedText;
  bool FSettingText = false;
  TvcTreeComboStoreKind FStoreKind = tcsText;
};
