// The tree view's mouse and keys: presses (3-D expand buttons, label editing by click, check
// boxes, multi-selection), double and right clicks, link nodes, the space bar, and the hint of a
// node text that does not fit.

#include <algorithm>

#include "platform/forms/application.h"
#include "platform/forms/font.h"
#include "platform/forms/screen.h"
#include "platform/forms/timer.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/scopeexit.h"
#include "platform/shell/shellapi.h"
#include "platform/user/user.h"
#include "vcontrols/treeview/vccanvas.h"
#include "vcontrols/treeview/vctreeview.h"

// ---- presses -----------------------------------------------------------------------------------------------

void TvcCustomTreeView::WMLButtonDown(TMessage& Message) {
  const POINT Point = Message.Pos();
  FSelectedAtMouseDown = Selected();
  FNodeAtMouseDown = GetNodeAt(Point.x, Point.y);
  if (FOptions.Contains(tvoExpandButtons3D) && GetHitTestInfoAt(Point.x, Point.y).Contains(vchtOnButton)) {
    ExpandButtonClick(Point.x, Point.y);
    return;
  }
  Invalidate();
  FWindowStartedDrag = false;
  FDragNode = nullptr;
  TObjectProtector Guard(this);
  TWinControl::Dispatch(Message);
  if (!Guard.Alive() || !HandleAllocated()) return;
  if (FDragMode == dmAutomatic && FDragKind == dkDrag) {
    SetFocus();
    if (FWindowStartedDrag) {
      if (TvcTreeNode* Node = GetNodeAt(Point.x, Point.y)) {
        Node->SetFocused(true);
        Node->SetSelected(true);
      }
      // Measured from the press: the window's detection already saw the pointer go.
      const POINT Press = ClientToScreen(Point);
      ::BeginDrag(this, false, -1, &Press);
    } else {
      // The window's drag detection took the release: the control gets it now.
      POINT Cursor{};
      GetCursorPos(&Cursor);
      Perform(WM_LBUTTONUP, 0, PointToLParam(ScreenToClient(Cursor)));
    }
  }
}

void TvcCustomTreeView::WMLButtonDblClk(TMessage& Message) {
  if (FOptions.Contains(tvoExpandOnDblClk)) {
    TWinControl::Dispatch(Message);
    return;
  }
  // The window never sees the double click: it would expand or collapse.
  MouseDown(mbLeft, KeysToShiftState(Message.Keys()) + TShiftState{ssDouble}, Message.XPos(), Message.YPos());
}

void TvcCustomTreeView::WMRButtonDown(TMessage& Message) {
  Invalidate();
  TWinControl::Dispatch(Message);
}

void TvcCustomTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWinControl::MouseDown(Button, Shift, X, Y);
  TObjectProtector Guard(this);
  TvcTreeNode* Node = GetNodeAt(X, Y);
  OnMouseDown(this, Node, Button, Shift, X, Y);
  if (Shift.Contains(ssDouble) && Guard.Alive()) OnDblClick(this, Node, Button, Shift, X, Y);
  if (!Guard.Alive() || !HandleAllocated()) return;
  Node = GetNodeAt(X, Y);
  if (!Node || (Button == mbLeft && Shift.Contains(ssDouble)) || (Button == mbRight && !FRightClickSelects)) return;
  const TvcHitTests Hits = GetHitTestInfoAt(X, Y);
  // A second click on the selected node's label edits it.
  if (Node == FSelectedAtMouseDown && Hits.Contains(vchtOnLabel) && FOptions.Contains(tvoEditText)) {
    HideNodeHint();
    if (FImages && Node->ImageIndex() == -2)
      SendMessageA(HandleIfAllocated(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(Node->ItemId()));
  }
  if (Node == FNodeAtMouseDown && Hits.Contains(vchtOnStateIcon) && HasCheckbox(Node) && !FReadOnly) {
    StepCheckState(Node);
    return;
  }
  if (FMultiSelectAttributes->Enabled()) MultiSelectClick(Node, Shift, X, Y);
}

void TvcCustomTreeView::StepCheckState(TvcTreeNode* Node) {
  const bool Designing = ComponentState().Contains(csDesigning);
  if (Node->IsRadioGroup()) {
    Node->SetGrayed(false);
    Node->SetChecked(true);
  } else if (FOptions.Contains(tvo3StateCheckbox) && Node->Checked() && !Node->Grayed()) {
    Node->SetGrayed(true);
  } else {
    Node->SetChecked(!Node->Checked());
    if (!Designing || FOptions.Contains(tvo3StateCheckbox)) Node->SetGrayed(false);
  }
}

void TvcCustomTreeView::MultiSelectClick(TvcTreeNode* Node, TShiftState Shift, int32_t X, int32_t Y) {
  const TvcHitTests Hits = GetHitTestInfoAt(X, Y);
  const bool Counts = IsRowSelect() ? X > GetButtonRect(Node).left + Indent()
                                    : (Hits.Contains(vchtOnItem) || Hits.Contains(vchtOnLabel));
  if (!Counts) return;
  const bool AutoUnselect = FMultiSelectAttributes->AutoUnselect();
  TvcTreeNode* Anchor = FRangeAnchor;
  const bool AnchorIsSibling = Anchor && Anchor->Parent() == Node->Parent();
  if (!Shift.Contains(ssCtrl) && AutoUnselect) {
    const std::vector<TvcTreeNode*> Listed = FMultiSelectList;
    if (Shift.Contains(ssShift) && AnchorIsSibling) {
      for (TvcTreeNode* Other : Listed)
        if (Other != Anchor) MultiSelectNode(Other, false, true);
    } else if (IsMultiSelectLevel(Node->Level())) {
      for (TvcTreeNode* Other : Listed) MultiSelectNode(Other, false, true);
    }
  }
  if (!Shift.Contains(ssShift)) {
    if (AutoUnselect || Shift.Contains(ssCtrl)) MultiSelectNode(Node, !Node->MultiSelected(), true);
    if (!Node->Selected()) Node->SetSelected(true);
    FRangeAnchor = Node;
  } else if (AnchorIsSibling) {
    // The siblings from the anchor to the node, whichever comes first.
    const int32_t From = Anchor->Index(), To = Node->Index();
    TvcTreeNode* Walk = From <= To ? Anchor : Node;
    TvcTreeNode* Last = From <= To ? Node : Anchor;
    for (; Walk; Walk = Walk->GetNextSibling()) {
      if (Walk != Anchor || !AutoUnselect) MultiSelectNode(Walk, true, true);
      if (Walk == Last) break;
    }
    Node->SetSelected(true);
  }
}

void TvcCustomTreeView::ExpandButtonClick(int32_t X, int32_t Y) {
  TvcTreeNode* Node = GetNodeAt(X, Y);
  if (!Node || !HandleAllocated()) return;
  HWND Window = HandleIfAllocated();
  TObjectProtector Guard(this);
  FPressedButtonNode = Node;
  FButtonPushed = true;
  InvalidateNode(Node);
  Update();
  SetCapture(Window);
  const TScopeExit Done([this, Window] {
    if (GetCapture() == Window) ReleaseCapture();
    FButtonPushed = false;
    if (FPressedButtonNode) InvalidateNode(FPressedButtonNode);
    FPressedButtonNode = nullptr;
  });
  auto OnButton = [this, Node](POINT Point) {
    return GetNodeAt(Point.x, Point.y) == Node && GetHitTestInfoAt(Point.x, Point.y).Contains(vchtOnButton);
  };
  while (Guard.Alive() && GetCapture() == Window && FPressedButtonNode == Node) {
    MSG Message{};
    if (!PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
      if (GetAsyncKeyState(VK_LBUTTON) >= 0) break;
      WaitMessage();
      continue;
    }
    if (Message.message == WM_QUIT) {
      PostQuitMessage(int(Message.wParam));
      break;
    }
    const POINT Point{GET_X_LPARAM(Message.lParam), GET_Y_LPARAM(Message.lParam)};
    switch (Message.message) {
      case WM_MOUSEMOVE: {
        const bool Pushed = Message.hwnd == Window && OnButton(Point);
        if (Pushed != FButtonPushed) {
          FButtonPushed = Pushed;
          InvalidateNode(Node);
          Update();
        }
        break;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        break;
      case WM_LBUTTONUP: {
        FButtonPushed = false;
        InvalidateNode(Node);
        if (Message.hwnd == Window && OnButton(Point)) {
          if (Node->Expanded()) {
            if (FAutoExpand) Node->SetSelected(true);
            Node->Collapse(false);
          } else {
            Node->Expand(false);
          }
        }
        if (!Guard.Alive()) return;
        DispatchMessageA(&Message);
        if (GetCapture() == Window) ReleaseCapture();
        return;
      }
      default:
        TranslateMessage(&Message);
        DispatchMessageA(&Message);
        break;
    }
  }
}

void TvcCustomTreeView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWinControl::MouseUp(Button, Shift, X, Y);
  TObjectProtector Guard(this);
  TvcTreeNode* Node = GetNodeAt(X, Y);
  OnMouseUp(this, Node, Button, Shift, X, Y);
  if (!Guard.Alive() || !HandleAllocated()) return;
  Node = GetNodeAt(X, Y);
  if (FOptions.Contains(tvoAutoURL) && Button == mbLeft && Node && !Node->DataText().empty() &&
      GetHitTestInfoAt(X, Y).Contains(vchtOnItem)) {
    const std::string Link = Node->DataText();
    if (Screen) Screen->SetCursor(crHourGlass);
    ShellExecuteA(HandleIfAllocated(), "OPEN", Link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (Screen) Screen->SetCursor(crDefault);
  }
}

void TvcCustomTreeView::MouseMove(TShiftState Shift, int X, int Y) {
  TWinControl::MouseMove(Shift, X, Y);
  TObjectProtector Guard(this);
  TvcTreeNode* Node = GetNodeAt(X, Y);
  OnMouseMove(this, Node, Shift, X, Y);
  if (!Guard.Alive() || !HandleAllocated()) return;
  Node = GetNodeAt(X, Y);
  const bool OnItem = Node && GetHitTestInfoAt(X, Y).Contains(vchtOnItem);
  if (FOptions.Contains(tvoAutoURL)) SetCursor(OnItem && !Node->DataText().empty() ? crHandPoint : crDefault);
  if (FOptions.Contains(tvoToolTips)) UpdateNodeHint(OnItem ? Node : nullptr);
}

// ---- keys --------------------------------------------------------------------------------------------------

void TvcCustomTreeView::KeyDown(WORD& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  if (Key != VK_SPACE || IsEditing()) return;
  TvcTreeNode* Node = Selected();
  if (!Node) return;
  if (FMultiSelectAttributes->Enabled() && !IsMultiSelectCheckbox(Node) && IsMultiSelectLevel(Node->Level())) {
    if (Shift.Contains(ssCtrl)) Node->SetMultiSelected(!Node->MultiSelected());
    return;
  }
  if (!HasCheckbox(Node)) return;
  // The check box steps as in a click; the key is taken even when the view is read-only.
  if (!FReadOnly) {
    if (Node->IsRadioGroup()) {
      Node->SetChecked(true);
      if (!ComponentState().Contains(csDesigning)) Node->SetGrayed(false);
    } else {
      StepCheckState(Node);
    }
  }
  Key = 0;
}

// ---- the node hint -----------------------------------------------------------------------------------------

TvcTreeHintWindow* TvcCustomTreeView::CreateHintWindow(TvcTreeNode* Node) {
  auto* Hint = new TvcTreeHintWindow(nullptr);
  Hint->Font()->Assign(Font());
  Hint->Link = FOptions.Contains(tvoAutoURL) && !Node->DataText().empty();
  return Hint;
}

void TvcCustomTreeView::HideNodeHint() {
  FHintTicks = 0;
  if (FHintWindow) {
    TvcTreeHintWindow* Hint = FHintWindow;
    FHintWindow = nullptr;
    Hint->Free();
  }
  if (FHintTimer) {
    TTimer* Timer = FHintTimer;
    FHintTimer = nullptr;
    Timer->Free();
  }
}

void TvcCustomTreeView::UpdateNodeHint(TvcTreeNode* Node) {
  if (Node && Node == FEditNode) return;
  if (Node == FHintNode) return;
  HideNodeHint();
  FHintNode = nullptr;
  if (!Node || !HandleAllocated()) return;
  const RECT Text = Node->DisplayRect(true);
  FCanvas->Font()->Assign(Font());
  const std::string Caption = Node->Text();
  const SIZE Extent = FCanvas->TextExtent(Caption);
  // Only a text that does not fit shows its hint.
  if (ClientWidth() - 4 >= Text.left + Extent.cx) return;
  const POINT Origin = ClientOrigin();
  const RECT Where{Text.left + Origin.x - 1, Text.top + Origin.y - 2, Text.left + Origin.x - 1 + Extent.cx + 6,
                   Text.top + Origin.y - 2 + Extent.cy + 2};
  FHintTimer = new TTimer(nullptr);
  FHintTimer->SetInterval(250);
  FHintTimer->SetOnTimer(TNotifyEvent(this, &TvcCustomTreeView::HintTimerTick));
  FHintNode = Node;
  FHintWindow = CreateHintWindow(Node);
  FHintWindow->ActivateHint(Where, Caption);
}

void TvcCustomTreeView::HintTimerTick(TObject*) {
  POINT Cursor{};
  GetCursorPos(&Cursor);
  const POINT Inside = ScreenToClient(Cursor);
  const RECT Client = ClientRect();
  if (!PtInRect(&Client, Inside)) {
    HideNodeHint();
    FHintNode = nullptr;
    return;
  }
  // The hint goes after its 17th tick; its node keeps it from showing again until the pointer
  // moves to another node.
  if (++FHintTicks >= 17) HideNodeHint();
}
