#pragma once
// TCustomImageList and TImageList: a component holding a list of same-sized images (with masks
// when Masked) behind an image-list handle of the common controls (imagelistapi.h), drawn on a
// canvas in the list's DrawingStyle and ImageType, dimmed when not enabled.
//
// The handle is made on first use; HandleAllocated tells whether there is one (drawing code of
// controls draws nothing without it). Changing Width, Height or Masked empties the list.
// Controls that show the images register a TChangeLink and hear of every change; OnChange
// fires after the links. In form resources the images are the binary property "Bitmap".

#include <string>
#include <vector>

#include "platform/classes/component.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/streams.h"

class TBitmap;
class TCanvas;
class TCustomImageList;

// Scoped: other enumerations of the libraries above use "dsNormal" too.
enum class TDrawingStyle : int { dsFocus, dsSelected, dsNormal, dsTransparent };
inline const TEnumInfo& GetEnumInfo(TDrawingStyle*) {
  static const TEnumInfo Info("TDrawingStyle", "dsFocus, dsSelected, dsNormal, dsTransparent");
  return Info;
}
KORCAM_ENUM(TImageType, itImage, itMask)
KORCAM_ENUM(TResType, rtBitmap, rtCursor, rtIcon)
using TOverlay = int32_t;  // 0..14

// The image-list colour of a TColor: clNone is CLR_NONE, clDefault CLR_DEFAULT, others RGB.
COLORREF ColorToImageListColor(TColor Color);

class TChangeLink : public TObject {
  KORCAM_CLASS(TChangeLink, TObject)

 public:
  TChangeLink() = default;
  // Unregisters from its image list.
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  void SetSender(TCustomImageList* Value) { FSender = Value; }
  // Called by the image list after each change; the default calls OnChange(Sender).
  virtual void Change();
  TNotifyEvent OnChange;

 private:
  TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
  KORCAM_CLASS(TCustomImageList, TComponent)

 public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;

  PLAIN_PROPERTY(int32_t, AllocBy, 4)
  PROPERTY(TColor, BlendColor, clNone)
  PROPERTY(TColor, BkColor, clNone)
  PROPERTY(TDrawingStyle, DrawingStyle, TDrawingStyle::dsNormal)
  PROPERTY(int32_t, Height, 16)
  PROPERTY(TImageType, ImageType, itImage)
  PROPERTY(bool, Masked, true)
  PLAIN_PROPERTY(bool, ShareImages, false)
  PROPERTY(int32_t, Width, 16)
  EVENT(TNotifyEvent, OnChange)

 public:
  // Both sizes at once (the list is emptied when either changes).
  void SetSize(int32_t AWidth, int32_t AHeight);
  int Count() const;
  HIMAGELIST Handle();
  // Adopts a list handle (freed with the image list unless ShareImages).
  void SetHandle(HIMAGELIST Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  // Adds the images of a bitmap (its width / Width of them) with their masks from Mask (or none);
  // answers the index of the first, -1 when nothing was added.
  int Add(TBitmap* Image, TBitmap* Mask);
  // Adds with the pixels of MaskColor transparent (clDefault: the bitmap's top-left colour).
  int AddMasked(TBitmap* Image, TColor MaskColor);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  // Raises EInvalidOperation "Invalid ImageList Index" for an index outside the list.
  void Delete(int Index);
  void Move(int CurIndex, int NewIndex);
  void Clear();

  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  void DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay, bool Enabled = true);
  void DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay,
                   TDrawingStyle ADrawingStyle, TImageType AImageType, bool Enabled = true);
  // Makes image ImageIndex overlay number Overlay (0..14).
  bool Overlay(int ImageIndex, TOverlay Overlay);
  // Image Index drawn (in the list's style) on Image, which takes the list's size.
  bool GetBitmap(int Index, TBitmap* Image);

  // Replaces the images by those of the bitmap resource Name (see TBitmap::LoadFromResourceName),
  // masked with MaskColor (clNone: no mask). False when there is no such resource.
  bool ResourceLoad(TResType ResType, const std::string& Name, TColor MaskColor);
  bool GetResource(TResType ResType, const std::string& Name, int AWidth, TColor MaskColor);

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  void BeginUpdate();
  void EndUpdate();

  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

 protected:
  // After every change: the links, then OnChange (held back between BeginUpdate and EndUpdate).
  virtual void Change();
  // Draws with the list's colours in Style (ILD_ flags); a disabled image is drawn embossed from
  // its mask in the button highlight and shadow colours.
  virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);

 private:
  void HandleNeeded();
  void FreeHandle();
  void Recreate();
  UINT StyleFlags(TDrawingStyle ADrawingStyle, TImageType AImageType) const;
  void ReadData(TStream& Stream);
  void WriteData(TStream& Stream);

  HIMAGELIST FHandle = nullptr;
  std::vector<TChangeLink*> FClients;
  int FUpdateCount = 0;
  bool FChanged = false;
};

class TImageList : public TCustomImageList {
  KORCAM_CLASS(TImageList, TCustomImageList)

 public:
  explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};
