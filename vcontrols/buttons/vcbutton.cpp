// TvcCustomBitBtn: life, settings, kinds, streaming and window regions (input is in
// vcbuttoninput.cpp, painting and layout in vcbuttonpaint.cpp).

#include "vcontrols/buttons/vcbutton.h"

#include <algorithm>
#include <array>

#include "platform/classes/formreader.h"
#include "platform/forms/actionlist.h"
#include "platform/forms/actions.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "vcontrols/common/regions.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vcwindows.h"

KORCAM_REGISTER_CLASS(TvcOffsets)
KORCAM_REGISTER_CLASS(TvcShadeColors)
KORCAM_REGISTER_CLASS(TvcCustomBitBtn)

namespace {

struct TKindValues {
  const char* Resource;
  bool Default;
  bool Cancel;
};

const TKindValues& KindValues(TBitBtnKind Kind) {
  static const TKindValues Table[] = {
      {"", false, false},         {"KVOK", true, false},     {"KVCANCEL", false, true}, {"KVHELP", false, false},
      {"KVYES", true, false},     {"KVNO", false, true},     {"KVCLOSE", false, false}, {"KVABORT", false, false},
      {"KVRETRY", false, false},  {"KVIGNORE", false, false}, {"KVALL", false, false},
  };
  return Table[size_t(Kind)];
}

}  // namespace

TBitmap* LoadKindGlyph(TBitBtnKind Kind) {
  if (Kind == bkCustom) return nullptr;
  // Loaded once each and kept for the whole run (the buttons copy them).
  static std::array<TBitmap*, 11> Glyphs{};
  TBitmap*& Glyph = Glyphs[size_t(Kind)];
  if (!Glyph) {
    auto Loaded = std::make_unique<TBitmap>();
    Loaded->LoadFromResourceName(nullptr, KindValues(Kind).Resource);
    Glyph = Loaded.release();
  }
  return Glyph;
}

// --- TvcOffsets and TvcShadeColors ----------------------------------------------------------------

#define KORCAM_REPAINTING_SETTER(Class, Type, Name) \
  void Class::Set##Name(Type Value) {               \
    if (F##Name == Value) return;                   \
    F##Name = Value;                                \
    if (FButton) FButton->Invalidate();             \
  }
KORCAM_REPAINTING_SETTER(TvcOffsets, int32_t, GlyphX)
KORCAM_REPAINTING_SETTER(TvcOffsets, int32_t, GlyphY)
KORCAM_REPAINTING_SETTER(TvcOffsets, int32_t, TextX)
KORCAM_REPAINTING_SETTER(TvcOffsets, int32_t, TextY)
KORCAM_REPAINTING_SETTER(TvcShadeColors, TColor, Btn3DLight)
KORCAM_REPAINTING_SETTER(TvcShadeColors, TColor, BtnHighlight)
KORCAM_REPAINTING_SETTER(TvcShadeColors, TColor, BtnShadow)
KORCAM_REPAINTING_SETTER(TvcShadeColors, TColor, BtnBlack)
KORCAM_REPAINTING_SETTER(TvcShadeColors, TColor, BtnFocus)
KORCAM_REPAINTING_SETTER(TvcShadeColors, TColor, Shadow)
#undef KORCAM_REPAINTING_SETTER

void TvcOffsets::AssignTo(TPersistent* Dest) {
  auto* Target = dynamic_cast<TvcOffsets*>(Dest);
  if (!Target) {
    TPersistent::AssignTo(Dest);
    return;
  }
  Target->SetGlyphX(FGlyphX);
  Target->SetGlyphY(FGlyphY);
  Target->SetTextX(FTextX);
  Target->SetTextY(FTextY);
  Target->SetTextDownX(FTextDownX);
  Target->SetTextDownY(FTextDownY);
}

void TvcShadeColors::AssignTo(TPersistent* Dest) {
  auto* Target = dynamic_cast<TvcShadeColors*>(Dest);
  if (!Target) {
    TPersistent::AssignTo(Dest);
    return;
  }
  Target->SetBtn3DLight(FBtn3DLight);
  Target->SetBtnHighlight(FBtnHighlight);
  Target->SetBtnShadow(FBtnShadow);
  Target->SetBtnBlack(FBtnBlack);
  Target->SetBtnFocus(FBtnFocus);
  Target->SetShadow(FShadow);
}

// --- life -----------------------------------------------------------------------------------------

TvcCustomBitBtn::TvcCustomBitBtn(TComponent* AOwner)
    : TWinControl(AOwner),
      FGlyph(std::make_unique<TBitmap>()),
      FShadeColors(std::make_unique<TvcShadeColors>(this)),
      FCanvas(std::make_unique<TCanvas>()),
      FOffsets(TvcCustomBitBtn::CreateOffsets()),
      FOwnLink(std::make_unique<TvcChangeLink>()) {
  FGlyph->OnChange = TNotifyEvent([this](TObject* Sender) { GlyphChanged(Sender); });
  FTextOptions = std::make_unique<TvcCaptionText>(
      MakeTextOwnerHooks([this] { Invalidate(); }, [this] { TextSizeChanged(); }, [this] { return IsTextEnabled(); }),
      Font(), FCanvas.get());
  FTextOptions->SetAlignment(taCenter);
  FTextOptions->SetVAlignment(vaVCenter);
  FControlStyle = TControlStyle{csSetCaption, csOpaque, csReflector};
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 75, 25);
  SetTabStop(true);
}

TvcCustomBitBtn::~TvcCustomBitBtn() {
  if (FPreviousRegion) DeleteObject(FPreviousRegion);
}

TvcOffsets* TvcCustomBitBtn::CreateOffsets() {
  return new TvcOffsets(this);
}

// --- settings -------------------------------------------------------------------------------------

void TvcCustomBitBtn::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  NotifyGroup();
}

void TvcCustomBitBtn::SetDefault(bool Value) {
  FDefault = Value;
  if (!HandleAllocated()) return;
  if (TCustomForm* Form = GetParentForm(this))
    Form->Perform(CM_FOCUSCHANGED, 0, LPARAM(Form->ActiveControl()));
}

void TvcCustomBitBtn::SetDown(bool Value) {
  const bool Taken = (FGroupIndex != 0 || ComponentState().Contains(csLoading)) ? Value : false;
  if (Taken == FDown) return;
  SetDownState(Taken, true, true);
  if (FDown == Taken) SelectionChanged();
}

void TvcCustomBitBtn::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Invalidate();
}

void TvcCustomBitBtn::SetGroupIndex(int32_t Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  NotifyGroup();
}

TBitBtnKind TvcCustomBitBtn::Kind() const {
  if (FKind == bkCustom) return bkCustom;
  const TKindValues& Values = KindValues(FKind);
  if (FDefault != Values.Default || FCancel != Values.Cancel || FModalResult != BitBtnModalResult(FKind)) {
    const_cast<TvcCustomBitBtn*>(this)->FKind = bkCustom;
    return bkCustom;
  }
  return FKind;
}

void TvcCustomBitBtn::SetKind(TBitBtnKind Value) {
  if (Value == FKind) return;
  if (Value == bkCustom) {
    FKind = Value;
    Invalidate();
    return;
  }
  SetDefault(Value == bkOK || Value == bkYes);
  SetCancel(Value == bkCancel || Value == bkNo);
  if (!(ComponentState().Contains(csLoading) && !Caption().empty())) SetCaption(BitBtnCaption(Value));
  SetModalResult(BitBtnModalResult(Value));
  SetGlyph(LoadKindGlyph(Value));
  SetNumGlyphs(2);
  FKind = Value;
  Invalidate();
}

void TvcCustomBitBtn::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TvcCustomBitBtn::SetMargin(int32_t Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TvcCustomBitBtn::SetNumGlyphs(TNumGlyphs Value) {
  Value = std::clamp(Value, 1, 4);
  if (FNumGlyphs == Value) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TvcCustomBitBtn::SetOptions(TvcButtonOptions Value) {
  if (FOptions == Value) return;
  const bool BoldChanged = FOptions.Contains(boAutoBold) != Value.Contains(boAutoBold);
  FOptions = Value;
  if (!FOptions.Contains(boFocusable)) SetTabStop(false);
  if (BoldChanged) SetDownState(FDown, false, true);
}

void TvcCustomBitBtn::SetShadeStyle(TvcShadeStyle Value) {
  if (FShadeStyle == Value) return;
  FShadeStyle = Value;
  RecreateWnd();
}

void TvcCustomBitBtn::SetSpacing(int32_t Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TvcCustomBitBtn::SetStyle(TButtonStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TvcCustomBitBtn::SetName(const std::string& Value) {
  TWinControl::SetName(Value);
  if (OnNameChanged) OnNameChanged(this);
}

void TvcCustomBitBtn::SetShadeColorsFrom(TColor Color) {
  FShadeColors->SetBtnShadow(AdjustColor(Color, -50, true));
  FShadeColors->SetBtnBlack(AdjustColor(FShadeColors->BtnShadow(), -50, true));
  FShadeColors->SetBtn3DLight(AdjustColor(Color, 50, true));
  FShadeColors->SetBtnHighlight(AdjustColor(FShadeColors->Btn3DLight(), 50, true));
}

int32_t TvcCustomBitBtn::GlyphWidth() const {
  return FNumGlyphs != 0 ? FGlyph->Width() / FNumGlyphs : FGlyph->Width();
}

bool TvcCustomBitBtn::IsGlyphStored() const {
  return Kind() == bkCustom;
}

bool TvcCustomBitBtn::IsCaptionStored() const {
  return Caption() != BitBtnCaption(Kind());
}

bool TvcCustomBitBtn::IsTextEnabled() const {
  return Enabled();
}

void TvcCustomBitBtn::TextSizeChanged() {}

void TvcCustomBitBtn::GlyphChanged(TObject*) {
  Invalidate();
}

void TvcCustomBitBtn::SizeToImage() {}

bool TvcCustomBitBtn::IsShaped() const {
  return false;
}

bool TvcCustomBitBtn::UsesRegion() const {
  return false;
}

bool TvcCustomBitBtn::StoreRegionData() const {
  return false;
}

void TvcCustomBitBtn::RenderFace(TvcBitmap*, bool, TvcShadeStyle, bool) {}

void TvcCustomBitBtn::AssignTo(TPersistent* Dest) {
  auto* Target = dynamic_cast<TvcCustomBitBtn*>(Dest);
  if (!Target) {
    TWinControl::AssignTo(Dest);
    return;
  }
  Target->SetColor(Color());
  Target->Offsets()->Assign(FOffsets.get());
  Target->SetLayout(FLayout);
  Target->SetMargin(FMargin);
  Target->SetNumGlyphs(FNumGlyphs);
  Target->SetOptions(FOptions);
  Target->ShadeColors()->Assign(FShadeColors.get());
  Target->SetSpacing(FSpacing);
  Target->SetTabStop(TabStop());
  Target->TextOptions()->Assign(FTextOptions.get());
}

// --- links ----------------------------------------------------------------------------------------

void TvcCustomBitBtn::RegisterLink(TvcChangeLink* Link) {
  FLinks.push_back(Link);
}

void TvcCustomBitBtn::UnregisterLink(TvcChangeLink* Link) {
  auto Where = std::find(FLinks.begin(), FLinks.end(), Link);
  if (Where != FLinks.end()) FLinks.erase(Where);
}

// A handler may register or unregister links: the walks go over a copy.
void TvcCustomBitBtn::NotifyLinksChanged() {
  const std::vector<TvcChangeLink*> Links = FLinks;
  for (TvcChangeLink* Link : Links) {
    Link->SenderObject = this;
    Link->Change();
  }
}

void TvcCustomBitBtn::NotifyLinksPressed() {
  const std::vector<TvcChangeLink*> Links = FLinks;
  for (TvcChangeLink* Link : Links) {
    Link->SenderObject = this;
    Link->ButtonDown();
  }
}

void TvcCustomBitBtn::NotifyLinksLoaded() {
  const std::vector<TvcChangeLink*> Links = FLinks;
  for (TvcChangeLink* Link : Links) {
    Link->SenderObject = this;
    Link->ComponentLoaded();
  }
}

// --- streaming ------------------------------------------------------------------------------------

void TvcCustomBitBtn::DefineProperties(TFiler* Filer) {
  TWinControl::DefineProperties(Filer);
  const bool Store = StoreRegionData();
  Filer->DefineBinaryProperty(
      "RegionData", [this](TStream& Stream) { ReadRegionData(Stream); },
      [this](TStream& Stream) { WriteRegionData(Stream); }, Store);
  Filer->DefineBinaryProperty(
      "DownRegionData", [this](TStream& Stream) { ReadDownRegionData(Stream); },
      [this](TStream& Stream) { WriteDownRegionData(Stream); }, Store);
}

void TvcCustomBitBtn::ReadRegionData(TStream& Stream) {
  FRegionBytes = ReadRegionBytes(Stream);
}

void TvcCustomBitBtn::ReadDownRegionData(TStream& Stream) {
  FDownRegionBytes = ReadRegionBytes(Stream);
}

void TvcCustomBitBtn::WriteRegionData(TStream& Stream) {
  WriteRegionBytes(Stream, FRegionBytes);
}

void TvcCustomBitBtn::WriteDownRegionData(TStream& Stream) {
  WriteRegionBytes(Stream, FDownRegionBytes);
}

// --- regions --------------------------------------------------------------------------------------

HRGN TvcCustomBitBtn::CreateRegion(bool, bool IsDown) {
  const std::vector<uint8_t>& Bytes = IsDown ? FDownRegionBytes : FRegionBytes;
  if (Bytes.empty()) return nullptr;
  // Bytes that form no region leave the button rectangular.
  return RegionFromBytes(Bytes);
}

void TvcCustomBitBtn::CaptureRegion(HRGN ARegion, bool IsDown) {
  (IsDown ? FDownRegionBytes : FRegionBytes) = CaptureRegionBytes(ARegion);
}

void TvcCustomBitBtn::FreeRegionData(std::vector<uint8_t>& Bytes) {
  Bytes = {};
}

void TvcCustomBitBtn::UpdateRegionState() {
  if (IsShaped()) ApplyRegion();
}

void TvcCustomBitBtn::DestroyRegions() {
  if (!FRegion && !FPreviousRegion) return;
  if (!Destroying() && HandleAllocated()) SetWindowRgn(HandleIfAllocated(), nullptr, FALSE);
  if (FPreviousRegion) DeleteObject(FPreviousRegion);
  FPreviousRegion = nullptr;
  FRegion = nullptr;
}

void TvcCustomBitBtn::ApplyRegion() {
  if (!HandleAllocated() || !UsesRegion()) return;
  HWND Window = HandleIfAllocated();
  // The window lets go of (and deletes) the region it held.
  SetWindowRgn(Window, nullptr, FALSE);
  FRegion = nullptr;
  HRGN New = nullptr;
  try {
    New = CreateRegion(true, DrawnDown());
  } catch (...) {
    // A shape that cannot be built (a wrong point list) is reported once, like a failed paint,
    // and the window stays rectangular; it is not allowed to abort making the window.
    if (!Application) throw;
    Application->HandleException(this);
  }
  FRegion = New;
  const bool Shaped = IsShaped();
  if (FPreviousRegion && New && Shaped) {
    // Where the covered area changed, the parents paint again.
    CombineRgn(FPreviousRegion, FPreviousRegion, New, RGN_XOR);
    TCustomForm* Form = GetParentForm(this);
    for (TControl* Walk = this; Walk && Walk != Form && Walk->Parent(); Walk = Walk->Parent()) {
      OffsetRgn(FPreviousRegion, Walk->Left(), Walk->Top());
      if (Walk->Parent()->HandleAllocated()) InvalidateRgn(Walk->Parent()->HandleIfAllocated(), FPreviousRegion, TRUE);
    }
  }
  if (Shaped) {
    if (FPreviousRegion) DeleteObject(FPreviousRegion);
    FPreviousRegion = nullptr;
    if (New) {
      FPreviousRegion = CreateRectRgn(0, 0, 0, 0);
      CombineRgn(FPreviousRegion, New, nullptr, RGN_COPY);
    }
  }
  if (New) SetWindowRgn(Window, New, FALSE);
  if (Shaped && Parent() && Parent()->HandleAllocated())
    InvalidateOverlappingChildren(Parent()->HandleIfAllocated(), Window);
}

void TvcCustomBitBtn::InvalidateParentOutsideRegion(bool Erase) {
  if (!Parent() || !Parent()->HandleAllocated()) return;
  HRGN Outside = CreateRectRgn(0, 0, ClientWidth(), ClientHeight());
  if (HRGN Shape = CreateRegion(false, FDown)) {
    CombineRgn(Outside, Outside, Shape, RGN_DIFF);
    DeleteObject(Shape);
  }
  OffsetRgn(Outside, Left(), Top());
  InvalidateRgn(Parent()->HandleIfAllocated(), Outside, Erase ? TRUE : FALSE);
  DeleteObject(Outside);
}

// --- the window -----------------------------------------------------------------------------------

void TvcCustomBitBtn::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, ButtonClassName);
  Params.Style |= BS_OWNERDRAW;
}

void TvcCustomBitBtn::CreateWnd() {
  TWinControl::CreateWnd();
  FActiveDefault = FDefault;
  ApplyRegion();
}

void TvcCustomBitBtn::DestroyWnd() {
  DestroyRegions();
  TWinControl::DestroyWnd();
}

void TvcCustomBitBtn::ActionChange(TObject* Sender, bool CheckDefaults) {
  TWinControl::ActionChange(Sender, CheckDefaults);
  auto* Source = dynamic_cast<TCustomAction*>(Sender);
  if (!Source || !Source->ActionList() || !FGlyph->Empty()) return;
  TCustomImageList* Images = Source->ActionList()->Images();
  if (!Images || Source->ImageIndex() < 0 || Source->ImageIndex() >= Images->Count()) return;
  TBitmap Copy;
  Copy.SetSize(Images->Width(), Images->Height());
  Copy.Canvas()->Brush()->SetColor(clFuchsia);
  Copy.Canvas()->FillRect(RECT{0, 0, Copy.Width(), Copy.Height()});
  Images->Draw(Copy.Canvas(), 0, 0, Source->ImageIndex(), true);
  SetGlyph(&Copy);
}

void TvcCustomBitBtn::Loaded() {
  TWinControl::Loaded();
  if (!FOptions.Contains(boFocusable)) SetTabStop(false);
  ApplyRegion();
  NotifyLinksLoaded();
}
