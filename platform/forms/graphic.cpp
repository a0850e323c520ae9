#include "platform/forms/graphic.h"

#include <vector>

#include "platform/classes/formreader.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"

KORCAM_REGISTER_CLASS(TGraphic)

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::Changed(TObject* Sender) {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(Stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  // The whole image is made in memory first, so a failing encoder leaves no half-written file.
  TMemoryStream Image;
  SaveToStream(Image);
  Image.SaveToFile(FileName);
}

bool TGraphic::Equals(TGraphic* Graphic) {
  if (!Graphic || &Graphic->ClassType() != &ClassType()) return false;
  if (Empty() || Graphic->Empty()) return Empty() && Graphic->Empty();
  TMemoryStream Mine, Theirs;
  WriteData(Mine);
  Graphic->WriteData(Theirs);
  return Mine.Size() == Theirs.Size() && std::equal(static_cast<const uint8_t*>(Mine.Memory()),
                                                    static_cast<const uint8_t*>(Mine.Memory()) + Mine.Size(),
                                                    static_cast<const uint8_t*>(Theirs.Memory()));
}

void TGraphic::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data", [this](TStream& Stream) { ReadData(Stream); }, [this](TStream& Stream) { WriteData(Stream); },
      !Empty());
}

void TGraphic::ReadData(TStream& Stream) {
  LoadFromStream(Stream);
}

void TGraphic::WriteData(TStream& Stream) {
  SaveToStream(Stream);
}

TGraphic* TGraphic::Create(TGraphicClass Class) {
  if (!Class || !Class->InheritsFrom(StaticClass()) || !Class->CreateInstance) return nullptr;
  TObject* Instance = Class->CreateInstance();
  auto* Result = dynamic_cast<TGraphic*>(Instance);
  if (!Result) delete Instance;
  return Result;
}

HDC TGraphic::CanvasHandle(TCanvas* Canvas) {
  Canvas->RequiredState({csHandleValid});
  return Canvas->FHandle;
}

void TGraphic::AssignTo(TPersistent* Dest) {
  auto* Bitmap = dynamic_cast<TBitmap*>(Dest);
  if (!Bitmap) {
    inherited::AssignTo(Dest);
    return;
  }
  if (Empty()) {
    Bitmap->Assign(nullptr);
    return;
  }
  // Any graphic becomes a 24-bit picture of its own size, drawn over white (a transparent
  // graphic shows white where it has no pixels).
  Bitmap->SetSize(0, 0);
  Bitmap->SetPixelFormat(pf24bit);
  Bitmap->SetSize(Width(), Height());
  Bitmap->Canvas()->Draw(0, 0, this);
}
