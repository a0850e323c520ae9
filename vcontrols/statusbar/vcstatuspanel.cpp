// A status panel: its settings, its width text, and how each style paints it.

#include <algorithm>
#include <climits>

#include "platform/forms/application.h"
#include "platform/forms/commctrl.h"
#include "platform/forms/edit.h"
#include "platform/forms/form.h"
#include "platform/forms/imagelistapi.h"
#include "platform/forms/menus.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/systemnames.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"
#include "vcontrols/common/vchosts.h"
#include "vcontrols/common/vcpaint.h"
#include "vcontrols/statusbar/vcstatusbar.h"

KORCAM_REGISTER_CLASS(TvcStatusPanel)

namespace {

// Room for the longest login name and host name a Linux system allows, and the zero.
constexpr DWORD NameBufferSize = 257;

bool IsDateTimeStyle(TvcStatusPanelStyle Style) { return Style == psDateTime || Style == psDate || Style == psTime; }

}  // namespace

bool IsRichEdit(const TComponent* Component) {
  return Component && IsClassNamed(&Component->ClassType(), "TCustomRichEdit");
}

TvcStatusPanel::TvcStatusPanel(TCollection* Collection) : TvcCollectionItem(Collection) {
  // One rebuild of the parts when the panel is complete.
  if (Collection) Collection->BeginUpdate();
  TScopeExit Done([Collection] {
    if (Collection) Collection->EndUpdate();
  });
  FWidth = "50";
  FPixelWidth = 50;
  FBevel = pbLowered;
  FEnabled = true;
  FColor = clBtnFace;
  FName = MakeUniqueName();
  FFont = std::make_unique<TFont>();
  if (TvcCustomStatusBar* Bar = StatusBar()) FFont->Assign(Bar->Font());
  FFont->OnChange = TNotifyEvent([this](TObject* Sender) { FontChanged(Sender); });
  FTextOptions = std::make_unique<TvcCaptionText>(
      MakeTextOwnerHooks([this] { Redraw(); }, [] {}, [this] { return IsTextEnabled(); }), FFont.get(), nullptr);
  FTextOptions->SetVAlignment(vaVCenter);
  FIndent = 0;
  OnItemNotify = TNotifyEvent([this](TObject* Sender) { ItemNameChanged(Sender); });
}

TvcStatusPanel::~TvcStatusPanel() {
  FTextOptions.reset();
  FFont.reset();
}

TPropertyInfo TvcStatusPanel::MakeWidthProperty() {
  auto Info = korcam_detail::MakeProperty("Width", "std::string", &TvcStatusPanel::Width, &TvcStatusPanel::SetWidth);
  Info.Stored = [](const TObject& Self) { return static_cast<const TvcStatusPanel&>(Self).IsWidthStored(); };
  return Info;
}

TvcCustomStatusBar* TvcStatusPanel::StatusBar() const {
  auto* Panels = dynamic_cast<TvcStatusPanels*>(Collection());
  return Panels ? Panels->StatusBar() : nullptr;
}

std::string TvcStatusPanel::DisplayName() const { return FName.empty() ? TvcCollectionItem::DisplayName() : FName; }

std::string TvcStatusPanel::MakeUniqueName() const {
  auto* Panels = dynamic_cast<TvcStatusPanels*>(Collection());
  for (int Number = 0;; ++Number) {
    const std::string Candidate = "Panel" + std::to_string(Number);
    if (!Panels || !Panels->PanelByName(Candidate)) return Candidate;
  }
}

TControl* TvcStatusPanel::ComponentControl() const { return dynamic_cast<TControl*>(FComponent); }

int TvcStatusPanel::KeyOfStyle(TvcStatusPanelStyle Style) {
  switch (Style) {
    case psOverWrite: return VK_INSERT;
    case psCapsLock: return VK_CAPITAL;
    case psNumLock: return VK_NUMLOCK;
    case psScrollLock: return VK_SCROLL;
    default: return 0;
  }
}

// --- writers ---

void TvcStatusPanel::SetName(const std::string& Value) {
  if (FName == Value) return;
  if (auto* Panels = dynamic_cast<TvcStatusPanels*>(Collection()))
    for (int Index = 0; Index < Panels->Count(); ++Index)
      if (Panels->Items(Index) != this && Panels->Items(Index)->Name() == Value)
        throw EInvalidOperation("A panel named " + Value + " already exists.");
  FName = Value;
  MarkChanged();
  DoItemNotify();
}

void TvcStatusPanel::SetText(const std::string& Value) {
  if (FText == Value) return;
  FText = Value;
  DoTextChanged(Value);
  Redraw();
}

void TvcStatusPanel::SetWidth(const std::string& Value) {
  if (FWidth == Value) return;
  // A whole number, or a whole number and "%". StrToIntDef's -1 also stands for "not a number",
  // so the text "-1" itself is refused, as any text without a number before the sign (an empty
  // text among them).
  const bool Number = StrToIntDef(Value, -1) != -1;
  const bool Percent = !Value.empty() && Value.back() == '%' && StrToIntDef(Value.substr(0, Value.size() - 1), -1) != -1;
  if (!Number && !Percent)
    throw EInvalidOperation("Width must be a valid, positive integer, or must be an integer followed by a \"%\" sign.");
  FWidth = Value;
  FPixelWidth = StrToIntDef(Value, 0);
  if (TvcCustomStatusBar* Bar = StatusBar()) Bar->Resize();
  Changed(true);
}

void TvcStatusPanel::SetStyle(TvcStatusPanelStyle Value) {
  TvcCustomStatusBar* Bar = StatusBar();
  const TvcStatusPanelStyle Old = FStyle;
  if (Bar && Bar->HandleAllocated() && Old != Value) Bar->StopTimerUnlessNeeded(Old, this);
  FStyle = Value;
  // One control belongs to one panel: every other panel of every bar lets it go.
  if (Value == psControl && FComponent) TvcCustomStatusBar::ReleaseComponent(FComponent, this);
  if (Bar && !Bar->ComponentState().Contains(csDesigning)) Bar->StartTimerFor(Value);
  MarkChanged();
}

void TvcStatusPanel::SetComponent(TComponent* Value) {
  if (!Value && !FComponent) return;
  TvcCustomStatusBar* Bar = StatusBar();
  if (Value && Value == Bar) throw EInvalidOperation("Control cannot equal parent StatusBar");
  // The control goes back onto the form it came from (a rich edit never left its place).
  if (TControl* Old = ComponentControl(); Old && Old != Value && !Old->ComponentState().Contains(csDestroying) &&
                                          FStyle != psRichEditStatus && Bar)
    if (TCustomForm* Form = GetParentForm(Bar)) Old->SetParent(Form);
  FComponent = Value;
  if (Value && Bar) Value->FreeNotification(Bar);
  if (!Value)
    FStyle = psTextOnly;
  else if (IsRichEdit(Value))
    SetStyle(psRichEditStatus);
  else if (dynamic_cast<TControl*>(Value))
    SetStyle(psControl);
  MarkChanged();
}

void TvcStatusPanel::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  if (TControl* Control = ComponentControl(); Control && FStyle == psControl) Control->SetEnabled(Value);
  MarkChanged();
}

void TvcStatusPanel::SetFont(TFont* Value) {
  FFont->Assign(Value);
  if (TControl* Control = ComponentControl(); Control && FStyle == psControl) Control->Font()->Assign(Value);
  MarkChanged();
}

void TvcStatusPanel::SetHint(const std::string& Value) {
  if (FHint == Value) return;
  FHint = Value;
  if (TControl* Control = ComponentControl(); Control && FStyle == psControl) Control->SetHint(Value);
  MarkChanged();
}

void TvcStatusPanel::SetBevel(TvcStatusPanelBevel Value) {
  if (FBevel == Value) return;
  FBevel = Value;
  MarkChanged();
}

void TvcStatusPanel::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  MarkChanged();
}

void TvcStatusPanel::SetImageIndex(int32_t Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  MarkChanged();
}

void TvcStatusPanel::SetMargin(int32_t Value) {
  if (FMargin == Value) return;
  FMargin = Value;
  MarkChanged();
}

void TvcStatusPanel::SetIndent(int32_t Value) {
  if (FIndent == Value) return;
  FIndent = Value;
  MarkChanged();
}

void TvcStatusPanel::SetPopupMenu(TPopupMenu* Value) {
  FPopupMenu = Value;
  if (Value)
    if (TvcCustomStatusBar* Bar = StatusBar()) Value->FreeNotification(Bar);
}

void TvcStatusPanel::SetTextOptions(TvcCaptionText* Value) { FTextOptions->Assign(Value); }

void TvcStatusPanel::FontChanged(TObject*) { MarkChanged(); }

void TvcStatusPanel::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation != opRemove) return;
  if (AComponent == FComponent) SetComponent(nullptr);
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TvcStatusPanel::AssignTo(TPersistent* Dest) {
  auto* Other = dynamic_cast<TvcStatusPanel*>(Dest);
  if (!Other) {
    TvcCollectionItem::AssignTo(Dest);
    return;
  }
  Other->SetBevel(FBevel);
  Other->SetColor(FColor);
  Other->SetComponent(FComponent);
  Other->SetEnabled(FEnabled);
  Other->SetFont(FFont.get());
  Other->SetHint(FHint);
  Other->SetImageIndex(FImageIndex);
  Other->SetIndent(FIndent);
  Other->SetMargin(FMargin);
  Other->SetPopupMenu(FPopupMenu);
  Other->SetStyle(FStyle);
  Other->SetText(FText);
  Other->SetWidth(FWidth);
  Other->OnClick = OnClick;
  Other->OnDblClick = OnDblClick;
  Other->OnDrawText = OnDrawText;
  Other->OnMouseDown = OnMouseDown;
  Other->OnMouseMove = OnMouseMove;
  Other->OnMouseUp = OnMouseUp;
  Other->OnTextChanged = OnTextChanged;
}

// --- mouse ---

void TvcStatusPanel::Click() {
  if (OnClick) OnClick(this);
}

void TvcStatusPanel::DblClick() {
  if (OnDblClick) OnDblClick(this);
  const int Key = KeyOfStyle(FStyle);
  if (!Key) return;
  // A press and a release of the key go through the input queue and toggle it there; the
  // keyboard state the thread sees meanwhile is left as it was.
  BYTE Saved[256];
  GetKeyboardState(Saved);
  const BYTE Scan = BYTE(MapVirtualKeyA(UINT(Key), 0));
  keybd_event(BYTE(Key), Scan, 0, 0);
  keybd_event(BYTE(Key), Scan, KEYEVENTF_KEYUP, 0);
  SetKeyboardState(Saved);
}

void TvcStatusPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
  if (Button == mbRight && FPopupMenu) {
    const POINT At = PanelToScreen(POINT{X, Y});
    FPopupMenu->Popup(At.x, At.y);
  }
}

void TvcStatusPanel::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
  TvcCustomStatusBar* Bar = StatusBar();
  if (Bar && Bar->Hint() != FHint) {
    if (Application) Application->CancelHint();
    Bar->SetHint(FHint);
  }
}

void TvcStatusPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TvcStatusPanel::DoTextChanged(const std::string& Value) {
  if (OnTextChanged) OnTextChanged(this, Value);
}

// --- geometry ---

RECT TvcStatusPanel::GetRect() const {
  RECT Rect{};
  TvcCustomStatusBar* Bar = StatusBar();
  if (Bar && Bar->HandleAllocated())
    SendMessageA(Bar->HandleIfAllocated(), SB_GETRECT, WPARAM(Index()), LPARAM(&Rect));
  return Rect;
}

POINT TvcStatusPanel::PanelToScreen(POINT Point) const {
  TvcCustomStatusBar* Bar = StatusBar();
  const RECT Rect = GetRect();
  Point.x += Rect.left;
  Point.y += Rect.top;
  return Bar ? Bar->ClientToScreen(Point) : Point;
}

// --- painting ---

bool TvcStatusPanel::UpdateDateTimeText() {
  const TFormatSettings& Settings = FormatSettings();
  const TDateTime Moment = Now();
  std::string Result;
  switch (FStyle) {
    case psDateTime:
      Result = FormatDateTime(Settings.ShortDateFormat + " " + Settings.ShortTimeFormat, Moment);
      FLastTime = Moment;
      break;
    case psDate:
      Result = DateToStr(Moment);
      FLastTime = DateOf(Moment);
      break;
    case psTime:
      Result = FormatDateTime(Settings.ShortTimeFormat, Moment);
      FLastTime = TimeOf(Moment);
      break;
    default:
      return false;
  }
  if (Result == FText) return false;
  FText = Result;
  DoTextChanged(Result);
  return true;
}

void TvcStatusPanel::PaintPanel(TCanvas* Canvas, const RECT& Rect) {
  TCanvas* SavedCanvas = FDrawCanvas;
  const RECT SavedRect = FPanelRect;
  FDrawCanvas = Canvas;
  FPanelRect = Rect;
  TScopeExit Restore([this, SavedCanvas, SavedRect] {
    FDrawCanvas = SavedCanvas;
    FPanelRect = SavedRect;
  });
  if (IsDateTimeStyle(FStyle)) UpdateDateTimeText();
  if (FStyle != psControl) {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FColor);
    Canvas->FillRect(Rect);
  }
  switch (FStyle) {
    case psTextOnly:
    case psDateTime:
    case psDate:
    case psTime:
      DrawText(FText, FEnabled);
      break;
    case psControl:
      PaintControl();
      break;
    case psOverWrite:
    case psCapsLock:
    case psNumLock:
    case psScrollLock:
      PaintKeyState();
      break;
    case psGlyph:
      PaintGlyph();
      break;
    case psRichEditStatus:
      PaintRichEditStatus();
      break;
    case psHint:
    case psHintContainerOnly:
      PaintHint();
      break;
    case psUserName:
      PaintUserName();
      break;
    case psComputerName:
      PaintComputerName();
      break;
  }
}

void TvcStatusPanel::DrawPanelText(const std::string& AText, const RECT& Rect, bool AEnabled) {
  if (FPainting || !FDrawCanvas) return;
  RECT Box = Rect;
  Box.left += 2 + FIndent;
  Box.right -= 2;
  TvcCustomStatusBar* Bar = StatusBar();
  FDrawCanvas->Font()->Assign(FFont ? FFont.get() : (Bar ? Bar->Font() : nullptr));
  FTextOptions->SetCanvas(FDrawCanvas);
  FTextOptions->SetTextRect(Box);
  std::string Shown = AText;
  bool ShownEnabled = AEnabled;
  {
    // Changes a handler makes to the text options must not repaint the panel being painted.
    FPainting = true;
    std::function<void()> Hook = std::move(FTextOptions->Hooks().OnInvalidate);
    FTextOptions->Hooks().OnInvalidate = nullptr;
    TScopeExit Done([this, &Hook] {
      FTextOptions->Hooks().OnInvalidate = std::move(Hook);
      FPainting = false;
    });
    if (OnDrawText) OnDrawText(this, Shown, ShownEnabled);
    FTextOptions->SetText(Shown);
    FDrawnEnabled = ShownEnabled;
    FDrawCanvas->Brush()->SetStyle(bsClear);
    FTextOptions->Draw();
  }
  if (Shown != FText) DoTextChanged(Shown);
}

void TvcStatusPanel::PaintControl() {
  TControl* Control = ComponentControl();
  TvcCustomStatusBar* Bar = StatusBar();
  if (!Control || !Bar || Bar->ComponentState().Contains(csReading) || Bar->ComponentState().Contains(csLoading))
    return;
  if (Control->Parent() != Bar) Control->SetParent(Bar);
  DrawText(FText, FEnabled);
  RECT Place = FPanelRect;
  if (!FText.empty()) {
    const RECT Drawn = FTextOptions->TextRect();
    if (FTextOptions->Alignment() == taLeftJustify) Place.left = Drawn.right + 2;
    if (FTextOptions->Alignment() == taRightJustify) Place.right = Drawn.left - 2;
  }
  InflateRect(&Place, -FMargin, -FMargin);
  if (Place.right > Place.left && Place.bottom > Place.top) Control->SetBoundsRect(Place);
  if (auto* Windowed = dynamic_cast<TWinControl*>(Control); Windowed && Windowed->HandleAllocated()) {
    Windowed->Invalidate();
    for (int Index = 0; Index < Windowed->ControlCount(); ++Index)
      if (auto* Inner = dynamic_cast<TWinControl*>(Windowed->Controls(Index)); Inner && Inner->HandleAllocated())
        InvalidateRect(Inner->HandleIfAllocated(), nullptr, TRUE);
  }
}

void TvcStatusPanel::PaintKeyState() {
  TvcCustomStatusBar* Bar = StatusBar();
  if (!Bar) return;
  TvcStatusBarText* Texts = Bar->StatusBarText();
  std::string Text;
  switch (FStyle) {
    case psOverWrite: Text = Texts->Overwrite(); break;
    case psCapsLock: Text = Texts->CapsLock(); break;
    case psNumLock: Text = Texts->NumLock(); break;
    case psScrollLock: Text = Texts->ScrollLock(); break;
    default: return;
  }
  const bool KeyIsOn = (GetKeyState(KeyOfStyle(FStyle)) & 1) != 0;
  RECT Rect = FPanelRect;
  if (Bar->OnDrawKeyboardState) Bar->OnDrawKeyboardState(Bar, this, KeyIsOn, Rect, Text);
  // Greyed while the key is off.
  DrawPanelText(Text, Rect, KeyIsOn);
}

void TvcStatusPanel::PaintGlyph() {
  TvcCustomStatusBar* Bar = StatusBar();
  TCustomImageList* Images = Bar ? Bar->Images() : nullptr;
  RECT TextRect = FPanelRect;
  if (Images && FImageIndex >= 0 && FImageIndex < Images->Count()) {
    const int Top = FPanelRect.top + (FPanelRect.bottom - FPanelRect.top - Images->Height()) / 2;
    DrawImageListImage(Images, FImageIndex, FDrawCanvas, FPanelRect.left + FMargin, Top, ILD_NORMAL, FEnabled);
    TextRect.left = FPanelRect.left + Images->Width() + 5;
  }
  DrawPanelText(FText, TextRect, FEnabled);
}

void TvcStatusPanel::PaintHint() {
  TvcCustomStatusBar* Bar = StatusBar();
  if (FStyle == psHintContainerOnly && (!Bar || !Bar->MouseInContainer())) return;
  DrawText(Application ? Application->Hint() : std::string(), FEnabled);
}

void TvcStatusPanel::PaintUserName() {
  char Buffer[NameBufferSize];
  DWORD Size = NameBufferSize;
  if (!GetUserNameA(Buffer, &Size) || Size == 0) return;
  DrawText(std::string(Buffer, Size - 1), FEnabled);
}

void TvcStatusPanel::PaintComputerName() {
  char Buffer[NameBufferSize];
  DWORD Size = NameBufferSize;
  const std::string Name = GetComputerNameA(Buffer, &Size) ? std::string(Buffer, Size) : std::string();
  DrawText(Name, FEnabled);
}

void TvcStatusPanel::PaintRichEditStatus() {
  DrawText("Ln: " + std::to_string(FCaretLine + 1) + ", Col: " + std::to_string(FCaretColumn + 1), FEnabled);
}

void TvcStatusPanel::UpdateCaretPosition() {
  auto* Edit = dynamic_cast<TWinControl*>(FComponent);
  if (!Edit || !IsRichEdit(Edit) || !Edit->HandleAllocated()) return;
  HWND Window = Edit->HandleIfAllocated();
  DWORD Start = 0, End = 0;
  SendMessageA(Window, EM_GETSEL, WPARAM(&Start), LPARAM(&End));
  const LRESULT Selection = LRESULT(Start);
  int32_t Line = int32_t(SendMessageA(Window, EM_LINEFROMCHAR, WPARAM(Selection), 0));
  const int32_t Column = int32_t(Selection - SendMessageA(Window, EM_LINEINDEX, WPARAM(-1), 0));
  // With a selection the caret's line may be the one before the line of SelStart.
  if (Selection - SendMessageA(Window, EM_LINEINDEX, WPARAM(Line), 0) != Column) --Line;
  if (Line == FCaretLine && Column == FCaretColumn) return;
  FCaretLine = Line;
  FCaretColumn = Column;
  Redraw();
}

void TvcStatusPanel::Redraw() {
  TvcCustomStatusBar* Bar = StatusBar();
  if (!Bar || !Bar->HandleAllocated()) return;
  const TComponentState State = Bar->ComponentState();
  if (State.Contains(csReading) || State.Contains(csLoading)) return;
  if (FStyle == psDate && !Bar->Resizing() && FLastTime != 0 && DateOf(Now()) == FLastTime) return;
  // Inside the part's edge, where the bar draws the panel too.
  RECT Part = GetRect();
  if (FBevel != pbNone) InflateRect(&Part, -1, -1);
  const RECT Rect = Bar->DrawingRect(this, Part);
  const int Width = Rect.right - Rect.left, Height = Rect.bottom - Rect.top;
  if (Width < 1 || Height < 1) return;
  // Drawn whole in a bitmap, then copied: the panel never shows half painted.
  TBitmap Memory;
  Memory.SetSize(Width, Height);
  TCanvas* C = Memory.Canvas();
  C->Font()->Assign(Bar->Font());
  PaintPanel(C, RECT{0, 0, Width, Height});
  HDC DC = GetDC(Bar->HandleIfAllocated());
  if (!DC) return;
  BitBlt(DC, Rect.left, Rect.top, Width, Height, C->Handle(), 0, 0, SRCCOPY);
  ReleaseDC(Bar->HandleIfAllocated(), DC);
}
