#include "kvcontrols/editors/kvcombobox.h"

#include <algorithm>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvtextutils.h"
#include "platform/db/datalink.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/forms/screen.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/clock.h"
#include "platform/user/input.h"
#include "platform/user/message.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvPopupListbox)
KORCAM_REGISTER_CLASS(TkvDBCustomComboBox)
KORCAM_REGISTER_CLASS(TkvDBComboBox)

namespace {

constexpr uint32_t TypeAheadGap = 1500;  // ms without a key before the type-ahead text restarts

// The first piece of an item (before the TAB) and the second (after it; empty without a TAB).
std::string FirstPiece(const std::string& Item) {
  int Position = 1;
  std::string Token;
  kvNextToken(Item, "\t", Position, Token);
  return Token;
}

std::string SecondPiece(const std::string& Item) {
  int Position = 1;
  std::string Token;
  kvNextToken(Item, "\t", Position, Token);
  if (Position <= 0) return std::string();
  kvNextToken(Item, "\t", Position, Token);
  return Token;
}

bool StartsWithIgnoreCase(const std::string& Text, const std::string& Prefix) {
  return Text.size() >= Prefix.size() && kvEqualsIgnoreCase(std::string_view(Text).substr(0, Prefix.size()), Prefix);
}

// Code points of a UTF-8 text (positions of the edit are counted in them).
int CodePoints(const std::string& Text) {
  int Count = 0;
  for (unsigned char C : Text)
    if ((C & 0xC0) != 0x80) ++Count;
  return Count;
}

// Byte offset of code point Index.
size_t ByteOffset(const std::string& Text, int Index) {
  size_t Offset = 0;
  int Seen = 0;
  while (Offset < Text.size()) {
    if ((static_cast<unsigned char>(Text[Offset]) & 0xC0) != 0x80) {
      if (Seen == Index) return Offset;
      ++Seen;
    }
    ++Offset;
  }
  return Text.size();
}

std::string Utf8Of(char32_t Key) {
  std::string Out;
  if (Key < 0x80) {
    Out += char(Key);
  } else if (Key < 0x800) {
    Out += char(0xC0 | (Key >> 6));
    Out += char(0x80 | (Key & 0x3F));
  } else if (Key < 0x10000) {
    Out += char(0xE0 | (Key >> 12));
    Out += char(0x80 | ((Key >> 6) & 0x3F));
    Out += char(0x80 | (Key & 0x3F));
  } else {
    Out += char(0xF0 | (Key >> 18));
    Out += char(0x80 | ((Key >> 12) & 0x3F));
    Out += char(0x80 | ((Key >> 6) & 0x3F));
    Out += char(0x80 | (Key & 0x3F));
  }
  return Out;
}

}  // namespace

// ---- items ---------------------------------------------------------------------------------------

void TkvComboStringList::MarkStale() {
  if (FCombo) FCombo->MarkListStale();
}

int TkvComboStringList::AddObject(const std::string& S, TObject* Object) {
  const int Result = TStringList::AddObject(S, Object);
  MarkStale();
  return Result;
}

void TkvComboStringList::Clear() {
  TStringList::Clear();
  MarkStale();
}

void TkvComboStringList::Delete(int Index) {
  TStringList::Delete(Index);
  MarkStale();
}

void TkvComboStringList::Exchange(int Index1, int Index2) {
  TStringList::Exchange(Index1, Index2);
  MarkStale();
}

void TkvComboStringList::Insert(int Index, const std::string& S) {
  TStringList::Insert(Index, S);
  MarkStale();
}

void TkvComboStringList::Sort() {
  TStringList::Sort();
  if (FCombo && FCombo->ListBox()) FCombo->ListBox()->Items().Sort();
}

// ---- the pop-up list -------------------------------------------------------------------------------

TkvPopupListbox::TkvPopupListbox(TComponent* AOwner)
    : TCustomControl(AOwner), FCombo(dynamic_cast<TkvDBCustomComboBox*>(AOwner)) {
  FControlStyle.Include(csReplicatable);
  FControlStyle.Include(csNoDesignVisible);
  FVisible = false;
  FColor = clWindow;
  FItems.SetCaseSensitive(false);
}

void TkvPopupListbox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.WndParent = nullptr;  // a top-level window, not a child of the combo
}

void TkvPopupListbox::SetItemIndex(int Value) {
  FItemIndex = Value >= 0 && Value < FItems.Count() ? Value : -1;
  ScrollIntoView();
  Invalidate();
}

void TkvPopupListbox::ResetScroll() {
  FTopIndex = 0;
  ScrollIntoView();
  Invalidate();
}

void TkvPopupListbox::ScrollIntoView() {
  if (FItemIndex < 0 || FItemHeight <= 0) return;
  const int Visible = std::max(1, (ClientHeight() - 2) / FItemHeight);
  if (FItemIndex < FTopIndex) FTopIndex = FItemIndex;
  if (FItemIndex >= FTopIndex + Visible) FTopIndex = FItemIndex - Visible + 1;
}

int TkvPopupListbox::FindPrefix(const std::string& Prefix, int StartAfter) const {
  const int Count = FItems.Count();
  for (int Step = 1; Step <= Count; ++Step) {
    const int Index = ((StartAfter < 0 ? -1 : StartAfter) + Step) % Count;
    if (StartsWithIgnoreCase(FItems[Index], Prefix)) return Index;
  }
  return -1;
}

int TkvPopupListbox::SelectString(int StartAfter, const std::string& Prefix) {
  const int Found = FindPrefix(Prefix, StartAfter);
  if (Found >= 0) SetItemIndex(Found);
  return Found;
}

RECT TkvPopupListbox::ItemRect(int Index) const {
  const int Top = (Index - FTopIndex) * FItemHeight;
  return RECT{0, Top, ClientWidth(), Top + FItemHeight};
}

int TkvPopupListbox::ItemAtPos(POINT Point) const {
  if (Point.x < 0 || Point.x >= ClientWidth() || Point.y < 0 || FItemHeight <= 0) return -1;
  const int Index = FTopIndex + Point.y / FItemHeight;
  return Index < FItems.Count() ? Index : -1;
}

bool TkvPopupListbox::MoveByKey(WORD Key) {
  const int Count = FItems.Count();
  if (Count == 0) return false;
  const int Page = std::max(1, ClientHeight() / std::max(1, FItemHeight));
  int Index = FItemIndex;
  switch (Key) {
    case VK_DOWN: Index = Index < 0 ? 0 : std::min(Index + 1, Count - 1); break;
    case VK_UP: Index = Index < 0 ? 0 : std::max(Index - 1, 0); break;
    case VK_NEXT: Index = std::min(std::max(Index, 0) + Page - 1, Count - 1); break;
    case VK_PRIOR: Index = std::max(std::max(Index, 0) - Page + 1, 0); break;
    case VK_HOME: Index = 0; break;
    case VK_END: Index = Count - 1; break;
    default: return false;
  }
  SetItemIndex(Index);
  return true;
}

void TkvPopupListbox::Paint() {
  TCanvas* C = Canvas();
  C->Font()->Assign(Font());
  for (int Index = FTopIndex; Index < FItems.Count(); ++Index) {
    const RECT R = ItemRect(Index);
    if (R.top >= ClientHeight()) break;
    const bool Selected = Index == FItemIndex;
    if (FCombo && FCombo->OnDrawItem && FCombo->IsOwnerDrawn()) {
      if (!Selected) {
        C->Brush()->SetColor(Color());
        C->FillRect(R);
      }
      // The owner draws the item; a failing handler costs its item the drawing, not the list.
      try {
        FCombo->OnDrawItem(FCombo, Index, R, Selected ? kvodSelected | kvodFocused : 0);
      } catch (const std::exception&) {
      }
      continue;
    }
    C->Brush()->SetColor(Selected ? clHighlight : Color());
    C->Font()->SetColor(Selected ? clHighlightText : Font()->Color());
    C->FillRect(R);
    if (FCombo && FCombo->TwoColumnDisplay()) {
      const int Column1 = FCombo->Column1Width() ? FCombo->Column1Width() : ClientWidth() / 2;
      const std::string& Item = FItems[Index];
      const std::string Second = FCombo->MapList() ? FCombo->DisplayToValue(Item) : FCombo->ValueToDisplay(Item);
      C->TextRect(RECT{R.left, R.top, R.left + Column1, R.bottom}, R.left + 1, R.top + 1, Item);
      C->TextRect(RECT{R.left + Column1, R.top, R.right, R.bottom}, R.left + Column1 + 1, R.top + 1, Second);
    } else {
      C->TextRect(R, R.left + 2, R.top, FItems[Index]);
    }
  }
  const RECT Rest{0, (FItems.Count() - FTopIndex) * FItemHeight, ClientWidth(), ClientHeight()};
  if (Rest.top < Rest.bottom) {
    C->Brush()->SetColor(Color());
    C->FillRect(Rest);
  }
  // The newest history entries on top are set apart by a line under the last of them.
  const int MRU = FCombo ? FCombo->HistoryList()->GetMRUCount() : 0;
  if (MRU > 0 && MRU < FItems.Count()) {
    const RECT Last = ItemRect(MRU - 1);
    C->Pen()->SetColor(clBtnShadow);
    C->MoveTo(0, Last.bottom - 1);
    C->LineTo(ClientWidth(), Last.bottom - 1);
    C->MoveTo(0, Last.bottom + 1);
    C->LineTo(ClientWidth(), Last.bottom + 1);
  }
}

void TkvPopupListbox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  const int Index = ItemAtPos(POINT{X, Y});
  if (Index >= 0) SetItemIndex(Index);
}

void TkvPopupListbox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FCombo) return;
  if (X >= 0 && Y >= 0 && X < ClientWidth() && Y < ClientHeight()) FCombo->ListMouseUp();
}

// ---- the combo box ---------------------------------------------------------------------------------

HHOOK TkvDBCustomComboBox::FMouseHook = nullptr;

TkvDBCustomComboBox::TkvDBCustomComboBox(TComponent* AOwner) : TkvDBCustomCombo(AOwner) {
  FItems = std::make_unique<TkvComboStringList>(this);
  FHistoryList = std::make_unique<TkvHistoryList>(this);
  SetButtonStyle(cbsDownArrow);
  // The data link reports to the combo box first; the edit base's own handler runs after it.
  FBaseDataChange = FDataLink->OnDataChange;
  FDataLink->OnDataChange = TNotifyEvent(this, &TkvDBCustomComboBox::ComboDataChange);
}

TkvDBCustomComboBox::~TkvDBCustomComboBox() = default;

void TkvDBCustomComboBox::BeforeDestruction() {
  FDestroying = true;
  FHistoryList.reset();  // saves itself
  // The hook is shared by every combo box: only the combo whose list is open takes it away, so
  // freeing another combo does not leave an open list without its outside-click close.
  if (FListVisible && FMouseHook) RemoveMouseHook();
  FreeAndNil(FListBox);
  TkvDBCustomCombo::BeforeDestruction();
}

TStrings* TkvDBCustomComboBox::Items() const {
  return FItems.get();
}

void TkvDBCustomComboBox::SetItems(TStrings* Value) {
  if (Value) FItems->Assign(*Value); else FItems->Clear();
  FListStale = true;
  ComboDataChange(this);
}

bool TkvDBCustomComboBox::Sorted() const {
  return FItems->Sorted();
}

void TkvDBCustomComboBox::SetSorted(bool Value) {
  FItems->SetSorted(Value);
  FListStale = true;
}

void TkvDBCustomComboBox::SetHistoryList(TkvHistoryList* Value) {
  FHistoryList->Assign(Value);
}

void TkvDBCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  // A simple combo has no drop-down, hence no button.
  SetShowButton(Value != csSimple);
  Invalidate();
}

bool TkvDBCustomComboBox::IsOwnerDrawn() const {
  return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable;
}

bool TkvDBCustomComboBox::HasEditableText() const {
  if (IsOwnerDrawn()) return false;
  return !(FStyle == csDropDownList && !FShowMatchText);
}

bool TkvDBCustomComboBox::IsEditStyle() const {
  return !IsOwnerDrawn() && FStyle != csDropDownList;
}

// ---- list building, values ---------------------------------------------------------------------

void TkvDBCustomComboBox::RebuildDropDownList() {
  if (!FListBox) FListBox = new TkvPopupListbox(this);
  TStringList& List = FListBox->Items();
  List.SetSorted(false);
  List.Clear();
  for (int Index = 0; Index < FItems->Count(); ++Index) {
    const std::string& Item = (*FItems)[Index];
    const std::string Second = SecondPiece(Item);
    List.Add(FMapList || Second.empty() ? FirstPiece(Item) : Second);
  }
  if (FHistoryList->Enabled()) {
    FHistoryList->LoadInto(List);
    if (FHistoryList->MRUEnabled()) {
      TStringList Copy;
      Copy.Assign(List);
      if (Sorted()) Copy.Sort();
      List.Assign(Copy);
      const TStringList& History = FHistoryList->Items();
      const int Count = std::min(FHistoryList->MRUMaxSize(), History.Count());
      for (int Taken = 0; Taken < Count; ++Taken) List.Insert(Taken, History[History.Count() - 1 - Taken]);
    } else if (Sorted()) {
      List.Sort();
    }
  } else if (Sorted()) {
    List.Sort();
  }
  FListStale = false;
}

void TkvDBCustomComboBox::EnsureList() {
  if (!FListBox || FListBox->Count() == 0 || FListStale) RebuildDropDownList();
}

int TkvDBCustomComboBox::IndexOfText(const std::string& Text, int StartAt) {
  if (!FListBox || FListBox->Count() == 0) return FItems->IndexOf(Text);
  const TStringList& List = FListBox->Items();
  if (StartAt == 0) return List.IndexOf(Text);
  const int Count = List.Count();
  for (int Step = 0; Step < Count; ++Step) {
    const int Index = (StartAt + Step) % Count;
    if (kvEqualsIgnoreCase(List[Index], Text)) return Index;
  }
  return -1;
}

int32_t TkvDBCustomComboBox::ItemIndex() const {
  return FListBox ? FListBox->ItemIndex() : FStoredIndex;
}

void TkvDBCustomComboBox::SetItemIndex(int32_t Value) {
  FStoredIndex = Value;
  EnsureList();
  FListBox->SetItemIndex(Value);
  if (Value >= 0 && Value < FListBox->Count())
    SetText(FListBox->Items()[Value]);
  else if (Value == -1)
    SetText("");
}

std::string TkvDBCustomComboBox::DisplayToValue(const std::string& Display) const {
  if (!FMapList && !FTwoColumnDisplay) return Display;
  std::string Result = FTwoColumnDisplay ? Display : std::string();
  for (int Index = 0; Index < FItems->Count(); ++Index)
    if (kvEqualsIgnoreCase(FirstPiece((*FItems)[Index]), Display)) return SecondPiece((*FItems)[Index]);
  return Result;
}

std::string TkvDBCustomComboBox::ValueToDisplay(const std::string& Value) const {
  if (!FMapList && !FTwoColumnDisplay) return Value;
  for (int Index = 0; Index < FItems->Count(); ++Index)
    if (SecondPiece((*FItems)[Index]) == Value) return FirstPiece((*FItems)[Index]);
  return std::string();
}

void TkvDBCustomComboBox::GetValueText(std::string& Text) const {
  const std::string Shown = this->Text();
  Text = FStyle == csDropDown && Shown.empty() ? std::string() : DisplayToValue(Shown);
}

void TkvDBCustomComboBox::PaintText(TCanvas* Canvas, const RECT& Rect, const std::string& Text, int X, int Y) {
  if (!OnDrawItem || !IsOwnerDrawn()) return TkvDBCustomCombo::PaintText(Canvas, Rect, Text, X, Y);
  Canvas->Brush()->SetColor(Color());
  if (FListVisible) Canvas->Font()->SetColor(Font()->Color());
  Canvas->FillRect(Rect);
  try {
    OnDrawItem(this, FStoredIndex, Rect, kvodFocused);
  } catch (const std::exception&) {
    // The edit part stays cleared; painting must not raise.
  }
}

bool TkvDBCustomComboBox::GetDisplayText(const std::string& Value, std::string& Text) const {
  if (!FMapList) return false;
  Text = ValueToDisplay(Value);
  return true;
}

void TkvDBCustomComboBox::SelectValue(const std::string& Value) {
  StartEdit();
  EnsureList();
  if (FMapList) {
    FStoredIndex = -1;
    for (int Index = 0; Index < FItems->Count(); ++Index) {
      if (SecondPiece((*FItems)[Index]) != Value) continue;
      const std::string Display = FirstPiece((*FItems)[Index]);
      if (IndexOfText(Display, 0) >= 0) {
        FStoredIndex = Index;
        FListBox->SetItemIndex(IndexOfText(Display, 0));
        SetText(Display);
      }
      break;
    }
    if (FStoredIndex == -1) SetText("");
  } else {
    FStoredIndex = IndexOfText(Value, 0);
    SetText(Value);
  }
}

void TkvDBCustomComboBox::SetValueText(const std::string& Data) {
  std::string Current;
  GetValueText(Current);
  if (Data == Current && !(Data.empty() && FMapList)) return;
  if (FStyle == csDropDown && !FMapList) {
    SetText(Data);
    FStoredIndex = IndexOfText(Data, 0);
    return;
  }
  int Index = -1;
  if (FMapList) {
    for (int Item = 0; Item < FItems->Count(); ++Item)
      if (SecondPiece((*FItems)[Item]) == Data) {
        const std::string Display = FirstPiece((*FItems)[Item]);
        Index = IndexOfText(Display, 0);
        SetText(Display);
        break;
      }
  } else if (!Data.empty()) {
    Index = IndexOfText(Data, 0);
  }
  if (FListBox)
    SetItemIndex(Index);
  else
    FStoredIndex = Index;
  if (Index < 0 && ItemIndex() < 0) SetText("");
}

void TkvDBCustomComboBox::ComboDataChange(TObject* Sender) {
  if (FClosing || FDestroying) return;
  if (FMapList || FHistoryList->Enabled()) EnsureList();
  TField* F = Field();
  if (FMapList) {
    SetValueText(F ? F->AsString() : std::string());
  } else if (F) {
    SetValueText(F->DisplayText());
    if (IsOwnerDrawn()) {
      FStoredIndex = IndexOfText(F->AsString(), 0);
      Invalidate();
    }
  }
  if (!FMapList) FBaseDataChange(Sender);
}

// ---- history -------------------------------------------------------------------------------------

void TkvDBCustomComboBox::RemoveFromHistory(const std::string& Text, bool FromHistory) {
  if (FromHistory) {
    const int Index = FHistoryList->Items().IndexOf(Text);
    if (Index >= 0) FHistoryList->Items().Delete(Index);
  }
  if (!FListBox) return;
  for (int Removed = 0; Removed < 2; ++Removed) {
    const int Index = FListBox->Items().IndexOf(Text);
    if (Index < 0) break;
    FListBox->Items().Delete(Index);
  }
}

void TkvDBCustomComboBox::AddToHistory(std::string Text, bool ToHistory) {
  kvTrimTrailingChars(Text, "\t ");
  if (Text.empty()) return;
  bool Accept = true;
  OnAddHistoryItem(this, Text, Accept);
  if (!Accept) return;
  if (ToHistory) {
    TStringList& History = FHistoryList->Items();
    const int Existing = History.IndexOf(Text);
    if (Existing >= 0) History.Delete(Existing);
    History.Add(Text);
  }
  if (FListBox && FListBox->Items().IndexOf(Text) < 0) FListBox->Items().Add(Text);
}

void TkvDBCustomComboBox::ClearHistory() {
  FHistoryList->Items().Clear();
  FHistoryList->Save();
}

// ---- drop-down and close-up -----------------------------------------------------------------

void TkvDBCustomComboBox::DropDown() {
  if (FListVisible || FStyle == csSimple) return;
  Invalidate();
  RebuildDropDownList();
  FListBox->SetColor(Color());
  FListBox->Font()->Assign(Font());
  if (OnDropDown) {
    OnDropDown(this);
    RebuildDropDownList();
  }
  if (FDisableDropDownList) return;

  int RowHeight = FItemHeight;
  if (RowHeight == 0) RowHeight = FListBox->Canvas()->TextHeight("A") + 2;
  FListBox->SetItemHeight(RowHeight);
  const int Count = FListBox->Count();
  const int ListHeight = (Count < FDropDownCount ? Count : FDropDownCount) * RowHeight + 4;
  const int ListWidth = FDropDownWidth ? FDropDownWidth : FColumn1Width ? FColumn1Width * 3 / 2 : Width();
  FListBox->SetItemIndex(Text().empty() ? -1 : IndexOfText(Text(), 0));

  POINT Origin = ClientToScreen(POINT{0, 0});
  RECT WindowRect{};
  GetWindowRect(Handle(), &WindowRect);
  int Top = WindowRect.top + Height() - (BorderStyle() != bsNone ? 1 : 0);
  RECT Work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
  if (Top + ListHeight > Work.bottom) Top = WindowRect.top - ListHeight;
  int Left = WindowRect.left;
  if (Left + ListWidth > GetSystemMetrics(SM_CXSCREEN)) Left = WindowRect.left + Width() - ListWidth - 1;
  (void)Origin;
  FListBox->SetBounds(Left, Top, ListWidth, ListHeight);
  FListBox->ResetScroll();
  SetWindowPos(FListBox->Handle(), HWND_TOPMOST, Left, Top, ListWidth, ListHeight,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FListBox->SetVisible(true);
  FListVisible = true;
  FNoKeysYet = true;
  if (HandleAllocated()) ::SetFocus(Handle());
  if (!FAutoDroppingDown && HasEditableText()) SelectAll();
  FSavedShowHint = ShowHint();
  SetShowHint(false);
  Invalidate();
  InstallMouseHook();
  FPreDropDownText = Text();
}

void TkvDBCustomComboBox::CloseUp(bool Accept) {
  if (FListVisible) {
    if (HWND Capture = GetCapture()) SendMessage(Capture, WM_CANCELMODE, 0, 0);
    const int Selected = FListBox->ItemIndex();
    std::string Chosen;
    if (Accept && !ReadOnly() && Selected >= 0 && FListBox->Count() > 0)
      Chosen = FListBox->Items()[Selected];
    else if (FStyle == csDropDown || (FStyle == csDropDownList && Selected < 0))
      Chosen = Text();
    FListBox->SetVisible(false);
    if (FListBox->HandleAllocated()) ShowWindow(FListBox->Handle(), SW_HIDE);
    FListVisible = false;

    if (Accept && (Field() || !ReadOnly())) {
      FClosing = true;
      try {
        if (Chosen != FPreDropDownText && EditCanModify()) {
          if (!Chosen.empty())
            SetText(Chosen);
          else if (FStyle == csDropDownList || FMapList)
            SetText("");
          FStoredIndex = FListBox->ItemIndex();
          SetModifiedFlag(true);
          if (FHistoryList->Enabled() && Modified()) {
            AddToHistory(Text(), true);
            FHistoryList->Save();
          }
        }
      } catch (...) {
        FClosing = false;
        throw;
      }
      FClosing = false;
    }
    if (!HasEditableText() && HandleAllocated()) HideCaret(Handle());
    Invalidate();
    if (HasEditableText()) SelectAll();
    if (InheritsFrom(TkvDBComboBox::StaticClass())) OnCloseUp(this, Accept);
    SetShowHint(FSavedShowHint);
  } else if (Accept && !FMapList && Text().empty()) {
    SetItemIndex(-1);
  }
  if (FMouseHook) RemoveMouseHook();
}

void TkvDBCustomComboBox::ListMouseUp() {
  CloseUp(true);
}

void TkvDBCustomComboBox::ListSelectionChanged() {
  if (!FSelectionChange || !FListBox || FListBox->ItemIndex() < 0 || !FListVisible) return;
  if (Field() && !FDataLink->Editing()) return;
  if (Field() || !ReadOnly()) SetText(FListBox->Items()[FListBox->ItemIndex()]);
  if (HasEditableText()) SelectAll();
}

// ---- mouse hook ------------------------------------------------------------------------------

void TkvDBCustomComboBox::InstallMouseHook() {
  if (!FMouseHook) FMouseHook = SetWindowsHookEx(WH_MOUSE, &TkvDBCustomComboBox::MouseHook, nullptr, GetCurrentThreadId());
}

void TkvDBCustomComboBox::RemoveMouseHook() {
  if (FMouseHook) UnhookWindowsHookEx(FMouseHook);
  FMouseHook = nullptr;
}

LRESULT TkvDBCustomComboBox::MouseHook(int Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT Result = CallNextHookEx(FMouseHook, Code, WParam, LParam);
  if (Code < 0 || (WParam != WM_LBUTTONDOWN && WParam != WM_NCLBUTTONDOWN)) return Result;
  auto* Combo = Screen ? dynamic_cast<TkvDBCustomComboBox*>(Screen->ActiveControl()) : nullptr;
  if (!Combo || !Combo->IsDroppedDown()) return Result;
  const POINT Point = reinterpret_cast<const MOUSEHOOKSTRUCT*>(LParam)->pt;
  RECT ListRect{}, ComboRect{};
  GetWindowRect(Combo->FListBox->Handle(), &ListRect);
  GetWindowRect(Combo->Handle(), &ComboRect);
  if (!PtInRect(&ListRect, Point) && !PtInRect(&ComboRect, Point))
    PostMessage(Combo->Handle(), CM_CANCELMODE, 0, 0);
  return Result;
}

// ---- keys ------------------------------------------------------------------------------------

bool TkvDBCustomComboBox::MayChangeValue() const {
  return Field() || !ReadOnly();
}

bool TkvDBCustomComboBox::SelectEntry(int Index, bool SelectText) {
  if (!MayChangeValue()) return false;
  EnsureList();
  if (Index < 0 || Index >= FListBox->Count()) return false;
  if (Field()) {
    if (!FDataLink->Edit()) return false;
  }
  SetItemIndex(Index);
  SetModifiedFlag(true);
  if (SelectText && HasEditableText()) SelectAll();
  return true;
}

void TkvDBCustomComboBox::KeyDown(WORD& Key, TShiftState Shift) {
  const bool Alt = Shift.Contains(ssAlt) || (GetKeyState(VK_MENU) & 0x8000) != 0;
  if (Key == VK_RETURN && FHistoryList->Enabled()) AddToHistory(Text(), true);
  if (kvIsEditingKey(Key) && Key != VK_BACK && Key != VK_DELETE && !Alt && !FListVisible && FAutoDropDown) {
    FAutoDroppingDown = true;
    DropDown();
    FAutoDroppingDown = false;
  }
  if (FShowMatchText && FStyle == csDropDownList &&
      (Key == VK_DELETE || Key == VK_BACK || (Key == 'X' && Shift.Contains(ssCtrl)))) {
    if (FAllowClearKey && SelLength() == CodePoints(Text()) && MayChangeValue() &&
        (!Field() || FDataLink->Edit())) {
      SetItemIndex(-1);
      SetModifiedFlag(true);
    }
    Key = 0;
    return;
  }
  if (!FListVisible && !kvParentIsGrid(this) && (Key == VK_DOWN || Key == VK_UP) && !Alt) {
    SelectEntry(Key == VK_DOWN ? FStoredIndex + 1 : FStoredIndex - 1, true);
    OnKeyDown(this, Key, Shift);
    Key = 0;
    return;
  }
  if (FListVisible && (FStyle != csDropDown || FAutoDropDown) && kvIsEditingKey(Key) && FNoKeysYet) {
    FNoKeysYet = false;
    StartEdit();
  }
  // While the list is open, Home, End, Left and Right stay with the edit; navigation keys that
  // nothing else takes move the list's selection, and Up and Down never reach the edit.
  if (FListVisible && Key != VK_HOME && Key != VK_END && Key != VK_LEFT && Key != VK_RIGHT) {
    if (HandleDropDownKey(Key, Shift)) {
      Key = 0;
      return;
    }
    if (Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT) {
      FSelectionChange = true;
      FListBox->MoveByKey(Key);
      ListSelectionChanged();
      FSelectionChange = false;
      if ((Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssShift)) {
        Key = 0;
        return;
      }
      Key = 0;
      return;
    }
  }
  TkvDBCustomCombo::KeyDown(Key, Shift);
}

void TkvDBCustomComboBox::KeyUp(WORD& Key, TShiftState Shift) {
  if (FAllowClearKey && (Key == VK_DELETE || Key == VK_BACK)) {
    if (FListVisible && Text().empty()) {
      SetItemIndex(-1);
    } else if (!FListVisible && FStyle == csDropDownList && !FShowMatchText && MayChangeValue()) {
      StartEdit();
      SetText("");
      SetItemIndex(-1);
      SetModifiedFlag(true);
    }
  }
  TkvDBCustomCombo::KeyUp(Key, Shift);
}

void TkvDBCustomComboBox::ListKeyPress(char32_t& Key) {
  if (!FListBox) return;
  if (Key == 27) {
    FListBox->SearchText.clear();
    return;
  }
  if (Key != 8 && Key < 32) return;
  const int Before = FListBox->ItemIndex();
  if (IsOwnerDrawn()) {
    const uint32_t Now = GetTickCount();
    if (Now - FListBox->LastKeyTick > TypeAheadGap) FListBox->SearchText.clear();
    FListBox->LastKeyTick = Now;
    if (Key == 8) {
      if (!FListBox->SearchText.empty())
        FListBox->SearchText.erase(ByteOffset(FListBox->SearchText, CodePoints(FListBox->SearchText) - 1));
    } else {
      FListBox->SearchText += Utf8Of(Key);
    }
  } else {
    // The type-ahead text is the edit's text with the key applied at the selection.
    std::string Current = Text();
    int Start = SelStart(), Length = SelLength();
    if (Key == 8) {
      if (Length == 0 && Start > 0) {
        --Start;
        Length = 1;
      }
    }
    const size_t From = ByteOffset(Current, Start);
    const size_t To = ByteOffset(Current, Start + Length);
    Current = Current.substr(0, From) + (Key == 8 ? std::string() : Utf8Of(Key)) + Current.substr(To);
    FListBox->SearchText = Current;
  }
  const int MRU = FHistoryList->GetMRUCount();
  const int Found = FListBox->SearchText.empty() ? -1 : FListBox->SelectString(MRU - 1, FListBox->SearchText);
  const std::string& Search = FListBox->SearchText;
  if (Found < 0) {
    if (Key != 8) {
      if (FListVisible && FStyle != csDropDownList) FListBox->SetItemIndex(-1);
    } else if (FStyle == csDropDownList && FShowMatchText && Search.empty()) {
      const int Start = std::max(SelStart() - 1, 0);
      SetSelStart(Start);
      SetSelLength(CodePoints(Text()) - Start);
    } else if (FStyle != csDropDownList) {
      FListBox->SetItemIndex(-1);
      SetText(Search);
      SetSelStart(CodePoints(Search));
    }
  } else if (Key == 8) {
    const std::string Entry = FListBox->Items()[Found];
    if (FStyle == csDropDownList) {
      if (kvEqualsIgnoreCase(Text(), Entry)) {
        const int Start = std::max(SelStart() - 1, 0);
        SetSelStart(Start);
        SetSelLength(CodePoints(Text()) - Start);
      } else if (StartsWithIgnoreCase(Text(), Entry)) {
        SetText(Entry);
        SetSelStart(CodePoints(Entry));
      } else {
        FListBox->SetItemIndex(Before);
        SetSelStart(std::max(SelStart() - 1, 0));
      }
    } else {
      SetText(Search);
      SetSelStart(CodePoints(Search));
      if (FListVisible && !kvEqualsIgnoreCase(Search, Entry)) FListBox->SetItemIndex(-1);
    }
  }
  Key = 0;
}

void TkvDBCustomComboBox::KeyPress(char32_t& Key) {
  EnsureList();
  // The open list sees every typed key first (its type-ahead); the key then goes on to the edit.
  if (FListVisible) {
    char32_t ListKey = Key;
    ListKeyPress(ListKey);
  }
  if ((Key == 8 || Key == 24) && FListVisible) {
    Key = 0;
    return;
  }
  if ((Key == 8 || Key == 24) && FStyle == csDropDownList) {
    RebuildDropDownList();
    ListKeyPress(Key);
    return;
  }
  // The candidate: the text with the key in place of the selection. Any character from the blank
  // up takes part in matching, letters beyond Latin-1 included.
  const std::string Current = Text();
  const int Start = SelStart(), Length = SelLength();
  const std::string Candidate = Key >= 32 ? Current.substr(0, ByteOffset(Current, Start)) + Utf8Of(Key) +
                                                Current.substr(ByteOffset(Current, Start + Length))
                                          : Current;
  if (FShowMatchText && Key >= 32 && Key != 127 && Candidate != Current &&
      Start + Length >= CodePoints(Current)) {
    const int MRU = FHistoryList->GetMRUCount();
    const int Found = FListBox->Count() ? FListBox->FindPrefix(Candidate, MRU - 1) : -1;
    if (Found >= 0) {
      if (SelectEntry(Found, false) && (!Field() || FDataLink->Editing())) {
        SetSelStart(CodePoints(Candidate));
        SetSelLength(CodePoints(Text()) - CodePoints(Candidate));
      }
      Key = 0;
      return;
    }
    if (FStyle == csDropDownList) {
      Key = 0;
      return;
    }
  } else if (!HasEditableText() && Key >= 32) {
    // First-letter search: the next entry after the stored index that begins with the key.
    const int Found = FListBox->FindPrefix(Utf8Of(Key), FStoredIndex);
    if (Found >= 0) SelectEntry(Found, true);
    if (FStyle == csDropDownList) {
      Key = 0;
      return;
    }
  }
  const bool SavedAutoFill = FAutoFillDate;
  if (FMapList) FAutoFillDate = false;
  TkvDBCustomCombo::KeyPress(Key);
  FAutoFillDate = SavedAutoFill;
  if (Key == U'\r') Key = 0;
}

void TkvDBCustomComboBox::DoEnter() {
  TkvDBCustomCombo::DoEnter();
  if (FHistoryList->Enabled()) RebuildDropDownList();
}

void TkvDBCustomComboBox::DoExit() {
  if (FListVisible) CloseUp(true);
  if (FHistoryList->Enabled() && Modified()) {
    AddToHistory(Text(), true);
    FHistoryList->Save();
  }
  TkvDBCustomCombo::DoExit();
}

void TkvDBCustomComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CANCELMODE: {
      auto* Sender = reinterpret_cast<TControl*>(Message.LParam);
      if (Sender != this && Sender != FListBox && Sender != Button()) CloseUp(true);
      return;
    }
    case WM_PASTE:
      if (FStyle == csDropDownList) return;
      break;
    case WM_CUT:
    case WM_CLEAR:
      if (FStyle == csDropDownList && FShowMatchText && !FAllowClearKey) return;
      break;
    case WM_KEYDOWN:
      if (FListVisible && Message.WParam == VK_TAB) CloseUp(true);
      break;
    default:
      break;
  }
  TkvDBCustomCombo::Dispatch(Message);
}

void kvGetEditValueText(TObject* Control, std::string& Text) {
  if (auto* Edit = dynamic_cast<TkvDBCustomEdit*>(Control)) Edit->GetValueText(Text);
}
