// The status bar: its parts on the common controls' status-bar window, the panel widths, the
// panel timers, the keyboard hook of the key-state panels, and the mouse handed to the panels.

#include "vcontrols/statusbar/vcstatusbar.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/forms/application.h"
#include "platform/forms/commctrl.h"
#include "platform/forms/form.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TvcStatusBarText)
KORCAM_REGISTER_CLASS(TvcStatusPanels)
KORCAM_REGISTER_CLASS(TvcCustomStatusBar)
KORCAM_REGISTER_CLASS(TvcStatusBar)

namespace {

// The panel timers of the bar's window.
constexpr UINT_PTR DateTimeTimer = 200;
constexpr UINT_PTR HintTimer = 300;
constexpr UINT_PTR CaretTimer = 400;
// The common control shows no more parts than this.
constexpr int MaxParts = 128;

// Which timer a style needs (0: none), and how often it ticks.
UINT_PTR TimerOfStyle(TvcStatusPanelStyle Style) {
  switch (Style) {
    case psDateTime:
    case psDate:
    case psTime:
      return DateTimeTimer;
    case psHint:
    case psHintContainerOnly:
      return HintTimer;
    case psRichEditStatus:
      return CaretTimer;
    default:
      return 0;
  }
}

UINT IntervalOfTimer(UINT_PTR Timer) { return Timer == DateTimeTimer ? 1000 : 100; }

// Every living status bar of the user-interface thread, and the keyboard hook that repaints their
// key-state panels. The hook is installed with the first bar and removed with the last.
struct TStatusBars {
  std::vector<TvcCustomStatusBar*> Bars;
  HHOOK Hook = nullptr;
};

TStatusBars& StatusBars() {
  static TStatusBars Instance;
  return Instance;
}

bool IsLiving(TvcCustomStatusBar* Bar) {
  const auto& Bars = StatusBars().Bars;
  return std::find(Bars.begin(), Bars.end(), Bar) != Bars.end();
}

// Sees every key event of the thread, presses and releases alike: the toggle of a lock key is
// known once its press went through, so its release repaints the panels in their new state.
LRESULT StatusBarKeyboardHook(int Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT Result = CallNextHookEx(StatusBars().Hook, Code, WParam, LParam);
  if (Code < 0) return Result;
  TvcStatusPanelStyle Style;
  switch (WParam) {
    case VK_CAPITAL: Style = psCapsLock; break;
    case VK_INSERT: Style = psOverWrite; break;
    case VK_NUMLOCK: Style = psNumLock; break;
    case VK_SCROLL: Style = psScrollLock; break;
    default: return Result;
  }
  // A repaint may run handlers that free a bar: each is looked up again before it repaints.
  const std::vector<TvcCustomStatusBar*> Bars = StatusBars().Bars;
  for (TvcCustomStatusBar* Bar : Bars)
    if (IsLiving(Bar)) Bar->Panels()->RedrawStyle(Style);
  return Result;
}

void JoinBars(TvcCustomStatusBar* Bar) {
  TStatusBars& List = StatusBars();
  List.Bars.push_back(Bar);
  if (!List.Hook) List.Hook = SetWindowsHookExA(WH_KEYBOARD, StatusBarKeyboardHook, nullptr, GetCurrentThreadId());
}

void LeaveBars(TvcCustomStatusBar* Bar) {
  TStatusBars& List = StatusBars();
  List.Bars.erase(std::remove(List.Bars.begin(), List.Bars.end(), Bar), List.Bars.end());
  if (List.Bars.empty() && List.Hook) {
    UnhookWindowsHookEx(List.Hook);
    List.Hook = nullptr;
  }
}

int ClampToInt(int64_t Value) { return int(std::clamp<int64_t>(Value, INT_MIN, INT_MAX)); }

}  // namespace

// --- TvcStatusBarText -----------------------------------------------------------------------------

void TvcStatusBarText::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TvcStatusBarText*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  SetCapsLock(Other->FCapsLock);
  SetNumLock(Other->FNumLock);
  SetOverwrite(Other->FOverwrite);
  SetScrollLock(Other->FScrollLock);
}

void TvcStatusBarText::Changed() {
  if (FBar) FBar->Invalidate();
}

void TvcStatusBarText::SetCapsLock(const std::string& Value) {
  if (FCapsLock == Value) return;
  FCapsLock = Value;
  Changed();
}

void TvcStatusBarText::SetNumLock(const std::string& Value) {
  if (FNumLock == Value) return;
  FNumLock = Value;
  Changed();
}

void TvcStatusBarText::SetOverwrite(const std::string& Value) {
  if (FOverwrite == Value) return;
  FOverwrite = Value;
  Changed();
}

void TvcStatusBarText::SetScrollLock(const std::string& Value) {
  if (FScrollLock == Value) return;
  FScrollLock = Value;
  Changed();
}

// --- TvcStatusPanels ------------------------------------------------------------------------------

TvcStatusPanels::TvcStatusPanels(TvcCustomStatusBar* Bar, const TClassInfo& ItemClass)
    : TvcCollection(ItemClass), FBar(Bar) {}

TPersistent* TvcStatusPanels::GetOwner() const { return FBar; }

TvcStatusPanel* TvcStatusPanels::PanelByName(const std::string& Name) const {
  TvcStatusPanel* Found = nullptr;
  for (int Index = 0; Index < Count(); ++Index)
    if (Items(Index)->Name() == Name) Found = Items(Index);
  return Found;
}

void TvcStatusPanels::RedrawStyle(TvcStatusPanelStyle Style) {
  for (int Index = 0; Index < Count(); ++Index)
    if (Items(Index)->Style() == Style) Items(Index)->Redraw();
}

void TvcStatusPanels::Update(TCollectionItem* Item) {
  if (!FBar) return;
  if (Item)
    FBar->UpdatePart(Item->Index(), true);
  else
    FBar->UpdateParts();
}

// --- TvcCustomStatusBar ---------------------------------------------------------------------------

TvcCustomStatusBar::TvcCustomStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks};
  FStatusBarText = std::make_unique<TvcStatusBarText>(this);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetHeight(20);
  SetAlign(alBottom);
  FPanels = std::make_unique<TvcStatusPanels>(this, TvcStatusPanel::StaticClass());
  FPanels->SetPropName("Panels");
  FCanvas = std::make_unique<TCanvas>();
  FSizeGrip = true;
  JoinBars(this);
}

TvcCustomStatusBar::~TvcCustomStatusBar() {
  LeaveBars(this);
  FPanels.reset();
  FCanvas.reset();
  FStatusBarText.reset();
}

const TClassInfo& TvcCustomStatusBar::GetPanelsClass() const { return TvcStatusPanels::StaticClass(); }

TPropertyInfo TvcStatusBar::MakePanelsProperty() {
  auto Info = korcam_detail::MakeProperty("Panels", "TvcStatusPanels*", &TvcCustomStatusBar::Panels,
                                          &TvcCustomStatusBar::SetPanels);
  Info.Owned = true;
  return Info;
}

TPropertyInfo TvcStatusBar::MakeSizeGripProperty() {
  // The wish is stored, not what the bar's place allows.
  auto Info = korcam_detail::MakeProperty("SizeGrip", "bool", &TvcCustomStatusBar::SizeGripWish,
                                          &TvcCustomStatusBar::SetSizeGrip);
  korcam_detail::SetDefault<bool>(Info, true);
  return Info;
}

TPropertyInfo TvcStatusBar::MakeStatusBarTextProperty() {
  auto Info = korcam_detail::MakeProperty("StatusBarText", "TvcStatusBarText*", &TvcCustomStatusBar::StatusBarText,
                                          &TvcCustomStatusBar::SetStatusBarText);
  Info.Owned = true;
  return Info;
}

// --- settings ---

void TvcCustomStatusBar::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  Invalidate();
}

void TvcCustomStatusBar::SetSimplePanel(bool Value) {
  if (FSimplePanel == Value) return;
  FSimplePanel = Value;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), SB_SIMPLE, Value ? 1 : 0, 0);
}

void TvcCustomStatusBar::SetSimpleText(const std::string& Value) {
  if (FSimpleText == Value) return;
  FSimpleText = Value;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), SB_SETTEXT, SB_SIMPLEID, LPARAM(FSimpleText.c_str()));
}

bool TvcCustomStatusBar::SizeGrip() const {
  auto* Form = dynamic_cast<TCustomForm*>(Parent());
  return FSizeGrip && Form && (Form->BorderStyle() == bsSizeable || Form->BorderStyle() == bsSizeToolWin);
}

void TvcCustomStatusBar::SetSizeGrip(bool Value) {
  if (FSizeGrip == Value) return;
  FSizeGrip = Value;
  RecreateWnd();
}

void TvcCustomStatusBar::ReleaseComponent(TComponent* Component, const TvcStatusPanel* Keeper) {
  if (!Component) return;
  const std::vector<TvcCustomStatusBar*> Bars = StatusBars().Bars;
  for (TvcCustomStatusBar* Bar : Bars) {
    if (!IsLiving(Bar)) continue;
    for (int Index = 0; Index < Bar->FPanels->Count(); ++Index) {
      TvcStatusPanel* Panel = Bar->FPanels->Items(Index);
      if (Panel != Keeper && Panel->Component() == Component) {
        // Only the reference goes: the control now belongs to the keeper, not to a form.
        Panel->FComponent = nullptr;
        Panel->FStyle = psTextOnly;
        Panel->MarkChanged();
      }
    }
  }
}

// --- the window ---

void TvcCustomStatusBar::CreateParams(TCreateParams& Params) {
  const INITCOMMONCONTROLSEX Init{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  if (!InitCommonControlsEx(&Init)) InitCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, STATUSCLASSNAME);
  Params.Style |= SizeGrip() ? SBARS_SIZEGRIP : CCS_TOP;
  Params.WindowClass.style &= ~UINT(CS_HREDRAW);
}

void TvcCustomStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateParts();
  if (!FSimpleText.empty()) SendMessageA(HandleIfAllocated(), SB_SETTEXT, SB_SIMPLEID, LPARAM(FSimpleText.c_str()));
  if (FSimplePanel) SendMessageA(HandleIfAllocated(), SB_SIMPLE, 1, 0);
  if (!ComponentState().Contains(csDesigning)) StartTimers();
}

void TvcCustomStatusBar::DestroyWnd() {
  if (HWND Window = HandleIfAllocated()) {
    SendMessageA(Window, SB_SETTEXT, 0, LPARAM(""));
    KillTimer(Window, DateTimeTimer);
    KillTimer(Window, HintTimer);
    KillTimer(Window, CaretTimer);
  }
  TWinControl::DestroyWnd();
}

void TvcCustomStatusBar::StartTimers() {
  for (int Index = 0; Index < FPanels->Count(); ++Index) StartTimerFor(FPanels->Items(Index)->Style());
}

void TvcCustomStatusBar::StartTimerFor(TvcStatusPanelStyle Style) {
  const UINT_PTR Timer = TimerOfStyle(Style);
  // Setting a running timer again only restarts its count.
  if (Timer && HandleAllocated()) SetTimer(HandleIfAllocated(), Timer, IntervalOfTimer(Timer), nullptr);
}

void TvcCustomStatusBar::StopTimerUnlessNeeded(TvcStatusPanelStyle Style, const TvcStatusPanel* Except) {
  const UINT_PTR Timer = TimerOfStyle(Style);
  if (!Timer || !HandleAllocated()) return;
  for (int Index = 0; Index < FPanels->Count(); ++Index) {
    const TvcStatusPanel* Panel = FPanels->Items(Index);
    if (Panel != Except && TimerOfStyle(Panel->Style()) == Timer) return;
  }
  KillTimer(HandleIfAllocated(), Timer);
}

void TvcCustomStatusBar::UpdateParts() {
  if (!HandleAllocated()) return;
  HWND Window = HandleIfAllocated();
  const int Count = std::min(FPanels->Count(), MaxParts);
  if (Count == 0) {
    const int Whole = -1;
    SendMessageA(Window, SB_SETPARTS, 1, LPARAM(&Whole));
    SendMessageA(Window, SB_SETTEXT, 0, LPARAM(""));
    return;
  }
  std::vector<int> Edges(size_t(Count), -1);
  int64_t Right = 0;
  for (int Index = 0; Index + 1 < Count; ++Index) {
    Right += FPanels->Items(Index)->PixelWidth();
    Edges[size_t(Index)] = ClampToInt(Right);
  }
  SendMessageA(Window, SB_SETPARTS, WPARAM(Count), LPARAM(Edges.data()));
  for (int Index = 0; Index < Count; ++Index) UpdatePart(Index, false);
}

void TvcCustomStatusBar::UpdatePart(int Index, bool Invalidate) {
  if (!HandleAllocated() || Index < 0 || Index >= std::min(FPanels->Count(), MaxParts)) return;
  TvcStatusPanel* Panel = FPanels->Items(Index);
  WPARAM Flags = WPARAM(Index) | SBT_OWNERDRAW;
  if (Panel->Bevel() == pbNone) Flags |= SBT_NOBORDERS;
  if (Panel->Bevel() == pbRaised) Flags |= SBT_POPOUT;
  // The part is drawn by the bar: its value only has to tell one panel from another.
  SendMessageA(HandleIfAllocated(), SB_SETTEXT, Flags, LPARAM(Panel));
  if (!Invalidate) return;
  const RECT Rect = Panel->GetRect();
  InvalidateRect(HandleIfAllocated(), &Rect, TRUE);
}

RECT TvcCustomStatusBar::DrawingRect(const TvcStatusPanel* Panel, RECT Rect) const {
  // The size grip lies over the end of the last panel.
  if (SizeGrip() && Panel && Panel->Index() == FPanels->Count() - 1)
    Rect.right -= std::min(23, GetSystemMetrics(SM_CXVSCROLL) + 1);
  return Rect;
}

void TvcCustomStatusBar::Invalidate() {
  if (ComponentState().Contains(csReading)) return;
  TWinControl::Invalidate();
}

void TvcCustomStatusBar::Loaded() {
  TWinControl::Loaded();
  Resize();
}

void TvcCustomStatusBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (AComponent != this && FPanels)
    for (int Index = 0; Index < FPanels->Count(); ++Index) FPanels->Items(Index)->Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    Invalidate();
  }
}

// --- widths ---

void TvcCustomStatusBar::Resize() {
  TWinControl::Resize();
  const int BarWidth = Width();
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading) || BarWidth == 0 || !FPanels)
    return;
  // Fixed panels first, each at most what is left; the percentage panels then share what the
  // fixed ones left, each its share of that same remainder.
  int64_t Used = 0;
  bool AnyPercent = false;
  for (int Index = 0; Index < FPanels->Count(); ++Index) {
    TvcStatusPanel* Panel = FPanels->Items(Index);
    const int64_t Fixed = StrToIntDef(Panel->Width(), -1);
    Panel->FPixelWidth = ClampToInt(std::min<int64_t>(BarWidth - Used, Fixed));
    if (Panel->FPixelWidth != -1) Used += Panel->FPixelWidth;
    AnyPercent = AnyPercent || Panel->Width().find('%') != std::string::npos;
  }
  const int64_t Rest = BarWidth - Used;
  for (int Index = 0; Index < FPanels->Count(); ++Index) {
    TvcStatusPanel* Panel = FPanels->Items(Index);
    if (Panel->FPixelWidth != -1 || Rest <= 0) continue;
    const std::string& Text = Panel->Width();
    const int64_t Percent = StrToIntDef(Text.substr(0, Text.size() - 1), 0);
    // In 64 bits: a large percentage of a wide bar does not overflow.
    Panel->FPixelWidth = ClampToInt(Percent * Rest / 100);
  }
  const SIZE Now{BarWidth, Height()};
  if ((FPreviousSize.cx == 0 && FPreviousSize.cy == 0) || Now.cy != FPreviousSize.cy) {
    UpdateParts();
  } else if (Now.cx != FPreviousSize.cx && HandleAllocated()) {
    // The grip and the end of the last panel move with the right edge.
    RECT Strip{Now.cx - 25, 0, Now.cx, Now.cy};
    if (Now.cx > FPreviousSize.cx) Strip.left = FPreviousSize.cx - 25;
    InvalidateRect(HandleIfAllocated(), &Strip, TRUE);
  }
  FPreviousSize = Now;
  if (AnyPercent) UpdateParts();
}

// --- painting ---

void TvcCustomStatusBar::PaintWindow(HDC DC) {
  // The status-bar window draws its parts (and asks for ours) into the given DC.
  TMessage Message{WM_PAINT, WPARAM(DC), 0, 0};
  DefaultHandler(Message);
}

void TvcCustomStatusBar::DrawPanel(TvcStatusPanel* Panel, const RECT& Rect) {
  const RECT Inside = DrawingRect(Panel, Rect);
  Panel->PaintPanel(FCanvas.get(), Inside);
  if (OnDrawPanel) OnDrawPanel(this, Panel, Inside);
}

void TvcCustomStatusBar::CNDrawItem(TMessage& Message) {
  const auto* Item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
  Message.Result = 1;
  if (!Item) return;
  // The control shows one part per panel, up to its limit; any other count means the window
  // missed the parts, and a new window is sent them all.
  const int Parts = int(SendMessageA(HandleIfAllocated(), SB_GETPARTS, 0, 0));
  if (Parts != std::max(1, std::min(FPanels->Count(), MaxParts)) && !FRecreating) {
    FRecreating = true;
    TScopeExit Done([this] { FRecreating = false; });
    RecreateWnd();
    return;
  }
  const int Index = int(Item->itemID);
  if (Index < 0 || Index >= FPanels->Count()) return;
  const int Saved = SaveDC(Item->hDC);
  FCanvas->SetHandle(Item->hDC);
  TScopeExit Restore([this, Item, Saved] {
    FCanvas->SetHandle(nullptr);
    RestoreDC(Item->hDC, Saved);
  });
  FCanvas->Font()->Assign(Font());
  FCanvas->Brush()->SetColor(clBtnFace);
  FCanvas->Brush()->SetStyle(bsSolid);
  DrawPanel(FPanels->Items(Index), Item->rcItem);
}

// --- messages ---

void TvcCustomStatusBar::WMSize(TMessage& Message) {
  FResizing = true;
  TScopeExit Done([this] { FResizing = false; });
  TWinControl::Dispatch(Message);
  const TComponentState State = ComponentState();
  if (!Parent() || State.Contains(csReading) || State.Contains(csLoading) || State.Contains(csDestroying)) return;
  for (int Index = 0; Index < FPanels->Count(); ++Index) {
    TvcStatusPanel* Panel = FPanels->Items(Index);
    if (!Panel->ComponentControl() || IsRichEdit(Panel->Component())) Panel->Redraw();
  }
}

void TvcCustomStatusBar::WMTimer(TMessage& Message) {
  TObjectProtector Protector(this);
  switch (Message.WParam) {
    case DateTimeTimer:
      for (int Index = 0; Index < FPanels->Count(); ++Index)
        if (TimerOfStyle(FPanels->Items(Index)->Style()) == DateTimeTimer) FPanels->Items(Index)->Redraw();
      return;
    case HintTimer: {
      const std::string Hint = Application ? Application->Hint() : std::string();
      for (int Index = 0; Index < FPanels->Count(); ++Index) {
        TvcStatusPanel* Panel = FPanels->Items(Index);
        if (Panel->Style() == psHint || (Panel->Style() == psHintContainerOnly && MouseInContainer()))
          Panel->SetText(Hint);
      }
      return;
    }
    case CaretTimer:
      for (int Index = 0; Index < FPanels->Count(); ++Index)
        if (FPanels->Items(Index)->Style() == psRichEditStatus) FPanels->Items(Index)->UpdateCaretPosition();
      return;
    default:
      TWinControl::Dispatch(Message);
  }
}

bool TvcCustomStatusBar::MouseInContainer() const {
  TCustomForm* Form = GetParentForm(this);
  if (!Form || !Form->Active()) return false;
  POINT Cursor{};
  GetCursorPos(&Cursor);
  // The nearest frame above the bar, unless a form comes first.
  for (TWinControl* Walk = Parent(); Walk; Walk = Walk->Parent()) {
    if (dynamic_cast<TCustomForm*>(Walk)) break;
    if (Walk->InheritsFrom("TCustomFrame")) {
      const RECT Client = Walk->ClientRect();
      const POINT TopLeft = Walk->ClientToScreen(POINT{Client.left, Client.top});
      const RECT Screen{TopLeft.x, TopLeft.y, TopLeft.x + Client.right - Client.left,
                        TopLeft.y + Client.bottom - Client.top};
      return PtInRect(&Screen, Cursor);
    }
  }
  RECT Bounds = Form->BoundsRect();
  if (Form->HandleAllocated()) GetWindowRect(Form->HandleIfAllocated(), &Bounds);
  return PtInRect(&Bounds, Cursor);
}

void TvcCustomStatusBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      WMSize(Message);
      return;
    case WM_TIMER:
      WMTimer(Message);
      return;
    case CN_DRAWITEM:
      CNDrawItem(Message);
      return;
    default:
      TWinControl::Dispatch(Message);
  }
}

void TvcCustomStatusBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN && ComponentState().Contains(csDesigning)) Invalidate();
  TWinControl::WndProc(Message);
}

// --- the mouse goes to the panel under it first ---

TvcStatusPanel* TvcCustomStatusBar::PanelAt(int X, int Y) const {
  POINT Point{X, Y};
  if (X == -1 && Y == -1) {
    GetCursorPos(&Point);
    Point = ScreenToClient(Point);
  }
  for (int Index = 0; Index < FPanels->Count(); ++Index) {
    const RECT Rect = FPanels->Items(Index)->GetRect();
    if (PtInRect(&Rect, Point)) return FPanels->Items(Index);
  }
  return nullptr;
}

void TvcCustomStatusBar::Click() {
  if (TvcStatusPanel* Panel = PanelAt(-1, -1)) Panel->Click();
  TWinControl::Click();
}

void TvcCustomStatusBar::DblClick() {
  if (TvcStatusPanel* Panel = PanelAt(-1, -1)) Panel->DblClick();
  TWinControl::DblClick();
}

void TvcCustomStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (TvcStatusPanel* Panel = PanelAt(-1, -1)) Panel->MouseDown(Button, Shift, X, Y);
  TWinControl::MouseDown(Button, Shift, X, Y);
}

void TvcCustomStatusBar::MouseMove(TShiftState Shift, int X, int Y) {
  if (TvcStatusPanel* Panel = PanelAt(-1, -1)) Panel->MouseMove(Shift, X, Y);
  TWinControl::MouseMove(Shift, X, Y);
}

void TvcCustomStatusBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (TvcStatusPanel* Panel = PanelAt(-1, -1)) Panel->MouseUp(Button, Shift, X, Y);
  TWinControl::MouseUp(Button, Shift, X, Y);
}
