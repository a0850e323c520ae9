#pragma once
// String, Boolean and date/time fields.
//
// TStringField keeps at most Size characters (code points) and stores an empty text as null, as
// the engines behind the class library do. TBooleanField shows and reads its values through
// DisplayValues ("Yes;No"; "True"/"False" while empty), accepting any prefix of either text.
// TDateTimeField, TDateField and TTimeField format with DisplayFormat (else the locale's short date
// or long time format, or "c" for both parts) and read texts with the locale's date and time
// scanners; a date field keeps only the day and a time field only the time of day.

#include <string>

#include "platform/db/field.h"

class TStringField : public TField {
  KORCAM_CLASS(TStringField, TField)

 public:
  explicit TStringField(TComponent* AOwner);

  // The most characters a value keeps.
  ACCESSOR_PROPERTY(int32_t, Size, 20)
  // Texts pass through the data set's character conversion; with UTF-8 throughout there is none.
  PLAIN_PROPERTY(bool, Transliterate, true)

 protected:
  std::string GetAsString() const override;
  void SetAsStringValue(const std::string& Value) override;
  int32_t GetAsInteger() const override;
  void SetAsIntegerValue(int32_t Value) override;
  int64_t GetAsLargeInt() const override;
  void SetAsLargeIntValue(int64_t Value) override;
  double GetAsFloat() const override;
  void SetAsFloatValue(double Value) override;
  bool GetAsBoolean() const override;
  void SetAsBooleanValue(bool Value) override;
  TDateTime GetAsDateTime() const override;
  void SetAsDateTimeValue(TDateTime Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int32_t GetDefaultWidth() const override { return Size() > 0 ? Size() : 10; }
};

class TBooleanField : public TField {
  KORCAM_CLASS(TBooleanField, TField)

 public:
  explicit TBooleanField(TComponent* AOwner);

  // "True text;False text"; either part may be empty.
  PROPERTY(std::string, DisplayValues, "")

 protected:
  std::string GetAsString() const override;
  void SetAsStringValue(const std::string& Value) override;
  bool GetAsBoolean() const override;
  void SetAsBooleanValue(bool Value) override;
  int32_t GetAsInteger() const override;
  void SetAsIntegerValue(int32_t Value) override { SetAsBooleanValue(Value != 0); }
  void GetText(std::string& Text, bool DisplayText) const override;
  int32_t GetDefaultWidth() const override;

 private:
  std::string FTrueText = "True";
  std::string FFalseText = "False";
};

class TDateTimeField : public TField {
  KORCAM_CLASS(TDateTimeField, TField)

 public:
  explicit TDateTimeField(TComponent* AOwner);

  PROPERTY(std::string, DisplayFormat, "")

 protected:
  std::string GetAsString() const override;
  void SetAsStringValue(const std::string& Value) override;
  double GetAsFloat() const override { return GetAsDateTime(); }
  void SetAsFloatValue(double Value) override { SetAsDateTimeValue(Value); }
  TDateTime GetAsDateTime() const override;
  void SetAsDateTimeValue(TDateTime Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int32_t GetDefaultWidth() const override;
};

class TDateField : public TDateTimeField {
  KORCAM_CLASS(TDateField, TDateTimeField)

 public:
  explicit TDateField(TComponent* AOwner);
};

class TTimeField : public TDateTimeField {
  KORCAM_CLASS(TTimeField, TDateTimeField)

 public:
  explicit TTimeField(TComponent* AOwner);
};
