// Form text: a small hand-written lexer and recursive-descent parser. Every token knows its line,
// so every error names the line where the text went wrong.

#include "platform/classes/formparser.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/unicode.h"

namespace {

constexpr int MaxDepth = 64;

enum class TToken { End, Ident, String, Integer, Float, Symbol, Binary };

class TParser {
 public:
  explicit TParser(std::string_view Text) : FText(Text) { Next(); }

  TFormObject ParseObject(int Depth);
  void ExpectEnd() {
    if (FToken != TToken::End) Error("text after the final \"end\"");
  }

 private:
  [[noreturn]] void Error(const std::string& What) const {
    throw EParserError("Line " + std::to_string(FTokenLine) + ": " + What);
  }

  void Next();
  void SkipBlanks();
  void ReadString();
  void ReadNumber();
  void ReadBinary();
  bool IsSymbol(char Symbol) const { return FToken == TToken::Symbol && FSymbol == Symbol; }
  bool IsIdent(std::string_view Word) const;
  void ExpectSymbol(char Symbol) {
    if (!IsSymbol(Symbol)) Error(std::string("'") + Symbol + "' expected");
    Next();
  }
  std::string ExpectIdent(const char* What) {
    if (FToken != TToken::Ident) Error(std::string(What) + " expected");
    std::string Result = FValue;
    Next();
    return Result;
  }

  TFormProperty ParseProperty(int Depth);
  TFormValue ParseValue(int Depth);
  TFormItem ParseItem(int Depth);

  std::string_view FText;
  size_t FPos = 0;
  int FLine = 1;
  TToken FToken = TToken::End;
  int FTokenLine = 1;
  std::string FValue;            // Ident, String
  std::vector<uint8_t> FBytes;   // Binary
  int64_t FInteger = 0;
  long double FFloat = 0;
  char FSymbol = 0;
};

bool TParser::IsIdent(std::string_view Word) const {
  if (FToken != TToken::Ident || FValue.size() != Word.size()) return false;
  for (size_t Index = 0; Index < Word.size(); ++Index) {
    char C = FValue[Index];
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    if (C != Word[Index]) return false;
  }
  return true;
}

void TParser::SkipBlanks() {
  while (FPos < FText.size()) {
    const char C = FText[FPos];
    if (C == '\n') {
      ++FLine;
      ++FPos;
    } else if (C == ' ' || C == '\t' || C == '\r') {
      ++FPos;
    } else if (C == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
      while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
    } else {
      break;
    }
  }
}

void TParser::Next() {
  SkipBlanks();
  FTokenLine = FLine;
  if (FPos >= FText.size()) {
    FToken = TToken::End;
    return;
  }
  const char C = FText[FPos];
  auto IsIdentStart = [](char Ch) { return (Ch >= 'a' && Ch <= 'z') || (Ch >= 'A' && Ch <= 'Z') || Ch == '_'; };
  auto IsIdentChar = [&](char Ch) { return IsIdentStart(Ch) || (Ch >= '0' && Ch <= '9'); };
  if (IsIdentStart(C)) {
    const size_t Start = FPos;
    // Qualified names ("Font.Name", "DataModule1.ImageList1") are one token.
    while (FPos < FText.size() && (IsIdentChar(FText[FPos]) ||
                                   (FText[FPos] == '.' && FPos + 1 < FText.size() && IsIdentStart(FText[FPos + 1]))))
      ++FPos;
    FValue.assign(FText.substr(Start, FPos - Start));
    FToken = TToken::Ident;
  } else if (C == '\'' || C == '#') {
    ReadString();
  } else if ((C >= '0' && C <= '9') || C == '$' || C == '-' || C == '+') {
    if ((C == '-' || C == '+') &&
        (FPos + 1 >= FText.size() || !((FText[FPos + 1] >= '0' && FText[FPos + 1] <= '9') || FText[FPos + 1] == '$'))) {
      FSymbol = C;
      FToken = TToken::Symbol;
      ++FPos;
      return;
    }
    ReadNumber();
  } else if (C == '{') {
    ReadBinary();
  } else {
    FSymbol = C;
    FToken = TToken::Symbol;
    ++FPos;
  }
}

// 'text' pieces and #code characters, joined: 'Line one'#13#10'Line two'.
void TParser::ReadString() {
  FValue.clear();
  while (FPos < FText.size()) {
    const char C = FText[FPos];
    if (C == '\'') {
      ++FPos;
      for (;;) {
        if (FPos >= FText.size() || FText[FPos] == '\n') Error("unterminated string");
        if (FText[FPos] == '\'') {
          if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
            FValue += '\'';
            FPos += 2;
            continue;
          }
          ++FPos;
          break;
        }
        FValue += FText[FPos++];
      }
    } else if (C == '#') {
      ++FPos;
      uint32_t Code = 0;
      const size_t Start = FPos;
      const bool Hex = FPos < FText.size() && FText[FPos] == '$';
      if (Hex) ++FPos;
      const size_t DigitsStart = FPos;
      while (FPos < FText.size() && FPos - DigitsStart < 8) {
        const char D = FText[FPos];
        int Digit = -1;
        if (D >= '0' && D <= '9') Digit = D - '0';
        else if (Hex && D >= 'a' && D <= 'f') Digit = D - 'a' + 10;
        else if (Hex && D >= 'A' && D <= 'F') Digit = D - 'A' + 10;
        if (Digit < 0) break;
        Code = Code * (Hex ? 16 : 10) + static_cast<uint32_t>(Digit);
        ++FPos;
      }
      if (FPos == DigitsStart || FPos - Start > 9 || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
        Error("invalid character code");
      FValue += Utf8Encode(static_cast<char32_t>(Code));
    } else {
      break;
    }
  }
  FToken = TToken::String;
}

void TParser::ReadNumber() {
  const size_t Start = FPos;
  bool Negative = false;
  if (FText[FPos] == '-' || FText[FPos] == '+') {
    Negative = FText[FPos] == '-';
    ++FPos;
  }
  if (FPos < FText.size() && FText[FPos] == '$') {
    ++FPos;
    const size_t DigitsStart = FPos;
    uint64_t Value = 0;
    while (FPos < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[FPos]))) {
      if (FPos - DigitsStart >= 16) Error("number too large");
      const char D = FText[FPos++];
      Value = Value * 16 + static_cast<uint64_t>(D <= '9' ? D - '0' : (D | 0x20) - 'a' + 10);
    }
    if (FPos == DigitsStart) Error("hexadecimal digits expected");
    FInteger = Negative ? -static_cast<int64_t>(Value) : static_cast<int64_t>(Value);
    FToken = TToken::Integer;
    return;
  }
  bool IsFloat = false;
  while (FPos < FText.size()) {
    const char D = FText[FPos];
    if (D >= '0' && D <= '9') {
      ++FPos;
    } else if (D == '.' && !IsFloat && FPos + 1 < FText.size() && FText[FPos + 1] >= '0' && FText[FPos + 1] <= '9') {
      IsFloat = true;
      ++FPos;
    } else if ((D == 'e' || D == 'E') && FPos > Start) {
      IsFloat = true;
      ++FPos;
      if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-')) ++FPos;
    } else {
      break;
    }
  }
  const std::string Number(FText.substr(Start, FPos - Start));
  if (IsFloat) {
    char* EndPointer = nullptr;
    FFloat = std::strtold(Number.c_str(), &EndPointer);
    if (EndPointer != Number.c_str() + Number.size() || !std::isfinite(FFloat)) Error("invalid number " + Number);
    FToken = TToken::Float;
    return;
  }
  const char* First = Number.c_str() + (Number[0] == '+' ? 1 : 0);
  auto [End, Status] = std::from_chars(First, Number.c_str() + Number.size(), FInteger);
  if (Status != std::errc() || End != Number.c_str() + Number.size()) Error("invalid number " + Number);
  FToken = TToken::Integer;
}

void TParser::ReadBinary() {
  ++FPos;  // '{'
  FBytes.clear();
  int High = -1;
  for (;;) {
    if (FPos >= FText.size()) Error("unterminated binary data");
    const char D = FText[FPos++];
    if (D == '}') break;
    if (D == '\n') {
      ++FLine;
      continue;
    }
    if (D == ' ' || D == '\t' || D == '\r') continue;
    int Digit = -1;
    if (D >= '0' && D <= '9') Digit = D - '0';
    else if (D >= 'a' && D <= 'f') Digit = D - 'a' + 10;
    else if (D >= 'A' && D <= 'F') Digit = D - 'A' + 10;
    if (Digit < 0) Error("invalid binary data");
    if (High < 0) {
      High = Digit;
    } else {
      FBytes.push_back(static_cast<uint8_t>(High * 16 + Digit));
      High = -1;
    }
  }
  if (High >= 0) Error("binary data with an odd number of digits");
  FToken = TToken::Binary;
}

TFormObject TParser::ParseObject(int Depth) {
  if (Depth > MaxDepth) Error("components nested too deeply");
  TFormObject Object;
  Object.Line = FTokenLine;
  if (IsIdent("inherited")) {
    Object.Inherited = true;
  } else if (!IsIdent("object") && !IsIdent("inline")) {
    Error("\"object\" expected");
  }
  Next();
  std::string First = ExpectIdent("component name or class name");
  if (IsSymbol(':')) {
    Next();
    Object.Name = First;
    Object.ClassName = ExpectIdent("class name");
  } else {
    Object.ClassName = First;
  }
  if (Object.Name.find('.') != std::string::npos || Object.ClassName.find('.') != std::string::npos)
    Error("a component name or class name has no dots");
  while (!IsIdent("end")) {
    if (FToken == TToken::End) Error("\"end\" expected");
    if (IsIdent("object") || IsIdent("inherited") || IsIdent("inline"))
      Object.Children.push_back(ParseObject(Depth + 1));
    else
      Object.Properties.push_back(ParseProperty(Depth));
  }
  Next();
  return Object;
}

TFormProperty TParser::ParseProperty(int Depth) {
  TFormProperty Property;
  Property.Line = FTokenLine;
  Property.Name = ExpectIdent("property name");
  ExpectSymbol('=');
  Property.Value = ParseValue(Depth + 1);
  return Property;
}

TFormValue TParser::ParseValue(int Depth) {
  if (Depth > MaxDepth) Error("values nested too deeply");
  TFormValue Value;
  Value.Line = FTokenLine;
  switch (FToken) {
    case TToken::Integer:
      Value.Kind = TFormValue::TKind::Integer;
      Value.Integer = FInteger;
      Next();
      return Value;
    case TToken::Float:
      Value.Kind = TFormValue::TKind::Float;
      Value.Float = FFloat;
      Next();
      return Value;
    case TToken::String:
      Value.Kind = TFormValue::TKind::String;
      Value.Text = FValue;
      Next();
      // Long strings continue on the next line after a '+'.
      while (IsSymbol('+')) {
        Next();
        if (FToken != TToken::String) Error("string expected after '+'");
        Value.Text += FValue;
        Next();
      }
      return Value;
    case TToken::Ident:
      Value.Kind = TFormValue::TKind::Ident;
      Value.Text = FValue;
      Next();
      return Value;
    case TToken::Binary:
      Value.Kind = TFormValue::TKind::Binary;
      Value.Binary = std::move(FBytes);
      FBytes.clear();
      Next();
      return Value;
    case TToken::End:
      Error("value expected");
    case TToken::Symbol:
      break;
  }
  if (IsSymbol('[')) {
    Value.Kind = TFormValue::TKind::Set;
    Next();
    while (!IsSymbol(']')) {
      Value.Names.push_back(ExpectIdent("set element"));
      if (IsSymbol(',')) {
        Next();
        if (IsSymbol(']')) Error("set element expected");
      } else if (!IsSymbol(']')) {
        Error("',' or ']' expected");
      }
    }
    Next();
    return Value;
  }
  if (IsSymbol('(')) {
    Value.Kind = TFormValue::TKind::List;
    Next();
    while (!IsSymbol(')')) {
      if (FToken == TToken::End) Error("')' expected");
      Value.List.push_back(ParseValue(Depth + 1));
    }
    Next();
    return Value;
  }
  if (IsSymbol('<')) {
    Value.Kind = TFormValue::TKind::Collection;
    Next();
    while (!IsSymbol('>')) {
      if (FToken == TToken::End) Error("'>' expected");
      Value.Items.push_back(ParseItem(Depth + 1));
    }
    Next();
    return Value;
  }
  if (IsSymbol('@')) {
    Value.Kind = TFormValue::TKind::ResourceRef;
    Next();
    if (FToken != TToken::String) Error("resource file name expected after '@'");
    Value.Text = FValue;
    Next();
    return Value;
  }
  Error(std::string("unexpected '") + FSymbol + "'");
}

TFormItem TParser::ParseItem(int Depth) {
  if (Depth > MaxDepth) Error("values nested too deeply");
  TFormItem Item;
  Item.Line = FTokenLine;
  if (!IsIdent("item")) Error("\"item\" expected");
  Next();
  while (!IsIdent("end")) {
    if (FToken == TToken::End) Error("\"end\" expected");
    Item.Properties.push_back(ParseProperty(Depth));
  }
  Next();
  return Item;
}

// ---------------------------------------------------------------------------------------------

std::string QuoteString(const std::string& Text) {
  if (Text.empty()) return "''";
  std::string Result;
  bool InQuotes = false;
  for (unsigned char C : Text) {
    if (C < ' ') {
      if (InQuotes) Result += '\'';
      InQuotes = false;
      Result += '#' + std::to_string(C);
    } else {
      if (!InQuotes) Result += '\'';
      InQuotes = true;
      if (C == '\'') Result += '\'';
      Result += static_cast<char>(C);
    }
  }
  if (InQuotes) Result += '\'';
  return Result;
}

std::string FormatFloatValue(long double Value) {
  char Buffer[64];
  // Enough digits to read back the same double; an integral value keeps a ".0" so it stays a float.
  std::snprintf(Buffer, sizeof Buffer, "%.17Lg", Value);
  std::string Text = Buffer;
  for (int Precision = 1; Precision < 18; ++Precision) {
    std::snprintf(Buffer, sizeof Buffer, "%.*Lg", Precision, Value);
    if (static_cast<double>(std::strtold(Buffer, nullptr)) == static_cast<double>(Value)) {
      Text = Buffer;
      break;
    }
  }
  if (Text.find_first_of(".eE") == std::string::npos) Text += ".0";
  return Text;
}

void AppendProperties(std::string& Out, const std::vector<TFormProperty>& Properties, int Indent) {
  const std::string Pad(static_cast<size_t>(Indent) * 2, ' ');
  for (const TFormProperty& Property : Properties)
    Out += Pad + Property.Name + " = " + FormatFormValue(Property.Value, Indent) + "\n";
}

void AppendObject(std::string& Out, const TFormObject& Object, int Indent) {
  const std::string Pad(static_cast<size_t>(Indent) * 2, ' ');
  Out += Pad + (Object.Inherited ? "inherited " : "object ");
  if (!Object.Name.empty()) Out += Object.Name + ": ";
  Out += Object.ClassName + "\n";
  AppendProperties(Out, Object.Properties, Indent + 1);
  for (const TFormObject& Child : Object.Children) AppendObject(Out, Child, Indent + 1);
  Out += Pad + "end\n";
}

}  // namespace

TFormObject ParseFormText(std::string_view Text) {
  // A byte-order mark at the start is not part of the text.
  if (Text.substr(0, 3) == "\xEF\xBB\xBF") Text.remove_prefix(3);
  TParser Parser(Text);
  TFormObject Root = Parser.ParseObject(0);
  Parser.ExpectEnd();
  return Root;
}

std::string FormatFormValue(const TFormValue& Value, int Indent) {
  const std::string Pad(static_cast<size_t>(Indent + 1) * 2, ' ');
  switch (Value.Kind) {
    case TFormValue::TKind::Integer:
      return std::to_string(Value.Integer);
    case TFormValue::TKind::Float:
      return FormatFloatValue(Value.Float);
    case TFormValue::TKind::String:
      return QuoteString(Value.Text);
    case TFormValue::TKind::Ident:
      return Value.Text;
    case TFormValue::TKind::ResourceRef:
      return "@" + QuoteString(Value.Text);
    case TFormValue::TKind::Set: {
      std::string Result = "[";
      for (size_t Index = 0; Index < Value.Names.size(); ++Index)
        Result += (Index ? ", " : "") + Value.Names[Index];
      return Result + "]";
    }
    case TFormValue::TKind::List: {
      std::string Result = "(";
      for (const TFormValue& Element : Value.List) Result += "\n" + Pad + FormatFormValue(Element, Indent + 1);
      return Result + ")";
    }
    case TFormValue::TKind::Binary: {
      static const char Digits[] = "0123456789ABCDEF";
      std::string Result = "{";
      for (size_t Index = 0; Index < Value.Binary.size(); ++Index) {
        if (Index % 32 == 0) Result += "\n" + Pad;
        Result += Digits[Value.Binary[Index] >> 4];
        Result += Digits[Value.Binary[Index] & 15];
      }
      return Result + "}";
    }
    case TFormValue::TKind::Collection: {
      std::string Result = "<";
      for (const TFormItem& Item : Value.Items) {
        Result += "\n" + Pad + "item\n";
        AppendProperties(Result, Item.Properties, Indent + 2);
        Result += Pad + "end";
      }
      return Result + ">";
    }
  }
  return {};
}

std::string FormatFormText(const TFormObject& Object) {
  std::string Out;
  AppendObject(Out, Object, 0);
  return Out;
}
