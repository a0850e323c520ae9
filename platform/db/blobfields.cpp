#include "platform/db/blobfields.h"

#include <vector>

#include "platform/db/dbconsts.h"
#include "platform/rtl/stringlist.h"

KORCAM_REGISTER_CLASS(TBlobField)
KORCAM_REGISTER_CLASS(TMemoField)
KORCAM_REGISTER_CLASS(TGraphicField)

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftBlob);
}

std::string TBlobField::GetAsString() const {
  TFieldValue Value;
  return GetData(Value) ? Value.String() : std::string();
}

void TBlobField::SetAsStringValue(const std::string& Value) {
  if (Value.empty())
    Clear();
  else
    SetData(TFieldValue(Value));
}

void TBlobField::GetText(std::string& Text, bool) const {
  Text = ClassDesc();
}

int32_t TBlobField::BlobSize() const {
  return static_cast<int32_t>(GetAsString().size());
}

void TBlobField::SaveToStream(TStream& Stream) const {
  const std::string Data = GetAsString();
  if (!Data.empty()) Stream.WriteBuffer(Data.data(), static_cast<int32_t>(Data.size()));
}

void TBlobField::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  const int64_t Size = Stream.Size();
  std::string Data(static_cast<size_t>(Size), '\0');
  if (Size > 0) Stream.ReadBuffer(Data.data(), static_cast<int32_t>(Size));
  SetAsStringValue(Data);
}

void TBlobField::SaveToFile(const std::string& FileName) const {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream);
}

void TBlobField::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead);
  LoadFromStream(Stream);
}

void TBlobField::AssignToStrings(TStrings& Lines) const {
  Lines.SetText(GetAsString());
}

void TBlobField::AssignStrings(const TStrings& Lines) {
  SetAsStringValue(Lines.Text());
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) {
  SetDataType(ftMemo);
}

TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) {
  SetDataType(ftGraphic);
}

// ---------------------------------------------------------------------------------------------

TBlobStream::TBlobStream(TField* Field, TBlobStreamMode Mode) : FField(Field), FMode(Mode) {
  if (Mode == bmWrite) {
    FField->Clear();
    return;
  }
  const std::string Data = FField->AsString();
  if (!Data.empty()) TMemoryStream::Write(Data.data(), static_cast<int32_t>(Data.size()));
  SetPosition(0);
}

int32_t TBlobStream::Write(const void* Buffer, int32_t Count) {
  if (FMode == bmRead) throw EWriteError("Stream write error");
  const int32_t Written = TMemoryStream::Write(Buffer, Count);
  Store();
  return Written;
}

void TBlobStream::SetSize(int64_t NewSize) {
  if (FMode == bmRead) throw EWriteError("Stream write error");
  TMemoryStream::SetSize(NewSize);
  Store();
}

void TBlobStream::Store() {
  const std::string Data = Size() > 0
                               ? std::string(static_cast<const char*>(Memory()), static_cast<size_t>(Size()))
                               : std::string();
  FField->SetAsString(Data);
}
