// The tree-view window: the item model (insert positions, relations, deletion order and the
// selection that follows it, sorting), its geometry (row height, indent, item rectangles, hit
// zones), expansion and selection with their notifications and refusals, callback texts and
// images, the custom-draw stages, label editing, drag detection and check boxes, all through
// messages and the real input path; and the window drawn by itself.

#include "platform/forms/treeviewwindow.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/forms/edit.h"
#include "platform/forms/imagelistapi.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

struct TNote {
  UINT Code = 0;
  HTREEITEM Old = nullptr, New = nullptr;
  UINT Action = 0;
  std::string Text;  // label editing
  bool TextGiven = false;
};

const char* CodeName(UINT Code) {
  switch (Code) {
    case TVN_SELCHANGINGA: return "SELCHANGING";
    case TVN_SELCHANGEDA: return "SELCHANGED";
    case TVN_ITEMEXPANDINGA: return "EXPANDING";
    case TVN_ITEMEXPANDEDA: return "EXPANDED";
    case TVN_DELETEITEMA: return "DELETE";
    case TVN_BEGINDRAGA: return "BEGINDRAG";
    case TVN_BEGINLABELEDITA: return "BEGINEDIT";
    case TVN_ENDLABELEDITA: return "ENDEDIT";
    case TVN_GETDISPINFOA: return "GETDISPINFO";
    case TVN_SETDISPINFOA: return "SETDISPINFO";
    case NM_CLICK: return "CLICK";
    case NM_DBLCLK: return "DBLCLK";
    case NM_RCLICK: return "RCLICK";
    default: return nullptr;
  }
}

// The parent of the tree window: records what it is told and answers as a test asks.
class TTreeHost : public TWinControl {
  KORCAM_CLASS(TTreeHost, TWinControl)

 public:
  explicit TTreeHost(TComponent* AOwner) : TWinControl(AOwner) {}
  std::vector<TNote> Notes;
  std::vector<std::pair<DWORD, UINT>> DrawStages;  // stage, item state
  LRESULT PrePaintAnswer = CDRF_DODEFAULT;
  LRESULT ItemAnswer = CDRF_DODEFAULT;
  bool RefuseSelection = false;
  bool RefuseExpansion = false;
  bool RefuseEdit = false;
  bool KeepEdit = true;
  std::map<LPARAM, std::string> CallbackTexts;
  std::map<LPARAM, int> CallbackImages;

  std::vector<std::string> Names(bool WithDisplayInfo = false) const {
    std::vector<std::string> Result;
    for (const TNote& Note : Notes)
      if (const char* Name = CodeName(Note.Code); Name && (WithDisplayInfo || Note.Code != TVN_GETDISPINFOA))
        Result.push_back(Name);
    return Result;
  }

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg != WM_NOTIFY) {
      TWinControl::WndProc(Message);
      return;
    }
    auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    TNote Note;
    Note.Code = Header->code;
    switch (Header->code) {
      case TVN_SELCHANGINGA:
      case TVN_SELCHANGEDA:
      case TVN_ITEMEXPANDINGA:
      case TVN_ITEMEXPANDEDA:
      case TVN_DELETEITEMA:
      case TVN_BEGINDRAGA: {
        auto* Tree = reinterpret_cast<NMTREEVIEWA*>(Header);
        Note.Old = Tree->itemOld.hItem;
        Note.New = Tree->itemNew.hItem;
        Note.Action = Tree->action;
        if (Header->code == TVN_SELCHANGINGA && RefuseSelection) Message.Result = TRUE;
        if (Header->code == TVN_ITEMEXPANDINGA && RefuseExpansion) Message.Result = TRUE;
        break;
      }
      case TVN_GETDISPINFOA: {
        auto* Info = reinterpret_cast<NMTVDISPINFOA*>(Header);
        if (Info->item.mask & TVIF_TEXT) {
          const std::string& Text = CallbackTexts[Info->item.lParam];
          snprintf(Info->item.pszText, size_t(Info->item.cchTextMax), "%s", Text.c_str());
        }
        if (Info->item.mask & TVIF_IMAGE) Info->item.iImage = CallbackImages[Info->item.lParam];
        break;
      }
      case TVN_BEGINLABELEDITA:
      case TVN_ENDLABELEDITA:
      case TVN_SETDISPINFOA: {
        auto* Info = reinterpret_cast<NMTVDISPINFOA*>(Header);
        Note.New = Info->item.hItem;
        Note.TextGiven = Info->item.pszText != nullptr;
        if (Note.TextGiven) Note.Text = Info->item.pszText;
        if (Header->code == TVN_BEGINLABELEDITA) Message.Result = RefuseEdit;
        if (Header->code == TVN_ENDLABELEDITA) Message.Result = KeepEdit;
        if (Header->code == TVN_SETDISPINFOA) CallbackTexts[Info->item.lParam] = Note.Text;
        break;
      }
      case NM_CUSTOMDRAW: {
        auto* Draw = reinterpret_cast<NMTVCUSTOMDRAW*>(Header);
        DrawStages.emplace_back(Draw->nmcd.dwDrawStage, Draw->nmcd.uItemState);
        Message.Result = Draw->nmcd.dwDrawStage == CDDS_PREPAINT ? PrePaintAnswer
                         : Draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT ? ItemAnswer
                                                                        : CDRF_DODEFAULT;
        return;
      }
      default:
        break;
    }
    if (CodeName(Note.Code)) Notes.push_back(Note);
  }
};
KORCAM_REGISTER_CLASS(TTreeHost)

class TreeViewWindowTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    InitTreeViewClass();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 260, 220);
    Host = new TTreeHost(Form);
    Host->SetParent(Form);
    Host->SetBounds(0, 0, 240, 200);
    Form->Show();
    Make(TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS);
  }
  void TearDown() override {
    if (IsWindow(Tree)) DestroyWindow(Tree);
    Form->Free();
    TFormsTest::TearDown();
  }
  void Make(DWORD Style) {
    if (Tree && IsWindow(Tree)) DestroyWindow(Tree);
    Tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | Style, 10, 10, 200, 160, Host->Handle(),
                           nullptr, nullptr, nullptr);
    ASSERT_NE(Tree, nullptr);
    Host->Notes.clear();
  }
  HTREEITEM Add(HTREEITEM Parent, const char* Text, HTREEITEM After = TVI_LAST, LPARAM Param = 0) {
    TVINSERTSTRUCTA Insert{};
    Insert.hParent = Parent;
    Insert.hInsertAfter = After;
    Insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    Insert.item.pszText = const_cast<char*>(Text);
    Insert.item.lParam = Param;
    return TreeView_InsertItem(Tree, &Insert);
  }
  std::string Text(HTREEITEM Item) {
    char Buffer[64] = {};
    TVITEMA Get{};
    Get.mask = TVIF_TEXT;
    Get.hItem = Item;
    Get.pszText = Buffer;
    Get.cchTextMax = sizeof(Buffer);
    return TreeView_GetItem(Tree, &Get) ? Buffer : "?";
  }
  // The texts of the children of Parent (nullptr: the roots), in order.
  std::string Children(HTREEITEM Parent) {
    std::string Result;
    for (HTREEITEM Item = TreeView_GetNextItem(Tree, Parent, TVGN_CHILD); Item;
         Item = TreeView_GetNextItem(Tree, Item, TVGN_NEXT))
      Result += (Result.empty() ? "" : ",") + Text(Item);
    return Result;
  }
  RECT ItemRect(HTREEITEM Item, bool TextOnly) {
    RECT Rect{};
    EXPECT_TRUE(TreeView_GetItemRect(Tree, Item, &Rect, TextOnly));
    return Rect;
  }
  UINT Hit(int X, int Y, HTREEITEM* Item = nullptr) {
    TVHITTESTINFO Info{{X, Y}, 0, nullptr};
    TreeView_HitTest(Tree, &Info);
    if (Item) *Item = Info.hItem;
    return Info.flags;
  }
  TControl* TreeControl() { return Host; }
  // Client point of the tree to a point of the host, for the input helpers.
  void Click(int X, int Y) {
    ClickAt(Host, X + 10, Y + 10);
    Pump();
  }
  TForm* Form = nullptr;
  TTreeHost* Host = nullptr;
  HWND Tree = nullptr;
};

TEST_F(TreeViewWindowTest, InsertPositionsRelationsAndSorting) {
  HTREEITEM B = Add(TVI_ROOT, "b");
  HTREEITEM D = Add(nullptr, "d");
  struct TCase {
    const char* Name;
    HTREEITEM Parent;
    const char* Text;
    HTREEITEM After;
    const char* Expected;
  };
  HTREEITEM Stray = nullptr;
  const TCase Cases[] = {
      {"TVI_FIRST goes first", TVI_ROOT, "a", TVI_FIRST, "a,b,d"},
      {"after a sibling", TVI_ROOT, "c", B, "a,b,c,d"},
      {"TVI_LAST goes last", TVI_ROOT, "f", TVI_LAST, "a,b,c,d,f"},
      {"TVI_SORT finds its place", TVI_ROOT, "E", TVI_SORT, "a,b,c,d,E,f"},
      {"an item that is no sibling puts it last", TVI_ROOT, "g", Stray, "a,b,c,d,E,f,g"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ASSERT_NE(Add(Case.Parent, Case.Text, Case.After), nullptr);
    EXPECT_EQ(Children(nullptr), Case.Expected);
  }
  HTREEITEM D1 = Add(D, "d1");
  HTREEITEM D2 = Add(D, "d2");
  HTREEITEM D21 = Add(D2, "d21");
  EXPECT_EQ(TreeView_GetCount(Tree), 10u);
  EXPECT_EQ(TreeView_GetNextItem(Tree, D21, TVGN_PARENT), D2);
  EXPECT_EQ(TreeView_GetNextItem(Tree, D, TVGN_PARENT), nullptr);
  EXPECT_EQ(TreeView_GetNextItem(Tree, D2, TVGN_PREVIOUS), D1);
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_ROOT), TreeView_GetNextItem(Tree, nullptr, TVGN_CHILD));
  // A parent's child count follows its children.
  TVITEMA Get{};
  Get.mask = TVIF_CHILDREN;
  Get.hItem = D2;
  ASSERT_TRUE(TreeView_GetItem(Tree, &Get));
  EXPECT_EQ(Get.cChildren, 1);
  // Sorting by text, the window's text order (case folded first); with recursion the children
  // too.
  Add(D, "D0", TVI_LAST);
  ASSERT_TRUE(SendMessageA(Tree, TVM_SORTCHILDREN, TRUE, reinterpret_cast<LPARAM>(TVI_ROOT)));
  EXPECT_EQ(Children(nullptr), "a,b,c,d,E,f,g");
  EXPECT_EQ(Children(D), "D0,d1,d2");
  // A sort with a comparison of the application values, descending; not recursive.
  TVITEMA Set{};
  Set.mask = TVIF_PARAM;
  int Value = 0;
  for (HTREEITEM Item = TreeView_GetNextItem(Tree, D, TVGN_CHILD); Item; Item = TreeView_GetNextItem(Tree, Item, TVGN_NEXT)) {
    Set.hItem = Item;
    Set.lParam = ++Value;
    TreeView_SetItem(Tree, &Set);
  }
  TVSORTCB Sort{D, [](LPARAM A, LPARAM B, LPARAM Sign) { return int(Sign * (A - B)); }, -1};
  ASSERT_TRUE(SendMessageA(Tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&Sort)));
  EXPECT_EQ(Children(D), "d2,d1,D0");
  // Stale and foreign handles are refused, never followed.
  ASSERT_TRUE(TreeView_DeleteItem(Tree, D21));
  Get.hItem = D21;
  EXPECT_FALSE(TreeView_GetItem(Tree, &Get));
  EXPECT_EQ(TreeView_GetNextItem(Tree, D21, TVGN_NEXT), nullptr);
  EXPECT_FALSE(TreeView_DeleteItem(Tree, D21));
  EXPECT_EQ(Add(D21, "orphan"), nullptr);
  Get.hItem = D2;
  ASSERT_TRUE(TreeView_GetItem(Tree, &Get));
  EXPECT_EQ(Get.cChildren, 0);
}

TEST_F(TreeViewWindowTest, DeletionOrderAndTheSelectionThatFollows) {
  HTREEITEM A = Add(TVI_ROOT, "a");
  HTREEITEM B = Add(TVI_ROOT, "b");
  HTREEITEM B1 = Add(B, "b1");
  HTREEITEM B11 = Add(B1, "b11");
  HTREEITEM C = Add(TVI_ROOT, "c");
  ASSERT_TRUE(TreeView_SelectItem(Tree, B11));
  Host->Notes.clear();
  // Children before their parent; the selection inside moves to the next sibling.
  ASSERT_TRUE(TreeView_DeleteItem(Tree, B));
  ASSERT_EQ(Host->Notes.size(), 5u);
  EXPECT_EQ(Host->Notes[0].Old, B11);
  EXPECT_EQ(Host->Notes[1].Old, B1);
  EXPECT_EQ(Host->Notes[2].Old, B);
  EXPECT_EQ(Host->Names(), (std::vector<std::string>{"DELETE", "DELETE", "DELETE", "SELCHANGING", "SELCHANGED"}));
  EXPECT_EQ(Host->Notes[4].New, C);
  EXPECT_EQ(Host->Notes[4].Old, nullptr);
  // No next sibling: the previous one.
  Host->Notes.clear();
  ASSERT_TRUE(TreeView_DeleteItem(Tree, C));
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), A);
  // Everything: no selection, nothing told but the deletions.
  Add(A, "a1");
  Host->Notes.clear();
  ASSERT_TRUE(TreeView_DeleteItem(Tree, TVI_ROOT));
  EXPECT_EQ(Host->Names(), (std::vector<std::string>{"DELETE", "DELETE"}));
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), nullptr);
  EXPECT_EQ(TreeView_GetCount(Tree), 0u);
  // Destroying the window announces the items it still holds.
  Add(TVI_ROOT, "x");
  Host->Notes.clear();
  DestroyWindow(Tree);
  EXPECT_EQ(Host->Names(), (std::vector<std::string>{"DELETE"}));
}

TEST_F(TreeViewWindowTest, GeometryOfRowsItemsAndHitZones) {
  HTREEITEM Root = Add(TVI_ROOT, "Root");
  HTREEITEM Child = Add(Root, "Child item");
  HTREEITEM Leaf = Add(TVI_ROOT, "Leaf");
  const int Height = int(SendMessageA(Tree, TVM_GETITEMHEIGHT, 0, 0));
  EXPECT_EQ(Height % 2, 0);
  EXPECT_GE(Height, 16);
  const int Indent = int(SendMessageA(Tree, TVM_GETINDENT, 0, 0));
  EXPECT_EQ(Indent, 19);
  // Collapsed: the child has no rectangle.
  RECT Rect{};
  EXPECT_FALSE(TreeView_GetItemRect(Tree, Child, &Rect, TRUE));
  ASSERT_TRUE(TreeView_Expand(Tree, Root, TVE_EXPAND));
  // Rows in order; the whole row spans the client width; the text starts after the button
  // column (lines at root) and one indent per level.
  EXPECT_EQ(ItemRect(Root, false).top, 0);
  EXPECT_EQ(ItemRect(Child, false).top, Height);
  EXPECT_EQ(ItemRect(Leaf, false).top, 2 * Height);
  RECT Client{};
  GetClientRect(Tree, &Client);
  EXPECT_EQ(ItemRect(Root, false).right, Client.right);
  const RECT RootText = ItemRect(Root, true), ChildText = ItemRect(Child, true);
  EXPECT_EQ(RootText.left, Indent);
  EXPECT_EQ(ChildText.left, 2 * Indent);
  EXPECT_EQ(RootText.bottom - RootText.top, Height);
  // The text rectangle is the text's width + 4.
  HDC DC = GetDC(Tree);
  SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
  SIZE Size{};
  GetTextExtentPoint32A(DC, "Child item", 10, &Size);
  ReleaseDC(Tree, DC);
  EXPECT_EQ(ChildText.right - ChildText.left, Size.cx + 4);

  const int Mid = Height / 2;
  struct TCase {
    const char* Name;
    int X, Y;
    UINT Flags;
    HTREEITEM Item;
  };
  const TCase Cases[] = {
      {"root's button column", Indent / 2, Mid, TVHT_ONITEMBUTTON, Root},
      {"a leaf's button column is indent", Indent / 2, 2 * Height + Mid, TVHT_ONITEMINDENT, Leaf},
      {"left of the child's button column", Indent / 2, Height + Mid, TVHT_ONITEMINDENT, Child},
      {"child's label, first pixel", 2 * Indent, Height + Mid, TVHT_ONITEMLABEL, Child},
      {"child's label, last pixel", int(ChildText.right) - 1, Height + Mid, TVHT_ONITEMLABEL, Child},
      {"right of the label", int(ChildText.right), Height + Mid, TVHT_ONITEMRIGHT, Child},
      {"below the last item", 30, 3 * Height + 1, TVHT_NOWHERE, nullptr},
      {"above the window", 30, -1, TVHT_ABOVE, nullptr},
      {"below and right of the window", int(Client.right), int(Client.bottom), TVHT_BELOW | TVHT_TORIGHT, nullptr},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    HTREEITEM Item = nullptr;
    EXPECT_EQ(Hit(Case.X, Case.Y, &Item), Case.Flags);
    EXPECT_EQ(Item, Case.Item);
  }
  // Without lines at the root, roots start at 0 and show no button.
  Make(TVS_HASLINES | TVS_HASBUTTONS);
  Root = Add(TVI_ROOT, "Root");
  Add(Root, "Child");
  EXPECT_EQ(ItemRect(Root, true).left, 0);
  EXPECT_EQ(Hit(1, Mid), TVHT_ONITEMLABEL);
  // An image list reserves its width and a 1-pixel gap; a state image its width.
  HIMAGELIST Images = ImageList_Create(20, 22, ILC_COLOR24, 1, 1);
  SendMessageA(Tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Images));
  EXPECT_EQ(SendMessageA(Tree, TVM_GETITEMHEIGHT, 0, 0), 22);
  EXPECT_EQ(ItemRect(Root, true).left, 21);
  EXPECT_EQ(Hit(20, 5), TVHT_ONITEMICON);
  SendMessageA(Tree, TVM_SETINDENT, 2, 0);
  EXPECT_EQ(SendMessageA(Tree, TVM_GETINDENT, 0, 0), 5);
  SendMessageA(Tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
  ImageList_Destroy(Images);
  EXPECT_EQ(SendMessageA(Tree, TVM_SETITEMHEIGHT, 25, 0), Height);
  EXPECT_EQ(SendMessageA(Tree, TVM_GETITEMHEIGHT, 0, 0), 25);
  SendMessageA(Tree, TVM_SETITEMHEIGHT, WPARAM(-1), 0);
  EXPECT_EQ(SendMessageA(Tree, TVM_GETITEMHEIGHT, 0, 0), Height);
}

TEST_F(TreeViewWindowTest, ExpansionAndSelectionAreToldAndMayBeRefused) {
  HTREEITEM A = Add(TVI_ROOT, "a");
  HTREEITEM A1 = Add(A, "a1");
  HTREEITEM B = Add(TVI_ROOT, "b");
  EXPECT_FALSE(TreeView_Expand(Tree, B, TVE_EXPAND));  // nothing to show
  Host->RefuseExpansion = true;
  EXPECT_FALSE(TreeView_Expand(Tree, A, TVE_EXPAND));
  EXPECT_EQ(TreeView_GetItemState(Tree, A, TVIS_EXPANDED), 0u);
  Host->RefuseExpansion = false;
  Host->Notes.clear();
  ASSERT_TRUE(TreeView_Expand(Tree, A, TVE_TOGGLE));
  EXPECT_EQ(Host->Names(), (std::vector<std::string>{"EXPANDING", "EXPANDED"}));
  EXPECT_EQ(Host->Notes[0].Action, TVE_EXPAND);
  EXPECT_EQ(TreeView_GetNextItem(Tree, A, TVGN_NEXTVISIBLE), A1);

  // Selecting tells before and after; a refusal keeps the old selection.
  Host->Notes.clear();
  ASSERT_TRUE(TreeView_SelectItem(Tree, A1));
  EXPECT_EQ(Host->Names(), (std::vector<std::string>{"SELCHANGING", "SELCHANGED"}));
  EXPECT_EQ(Host->Notes[1].New, A1);
  EXPECT_EQ(Host->Notes[1].Action, TVC_UNKNOWN);
  EXPECT_EQ(TreeView_GetItemState(Tree, A1, TVIS_SELECTED), TVIS_SELECTED);
  Host->RefuseSelection = true;
  EXPECT_FALSE(TreeView_SelectItem(Tree, B));
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), A1);
  Host->RefuseSelection = false;
  // Collapsing the selection's parent moves the selection up to it.
  Host->Notes.clear();
  ASSERT_TRUE(TreeView_Expand(Tree, A, TVE_COLLAPSE));
  EXPECT_EQ(Host->Names(), (std::vector<std::string>{"EXPANDING", "SELCHANGING", "SELCHANGED", "EXPANDED"}));
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), A);
  // Collapse and reset drops the children.
  ASSERT_TRUE(TreeView_Expand(Tree, A, TVE_EXPAND));
  ASSERT_TRUE(TreeView_Expand(Tree, A, TVE_COLLAPSE | TVE_COLLAPSERESET));
  EXPECT_EQ(TreeView_GetNextItem(Tree, A, TVGN_CHILD), nullptr);

  // By mouse and keyboard, with the action that says so.
  Host->Notes.clear();
  const RECT BText = ItemRect(B, true);
  Click(BText.left + 3, BText.top + 3);
  EXPECT_EQ(Host->Names(), (std::vector<std::string>{"SELCHANGING", "SELCHANGED", "CLICK"}));
  EXPECT_EQ(Host->Notes[1].Action, TVC_BYMOUSE);
  Host->Notes.clear();
  Keys({VK_UP});
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), A);
  ASSERT_EQ(Host->Names(), (std::vector<std::string>{"SELCHANGING", "SELCHANGED"}));
  EXPECT_EQ(Host->Notes[1].Action, TVC_BYKEYBOARD);
}

TEST_F(TreeViewWindowTest, KeysMoveExpandAndFindByTyping) {
  HTREEITEM Apple = Add(TVI_ROOT, "Apple");
  HTREEITEM Seeds = Add(Apple, "Seeds");
  HTREEITEM Banana = Add(TVI_ROOT, "Banana");
  HTREEITEM Berry = Add(TVI_ROOT, "Berry");
  SetFocus(Tree);
  ASSERT_TRUE(TreeView_SelectItem(Tree, Apple));
  struct TCase {
    const char* Name;
    int Key;
    HTREEITEM Selected;
    bool AppleExpanded;
  };
  const TCase Cases[] = {
      {"Right expands", VK_RIGHT, Apple, true},
      {"Right again goes to the first child", VK_RIGHT, Seeds, true},
      {"Left goes to the parent", VK_LEFT, Apple, true},
      {"Left collapses", VK_LEFT, Apple, false},
      {"End", VK_END, Berry, false},
      {"Up", VK_UP, Banana, false},
      {"Home", VK_HOME, Apple, false},
      {"keypad star expands below", VK_MULTIPLY, Apple, true},
      {"Down into the children", VK_DOWN, Seeds, true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Keys({Case.Key});
    EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), Case.Selected);
    EXPECT_EQ(TreeView_GetItemState(Tree, Apple, TVIS_EXPANDED) != 0, Case.AppleExpanded);
  }
  // Typing: "b" finds Banana, "be" within a second refines to Berry, a pause starts anew.
  InjectText(U"b");
  Pump();
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), Banana);
  InjectText(U"e");
  Pump();
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), Berry);
  Advance(1500);
  InjectText(U"a");
  Pump();
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), Apple);
}

TEST_F(TreeViewWindowTest, CallbackTextsAndImagesComeFromTheParent) {
  HIMAGELIST Images = ImageList_Create(16, 16, ILC_COLOR24, 4, 1);
  ImageList_SetImageCount(Images, 4);
  SendMessageA(Tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Images));
  Host->CallbackTexts[7] = "From the parent";
  Host->CallbackImages[7] = 3;
  TVINSERTSTRUCTA Insert{};
  Insert.hParent = TVI_ROOT;
  Insert.hInsertAfter = TVI_LAST;
  Insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
  Insert.item.pszText = LPSTR_TEXTCALLBACKA;
  Insert.item.iImage = I_IMAGECALLBACK;
  Insert.item.lParam = 7;
  HTREEITEM Item = TreeView_InsertItem(Tree, &Insert);
  TVITEMA Get{};
  Get.mask = TVIF_TEXT | TVIF_IMAGE;
  Get.hItem = Item;
  ASSERT_TRUE(TreeView_GetItem(Tree, &Get));
  EXPECT_EQ(Get.pszText, LPSTR_TEXTCALLBACKA);
  EXPECT_EQ(Get.iImage, I_IMAGECALLBACK);
  // The window measures the parent's text.
  HDC DC = GetDC(Tree);
  SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
  SIZE Size{};
  GetTextExtentPoint32A(DC, "From the parent", 15, &Size);
  ReleaseDC(Tree, DC);
  const RECT Text = ItemRect(Item, true);
  EXPECT_EQ(Text.right - Text.left, Size.cx + 4);
  Host->Notes.clear();
  UpdateWindow(Tree);
  bool AskedImage = false;
  for (const TNote& Note : Host->Notes) AskedImage |= Note.Code == TVN_GETDISPINFOA;
  EXPECT_TRUE(AskedImage);
  SendMessageA(Tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
  ImageList_Destroy(Images);
}

TEST_F(TreeViewWindowTest, CustomDrawStagesAndItemStates) {
  HTREEITEM A = Add(TVI_ROOT, "a");
  Add(TVI_ROOT, "b");
  SetFocus(Tree);
  TreeView_SelectItem(Tree, A);
  struct TCase {
    const char* Name;
    LRESULT PrePaint, Item;
    std::vector<DWORD> Stages;
  };
  const TCase Cases[] = {
      {"no item notifications", CDRF_DODEFAULT, CDRF_DODEFAULT, {CDDS_PREPAINT}},
      {"items and post-paint", CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT, CDRF_SKIPDEFAULT,
       {CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT, CDDS_POSTPAINT}},
      {"item post-paint", CDRF_NOTIFYITEMDRAW, CDRF_NOTIFYPOSTPAINT,
       {CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPOSTPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPOSTPAINT}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Host->PrePaintAnswer = Case.PrePaint;
    Host->ItemAnswer = Case.Item;
    Host->DrawStages.clear();
    InvalidateRect(Tree, nullptr, FALSE);
    UpdateWindow(Tree);
    std::vector<DWORD> Stages;
    for (const auto& Stage : Host->DrawStages) Stages.push_back(Stage.first);
    EXPECT_EQ(Stages, Case.Stages);
  }
  // The selected item of the focused window is selected and focused; the other neither.
  Host->PrePaintAnswer = CDRF_NOTIFYITEMDRAW;
  Host->ItemAnswer = CDRF_DODEFAULT;
  Host->DrawStages.clear();
  InvalidateRect(Tree, nullptr, FALSE);
  UpdateWindow(Tree);
  ASSERT_EQ(Host->DrawStages.size(), 3u);
  EXPECT_EQ(Host->DrawStages[1].second, CDIS_SELECTED | CDIS_FOCUS);
  EXPECT_EQ(Host->DrawStages[2].second, 0u);
}

TEST_F(TreeViewWindowTest, LabelEditingKeepsCancelsOrIsRefused) {
  Make(TVS_HASLINES | TVS_EDITLABELS);
  HTREEITEM A = Add(TVI_ROOT, "alpha");
  SetFocus(Tree);
  TreeView_SelectItem(Tree, A);
  Host->Notes.clear();
  Keys({VK_F2});
  HWND Edit = HWND(SendMessageA(Tree, TVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(Edit, nullptr);
  EXPECT_EQ(GetFocus(), Edit);
  InjectText(U"Gamma");
  Pump();
  Keys({VK_RETURN});
  EXPECT_EQ(SendMessageA(Tree, TVM_GETEDITCONTROL, 0, 0), 0);
  ASSERT_EQ(Host->Names(), (std::vector<std::string>{"BEGINEDIT", "ENDEDIT"}));
  EXPECT_EQ(Host->Notes[1].Text, "Gamma");
  EXPECT_EQ(Text(A), "Gamma");
  EXPECT_EQ(GetFocus(), Tree);
  // Escape: the end is told without a text, and nothing changes.
  Host->Notes.clear();
  ASSERT_NE(SendMessageA(Tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(A)), 0);
  InjectText(U"x");
  Pump();
  Keys({VK_ESCAPE});
  ASSERT_EQ(Host->Notes.size(), 2u);
  EXPECT_FALSE(Host->Notes[1].TextGiven);
  EXPECT_EQ(Text(A), "Gamma");
  // The parent refuses the text, or the edit itself.
  Host->KeepEdit = false;
  SendMessageA(Tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(A));
  InjectText(U"z");
  Pump();
  EXPECT_TRUE(SendMessageA(Tree, TVM_ENDEDITLABELNOW, FALSE, 0));
  EXPECT_EQ(Text(A), "Gamma");
  Host->RefuseEdit = true;
  EXPECT_EQ(SendMessageA(Tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(A)), 0);
  // A second click on the selected item's label edits it after the double-click time.
  Host->RefuseEdit = false;
  Host->KeepEdit = true;
  const RECT Label = ItemRect(A, true);
  Click(Label.left + 4, Label.top + 4);
  EXPECT_EQ(SendMessageA(Tree, TVM_GETEDITCONTROL, 0, 0), 0);
  Advance(GetDoubleClickTime() + 20);
  EXPECT_NE(SendMessageA(Tree, TVM_GETEDITCONTROL, 0, 0), 0);
  // Deleting the item ends the edit without its text.
  Host->Notes.clear();
  TreeView_DeleteItem(Tree, A);
  EXPECT_EQ(SendMessageA(Tree, TVM_GETEDITCONTROL, 0, 0), 0);
  EXPECT_EQ(Host->Names().front(), "ENDEDIT");
}

TEST_F(TreeViewWindowTest, DragDetectionAndDragImage) {
  HTREEITEM A = Add(TVI_ROOT, "drag me");
  HTREEITEM B = Add(TVI_ROOT, "other");
  const RECT Label = ItemRect(A, true);
  // Moving 3 pixels is still a click; 4 starts a drag, and the click selects nothing.
  PressAt(Host, Label.left + 12, Label.top + 13);
  MoveTo(Host, Label.left + 15, Label.top + 13);
  ReleaseAt(Host, Label.left + 15, Label.top + 13);
  Pump();
  EXPECT_EQ(Host->Names(), (std::vector<std::string>{"SELCHANGING", "SELCHANGED", "CLICK"}));
  Host->Notes.clear();
  const RECT Other = ItemRect(B, true);
  PressAt(Host, Other.left + 12, Other.top + 13);
  MoveTo(Host, Other.left + 12, Other.top + 17);
  ReleaseAt(Host, Other.left + 12, Other.top + 17);
  Pump();
  ASSERT_EQ(Host->Names(), (std::vector<std::string>{"BEGINDRAG"}));
  EXPECT_EQ(Host->Notes[0].New, B);
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), A);
  // The drag image shows the item's text at the text's size.
  HIMAGELIST Image = HIMAGELIST(SendMessageA(Tree, TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(A)));
  ASSERT_NE(Image, nullptr);
  int Width = 0, Height = 0;
  ImageList_GetIconSize(Image, &Width, &Height);
  EXPECT_EQ(Width, Label.right - Label.left);
  EXPECT_EQ(Height, Label.bottom - Label.top);
  EXPECT_EQ(ImageList_GetImageCount(Image), 1);
  ImageList_Destroy(Image);
  // TVS_DISABLEDRAGDROP: the same gesture is a click.
  SetWindowLongA(Tree, GWL_STYLE, GetWindowLongA(Tree, GWL_STYLE) | TVS_DISABLEDRAGDROP);
  Host->Notes.clear();
  Advance(GetDoubleClickTime() + 10);  // not a double click
  PressAt(Host, Other.left + 12, Other.top + 13);
  MoveTo(Host, Other.left + 12, Other.top + 20);
  ReleaseAt(Host, Other.left + 12, Other.top + 20);
  Pump();
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_CARET), B);
}

TEST_F(TreeViewWindowTest, CheckBoxesStepBetweenTwoStateImages) {
  Make(TVS_CHECKBOXES | TVS_HASLINES);
  HTREEITEM A = Add(TVI_ROOT, "a");
  EXPECT_EQ(STATEIMAGEMASKTOINDEX(TreeView_GetItemState(Tree, A, TVIS_STATEIMAGEMASK)), 1u);
  HIMAGELIST States = HIMAGELIST(SendMessageA(Tree, TVM_GETIMAGELIST, TVSIL_STATE, 0));
  ASSERT_NE(States, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(States), 3);
  EXPECT_EQ(Hit(3, 3), TVHT_ONITEMSTATEICON);
  Click(3, 3);
  EXPECT_EQ(STATEIMAGEMASKTOINDEX(TreeView_GetItemState(Tree, A, TVIS_STATEIMAGEMASK)), 2u);
  TreeView_SelectItem(Tree, A);
  SetFocus(Tree);
  Keys({VK_SPACE});
  EXPECT_EQ(STATEIMAGEMASKTOINDEX(TreeView_GetItemState(Tree, A, TVIS_STATEIMAGEMASK)), 1u);
  // State image 0 reserves no room.
  TVITEMA Set{};
  Set.mask = TVIF_STATE;
  Set.hItem = A;
  Set.stateMask = TVIS_STATEIMAGEMASK;
  Set.state = 0;
  TreeView_SetItem(Tree, &Set);
  EXPECT_EQ(ItemRect(A, true).left, 0);
}

TEST_F(TreeViewWindowTest, ScrollsToTheSelection) {
  std::vector<HTREEITEM> Items;
  for (int Index = 0; Index < 40; ++Index) Items.push_back(Add(TVI_ROOT, ("item " + std::to_string(Index)).c_str()));
  ASSERT_TRUE(TreeView_SelectItem(Tree, Items[30]));
  const RECT Row = ItemRect(Items[30], false);
  RECT Client{};
  GetClientRect(Tree, &Client);
  EXPECT_GE(Row.top, 0);
  EXPECT_LE(Row.bottom, Client.bottom);
  SCROLLINFO Info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(Tree, SB_VERT, &Info));
  EXPECT_EQ(Info.nMax, 39);
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_FIRSTVISIBLE), Items[size_t(Info.nPos)]);
  SendMessageA(Tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(Items[5]));
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_FIRSTVISIBLE), Items[5]);
  EXPECT_EQ(ItemRect(Items[5], false).top, 0);
  SendMessageA(Tree, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(TreeView_GetNextItem(Tree, nullptr, TVGN_FIRSTVISIBLE), Items[6]);
}

TEST_F(TreeViewWindowTest, DrawnByItself) {
  HTREEITEM Fruit = Add(TVI_ROOT, "Fruit");
  Add(Fruit, "Apple");
  HTREEITEM Pear = Add(Fruit, "Pear");
  HTREEITEM Veg = Add(TVI_ROOT, "Vegetables");
  Add(Veg, "Leek");
  TreeView_Expand(Tree, Fruit, TVE_EXPAND);
  SetFocus(Tree);
  TreeView_SelectItem(Tree, Pear);
  UpdateWindow(Tree);
  // The selection is filled with the highlight colour; the collapsed item's button shows a plus.
  const RECT Text = ItemRect(Pear, true);
  EXPECT_EQ(ColorToRGB(PixelAt(Host, 10 + Text.left + 1, 10 + Text.top + 1)), ColorToRGB(clHighlight));
  const RECT VegRow = ItemRect(Veg, false);
  const int Indent = int(SendMessageA(Tree, TVM_GETINDENT, 0, 0));
  const int CX = Indent - Indent / 2 - 1, CY = (VegRow.top + VegRow.bottom) / 2;
  EXPECT_EQ(ColorToRGB(PixelAt(Host, 10 + CX, 10 + CY - 2)), 0);  // the plus's vertical stroke
  EXPECT_EQ(ColorToRGB(PixelAt(Host, 10 + CX - 4, 10 + CY)), ColorToRGB(clBtnShadow));  // the box
  SaveWindowPng(Host, "treeviewwindow");
}

}  // namespace
}  // namespace FormsTest
