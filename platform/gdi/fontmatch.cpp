#include "platform/gdi/fontmatch.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"

namespace {

struct TSubstitute {
  const char* Name;
  const char* Substitute;
  bool Listed;  // enumerated as a family of its own when the substitute is installed
};

// The faces users name in settings and forms, and the free faces that keep their metrics (or,
// for the dialog faces, at least their look).
constexpr TSubstitute Substitutes[] = {
    {"Arial", "Liberation Sans", true},
    {"Helvetica", "Liberation Sans", false},
    {"MS Sans Serif", "Liberation Sans", false},
    {"MS Shell Dlg", "Liberation Sans", false},
    {"MS Shell Dlg 2", "Liberation Sans", false},
    {"Tahoma", "Liberation Sans", true},
    {"Segoe UI", "Liberation Sans", false},
    {"System", "Liberation Sans", false},
    {"Small Fonts", "Liberation Sans", false},
    {"Verdana", "DejaVu Sans", true},
    {"Times New Roman", "Liberation Serif", true},
    {"Times", "Liberation Serif", false},
    {"MS Serif", "Liberation Serif", false},
    {"Courier New", "Liberation Mono", true},
    {"Courier", "Liberation Mono", false},
    {"Fixedsys", "Liberation Mono", false},
    {"Terminal", "Liberation Mono", false},
    {"Lucida Console", "Liberation Mono", false},
};

constexpr const char* LastResortFamily = "DejaVu Sans";
constexpr size_t MaxFaceNameBytes = 31;

std::mutex& MatchMutex() {
  static std::mutex Mutex;
  return Mutex;
}

// Our own fontconfig configuration: the usual font folders and font caches, and none of the
// host's alias and preference rules, so a face name resolves the same way on every machine
// (the substitution table above is the only aliasing). It lives for the whole run.
constexpr const char* ConfigXml =
    "<?xml version=\"1.0\"?>"
    "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">"
    "<fontconfig>"
    "<dir>/usr/share/fonts</dir>"
    "<dir>/usr/local/share/fonts</dir>"
    "<dir prefix=\"xdg\">fonts</dir>"
    "<dir>~/.fonts</dir>"
    "<cachedir>/var/cache/fontconfig</cachedir>"
    "<cachedir prefix=\"xdg\">fontconfig</cachedir>"
    "</fontconfig>";

FcConfig* Config() {
  static FcConfig* const Instance = [] {
    FcConfig* Created = FcConfigCreate();
    if (Created == nullptr) return Created;
    if (!FcConfigParseAndLoadFromMemory(Created, reinterpret_cast<const FcChar8*>(ConfigXml),
                                        FcFalse) ||
        !FcConfigBuildFonts(Created)) {
      FcConfigDestroy(Created);
      return static_cast<FcConfig*>(nullptr);
    }
    return Created;
  }();
  return Instance;
}

bool EnsureFontconfig() { return Config() != nullptr; }

int PatternWeight(FcPattern* Pattern) {
  int FcWeight = 0;
  double FcWeightDouble = 0;
  if (FcPatternGetInteger(Pattern, FC_WEIGHT, 0, &FcWeight) == FcResultMatch)
    return FcWeightToOpenType(FcWeight);
  if (FcPatternGetDouble(Pattern, FC_WEIGHT, 0, &FcWeightDouble) == FcResultMatch)
    return int(FcWeightToOpenTypeDouble(FcWeightDouble));
  return 400;
}

std::string PatternString(FcPattern* Pattern, const char* Object, int Index = 0) {
  FcChar8* Value = nullptr;
  if (FcPatternGetString(Pattern, Object, Index, &Value) != FcResultMatch || Value == nullptr)
    return {};
  return reinterpret_cast<const char*>(Value);
}

TFontFileInfo InfoFromPattern(FcPattern* Pattern) {
  TFontFileInfo Info;
  Info.Path = PatternString(Pattern, FC_FILE);
  FcPatternGetInteger(Pattern, FC_INDEX, 0, &Info.Index);
  Info.Family = std::string(Utf8TruncateBytes(PatternString(Pattern, FC_FAMILY), MaxFaceNameBytes));
  Info.Style = PatternString(Pattern, FC_STYLE);
  Info.Weight = PatternWeight(Pattern);
  int Slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(Pattern, FC_SLANT, 0, &Slant);
  Info.Italic = Slant != FC_SLANT_ROMAN;
  FcBool Outline = FcTrue;
  if (FcPatternGetBool(Pattern, FC_OUTLINE, 0, &Outline) == FcResultMatch)
    Info.Outline = Outline == FcTrue;
  int Spacing = FC_PROPORTIONAL;
  FcPatternGetInteger(Pattern, FC_SPACING, 0, &Spacing);
  Info.FixedPitch = Spacing == FC_MONO || Spacing == FC_CHARCELL;
  return Info;
}

bool PatternHasFamily(FcPattern* Pattern, std::string_view Family) {
  for (int Index = 0;; ++Index) {
    FcChar8* Value = nullptr;
    if (FcPatternGetString(Pattern, FC_FAMILY, Index, &Value) != FcResultMatch) return false;
    if (SameText(reinterpret_cast<const char*>(Value), std::string(Family))) return true;
  }
}

// The best file of Family for the weight and slant, or nothing when fontconfig's best match is of
// another family (fontconfig always answers something; we want to know whether Family exists).
std::optional<TFontFileInfo> MatchFamily(std::string_view Family, int Weight, bool Italic,
                                         bool OutlineOnly, bool AnyFamily = false) {
  FcPattern* Pattern = FcPatternCreate();
  if (Pattern == nullptr) return std::nullopt;
  std::string FamilyText(Family);
  FcPatternAddString(Pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(FamilyText.c_str()));
  FcPatternAddInteger(Pattern, FC_WEIGHT, FcWeightFromOpenType(Weight));
  FcPatternAddInteger(Pattern, FC_SLANT, Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  if (OutlineOnly) FcPatternAddBool(Pattern, FC_OUTLINE, FcTrue);
  FcConfigSubstitute(Config(), Pattern, FcMatchPattern);
  FcDefaultSubstitute(Pattern);
  FcResult Result = FcResultNoMatch;
  FcPattern* Matched = FcFontMatch(Config(), Pattern, &Result);
  FcPatternDestroy(Pattern);
  if (Matched == nullptr) return std::nullopt;
  std::optional<TFontFileInfo> Info;
  if (AnyFamily || PatternHasFamily(Matched, Family)) {
    Info = InfoFromPattern(Matched);
    if (Info->Path.empty() || (OutlineOnly && !Info->Outline)) Info.reset();
  }
  FcPatternDestroy(Matched);
  return Info;
}

TFontMatch MakeMatch(const TFontFileInfo& File, int Weight, bool Italic) {
  TFontMatch Match;
  Match.File = File;
  Match.Found = true;
  Match.SynthesizeBold = Weight >= 600 && File.Weight < 600;
  Match.SynthesizeItalic = Italic && !File.Italic;
  return Match;
}

// Pitch and family bits of a logical font.
constexpr uint8_t FixedPitchBit = 1;
constexpr uint8_t FamilyMask = 0xF0;
constexpr uint8_t RomanFamily = 0x10;
constexpr uint8_t ModernFamily = 0x30;

const char* FamilyForPitch(uint8_t PitchAndFamily) {
  if ((PitchAndFamily & 3) == FixedPitchBit || (PitchAndFamily & FamilyMask) == ModernFamily)
    return "Liberation Mono";
  if ((PitchAndFamily & FamilyMask) == RomanFamily) return "Liberation Serif";
  return "Liberation Sans";
}

TFontMatch MatchUncached(const TFontRequest& Request) {
  const int Weight = Request.Weight == 0 ? 400 : std::clamp(Request.Weight, 1, 1000);
  const bool Outline = Request.OutlineOnly;
  std::vector<std::string> Candidates;
  if (!Request.FaceName.empty()) {
    Candidates.push_back(Request.FaceName);
    std::string_view Substitute = SubstituteFaceName(Request.FaceName);
    if (!Substitute.empty()) Candidates.emplace_back(Substitute);
  }
  Candidates.emplace_back(FamilyForPitch(Request.PitchAndFamily));
  Candidates.emplace_back(LastResortFamily);
  for (const std::string& Family : Candidates) {
    if (auto File = MatchFamily(Family, Weight, Request.Italic, Outline))
      return MakeMatch(*File, Weight, Request.Italic);
  }
  // Not one of the expected faces is installed: take fontconfig's own choice.
  if (auto File = MatchFamily("sans-serif", Weight, Request.Italic, Outline, true))
    return MakeMatch(*File, Weight, Request.Italic);
  if (auto File = MatchFamily("sans-serif", Weight, Request.Italic, false, true))
    return MakeMatch(*File, Weight, Request.Italic);
  return {};
}

bool StyleBefore(const TFontFileInfo& A, const TFontFileInfo& B) {
  auto Rank = [](const TFontFileInfo& Info) {
    return std::make_tuple(Info.Italic, std::abs(Info.Weight - 400), Info.Weight, Info.Style);
  };
  return Rank(A) < Rank(B);
}

}  // namespace

std::string_view SubstituteFaceName(std::string_view FaceName) {
  for (const TSubstitute& Entry : Substitutes) {
    if (SameText(Entry.Name, std::string(FaceName))) return Entry.Substitute;
  }
  return {};
}

TFontMatch MatchFont(const TFontRequest& Request) {
  std::lock_guard Lock(MatchMutex());
  static std::unordered_map<std::string, TFontMatch> Cache;
  std::string Key = LowerCase(Request.FaceName) + '\x1F' + std::to_string(Request.Weight) +
                    '\x1F' + char('0' + Request.Italic) + char('0' + Request.OutlineOnly) + '\x1F' +
                    std::to_string(Request.PitchAndFamily);
  auto Found = Cache.find(Key);
  if (Found != Cache.end()) return Found->second;
  TFontMatch Match;
  if (EnsureFontconfig()) Match = MatchUncached(Request);
  Cache.emplace(std::move(Key), Match);
  return Match;
}

TFontMatch FindInstalledFont(std::string_view Family, int Weight, bool Italic) {
  std::lock_guard Lock(MatchMutex());
  if (!EnsureFontconfig()) return {};
  auto File = MatchFamily(Family, Weight, Italic, false);
  if (!File) return {};
  return MakeMatch(*File, Weight, Italic);
}

std::vector<TFontFamilyInfo> ListFontFamilies() {
  std::lock_guard Lock(MatchMutex());
  std::vector<TFontFamilyInfo> Families;
  if (!EnsureFontconfig()) return Families;
  FcPattern* Pattern = FcPatternCreate();
  FcObjectSet* Objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, FC_WEIGHT,
                                          FC_SLANT, FC_OUTLINE, FC_SPACING, nullptr);
  FcFontSet* Set = (Pattern && Objects) ? FcFontList(Config(), Pattern, Objects) : nullptr;
  // Grouped by the ASCII-folded name so two spellings of one family make one entry.
  std::map<std::string, TFontFamilyInfo> ByName;
  for (int Index = 0; Set != nullptr && Index < Set->nfont; ++Index) {
    TFontFileInfo Info = InfoFromPattern(Set->fonts[Index]);
    if (Info.Family.empty() || Info.Path.empty()) continue;
    TFontFamilyInfo& Family = ByName[LowerCase(Info.Family)];
    if (Family.Styles.empty()) {
      Family.Name = Info.Family;
      Family.Outline = Info.Outline;
      Family.FixedPitch = Info.FixedPitch;
    }
    Family.Styles.push_back(std::move(Info));
  }
  if (Set) FcFontSetDestroy(Set);
  if (Objects) FcObjectSetDestroy(Objects);
  if (Pattern) FcPatternDestroy(Pattern);
  for (auto& [Key, Family] : ByName) {
    std::sort(Family.Styles.begin(), Family.Styles.end(), StyleBefore);
    // The same file may be listed twice (two configured folders): keep one of each.
    auto Same = [](const TFontFileInfo& A, const TFontFileInfo& B) {
      return A.Path == B.Path && A.Index == B.Index;
    };
    Family.Styles.erase(std::unique(Family.Styles.begin(), Family.Styles.end(), Same),
                        Family.Styles.end());
  }
  for (const TSubstitute& Entry : Substitutes) {
    if (!Entry.Listed || ByName.count(LowerCase(Entry.Name))) continue;
    auto Substitute = ByName.find(LowerCase(Entry.Substitute));
    if (Substitute == ByName.end()) continue;
    TFontFamilyInfo Alias = Substitute->second;
    Alias.Name = Entry.Name;
    Alias.Alias = true;
    ByName.emplace(LowerCase(Entry.Name), std::move(Alias));
  }
  for (auto& [Key, Family] : ByName) Families.push_back(std::move(Family));
  return Families;
}
