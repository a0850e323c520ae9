// TWinControl: laying out aligned and anchored children.
//
// AlignControls walks the alignments in a fixed order -- top, bottom, left, right, client, custom
// -- and gives each aligned control a strip of the space that is left: top controls stack
// downwards from the top edge, bottom controls upwards from the bottom edge, then left and right
// controls share what remains between them, and client controls take the rest. Within one
// alignment the controls keep their current order on screen (a top control above another stays
// above), except that the control whose change asked for the layout goes first. Hidden controls
// take no space. Last, controls with anchors other than left+top follow the parent's size.

#include <algorithm>

#include "platform/forms/wincontrol.h"

namespace {

TAnchors AnchorsOfAlign(TAlign Align) {
  switch (Align) {
    case alTop:
      return {akLeft, akTop, akRight};
    case alBottom:
      return {akLeft, akRight, akBottom};
    case alLeft:
      return {akLeft, akTop, akBottom};
    case alRight:
      return {akRight, akTop, akBottom};
    case alClient:
      return {akLeft, akTop, akRight, akBottom};
    default:
      return {akLeft, akTop};
  }
}

// Whether C1 goes before C2 in the list of controls of one alignment.
bool InsertBefore(const TControl* C1, const TControl* C2, TAlign Align) {
  switch (Align) {
    case alTop:
      return C1->Top() < C2->Top();
    case alBottom:
      return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
    case alLeft:
      return C1->Left() < C2->Left();
    case alRight:
      return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
    default:
      return false;
  }
}

}  // namespace

void TWinControl::DisableAlign() {
  ++FAlignLevel;
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
  AlignControl(nullptr);
}

void TWinControl::AlignControl(TControl* AControl) {
  if (ComponentState().Contains(csDestroying)) return;
  // While a form is read the children arrive one by one; the layout waits for Loaded.
  if (FAlignLevel != 0 || ComponentState().Contains(csLoading)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  try {
    RECT Rect = ClientRect();
    AlignControls(AControl, Rect);
  } catch (...) {
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
    throw;
  }
  FControlState.Exclude(csAlignmentNeeded);
  EnableAlign();
}

void TWinControl::AdjustClientRect(RECT& Rect) {}

void TWinControl::AlignControls(TControl* AControl, RECT& Rect) {
  bool Work = false;
  for (int Index = 0; Index < ControlCount() && !Work; ++Index) {
    TControl* Child = Controls(Index);
    Work = Child->Align() != alNone || Child->Anchors() != TAnchors{akLeft, akTop};
  }
  if (!Work) return;
  AdjustClientRect(Rect);

  auto DoPosition = [&](TControl* Control, TAlign Align) {
    if (Align == alNone || Control->Anchors() != AnchorsOfAlign(Align)) {
      if (Control->FOriginalParentSize.x != 0 && Control->FOriginalParentSize.y != 0) {
        int NewLeft = Control->Left(), NewTop = Control->Top();
        int NewWidth = Control->Width(), NewHeight = Control->Height();
        RECT Client = ClientRect();
        const POINT ParentSize{Client.right, Client.bottom};
        const POINT Original = Control->FOriginalParentSize;
        const POINT Rules = Control->FAnchorRules;
        const TAnchors Anchors = Control->Anchors();
        if (Anchors.Contains(akRight)) {
          if (Anchors.Contains(akLeft))
            NewWidth = ParentSize.x - (Original.x - Rules.x);
          else
            NewLeft = ParentSize.x - (Original.x - Rules.x);
        } else if (!Anchors.Contains(akLeft)) {
          NewLeft = Rules.x * ParentSize.x / Original.x - NewWidth / 2;
        }
        if (Anchors.Contains(akBottom)) {
          if (Anchors.Contains(akTop))
            NewHeight = ParentSize.y - (Original.y - Rules.y);
          else
            NewTop = ParentSize.y - (Original.y - Rules.y);
        } else if (!Anchors.Contains(akTop)) {
          NewTop = Rules.y * ParentSize.y / Original.y - NewHeight / 2;
        }
        Control->FAnchorMove = true;
        try {
          Control->SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
        } catch (...) {
          Control->FAnchorMove = false;
          throw;
        }
        Control->FAnchorMove = false;
      }
      if (Align == alNone) return;
    }
    int NewWidth = Rect.right - Rect.left;
    if (NewWidth < 0 || Align == alLeft || Align == alRight || Align == alCustom) NewWidth = Control->Width();
    int NewHeight = Rect.bottom - Rect.top;
    if (NewHeight < 0 || Align == alTop || Align == alBottom || Align == alCustom)
      NewHeight = Control->Height();
    int NewLeft = Rect.left, NewTop = Rect.top;
    switch (Align) {
      case alTop:
        Rect.top += NewHeight;
        break;
      case alBottom:
        Rect.bottom -= NewHeight;
        NewTop = Rect.bottom;
        break;
      case alLeft:
        Rect.left += NewWidth;
        break;
      case alRight:
        Rect.right -= NewWidth;
        NewLeft = Rect.right;
        break;
      case alCustom:
        NewLeft = Control->Left();
        NewTop = Control->Top();
        break;
      default:
        break;
    }
    Control->FAnchorMove = true;
    try {
      Control->SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
    } catch (...) {
      Control->FAnchorMove = false;
      throw;
    }
    Control->FAnchorMove = false;
    // A control that did not take the size it was given (constraints) gives the rest back.
    if (Control->Width() != NewWidth || Control->Height() != NewHeight) {
      switch (Align) {
        case alTop:
          Rect.top -= NewHeight - Control->Height();
          break;
        case alBottom:
          Rect.bottom += NewHeight - Control->Height();
          break;
        case alLeft:
          Rect.left -= NewWidth - Control->Width();
          break;
        case alRight:
          Rect.right += NewWidth - Control->Width();
          break;
        case alClient:
          Rect.right += Control->Width() - NewWidth;
          Rect.bottom += Control->Height() - NewHeight;
          break;
        default:
          break;
      }
    }
  };

  std::vector<TControl*> AlignList;
  auto DoAlign = [&](TAlign Align) {
    AlignList.clear();
    auto Takes = [&](TControl* Control) {
      return Control->Align() == Align && (Align == alNone || Control->Visible());
    };
    if (AControl && AControl->Parent() == this && Takes(AControl)) AlignList.push_back(AControl);
    for (int Index = 0; Index < ControlCount(); ++Index) {
      TControl* Control = Controls(Index);
      if (Control == AControl || !Takes(Control)) continue;
      size_t Position = 0;
      while (Position < AlignList.size() && !InsertBefore(Control, AlignList[Position], Align)) ++Position;
      AlignList.insert(AlignList.begin() + long(Position), Control);
    }
    std::vector<TControl*> Snapshot = AlignList;
    for (TControl* Control : Snapshot) DoPosition(Control, Align);
  };

  DoAlign(alTop);
  DoAlign(alBottom);
  DoAlign(alLeft);
  DoAlign(alRight);
  DoAlign(alClient);
  DoAlign(alCustom);
  DoAlign(alNone);
}
