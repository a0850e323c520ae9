#pragma once
// TvcCustomBitBtn: the base of every push button of the library. It is an owner-drawn window of
// the system's button class that paints itself completely through a face bitmap: the subclass
// draws the face (a picture, a shape), the base adds the glyph, the caption (through the caption
// renderer, TextOptions) and the focus rectangle, and copies the face to the window in one piece.
//
// Behaviour: stock kinds (OK, Cancel, Help ... with the shared glyphs KVOK to KVALL); Enter
// clicks the active default button and Escape the cancel button; buttons that share a
// GroupIndex on one parent act as radio buttons (CM_BUTTONPRESSED is broadcast to the parent's
// controls), Down and AllowAllUp keep and release them; a press takes the mouse, dragging off
// pops the button up and dragging back presses it again, and a click counts only when the button
// is released over it.
//
// Window regions: a subclass that wants a non-rectangular window builds the region for the up
// and the down state (CreateRegion), and the base keeps it: the region's bytes are cached per
// state (and streamed with the form as "RegionData" and "DownRegionData" where the subclass says
// so), freed when the button is resized, applied when the window is made and whenever the drawn
// state changes a shaped button, and the parent is repainted where the covered area changed.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/forms/buttons.h"
#include "platform/forms/canvas.h"
#include "platform/forms/wincontrol.h"
#include "vcontrols/common/changelink.h"
#include "vcontrols/text/vctext.h"

class TvcBitmap;
class TvcCustomBitBtn;
struct DRAWITEMSTRUCT;

KORCAM_ENUM(TvcShadeStyle, fbsNormal, fbsRaised, fbsHighlight, fbsFlat)
KORCAM_ENUM(TvcButtonOption, boFocusable, boOverrideActionGlyph, boToggleOnUp, boFocusRect, boAutoBold)
using TvcButtonOptions = TSet<TvcButtonOption>;

// Where glyph and caption move: always by (GlyphX, GlyphY) and (TextX, TextY), and both by
// (TextDownX, TextDownY) while the button is drawn down.
class TvcOffsets : public TPersistent {
  KORCAM_CLASS(TvcOffsets, TPersistent)

 public:
  explicit TvcOffsets(TvcCustomBitBtn* Button = nullptr) : FButton(Button) {}

  PROPERTY(int32_t, GlyphX, 0)
  PROPERTY(int32_t, GlyphY, 0)
  PROPERTY(int32_t, TextX, 0)
  PROPERTY(int32_t, TextY, 0)
  PLAIN_PROPERTY(int32_t, TextDownX, 1)
  PLAIN_PROPERTY(int32_t, TextDownY, 1)

 protected:
  void AssignTo(TPersistent* Dest) override;
  TvcCustomBitBtn* FButton;
};

// The colours the faces paint their bevels, focus ring and shadow with.
class TvcShadeColors : public TPersistent {
  KORCAM_CLASS(TvcShadeColors, TPersistent)

 public:
  explicit TvcShadeColors(TvcCustomBitBtn* Button = nullptr) : FButton(Button) {}

  PROPERTY(TColor, Btn3DLight, cl3DLight)
  PROPERTY(TColor, BtnHighlight, clBtnHighlight)
  PROPERTY(TColor, BtnShadow, clBtnShadow)
  PROPERTY(TColor, BtnBlack, clBlack)
  PROPERTY(TColor, BtnFocus, clBlack)
  PROPERTY(TColor, Shadow, clBlack)

 protected:
  void AssignTo(TPersistent* Dest) override;

 private:
  TvcCustomBitBtn* FButton;
};

class TvcCustomBitBtn : public TWinControl {
  KORCAM_CLASS(TvcCustomBitBtn, TWinControl)

 public:
  explicit TvcCustomBitBtn(TComponent* AOwner);
  ~TvcCustomBitBtn() override;

  // --- settings (the image and shaped buttons publish them) ---
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  bool Default() const { return FDefault; }
  // Always stores; the form then tells every control which one has the focus, so each button
  // works out whether it answers Enter now.
  void SetDefault(bool Value);
  bool Down() const { return FDown; }
  // Taken only by a grouped button (or while loading); otherwise False is used.
  void SetDown(bool Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t Value);
  // Reads bkCustom once Default, Cancel or ModalResult no longer match the kind that was set.
  TBitBtnKind Kind() const;
  void SetKind(TBitBtnKind Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  // -1 centres glyph and caption together; values below -1 are ignored.
  int32_t Margin() const { return FMargin; }
  void SetMargin(int32_t Value);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // 0 in a new button (counts as one cell); the writer keeps it in 1..4.
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphs Value);
  TvcButtonOptions Options() const { return FOptions; }
  void SetOptions(TvcButtonOptions Value);
  TvcOffsets* Offsets() const { return FOffsets.get(); }
  void SetOffsets(TvcOffsets* Value) { FOffsets->Assign(Value); }
  TvcShadeColors* ShadeColors() const { return FShadeColors.get(); }
  void SetShadeColors(TvcShadeColors* Value) { FShadeColors->Assign(Value); }
  TvcShadeStyle ShadeStyle() const { return FShadeStyle; }
  // The face and the region depend on it: the window is made again.
  void SetShadeStyle(TvcShadeStyle Value);
  bool SmoothFont() const { return FSmoothFont; }
  void SetSmoothFont(bool Value) { FSmoothFont = Value; }
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t Value);
  TButtonStyle Style() const { return FStyle; }
  void SetStyle(TButtonStyle Value);
  TvcCaptionText* TextOptions() const { return FTextOptions.get(); }
  void SetTextOptions(TvcCaptionText* Value) { FTextOptions->Assign(Value); }
  // Renamed: also tells OnNameChanged (a button group keeps its items' names in step).
  void SetName(const std::string& Value);

  EVENT(TNotifyEvent, OnSelChange)

 public:
  // Set by a button group item: called after the button's Name changed.
  std::function<void(TvcCustomBitBtn*)> OnNameChanged;

  // --- state other controls read and set ---
  bool ActiveDefault() const { return FActiveDefault; }
  HRGN Region() const { return FRegion; }
  HRGN PreviousRegion() const { return FPreviousRegion; }
  const std::vector<uint8_t>& RegionBytes() const { return FRegionBytes; }
  const std::vector<uint8_t>& DownRegionBytes() const { return FDownRegionBytes; }
  RECT GlyphRect() const { return FGlyphRect; }
  RECT TextRect() const { return FTextRect; }
  bool Pressing() const { return FPressing; }
  bool WasDown() const { return FWasDown; }
  bool UseHalftone() const { return FUseHalftone; }
  bool ShowDownAsUp() const { return FShowDownAsUp; }
  void SetShowDownAsUp(bool Value) { FShowDownAsUp = Value; }
  bool SelectedState() const { return FSelectedState; }
  bool ClicksSuppressed() const { return FClicksSuppressed; }
  void SetClicksSuppressed(bool Value) { FClicksSuppressed = Value; }
  bool InClick() const { return FInClick; }
  TCanvas* Canvas() const { return FCanvas.get(); }
  const std::vector<TvcChangeLink*>& Links() const { return FLinks; }
  // Down as the button is drawn now (see DrawnDown in the .cpp).
  bool DrawnDown();

  // --- operations ---
  virtual TvcOffsets* CreateOffsets();
  // A new region for the state, or none; UseImage lets a subclass build it from its face.
  virtual HRGN CreateRegion(bool UseImage, bool IsDown);
  // Places glyph and caption (of size TextSize) in R; Area is R less the margin.
  virtual void CalcLayout(TCanvas* ACanvas, const RECT& R, RECT& OutTextRect, RECT& OutGlyphRect, SIZE TextSize,
                          RECT& Area);
  // The width of one cell of the glyph strip.
  virtual int32_t GlyphWidth() const;
  virtual bool IsGlyphStored() const;
  virtual bool IsCaptionStored() const;
  // Whether "RegionData" and "DownRegionData" go into the form.
  virtual bool StoreRegionData() const;
  virtual void UpdateRegionState();
  virtual void DestroyRegions();
  virtual void FreeRegionData(std::vector<uint8_t>& Bytes);
  virtual void DrawGlyph(TCanvas* ACanvas, const RECT& Rect);
  virtual void DrawCaption(TCanvas* ACanvas, const RECT& Rect);
  virtual void DrawItem(const DRAWITEMSTRUCT& Item);
  // Draws the face into Face (sized by the subclass); ForRegion asks for the face the window
  // region is built from (no bevel). The base draws no face.
  virtual void RenderFace(TvcBitmap* Face, bool ForRegion, TvcShadeStyle AStyle, bool IsDown);
  virtual void GlyphChanged(TObject* Sender);
  virtual void NotifyLinksChanged();
  virtual void NotifyLinksPressed();
  virtual void NotifyLinksLoaded();
  virtual void PaintButton();
  // Paints at once through a DC of the window.
  virtual void PaintNow();
  virtual void ReadRegionData(TStream& Stream);
  virtual void ReadDownRegionData(TStream& Stream);
  // The region's bytes become the state's cached bytes.
  virtual void CaptureRegion(HRGN ARegion, bool IsDown);
  virtual void SelectionChanged();
  virtual void WriteRegionData(TStream& Stream);
  virtual void WriteDownRegionData(TStream& Stream);
  virtual void NotifyGroup();
  virtual bool UsesRegion() const;
  virtual void ApplyRegion();
  virtual void InvalidateParentOutsideRegion(bool Erase);
  virtual void PaintContent(TCanvas* ACanvas, RECT& R);
  virtual bool IsShaped() const;
  virtual void SizeToImage();
  // Shade colours derived from one colour (darker for shadow and black, lighter for the lights).
  virtual void SetShadeColorsFrom(TColor Color);
  virtual void RegisterLink(TvcChangeLink* Link);
  virtual void UnregisterLink(TvcChangeLink* Link);
  virtual bool IsTextEnabled() const;
  virtual void TextSizeChanged();
  // Whether the pointer (at (X, Y) of the button, or the cursor for (-1, -1)) is over the
  // button; with RequirePressed only while a press is on.
  bool IsMouseInControl(int X, int Y, bool RequirePressed);
  // Down changes only here: the region follows, links hear of a press, the group of a change.
  void SetDownState(bool Value, bool Notify, bool DoInvalidate);
  void Press();
  void Release(bool Inside);

  // A Close button closes its form; any other sets the form's ModalResult, then OnClick.
  // FIXME: waits for the controls' help contexts and the application's help call: a Help
  // button clicks like any other until then.
  void Click() override;
  void Loaded() override;
  void DefineProperties(TFiler* Filer) override;
  void Dispatch(TMessage& Message) override;
  // Caption, hint, enabled and visible state as every control takes them; a button without a
  // glyph of its own also takes the action's image (a copy on fuchsia, the list's size), whatever
  // boOverrideActionGlyph says.
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

 protected:
  void AssignTo(TPersistent* Dest) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool Destroying() const { return ComponentState().Contains(csDestroying); }

  // Settings.
  bool FActiveDefault = false;
  bool FAllowAllUp = false;
  bool FCancel = false;
  bool FDefault = false;
  bool FDown = false;
  std::unique_ptr<TBitmap> FGlyph;
  int32_t FGroupIndex = 0;
  TBitBtnKind FKind = bkCustom;
  TButtonLayout FLayout = blGlyphLeft;
  int32_t FMargin = -1;
  TModalResult FModalResult = mrNone;
  TNumGlyphs FNumGlyphs = 0;
  HRGN FRegion = nullptr;
  HRGN FPreviousRegion = nullptr;
  std::unique_ptr<TvcShadeColors> FShadeColors;
  TvcShadeStyle FShadeStyle = fbsNormal;
  int32_t FSpacing = 4;
  TButtonStyle FStyle = bsAutoDetect;
  std::unique_ptr<TvcCaptionText> FTextOptions;
  bool FSmoothFont = false;
  RECT FGlyphRect{};
  RECT FTextRect{};
  std::unique_ptr<TCanvas> FCanvas;
  std::unique_ptr<TvcOffsets> FOffsets;
  TvcButtonOptions FOptions;
  std::vector<TvcChangeLink*> FLinks;
  std::unique_ptr<TvcChangeLink> FOwnLink;

  // State.
  bool FPressing = false;
  bool FWasDown = false;
  bool FUseHalftone = false;
  bool FShowDownAsUp = false;
  std::vector<uint8_t> FDownRegionBytes;
  std::vector<uint8_t> FRegionBytes;
  bool FSelectedState = false;
  bool FClicksSuppressed = false;
  bool FInClick = false;

 private:
  void CMDialogKey(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMFocusChanged(TMessage& Message);
  void CMButtonPressed(TMessage& Message);
  void CMMouseEnterLeave(TMessage& Message, bool Entering);
  void WMPaint(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMLButtonDown(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  // Enter for the active default button, Escape for the cancel button.
  bool ClickForDialogKey(WPARAM Key);
};

// The shared kind glyph of a kind (two cells of 18 pixels: normal and disabled), loaded from
// the program's bitmap resources on first use; null for bkCustom. Raises EResNotFound when the
// resource is missing.
TBitmap* LoadKindGlyph(TBitBtnKind Kind);
