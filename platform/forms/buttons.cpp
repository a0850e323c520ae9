#include "platform/forms/buttons.h"

#include <algorithm>
#include <cstring>

#include "platform/forms/form.h"
#include "platform/gdi/blt.h"
#include "platform/gdi/colors.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TButton)
KORCAM_REGISTER_CLASS(TBitBtn)
KORCAM_REGISTER_CLASS(TSpeedButton)

// ---- glyph and caption -----------------------------------------------------------------------

namespace {

COLORREF Rgb(TColor Color) {
  return COLORREF(ColorToRGB(Color));
}

SIZE CaptionSize(HDC DC, const std::string& Caption) {
  if (Caption.empty()) return SIZE{0, 0};
  RECT R{0, 0, 0, 0};
  DrawTextA(DC, Caption.c_str(), int(Caption.size()), &R, DT_CALCRECT | DT_SINGLELINE);
  return SIZE{R.right - R.left, R.bottom - R.top};
}

// Where glyph and caption go inside Client. Positions are top-left corners.
void LayOut(const RECT& Client, SIZE GlyphSize, SIZE TextSize, TButtonLayout Layout, int Margin, int Spacing,
            POINT& GlyphPos, RECT& TextRect) {
  const int ClientWidth = Client.right - Client.left;
  const int ClientHeight = Client.bottom - Client.top;
  const bool Horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  // Along the layout axis.
  const int Room = Horizontal ? ClientWidth : ClientHeight;
  const int GlyphLength = Horizontal ? GlyphSize.cx : GlyphSize.cy;
  const int TextLength = Horizontal ? TextSize.cx : TextSize.cy;
  if (GlyphLength == 0 || TextLength == 0) Spacing = 0;
  if (Margin == -1) {
    if (Spacing == -1) {
      const int Free = Room - GlyphLength - TextLength;
      Margin = Free / 3;
      Spacing = Margin;
    } else {
      Margin = (Room - GlyphLength - TextLength - Spacing) / 2;
    }
  } else if (Spacing == -1) {
    const int Free = Room - Margin - GlyphLength - TextLength;
    Spacing = Free / 2;
  }
  Margin = std::max(Margin, 0);
  const bool GlyphFirst = Layout == blGlyphLeft || Layout == blGlyphTop;
  int GlyphAt, TextAt;
  if (GlyphFirst) {
    GlyphAt = Margin;
    TextAt = Margin + GlyphLength + Spacing;
  } else {
    GlyphAt = Room - Margin - GlyphLength;
    TextAt = GlyphAt - Spacing - TextLength;
  }
  if (Horizontal) {
    GlyphPos = POINT{Client.left + GlyphAt, Client.top + (ClientHeight - GlyphSize.cy) / 2};
    const int Top = Client.top + (ClientHeight - TextSize.cy) / 2;
    TextRect = RECT{Client.left + TextAt, Top, Client.left + TextAt + TextSize.cx, Top + TextSize.cy};
  } else {
    GlyphPos = POINT{Client.left + (ClientWidth - GlyphSize.cx) / 2, Client.top + GlyphAt};
    const int Left = Client.left + (ClientWidth - TextSize.cx) / 2;
    TextRect = RECT{Left, Client.top + TextAt, Left + TextSize.cx, Client.top + TextAt + TextSize.cy};
  }
}

// Paints the opaque pixels of image Index in Color, at X, Y (a disabled glyph's emboss).
void DrawGlyphShape(HDC DC, TBitmap* Glyph, int Index, int Width, int X, int Y, COLORREF Transparent, COLORREF Color) {
  HDC Source = Glyph->Canvas()->Handle();
  for (int Row = 0; Row < Glyph->Height(); ++Row)
    for (int Column = 0; Column < Width; ++Column)
      if (GetPixel(Source, Index * Width + Column, Row) != Transparent) SetPixel(DC, X + Column, Y + Row, Color);
}

}  // namespace

void DrawButtonContent(HDC DC, const RECT& Client, TBitmap* Glyph, TNumGlyphs NumGlyphs, const std::string& Caption,
                       TButtonLayout Layout, int Margin, int Spacing, TButtonState State, POINT Offset) {
  const bool HasGlyph = Glyph && !Glyph->Empty();
  const int Count = std::clamp(NumGlyphs, 1, 4);
  const SIZE GlyphSize = HasGlyph ? SIZE{Glyph->Width() / Count, Glyph->Height()} : SIZE{0, 0};
  const SIZE TextSize = CaptionSize(DC, Caption);
  POINT GlyphPos{};
  RECT TextRect{};
  LayOut(Client, GlyphSize, TextSize, Layout, Margin, Spacing, GlyphPos, TextRect);
  OffsetRect(&TextRect, Offset.x, Offset.y);
  GlyphPos.x += Offset.x;
  GlyphPos.y += Offset.y;

  if (HasGlyph && GlyphSize.cx > 0) {
    const COLORREF Transparent = Rgb(Glyph->TransparentColor());
    int Index = 0;
    if (State == bsDisabled && Count > 1) Index = 1;
    if (State == bsDown && Count > 2) Index = 2;
    if (State == bsExclusive && Count > 3) Index = 3;
    if (State == bsDisabled && Count == 1) {
      DrawGlyphShape(DC, Glyph, 0, GlyphSize.cx, GlyphPos.x + 1, GlyphPos.y + 1, Transparent,
                     Rgb(clBtnHighlight));
      DrawGlyphShape(DC, Glyph, 0, GlyphSize.cx, GlyphPos.x, GlyphPos.y, Transparent, Rgb(clBtnShadow));
    } else {
      TransparentBlt(DC, GlyphPos.x, GlyphPos.y, GlyphSize.cx, GlyphSize.cy, Glyph->Canvas()->Handle(),
                     Index * GlyphSize.cx, 0, GlyphSize.cx, GlyphSize.cy, Transparent);
    }
  }
  if (!Caption.empty()) {
    const int OldMode = SetBkMode(DC, TRANSPARENT);
    const UINT Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (State == bsDisabled) {
      RECT Emboss = TextRect;
      OffsetRect(&Emboss, 1, 1);
      const COLORREF OldColor = SetTextColor(DC, Rgb(clBtnHighlight));
      DrawTextA(DC, Caption.c_str(), int(Caption.size()), &Emboss, Flags);
      SetTextColor(DC, Rgb(clBtnShadow));
      DrawTextA(DC, Caption.c_str(), int(Caption.size()), &TextRect, Flags);
      SetTextColor(DC, OldColor);
    } else {
      DrawTextA(DC, Caption.c_str(), int(Caption.size()), &TextRect, Flags);
    }
    SetBkMode(DC, OldMode);
  }
}

// ---- TButton ---------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FTabStop = true;
  SetBounds(0, 0, 75, 25);
}

TButton::~TButton() = default;

void TButton::SetCancel(bool Value) {
  FCancel = Value;
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  Invalidate();
}

void TButton::Click() {
  // The form closes with the button's answer; OnClick still runs first-hand after it is set.
  if (TCustomForm* Form = GetParentForm(this); Form && FModalResult != mrNone) Form->SetModalResult(FModalResult);
  TCustomControl::Click();
}

bool TButton::Active() const {
  TCustomForm* Form = GetParentForm(this);
  TWinControl* Focused = Form ? Form->ActiveControl() : nullptr;
  if (Focused == this) return true;
  // The default button stands in while the focus is on a control that is not a button.
  return FDefault && !(Focused && Focused->InheritsFrom(TButton::StaticClass()));
}

void TButton::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TButton::SetPressed(bool Value) {
  if (FPressed == Value) return;
  FPressed = Value;
  Invalidate();
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (CanFocus() && GetFocus() != HandleIfAllocated()) SetFocus();
      FTracking = true;
      SetPressed(true);
      TCustomControl::Dispatch(Message);
      return;
    case WM_MOUSEMOVE:
      if (FTracking) {
        const RECT Client = ClientRect();
        SetPressed(PtInRect(&Client, Message.Pos()) != 0);
      }
      TCustomControl::Dispatch(Message);
      return;
    case WM_LBUTTONUP:
      FTracking = false;
      SetPressed(FSpaceDown);
      TCustomControl::Dispatch(Message);
      return;
    case WM_KEYDOWN:
      if (Message.WParam == VK_SPACE && !FSpaceDown) {
        TCustomControl::Dispatch(Message);
        if (Message.WParam != VK_SPACE) return;
        FSpaceDown = true;
        SetPressed(true);
        return;
      }
      break;
    case WM_KEYUP:
      if (Message.WParam == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        SetPressed(FTracking);
        TCustomControl::Dispatch(Message);
        Click();
        return;
      }
      break;
    case WM_KILLFOCUS:
      FSpaceDown = false;
      SetPressed(false);
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    case WM_SETFOCUS:
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    case WM_GETDLGCODE:
      Message.Result = Active() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
      return;
    case CM_DIALOGKEY:
      CMDialogKey(Message);
      return;
    case CM_DIALOGCHAR:
      CMDialogChar(Message);
      return;
    case CM_FOCUSCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}

void TButton::CMDialogKey(TMessage& Message) {
  const bool NoModifiers = GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
  if (NoModifiers && CanFocus() &&
      ((Message.WParam == VK_RETURN && Active()) || (Message.WParam == VK_ESCAPE && FCancel))) {
    Click();
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TButton::CMDialogChar(TMessage& Message) {
  // Alt (or a plain key on a form without an edit) plus the '&' letter of the caption.
  const std::string Text = Caption();
  for (size_t Index = 0; Index + 1 < Text.size(); ++Index) {
    if (Text[Index] != '&') continue;
    if (Text[Index + 1] == '&') {
      ++Index;
      continue;
    }
    const auto Lower = [](unsigned Char) { return Char < 128 ? unsigned(std::tolower(int(Char))) : Char; };
    if (Lower(unsigned(static_cast<unsigned char>(Text[Index + 1]))) == Lower(unsigned(Message.WParam)) &&
        CanFocus()) {
      Click();
      Message.Result = 1;
      return;
    }
    break;
  }
  TCustomControl::Dispatch(Message);
}

void TButton::Paint() {
  TCanvas* C = Canvas();
  C->SetFont(Font());
  HDC DC = C->Handle();
  RECT R = ClientRect();
  const bool Focused = HandleAllocated() && GetFocus() == HandleIfAllocated();
  if (Active()) {
    // The default look: a dark frame around the face.
    C->Brush()->SetColor(clWindowFrame);
    C->FrameRect(R);
    InflateRect(&R, -1, -1);
  }
  UINT State = DFCS_BUTTONPUSH;
  if (FPressed) State |= DFCS_PUSHED | DFCS_FLAT;
  if (!Enabled()) State |= DFCS_INACTIVE;
  RECT Face = R;
  DrawFrameControl(DC, &Face, DFC_BUTTON, State);
  const TButtonState Look = !Enabled() ? bsDisabled : (FPressed ? bsDown : bsUp);
  SetTextColor(DC, Rgb(Font()->Color()));
  RECT Inner = R;
  InflateRect(&Inner, -2, -2);
  PaintContent(DC, Inner, Look, FPressed ? POINT{1, 1} : POINT{0, 0});
  if (Focused) {
    RECT FocusRect = R;
    InflateRect(&FocusRect, -3, -3);
    DrawFocusRect(DC, &FocusRect);
  }
}

void TButton::PaintContent(HDC DC, const RECT& Client, TButtonState State, POINT Offset) {
  DrawButtonContent(DC, Client, nullptr, 1, Caption(), blGlyphLeft, -1, 4, State, Offset);
}

// ---- TBitBtn ---------------------------------------------------------------------------------

std::string BitBtnCaption(TBitBtnKind Kind) {
  switch (Kind) {
    case bkOK: return "OK";
    case bkCancel: return "Cancel";
    case bkHelp: return "&Help";
    case bkYes: return "&Yes";
    case bkNo: return "&No";
    case bkClose: return "&Close";
    case bkAbort: return "Abort";
    case bkRetry: return "&Retry";
    case bkIgnore: return "&Ignore";
    case bkAll: return "&All";
    case bkCustom: break;
  }
  return std::string();
}

TModalResult BitBtnModalResult(TBitBtnKind Kind) {
  switch (Kind) {
    case bkOK: return mrOk;
    case bkCancel: return mrCancel;
    case bkYes: return mrYes;
    case bkNo: return mrNo;
    case bkAbort: return mrAbort;
    case bkRetry: return mrRetry;
    case bkIgnore: return mrIgnore;
    case bkAll: return mrAll;
    case bkHelp:
    case bkClose:
    case bkCustom: break;
  }
  return mrNone;
}

namespace {

constexpr int KindGlyphSize = 18;
// The key colour of the drawn glyphs; it sits in the bottom-left corner, so it is transparent.
constexpr TColor KindGlyphKey = TColor(0x008080);

void Check(TCanvas* C, int X, int Y) {
  C->Polyline({POINT{X + 3, Y + 9}, POINT{X + 7, Y + 13}, POINT{X + 15, Y + 4}});
}

void DrawKind(TCanvas* C, TBitBtnKind Kind, int X, TColor Main, TColor Dark) {
  C->Pen()->SetColor(Main);
  C->Pen()->SetWidth(3);
  C->Brush()->SetColor(Main);
  switch (Kind) {
    case bkOK:
    case bkYes:
      Check(C, X, 0);
      break;
    case bkAll:
      C->Pen()->SetWidth(2);
      C->Polyline({POINT{X + 1, 8}, POINT{X + 4, 11}, POINT{X + 10, 3}});
      C->Polyline({POINT{X + 6, 12}, POINT{X + 9, 15}, POINT{X + 16, 6}});
      break;
    case bkCancel:
      C->Polyline({POINT{X + 4, 4}, POINT{X + 14, 14}});
      C->Polyline({POINT{X + 14, 4}, POINT{X + 4, 14}});
      break;
    case bkNo:
      C->Pen()->SetWidth(2);
      C->Brush()->SetStyle(bsClear);
      C->Ellipse(X + 3, 3, X + 16, 16);
      C->Polyline({POINT{X + 5, 14}, POINT{X + 14, 5}});
      break;
    case bkAbort:
      C->Pen()->SetWidth(1);
      C->Ellipse(X + 2, 2, X + 17, 17);
      C->Pen()->SetColor(clWhite);
      C->Pen()->SetWidth(2);
      C->Polyline({POINT{X + 6, 6}, POINT{X + 12, 12}});
      C->Polyline({POINT{X + 12, 6}, POINT{X + 6, 12}});
      break;
    case bkRetry:
      C->Pen()->SetWidth(2);
      C->Polyline({POINT{X + 14, 6}, POINT{X + 11, 3}, POINT{X + 6, 3}, POINT{X + 3, 6}, POINT{X + 3, 11},
                   POINT{X + 6, 14}, POINT{X + 11, 14}, POINT{X + 14, 11}});
      C->Pen()->SetWidth(1);
      C->Polygon({POINT{X + 11, 6}, POINT{X + 16, 6}, POINT{X + 16, 1}});
      break;
    case bkIgnore:
      C->Pen()->SetWidth(2);
      C->Polyline({POINT{X + 2, 12}, POINT{X + 6, 6}, POINT{X + 10, 12}, POINT{X + 14, 6}});
      C->Pen()->SetWidth(1);
      C->Polygon({POINT{X + 12, 5}, POINT{X + 17, 4}, POINT{X + 16, 9}});
      break;
    case bkHelp:
      C->Pen()->SetWidth(2);
      C->Polyline({POINT{X + 5, 6}, POINT{X + 6, 3}, POINT{X + 9, 2}, POINT{X + 12, 3}, POINT{X + 13, 6},
                   POINT{X + 9, 9}, POINT{X + 9, 12}});
      C->Pen()->SetWidth(1);
      C->Rectangle(X + 8, 14, X + 11, 17);
      break;
    case bkClose:
      // A door, open, with its knob.
      C->Pen()->SetWidth(1);
      C->Pen()->SetColor(Dark);
      C->Brush()->SetColor(Main);
      C->Rectangle(X + 4, 2, X + 14, 17);
      C->Brush()->SetColor(Dark);
      C->Rectangle(X + 10, 9, X + 12, 11);
      break;
    case bkCustom:
      break;
  }
  C->Brush()->SetStyle(bsSolid);
}

}  // namespace

void MakeBitBtnGlyph(TBitBtnKind Kind, TBitmap& Glyph) {
  if (Kind == bkCustom) {
    Glyph.SetSize(0, 0);
    return;
  }
  Glyph.SetSize(KindGlyphSize * 2, KindGlyphSize);
  TCanvas* C = Glyph.Canvas();
  C->Brush()->SetColor(KindGlyphKey);
  C->Brush()->SetStyle(bsSolid);
  C->FillRect(RECT{0, 0, KindGlyphSize * 2, KindGlyphSize});
  TColor Main = clGreen;
  TColor Dark = clOlive;
  switch (Kind) {
    case bkCancel:
    case bkNo:
    case bkAbort:
      Main = clRed;
      Dark = clMaroon;
      break;
    case bkHelp:
    case bkIgnore:
      Main = clBlue;
      Dark = clNavy;
      break;
    case bkClose:
      Main = clTeal;
      Dark = clBlack;
      break;
    default:
      break;
  }
  DrawKind(C, Kind, 0, Main, Dark);
  // The disabled frame: the same shape in grey.
  DrawKind(C, Kind, KindGlyphSize, clGray, clSilver);
  Glyph.SetTransparentMode(tmAuto);
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  FGlyph->OnChange = TNotifyEvent([this](TObject* Sender) { GlyphChanged(Sender); });
}

TBitBtn::~TBitBtn() {
  FGlyph->OnChange = TNotifyEvent();
}

void TBitBtn::GlyphChanged(TObject*) {
  if (FSettingKind) return;
  FModifiedGlyph = true;
  Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
}

TBitBtnKind TBitBtn::Kind() const {
  if (FKind == bkCustom) return bkCustom;
  const bool WantsDefault = FKind == bkOK || FKind == bkYes;
  const bool WantsCancel = FKind == bkCancel || FKind == bkNo;
  if (WantsDefault != FDefault || WantsCancel != FCancel || FModalResult != BitBtnModalResult(FKind) ||
      FModifiedGlyph)
    return bkCustom;
  return FKind;
}

void TBitBtn::SetKind(TBitBtnKind Value) {
  if (Value == Kind()) return;
  if (Value != bkCustom) {
    SetDefault(Value == bkOK || Value == bkYes);
    SetCancel(Value == bkCancel || Value == bkNo);
    // A form being read keeps the caption it gives.
    if (!ComponentState().Contains(csLoading) || Caption().empty()) SetCaption(BitBtnCaption(Value));
    SetModalResult(BitBtnModalResult(Value));
    FSettingKind = true;
    MakeBitBtnGlyph(Value, *FGlyph);
    FNumGlyphs = 2;
    FSettingKind = false;
    Invalidate();
    FModifiedGlyph = false;
  }
  FKind = Value;
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TBitBtn::SetMargin(int32_t Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TBitBtn::SetNumGlyphs(TNumGlyphs Value) {
  Value = std::clamp(Value, 1, 4);
  if (FNumGlyphs == Value) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TBitBtn::SetSpacing(int32_t Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TBitBtn::Click() {
  if (Kind() == bkClose) {
    if (TCustomForm* Form = GetParentForm(this)) Form->Close();
  }
  TButton::Click();
}

void TBitBtn::PaintContent(HDC DC, const RECT& Client, TButtonState State, POINT Offset) {
  const bool Saved = FSettingKind;
  FSettingKind = true;
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } Restore{FSettingKind, Saved};
  DrawButtonContent(DC, Client, FGlyph.get(), FNumGlyphs, Caption(), FLayout, FMargin, FSpacing, State, Offset);
}

// ---- TSpeedButton ----------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  // The button clicks itself on release; the generic click of controls would come too early.
  FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks};
  FGlyph->OnChange = TNotifyEvent([this](TObject* Sender) { GlyphChanged(Sender); });
  SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() {
  FGlyph->OnChange = TNotifyEvent();
}

void TSpeedButton::GlyphChanged(TObject*) {
  if (!FPainting) Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int32_t Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
  // Only a grouped button stays down; the last one of a group stays down unless all may be up.
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  FState = Value ? bsExclusive : bsUp;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TSpeedButton::SetMargin(int32_t Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) {
  Value = std::clamp(Value, 1, 4);
  if (FNumGlyphs == Value) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int32_t Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage Message{CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(this), 0};
  Parent()->Broadcast(Message);
}

void TSpeedButton::CMButtonPressed(TMessage& Message) {
  auto* Sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
  if (int32_t(Message.WParam) != FGroupIndex || Sender == this || !Sender) return;
  if (Sender->Down() && FDown) {
    FDown = false;
    FState = bsUp;
    Invalidate();
  }
  FAllowAllUp = Sender->AllowAllUp();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
  // Disabling (and enabling again) drops any press in progress and the hot look.
  FDragging = false;
  if (!Enabled()) FMouseInControl = false;
  FState = (FDown && FGroupIndex != 0) ? bsExclusive : bsUp;
  TGraphicControl::Dispatch(Message);
  Invalidate();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  if (Message.LParam != 0 || !Enabled() || FMouseInControl) return;
  FMouseInControl = true;
  if (FFlat) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  if (Message.LParam != 0 || !FMouseInControl) return;
  FMouseInControl = false;
  if (FFlat) Invalidate();
}

void TSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BUTTONPRESSED:
      CMButtonPressed(Message);
      return;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(Message);
      return;
    case CM_MOUSEENTER:
      CMMouseEnter(Message);
      return;
    case CM_MOUSELEAVE:
      CMMouseLeave(Message);
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(Message);
      Invalidate();
      return;
    default:
      TGraphicControl::Dispatch(Message);
      return;
  }
}

bool TSpeedButton::Inside(int X, int Y) const {
  return X >= 0 && Y >= 0 && X < Width() && Y < Height();
}

void TSpeedButton::Click() {
  TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  TButtonState NewState = FDown ? bsExclusive : bsUp;
  if (Inside(X, Y)) NewState = FDown ? bsExclusive : bsDown;
  if (NewState == FState) return;
  FState = NewState;
  Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FDragging) return;
  FDragging = false;
  const bool DoClick = Inside(X, Y);
  FMouseInControl = DoClick;
  if (FGroupIndex == 0) {
    FState = bsUp;
  } else {
    if (DoClick) SetDown(!FDown);
    // The last button of a group that may not be all up stays down.
    FState = FDown ? bsExclusive : bsUp;
  }
  Invalidate();
  if (DoClick) {
    TObjectProtector Protector(this);
    Click();
  }
}

void TSpeedButton::Paint() {
  if (!Enabled()) {
    FState = bsDisabled;
    FDragging = false;
  } else if (FState == bsDisabled) {
    FState = (FDown && FGroupIndex != 0) ? bsExclusive : bsUp;
  }
  TCanvas* C = Canvas();
  C->SetFont(Font());
  HDC DC = C->Handle();
  RECT R = ClientRect();
  const bool Pressed = FState == bsDown || FState == bsExclusive;
  if (FFlat) {
    if (!FTransparent || Pressed) {
      C->Brush()->SetColor(FState == bsExclusive && !FMouseInControl ? clBtnHighlight : clBtnFace);
      C->FillRect(R);
    }
    if (FState != bsDisabled && (FMouseInControl || Pressed || ComponentState().Contains(csDesigning))) {
      RECT Edge = R;
      DrawEdge(DC, &Edge, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
  } else {
    UINT Flags = DFCS_BUTTONPUSH;
    if (Pressed) Flags |= DFCS_PUSHED;
    if (FState == bsDisabled) Flags |= DFCS_INACTIVE;
    RECT Face = R;
    DrawFrameControl(DC, &Face, DFC_BUTTON, Flags);
    if (FState == bsExclusive) {
      // A button that stays down shows a lighter face.
      RECT Inner = R;
      InflateRect(&Inner, -2, -2);
      C->Brush()->SetColor(clBtnHighlight);
      C->FillRect(Inner);
    }
  }
  SetTextColor(DC, Rgb(Font()->Color()));
  RECT Inner = R;
  InflateRect(&Inner, -1, -1);
  FPainting = true;
  struct TRestore {
    bool& Flag;
    ~TRestore() { Flag = false; }
  } Restore{FPainting};
  DrawButtonContent(DC, Inner, FGlyph.get(), FNumGlyphs, Caption(), FLayout, FMargin, FSpacing, FState,
                    Pressed ? POINT{1, 1} : POINT{0, 0});
}
