#pragma once
// Numeric fields: the integer kinds (16-bit, 32-bit, unsigned 16-bit, auto-increment, 64-bit),
// floating point, currency and BCD. They are right-justified; DisplayFormat and EditFormat are
// FormatFloat formats for the display and edit texts (the edit text uses DisplayFormat while
// EditFormat is empty, so an editor gets back the formatted text it showed). A text that is not
// a number, or a value outside MinValue..MaxValue, is refused and the record keeps its value.

#include <cstdint>
#include <string>

#include "platform/db/field.h"

class TNumericField : public TField {
  KORCAM_CLASS(TNumericField, TField)

 public:
  explicit TNumericField(TComponent* AOwner);

  PROPERTY(std::string, DisplayFormat, "")
  PROPERTY(std::string, EditFormat, "")

 protected:
  // The format of the display text, or of the edit text.
  const std::string& TextFormat(bool DisplayText) const;
};

class TIntegerField : public TNumericField {
  KORCAM_CLASS(TIntegerField, TNumericField)

 public:
  explicit TIntegerField(TComponent* AOwner);

  // A range to check writes against; while both are 0 the type's own range applies.
  PROPERTY(int32_t, MaxValue, 0)
  PROPERTY(int32_t, MinValue, 0)

  bool IsValidChar(char32_t InputChar) const override;

 protected:
  std::string GetAsString() const override;
  void SetAsStringValue(const std::string& Value) override;
  int32_t GetAsInteger() const override;
  void SetAsIntegerValue(int32_t Value) override { SetAsLargeIntValue(Value); }
  int64_t GetAsLargeInt() const override;
  void SetAsLargeIntValue(int64_t Value) override;
  double GetAsFloat() const override { return static_cast<double>(GetAsLargeInt()); }
  void SetAsFloatValue(double Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int32_t GetDefaultWidth() const override { return 11; }
  virtual int64_t TypeMin() const { return INT32_MIN; }
  virtual int64_t TypeMax() const { return INT32_MAX; }
};

class TSmallintField : public TIntegerField {
  KORCAM_CLASS(TSmallintField, TIntegerField)

 public:
  explicit TSmallintField(TComponent* AOwner);

 protected:
  int32_t GetDefaultWidth() const override { return 6; }
  int64_t TypeMin() const override { return INT16_MIN; }
  int64_t TypeMax() const override { return INT16_MAX; }
};

class TWordField : public TIntegerField {
  KORCAM_CLASS(TWordField, TIntegerField)

 public:
  explicit TWordField(TComponent* AOwner);

 protected:
  int32_t GetDefaultWidth() const override { return 6; }
  int64_t TypeMin() const override { return 0; }
  int64_t TypeMax() const override { return UINT16_MAX; }
};

// Numbered by the data set when a new record is posted without a value.
class TAutoIncField : public TIntegerField {
  KORCAM_CLASS(TAutoIncField, TIntegerField)

 public:
  explicit TAutoIncField(TComponent* AOwner);
};

class TLargeintField : public TNumericField {
  KORCAM_CLASS(TLargeintField, TNumericField)

 public:
  explicit TLargeintField(TComponent* AOwner);

  PROPERTY(int64_t, MaxValue, 0)
  PROPERTY(int64_t, MinValue, 0)

  bool IsValidChar(char32_t InputChar) const override;

 protected:
  std::string GetAsString() const override;
  void SetAsStringValue(const std::string& Value) override;
  int32_t GetAsInteger() const override;
  void SetAsIntegerValue(int32_t Value) override { SetAsLargeIntValue(Value); }
  int64_t GetAsLargeInt() const override;
  void SetAsLargeIntValue(int64_t Value) override;
  double GetAsFloat() const override { return static_cast<double>(GetAsLargeInt()); }
  void SetAsFloatValue(double Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int32_t GetDefaultWidth() const override { return 15; }
};

class TFloatField : public TNumericField {
  KORCAM_CLASS(TFloatField, TNumericField)

 public:
  explicit TFloatField(TComponent* AOwner);

  // Without a format: the display text as currency, the edit text with the currency decimals.
  PROPERTY(bool, Currency, false)
  PROPERTY(double, MaxValue, 0)
  PROPERTY(double, MinValue, 0)
  // Significant digits of the general format.
  PROPERTY(int32_t, Precision, 15)

  bool IsValidChar(char32_t InputChar) const override;

 protected:
  std::string GetAsString() const override;
  void SetAsStringValue(const std::string& Value) override;
  int32_t GetAsInteger() const override;
  void SetAsIntegerValue(int32_t Value) override { SetAsFloatValue(Value); }
  int64_t GetAsLargeInt() const override;
  void SetAsLargeIntValue(int64_t Value) override { SetAsFloatValue(static_cast<double>(Value)); }
  double GetAsFloat() const override;
  void SetAsFloatValue(double Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
};

class TCurrencyField : public TFloatField {
  KORCAM_CLASS(TCurrencyField, TFloatField)

 public:
  explicit TCurrencyField(TComponent* AOwner);
};

// A fixed-point number; Size is its count of decimals (4 unless set). Not a TFloatField: code
// that tells the kinds apart by class name sees it as its own kind.
class TBCDField : public TNumericField {
  KORCAM_CLASS(TBCDField, TNumericField)

 public:
  explicit TBCDField(TComponent* AOwner);

  // Decimals kept.
  ACCESSOR_PROPERTY(int32_t, Size, 4)
  PROPERTY(bool, Currency, false)
  PROPERTY(double, MaxValue, 0)
  PROPERTY(double, MinValue, 0)
  PROPERTY(int32_t, Precision, 0)

  bool IsValidChar(char32_t InputChar) const override;

 protected:
  std::string GetAsString() const override;
  void SetAsStringValue(const std::string& Value) override;
  int32_t GetAsInteger() const override;
  void SetAsIntegerValue(int32_t Value) override { SetAsFloatValue(Value); }
  int64_t GetAsLargeInt() const override;
  void SetAsLargeIntValue(int64_t Value) override { SetAsFloatValue(static_cast<double>(Value)); }
  double GetAsFloat() const override;
  void SetAsFloatValue(double Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int32_t GetDefaultWidth() const override { return FPrecision > 0 ? FPrecision + 2 : 10; }
};

class TFMTBCDField : public TBCDField {
  KORCAM_CLASS(TFMTBCDField, TBCDField)

 public:
  explicit TFMTBCDField(TComponent* AOwner);
};
