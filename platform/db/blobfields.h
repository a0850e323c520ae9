#pragma once
// Blob fields (binary, memo, graphic) and the stream over a blob value. A blob's value is its
// bytes; AsString gives them all, while the display and edit texts only name the kind, "(MEMO)"
// for a memo with a value and "(memo)" without, as the class library shows blobs in a grid.

#include <memory>
#include <string>

#include "platform/db/field.h"
#include "platform/rtl/streams.h"

class TStrings;

class TBlobField : public TField {
  KORCAM_CLASS(TBlobField, TField)

 public:
  explicit TBlobField(TComponent* AOwner);

  bool IsBlob() const override { return true; }
  // Bytes in the current record's value.
  int32_t BlobSize() const;
  void SaveToStream(TStream& Stream) const;
  // Replaces the value with the whole of Stream from its start.
  void LoadFromStream(TStream& Stream);
  void SaveToFile(const std::string& FileName) const;
  void LoadFromFile(const std::string& FileName);
  // The value as lines, and lines as the value (a memo's text).
  void AssignToStrings(TStrings& Lines) const;
  void AssignStrings(const TStrings& Lines);

 protected:
  std::string GetAsString() const override;
  void SetAsStringValue(const std::string& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
};

class TMemoField : public TBlobField {
  KORCAM_CLASS(TMemoField, TBlobField)

 public:
  explicit TMemoField(TComponent* AOwner);
};

class TGraphicField : public TBlobField {
  KORCAM_CLASS(TGraphicField, TBlobField)

 public:
  explicit TGraphicField(TComponent* AOwner);
};

// A stream over a blob field's value in the current record, which CreateBlobStream hands out. It
// holds a copy taken when it was made; in a writing mode every Write stores the whole copy into
// the field at once (bmWrite starts empty), so nothing waits for the stream to be freed.
class TBlobStream : public TMemoryStream {
 public:
  TBlobStream(TField* Field, TBlobStreamMode Mode);
  int32_t Write(const void* Buffer, int32_t Count) override;
  void SetSize(int64_t NewSize) override;

 private:
  void Store();
  TField* FField;
  TBlobStreamMode FMode;
};
