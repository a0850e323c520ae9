#pragma once
// Font matching: from a requested face name, weight, slant and pitch to one installed font file,
// through fontconfig.
//
// A face that is installed under the requested family name is used as it is. The faces the
// program's users know from the desktop they came from are not installed here, so a small table
// maps them to metric-compatible free faces ("Arial" to Liberation Sans, "Times New Roman" to
// Liberation Serif, "Courier New" to Liberation Mono, the dialog faces to a sans face). Anything
// else falls back by the requested pitch and family (serif, fixed, sans) and finally to DejaVu
// Sans, then to whatever fontconfig offers first. Results are cached per request, so matching
// costs one hash lookup after the first time.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One installed font file (one face of a collection) and what fontconfig says about it.
struct TFontFileInfo {
  std::string Path;
  int Index = 0;          // face index inside a collection file
  std::string Family;     // the family name the file reports first
  std::string Style;      // "Regular", "Bold Italic", ...
  int Weight = 400;       // on the 100..900 scale
  bool Italic = false;    // italic or oblique
  bool Outline = true;    // scalable outlines (false: a bitmap-only face)
  bool FixedPitch = false;
};

struct TFontRequest {
  std::string FaceName;     // as the caller wrote it; case does not matter
  int Weight = 400;         // 0 means "don't care" (regular)
  bool Italic = false;
  uint8_t PitchAndFamily = 0;  // the low two bits are the pitch, the next nibble the family
  bool OutlineOnly = false;    // a rotated font needs outlines
};

// The chosen file plus the styles the renderer must synthesise because the file lacks them.
struct TFontMatch {
  TFontFileInfo File;
  bool SynthesizeBold = false;
  bool SynthesizeItalic = false;
  bool Found = false;  // false only when no font at all is installed
};

// The free face that stands in for a well-known face name, or an empty view when the name is not
// one of them. Case-insensitive (ASCII).
std::string_view SubstituteFaceName(std::string_view FaceName);

// Matches a request (cached). Thread-safe.
TFontMatch MatchFont(const TFontRequest& Request);

// One family as enumeration reports it: its name, whether it has outlines, whether it is fixed
// pitch, and the files of its styles (regular first when there is one).
struct TFontFamilyInfo {
  std::string Name;
  bool Outline = true;
  bool FixedPitch = false;
  bool Alias = false;  // a well-known name that stands for an installed substitute
  std::vector<TFontFileInfo> Styles;
};

// Every installed family, sorted by name (ASCII case-insensitive), plus the well-known names
// whose substitutes are installed. Names are cut to 31 bytes on a code point boundary.
std::vector<TFontFamilyInfo> ListFontFamilies();

// The file of an exact installed family and style (for tests and for callers that pin a face);
// Found is false when the family is not installed.
TFontMatch FindInstalledFont(std::string_view Family, int Weight, bool Italic);
