// The font combo: the shared glyphs, the font list and its recent block, and the font hint.

#include "vcontrols/combos/vcfontcombo.h"

#include <algorithm>
#include <cstring>

#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/screen.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/text/vctooltip.h"
#include "vcontrols/treeview/vccanvas.h"

using namespace vccombo;

KORCAM_REGISTER_CLASS(TFontImageList)
KORCAM_REGISTER_CLASS(TvcFontPopupNode)
KORCAM_REGISTER_CLASS(TvcFontPopupTreeView)
KORCAM_REGISTER_CLASS(TvcCustomFontCombo)
KORCAM_REGISTER_CLASS(TvcFontCombo)

namespace {

TFontImageList* SharedList = nullptr;
int FontCombos = 0;

TvcTreeNode* MakeFontNode(TvcTreeNodes* Owner) { return new TvcFontPopupNode(Owner); }

bool IsRecent(TvcTreeNode* Node) {
  auto* Font = dynamic_cast<TvcFontPopupNode*>(Node);
  return Font && Font->Recent();
}

int EnumerateFont(const LOGFONTA* LogFont, const TEXTMETRICA* Metric, DWORD FontType, LPARAM Data) {
  auto* Combo = reinterpret_cast<TvcCustomFontCombo*>(Data);
  // The enumeration hands the start of the larger records.
  Combo->AddFont(*reinterpret_cast<const ENUMLOGFONTA*>(LogFont), *reinterpret_cast<const NEWTEXTMETRICA*>(Metric),
                 FontType);
  return 1;  // always on to the next family
}

}  // namespace

// ---- TFontImageList ------------------------------------------------------------------------------------

TFontImageList::TFontImageList(TComponent* AOwner) : TImageList(AOwner) {
  SetSize(12, 12);
  SetBlendColor(clHighlight);
  for (const char* Name : {"VCFONTTRUETYPE", "VCFONTPRINTER"}) {
    TBitmap Glyph;
    Glyph.LoadFromResourceName(nullptr, Name);
    AddMasked(&Glyph, Glyph.TransparentColor());
  }
}

TFontImageList::~TFontImageList() {
  if (SharedList == this) SharedList = nullptr;
}

TFontImageList* TFontImageList::Shared() {
  if (!SharedList) SharedList = new TFontImageList(nullptr);
  return SharedList;
}

// ---- TvcFontPopupTreeView --------------------------------------------------------------------------------

TvcFontPopupTreeView::TvcFontPopupTreeView(TComponent* AOwner) : TvcPopupTreeView(AOwner) {
  SetNodeClass(MakeFontNode);
}

void TvcFontPopupTreeView::CreateWnd() {
  TvcPopupTreeView::CreateWnd();
  if (auto* Combo = dynamic_cast<TvcCustomFontCombo*>(FCombo); Combo && Combo->PreLoad()) Combo->LoadOnDemand();
}

void TvcFontPopupTreeView::PaintItem(TvcTreeNode* Node, RECT Rect, TvcItemStates State) {
  TvcPopupTreeView::PaintItem(Node, Rect, State);
  auto* Combo = dynamic_cast<TvcCustomFontCombo*>(FCombo);
  if (!Combo || Combo->RecentFonts()->Count() == 0) return;
  const RECT Row = Node->DisplayRect(false);
  int Y = -1;
  TvcTreeNode* Next = Node->GetNextSibling();
  TvcTreeNode* Previous = Node->GetPrevSibling();
  if (IsRecent(Node) && Next && !IsRecent(Next)) Y = Row.bottom - 2;
  else if (!IsRecent(Node) && Previous && IsRecent(Previous)) Y = Row.top;
  if (Y < 0) return;
  Canvas()->Pen()->SetColor(clBtnShadow);
  Canvas()->MoveTo(0, Y);
  Canvas()->LineTo(Width(), Y);
}

// ---- TvcCustomFontCombo ----------------------------------------------------------------------------------

TvcCustomFontCombo::TvcCustomFontCombo(TComponent* AOwner) : TvcCustomTreeCombo(AOwner) {
  ++FontCombos;
  ReplaceTreeView();
  FRecentFonts = std::make_unique<TStringList>();
  FRecentFonts->OnChanging = [this](TStringList&) { RemoveRecentNodes(); };
  FRecentFonts->OnChange = [this](TStringList&) { InsertRecentNodes(); };
  SetSorted(true);
  FTreeView->SetShowHint(true);
  FTreeView->OnMouseMove = TvcTreeMouseMoveEvent(this, &TvcCustomFontCombo::FontTreeMouseMove);
  FTreeView->OnChange = TvcTVChangedEvent(this, &TvcCustomFontCombo::FontTreeChange);
  SetTreeOptions(TvcTreeViewOptions{tvoHideSelection, tvoRowSelect, tvoShowButtons, tvoToolTips});
  SetStyle(csDropDownList);
  SetBounds(FLeft, FTop, 145, FHeight);
}

TvcCustomFontCombo::~TvcCustomFontCombo() {
  if (--FontCombos == 0 && SharedList) {
    TFontImageList* List = SharedList;
    SharedList = nullptr;
    delete List;
  }
}

void TvcCustomFontCombo::BeforeDestruction() {
  if (FSavedHintClass) SetHintWindowClass(FSavedHintClass);
  FRecentFonts->OnChanging = nullptr;
  FRecentFonts->OnChange = nullptr;
  if (FTreeView) FTreeView->SetImages(nullptr);
  TvcCustomTreeCombo::BeforeDestruction();
}

void TvcCustomFontCombo::SetRecentFonts(TStringList* Value) {
  if (Value) FRecentFonts->Assign(*static_cast<TStrings*>(Value));
  else FRecentFonts->Clear();
}

void TvcCustomFontCombo::SetMaxMRU(int32_t Value) {
  if (Value == FMaxMRU) return;
  FMaxMRU = Value;
  TrimRecentFonts();
}

std::string TvcCustomFontCombo::SelectedFont() const {
  if (!FTreeView->HandleAllocated()) return std::string();
  TvcTreeNode* Node = FTreeView->Selected();
  return Node ? Node->Text() : std::string();
}

TvcPopupTreeView* TvcCustomFontCombo::CreateTreeView() {
  auto* Tree = new TvcFontPopupTreeView(this);
  Tree->SetCombo(this);
  Tree->SetBorderStyle(bsNone);
  Tree->SetParent(FPopupPanel);
  Tree->SetVisible(true);
  Tree->SetAlign(alClient);
  Tree->NodeChangeHook = [this](TvcCustomTreeView* View, TvcTreeNode* Node, const TValue& Value, int32_t Kind) {
    TextImageHook(View, Node, Value, Kind);
  };
  return Tree;
}

void TvcCustomFontCombo::CreateWnd() {
  TvcCustomTreeCombo::CreateWnd();
  TFontImageList* Glyphs = TFontImageList::Shared();
  if (FTreeView->Images() != Glyphs) {
    FTreeView->SetImages(Glyphs);
    Glyphs->FreeNotification(this);
    SetEditRect();
  }
  if (FPreLoad) LoadOnDemand();
}

// ---- the list of fonts -------------------------------------------------------------------------------------

void TvcCustomFontCombo::LoadOnDemand() {
  if (FLoading) return;
  FTreeView->HandleNeeded();
  if (FTreeView->Items()->Count() <= FRecentFonts->Count()) LoadFonts(false);
}

void TvcCustomFontCombo::LoadFonts(bool RecentOnly) {
  if (RecentOnly) {
    RemoveRecentNodes();
    InsertRecentNodes();
    return;
  }
  if (FLoading) return;
  FLoading = true;
  const TScopeExit Done([this] { FLoading = false; });
  FTreeView->HandleNeeded();
  if (Focused() && Screen) Screen->SetCursor(crHourGlass);
  TvcTreeNodes* Items = FTreeView->Items();
  Items->BeginUpdate();
  {
    const TScopeExit EndUpdate([Items] { Items->EndUpdate(); });
    if (Items->Count() > 0) Items->Clear();
    HDC DC = GetDC(nullptr);
    EnumFontFamiliesA(DC, nullptr, &EnumerateFont, reinterpret_cast<LPARAM>(this));
    ReleaseDC(nullptr, DC);
    if (Sorted()) FTreeView->AlphaSort();
  }
  if (Screen) Screen->SetCursor(FCursor);
  InsertRecentNodes();
}

void TvcCustomFontCombo::AddFont(const ENUMLOGFONTA& LogFont, const NEWTEXTMETRICA& Metric, DWORD FontType) {
  // A printer draws with outline faces only.
  if (FFontSelections == vcPrinterFonts && (FontType & RASTER_FONTTYPE)) return;
  const std::string Name(LogFont.elfLogFont.lfFaceName, strnlen(LogFont.elfLogFont.lfFaceName, LF_FACESIZE));
  TvcComboFontType Kind = vcftVector;
  if (FontType == DEVICE_FONTTYPE) Kind = vcftPrinter;
  else if (FontType & TRUETYPE_FONTTYPE) Kind = vcftTrueType;
  else if (FontType & RASTER_FONTTYPE) Kind = vcftRaster;
  if (!DoAddFont(Name, Kind, LogFont, Metric) || Name.empty()) return;
  TvcTreeNode* Node = FTreeView->Items()->AddChild(nullptr, Name);
  // Image 2 does not exist: a raster font shows no glyph.
  const int32_t Images[] = {1, 0, -1, 2};
  Node->SetImageIndex(Images[Kind]);
}

bool TvcCustomFontCombo::DoAddFont(const std::string& Name, TvcComboFontType Kind, const ENUMLOGFONTA& LogFont,
                                   const NEWTEXTMETRICA& Metric) {
  bool Accept = true;
  OnAddFont(this, Name, Kind, LogFont, Metric, Accept);
  return Accept;
}

TvcTreeNode* TvcCustomFontCombo::GetSearchStartNode() {
  const int32_t Recent = FRecentFonts->Count();
  if (FTreeView->Items()->Count() <= Recent) return nullptr;
  return FTreeView->Items()->Item(Recent);
}

// ---- recent fonts ------------------------------------------------------------------------------------------

void TvcCustomFontCombo::RemoveRecentNodes() {
  if (!FTreeView->HandleAllocated()) return;
  if (TvcTreeNode* Selected = FTreeView->Selected()) {
    FSavedSelection = Selected->Text();
    FHasSavedSelection = true;
  }
  TvcTreeNodes* Items = FTreeView->Items();
  for (TvcTreeNode* First = Items->GetFirstNode(); First && IsRecent(First); First = Items->GetFirstNode())
    First->Delete();
}

void TvcCustomFontCombo::InsertRecentNodes() {
  if (!FTreeView->HandleAllocated()) return;
  TvcTreeNodes* Items = FTreeView->Items();
  for (int32_t Index = FRecentFonts->Count() - 1; Index >= 0; --Index) {
    const std::string Name = (*FRecentFonts)[Index];
    const int32_t Line = IndexOfName(Name, *FTextImages);
    const int32_t Image = Line >= 0 ? StrToIntDef(GetValueAt(*FTextImages, Line), 0) : 0;
    TvcTreeNode* Node = Items->AddChildFirst(nullptr, Name);
    static_cast<TvcFontPopupNode*>(Node)->SetRecent(true);
    if (Line >= 0) Node->SetImageIndex(Image);
  }
  if (FHasSavedSelection) {
    TvcTreeNode* Selected = FTreeView->Selected();
    if (!Selected || Selected->Text() != FSavedSelection)
      if (TvcTreeNode* Node = Items->FindNode(FSavedSelection, false)) Node->SetSelected(true);
  }
  FSavedSelection.clear();
  FHasSavedSelection = false;
}

void TvcCustomFontCombo::TrimRecentFonts() {
  if (FMaxMRU == -1) return;
  FRecentFonts->BeginUpdate();
  const TScopeExit Done([this] { FRecentFonts->EndUpdate(); });
  while (FRecentFonts->Count() > std::max(0, FMaxMRU)) FRecentFonts->Delete(FRecentFonts->Count() - 1);
}

void TvcCustomFontCombo::AddRecentFont(const std::string& Name) {
  FRecentFonts->BeginUpdate();
  const TScopeExit Done([this] { FRecentFonts->EndUpdate(); });
  const int32_t Index = FRecentFonts->IndexOf(Name);
  if (Index >= 0) FRecentFonts->Delete(Index);
  FRecentFonts->Insert(0, Name);
  TrimRecentFonts();
}

// ---- opening and closing -----------------------------------------------------------------------------------

void TvcCustomFontCombo::DropDown() {
  LoadOnDemand();
  TvcCustomTreeCombo::DropDown();
  if (!GetDroppedDown()) return;
  FSavedHintClass = HintWindowClass ? HintWindowClass : &THintWindow::StaticClass();
  SetHintWindowClass(&TvcToolTip::StaticClass());
}

void TvcCustomFontCombo::CloseUp(bool Accept) {
  const bool WasOpen = GetDroppedDown();
  TObjectProtector Guard(this);
  TvcCustomTreeCombo::CloseUp(Accept);
  if (!Guard.Alive()) return;
  if (FSavedHintClass) {
    SetHintWindowClass(FSavedHintClass);
    FSavedHintClass = nullptr;
  }
  if (!WasOpen || !Accept || FMaxMRU == -1 || !FTreeView->Selected()) return;
  const std::string Chosen = Text();
  AddRecentFont(Chosen);
  if (TvcTreeNode* Node = FTreeView->Items()->FindNode(Chosen, false)) Node->SetSelected(true);
}

void TvcCustomFontCombo::KeyDown(WORD& Key, TShiftState Shift) {
  LoadOnDemand();
  if (FImmediateHints && FSavedHintClass && !GetDroppedDown()) {
    SetHintWindowClass(FSavedHintClass);
    FSavedHintClass = nullptr;
  }
  TvcCustomTreeCombo::KeyDown(Key, Shift);
}

void TvcCustomFontCombo::KeyPress(char32_t& Key) {
  LoadOnDemand();
  TvcCustomTreeCombo::KeyPress(Key);
}

// ---- the font hint -----------------------------------------------------------------------------------------

void TvcCustomFontCombo::SetHintWindowClass(const TClassInfo* Class) {
  if (!Class) return;
  const TClassInfo* ToolTip = &TvcToolTip::StaticClass();
  if (FImmediateHints && Application) {
    if (Class == ToolTip && FSavedHintPause < 0) {
      FSavedHintPause = Application->HintPause();
      Application->SetHintPause(0);
    } else if (Class != ToolTip && FSavedHintPause >= 0) {
      Application->SetHintPause(FSavedHintPause);
      FSavedHintPause = -1;
    }
  }
  HintWindowClass = Class;
}

void TvcCustomFontCombo::FontTreeMouseMove(TvcCustomTreeView* Tree, TvcTreeNode*, TShiftState, int32_t X, int32_t Y) {
  if (!FShowFontHint || !FSavedHintClass) return;
  const RECT Bounds{0, 0, Tree->Width(), Tree->Height()};
  SetHintWindowClass(PtInRect(&Bounds, POINT{X, Y}) ? &TvcToolTip::StaticClass() : FSavedHintClass);
}

void TvcCustomFontCombo::FontTreeChange(TvcCustomTreeView* Tree, TvcTreeNode* Node) {
  if (!FShowFontHint || !Tree->Selected()) return;
  TvcTreeNode* Selected = Tree->Selected();
  if (Application) Application->CancelHint();
  std::string Hint = Selected->Text();
  TFont* Font = vcToolTipFont();
  Font->SetName(Selected->Text());
  Font->SetSize(12);
  GenerateFontHint(Selected->Text(), Hint, Font);
  Tree->SetHint(Hint);
  (void)Node;
}

void TvcCustomFontCombo::GenerateFontHint(const std::string& FontName, std::string& Hint, TFont* Font) {
  OnGenerateFontHint(this, FontName, Hint, Font);
}
