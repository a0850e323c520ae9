// The colour list: building the master list of colours, sorting and filtering it into the list
// box's items, drawing an item (swatch, name, the none entry's cross), and the drop-down mode it
// has as a colour combo's list (hot tracking, closing the combo on release).

#include <algorithm>

#include "platform/forms/canvas.h"
#include "platform/forms/messagebox.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"
#include "vcontrols/combos/vccolorcombo.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vchosts.h"

KORCAM_REGISTER_CLASS(TvcCustomColorList)
KORCAM_REGISTER_CLASS(TvcColorList)

namespace {

int FontHeightOf(HFONT Font) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font);
  TEXTMETRICA Metrics{};
  GetTextMetricsA(DC, &Metrics);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return Metrics.tmHeight;
}

bool IsHexText(const std::string& Value) {
  int32_t Number = 0;
  return !Value.empty() && TryStrToInt("$" + Value, Number);
}

uint8_t Brightest(TColor Color) {
  const uint32_t Rgb = uint32_t(ColorToRGB(Color));
  return uint8_t(std::max({Rgb & 0xFF, Rgb >> 8 & 0xFF, Rgb >> 16 & 0xFF}));
}

}  // namespace

TvcCustomColorList::TvcCustomColorList(TComponent* AOwner) : TCustomListBox(AOwner) {
  FControlStyle.Exclude(csFixedHeight);
  FControlStyle.Include(csReplicatable);
  SetStyle(lbOwnerDrawFixed);
  FColorWidth = std::min(FontHeightOf(HFONT(GetStockObject(SYSTEM_FONT))), FontHeightOf(Font()->Handle())) - 1;
  FCustomColorList.OnChange = [this](TStringList&) { CustomColorsChanged(); };
}

TvcCustomColorList::~TvcCustomColorList() {
  FCustomColorList.OnChange = nullptr;
}

bool TvcCustomColorList::IsDropDown() const {
  return dynamic_cast<TvcCustomColorCombo*>(Owner()) != nullptr;
}

// ---- settings ----------------------------------------------------------------------------------

void TvcCustomColorList::SetAlignment(TLeftRight Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TvcCustomColorList::SetColorAlignment(TLeftRight Value) {
  if (Value == FColorAlignment) return;
  FColorAlignment = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TvcCustomColorList::SetColorWidth(int32_t Value) {
  if (Value == FColorWidth) return;
  FColorWidth = Value;
  Invalidate();
}

void TvcCustomColorList::SetColorMargin(int32_t Value) {
  if (Value < 0 || Value == FColorMargin) return;
  FColorMargin = Value;
  Invalidate();
}

void TvcCustomColorList::SetOptions(const TvcColorListBoxOptions& Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  if (!Loading()) BuildColorList();
}

void TvcCustomColorList::SetGreyScaleIncrement(int32_t Value) {
  if (Value < 1 || Value > 255 || Value == FGreyScaleIncrement) return;
  FGreyScaleIncrement = Value;
  if (!Loading()) BuildColorList();
}

void TvcCustomColorList::SetNoneString(const std::string& Value) {
  if (Value == FNoneString) return;
  FNoneString = Value;
  if (!Loading()) BuildColorList();
}

void TvcCustomColorList::SetSortBy(TvcSortByOption Value) {
  if (Value == FSortBy) return;
  FSortBy = Value;
  // Names sort in the list box itself unless the system colours keep a group of their own.
  SetSorted(Value == csoByName && !FOptions.Contains(ccoGroupSystemColors));
  SortAndShow();
}

TStrings* TvcCustomColorList::CustomColors() const {
  return const_cast<TStringList*>(&FCustomColorList);
}

void TvcCustomColorList::SetCustomColors(TStrings* Value) {
  if (Value == &FCustomColorList) return;
  // The copy rebuilds through the list's change event, also while loading.
  if (Value)
    FCustomColorList.Assign(*Value);
  else
    FCustomColorList.Clear();
  if (!Loading()) BuildColorList();
  WarnOfDuplicateNames();
}

void TvcCustomColorList::WarnOfDuplicateNames() {
  std::string Name;
  if (!FindDuplicateName(Name)) return;
  const std::string Text = "Duplicate Color Name Not Allowed: " + Name;
  MessageDlg(Text, mtWarning, TMsgDlgButtons{mbOK}, 0);
}

void TvcCustomColorList::CustomColorsChanged() {
  BuildColorList();
}

TColor TvcCustomColorList::SelectedColor() const {
  return ItemIndex() < 0 ? vcNoColor : FSelectedColor;
}

void TvcCustomColorList::SetSelectedColor(TColor Value) {
  if (Value == SelectedColor()) return;
  FSelectedColor = Value;
  if (FMasterList.Count() == 0) return;
  const int Master = IndexOfValue(ValueTextOf(Value), FMasterList);
  if (Master >= 0) {
    const int Shown = IndexOfName(GetNameAt(FMasterList, Master), *Items());
    if (Shown >= 0) {
      SelectIndex(Shown);
      return;
    }
  }
  if (Value == vcNoColor) {
    SelectIndex(-1);
    return;
  }
  if (Master < 0) AddColor(ColorToRGBText(Value), ValueTextOf(Value));
}

// ---- the master list ---------------------------------------------------------------------------

bool TvcCustomColorList::AddColor(std::string Name, const std::string& Hex) {
  if (IndexOfValue(Hex, FMasterList) >= 0 || IndexOfName(Name, FMasterList) >= 0) return false;
  const bool Added = Name.compare(0, 4, "RGB:") == 0;
  if (Added) {
    bool Accept = true;
    if (OnAddNewColor) OnAddNewColor(this, ColorOfValueText(Hex), Name, Accept);
    if (!Accept) return false;
  }
  FMasterList.Add(Name + "=" + Hex);
  if (Added) {
    if (IndexOfValue(Hex, FAddedColors) < 0) FAddedColors.Add(Name + "=" + Hex);
    SortAndShow();
  }
  return true;
}

bool TvcCustomColorList::FindDuplicateName(std::string& Name) {
  const int Count = FMasterList.Count();
  for (int First = 0; First < Count; ++First)
    for (int Later = First + 1; Later < Count; ++Later)
      if (AnsiCompareStr(GetNameAt(FMasterList, First), GetNameAt(FMasterList, Later)) == 0) {
        Name = GetNameAt(FMasterList, Later);
        return true;
      }
  return false;
}

void TvcCustomColorList::BuildColorList() {
  TStringList Library;
  FillColorNames(FOptions, FNoneString, Library);
  FMasterList.Clear();
  for (int Index = 0; Index < Library.Count(); ++Index) AddColor(GetNameAt(Library, Index), GetValueAt(Library, Index));
  if (FOptions.Contains(ccoShowCustomColors)) {
    for (int Index = 0; Index < FCustomColorList.Count(); ++Index) {
      // A value that is not hexadecimal names no colour: it is left out, as a duplicate is,
      // rather than failing every time the list is drawn.
      const std::string Value = GetValueAt(FCustomColorList, Index);
      if (IsHexText(Value)) AddColor(GetNameAt(FCustomColorList, Index), Value);
    }
  }
  // Added colours are kept across rebuilds; a copy, since adding may refuse and keep them.
  TStringList Added;
  Added.Assign(FAddedColors);
  for (int Index = 0; Index < Added.Count(); ++Index) {
    const std::string Name = GetNameAt(Added, Index), Value = GetValueAt(Added, Index);
    if (IndexOfValue(Value, FMasterList) < 0 && IndexOfName(Name, FMasterList) < 0) FMasterList.Add(Name + "=" + Value);
  }
  if (FOptions.Contains(ccoShowGreyScale)) {
    int Number = 1;
    for (int Shade = 0; Shade < 256; Shade += FGreyScaleIncrement)
      if (AddColor("Grey" + std::to_string(Number), ColorBytesToHex(uint8_t(Shade), uint8_t(Shade), uint8_t(Shade))))
        ++Number;
  }
  SortAndShow();
}

void TvcCustomColorList::SortAndShow() {
  const TColor Stored = FSelectedColor;
  if (FMasterList.Count() > 0) {
    const bool Group = FOptions.Contains(ccoGroupSystemColors);
    switch (FSortBy) {
      case csoByRGB:
      case csoByIntensity: {
        const bool ByIntensity = FSortBy == csoByIntensity;
        FMasterList.CustomSort([ByIntensity, Group](TStringList& List, int A, int B) {
          return CompareColorValues(GetValueAt(List, A), GetValueAt(List, B), ByIntensity, Group);
        });
        break;
      }
      case csoByName:
        if (Group)
          FMasterList.CustomSort(
              [](TStringList& List, int A, int B) { return CompareColorNamesGrouped(List.Get(A), List.Get(B)); });
        break;
      case csoNone:
        break;
    }
  }
  FillItems();
  const int Master = IndexOfValue(ValueTextOf(Stored), FMasterList);
  FSelectedColor = Stored;
  if (Master >= 0) {
    const int Shown = IndexOfName(GetNameAt(FMasterList, Master), *Items());
    if (Shown >= 0) SelectIndex(Shown);
  }
}

void TvcCustomColorList::FillItems() {
  TStrings* Shown = Items();
  // Emptied, the list has no current item: an index kept over the refill would point at whatever
  // colour comes to lie there.
  SetItemIndex(-1);
  Shown->BeginUpdate();
  Shown->Clear();
  FIndexMap.clear();
  for (int Index = 0; Index < FMasterList.Count(); ++Index) {
    if (OnFilterColor) {
      bool Accept = true;
      OnFilterColor(this, ColorOfValueText(GetValueAt(FMasterList, Index)), GetNameAt(FMasterList, Index), Accept);
      if (!Accept) continue;
    }
    // A list that sorts its items puts each where it belongs; the map follows it there.
    const int At = Shown->Add(FMasterList.Get(Index));
    FIndexMap.insert(FIndexMap.begin() + std::clamp(At, 0, int(FIndexMap.size())), Index);
  }
  Shown->EndUpdate();
}

TColor TvcCustomColorList::ColorOfItem(int Index) {
  return GetColorValueAt(*Items(), Index);
}

int TvcCustomColorList::GetCurrentIndex() {
  return HandleAllocated() ? int(Perform(LB_GETCURSEL, 0, 0)) : ItemIndex();
}

void TvcCustomColorList::SelectIndex(int Index) {
  const int Target = Index >= 0 && Index < Count() ? Index : -1;
  if (ItemIndex() != Target) SetItemIndex(Target);
  FSelectedColor = Target >= 0 ? ColorOfItem(Target) : vcNoColor;
}

void TvcCustomColorList::Loaded() {
  TCustomListBox::Loaded();
  BuildColorList();
}

void TvcCustomColorList::Click() {
  // A mouse click counts once, from its press to its release: the press took the previous
  // colour, and the selection the list reports while the button is held does not replace it.
  if (!FPressing) FPreviousColor = FSelectedColor;
  const int Current = GetCurrentIndex();
  if (Current >= 0 && Current < Count()) FSelectedColor = ColorOfItem(Current);
  TCustomListBox::Click();
}

// ---- the window ------------------------------------------------------------------------------------

void TvcCustomColorList::CreateParams(TCreateParams& Params) {
  // A colour combo's list is a top-level tool window that never takes the activation.
  if (IsDropDown()) SetPopup(true);
  TCustomListBox::CreateParams(Params);
  Params.Style |= LBS_OWNERDRAWFIXED;
  Params.WindowClass.style |= CS_DBLCLKS;
  if (IsDropDown()) {
    FControlStyle.Include(csNoDesignVisible);
    Params.WindowClass.style |= CS_SAVEBITS;
  }
}

void TvcCustomColorList::CreateWnd() {
  TCustomListBox::CreateWnd();
  BuildColorList();
}

void TvcCustomColorList::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST:
      DefaultHandler(Message);
      return;
    case WM_SIZE:
      TCustomListBox::Dispatch(Message);
      if (IsDesigning(this) && !IsDropDown()) Invalidate();
      return;
    default:
      break;
  }
  TCustomListBox::Dispatch(Message);
}

// ---- drawing -------------------------------------------------------------------------------------

void TvcCustomColorList::DrawItem(int Index, RECT Rect, TOwnerDrawState State) {
  if (Index < 0 || Index >= Count()) return;
  TCanvas* C = Canvas();
  C->SetFont(Font());
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  const int SwatchHeight = FItemHeight - 2 * FColorMargin;
  const int SwatchWidth = FColorWidth == 0 ? SwatchHeight : FColorWidth;
  // A value that is not a colour draws as no colour rather than failing the paint.
  TColor ItemColor = vcNoColor;
  int32_t Parsed = 0;
  if (TryStrToInt("$" + GetValueAt(*Items(), Index), Parsed)) ItemColor = Parsed;
  DrawColorItem(C, Index, ItemColor, GetNameAt(*Items(), Index), State, Rect, SwatchHeight, SwatchWidth);
}

void TvcCustomColorList::DrawColorItem(TCanvas* ACanvas, int Index, TColor ItemColor, const std::string& Name,
                                       TOwnerDrawState State, RECT R, int SwatchHeight, int SwatchWidth) {
  (void)Index;
  const TColor SavedBrush = ACanvas->Brush()->Color();
  const TColor SavedFont = ACanvas->Font()->Color();
  const TColor SavedPen = ACanvas->Pen()->Color();
  HDC DC = ACanvas->Handle();
  const int SavedMode = GetBkMode(DC);
  const bool Selected = State.Contains(odSelected);
  const bool SelectedFocused = Selected && State.Contains(odFocused);
  const bool HasFocus = HandleAllocated() && GetFocus() == HandleIfAllocated();
  const TColor Selection = HasFocus || IsDropDown() ? clHighlight : clBtnFace;
  const TColor SelectionText = Brightest(Selection) <= 128 ? clHighlightText : clWindowText;
  const TColor Background = Selected ? Selection : SavedBrush;
  const TColor TextColor = Selected ? SelectionText : SavedFont;
  const bool None = ItemColor == clNone;
  const bool NoSwatch = ItemColor == vcNoColor;
  const bool Names = FOptions.Contains(ccoShowColorNames);
  const int M = FColorMargin;

  // Where the swatch and the name go.
  const int NameWidth = Names ? ACanvas->TextWidth(None ? (FNoneString.empty() ? "None" : FNoneString) : Name) : 0;
  const int Gap = (R.bottom - R.top - SwatchHeight) / 2;
  RECT S{}, T{};
  if (!Names) {
    S = R;
    InflateRect(&S, -M, -M);
  } else if (FColorAlignment != taRightJustify) {
    S = RECT{R.left + M, R.top + Gap, R.left + M + SwatchWidth, R.bottom - Gap};
    if (FAlignment != taRightJustify) {
      T = RECT{S.right + M, R.top, R.right - M, R.bottom};
    } else {
      S.right = std::min<LONG>(R.left + M + SwatchWidth, R.right - NameWidth - 2 * M);
      T = RECT{S.left + M, R.top, R.right - M, R.bottom};
    }
  } else {
    const int SwatchLeft = std::max<int>(R.right - M - SwatchWidth, NameWidth + 2 * M);
    S = RECT{SwatchLeft, R.top + M, R.right - M, R.bottom - M};
    if (FAlignment != taRightJustify)
      T = RECT{R.left + M, R.top, SwatchLeft, R.bottom};
    else
      T = RECT{R.left + M, R.top, std::max<int>(R.right - 2 * M - SwatchWidth, R.left + NameWidth + M), R.bottom};
  }

  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(Background);
  ACanvas->FillRect(R);

  TColor CrossColor = SelectedFocused ? SelectionText : SavedFont;
  if (!NoSwatch) {
    ACanvas->Pen()->SetColor(TextColor);
    ACanvas->Brush()->SetColor(None ? (SelectedFocused && Names ? Selection : SavedBrush) : ItemColor);
    if (None) {
      if (SelectedFocused && Names)
        ACanvas->Pen()->SetColor(SelectionText);
      else if (!Names)
        ACanvas->Pen()->SetColor(Background);
      else
        ACanvas->Pen()->SetColor(SavedFont);
    }
    ACanvas->Rectangle(S);
  }

  SetBkMode(ACanvas->Handle(), TRANSPARENT);
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Font()->SetColor(TextColor);
  if (Names) {
    const std::string Text = None ? (FNoneString.empty() ? "None" : FNoneString) : Name;
    const UINT Align = FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawTextA(ACanvas->Handle(), Text.c_str(), -1, &T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | Align);
  }
  if (None && !NoSwatch) {
    if (!Names) {
      ACanvas->Font()->SetColor(SavedFont);
      RECT Box = S;
      DrawTextA(ACanvas->Handle(), FNoneString.c_str(), -1, &Box, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    } else {
      ACanvas->Pen()->SetColor(CrossColor);
      ACanvas->MoveTo(S.left, S.top);
      ACanvas->LineTo(S.right, S.bottom);
      ACanvas->MoveTo(S.left, S.bottom - 1);
      ACanvas->LineTo(S.right, S.top - 1);
    }
  }
  SetBkMode(ACanvas->Handle(), OPAQUE);
  if (SelectedFocused) ACanvas->DrawFocusRect(R);
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(SavedBrush);
  ACanvas->Font()->SetColor(SavedFont);
  ACanvas->Pen()->SetColor(SavedPen);
  SetBkMode(ACanvas->Handle(), SavedMode);
}

// ---- the drop-down -------------------------------------------------------------------------------

void TvcCustomColorList::ClearDropDownMarks() {
  FPressedInList = false;
  FTrackingStopped = false;
  FHotPoint = POINT{0, 0};
  FHotItem = -1;
}

void TvcCustomColorList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // The colour before the click, also when the press lands on the item already current (the
  // list then reports no change) or drags over several (it reports each).
  if (Button == mbLeft) {
    FPreviousColor = FSelectedColor;
    FPressing = true;
  }
  TCustomListBox::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (auto* Combo = dynamic_cast<TvcCustomColorCombo*>(Owner());
      Combo && IsClassNamed(&Combo->ClassType(), "TvcColorCombo"))
    Combo->CloseUpIfOutside();
  FPressedInList = true;
}

void TvcCustomColorList::MouseMove(TShiftState Shift, int X, int Y) {
  if (!IsDropDown()) {
    TCustomListBox::MouseMove(Shift, X, Y);
    return;
  }
  // Hot tracking: the item under the mouse becomes the current one, without a click.
  TCustomControl::MouseMove(Shift, X, Y);
  if (FTrackingStopped) return;
  FHotPoint = POINT{X, Y};
  const int Under = ItemAtPos(POINT{X, Y}, true);
  if (Under < 0 || Under == ItemIndex()) return;
  FHotItem = Under;
  SetItemIndex(Under);
}

void TvcCustomColorList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  struct TEndPress {
    bool& Pressing;
    bool Left;
    ~TEndPress() {
      if (Left) Pressing = false;
    }
  } EndPress{FPressing, Button == mbLeft};
  if (Count() == 0) return;
  const RECT Client = ClientRect();
  const bool Inside = PtInRect(&Client, POINT{X, Y});
  if (Button == mbLeft) {
    const int Current = GetCurrentIndex();
    if (Current >= 0 && Inside) SetSelectedColor(ColorOfItem(Current));
  }
  TCustomListBox::MouseUp(Button, Shift, X, Y);
  const bool Pressed = FPressedInList;
  if (Button == mbLeft && IsDropDown() && (Pressed || Inside)) {
    if (auto* Combo = dynamic_cast<TvcCustomColorCombo*>(Owner())) Combo->CloseUp(Inside);
  }
  FTrackingStopped = !Pressed;
}
