#pragma once
// TPicture: a holder of one graphic (a bitmap, a JPEG image, an icon or any other TGraphic)
// that loads files by their extension through a registry of file formats. The picture owns its
// graphic; setting Graphic stores a copy. OnChange fires when the graphic is replaced and
// whenever the graphic itself changes.
//
// In form resources a picture's "Data" is the graphic's class name (one length byte and the
// name) followed by the graphic's own data; a file referenced from the resources may also be
// the bare bitmap, JPEG or icon file, recognised by its first bytes.

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/events.h"
#include "platform/classes/persistent.h"
#include "platform/forms/graphic.h"

class TBitmap;
class TIcon;

class TPicture : public TPersistent {
  KORCAM_CLASS(TPicture, TPersistent)

 public:
  TPicture();
  ~TPicture() override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Stores a copy of Value (of the same class); nullptr empties the picture.
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap. When the picture holds something else, it is replaced by a new,
  // empty bitmap first (the old graphic is not converted).
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  TIcon* Icon();
  void SetIcon(TIcon* Value);

  int32_t Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int32_t Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // Loads with the graphic class registered for the file's extension. Raises EInvalidGraphic
  // "Unknown picture file extension (.<ext>)" for an extension no class reads; on any failure
  // the picture keeps its old graphic.
  void LoadFromFile(const std::string& FileName);
  // Writes the graphic in the format the extension names (a bitmap saved as "x.jpg" is written
  // as JPEG); an extension without a registered class writes the graphic's own format.
  void SaveToFile(const std::string& FileName);

  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

  TNotifyEvent OnChange;

  static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                 TGraphicClass GraphicClass);
  static void UnregisterGraphicClass(TGraphicClass GraphicClass);
  // The class registered for an extension (with or without the dot; any case), or nullptr.
  static TGraphicClass FindFileFormat(const std::string& Extension);

 protected:
  void AssignTo(TPersistent* Dest) override;
  virtual void Changed(TObject* Sender);

 private:
  void ReplaceGraphic(std::unique_ptr<TGraphic> Graphic);
  void ForceType(TGraphicClass GraphicClass);
  void ReadData(TStream& Stream);
  void WriteData(TStream& Stream);
  void GraphicChanged(TObject* Sender);

  std::unique_ptr<TGraphic> FGraphic;
};

// Open and save dialog helpers over the registered formats, for classes derived from
// GraphicClass: "All (*.jpg;*.bmp)|*.jpg;*.bmp|JPEG Image File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp".
std::string GraphicFilter(TGraphicClass GraphicClass);
// The first extension registered for exactly that class ("bmp"), or "".
std::string GraphicExtension(TGraphicClass GraphicClass);
// "*.jpg;*.bmp".
std::string GraphicFileMask(TGraphicClass GraphicClass);
