#include "platform/forms/control.h"

#include <cstring>

#include "platform/forms/actions.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/forms/wincontrol.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TSizeConstraints)
KORCAM_REGISTER_CLASS(TControl)

namespace {

// The windowless control holding the mouse capture (its parent holds the window capture).
TControl* GCaptureControl = nullptr;

TAnchors AnchorAlign(TAlign Align) {
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

}  // namespace

// ---- TSizeConstraints ------------------------------------------------------------------------

void TSizeConstraints::SetMaxHeight(int32_t Value) {
  if (FMaxHeight == Value) return;
  FMaxHeight = Value;
  if (Value > 0 && Value < FMinHeight) FMinHeight = Value;
  Change();
}

void TSizeConstraints::SetMaxWidth(int32_t Value) {
  if (FMaxWidth == Value) return;
  FMaxWidth = Value;
  if (Value > 0 && Value < FMinWidth) FMinWidth = Value;
  Change();
}

void TSizeConstraints::SetMinHeight(int32_t Value) {
  if (FMinHeight == Value) return;
  FMinHeight = Value;
  if (FMaxHeight > 0 && Value > FMaxHeight) FMaxHeight = Value;
  Change();
}

void TSizeConstraints::SetMinWidth(int32_t Value) {
  if (FMinWidth == Value) return;
  FMinWidth = Value;
  if (FMaxWidth > 0 && Value > FMaxWidth) FMaxWidth = Value;
  Change();
}

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TSizeConstraints*>(Source)) {
    FMinHeight = Other->FMinHeight;
    FMaxHeight = Other->FMaxHeight;
    FMinWidth = Other->FMinWidth;
    FMaxWidth = Other->FMaxWidth;
    Change();
    return;
  }
  TPersistent::Assign(Source);
}

void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
}

// ---- TControl --------------------------------------------------------------------------------

bool PropertyDiffersFromDefault(const TObject& Instance, const char* PropertyName) {
  const TPropertyInfo* Info = Instance.ClassType().FindProperty(PropertyName);
  if (!Info || !Info->Get) return false;
  if (!Info->HasDefault) return true;
  return Info->Get(Instance) != Info->Default;
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  WindowProc = [this](TMessage& Message) { WndProc(Message); };
  FFont = std::make_unique<TFont>();
  FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
  FConstraints = std::make_unique<TSizeConstraints>(this);
  FConstraints->OnChange = TNotifyEvent(this, &TControl::ConstraintsChanged);
}

TControl::~TControl() {
  if (!FTornDown) TearDown();
}

void TControl::BeforeDestruction() {
  TearDown();
  TComponent::BeforeDestruction();
}

void TControl::TearDown() {
  if (FTornDown) return;
  FTornDown = true;
  if (Application) Application->ControlDestroyed(this);
  if (Screen) Screen->ControlGone(this);
  if (GCaptureControl == this) {
    GCaptureControl = nullptr;
    ReleaseCapture();
  }
  if (FParent) FParent->RemoveControl(this);
}

// ---- tree ------------------------------------------------------------------------------------

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  for (const TControl* Walk = AParent; Walk; Walk = Walk->FParent)
    if (Walk == this)
      throw EInvalidOperation("A control cannot have itself or a child of its own as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const {
  return FParent;
}

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* Parent = dynamic_cast<TWinControl*>(Value)) SetParent(Parent);
}

// ---- bounds ----------------------------------------------------------------------------------

void TControl::SetLeft(int32_t Value) {
  SetBounds(Value, FTop, FWidth, FHeight);
}
void TControl::SetTop(int32_t Value) {
  SetBounds(FLeft, Value, FWidth, FHeight);
}
void TControl::SetWidth(int32_t Value) {
  SetBounds(FLeft, FTop, Value, FHeight);
}
void TControl::SetHeight(int32_t Value) {
  SetBounds(FLeft, FTop, FWidth, Value);
}

bool TControl::CheckNewSize(int& NewWidth, int& NewHeight) {
  int W = NewWidth, H = NewHeight;
  if (!CanResize(W, H)) return false;
  int MinW = FConstraints->MinWidth(), MinH = FConstraints->MinHeight();
  int MaxW = FConstraints->MaxWidth(), MaxH = FConstraints->MaxHeight();
  ConstrainedResize(MinW, MinH, MaxW, MaxH);
  if (MaxW > 0 && W > MaxW) W = MaxW;
  if (MinW > 0 && W < MinW) W = MinW;
  if (MaxH > 0 && H > MaxH) H = MaxH;
  if (MinH > 0 && H < MinH) H = MinH;
  NewWidth = W;
  NewHeight = H;
  return true;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  InvalidateControl(FVisible, false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

RECT TControl::ClientRect() const {
  return RECT{0, 0, FWidth, FHeight};
}

int32_t TControl::ClientWidth() const {
  RECT R = ClientRect();
  return R.right - R.left;
}

int32_t TControl::ClientHeight() const {
  RECT R = ClientRect();
  return R.bottom - R.top;
}

void TControl::SetClientWidth(int32_t Value) {
  SetBounds(FLeft, FTop, FWidth - ClientWidth() + Value, FHeight);
}
void TControl::SetClientHeight(int32_t Value) {
  SetBounds(FLeft, FTop, FWidth, FHeight - ClientHeight() + Value);
}

POINT TControl::ClientOrigin() const {
  if (!FParent) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  POINT P = FParent->ClientOrigin();
  P.x += FLeft;
  P.y += FTop;
  return P;
}

POINT TControl::ClientToScreen(POINT Point) const {
  POINT Origin = ClientOrigin();
  return POINT{Point.x + Origin.x, Point.y + Origin.y};
}

POINT TControl::ScreenToClient(POINT Point) const {
  POINT Origin = ClientOrigin();
  return POINT{Point.x - Origin.x, Point.y - Origin.y};
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  FAnchors = AnchorAlign(Value);
  RequestAlign();
}

void TControl::SetAnchors(const TAnchors& Value) {
  if (FAnchors == Value) return;
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::UpdateAnchorRules() {
  if (ComponentState().Contains(csLoading)) return;
  if (FAnchorMove) return;
  if (FAnchors == TAnchors{akLeft, akTop} || !FParent) {
    FOriginalParentSize = POINT{0, 0};
    return;
  }
  if (FAnchors.Contains(akRight))
    FAnchorRules.x = FAnchors.Contains(akLeft) ? FWidth : FLeft;
  else
    FAnchorRules.x = FLeft + FWidth / 2;
  if (FAnchors.Contains(akBottom))
    FAnchorRules.y = FAnchors.Contains(akTop) ? FHeight : FTop;
  else
    FAnchorRules.y = FTop + FHeight / 2;
  RECT Client = FParent->ClientRect();
  FOriginalParentSize = POINT{Client.right, Client.bottom};
}

void TControl::AdjustSize() {
  // Controls that size themselves to their content override CanAutoSize-like logic in their own
  // SetBounds; the base has nothing to measure.
}

void TControl::ConstraintsChanged(TObject*) {
  SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

void TControl::SetConstraints(TSizeConstraints* Value) {
  FConstraints->Assign(Value);
}

// ---- visibility and appearance -----------------------------------------------------------------

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, WPARAM(Value), 0);
  RequestAlign();
}

void TControl::Show() {
  if (FParent) FParent->Show();
  SetVisible(true);
}

void TControl::Hide() {
  SetVisible(false);
}

bool TControl::IsVisibleOnScreen() const {
  for (const TControl* Walk = this; Walk; Walk = Walk->FParent)
    if (!Walk->FVisible) return false;
  return true;
}

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (FParent && !ComponentState().Contains(csLoading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetFont(TFont* Value) {
  FFont->Assign(Value);
}

void TControl::FontChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (FParent && !ComponentState().Contains(csLoading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (FParentShowHint == Value) return;
  FParentShowHint = Value;
  if (FParent && !ComponentState().Contains(csLoading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (FBiDiMode == Value) return;
  FBiDiMode = Value;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool Value) {
  if (FParentBiDiMode == Value) return;
  FParentBiDiMode = Value;
  if (FParent && !ComponentState().Contains(csLoading)) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

void TControl::SetHint(const std::string& Value) {
  FHint = Value;
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

std::string TControl::GetText() const {
  auto* Self = const_cast<TControl*>(this);
  LRESULT Length = Self->Perform(WM_GETTEXTLENGTH, 0, 0);
  if (Length <= 0) return std::string();
  std::string Buffer(size_t(Length) + 1, '\0');
  LRESULT Copied = Self->Perform(WM_GETTEXT, WPARAM(Buffer.size()), LPARAM(Buffer.data()));
  Buffer.resize(size_t(std::max<LRESULT>(0, std::min<LRESULT>(Copied, Length))));
  return Buffer;
}

void TControl::SetText(const std::string& Value) {
  if (GetText() == Value) return;
  Perform(WM_SETTEXT, 0, LPARAM(Value.c_str()));
  Perform(CM_TEXTCHANGED, 0, 0);
}

bool TControl::MouseCapture() const {
  return GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

std::string TControl::GetShortHint(const std::string& Hint) {
  size_t Bar = Hint.find('|');
  return Bar == std::string::npos ? Hint : Hint.substr(0, Bar);
}

std::string TControl::GetLongHint(const std::string& Hint) {
  size_t Bar = Hint.find('|');
  return Bar == std::string::npos ? Hint : Hint.substr(Bar + 1);
}

// ---- painting --------------------------------------------------------------------------------

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  RECT R = BoundsRect();
  InvalidateRect(FParent->HandleIfAllocated(), &R, !(IsOpaque || FParent->ControlStyle().Contains(csOpaque)));
}

void TControl::Invalidate() {
  InvalidateControl(FVisible, FControlStyle.Contains(csOpaque));
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  if (FControlStyle.Contains(csOpaque)) {
    HDC DC = GetDC(FParent->HandleIfAllocated());
    IntersectClipRect(DC, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
    FParent->PaintControls(DC, this);
    ReleaseDC(FParent->HandleIfAllocated(), DC);
  } else {
    Invalidate();
    Update();
  }
}

void TControl::BringToFront() {
  if (!FParent) return;
  auto& List = FParent->FControls;
  auto Where = std::find(List.begin(), List.end(), this);
  if (Where == List.end()) return;
  List.erase(Where);
  List.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (!FParent) return;
  auto& List = FParent->FControls;
  auto Where = std::find(List.begin(), List.end(), this);
  if (Where == List.end()) return;
  List.erase(Where);
  List.insert(List.begin(), this);
  Invalidate();
}

// ---- messages --------------------------------------------------------------------------------

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage Message{Msg, WParam, LParam, 0};
  TObjectProtector Guard(this);
  if (WindowProc)
    WindowProc(Message);
  else
    WndProc(Message);
  return Message.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!FControlStyle.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
          Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
          break;
        default:
          break;
      }
    }
    switch (Message.Msg) {
      case WM_MOUSEMOVE:
        if (Application) Application->HintMouseMessage(this, Message);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        FControlState.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP:
        FControlState.Exclude(csLButtonDown);
        break;
      default:
        break;
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      WMLButtonDown(Message);
      return;
    case WM_RBUTTONDOWN:
      WMRButtonDown(Message);
      return;
    case WM_MBUTTONDOWN:
      WMMButtonDown(Message);
      return;
    case WM_LBUTTONDBLCLK:
      WMLButtonDblClk(Message);
      return;
    case WM_RBUTTONDBLCLK:
      WMRButtonDblClk(Message);
      return;
    case WM_LBUTTONUP:
      WMLButtonUp(Message);
      return;
    case WM_RBUTTONUP:
      WMRButtonUp(Message);
      return;
    case WM_MBUTTONUP:
      WMMButtonUp(Message);
      return;
    case WM_MOUSEMOVE:
      WMMouseMove(Message);
      return;
    case WM_MOUSEWHEEL:
      WMMouseWheel(Message);
      return;
    case WM_CANCELMODE:
      WMCancelMode(Message);
      return;
    case WM_WINDOWPOSCHANGED:
      WMWindowPosChanged(Message);
      return;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(Message);
      return;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(Message);
      return;
    case CM_FONTCHANGED:
      CMFontChanged(Message);
      return;
    case CM_COLORCHANGED:
      CMColorChanged(Message);
      return;
    case CM_PARENTCOLORCHANGED:
      CMParentColorChanged(Message);
      return;
    case CM_PARENTFONTCHANGED:
      CMParentFontChanged(Message);
      return;
    case CM_PARENTSHOWHINTCHANGED:
      CMParentShowHintChanged(Message);
      return;
    case CM_PARENTBIDIMODECHANGED:
      CMParentBiDiModeChanged(Message);
      return;
    case CM_MOUSEENTER:
      CMMouseEnter(Message);
      return;
    case CM_MOUSELEAVE:
      CMMouseLeave(Message);
      return;
    case CM_HITTEST:
      CMHitTest(Message);
      return;
    default:
      DefaultHandler(Message);
      return;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      char* Buffer = reinterpret_cast<char*>(Message.LParam);
      if (!Buffer || Message.WParam == 0) {
        Message.Result = 0;
        return;
      }
      size_t Count = std::min(FText.size(), size_t(Message.WParam - 1));
      std::memcpy(Buffer, FText.data(), Count);
      Buffer[Count] = 0;
      Message.Result = LRESULT(Count);
      return;
    }
    case WM_GETTEXTLENGTH:
      Message.Result = LRESULT(FText.size());
      return;
    case WM_SETTEXT: {
      const char* Text = reinterpret_cast<const char*>(Message.LParam);
      FText = Text ? Text : "";
      Message.Result = TRUE;
      return;
    }
    default:
      return;
  }
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FParent) {
    if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (FParentShowHint) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (FParentBiDiMode) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
  }
  UpdateAnchorRules();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
}

void TControl::Click() {
  if (OnClick) {
    OnClick(this);
  } else if (FActionLink) {
    FActionLink->Execute(this);
  }
}

// ---- action ----------------------------------------------------------------------------------

TBasicAction* TControl::Action() const {
  return FActionLink ? FActionLink->Action() : nullptr;
}

void TControl::SetAction(TBasicAction* Value) {
  if (Value == Action()) return;
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = CreateActionLink();
  FActionLink->SetAction(Value);
  ActionChange(Value, ComponentState().Contains(csLoading));
}

void TControl::ActionLinkBroken() {
  FActionLink.reset();
}

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() {
  return std::make_unique<TControlActionLink>(this);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* Source = dynamic_cast<TCustomAction*>(Sender);
  if (!Source) return;
  if (!CheckDefaults || Caption().empty()) SetCaption(Source->Caption());
  if (!CheckDefaults || Enabled()) SetEnabled(Source->Enabled());
  if (!CheckDefaults || Hint().empty()) SetHint(Source->Hint());
  if (!CheckDefaults || Visible()) SetVisible(Source->Visible());
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Changed() {
  if (FParent) FParent->Perform(CM_CHANGED, 0, LPARAM(this));
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) {
  bool Handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, Handled);
  if (Handled) return true;
  // Turns come in WHEEL_DELTA units; finer wheels add up until a whole unit is reached.
  FWheelAccumulator += WheelDelta;
  bool Result = false;
  while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
    bool Down = FWheelAccumulator < 0;
    FWheelAccumulator = Down ? FWheelAccumulator + WHEEL_DELTA : FWheelAccumulator - WHEEL_DELTA;
    Result = Down ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  }
  return Result;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, POINT MousePos) {
  bool Handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, Handled);
  return Handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, POINT MousePos) {
  bool Handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, Handled);
  return Handled;
}

void TControl::SendCancelMode(TControl* Sender) {
  for (TControl* Walk = this; Walk; Walk = Walk->FParent)
    if (auto* Form = dynamic_cast<TCustomForm*>(Walk)) Form->SendCancelMode(Sender);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseDown(Button, KeysToShiftState(Message.Keys()) + Shift, Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseUp(Button, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMLButtonDown(TMessage& Message) {
  SendCancelMode(this);
  DefaultHandler(Message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
  DoMouseDown(Message, mbLeft, {});
}

void TControl::WMRButtonDown(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, {});
}

void TControl::WMMButtonDown(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbMiddle, {});
}

void TControl::WMLButtonDblClk(TMessage& Message) {
  SendCancelMode(this);
  DefaultHandler(Message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) DblClick();
  DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMRButtonDblClk(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    RECT Client = ClientRect();
    // A click counts only when the button goes up over the control.
    if (PtInRect(&Client, Message.Pos())) Click();
  }
  DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseUp(Message, mbRight);
}

void TControl::WMMButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseUp(Message, mbMiddle);
}

void TControl::WMMouseMove(TMessage& Message) {
  DefaultHandler(Message);
  if (!FControlStyle.Contains(csNoStdEvents))
    MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMMouseWheel(TMessage& Message) {
  TShiftState Shift = KeysToShiftState(LOWORD(Message.WParam));
  int Delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
  Message.Result = 0;
  if (DoMouseWheel(Shift, Delta, Message.Pos()))
    Message.Result = 1;
  else if (FParent)
    // Unhandled turns go to the parent, as the window system passes them on.
    Message.Result = FParent->Perform(WM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

void TControl::WMCancelMode(TMessage& Message) {
  DefaultHandler(Message);
  if (MouseCapture()) {
    SetMouseCapture(false);
    if (FControlState.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, PointToLParam(POINT{-1, -1}));
  } else {
    FControlState.Exclude(csLButtonDown);
  }
}

void TControl::WMWindowPosChanged(TMessage& Message) {
  DefaultHandler(Message);
}

void TControl::CMVisibleChanged(TMessage&) {
  InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::CMEnabledChanged(TMessage&) {
  Invalidate();
}

void TControl::CMFontChanged(TMessage&) {
  Invalidate();
}

void TControl::CMColorChanged(TMessage&) {
  Invalidate();
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!FParentColor) return;
  if (Message.WParam != 0)
    SetColor(TColor(Message.LParam));
  else if (FParent)
    SetColor(FParent->Color());
  FParentColor = true;
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!FParentFont) return;
  if (Message.WParam != 0)
    SetFont(reinterpret_cast<TFont*>(Message.LParam));
  else if (FParent)
    SetFont(FParent->Font());
  FParentFont = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!FParentShowHint || !FParent) return;
  SetShowHint(FParent->ShowHint());
  FParentShowHint = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!FParentBiDiMode || !FParent) return;
  SetBiDiMode(FParent->BiDiMode());
  FParentBiDiMode = true;
}

void TControl::CMMouseEnter(TMessage& Message) {
  if (Message.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& Message) {
  if (Message.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMHitTest(TMessage& Message) {
  Message.Result = HTCLIENT;
}

// ---- free functions --------------------------------------------------------------------------

TCustomForm* GetParentForm(const TControl* Control) {
  if (!Control) return nullptr;
  const TControl* Top = Control;
  while (Top->Parent()) Top = Top->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(Top));
}

TCustomForm* ValidParentForm(const TControl* Control) {
  TCustomForm* Form = GetParentForm(Control);
  if (!Form)
    throw EInvalidOperation("Control '" + (Control ? Control->Name() : std::string()) +
                            "' has no parent window");
  return Form;
}

TControl* GetCaptureControl() {
  TWinControl* Holder = TWinControl::FindControl(GetCapture());
  if (Holder && GCaptureControl && GCaptureControl->Parent() == Holder) return GCaptureControl;
  return Holder;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  GCaptureControl = nullptr;
  if (!Control) return;
  auto* Windowed = dynamic_cast<TWinControl*>(Control);
  if (!Windowed) {
    if (!Control->Parent()) return;
    GCaptureControl = Control;
    Windowed = Control->Parent();
  }
  SetCapture(Windowed->Handle());
}

// ---- shift states and cursors ----------------------------------------------------------------

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState Result;
  if (GetKeyState(VK_SHIFT) < 0) Result.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) Result.Include(ssCtrl);
  if (KeyData & KF_ALTDOWN_BIT) Result.Include(ssAlt);
  return Result;
}

TShiftState KeysToShiftState(WORD Keys) {
  TShiftState Result;
  if (Keys & MK_SHIFT) Result.Include(ssShift);
  if (Keys & MK_CONTROL) Result.Include(ssCtrl);
  if (Keys & MK_LBUTTON) Result.Include(ssLeft);
  if (Keys & MK_RBUTTON) Result.Include(ssRight);
  if (Keys & MK_MBUTTON) Result.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) Result.Include(ssAlt);
  return Result;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState Result;
  if (GetKeyState(VK_SHIFT) < 0) Result.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) Result.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) Result.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) Result.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) Result.Include(ssRight);
  if (GetKeyState(VK_MBUTTON) < 0) Result.Include(ssMiddle);
  return Result;
}

namespace {

struct TCursorEntry {
  TCursor Value;
  const char* Ident;
  LPCSTR Stock;
};

const TCursorEntry* CursorTable(size_t& Count) {
  static const TCursorEntry Table[] = {
      {crDefault, "crDefault", IDC_ARROW},
      {crNone, "crNone", nullptr},
      {crArrow, "crArrow", IDC_ARROW},
      {crCross, "crCross", IDC_CROSS},
      {crIBeam, "crIBeam", IDC_IBEAM},
      {crSizeNESW, "crSizeNESW", IDC_SIZENESW},
      {crSizeNS, "crSizeNS", IDC_SIZENS},
      {crSizeNWSE, "crSizeNWSE", IDC_SIZENWSE},
      {crSizeWE, "crSizeWE", IDC_SIZEWE},
      {crUpArrow, "crUpArrow", IDC_UPARROW},
      {crHourGlass, "crHourGlass", IDC_WAIT},
      {crDrag, "crDrag", IDC_ARROW},
      {crNoDrop, "crNoDrop", IDC_NO},
      {crHSplit, "crHSplit", IDC_SIZEWE},
      {crVSplit, "crVSplit", IDC_SIZENS},
      {crMultiDrag, "crMultiDrag", IDC_ARROW},
      {crSQLWait, "crSQLWait", IDC_WAIT},
      {crNo, "crNo", IDC_NO},
      {crAppStart, "crAppStart", IDC_APPSTARTING},
      {crHelp, "crHelp", IDC_HELP},
      {crHandPoint, "crHandPoint", IDC_HAND},
      {crSizeAll, "crSizeAll", IDC_SIZEALL},
  };
  Count = std::size(Table);
  return Table;
}

bool RegisterCursorIdents() {
  RegisterIntegerConsts(
      "TCursor",
      [](const std::string& Ident, int64_t& Value) {
        int32_t Cursor = 0;
        if (!IdentToCursor(Ident, Cursor)) return false;
        Value = Cursor;
        return true;
      },
      [](int64_t Value, std::string& Ident) { return CursorToIdent(int32_t(Value), Ident); });
  return true;
}

const bool CursorIdentsRegistered = RegisterCursorIdents();

}  // namespace

HCURSOR CursorHandle(TCursor Cursor) {
  size_t Count = 0;
  const TCursorEntry* Table = CursorTable(Count);
  for (size_t Index = 0; Index < Count; ++Index)
    if (Table[Index].Value == Cursor)
      return Table[Index].Stock ? LoadCursorA(nullptr, Table[Index].Stock) : nullptr;
  return LoadCursorA(nullptr, IDC_ARROW);
}

bool CursorToIdent(int32_t Cursor, std::string& Ident) {
  size_t Count = 0;
  const TCursorEntry* Table = CursorTable(Count);
  for (size_t Index = 0; Index < Count; ++Index)
    if (Table[Index].Value == Cursor) {
      Ident = Table[Index].Ident;
      return true;
    }
  return false;
}

bool IdentToCursor(const std::string& Ident, int32_t& Cursor) {
  size_t Count = 0;
  const TCursorEntry* Table = CursorTable(Count);
  for (size_t Index = 0; Index < Count; ++Index)
    if (SameText(Ident, Table[Index].Ident)) {
      Cursor = Table[Index].Value;
      return true;
    }
  return false;
}
