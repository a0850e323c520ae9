#include "platform/forms/picture.h"

#include <algorithm>

#include "platform/classes/formreader.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/icon.h"
#include "platform/forms/jpegimage.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TPicture)

namespace {

struct TFileFormat {
  std::string Extension;  // lower case, no dot
  std::string Description;
  TGraphicClass GraphicClass;
};

std::vector<TFileFormat>& FileFormats() {
  // Later registrations come first, so a format registered by the program wins over ours.
  static std::vector<TFileFormat> Formats = [] {
    std::vector<TFileFormat> Result;
    Result.push_back({"jpg", "JPEG Image File", &TJPEGImage::StaticClass()});
    Result.push_back({"jpeg", "JPEG Image File", &TJPEGImage::StaticClass()});
    Result.push_back({"bmp", "Bitmaps", &TBitmap::StaticClass()});
    Result.push_back({"ico", "Icons", &TIcon::StaticClass()});
    return Result;
  }();
  return Formats;
}

std::string NormalExtension(const std::string& Extension) {
  std::string Result = Extension;
  if (!Result.empty() && Result[0] == '.') Result.erase(0, 1);
  return LowerCase(Result);
}

bool IsGraphicClass(TGraphicClass Class) {
  return Class && Class->InheritsFrom(TGraphic::StaticClass());
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicClass GraphicClass) {
  if (!IsGraphicClass(GraphicClass)) throw EInvalidGraphic("Invalid graphic class");
  FileFormats().insert(FileFormats().begin(),
                       TFileFormat{NormalExtension(Extension), Description, GraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass GraphicClass) {
  auto& Formats = FileFormats();
  Formats.erase(std::remove_if(Formats.begin(), Formats.end(),
                               [GraphicClass](const TFileFormat& Format) {
                                 return Format.GraphicClass->InheritsFrom(*GraphicClass);
                               }),
                Formats.end());
}

TGraphicClass TPicture::FindFileFormat(const std::string& Extension) {
  const std::string Wanted = NormalExtension(Extension);
  for (const TFileFormat& Format : FileFormats())
    if (Format.Extension == Wanted) return Format.GraphicClass;
  return nullptr;
}

std::string GraphicFileMask(TGraphicClass GraphicClass) {
  std::string Result;
  for (const TFileFormat& Format : FileFormats()) {
    if (GraphicClass && !Format.GraphicClass->InheritsFrom(*GraphicClass)) continue;
    if (!Result.empty()) Result += ";";
    Result += "*." + Format.Extension;
  }
  return Result;
}

std::string GraphicFilter(TGraphicClass GraphicClass) {
  const std::string All = GraphicFileMask(GraphicClass);
  std::string Result = "All (" + All + ")|" + All;
  for (const TFileFormat& Format : FileFormats()) {
    if (GraphicClass && !Format.GraphicClass->InheritsFrom(*GraphicClass)) continue;
    Result += "|" + Format.Description + " (*." + Format.Extension + ")|*." + Format.Extension;
  }
  return Result;
}

std::string GraphicExtension(TGraphicClass GraphicClass) {
  for (const TFileFormat& Format : FileFormats())
    if (Format.GraphicClass == GraphicClass) return Format.Extension;
  return "";
}

// ---------------------------------------------------------------------------------------------

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Changed(TObject* Sender) {
  if (OnChange) OnChange(this);
}

void TPicture::GraphicChanged(TObject* Sender) {
  Changed(Sender);
}

void TPicture::ReplaceGraphic(std::unique_ptr<TGraphic> Graphic) {
  FGraphic = std::move(Graphic);
  if (FGraphic) FGraphic->OnChange = TNotifyEvent(this, &TPicture::GraphicChanged);
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  std::unique_ptr<TGraphic> Copy;
  if (Value) {
    Copy.reset(TGraphic::Create(&Value->ClassType()));
    if (!Copy) throw EInvalidGraphic("Invalid graphic class");
    Copy->Assign(Value);
  }
  ReplaceGraphic(std::move(Copy));
}

void TPicture::ForceType(TGraphicClass GraphicClass) {
  if (FGraphic && FGraphic->InheritsFrom(*GraphicClass)) return;
  ReplaceGraphic(std::unique_ptr<TGraphic>(TGraphic::Create(GraphicClass)));
}

TBitmap* TPicture::Bitmap() {
  ForceType(&TBitmap::StaticClass());
  return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::SetBitmap(TBitmap* Value) {
  SetGraphic(Value);
}

TIcon* TPicture::Icon() {
  ForceType(&TIcon::StaticClass());
  return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::SetIcon(TIcon* Value) {
  SetGraphic(Value);
}

void TPicture::LoadFromFile(const std::string& FileName) {
  const std::string Extension = NormalExtension(ExtractFileExt(FileName));
  const TGraphicClass GraphicClass = FindFileFormat(Extension);
  if (!GraphicClass) throw EInvalidGraphic("Unknown picture file extension (." + Extension + ")");
  std::unique_ptr<TGraphic> Graphic(TGraphic::Create(GraphicClass));
  if (!Graphic) throw EInvalidGraphic("Invalid graphic class");
  Graphic->LoadFromFile(FileName);
  ReplaceGraphic(std::move(Graphic));
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (!FGraphic) return;
  const TGraphicClass GraphicClass = FindFileFormat(ExtractFileExt(FileName));
  if (!GraphicClass || FGraphic->InheritsFrom(*GraphicClass)) {
    FGraphic->SaveToFile(FileName);
    return;
  }
  std::unique_ptr<TGraphic> Converted(TGraphic::Create(GraphicClass));
  if (!Converted) throw EInvalidGraphic("Invalid graphic class");
  Converted->Assign(FGraphic.get());
  Converted->SaveToFile(FileName);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* Picture = dynamic_cast<TPicture*>(Source)) {
    if (Picture != this) SetGraphic(Picture->Graphic());
  } else if (auto* Graphic = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(Graphic);
  } else {
    inherited::Assign(Source);
  }
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (auto* Graphic = dynamic_cast<TGraphic*>(Dest)) {
    Graphic->Assign(FGraphic.get());
    return;
  }
  inherited::AssignTo(Dest);
}

void TPicture::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data", [this](TStream& Stream) { ReadData(Stream); }, [this](TStream& Stream) { WriteData(Stream); },
      FGraphic != nullptr);
}

void TPicture::ReadData(TStream& Stream) {
  const int64_t Start = Stream.Position();
  uint8_t Head[4] = {0, 0, 0, 0};
  const int32_t HeadCount = Stream.Read(Head, 4);
  Stream.SetPosition(Start);
  TGraphicClass GraphicClass = nullptr;
  // A bare file: recognised by its signature.
  if (HeadCount >= 2 && Head[0] == 'B' && Head[1] == 'M')
    GraphicClass = &TBitmap::StaticClass();
  else if (HeadCount >= 2 && Head[0] == 0xFF && Head[1] == 0xD8)
    GraphicClass = &TJPEGImage::StaticClass();
  else if (HeadCount == 4 && Head[0] == 0 && Head[1] == 0 && Head[2] == 1 && Head[3] == 0)
    GraphicClass = &TIcon::StaticClass();
  if (GraphicClass) {
    std::unique_ptr<TGraphic> Graphic(TGraphic::Create(GraphicClass));
    Graphic->LoadFromStream(Stream);
    ReplaceGraphic(std::move(Graphic));
    return;
  }
  uint8_t Length = 0;
  Stream.ReadBuffer(&Length, 1);
  if (Length == 0) {
    ReplaceGraphic(nullptr);
    return;
  }
  std::string Name(Length, '\0');
  Stream.ReadBuffer(Name.data(), Length);
  GraphicClass = FindClass(Name);
  if (!IsGraphicClass(GraphicClass)) throw EInvalidGraphic("Unknown picture format '" + Name + "'");
  std::unique_ptr<TGraphic> Graphic(TGraphic::Create(GraphicClass));
  if (!Graphic) throw EInvalidGraphic("Invalid graphic class");
  Graphic->ReadData(Stream);
  ReplaceGraphic(std::move(Graphic));
}

void TPicture::WriteData(TStream& Stream) {
  std::string Name = FGraphic ? FGraphic->ClassName() : std::string();
  if (Name.size() > 255) Name.resize(255);
  const uint8_t Length = uint8_t(Name.size());
  Stream.WriteBuffer(&Length, 1);
  if (Length) Stream.WriteBuffer(Name.data(), Length);
  if (FGraphic) FGraphic->WriteData(Stream);
}
