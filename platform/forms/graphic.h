#pragma once
// TGraphic: a picture that can draw itself on a canvas and read and write itself as a file
// image. TBitmap, TJPEGImage and TIcon are graphics; TPicture holds one of them. Graphic classes
// are made by class (TGraphicClass) through the class registry, so a picture can create the
// class a file extension or a stream names.
//
// Extension points (descendants override; the base class calls them):
// - Draw(Canvas, Rect): paint the picture scaled into Rect. Called by TCanvas::Draw and
//   StretchDraw with the canvas's DC valid; must not fail on an empty graphic.
// - GetEmpty/GetWidth/GetHeight/SetWidth/SetHeight: the size; setters of graphics that cannot
//   be resized do nothing.
// - LoadFromStream/SaveToStream: the file image from or to the stream's position. A fault in the
//   data raises EInvalidGraphic (or its descendants) and leaves the graphic as it was.
// - ReadData/WriteData: the form resource's "Data" property; the default is the file image.
// - Changed: called after every change; the default sets Modified and fires OnChange.

#include <string>

#include "platform/classes/events.h"
#include "platform/classes/persistent.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/streams.h"

class TCanvas;

class TGraphic;
using TGraphicClass = const TClassInfo*;

class TGraphic : public TPersistent {
  KORCAM_CLASS(TGraphic, TPersistent)

 public:
  TGraphic() = default;

  bool Empty() const { return GetEmpty(); }
  int32_t Width() const { return GetWidth(); }
  int32_t Height() const { return GetHeight(); }
  virtual void SetWidth(int32_t Value) = 0;
  virtual void SetHeight(int32_t Value) = 0;
  // Drawn with the pixels of its transparent colour (or mask) left out.
  bool Transparent() const { return GetTransparent(); }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);
  virtual HPALETTE Palette() const { return nullptr; }
  virtual void SetPalette(HPALETTE Value) {}

  virtual void Draw(TCanvas* ACanvas, const RECT& Rect) = 0;

  virtual void LoadFromFile(const std::string& FileName);
  virtual void SaveToFile(const std::string& FileName);
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) = 0;

  // True when both graphics are of the same class and hold the same file image.
  virtual bool Equals(TGraphic* Graphic);

  void DefineProperties(TFiler* Filer) override;
  // The "Data" property of form resources. The default reads and writes the file image.
  virtual void ReadData(TStream& Stream);
  virtual void WriteData(TStream& Stream);

  // Sender is this graphic (or the part that changed).
  TNotifyEvent OnChange;

  // Makes a new, empty graphic of a class derived from TGraphic; nullptr for any other class.
  static TGraphic* Create(TGraphicClass Class);

 protected:
  virtual bool GetEmpty() const = 0;
  virtual int32_t GetWidth() const = 0;
  virtual int32_t GetHeight() const = 0;
  virtual bool GetTransparent() const { return FTransparent; }
  virtual void Changed(TObject* Sender);
  // Copies this graphic into a TBitmap (drawn on it at its own size) when Dest is one.
  void AssignTo(TPersistent* Dest) override;
  // The canvas's device context, made if needed, without the canvas's change events (drawing
  // code of graphics uses it while the canvas is already reporting the operation).
  static HDC CanvasHandle(TCanvas* Canvas);

  bool FTransparent = false;

 private:
  bool FModified = false;
};
