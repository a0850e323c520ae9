#include "kvcontrols/editors/kvdrawing.h"

#include <algorithm>
#include <cstdlib>

#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvpicturevalidator.h"
#include "platform/forms/edit.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

namespace {

bool ParentInherits(const TControl* Control, const char* ClassName) {
  return Control && Control->Parent() && kvInheritsFromClassName(&Control->Parent()->ClassType(), ClassName);
}

bool PaintingCopy(const TControl* Control) {
  return Control->ControlState().Contains(csPaintCopy);
}

// The code points [From, From + Count) of Text.
std::string Utf8Mid(const std::string& Text, size_t From, size_t Count = std::string::npos) {
  const size_t Start = Utf8OffsetOf(Text, From);
  if (Count == std::string::npos) return Text.substr(Start);
  return Text.substr(Start, Utf8OffsetOf(Text, From + Count) - Start);
}

}  // namespace

// ---- where a control lives -----------------------------------------------------------------

bool kvParentIsGrid(const TControl* Control) {
  return ParentInherits(Control, "TCustomGrid");
}
bool kvParentIsInspector(const TControl* Control) {
  return ParentInherits(Control, "TkvDataInspector");
}
bool kvParentIsDBGrid(const TControl* Control) {
  return ParentInherits(Control, "TkvDBGrid");
}
bool kvParentIsCustomDBGrid(const TControl* Control) {
  return ParentInherits(Control, "TkvCustomDBGrid");
}

bool kvIsPaintCopyInGrid(const TControl* Control) {
  return kvParentIsGrid(Control) && PaintingCopy(Control);
}
bool kvIsPaintCopyInInspector(const TControl* Control) {
  return kvParentIsInspector(Control) && PaintingCopy(Control);
}
bool kvIsPaintCopyInDBGrid(const TControl* Control) {
  return kvParentIsCustomDBGrid(Control) && PaintingCopy(Control);
}

bool kvIsDesigning(const TControl* Control) {
  if (!Control) return false;
  if (const TCustomForm* Form = GetParentForm(Control)) return Form->ComponentState().Contains(csDesigning);
  return Control->ComponentState().Contains(csDesigning);
}

void kvMarkDesignerModified(TComponent*) {}

bool kvHasOptionByName(const TComponent* Control, const char* Option) {
  if (!Control) return false;
  const TPropertyInfo* Info = GetPropInfo(Control, "Options");
  if (!Info || Info->Kind != TTypeKind::Set || !Info->Enum) return false;
  const int Ordinal = Info->Enum->Ordinal(Option);
  if (Ordinal < 0 || Ordinal >= 64) return false;
  return (uint64_t(GetOrdProp(Control, "Options")) >> Ordinal) & 1;
}

// ---- windows -------------------------------------------------------------------------------

void kvPostPendingMouseUp() {
  TCustomForm* Form = Screen ? Screen->ActiveForm() : nullptr;
  if (!Form) return;
  if (Form->ControlState().Contains(csLButtonDown)) {
    PostMessage(Form->Handle(), WM_LBUTTONUP, 0, 0);
    return;
  }
  for (int Index = 0; Index < Form->ControlCount(); ++Index) {
    auto* Child = dynamic_cast<TWinControl*>(Form->Controls(Index));
    if (Child && Child->ControlState().Contains(csLButtonDown)) {
      if (Child->HandleAllocated()) PostMessage(Child->HandleIfAllocated(), WM_LBUTTONUP, 0, 0);
      return;
    }
  }
}

void kvClearClipChildren(TWinControl* Control) {
  if (!Control || !Control->HandleAllocated()) return;
  HWND Window = Control->HandleIfAllocated();
  SetWindowLongA(Window, GWL_STYLE, GetWindowLongA(Window, GWL_STYLE) & ~LONG(WS_CLIPCHILDREN));
}

bool kvHasChildOutsideClient(const TWinControl* Control) {
  if (!Control) return false;
  const RECT Client = Control->ClientRect();
  for (int Index = 0; Index < Control->ControlCount(); ++Index) {
    auto* Child = dynamic_cast<TWinControl*>(Control->Controls(Index));
    if (!Child || !Child->IsVisibleOnScreen()) continue;
    const POINT TopLeft{Child->Left(), Child->Top()};
    if (!PtInRect(&Client, TopLeft)) return true;
  }
  return false;
}

bool kvPictureMaskKeyPress(TCustomEdit* Edit, const std::string& Mask, bool AutoFill, char32_t& Key) {
  if (!Edit || Key < 32 || Key > 254) return false;
  const std::string Old = Edit->Text();
  const int Length = int(Utf8Length(Old));
  const int SelStart = Edit->SelStart(), SelLength = Edit->SelLength();
  if (SelStart + SelLength < Length) return false;

  const bool WholeSelected = SelStart == 0 && SelLength >= Length;
  std::string Candidate = Utf8Mid(Old, 0, size_t(SelStart));
  Utf8Append(Candidate, Key);
  Candidate += Utf8Mid(Old, size_t(SelStart + SelLength));

  TkvPictureValidator Validator(Mask, AutoFill);
  const TkvPictureResult Result = Validator.CheckText(Candidate, AutoFill);
  const int Growth = int(Utf8Length(Candidate)) - Length;
  switch (Result) {
    case pmrComplete:
    case pmrIncomplete: {
      Edit->SetText(Candidate);
      int Caret;
      if (WholeSelected)
        Caret = int(Utf8Length(Candidate));
      else if (Result == pmrComplete ? Growth > 0 : SelLength == 0)
        Caret = SelStart + Growth;
      else
        Caret = SelStart + 1;
      Edit->SetSelStart(Caret);
      Edit->SetSelLength(0);
      break;
    }
    case pmrError:
      MessageBeep(0);
      break;
    default:
      break;
  }
  Key = 0;
  return true;
}

// ---- drawing -------------------------------------------------------------------------------

void kvDrawEllipsisButton(TCanvas* Canvas, const RECT& Rect, TkvButtonFaceState ButtonState, bool,
                          bool FlatNotHot, bool Transparent, TControlState ControlState) {
  HDC DC = Canvas->Handle();
  const bool Down = ButtonState == kvbsDown;
  if (!FlatNotHot) {
    RECT Edge = Rect;
    UINT Flags = BF_RECT;
    if (!Transparent) Flags |= BF_MIDDLE;
    if (Down && !ControlState.Contains(csPaintCopy)) Flags |= BF_FLAT;
    DrawEdge(DC, &Edge, EDGE_RAISED, Flags);
  }
  const int Width = Rect.right - Rect.left, Height = Rect.bottom - Rect.top;
  const int Side = std::max(1, (Width + 1) / 8);
  const int Shift = Down ? 0 : 1;
  const int Y = Rect.top + (Height + 1) / 2 - Shift;
  const int X = Rect.left + Width / 2 - Shift;
  for (int Dot = -1; Dot <= 1; ++Dot) PatBlt(DC, X + Dot * 2 * Side, Y, Side, Side, BLACKNESS);
}

void kvDrawDropDownButton(TCanvas* Canvas, const RECT& Rect, TkvButtonFaceState ButtonState, bool Enabled,
                          TControlState ControlState) {
  UINT State = DFCS_SCROLLCOMBOBOX;
  if (!Enabled)
    State |= DFCS_INACTIVE;
  else if (ButtonState != kvbsUp && !ControlState.Contains(csPaintCopy))
    State |= DFCS_PUSHED | DFCS_FLAT;
  RECT Face = Rect;
  DrawFrameControl(Canvas->Handle(), &Face, DFC_SCROLL, State);
}

void kvDrawFocusFrame(TCanvas* Canvas, const RECT& Rect) {
  const TBrushStyle OldBrushStyle = Canvas->Brush()->Style();
  const TColor OldPenColor = Canvas->Pen()->Color();
  const COLORREF OldTextColor = GetTextColor(Canvas->Handle());
  Canvas->Pen()->SetColor(clHighlight);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Rectangle(Rect);
  SetTextColor(Canvas->Handle(), COLORREF(ColorToRGB(clHighlight)));
  Canvas->Brush()->SetStyle(OldBrushStyle);
  Canvas->Pen()->SetColor(OldPenColor);
  // This canvas never mirrors (no right-to-left layout of DCs), so the focus rectangle needs no
  // exchange of its left and right edges.
  Canvas->DrawFocusRect(Rect);
  SetTextColor(Canvas->Handle(), OldTextColor);
}

void DrawDottedLine(TCanvas* Canvas, POINT P1, POINT P2) {
  Canvas->Refresh();
  const int DX = P2.x - P1.x, DY = P2.y - P1.y;
  const int Count = std::max(std::abs(DX), std::abs(DY));
  const int Divisor = std::max(1, Count / 2);
  POINT Current = P1;
  for (int Step = 0; Step <= Count; ++Step) {
    if (Step % 2 != 0) continue;
    Canvas->Polyline({Current, POINT{Current.x + 1, Current.y + 1}});
    Current.x += DX / Divisor;
    Current.y += DY / Divisor;
  }
}

bool kvIsOneLineHigh(HDC DC, const RECT& Rect, UINT DrawTextFlags) {
  RECT Measure{0, 0, Rect.right - Rect.left, 0};
  DrawTextA(DC, " ", 1, &Measure, DrawTextFlags | DT_CALCRECT);
  const int Height = Measure.bottom - Measure.top;
  return Height + 2 * GetSystemMetrics(SM_CYBORDER) + 3 >= Rect.bottom - Rect.top;
}

UINT kvAlignedTextFlags(int Alignment, uint32_t Options) {
  UINT Flags = DT_EXPANDTABS | DT_NOPREFIX;
  if (Alignment == 1)
    Flags |= DT_RIGHT;
  else if (Alignment == 2)
    Flags |= DT_CENTER;
  if (Options & kvdtPrefix) Flags &= ~DT_NOPREFIX;
  if (Options & kvdtWordBreak) Flags |= DT_WORDBREAK;
  if (Options & kvdtVCenter) Flags |= DT_SINGLELINE | DT_VCENTER;
  return Flags;
}

UINT kvDrawAlignedText(TCanvas* Canvas, const RECT& Rect, int LeftMargin, int TopMargin,
                       const std::string& Text, int Alignment, uint32_t Options) {
  const int Width = Rect.right - Rect.left, Height = Rect.bottom - Rect.top;
  RECT TextRect;
  switch (Alignment) {
    case 1:
      TextRect = RECT{LeftMargin, TopMargin, Width - 2, Height - 1};
      break;
    case 2:
      TextRect = RECT{LeftMargin < 4 ? 0 : 2, TopMargin, Width, Height - 1};
      break;
    default:
      TextRect = RECT{LeftMargin, TopMargin, Width, Height - 1};
      break;
  }
  OffsetRect(&TextRect, Rect.left, Rect.top);

  // Font and brush are selected afresh: a caller may have drawn on the DC behind the canvas.
  Canvas->Refresh();
  Canvas->Brush()->SetStyle(bsSolid);
  if (!(Options & kvdtNoFill)) Canvas->FillRect(Rect);
  HDC DC = Canvas->Handle();
  SetBkMode(DC, TRANSPARENT);

  UINT Flags = kvAlignedTextFlags(Alignment, Options);
  if ((Options & kvdtEllipsis) || kvIsOneLineHigh(DC, TextRect, Flags)) Flags &= ~DT_WORDBREAK;
  if (Options & kvdtEllipsis) Flags |= DT_END_ELLIPSIS;
  DrawTextA(DC, Text.c_str(), int(Text.size()), &TextRect, Flags);
  return Flags;
}
