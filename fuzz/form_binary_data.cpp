// Arbitrary bytes as the binary data a form resource holds for a picture ("Picture.Data": a class
// name and the graphic's data, or a bare bitmap, JPEG or icon file), for the data of a bitmap, a
// JPEG image or an icon ("Data"), and for an image list's images ("Bitmap"), read through the
// class that owns the data, as the form reader hands it over. The first byte chooses the owner
// (and, for an image list, its image size and mask). What cannot be read is refused with one of
// the class library's exceptions; what is read writes itself back to data that reads again to
// the same size.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/classes/formreader.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/icon.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/jpegimage.h"
#include "platform/forms/picture.h"

namespace {

// What the form reader and writer do with one binary property: hand the owner a stream to read
// it from, or take what the owner writes.
class TBinaryPropertyFiler : public TFiler {
 public:
  TBinaryPropertyFiler(std::string Name, TStream* Input, TStream* Output)
      : TFiler(nullptr), FName(std::move(Name)), FInput(Input), FOutput(Output) {}

  void DefineProperty(const std::string&, const TReaderProc&, const TWriterProc&, bool) override {}
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override {
    if (Name != FName) return;
    if (FInput) ReadData(*FInput);
    if (FOutput && HasData) WriteData(*FOutput);
  }

 private:
  std::string FName;
  TStream* FInput;
  TStream* FOutput;
};

struct TOwner {
  std::unique_ptr<TPersistent> Object;
  const char* Property;
};

TOwner MakeOwner(uint8_t Choice) {
  switch (Choice % 5) {
    case 0: return {std::make_unique<TPicture>(), "Data"};
    case 1: return {std::make_unique<TBitmap>(), "Data"};
    case 2: return {std::make_unique<TJPEGImage>(), "Data"};
    case 3: return {std::make_unique<TIcon>(), "Data"};
    default: {
      auto Images = std::make_unique<TImageList>(nullptr);
      Images->SetSize(1 + (Choice >> 3) % 32, 1 + (Choice >> 3) % 24);
      Images->SetMasked((Choice & 4) != 0);
      return {std::move(Images), "Bitmap"};
    }
  }
}

// The width, height and count of what the owner holds, to compare a read with a read of what it
// wrote.
std::string Measure(TPersistent& Object) {
  if (auto* Picture = dynamic_cast<TPicture*>(&Object))
    return (Picture->Graphic() ? std::string(Picture->Graphic()->ClassName()) : "none") + " " +
           std::to_string(Picture->Width()) + "x" + std::to_string(Picture->Height());
  if (auto* Graphic = dynamic_cast<TGraphic*>(&Object))
    return std::to_string(Graphic->Width()) + "x" + std::to_string(Graphic->Height());
  if (auto* Images = dynamic_cast<TCustomImageList*>(&Object)) return std::to_string(Images->Count());
  return "";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 1 || Size > (size_t(1) << 20)) return 0;
  TOwner Owner = MakeOwner(Data[0]);
  TMemoryStream Input;
  if (Size > 1) Input.WriteBuffer(Data + 1, int32_t(Size - 1));
  Input.SetPosition(0);
  try {
    TBinaryPropertyFiler Reader(Owner.Property, &Input, nullptr);
    Owner.Object->DefineProperties(&Reader);
  } catch (const Exception&) {
    return 0;
  }
  TMemoryStream Written;
  TBinaryPropertyFiler Writer(Owner.Property, nullptr, &Written);
  Owner.Object->DefineProperties(&Writer);
  if (Written.Size() == 0) return 0;
  Written.SetPosition(0);
  TOwner Again = MakeOwner(Data[0]);
  TBinaryPropertyFiler Reader(Owner.Property, &Written, nullptr);
  Again.Object->DefineProperties(&Reader);
  if (Measure(*Again.Object) != Measure(*Owner.Object)) std::abort();
  return 0;
}
