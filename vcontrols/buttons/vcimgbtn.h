#pragma once
// The image button: an owner-drawn button whose face is a picture stretched to the button,
// optionally tinted with the button's Color. Every pixel of the picture's transparent colour is
// cut away by the window region, so the button takes the picture's outline. It can show a second
// picture while down (or shift the first), draw a two-pixel bevel along the outline
// (fbsHighlight), a drop shadow (fbsRaised), and cover a grouped button that is down with a
// dither. The pictures can also come from an image control or another image button, by
// reference: a change there repaints this button.
//
// The region of each state is built once from the picture and kept as bytes (streamed with the
// form as "RegionData" and "DownRegionData"); it is built again when the picture, the size, the
// transparent colour, the shade style or a picture source changes.

#include <memory>

#include "vcontrols/buttons/vcbutton.h"
#include "vcontrols/imaging/vcbitmap.h"

// TransparentColor's value for a button without any window region.
constexpr TColor vcNoTransparentColor = 0x0FFFFFFF;

KORCAM_ENUM(TvcDitherStyle, dsDither, dsBlendDither, dsFill)

// The offsets of an image button add where the up picture goes while the button is down and has
// no down picture.
class TvcImgDownOffsets : public TvcOffsets {
  KORCAM_CLASS(TvcImgDownOffsets, TvcOffsets)

 public:
  explicit TvcImgDownOffsets(TvcCustomBitBtn* Button = nullptr) : TvcOffsets(Button) {}

  PLAIN_PROPERTY(int32_t, ImageDownX, 2)
  PLAIN_PROPERTY(int32_t, ImageDownY, 2)

 protected:
  void AssignTo(TPersistent* Dest) override;
};

class TvcCustomImageBtn : public TvcCustomBitBtn {
  KORCAM_CLASS(TvcCustomImageBtn, TvcCustomBitBtn)

 public:
  explicit TvcCustomImageBtn(TComponent* AOwner);
  ~TvcCustomImageBtn() override;
  void BeforeDestruction() override;

  // --- settings ---
  TColor DitherColor() const { return FDitherColor; }
  void SetDitherColor(TColor Value);
  TvcDitherStyle DitherStyle() const { return FDitherStyle; }
  void SetDitherStyle(TvcDitherStyle Value);
  TvcBitmap* Image() const { return FImage.get(); }
  // Copies the picture (a real one stops taking the picture from ExtImage).
  void SetImage(TvcBitmap* Value);
  TvcBitmap* ImageDown() const { return FImageDown.get(); }
  void SetImageDown(TvcBitmap* Value);
  // An image control (its processed picture) or another image button to take the picture from.
  TComponent* ExtImage() const { return FExtImage; }
  void SetExtImage(TComponent* Value);
  TComponent* ExtImageDown() const { return FExtImageDown; }
  void SetExtImageDown(TComponent* Value);
  // clNone: the colour of the picture's top-left pixel; vcNoTransparentColor: no region at all.
  TColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(TColor Value);
  bool RespectPalette() const;
  void SetRespectPalette(bool Value);
  // Whether the parent clips its children (WS_CLIPCHILDREN); set at run time only.
  bool ParentClipping() const;
  void SetParentClipping(bool Value);
  TvcImgDownOffsets* ImageOffsets() const { return static_cast<TvcImgDownOffsets*>(FOffsets.get()); }
  void SetImageOffsets(TvcImgDownOffsets* Value) { FOffsets->Assign(Value); }

  // --- operations ---
  // The picture of the state: from the external source when there is one.
  virtual TvcBitmap* GetImage(bool IsDown) const;
  // Picture stretched onto Target (the button's size; 2 less for fbsRaised), tinted and dithered
  // unless ForRegion.
  virtual void DrawImage(TvcBitmap* Picture, TvcBitmap* Target, TvcShadeStyle AStyle, bool ForRegion, bool IsDown);
  virtual void ImageChanged(TObject* Sender);
  // The colour at that point of the face rendered for the current state.
  virtual TColor ColorAtPoint(POINT Point);
  // Renders both faces in the highlight style and keeps them as the up and down pictures.
  virtual void BakeFaces();
  TColor EffectiveTransparentColor(bool IsDown) const;
  // The outline bevel: along every diagonal running down and to the right, the two pixels at
  // each end of a run of picture pixels (not of colour Key; -1: Source's top-left colour) get
  // the light and dark shade colours, reversed while down; focused or default buttons get a
  // black outer edge and the bevel one pixel further in.
  void DrawShade(TvcBitmap* Source, TvcBitmap* Target, TColor Key, bool IsDown);
  void AttachSource(TComponent* NewSource, TComponent*& Field);

  TvcOffsets* CreateOffsets() override;
  HRGN CreateRegion(bool UseImage, bool IsDown) override;
  bool StoreRegionData() const override;
  void RenderFace(TvcBitmap* Face, bool ForRegion, TvcShadeStyle AStyle, bool IsDown) override;
  bool UsesRegion() const override;
  bool IsShaped() const override;
  void SizeToImage() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void AssignTo(TPersistent* Dest) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // Lets go of the source's change link (the field stays).
  void DetachSource(TComponent* Source);

  TColor FDitherColor = clWhite;
  TvcDitherStyle FDitherStyle = dsDither;
  std::unique_ptr<TvcBitmap> FImage;
  std::unique_ptr<TvcBitmap> FImageDown;
  std::unique_ptr<TvcChangeLink> FSourceLink;
  TComponent* FExtImage = nullptr;
  TComponent* FExtImageDown = nullptr;
  TColor FTransparentColor = clNone;
};

// The published rows of the image button and of the shaped button that derives from it: Base
// is the class that declares the image button's accessors. (Rows only: nothing here is compiled
// outside the registering file.)
#define KORCAM_PUBLISH_IMAGE_BUTTON(Base)                                                                       \
  PUBLISH_PROPERTY(TvcCustomBitBtn, bool, AllowAllUp, false)                                                \
  PUBLISH_PROPERTY(TvcCustomBitBtn, bool, Cancel, false)                                                    \
  KORCAM_PROPERTY_ROW(Caption, [] {                                                                         \
    auto Info = korcam_detail::MakeProperty("Caption", "std::string", &TControl::Caption, &TControl::SetCaption); \
    Info.Stored = [](const TObject& Object) {                                                               \
      return static_cast<const TvcCustomBitBtn&>(Object).IsCaptionStored();                               \
    };                                                                                                      \
    return Info;                                                                                            \
  }())                                                                                                      \
  PUBLISH_PROPERTY(TvcCustomBitBtn, bool, Default, false)                                                   \
  PUBLISH_PROPERTY(TvcCustomBitBtn, bool, Down, false)                                                      \
  KORCAM_PROPERTY_ROW(Glyph, [] {                                                                           \
    auto Info = korcam_detail::MakeProperty("Glyph", "TBitmap*", &TvcCustomBitBtn::Glyph,                   \
                                            &TvcCustomBitBtn::SetGlyph);                                    \
    Info.Owned = true;                                                                                      \
    Info.Stored = [](const TObject& Object) {                                                               \
      return static_cast<const TvcCustomBitBtn&>(Object).IsGlyphStored() &&                                \
             !static_cast<const TvcCustomBitBtn&>(Object).Glyph()->Empty();                                 \
    };                                                                                                      \
    return Info;                                                                                            \
  }())                                                                                                      \
  PUBLISH_PROPERTY(TvcCustomBitBtn, int32_t, GroupIndex, 0)                                                 \
  KORCAM_PROPERTY_ROW(Kind, [] {                                                                            \
    auto Info = korcam_detail::MakeProperty("Kind", "TBitBtnKind", &TvcCustomBitBtn::Kind,                  \
                                            &TvcCustomBitBtn::SetKind);                                     \
    korcam_detail::SetDefault<TBitBtnKind>(Info, bkCustom);                                                 \
    return Info;                                                                                            \
  }())                                                                                                      \
  PUBLISH_PROPERTY(TvcCustomBitBtn, TButtonLayout, Layout, blGlyphLeft)                                     \
  PUBLISH_PROPERTY(TvcCustomBitBtn, int32_t, Margin, -1)                                                    \
  PUBLISH_PROPERTY(TvcCustomBitBtn, TModalResult, ModalResult, mrNone)                                      \
  PUBLISH_PROPERTY(TvcCustomBitBtn, TNumGlyphs, NumGlyphs, 0)                                               \
  PUBLISH_PROPERTY(TvcCustomBitBtn, TvcButtonOptions, Options)                                              \
  KORCAM_PROPERTY_ROW(ShadeColors, [] {                                                                     \
    auto Info = korcam_detail::MakeProperty("ShadeColors", "TvcShadeColors*", &TvcCustomBitBtn::ShadeColors, \
                                            &TvcCustomBitBtn::SetShadeColors);                              \
    Info.Owned = true;                                                                                      \
    return Info;                                                                                            \
  }())                                                                                                      \
  PUBLISH_PROPERTY(TvcCustomBitBtn, bool, SmoothFont, false)                                                \
  PUBLISH_PROPERTY(TvcCustomBitBtn, int32_t, Spacing, 4)                                                    \
  PUBLISH_PROPERTY(TvcCustomBitBtn, TButtonStyle, Style, bsAutoDetect)                                      \
  KORCAM_PROPERTY_ROW(TextOptions, [] {                                                                     \
    auto Info = korcam_detail::MakeProperty("TextOptions", "TvcCaptionText*", &TvcCustomBitBtn::TextOptions, \
                                            &TvcCustomBitBtn::SetTextOptions);                              \
    Info.Owned = true;                                                                                      \
    return Info;                                                                                            \
  }())                                                                                                      \
  PUBLISH_PROPERTY(Base, TColor, DitherColor, clWhite)                                                      \
  PUBLISH_PROPERTY(Base, TvcDitherStyle, DitherStyle, dsDither)                                             \
  KORCAM_PROPERTY_ROW(Image, [] {                                                                           \
    auto Info = korcam_detail::MakeProperty("Image", "TvcBitmap*", &Base::Image, &Base::SetImage);          \
    Info.Owned = true;                                                                                      \
    return Info;                                                                                            \
  }())                                                                                                      \
  KORCAM_PROPERTY_ROW(ImageDown, [] {                                                                       \
    auto Info = korcam_detail::MakeProperty("ImageDown", "TvcBitmap*", &Base::ImageDown, &Base::SetImageDown); \
    Info.Owned = true;                                                                                      \
    return Info;                                                                                            \
  }())                                                                                                      \
  PUBLISH_PROPERTY(Base, TComponent*, ExtImage, nullptr)                                                    \
  PUBLISH_PROPERTY(Base, TComponent*, ExtImageDown, nullptr)                                                \
  KORCAM_PROPERTY_ROW(Offsets, [] {                                                                         \
    auto Info = korcam_detail::MakeProperty("Offsets", "TvcImgDownOffsets*", &Base::ImageOffsets,           \
                                            &Base::SetImageOffsets);                                        \
    Info.Owned = true;                                                                                      \
    return Info;                                                                                            \
  }())                                                                                                      \
  KORCAM_PROPERTY_ROW(ParentClipping, [] {                                                                  \
    auto Info = korcam_detail::MakeProperty("ParentClipping", "bool", &Base::ParentClipping,               \
                                            &Base::SetParentClipping);                                      \
    Info.Stored = [](const TObject&) { return false; };                                                     \
    return Info;                                                                                            \
  }())                                                                                                      \
  PUBLISH_PROPERTY(Base, bool, RespectPalette, false)                                                       \
  PUBLISH_PROPERTY(Base, TColor, TransparentColor, clNone)

class TvcImageBtn : public TvcCustomImageBtn {
  KORCAM_CLASS(TvcImageBtn, TvcCustomImageBtn)

 public:
  explicit TvcImageBtn(TComponent* AOwner) : TvcCustomImageBtn(AOwner) {}

  KORCAM_PUBLISH_IMAGE_BUTTON(TvcCustomImageBtn)
  PUBLISH_PROPERTY(TvcCustomBitBtn, TvcShadeStyle, ShadeStyle, fbsNormal)
};
