#pragma once
// TJPEGImage: a JPEG picture, held as its file image and, once needed, as a decoded bitmap.
//
// Loading keeps the bytes and reads only the header; the pixels are decoded on first use
// (DIBNeeded: drawing, assigning to a bitmap) at Scale (1/2, 1/4, 1/8 of each side) and, with
// Grayscale, as an 8-bit grey picture. Assigning a bitmap keeps a copy of it and drops the bytes;
// they are made again at CompressionQuality when first needed (JPEGNeeded: saving, Compress), so
// the quality set after the assignment is the one written. Writing is baseline JPEG with the
// codec's defaults. Codec faults raise EJPEG "JPEG error #<code>".
//
// Performance and the progressive switches are kept for callers that set them; the codec decodes
// with its accurate defaults and writes baseline files either way.

#include <memory>
#include <vector>

#include "platform/forms/graphic.h"

class TBitmap;
struct TJpegCompressor;
struct TJpegDecompressor;

KORCAM_ENUM(TJPEGScale, jsFullSize, jsHalf, jsQuarter, jsEighth)
KORCAM_ENUM(TJPEGPerformance, jpBestQuality, jpBestSpeed)
KORCAM_ENUM(TJPEGPixelFormat, jf24Bit, jf8Bit)
using TJPEGQualityRange = int32_t;

class TJPEGImage : public TGraphic {
  KORCAM_CLASS(TJPEGImage, TGraphic)

 public:
  TJPEGImage();
  ~TJPEGImage() override;

  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* ACanvas, const RECT& Rect) override;
  // Reads the rest of the stream as one JPEG file image (its header must be valid).
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  void ReadData(TStream& Stream) override;
  void WriteData(TStream& Stream) override;
  // A JPEG image has the size of its picture: raises EInvalidGraphicOperation.
  void SetWidth(int32_t Value) override;
  void SetHeight(int32_t Value) override;

  // Makes the file image from the bitmap now.
  void Compress();
  // Decodes the picture if it is not decoded yet.
  void DIBNeeded();
  // Encodes the bitmap if there is no file image.
  void JPEGNeeded();
  // The decoded picture (DIBNeeded first); nullptr while there is none.
  TBitmap* Bitmap() const;

  TJPEGQualityRange CompressionQuality() const { return FCompressionQuality; }
  // 1..100 (values outside are clamped). A picture that came from a bitmap is encoded again at
  // the new quality; a loaded file keeps its bytes.
  void SetCompressionQuality(TJPEGQualityRange Value);
  bool Grayscale() const { return FGrayscale; }
  void SetGrayscale(bool Value);
  TJPEGScale Scale() const { return FScale; }
  void SetScale(TJPEGScale Value);
  TJPEGPerformance Performance() const { return FPerformance; }
  void SetPerformance(TJPEGPerformance Value);
  TJPEGPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TJPEGPixelFormat Value);
  bool ProgressiveEncoding() const { return FProgressiveEncoding; }
  void SetProgressiveEncoding(bool Value) { FProgressiveEncoding = Value; }
  bool ProgressiveDisplay() const { return FProgressiveDisplay; }
  void SetProgressiveDisplay(bool Value) { FProgressiveDisplay = Value; }
  bool Smoothing() const { return FSmoothing; }
  void SetSmoothing(bool Value) { FSmoothing = Value; }

 protected:
  void AssignTo(TPersistent* Dest) override;
  bool GetEmpty() const override;
  int32_t GetWidth() const override;
  int32_t GetHeight() const override;

 private:
  void SetData(const uint8_t* Data, size_t Size);
  void Decode();
  void FreeBitmap();

  std::vector<uint8_t> FData;  // the file image; empty until loaded or compressed
  int32_t FDataWidth = 0;
  int32_t FDataHeight = 0;
  std::unique_ptr<TBitmap> FBitmap;  // kept between pictures so a new one of the same size reuses it
  bool FBitmapValid = false;
  bool FDataFromBitmap = false;   // FData was made from FBitmap (not loaded)
  std::vector<uint8_t> FScratch;  // full-size rows while a scaled or grey picture is decoded

  TJPEGQualityRange FCompressionQuality = 90;
  bool FGrayscale = false;
  TJPEGScale FScale = jsFullSize;
  TJPEGPerformance FPerformance = jpBestQuality;
  TJPEGPixelFormat FPixelFormat = jf24Bit;
  bool FProgressiveEncoding = false;
  bool FProgressiveDisplay = false;
  bool FSmoothing = true;

  TJpegCompressor* FCompressor = nullptr;
  TJpegDecompressor* FDecompressor = nullptr;
};
