// The "Image Effects" groups of both option tables: the live picture's (InspectorOptions, acting
// on ImageMain) and the Image page's (InspectorImageEffects, acting on vcImagerAlbumImage). Both
// groups hold the same keys, each looked up in its own table only.
//
// Every handler writes one effect's settings into its image control's BitmapOptions and re-runs
// the control's pipeline. While the table's "Enable Image Effects" is not checked, each handler
// writes the effect's neutral value instead, so the picture shows no effect whatever the rows
// hold; the two master handlers re-run every effect handler of their table, and the live one
// also re-applies every option of the live table that acts at once (start-up relies on that).
//
// The handlers ignore their arguments and read the current state from the rows and editors, so
// other code calls them with empty ones.

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"

namespace {

// The effects in the order the masters re-run them.
enum class TEffect {
  Embossed,
  HorizontallyFlipped,
  VerticallyFlipped,
  Rotation,
  AlphaBlend,
  Color,
  TintColor,
  Contrast,
  GrayScale,
  Inverted,
  Lightness,
  Saturation,
  Sharpen,
  Sponge,
  GaussianBlur,
  Wave,
};

constexpr TEffect EffectOrder[] = {
    TEffect::Embossed,          TEffect::HorizontallyFlipped,
    TEffect::VerticallyFlipped, TEffect::Rotation,
    TEffect::AlphaBlend,        TEffect::Color,
    TEffect::TintColor,         TEffect::Contrast,
    TEffect::GrayScale,         TEffect::Inverted,
    TEffect::Lightness,         TEffect::Saturation,
    TEffect::Sharpen,           TEffect::Sponge,
    TEffect::GaussianBlur,      TEffect::Wave,
};

// One table with the image control it acts on and the editors of its rows.
struct TEffectTable {
  TkvDataInspector* Table;
  TvcImager* Imager;
  TkvDBSpinEdit* RotationAngle;
  TkvDBSpinEdit* RotationCenterX;
  TkvDBSpinEdit* RotationCenterY;
  TkvDBSpinEdit* AlphaBlendAmount;
  TkvDBSpinEdit* Contrast;
  TkvDBSpinEdit* Lightness;
  TkvDBSpinEdit* Saturation;
  TkvDBSpinEdit* Sharpen;
  TkvDBSpinEdit* Sponge;
  TkvDBSpinEdit* GaussianBlur;
  TkvDBSpinEdit* WaveRatio;
  TkvDBSpinEdit* WaveXDiv;
  TkvDBSpinEdit* WaveYDiv;
  TvcColorCombo* Color;
  TvcColorCombo* TintColor;
};

TEffectTable LiveTable(TFormGhost& Form) {
  return {Form.InspectorOptions,
          Form.ImageMain,
          Form.kvDBSpinEditRotationAngle,
          Form.kvDBSpinEditRotationCenterX,
          Form.kvDBSpinEditRotationCenterY,
          Form.kvDBSpinEditAlphaBlend,
          Form.kvDBSpinEditImageEffectsContrast,
          Form.kvDBSpinEditImageEffectsLightness,
          Form.kvDBSpinEditImageEffectsSaturation,
          Form.kvDBSpinEditImageEffectsSharpen,
          Form.kvDBSpinEditImageEffectsSponge,
          Form.kvDBSpinEditImageEffectsGaussianBlur,
          Form.kvDBSpinEditWaveRatio,
          Form.kvDBSpinEditWaveXDiv,
          Form.kvDBSpinEditWaveYDiv,
          Form.vcColorComboImageEffects,
          Form.vcColorComboImageEffectsTint};
}

TEffectTable ImagePageTable(TFormGhost& Form) {
  return {Form.InspectorImageEffects,
          Form.vcImagerAlbumImage,
          Form.kvDBSpinEditImageRotationAngle,
          Form.kvDBSpinEditImageRotationCenterX,
          Form.kvDBSpinEditImageRotationCenterY,
          Form.kvDBSpinEditImageAlphaBlend,
          Form.kvDBSpinEditImageImageEffectsContrast,
          Form.kvDBSpinEditImageImageEffectsLightness,
          Form.kvDBSpinEditImageImageEffectsSaturation,
          Form.kvDBSpinEditImageImageEffectsSharpen,
          Form.kvDBSpinEditImageImageEffectsSponge,
          Form.kvDBSpinEditImageImageEffectsGaussianBlur,
          Form.kvDBSpinImageEditWaveRatio,
          Form.kvDBSpinImageEditWaveXDiv,
          Form.kvDBSpinImageEditWaveYDiv,
          Form.vcColorComboImageImageEffects,
          Form.vcColorComboImageImageEffectsTint};
}

// The row of that key in the effects' own table.
TkvInspectorItem* Row(const TFormGhost& Form, const TEffectTable& Effects, const std::string& Key) {
  return Effects.Table == Form.InspectorOptions ? Form.FindOption(Key) : Form.FindImageOption(Key);
}

bool Checked(const TFormGhost& Form, const TEffectTable& Effects, const std::string& Key) {
  return Row(Form, Effects, Key)->IsChecked();
}

// An editor's value truncated toward zero (2.9 gives 2, -2.9 gives -2), within 32 bits.
int32_t Whole(TkvDBSpinEdit* Editor) {
  const double Value = Editor->Value();
  if (std::isnan(Value)) return 0;
  constexpr double Low = std::numeric_limits<int32_t>::min(), High = std::numeric_limits<int32_t>::max();
  return int32_t(std::trunc(std::clamp(Value, Low, High)));
}

// A colour combo without a selection stands for no colour.
TColor SelectedColorOf(TvcColorCombo* Combo) {
  const TColor Color = Combo->SelectedColor();
  return Color == vcNoColor ? clNone : Color;
}

// A valued effect is on when its group row is checked and, only then, the master too.
bool ValuedOn(const TFormGhost& Form, const TEffectTable& Effects, const std::string& GroupKey) {
  return Checked(Form, Effects, GroupKey) && Checked(Form, Effects, "Enable Image Effects");
}

void ApplyEffect(TFormGhost& Form, const TEffectTable& Effects, TEffect Effect) {
  TvcBitmapOptions* Options = Effects.Imager->BitmapOptions();
  const bool Master = Checked(Form, Effects, "Enable Image Effects");
  switch (Effect) {
    case TEffect::Embossed:
      Options->SetEmbossed(Checked(Form, Effects, "Image Effects Embossed"));
      if (!Master) Options->SetEmbossed(false);
      break;
    case TEffect::HorizontallyFlipped:
      Options->SetHorizontallyFlipped(Checked(Form, Effects, "Image Effects Horizontally Flipped"));
      if (!Master) Options->SetHorizontallyFlipped(false);
      break;
    case TEffect::VerticallyFlipped:
      Options->SetVerticallyFlipped(Checked(Form, Effects, "Image Effects Vertically Flipped"));
      if (!Master) Options->SetVerticallyFlipped(false);
      break;
    case TEffect::GrayScale:
      Options->SetGrayScale(Checked(Form, Effects, "Image Effects Gray Scale"));
      if (!Master) Options->SetGrayScale(false);
      break;
    case TEffect::Inverted:
      Options->SetInverted(Checked(Form, Effects, "Image Effects Inverted"));
      if (!Master) Options->SetInverted(false);
      break;
    case TEffect::Rotation: {
      TvcRotate* Rotation = Options->Rotation();
      const bool On = ValuedOn(Form, Effects, "Image Effects Rotation");
      Rotation->SetAngle(On ? Whole(Effects.RotationAngle) : 0);
      Rotation->SetCenterX(On ? Whole(Effects.RotationCenterX) : -1);
      Rotation->SetCenterY(On ? Whole(Effects.RotationCenterY) : -1);
      break;
    }
    case TEffect::AlphaBlend: {
      TvcAlphaBlend* Blend = Options->AlphaBlend();
      if (ValuedOn(Form, Effects, "Image Effects Alpha Blend")) {
        Blend->SetAmount(uint8_t(std::clamp<int32_t>(Whole(Effects.AlphaBlendAmount), 0, 255)));
        // The file is read again every time, so a changed picture on disk shows at once.
        const std::string File = Row(Form, Effects, "Alpha Blend Bitmap")->EditText();
        try {
          if (!File.empty() && FileExists(File)) Blend->Bitmap()->LoadFromFile(File);
        } catch (const Exception&) {
          Form.WriteLog("Load alpha blend bitmap failed");
        }
        Blend->SetTransparent(Checked(Form, Effects, "Alpha Blend Transparent"));
      } else {
        Blend->SetAmount(0);
        Blend->SetBitmap(nullptr);
        Blend->SetTransparent(false);
      }
      break;
    }
    case TEffect::Color:
      Options->SetColor(SelectedColorOf(Effects.Color));
      if (!Master) Options->SetColor(clNone);
      break;
    case TEffect::TintColor:
      Options->SetTintColor(SelectedColorOf(Effects.TintColor));
      if (!Master) Options->SetTintColor(clNone);
      break;
    case TEffect::Contrast:
      Options->SetContrast(ValuedOn(Form, Effects, "Image Effects Contrast") ? Whole(Effects.Contrast) : 0);
      break;
    case TEffect::Lightness:
      Options->SetLightness(ValuedOn(Form, Effects, "Image Effects Lightness") ? Whole(Effects.Lightness)
                                                                               : 0);
      break;
    case TEffect::Saturation:
      Options->SetSaturation(ValuedOn(Form, Effects, "Image Effects Saturation") ? Whole(Effects.Saturation)
                                                                                 : -1);
      break;
    case TEffect::Sharpen:
      Options->SetSharpen(ValuedOn(Form, Effects, "Image Effects Sharpen") ? Whole(Effects.Sharpen) : 0);
      break;
    case TEffect::Sponge:
      Options->SetSponge(ValuedOn(Form, Effects, "Image Effects Sponge") ? Whole(Effects.Sponge) : 0);
      break;
    case TEffect::GaussianBlur:
      Options->SetGaussianBlur(
          ValuedOn(Form, Effects, "Image Effects Gaussian Blur") ? Whole(Effects.GaussianBlur) : 0);
      break;
    case TEffect::Wave: {
      TvcWave* Wave = Options->Wave();
      const bool On = ValuedOn(Form, Effects, "Image Effects Wave");
      Wave->SetRatio(On ? Whole(Effects.WaveRatio) : 0);
      Wave->SetWrap(On && Checked(Form, Effects, "Wave Wrap"));
      Wave->SetXDiv(On ? Whole(Effects.WaveXDiv) : 0);
      Wave->SetYDiv(On ? Whole(Effects.WaveYDiv) : 0);
      break;
    }
  }
  Effects.Imager->RefreshEffects();
}

void ApplyAll(TFormGhost& Form, const TEffectTable& Effects) {
  for (TEffect Effect : EffectOrder) ApplyEffect(Form, Effects, Effect);
}

// The blend picture's dialog, the same for both tables.
void ChooseBlendBitmap(TFormGhost& Form, const TEffectTable& Effects, TkvDBComboDlg* Editor) {
  const std::string Folder = GetCurrentDir();
  TOpenPictureDialog* Dialog = DataModule1->OpenPictureDialogAlphaBlend;
  Dialog->SetInitialDir(ProgramFolder() + "My Pictures");
  Dialog->SetFileName(Editor->Text());
  if (Dialog->Execute() && FileExists(Dialog->FileName())) {
    Editor->SetText(Dialog->FileName());
    Row(Form, Effects, "Alpha Blend Bitmap")->SetEditText(Editor->Text());
    ApplyEffect(Form, Effects, TEffect::AlphaBlend);
  }
  Effects.Table->Refresh();
  SetCurrentDir(Folder);
}

}  // namespace

// ---- the live picture's effects (InspectorOptions) ---------------------------------------------

#define KORCAM_LIVE_EFFECT(Handler, Effect)                                            \
  void TFormGhost::Handler(TkvDataInspector*, TkvInspectorItem*, const std::string&) { \
    ApplyEffect(*this, LiveTable(*this), TEffect::Effect);                             \
  }
#define KORCAM_IMAGE_EFFECT(Handler, Effect)                                           \
  void TFormGhost::Handler(TkvDataInspector*, TkvInspectorItem*, const std::string&) { \
    ApplyEffect(*this, ImagePageTable(*this), TEffect::Effect);                        \
  }
#define KORCAM_LIVE_EDITOR(Handler, Effect)                \
  void TFormGhost::Handler(TObject*) {                     \
    ApplyEffect(*this, LiveTable(*this), TEffect::Effect); \
  }
#define KORCAM_IMAGE_EDITOR(Handler, Effect)                    \
  void TFormGhost::Handler(TObject*) {                          \
    ApplyEffect(*this, ImagePageTable(*this), TEffect::Effect); \
  }

KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items0ItemChanged, Embossed)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items1ItemChanged, HorizontallyFlipped)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items2ItemChanged, VerticallyFlipped)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items3ItemChanged, Rotation)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items3Items0ItemChanged, Rotation)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items3Items1ItemChanged, Rotation)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items3Items2ItemChanged, Rotation)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items4ItemChanged, AlphaBlend)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items4Items0ItemChanged, AlphaBlend)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items4Items2ItemChanged, AlphaBlend)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items7ItemChanged, Contrast)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items7Items0ItemChanged, Contrast)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items8ItemChanged, GrayScale)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items9ItemChanged, Inverted)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items10ItemChanged, Lightness)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items10Items0ItemChanged, Lightness)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items11ItemChanged, Saturation)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items11Items0ItemChanged, Saturation)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items12ItemChanged, Sharpen)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items12Items0ItemChanged, Sharpen)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items13ItemChanged, Sponge)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items13Items0ItemChanged, Sponge)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items14ItemChanged, GaussianBlur)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items14Items0ItemChanged, GaussianBlur)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items15ItemChanged, Wave)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items15Items0ItemChanged, Wave)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items15Items1ItemChanged, Wave)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items15Items2ItemChanged, Wave)
KORCAM_LIVE_EFFECT(InspectorOptionsItems10Items15Items3ItemChanged, Wave)

KORCAM_LIVE_EDITOR(kvDBSpinEditRotationAngleChange, Rotation)
KORCAM_LIVE_EDITOR(kvDBSpinEditRotationCenterXChange, Rotation)
KORCAM_LIVE_EDITOR(kvDBSpinEditRotationCenterYChange, Rotation)
KORCAM_LIVE_EDITOR(kvDBSpinEditAlphaBlendChange, AlphaBlend)
KORCAM_LIVE_EDITOR(kvDBSpinEditImageEffectsContrastChange, Contrast)
KORCAM_LIVE_EDITOR(kvDBSpinEditImageEffectsLightnessChange, Lightness)
KORCAM_LIVE_EDITOR(kvDBSpinEditImageEffectsSaturationChange, Saturation)
KORCAM_LIVE_EDITOR(kvDBSpinEditImageEffectsSharpenChange, Sharpen)
KORCAM_LIVE_EDITOR(kvDBSpinEditImageEffectsSpongeChange, Sponge)
KORCAM_LIVE_EDITOR(kvDBSpinEditImageEffectsGaussianBlurChange, GaussianBlur)
KORCAM_LIVE_EDITOR(kvDBSpinEditWaveRatioChange, Wave)
KORCAM_LIVE_EDITOR(kvDBSpinEditWaveXDivChange, Wave)
KORCAM_LIVE_EDITOR(kvDBSpinEditWaveYDivChange, Wave)
KORCAM_LIVE_EDITOR(vcColorComboImageEffectsChange, Color)
KORCAM_LIVE_EDITOR(vcColorComboImageEffectsTintChange, TintColor)

// The live master: the effects and, with them, every option of the live table that acts at once.
void TFormGhost::InspectorOptionsItems10Items16ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                           const std::string&) {
  DataModule1->ActionEffects->SetChecked(FindOption("Enable Image Effects")->IsChecked());
  InspectorOptionsItems4Items2ItemChanged(nullptr, nullptr, "");
  const bool Gamer = FindOption("Gamer View Enable")->IsChecked();
  if (Gamer)
    InspectorOptionsItems12Items2ItemChanged(nullptr, nullptr, "");
  else
    InspectorOptionsItems0Items5ItemChanged(nullptr, nullptr, "");
  InspectorOptionsItems6Items0ItemChanged(nullptr, nullptr, "");
  InspectorOptionsItems7Items0ItemChanged(nullptr, nullptr, "");
  InspectorOptionsItems8Items0ItemChanged(nullptr, nullptr, "");
  InspectorOptionsItems9Items0ItemChanged(nullptr, nullptr, "");
  InspectorOptionsItems4Items0ItemChanged(nullptr, nullptr, "");
  InspectorOptionsItems6Items6Items0ItemChanged(nullptr, nullptr, "");
  InspectorOptionsItems8Items3Items0ItemChanged(nullptr, nullptr, "");
  InspectorOptionsItems1Items7ItemChanged(nullptr, nullptr, "");
  InspectorOptionsItems1Items6ItemChanged(nullptr, nullptr, "");
  ApplyAll(*this, LiveTable(*this));
  if (Gamer) SetAlphaBlend(FindOption("Translucent Gamer")->IsChecked());
}

// ---- the Image page's effects (InspectorImageEffects) ------------------------------------------

KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items0ItemChanged, Embossed)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items1ItemChanged, HorizontallyFlipped)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items2ItemChanged, VerticallyFlipped)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items3ItemChanged, Rotation)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items3Items0ItemChanged, Rotation)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items3Items1ItemChanged, Rotation)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items3Items2ItemChanged, Rotation)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items4ItemChanged, AlphaBlend)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items4Items0ItemChanged, AlphaBlend)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items4Items2ItemChanged, AlphaBlend)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items7ItemChanged, Contrast)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items7Items0ItemChanged, Contrast)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items8ItemChanged, GrayScale)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items9ItemChanged, Inverted)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items10ItemChanged, Lightness)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items10Items0ItemChanged, Lightness)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items11ItemChanged, Saturation)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items11Items0ItemChanged, Saturation)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items12ItemChanged, Sharpen)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items12Items0ItemChanged, Sharpen)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items13ItemChanged, Sponge)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items13Items0ItemChanged, Sponge)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items14ItemChanged, GaussianBlur)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items14Items0ItemChanged, GaussianBlur)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items15ItemChanged, Wave)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items15Items0ItemChanged, Wave)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items15Items1ItemChanged, Wave)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items15Items2ItemChanged, Wave)
KORCAM_IMAGE_EFFECT(InspectorImageEffectsItems0Items15Items3ItemChanged, Wave)

KORCAM_IMAGE_EDITOR(kvDBSpinEditImageRotationAngleChange, Rotation)
KORCAM_IMAGE_EDITOR(kvDBSpinEditImageRotationCenterXChange, Rotation)
KORCAM_IMAGE_EDITOR(kvDBSpinEditImageRotationCenterYChange, Rotation)
KORCAM_IMAGE_EDITOR(kvDBSpinEditImageAlphaBlendChange, AlphaBlend)
KORCAM_IMAGE_EDITOR(kvDBSpinEditImageImageEffectsContrastChange, Contrast)
KORCAM_IMAGE_EDITOR(kvDBSpinEditImageImageEffectsLightnessChange, Lightness)
KORCAM_IMAGE_EDITOR(kvDBSpinEditImageImageEffectsSaturationChange, Saturation)
KORCAM_IMAGE_EDITOR(kvDBSpinEditImageImageEffectsSharpenChange, Sharpen)
KORCAM_IMAGE_EDITOR(kvDBSpinEditImageImageEffectsSpongeChange, Sponge)
KORCAM_IMAGE_EDITOR(kvDBSpinEditImageImageEffectsGaussianBlurChange, GaussianBlur)
KORCAM_IMAGE_EDITOR(kvDBSpinImageEditWaveRatioChange, Wave)
KORCAM_IMAGE_EDITOR(kvDBSpinImageEditWaveXDivChange, Wave)
KORCAM_IMAGE_EDITOR(kvDBSpinImageEditWaveYDivChange, Wave)
KORCAM_IMAGE_EDITOR(vcColorComboImageImageEffectsChange, Color)
KORCAM_IMAGE_EDITOR(vcColorComboImageImageEffectsTintChange, TintColor)

#undef KORCAM_LIVE_EFFECT
#undef KORCAM_IMAGE_EFFECT
#undef KORCAM_LIVE_EDITOR
#undef KORCAM_IMAGE_EDITOR

// The Image page's master.
void TFormGhost::InspectorImageEffectsItems0Items16ItemChanged(TkvDataInspector*, TkvInspectorItem*,
                                                               const std::string&) {
  DataModule1->ActionImageEffects->SetChecked(FindImageOption("Enable Image Effects")->IsChecked());
  ApplyAll(*this, ImagePageTable(*this));
}

// ---- the blend pictures' dialogs -------------------------------------------------------------

void TFormGhost::kvDBComboDlgAlphaBlendCustomDlg(TObject*) {
  ChooseBlendBitmap(*this, LiveTable(*this), kvDBComboDlgAlphaBlend);
}

void TFormGhost::kvDBComboDlgImageAlphaBlendCustomDlg(TObject*) {
  ChooseBlendBitmap(*this, ImagePageTable(*this), kvDBComboDlgImageAlphaBlend);
}

// The live blend picture is chosen through its dialog only (the Image page's accepts typing).
void TFormGhost::kvDBComboDlgAlphaBlendKeyPress(TObject*, char32_t& Key) {
  Key = 0;
}
