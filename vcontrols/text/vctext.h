#pragma once
// The caption renderer of the library's labels, owner-drawn buttons and status panels. A
// TvcText owns no window: its owner lends it a canvas and a font, sets the caption and the area
// to draw in (TextRect) and calls Draw. The caption is drawn plain, lowered, raised or outlined,
// with an optional drop shadow and extruded body, rotated by any whole degree, aligned in both
// directions, wrapped and fully justified, in a fixed look while the owner is disabled, and
// optionally through an off-screen bitmap. CalcRect measures the rendered caption, so owners can
// size themselves to it.
//
// Geometry, for one paint (angles are the caption's Rotation, counter-clockwise):
// - GetTextSize is the unrotated size of the lines (wrapped to TextRect when WordWrap).
// - The rotated size adds the extrude depth and the shadow offset, then takes the bounding box
//   of the turned rectangle.
// - CalcDrawRect places the first line's origin so that the turned box is centred on TextRect;
//   DrawRect keeps that origin and the turned box's size. Lines then run along the turned
//   baseline and step across it.
// Rounding follows one rule throughout (Rnd): the nearest integer to x - 0.4999, which rounds
// down unless x is within a ten-thousandth below the next integer.
//
// The renderer makes its turned font at the start of every paint and measurement and deletes it
// at the end, on every way out; between paints the canvas keeps its owner's font.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/classes/alignment.h"
#include "platform/classes/persistent.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/controls.h"
#include "platform/forms/font.h"

KORCAM_ENUM(TvcTextStyle, vclsDefault, vclsLowered, vclsRaised, vclsOutline)
// The side on which the extruded body lies.
KORCAM_ENUM(TvcOrientation, vcTopLeft, vcTopRight, vcBottomLeft, vcBottomRight, vcTop, vcRight, vcLeft, vcBottom)
KORCAM_ENUM(TvcTextOption, toShowAccel, toShowEllipsis, toFullJustify)
using TvcTextOptions = TSet<TvcTextOption>;
KORCAM_ENUM(TvcVAlignment, vaTop, vaVCenter, vaBottom)

// One step (dx, dy) per orientation; walked in order, the eight one-pixel offsets of the outline.
extern const POINT vcOrientationVectors[8];

// The nearest integer to X - 0.4999, ties to even.
int32_t Rnd(long double X);
// Whether Key is the caption's accelerator: the character after its first single "&" ("&&" is a
// plain ampersand), compared without regard to case.
bool IsAccel(char32_t Key, const std::string& Caption);

class TvcText;

// What the owner gives the renderer: repaint, re-measure (labels size themselves to the caption)
// and whether to draw in the enabled colours.
struct TvcTextOwnerHooks {
  std::function<void()> OnInvalidate;
  std::function<void()> OnAdjustBounds;
  std::function<bool()> IsEnabled;
};

TvcTextOwnerHooks MakeTextOwnerHooks(std::function<void()> Invalidate, std::function<void()> AdjustBounds,
                                     std::function<bool()> IsEnabled);

// The drop shadow: a copy of the caption at (XOffset, YOffset) in Color.
class TvcShadowEffects : public TPersistent {
  KORCAM_CLASS(TvcShadowEffects, TPersistent)

 public:
  explicit TvcShadowEffects(TvcText* Owner = nullptr) : FOwner(Owner) {}

  PROPERTY(TColor, Color, clBtnShadow)
  PROPERTY(bool, Enabled, false)
  PROPERTY(int32_t, XOffset, 10)
  PROPERTY(int32_t, YOffset, 10)

 public:
  // (XOffset, YOffset) while enabled, else (0, 0); with an extrude enabled each component
  // survives only when it is not 0 and has the sign of the extrude's step on that axis.
  POINT EffectiveOffset() const;

 protected:
  void AssignTo(TPersistent* Dest) override;

 private:
  TvcText* FOwner;
};

// The extruded body: Depth copies of the caption stepping toward Orientation, shaded from
// FarColor to NearColor (or striated).
class TvcExtrudeEffects : public TPersistent {
  KORCAM_CLASS(TvcExtrudeEffects, TPersistent)

 public:
  explicit TvcExtrudeEffects(TvcText* Owner = nullptr) : FOwner(Owner) {}

  PROPERTY(int32_t, Depth, 10)
  PROPERTY(bool, Enabled, false)
  PROPERTY(TColor, FarColor, clBlack)
  PROPERTY(TColor, NearColor, clBlack)
  PROPERTY(TvcOrientation, Orientation, vcBottomRight)
  PROPERTY(bool, Striated, false)

 public:
  // (0, 0) while disabled; else (Depth, Depth), or with Directional the depth along each axis
  // the orientation steps on.
  POINT Extent(bool Directional) const;

 protected:
  void AssignTo(TPersistent* Dest) override;

 private:
  TvcText* FOwner;
};

// The colours of the disabled look. Assigning one to anything raises the conversion error.
class TvcDisabledColors : public TPersistent {
  KORCAM_CLASS(TvcDisabledColors, TPersistent)

 public:
  explicit TvcDisabledColors(TvcText* Owner = nullptr) : FOwner(Owner) {}

  PROPERTY(TColor, HighlightColor, clBtnHighlight)
  PROPERTY(TColor, ShadeColor, clBtnShadow)

 private:
  TvcText* FOwner;
};

class TvcText : public TPersistent {
  KORCAM_CLASS(TvcText, TPersistent)

 public:
  // Font and Canvas stay the owner's; the renderer never frees them.
  TvcText(const TvcTextOwnerHooks& Hooks, TFont* AFont, TCanvas* ACanvas);
  TvcText() : TvcText(TvcTextOwnerHooks{}, nullptr, nullptr) {}
  ~TvcText() override;

  // --- settings (TvcCaptionText publishes them) ---
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TvcDisabledColors* DisabledColors() const { return FDisabledColors.get(); }
  void SetDisabledColors(TvcDisabledColors* Value) { FDisabledColors->Assign(Value); }
  TvcExtrudeEffects* ExtrudeEffects() const { return FExtrudeEffects.get(); }
  void SetExtrudeEffects(TvcExtrudeEffects* Value) { FExtrudeEffects->Assign(Value); }
  TColor HighlightColor() const { return FHighlightColor; }
  void SetHighlightColor(TColor Value);
  int32_t LineSpacing() const { return FLineSpacing; }
  void SetLineSpacing(int32_t Value);
  TvcTextOptions Options() const { return FOptions; }
  void SetOptions(TvcTextOptions Value);
  TColor OutlineColor() const { return FOutlineColor; }
  void SetOutlineColor(TColor Value);
  int32_t Rotation() const { return FRotation; }
  // Always stores: a negative v as 360 - (|v| mod 360), any other as v mod 360.
  void SetRotation(int32_t Value);
  TColor ShadeColor() const { return FShadeColor; }
  void SetShadeColor(TColor Value);
  TvcShadowEffects* Shadow() const { return FShadow.get(); }
  void SetShadow(TvcShadowEffects* Value) { FShadow->Assign(Value); }
  TvcTextStyle Style() const { return FStyle; }
  void SetStyle(TvcTextStyle Value);
  TvcVAlignment VAlignment() const { return FVAlignment; }
  void SetVAlignment(TvcVAlignment Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }

  // --- what the owner sets for a paint ---
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }
  // The area of the caption; Draw narrows it to the caption for left or right alignment and for
  // top or bottom alignment.
  const RECT& TextRect() const { return FTextRect; }
  void SetTextRect(const RECT& Value) { FTextRect = Value; }
  TCanvas* Canvas() const { return FCanvas; }
  void SetCanvas(TCanvas* Value) { FCanvas = Value; }
  TFont* Font() const { return FFont; }
  TvcTextOwnerHooks& Hooks() { return FHooks; }

  // --- state of a paint ---
  const RECT& DrawRect() const { return FDrawRect; }
  UINT Flags() const { return FFlags; }
  TCanvas* BufferCanvas() const { return FBufferCanvas; }
  TBitmap* BufferBitmap() const { return FBufferBitmap.get(); }
  bool DrawingToBuffer() const { return FDrawingToBuffer; }
  long double RotationRadians() const;

  // --- operations ---
  // The buffer's canvas during a double-buffered draw, else Canvas.
  virtual TCanvas* GetCanvas() const;
  virtual void FillLogFont(LOGFONTA& LogFont) const;
  // The caption's unrotated size.
  virtual SIZE GetTextSize();
  virtual SIZE GetRotatedSize(bool Unclipped);
  virtual RECT CalcDrawRect(bool Unclipped);
  virtual void DrawEmbossed();
  virtual void DrawOutlineCopies();
  virtual void DrawShadow(const RECT& R);
  // The lines of the caption from R's top-left corner, in the colour already set.
  virtual void DrawTextBlock(RECT R);
  // The rectangle of the rendered caption, measured with the turned font.
  virtual void CalcRect(bool Unclipped, RECT& R);
  // The owner repaints (when it gave an invalidate hook).
  virtual void Changed();
  virtual void Draw();
  virtual void PaintDefault();
  virtual void PaintOutline();
  virtual void PaintRaisedLowered(bool Raised);
  // Makes the turned font, selects it in the font's colour, and computes DrawRect.
  virtual void PrepareFont();
  // Copies F's style, name, size, colour, height, pitch and charset into Font.
  virtual void AssignFont(TFont* F);

  void DrawRaisedLoweredCopies(bool Raised);
  void DrawExtrude();

 protected:
  void AssignTo(TPersistent* Dest) override;

  // The owner's hooks, called as the settings change.
  void AdjustBounds();
  bool IsEnabled() const;

  // The turned font of the current paint or measurement; ReleaseFont deletes it.
  void CreateTextFont();
  void ReleaseFont();
  bool HasTextFont() const { return FTextFont != nullptr; }
  // Draws and measures from here on in Color.
  void SetFontColor(TColor Color);
  // The DC of GetCanvas with the turned font selected (and the current colour).
  HDC TextDC();
  // The colour the caption is drawn in now.
  TColor FontColor() const { return FTextColor; }
  // The lines' height in a box Width wide, as DrawTextEx lays them out: the one measurement the
  // text block steps its lines by.
  virtual int32_t MeasureHeight(const std::string& Line, int32_t Width);
  int32_t TextWidth(const std::string& Line);

  TvcTextOwnerHooks FHooks;
  TFont* FFont;
  TCanvas* FCanvas;
  TCanvas* FBufferCanvas = nullptr;
  std::unique_ptr<TBitmap> FBufferBitmap;
  bool FDrawingToBuffer = false;

  RECT FDrawRect{};
  RECT FTextRect{};
  std::string FText;
  UINT FFlags;
  TAlignment FAlignment = taLeftJustify;
  std::unique_ptr<TvcDisabledColors> FDisabledColors;
  std::unique_ptr<TvcExtrudeEffects> FExtrudeEffects;
  std::unique_ptr<TvcShadowEffects> FShadow;
  TColor FHighlightColor = clBtnHighlight;
  int32_t FLineSpacing = 5;
  TvcTextOptions FOptions{toShowAccel};
  TColor FOutlineColor = clBlack;
  int32_t FRotation = 0;
  TColor FShadeColor = clBtnShadow;
  TvcTextStyle FStyle = vclsDefault;
  TvcVAlignment FVAlignment = vaTop;
  bool FWordWrap = false;
  bool FDoubleBuffered = false;

 private:
  void DrawPlainLines(const RECT& R, int32_t LineHeight);
  void DrawJustifiedLines(RECT R, int32_t LineHeight, int32_t MaxLines);

  HFONT FTextFont = nullptr;
  TColor FTextColor = clBlack;
};

// The renderer as forms see it: the settings are published, so a form stores them.
class TvcCaptionText : public TvcText {
  KORCAM_CLASS(TvcCaptionText, TvcText)

 public:
  TvcCaptionText(const TvcTextOwnerHooks& Hooks, TFont* AFont, TCanvas* ACanvas) : TvcText(Hooks, AFont, ACanvas) {}
  TvcCaptionText() = default;

  PUBLISH_PROPERTY(TvcText, TAlignment, Alignment, taLeftJustify)
  KORCAM_PROPERTY_ROW(DisabledColors, [] {
    auto Info = korcam_detail::MakeProperty("DisabledColors", "TvcDisabledColors*", &TvcText::DisabledColors,
                                            &TvcText::SetDisabledColors);
    Info.Owned = true;
    return Info;
  }())
  KORCAM_PROPERTY_ROW(ExtrudeEffects, [] {
    auto Info = korcam_detail::MakeProperty("ExtrudeEffects", "TvcExtrudeEffects*", &TvcText::ExtrudeEffects,
                                            &TvcText::SetExtrudeEffects);
    Info.Owned = true;
    return Info;
  }())
  PUBLISH_PROPERTY(TvcText, TColor, HighlightColor, clBtnHighlight)
  PUBLISH_PROPERTY(TvcText, int32_t, LineSpacing, 5)
  PUBLISH_PROPERTY(TvcText, TvcTextOptions, Options, toShowAccel)
  PUBLISH_PROPERTY(TvcText, TColor, OutlineColor, clBlack)
  PUBLISH_PROPERTY(TvcText, int32_t, Rotation, 0)
  PUBLISH_PROPERTY(TvcText, TColor, ShadeColor, clBtnShadow)
  KORCAM_PROPERTY_ROW(Shadow, [] {
    auto Info = korcam_detail::MakeProperty("Shadow", "TvcShadowEffects*", &TvcText::Shadow, &TvcText::SetShadow);
    Info.Owned = true;
    return Info;
  }())
  PUBLISH_PROPERTY(TvcText, TvcTextStyle, Style, vclsDefault)
  PUBLISH_PROPERTY(TvcText, TvcVAlignment, VAlignment, vaTop)
  PUBLISH_PROPERTY(TvcText, bool, WordWrap, false)
  PUBLISH_PROPERTY(TvcText, bool, DoubleBuffered, false)
};
