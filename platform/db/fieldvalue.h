#pragma once
// A field's value as one value type: null, a whole number, a floating-point number (dates and
// times are TDateTime days), a Boolean or a text (blobs carry their bytes as text). Record
// buffers hold these, Field->Value() returns one, and Locate and Lookup take them as keys.

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

class TFieldValue {
 public:
  using TData = std::variant<std::monostate, int64_t, double, bool, std::string>;

  TFieldValue() = default;
  template <class T>
  requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) TFieldValue(T Value)
      : FData(static_cast<int64_t>(Value)) {}
  template <class T>
  requires std::is_floating_point_v<T> TFieldValue(T Value) : FData(static_cast<double>(Value)) {}
  TFieldValue(bool Value) : FData(Value) {}
  TFieldValue(const char* Value) : FData(std::string(Value)) {}
  TFieldValue(std::string Value) : FData(std::move(Value)) {}
  TFieldValue(std::string_view Value) : FData(std::string(Value)) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(FData); }
  bool IsInteger() const { return std::holds_alternative<int64_t>(FData); }
  bool IsFloat() const { return std::holds_alternative<double>(FData); }
  bool IsNumber() const { return IsInteger() || IsFloat(); }
  bool IsBoolean() const { return std::holds_alternative<bool>(FData); }
  bool IsString() const { return std::holds_alternative<std::string>(FData); }

  // The stored alternative; callers test the kind first.
  int64_t Integer() const { return std::get<int64_t>(FData); }
  double Float() const { return IsInteger() ? static_cast<double>(Integer()) : std::get<double>(FData); }
  bool Boolean() const { return std::get<bool>(FData); }
  const std::string& String() const { return std::get<std::string>(FData); }

  // Plain text for messages and text comparisons: "" for null, "True"/"False", numbers as
  // FloatToStr writes them.
  std::string ToText() const;

  const TData& Data() const { return FData; }
  bool operator==(const TFieldValue& Other) const = default;

 private:
  TData FData;
};

// The null value.
inline const TFieldValue NullValue{};

// Orders two values: null before everything; numbers (and Booleans, False before True) by
// value; texts byte-wise, or after the fixed Unicode upper-casing when CaseInsensitive. A text
// compared with a number is read as a number when it is one, else the number is compared as
// text. Returns < 0, 0 or > 0.
int CompareFieldValues(const TFieldValue& A, const TFieldValue& B, bool CaseInsensitive);
