// The outlook bar: pages with their panels, the page layout and its slide, and the background
// behind shaped page buttons and transparent panels.

#include "vcontrols/outlook/vcoutlookbar.h"

#include <algorithm>
#include <vector>

#include "platform/forms/form.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/scopeexit.h"
#include "platform/user/user.h"
#include "vcontrols/buttons/vcshapebtn.h"
#include "vcontrols/common/vcdraw.h"
#include "vcontrols/common/vchosts.h"
#include "vcontrols/common/vcwindows.h"
#include "vcontrols/imaging/vcimager.h"

KORCAM_REGISTER_CLASS(TvcAnimation)
KORCAM_REGISTER_CLASS(TvcOutlookPage)
KORCAM_REGISTER_CLASS(TvcOutlookPages)
KORCAM_REGISTER_CLASS(TvcCustomOutlookBar)
KORCAM_REGISTER_CLASS(TvcOutlookBar)

void TvcAnimation::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TvcAnimation*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  FEnabled = Other->FEnabled;
  FInterval = Other->FInterval;
  FSteps = Other->FSteps;
}

// --- TvcOutlookPage -------------------------------------------------------------------------------

TvcOutlookPage::TvcOutlookPage(TCollection* Collection) : TvcButtonGroupItem(Collection) {
  auto* Pages = dynamic_cast<TvcOutlookPages*>(Collection);
  TvcCustomOutlookBar* Bar = Pages ? Pages->OutlookBar() : nullptr;
  // Read from a form, the panels arrive as the bar's children and are given out in Loaded.
  if (!Bar || Bar->Reading()) return;
  const bool WasArranging = Pages->Arranging();
  Pages->SetArranging(true);
  TScopeExit Restore([Pages, WasArranging] { Pages->SetArranging(WasArranging); });
  try {
    CreatePanel();
    if (Bar->Options().Contains(cboAutoCreateOutlookList)) CreateOutlookList();
  } catch (...) {
    if (FOutlookList) FOutlookList->Free();
    FOutlookList = nullptr;
    if (FPanel) FPanel->Free();
    FPanel = nullptr;
    if (FButton) {
      TvcCustomBitBtn* Button = FButton;
      FButton = nullptr;
      Button->Free();
    }
    throw;
  }
}

void TvcOutlookPage::CreatePanel() {
  auto* Pages = dynamic_cast<TvcOutlookPages*>(Collection());
  TvcCustomOutlookBar* Bar = Pages ? Pages->OutlookBar() : nullptr;
  if (FPanel || !Bar) return;
  const bool WasArranging = Pages->Arranging();
  Pages->SetArranging(true);
  TScopeExit Restore([Pages, WasArranging] { Pages->SetArranging(WasArranging); });
  auto* Made = new TvcOutlookPanel(Bar);
  try {
    int Number = 1;
    while (Bar->FindComponent("OutlookPanel" + std::to_string(Number))) ++Number;
    Made->SetName("OutlookPanel" + std::to_string(Number));
    Made->SetParent(Bar);
    Made->SetVisible(false);
    Made->SendToBack();
    Made->SetTop(-Made->Height() - 10);
    Made->SetPage(this);
  } catch (...) {
    Made->Free();
    throw;
  }
  FPanel = Made;
}

TvcOutlookPage::~TvcOutlookPage() {
  auto* Pages = dynamic_cast<TvcOutlookPages*>(Collection());
  const bool WasDeleting = Pages && Pages->Deleting();
  if (Pages) Pages->SetDeleting(true);
  TScopeExit Restore([Pages, WasDeleting] {
    if (Pages) Pages->SetDeleting(WasDeleting);
  });
  // The page's own list goes with it; other controls on the panel only lose their parent, and
  // their owner frees them.
  TvcCustomOutlookList* List = FOutlookList;
  TvcOutlookPanel* Panel = FPanel;
  FOutlookList = nullptr;
  FPanel = nullptr;
  if (List) List->Free();
  if (Panel) Panel->Free();
  FreeButton();
}

TvcCustomOutlookBar* TvcOutlookPage::OutlookBar() const { return dynamic_cast<TvcCustomOutlookBar*>(ButtonGroup()); }

void TvcOutlookPage::AttachButton() {
  TvcCustomOutlookBar* Bar = OutlookBar();
  if (!FPanel || !Bar) return;
  TvcOutlookPanel* Panel = FPanel;
  TvcCustomOutlookList* List = FOutlookList;
  // Leaving the form's components notifies everyone of a removal; the panel is only moving.
  if (Panel->Owner() != Bar) Bar->InsertComponent(Panel);
  FPanel = Panel;
  FOutlookList = List;
  FPanel->SetPage(this);
  if (FOutlookList) {
    FOutlookList->SetPage(this);
    FOutlookList->FreeNotification(Bar);
  }
}

void TvcOutlookPage::CreateOutlookList() {
  TvcCustomOutlookBar* Bar = OutlookBar();
  if (FOutlookList || !Bar || !FPanel) return;
  TComponent* ListOwner = nullptr;
  for (TWinControl* Walk = Bar->Parent(); Walk && !ListOwner; Walk = Walk->Parent())
    if (dynamic_cast<TCustomForm*>(Walk) || Walk->InheritsFrom("TCustomFrame")) ListOwner = Walk;
  // Without a form or frame above it the bar has nothing to own the list: the page has none.
  if (!ListOwner) return;
  auto* List = new TvcOutlookList(ListOwner);
  try {
    List->SetName(UniqueComponentName(ListOwner, Bar->Name() + "OutlookList"));
    List->SetParent(FPanel);
    List->SetAlign(alClient);
    List->SetBorderStyle(bsNone);
    List->SetPage(this);
  } catch (...) {
    List->Free();
    throw;
  }
  FOutlookList = List;
  List->FreeNotification(Bar);
}

void TvcOutlookPage::Activate() {
  SetSelected(true);
  if (auto* Pages = dynamic_cast<TvcOutlookPages*>(Collection())) Pages->ArrangeButtons();
}

// --- TvcOutlookPages ------------------------------------------------------------------------------

TvcOutlookPages::TvcOutlookPages(TvcCustomButtonGroup* Bar) : TvcButtonGroupItems(Bar, TvcOutlookPage::StaticClass()) {}

TvcCustomOutlookBar* TvcOutlookPages::OutlookBar() const { return dynamic_cast<TvcCustomOutlookBar*>(FGroup); }

TvcCollectionItem* TvcOutlookPages::Add() {
  TvcCollectionItem* Item = TvcButtonGroupItems::Add();
  if (Count() == 1) static_cast<TvcOutlookPage*>(Item)->Activate();
  return Item;
}

void TvcOutlookPages::PlaceControl(TControl* Control, const RECT& Rect) {
  if (auto* Panel = dynamic_cast<TvcOutlookPanel*>(Control)) {
    Panel->SetBeingPlaced(true);
    TScopeExit Done([Panel] { Panel->SetBeingPlaced(false); });
    Panel->SetBoundsRect(Rect);
    return;
  }
  auto* Windowed = dynamic_cast<TWinControl*>(Control);
  if (!Windowed || !Windowed->HandleAllocated()) {
    Control->SetBoundsRect(Rect);
    return;
  }
  SetWindowPos(Windowed->HandleIfAllocated(), nullptr, Rect.left, Rect.top, Rect.right - Rect.left,
               Rect.bottom - Rect.top, SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  InvalidateRect(Windowed->HandleIfAllocated(), nullptr, FALSE);
}

bool TvcOutlookPages::ShouldAnimate() const {
  TvcCustomOutlookBar* Bar = OutlookBar();
  if (!Bar->IsHandlingPress() || Bar->Designing() || !Bar->Animation()->Enabled()) return false;
  // Aligned controls would be laid out again at every step: such panels switch at once.
  for (int Index = 0; Index < Count(); ++Index) {
    TvcOutlookPage* Page = Items(Index);
    if (Page->OutlookList() || !Page->Panel()) continue;
    for (int Child = 0; Child < Page->Panel()->ControlCount(); ++Child)
      if (Page->Panel()->Controls(Child)->Align() != alNone) return false;
  }
  return true;
}

void TvcOutlookPages::ArrangeButtons() {
  if (Arranging() || Adding()) return;
  TvcCustomOutlookBar* Bar = OutlookBar();
  if (!Bar || Bar->ComponentState().Contains(csDestroying)) return;
  SetArranging(true);
  TScopeExit Finish([this] {
    SetArranging(false);
    // Whatever an arrangement found, every list shows its scroll buttons afterwards.
    for (int Index = 0; Index < Count(); ++Index)
      if (TvcCustomOutlookList* List = Items(Index)->OutlookList()) List->SetScrollButtonsVisible(true);
  });
  const int CW = Bar->ClientWidth(), CH = Bar->ClientHeight();
  const bool Vertical = Bar->Layout() == loVertical;
  const int Size = Bar->ButtonSize();
  const int P = (Vertical ? CH : CW) - Size * VisibleCount();
  int Pos = Bar->PanelAlignment() == paTop ? P : 0;

  TvcOutlookPanel* Open = nullptr;
  int OpenIndex = -1;
  for (int Index = 0; Index < Count(); ++Index) {
    TvcOutlookPage* Page = Items(Index);
    if (TvcCustomOutlookList* List = Page->OutlookList()) List->SetScrollButtonsVisible(false);
    TvcOutlookPanel* Panel = Page->Panel();
    if (!Panel) continue;
    if (Panel->Visible()) {
      Open = Panel;
      OpenIndex = Index;
    } else {
      Panel->SetTop(-Panel->Height());
    }
  }
  auto* Selected = static_cast<TvcOutlookPage*>(Bar->Selected());
  TvcOutlookPanel* SelectedPanel = Selected ? Selected->Panel() : nullptr;

  if (!Bar->ShowButtons()) {
    if (Open) Open->SetVisible(false);
    if (SelectedPanel) {
      SelectedPanel->SetBoundsRect(Bar->ClientRect());
      SelectedPanel->SetVisible(true);
    }
    return;
  }

  std::vector<TvcAnimationEntry> Entries;
  const int Visible = VisibleCount();
  for (int K = 0; K < Visible; ++K) {
    auto* Page = static_cast<TvcOutlookPage*>(VisibleItems(K));
    if (!Page || !Page->Button()) continue;
    TvcAnimationEntry Entry;
    Entry.First.Control = Page->Button();
    Entry.First.Start = Page->Button()->BoundsRect();
    Entry.First.End = Vertical ? RECT{0, Pos, CW, Pos + Size} : RECT{Pos, 0, Pos + Size, CH};
    const RECT Now = Entry.First.Start, Target = Entry.First.End;
    TvcOutlookPanel* Panel = Page->Panel();
    if (Panel && (Page == Selected || Panel == Open)) {
      Panel->SetVisible(true);
      Entry.Second.Control = Panel;
      if (Page == Selected) {
        RECT From{}, To{};
        switch (Bar->PanelAlignment()) {
          case paDynamic:
            From = Vertical ? RECT{Now.left, Now.bottom, Now.right, Now.bottom} : RECT{Now.right, Now.top, Now.right, Now.bottom};
            To = Vertical ? RECT{Target.left, Target.bottom, Target.right, Target.bottom + P}
                          : RECT{Target.right, Target.top, Target.right + P, Target.bottom};
            Pos += P;
            break;
          case paTop:
            From = Vertical ? RECT{Now.left, 0, Now.right, 0} : RECT{0, Now.top, 0, Now.bottom};
            To = Vertical ? RECT{Target.left, 0, Target.right, P} : RECT{0, Target.top, P, Target.bottom};
            break;
          case paBottom:
            From = Vertical ? RECT{Now.left, CH - P, Now.right, CH - P} : RECT{CW - P, Now.top, CW - P, Now.bottom};
            To = Vertical ? RECT{Target.left, CH - P, Target.right, CH} : RECT{CW - P, Target.top, CW, Target.bottom};
            break;
        }
        PlaceControl(Panel, From);
        Entry.Second.Start = From;
        Entry.Second.End = To;
      } else {
        Entry.Second.Start = Panel->BoundsRect();
        Entry.Second.End = Vertical ? RECT{Target.left, Target.bottom, Target.right, Target.bottom}
                                    : RECT{Target.right, Target.top, Target.right, Target.bottom};
      }
    }
    Pos += Size;
    Entries.push_back(Entry);
  }

  // A step count below one would leave everything at its start: the switch then happens at once.
  const bool Slide = ShouldAnimate();
  const int Steps = Slide ? std::max(1, Bar->Animation()->Steps()) : 1;
  const uint32_t Interval = Slide ? uint32_t(std::max(0, Bar->Animation()->Interval())) : 0;
  {
    for (int Index = 0; Index < Count(); ++Index)
      if (TvcCustomBitBtn* Button = Items(Index)->Button()) Button->SetClicksSuppressed(true);
    TScopeExit Input([this] {
      for (int Index = 0; Index < Count(); ++Index)
        if (TvcCustomBitBtn* Button = Items(Index)->Button()) Button->SetClicksSuppressed(false);
    });
    AnimateControls(Entries, Interval, Steps, [this](TControl* Control, const RECT& Rect) { PlaceControl(Control, Rect); });
  }
  if (Open && Open != SelectedPanel) {
    Open->SetVisible(false);
    Open->SetTop(-Bar->Height());
  }
  // The background around shaped buttons that moved is the bar's to repaint.
  if (Open && Selected && Bar->HandleAllocated()) {
    const int From = std::min(OpenIndex, Selected->Index()), To = std::max(OpenIndex, Selected->Index());
    for (int Index = From + 1; Index <= To && Index < Count(); ++Index)
      if (TvcCustomBitBtn* Button = Items(Index)->Button(); Button && Bar->IsShapedPageButton(Button)) {
        const RECT Bounds = Button->BoundsRect();
        InvalidateRect(Bar->HandleIfAllocated(), &Bounds, TRUE);
      }
  }
}

// --- TvcCustomOutlookBar --------------------------------------------------------------------------

TvcCustomOutlookBar::TvcCustomOutlookBar(TComponent* AOwner)
    : TvcCustomButtonGroup(AOwner, [](TvcCustomButtonGroup* Bar) -> std::unique_ptr<TvcButtonGroupItems> {
        return std::make_unique<TvcOutlookPages>(Bar);
      }) {
  FButtonItems->SetPropName("OutlookItems");
  FOptions = TvcCustomOutlookBarOptions{cboAutoCreateOutlookList};
  FAnimation = std::make_unique<TvcAnimation>();
  FButtonSize = 20;
  FShowButtons = true;
  FImagerLink = std::make_unique<TvcChangeLink>();
  FImagerLink->OnChange = TNotifyEvent([this](TObject*) { Invalidate(); });
  SetAutoBold(false);
  SetBorderStyle(bsSingle);
  SetShowDownAsUp(false);
}

TvcCustomOutlookBar::~TvcCustomOutlookBar() {
  FreeItems();
  if (FImager) FImager->UnregisterLink(FImagerLink.get());
}

const TClassInfo& TvcCustomOutlookBar::GetCollectionClass() const { return TvcOutlookPages::StaticClass(); }

void TvcCustomOutlookBar::CalcGroupSize(TControl*, bool, SIZE& Size) { Size = SIZE{Width(), Height()}; }

TvcCustomBitBtn* TvcCustomOutlookBar::ActivePage() const {
  TvcButtonGroupItem* Page = Selected();
  return Page ? Page->Button() : nullptr;
}

void TvcCustomOutlookBar::SetActivePage(TvcCustomBitBtn* Value) {
  if (TvcButtonGroupItem* Page = FButtonItems->FindButton(Value)) SetSelected(Page);
}

void TvcCustomOutlookBar::SetButtonSize(int32_t Value) {
  if (FButtonSize == Value) return;
  FButtonSize = Value;
  FButtonItems->ArrangeButtons();
}

void TvcCustomOutlookBar::SetPanelAlignment(TvcPanelAlignment Value) {
  if (FPanelAlignment == Value) return;
  FPanelAlignment = Value;
  if (!Reading()) FButtonItems->ArrangeButtons();
}

void TvcCustomOutlookBar::SetOptions(TvcCustomOutlookBarOptions Value) { FOptions = Value; }

void TvcCustomOutlookBar::SetShowButtons(bool Value) {
  if (FShowButtons == Value) return;
  FShowButtons = Value;
  if (Reading()) return;
  for (int Index = 0; Index < FButtonItems->Count(); ++Index)
    if (TvcCustomBitBtn* Button = FButtonItems->Items(Index)->Button()) {
      Button->SetVisible(Value);
      if (Value)
        Button->BringToFront();
      else
        Button->SendToBack();
    }
  FButtonItems->SetArranging(false);
  FButtonItems->ArrangeButtons();
}

void TvcCustomOutlookBar::SetImager(TvcCustomImager* Value) {
  if (FImager == Value) return;
  if (FImager) FImager->UnregisterLink(FImagerLink.get());
  FImager = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->RegisterLink(FImagerLink.get());
    Value->SetParent(this);
    Value->SetAlign(alNone);
    Value->SetDrawStyle(dsTile);
    Value->SetBounds(0, 0, 25, 25);
    Value->SetTransparent(false);
    Value->SetVisible(false);
  }
  Invalidate();
}

bool TvcCustomOutlookBar::IsShapedPageButton(TvcCustomBitBtn* Button) const {
  if (auto* Shape = dynamic_cast<TvcCustomShapeBtn*>(Button)) return Shape->Shape() != bsRect;
  if (auto* Image = dynamic_cast<TvcCustomImageBtn*>(Button)) return Image->TransparentColor() != vcNoTransparentColor;
  return false;
}

bool TvcCustomOutlookBar::IsHandlingPress() const { return FPressDepth > 0; }

void TvcCustomOutlookBar::ButtonChanging(TObject* Sender) {
  // Putting the page of a running slide back down is no change anyone asked for.
  if (FReverting) return;
  TvcCustomButtonGroup::ButtonChanging(Sender);
}

void TvcCustomOutlookBar::ButtonPressed(TObject* Sender) {
  ++FPressDepth;
  TScopeExit Done([this] { --FPressDepth; });
  if (FButtonItems->Arranging()) {
    // A slide is under way and letting messages run: a page pressed meanwhile goes back up, and
    // the page the slide started for (selected when this press began) goes down again. The
    // buttons released on the way, and the revert itself, change nothing further.
    auto* Button = dynamic_cast<TvcCustomBitBtn*>(Sender);
    TvcButtonGroupItem* Target = FPreviousSelection;
    if (FReverting || !Button || !Button->SelectedState() || !Target || !Target->Button() || Target->Button() == Button)
      return;
    FReverting = true;
    TScopeExit Reverted([this, Target] {
      FReverting = false;
      FPreviousSelection = Target;
    });
    Target->Button()->SetDown(true);
    return;
  }
  TvcCustomButtonGroup::ButtonPressed(Sender);
}

void TvcCustomOutlookBar::SetName(const std::string& Value) {
  const std::string Old = Name();
  auto Renamed = [&](TComponent* Component) {
    if (Component && Component->Name().compare(0, Old.size(), Old) == 0)
      Component->SetName(Value + Component->Name().substr(Old.size()));
  };
  if (Old != Value)
    for (int Index = 0; Index < OutlookItems()->Count(); ++Index) {
      TvcOutlookPanel* Panel = OutlookItems()->Items(Index)->Panel();
      if (!Panel) continue;
      Renamed(Panel);
      if (FOptions.Contains(cboAutoCreateOutlookList) && Panel->ControlCount() > 0 &&
          Panel->Controls(0)->InheritsFrom("TListView"))
        Renamed(Panel->Controls(0));
    }
  TvcCustomButtonGroup::SetName(Value);
}

void TvcCustomOutlookBar::Loaded() {
  TvcOutlookPages* Pages = OutlookItems();
  for (int Index = 0; Index < ControlCount(); ++Index) {
    auto* Panel = dynamic_cast<TvcOutlookPanel*>(Controls(Index));
    if (!Panel) continue;
    for (int PageIndex = 0; PageIndex < Pages->Count(); ++PageIndex) {
      TvcOutlookPage* Page = Pages->Items(PageIndex);
      if (Page->Panel()) continue;
      Page->FPanel = Panel;
      for (int Child = 0; Child < Panel->ControlCount(); ++Child)
        if (auto* List = dynamic_cast<TvcOutlookList*>(Panel->Controls(Child))) {
          Page->FOutlookList = List;
          break;
        }
      break;
    }
  }
  TvcCustomButtonGroup::Loaded();
  // A form that streamed fewer panels than pages (one written by hand, with the pages' controls
  // put straight on the bar) still gets a panel per page: without one, a page would have no room
  // and the buttons would close up over those controls.
  for (int Index = 0; Index < Pages->Count(); ++Index) Pages->Items(Index)->CreatePanel();
  Pages->SetArranging(true);
  for (int Index = 0; Index < Pages->Count(); ++Index)
    if (TvcOutlookPanel* Panel = Pages->Items(Index)->Panel()) Panel->SetVisible(false);
  Pages->SetArranging(false);
  Pages->ArrangeButtons();
}

void TvcCustomOutlookBar::Notification(TComponent* AComponent, TOperation Operation) {
  TvcCustomButtonGroup::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  if (AComponent == FImager) {
    FImager = nullptr;
    if (!ComponentState().Contains(csDestroying)) Invalidate();
    return;
  }
  // References to a component that goes are dropped in any case: a page must never hand out a
  // freed list or panel.
  TvcOutlookPages* Pages = OutlookItems();
  if (!Pages) return;
  for (int Index = 0; Index < Pages->Count(); ++Index) {
    TvcOutlookPage* Page = Pages->Items(Index);
    if (Page->FOutlookList == AComponent) Page->FOutlookList = nullptr;
    if (Page->FPanel == AComponent) Page->FPanel = nullptr;
  }
}

void TvcCustomOutlookBar::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  TvcCustomButtonGroup::GetChildren(Proc, Root);
  // The bar owns the panels, so only it writes them into a form.
  for (int Index = 0; Index < OutlookItems()->Count(); ++Index)
    if (TvcOutlookPanel* Panel = OutlookItems()->Items(Index)->Panel()) Proc(Panel);
}

void TvcCustomOutlookBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CONTROLCHANGE: {
      TvcCustomButtonGroup::Dispatch(Message);
      auto* Image = dynamic_cast<TvcCustomImager*>(reinterpret_cast<TControl*>(Message.WParam));
      if (!Image) return;
      if (Message.LParam != 0) {
        if (Image != FImager) SetImager(Image);
      } else if (Image == FImager) {
        SetImager(nullptr);
      }
      return;
    }
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case CM_FONTCHANGED:
      TvcCustomButtonGroup::Dispatch(Message);
      Invalidate();
      Update();
      return;
    default:
      TvcCustomButtonGroup::Dispatch(Message);
  }
}

void TvcCustomOutlookBar::Paint() {
  TvcOutlookPages* Pages = OutlookItems();
  if (Pages->Count() == 0 && !FImager) {
    TvcCustomButtonGroup::Paint();
    return;
  }
  bool AnyShaped = false;
  for (int Index = 0; Index < Pages->Count() && !AnyShaped; ++Index)
    if (TvcCustomBitBtn* Button = Pages->Items(Index)->Button()) AnyShaped = IsShapedPageButton(Button);
  TCanvas* C = Canvas();
  if (FImager || AnyShaped) {
    // Everything the buttons and the panels cover is theirs to paint: the bar paints the rest.
    HRGN Covered = CreateRectRgn(0, 0, 0, 0);
    for (int Index = 0; Index < Pages->Count(); ++Index) {
      TvcOutlookPage* Page = Pages->Items(Index);
      if (TvcCustomBitBtn* Button = Page->Button(); Button && Button->Visible()) {
        HRGN Shape = Button->CreateRegion(true, Button->Down());
        if (!Shape) Shape = CreateRectRgn(0, 0, Button->Width(), Button->Height());
        OffsetRgn(Shape, Button->Left(), Button->Top());
        CombineRgn(Covered, Covered, Shape, RGN_OR);
        DeleteObject(Shape);
      }
      if (TvcOutlookPanel* Panel = Page->Panel(); Panel && Panel->Visible()) {
        if (!FImager) {
          HRGN Box = CreateRectRgn(Panel->Left(), Panel->Top(), Panel->Left() + Panel->Width(),
                                   Panel->Top() + Panel->Height());
          CombineRgn(Covered, Covered, Box, RGN_OR);
          DeleteObject(Box);
        }
        CombineChildRegions(Panel, Covered, POINT{Panel->Left(), Panel->Top()}, RGN_OR);
      }
    }
    const RECT Client = ClientRect();
    HRGN Clip = CreateRectRgnIndirect(&Client);
    CombineRgn(Clip, Clip, Covered, RGN_DIFF);
    DeleteObject(Covered);
    HDC DC = C->Handle();
    const int Saved = SaveDC(DC);
    ExtSelectClipRgn(DC, Clip, RGN_AND);
    DeleteObject(Clip);
    if (FImager) {
      TvcBitmap* Picture = FImager->WorkBitmap();
      if (Picture->Empty()) FImager->RefreshEffects();
      if (FImager->DrawStyle() == dsTile)
        TileGraphic(Picture, C, Client);
      else
        C->StretchDraw(Client, Picture);
    } else {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(Color());
      C->FillRect(Client);
    }
    RestoreDC(DC, Saved);
  } else if (Designing()) {
    TvcCustomButtonGroup::Paint();
  }
  if (Designing() || ComponentState().Contains(csDestroying)) return;
  // Transparent children of the open panel repaint over the bar's new background.
  const RECT Painted = C->ClipRect();
  for (int Index = 0; Index < Pages->Count(); ++Index) {
    TvcOutlookPanel* Panel = Pages->Items(Index)->Panel();
    if (!Panel || !Panel->Visible()) continue;
    for (int Child = 0; Child < Panel->ControlCount(); ++Child) {
      auto* Windowed = dynamic_cast<TWinControl*>(Panel->Controls(Child));
      if (!Windowed || !Windowed->HandleAllocated()) continue;
      RECT Bounds = Windowed->BoundsRect();
      OffsetRect(&Bounds, Panel->Left(), Panel->Top());
      RECT Overlap{};
      if (!IntersectRect(&Overlap, &Bounds, &Painted)) continue;
      OffsetRect(&Overlap, -Bounds.left, -Bounds.top);
      InvalidateRect(Windowed->HandleIfAllocated(), &Overlap, FALSE);
    }
    break;
  }
}
