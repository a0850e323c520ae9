// What the tree-view window tells the view (CN_NOTIFY): selection changes (refusable, and
// delayed by ChangeDelay), expansion, deletion of items (which frees their nodes), label
// editing, the start of a drag, the display information of the nodes' callback texts and
// images, right clicks and custom draw (vctreepaint.cpp); and the subclass of the label editor.

#include <algorithm>
#include <cstring>

#include "platform/forms/application.h"
#include "platform/forms/timer.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"
#include "vcontrols/treeview/vctreeview.h"

namespace {

constexpr const char* EditViewProperty = "KorcamTreeViewOfEdit";

bool IsCode(UINT Code, UINT Ansi, UINT Wide) { return Code == Ansi || Code == Wide; }

}  // namespace

LRESULT TreeEditSubclass(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto* View = static_cast<TvcCustomTreeView*>(GetPropA(Window, EditViewProperty));
  if (!View || View->FEditWindow != Window || !View->FEditDefProc) return DefWindowProcA(Window, Message, WParam, LParam);
  const WNDPROC Original = View->FEditDefProc;
  try {
    switch (Message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        TMessage Key{Message, WParam, LParam, 0};
        if (View->DoKeyDown(Key)) return 0;
        break;
      }
      case WM_KEYUP:
      case WM_SYSKEYUP: {
        TMessage Key{Message, WParam, LParam, 0};
        if (View->DoKeyUp(Key)) return 0;
        break;
      }
      case WM_CHAR: {
        TMessage Key{Message, WParam, LParam, 0};
        if (View->DoKeyPress(Key)) return 0;
        WParam = Key.WParam;
        break;
      }
      case CN_KEYDOWN:
      case CN_CHAR:
      case CN_SYSKEYDOWN:
      case CN_SYSCHAR:
        return View->Perform(Message, WParam, LParam);
      case WM_SIZE:
      case WM_WINDOWPOSCHANGED: {
        TvcTreeNode* Node = View->FEditNode;
        if (Node && View->Images() && Node->ImageIndex() == -2) {
          // A node without an image edits its text where the image would be.
          static bool Moving = false;
          if (!Moving) {
            Moving = true;
            const RECT Text = Node->DisplayRect(true);
            SetWindowPos(Window, nullptr, std::max<LONG>(0, Text.left), Text.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Moving = false;
          }
          ValidateRect(View->HandleIfAllocated(), nullptr);
        } else if (Message == WM_SIZE) {
          // The tree is not repainted while the editor grows.
          if (View->FEditStarted) View->FEditStarted = false;
          else ValidateRect(View->HandleIfAllocated(), nullptr);
        }
        break;
      }
      case WM_NCDESTROY:
        RemovePropA(Window, EditViewProperty);
        SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Original));
        if (View->FEditWindow == Window) {
          View->FEditWindow = nullptr;
          View->FEditDefProc = nullptr;
        }
        return CallWindowProcA(Original, Window, Message, WParam, LParam);
      default:
        break;
    }
    return CallWindowProcA(Original, Window, Message, WParam, LParam);
  } catch (const Exception&) {
    if (Application) Application->HandleException(View);
    return 0;
  }
}

void TvcCustomTreeView::StartEditSubclass(HWND Edit) {
  if (!Edit || !IsWindow(Edit)) return;
  FEditWindow = Edit;
  FEditDefProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Edit, GWLP_WNDPROC));
  SetPropA(Edit, EditViewProperty, this);
  SetWindowLongPtrA(Edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TreeEditSubclass));
}

void TvcCustomTreeView::Edit(const TVITEMA& Item) {
  TvcTreeNode* Node = reinterpret_cast<TvcTreeNode*>(Item.lParam);
  if (!Node) Node = NodeOfItem(Item.hItem);
  if (Item.pszText && Node) {
    std::string Text = Item.pszText;
    OnEdited(this, Node, Text);
    Node->SetText(Text);
  }
  FEditNode = nullptr;
}

void TvcCustomTreeView::StopChangeTimer() {
  if (FChangeTimer) FChangeTimer->SetEnabled(false);
  FChangeNode = nullptr;
}

void TvcCustomTreeView::ChangeTimerTick(TObject*) {
  TvcTreeNode* Node = FChangeNode;
  StopChangeTimer();
  Change(Node);
}

void TvcCustomTreeView::CNNotify(TMessage& Message) {
  auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
  Message.Result = 0;
  if (!Header) return;
  const UINT Code = Header->code;
  auto* Tree = reinterpret_cast<NMTREEVIEWA*>(Header);
  auto* Info = reinterpret_cast<NMTVDISPINFOA*>(Header);
  if (Code == NM_CUSTOMDRAW) {
    CustomDraw(Message);
  } else if (IsCode(Code, TVN_SELCHANGINGA, TVN_SELCHANGINGW)) {
    if (!FClearing && !CanChange(NodeOfItem(Tree->itemNew.hItem))) Message.Result = TRUE;
  } else if (IsCode(Code, TVN_SELCHANGEDA, TVN_SELCHANGEDW)) {
    if (FClearing) return;
    TvcTreeNode* Node = NodeOfItem(Tree->itemNew.hItem);
    if (FChangeDelay <= 0) {
      Change(Node);
      return;
    }
    // Quick changes (arrow keys held) end in one OnChange for the last node.
    StopChangeTimer();
    if (!FChangeTimer) {
      FChangeTimer = new TTimer(nullptr);
      FChangeTimer->SetEnabled(false);
      FChangeTimer->OnTimer = TNotifyEvent(this, &TvcCustomTreeView::ChangeTimerTick);
    }
    FChangeTimer->SetInterval(uint32_t(FChangeDelay));
    FChangeNode = Node;
    FChangeTimer->SetEnabled(true);
  } else if (IsCode(Code, TVN_BEGINLABELEDITA, TVN_BEGINLABELEDITW)) {
    TvcTreeNode* Node = NodeOfItem(Info->item.hItem);
    if (Dragging() || !Node || !CanEdit(Node)) {
      Message.Result = TRUE;
      return;
    }
    StartEditSubclass(HWND(SendMessageA(HandleIfAllocated(), TVM_GETEDITCONTROL, 0, 0)));
    FEditNode = Node;
    FEditStarted = true;
  } else if (IsCode(Code, TVN_ENDLABELEDITA, TVN_ENDLABELEDITW)) {
    Edit(Info->item);
  } else if (IsCode(Code, TVN_DELETEITEMA, TVN_DELETEITEMW)) {
    auto* Node = reinterpret_cast<TvcTreeNode*>(Tree->itemOld.lParam);
    if (!Node) return;
    Node->FItemId = nullptr;
    StopChangeTimer();
    if (FDestroyingWindow) {
      // The window goes (a re-creation): the nodes go with it, without events.
      if (!Node->Deleting()) Node->Free();
    } else {
      FItems->Delete(Node);
    }
  } else if (IsCode(Code, TVN_BEGINDRAGA, TVN_BEGINDRAGW)) {
    FWindowStartedDrag = true;
    FDragNode = NodeOfItem(Tree->itemNew.hItem);
  } else if (IsCode(Code, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDINGW)) {
    if (FManualNotify) return;
    TvcTreeNode* Node = NodeOfItem(Tree->itemNew.hItem);
    if (!Node) return;
    if ((Tree->action & TVE_EXPAND) && !(Tree->action & TVE_COLLAPSE)) {
      if (!CanExpand(Node)) Message.Result = TRUE;
    } else if (Tree->action & TVE_COLLAPSE) {
      if (!CanCollapse(Node)) Message.Result = TRUE;
    }
  } else if (IsCode(Code, TVN_ITEMEXPANDEDA, TVN_ITEMEXPANDEDW)) {
    if (FManualNotify) return;
    TvcTreeNode* Node = NodeOfItem(Tree->itemNew.hItem);
    if (!Node) return;
    if (Tree->action == TVE_EXPAND) Expand(Node);
    else if (Tree->action == TVE_COLLAPSE) Collapse(Node);
  } else if (Code == TVN_GETDISPINFOA) {
    auto* Node = reinterpret_cast<TvcTreeNode*>(Info->item.lParam);
    if (!Node) return;
    if ((Info->item.mask & TVIF_TEXT) && Info->item.pszText && Info->item.cchTextMax > 0) {
      // As much of the text as the buffer holds, never half a character.
      const std::string_view Text = Utf8TruncateBytes(Node->Text(), size_t(Info->item.cchTextMax - 1));
      std::memcpy(Info->item.pszText, Text.data(), Text.size());
      Info->item.pszText[Text.size()] = 0;
    }
    if (Info->item.mask & TVIF_IMAGE) {
      GetImageIndex(Node);
      Info->item.iImage = Node->ImageIndex();
    }
    if (Info->item.mask & TVIF_SELECTEDIMAGE) {
      GetSelectedIndex(Node);
      Info->item.iSelectedImage = Node->SelectedIndex();
    }
  } else if (Code == TVN_SETDISPINFOA) {
    auto* Node = reinterpret_cast<TvcTreeNode*>(Info->item.lParam);
    if (Node && (Info->item.mask & TVIF_TEXT) && Info->item.pszText) Node->SetText(Info->item.pszText);
  } else if (Code == NM_RCLICK) {
    POINT Point{};
    GetCursorPos(&Point);
    Point = ScreenToClient(Point);
    FRightClickedNode = GetNodeAt(Point.x, Point.y);
    if (FRightClickedNode) {
      if (FRightClickSelects) FRightClickedNode->SetSelected(true);
      else FRightClickedNode->Invalidate();
    }
    Invalidate();
    Perform(WM_RBUTTONUP, 0, PointToLParam(Point));
    Message.Result = 1;
  }
}
