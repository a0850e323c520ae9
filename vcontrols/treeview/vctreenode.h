#pragma once
// The node model of the library's tree view: TvcTreeNode, one object per item of the tree-view
// window (the item's application value points at it), and TvcTreeNodes, the view's Items,
// which adds, inserts, moves, finds, counts and deletes nodes and streams the whole tree.
//
// Beyond a plain item's text and images a node has a check-box kind (none, check box, radio
// button) with checked and grayed states, a multi-selection flag, an integer payload (Data) and
// two further strings (DataText, DataText2). Data is a 32-bit integer because the stream holds
// 32 bits: it is never a pointer, so nothing is cut when the nodes go through the stream (at a
// re-creation of the window or an Assign).
//
// Node stream (the view's defined properties "StreamVersion" and "Data"): little-endian, int32
// root count, then one block per root. A block is int32 N (39 + L + E), the first N bytes of a
// 294-byte record, DataText and DataText2, the children's blocks, and E bytes of extension
// (descendant node classes). Record: ImageIndex, SelectedIndex, StateIndex, OverlayIndex
// (int32 each at 0, 4, 8, 12), CheckboxType (16), flags (17: bit 0 checked, bit 1 grayed),
// Expanded (18), three zero bytes, Data (22), the two strings' byte lengths (26, 30), the child
// count (34), L (38) and the text (39, L bytes). Texts longer than 255 bytes are cut at a
// character boundary, never inside a UTF-8 sequence.
//
// Lifetime: a node lives as long as its window item; the view frees it when the window deletes
// the item (TVN_DELETEITEM), or directly when it has none.

#include <cstdint>
#include <string>

#include "platform/classes/persistent.h"
#include "platform/classes/typinfo.h"
#include "platform/forms/treeviewwindow.h"
#include "platform/rtl/exceptions.h"

class TStream;
class TvcCustomTreeView;
class TvcTreeNode;
class TvcTreeNodes;

KORCAM_EXCEPTION(ETreeViewError, Exception);

KORCAM_ENUM(TvcCheckboxType, vccbNone, vccbCheckbox, vccbRadioButton)
KORCAM_ENUM(TvcNodeAttachMode, vcnaAdd, vcnaAddFirst, vcnaAddChild, vcnaAddChildFirst, vcnaInsert,
            vcnaInsertAfter)

// A comparison for CustomSort: negative when Node1 goes first.
using TvcTVCompare = int (*)(TvcTreeNode* Node1, TvcTreeNode* Node2, int32_t Data);

// The 294-byte record of one node in the stream, and the size of its fixed part.
constexpr int32_t vcNodeRecordSize = 294;
constexpr int32_t vcNodeRecordFixed = 39;
struct TvcNodeRecord {
  uint8_t Bytes[vcNodeRecordSize] = {};
  int32_t Int(int Offset) const;
  void SetInt(int Offset, int32_t Value);
};

class TvcTreeNode : public TPersistent {
  KORCAM_CLASS(TvcTreeNode, TPersistent)

 public:
  explicit TvcTreeNode(TvcTreeNodes* AOwner);
  ~TvcTreeNode() override;

  // ---- values ----------------------------------------------------------------------------------
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  int32_t Data() const { return FData; }
  void SetData(int32_t Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  int32_t SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int32_t Value);
  int32_t StateIndex() const { return FStateIndex; }
  void SetStateIndex(int32_t Value);
  int32_t OverlayIndex() const { return FOverlayIndex; }
  void SetOverlayIndex(int32_t Value);
  TvcCheckboxType CheckboxType() const { return FCheckboxType; }
  void SetCheckboxType(TvcCheckboxType Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool Value);
  bool MultiSelected() const { return FMultiSelected; }
  void SetMultiSelected(bool Value);
  const std::string& DataText() const { return FDataText; }
  void SetDataText(const std::string& Value) { FDataText = Value; }
  const std::string& DataText2() const { return FDataText2; }
  void SetDataText2(const std::string& Value) { FDataText2 = Value; }

  // ---- the window item's states ------------------------------------------------------------------
  bool Expanded() const;
  void SetExpanded(bool Value);
  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const;
  void SetFocused(bool Value);
  bool DropTarget() const;
  void SetDropTarget(bool Value);
  bool Cut() const;
  void SetCut(bool Value);
  bool HasChildren() const;
  void SetHasChildren(bool Value);

  // ---- place -------------------------------------------------------------------------------------
  TvcTreeNodes* Owner() const { return FOwner; }
  TvcCustomTreeView* TreeView() const;
  HWND Handle() const;
  HTREEITEM ItemId() const { return FItemId; }
  TvcTreeNode* Parent() const;
  int32_t Level() const;
  int32_t Index() const;
  int32_t AbsoluteIndex() const;
  int32_t Count() const;
  // The child at Index; ETreeViewError "List index out of bounds (%d)" past the last.
  TvcTreeNode* Item(int32_t Index) const;
  bool IsVisible() const;
  bool IsRadioGroup() const { return FCheckboxType == vccbRadioButton; }
  bool Deleting() const { return FDeleting; }
  bool InTree() const { return FInTree; }
  int32_t StoredRecordSize() const { return FStoredRecordSize; }

  // ---- navigation --------------------------------------------------------------------------------
  TvcTreeNode* GetFirstChild() const;
  TvcTreeNode* GetLastChild() const;
  TvcTreeNode* GetNextSibling() const;
  TvcTreeNode* GetPrevSibling() const;
  TvcTreeNode* GetNextChild(TvcTreeNode* Value) const;
  TvcTreeNode* GetNext() const;
  TvcTreeNode* GetPrev() const;
  TvcTreeNode* GetNextVisible() const;
  TvcTreeNode* GetPrevVisible() const;
  int32_t IndexOf(TvcTreeNode* Value) const;
  // True for nullptr and for every ancestor.
  bool HasAsParent(TvcTreeNode* Value) const;

  // ---- actions -----------------------------------------------------------------------------------
  void Expand(bool Recursive);
  void Collapse(bool Recursive);
  void MakeVisible();
  void EndEdit(bool Cancel);
  RECT DisplayRect(bool TextOnly) const;
  bool AlphaSort();
  bool CustomSort(TvcTVCompare Compare, int32_t Data);
  void Delete();
  void Assign(TPersistent* Source) override;

  // ---- extension points --------------------------------------------------------------------------
  // Invalidates the node's full display rectangle without erasing.
  virtual void Invalidate();
  // The bytes of the record this class streams: 294 plus its extension block's size.
  virtual int32_t RecordSize() const;
  // Read and write the node, its strings, its children and (descendants) its extension; Record is
  // the load's shared 294-byte buffer. A stream that ends early raises EReadError.
  virtual void ReadData(TStream& Stream, TvcNodeRecord& Record);
  virtual void WriteData(TStream& Stream, TvcNodeRecord& Record);
  // The owning view's own text (nothing in the system calls it).
  virtual std::string GetViewText() const;
  virtual void MoveTo(TvcTreeNode* Destination, TvcNodeAttachMode Mode);

 protected:
  friend class TvcTreeNodes;
  friend class TvcCustomTreeView;

  // Reads the item's state bits; 0 without an item.
  UINT ItemState(UINT Mask) const;
  void SetItemState(UINT Mask, bool Value);
  // Re-sorts the node's siblings (the whole tree for a root node).
  void SortSiblings();
  // Moves the node's window item (with its subtree) under ParentNode's item (nullptr: the root)
  // after After (TVI_FIRST, TVI_LAST or a sibling's item).
  void InternalMove(TvcTreeNode* ParentNode, HTREEITEM After);
  // The stream version of the view reading or writing.
  int32_t StreamVersion() const;

  bool FMultiSelected = false;
  TvcCheckboxType FCheckboxType = vccbNone;
  bool FChecked = false;
  TvcTreeNodes* FOwner;
  std::string FText;
  std::string FDataText;
  std::string FDataText2;
  int32_t FData = 0;
  HTREEITEM FItemId = nullptr;
  int32_t FImageIndex = 0;
  int32_t FSelectedIndex = 0;
  int32_t FOverlayIndex = -1;
  int32_t FStateIndex = -1;
  bool FDeleting = false;
  bool FInTree = false;
  bool FGrayed = false;
  int32_t FStoredRecordSize = 0;

 private:
  // Frees the window item and forgets the node everywhere; the first step of every free.
  void Teardown();
  void BeforeDestruction() override;
};

class TvcTreeNodes : public TPersistent {
  KORCAM_CLASS(TvcTreeNodes, TPersistent)

 public:
  explicit TvcTreeNodes(TvcCustomTreeView* AOwner = nullptr);
  ~TvcTreeNodes() override;

  TvcCustomTreeView* Owner() const { return FOwner; }
  // The window's item count; 0 without a window.
  int32_t Count() const;
  TvcTreeNode* AddChild(TvcTreeNode* Parent, const std::string& S);
  TvcTreeNode* AddChildObject(TvcTreeNode* Parent, const std::string& S, int32_t Data);
  TvcTreeNode* AddChildFirst(TvcTreeNode* Parent, const std::string& S);
  TvcTreeNode* AddChildObjectFirst(TvcTreeNode* Parent, const std::string& S, int32_t Data);
  TvcTreeNode* Add(TvcTreeNode* Sibling, const std::string& S);
  TvcTreeNode* AddObject(TvcTreeNode* Sibling, const std::string& S, int32_t Data);
  TvcTreeNode* AddFirst(TvcTreeNode* Sibling, const std::string& S);
  TvcTreeNode* AddObjectFirst(TvcTreeNode* Sibling, const std::string& S, int32_t Data);
  TvcTreeNode* Insert(TvcTreeNode* Sibling, const std::string& S);
  TvcTreeNode* InsertObject(TvcTreeNode* Sibling, const std::string& S, int32_t Data);
  void Delete(TvcTreeNode* Node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  int32_t UpdateCount() const { return FUpdateCount; }
  TvcTreeNode* GetFirstNode() const;
  TvcTreeNode* GetNode(HTREEITEM ItemId) const;
  // By absolute index in tree order; ETreeViewError "Invalid index" when there is none.
  TvcTreeNode* Item(int32_t Index);
  TvcTreeNode* FindNode(const std::string& S, bool VisibleOnly) const;
  // Kind 0 compares Text, 1 DataText, 2 DataText2.
  TvcTreeNode* FindNodeByString(const std::string& S, bool VisibleOnly, int32_t Kind) const;
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;
  bool Destroying() const { return FDestroying; }

  // The node stream ("Data"): the tree into Stream, and Stream (which replaces the tree) back.
  void WriteData(TStream& Stream);
  void ReadData(TStream& Stream);
  // Forgets the absolute-index cache (every add, move, delete, sort, clear and read).
  void ClearCache();
  // Makes the view's window when it can have one (it has a parent): FindNode, FindNodeByString
  // and Item look at the nodes through it.
  void WindowNeeded() const;

 protected:
  friend class TvcTreeNode;
  friend class TvcCustomTreeView;

  TvcTreeNode* AddItem(TvcTreeNode* ParentNode, HTREEITEM After, const std::string& S, int32_t Data);
  // Makes the window item of Node under Parent's item after After (TVI_FIRST / TVI_LAST / an
  // item); EOutOfResources "Unable to insert an item" when the window refuses.
  HTREEITEM InsertItem(HTREEITEM ParentItem, HTREEITEM After, TvcTreeNode* Node);
  void Repaint(TvcTreeNode* Node);

  TvcCustomTreeView* FOwner;
  int32_t FUpdateCount = 0;
  TvcTreeNode* FCacheNode = nullptr;
  int32_t FCacheIndex = -1;
  bool FDestroying = false;
  // Nesting of the node being read: a stream nested deeper than any tree a user builds is
  // refused instead of exhausting the stack.
  int32_t FReadDepth = 0;
};
