#pragma once
// Form resources in text: the component tree of a form or data module, its property values and
// its handler bindings by method name.
//
//   object FormGhost: TFormGhost
//     Caption = 'Korvane Webcam'            // strings: '..' with '' for a quote, #13 for codes, +
//     Font.Name = 'Tahoma'                  // sub-object properties are dotted
//     Anchors = [akLeft, akTop]             // sets
//     Visible = False                       // identifiers: enumerations, booleans, colours,
//     PopupMenu = PopupMenu1                //   component references, methods
//     OnCreate = FormCreate
//     Items.Strings = ('one' 'two')         // string lists and other lists
//     RegionData = {0A0B0C}                 // binary data in hex
//     Glyph.Data = @'glyphs/kvok.bmp'       // binary data from a file under resources/
//     Panels = <                            // collections
//       item
//         Width = 50
//       end>
//     object Button1: TButton               // owned components, nested as the form holds them
//     end
//   end
//
// Parsing yields a tree; TReader (formreader.h) turns the tree into live components.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TFormItem;

struct TFormValue {
  enum class TKind { Integer, Float, String, Ident, Set, List, Binary, Collection, ResourceRef };
  TKind Kind = TKind::Integer;
  int Line = 0;
  int64_t Integer = 0;
  long double Float = 0;
  std::string Text;                 // String, Ident, ResourceRef (the path)
  std::vector<std::string> Names;   // Set
  std::vector<TFormValue> List;     // List
  std::vector<uint8_t> Binary;      // Binary
  std::vector<TFormItem> Items;     // Collection
};

struct TFormProperty {
  std::string Name;  // possibly dotted: "Font.Name"
  TFormValue Value;
  int Line = 0;
};

struct TFormItem {
  std::vector<TFormProperty> Properties;
  int Line = 0;
};

struct TFormObject {
  std::string Name;
  std::string ClassName;
  bool Inherited = false;  // "inherited" instead of "object": the component exists already
  std::vector<TFormProperty> Properties;
  std::vector<TFormObject> Children;
  int Line = 0;
};

// Parses one form text. Raises EParserError naming the line on any syntax error; nesting deeper
// than a fixed limit is an error too, so no text can exhaust the stack.
TFormObject ParseFormText(std::string_view Text);

// Writes a tree back as text, in the layout above.
std::string FormatFormText(const TFormObject& Object);

// The text of one value as the format writes it.
std::string FormatFormValue(const TFormValue& Value, int Indent);
