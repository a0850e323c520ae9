#pragma once
// Picture masks: a text is checked against a mask and, on request, completed. The mask grammar:
//
//   #  a digit            ?  a letter            &  a letter, made upper case
//   ~  a letter, made lower case                  !  any character, made upper case
//   @  any character      *n element  the element exactly n times (no n or 0: any number of times)
//   [ ... ]  an optional group        { ... }  a required group
//   ,  separates the alternatives of the mask or of the group it stands in
//   ;x the character x as a literal   anything else: a literal, written in the mask's own case
//
// A letter is A-Z, a-z or any character above U+007F. Literals compare with a-z folded; a blank
// typed at the end of the text completes the literal it stands for ("12 " against ##:## becomes
// "12:"). Auto-fill appends the literal characters that follow the typed text.
//
// Checking never raises. A malformed mask reports pmrSyntax for every text: AcceptsInput lets
// everything through, IsValidText accepts nothing.

#include <cstdint>
#include <string>

#include "platform/classes/object.h"

enum TkvPictureResult : uint8_t {
  pmrComplete,
  pmrIncomplete,
  pmrEmpty,
  pmrError,
  pmrSyntax,
  // The two below occur only inside the matcher: a check reports them as pmrComplete and
  // pmrIncomplete. Ambiguous is "complete, but more text could still match"; IncompleteNoFill is
  // "incomplete, and auto-fill must not guess".
  pmrAmbiguous,
  pmrIncompleteNoFill,
};

// Options of a validator.
inline constexpr uint16_t kvpoAutoFill = 1;
// Check the text while the user appends to it (always set).
inline constexpr uint16_t kvpoCheckOnAppend = 4;

class TkvPictureValidator : public TObject {
  KORCAM_CLASS(TkvPictureValidator, TObject)

 public:
  // Keeps a copy of Mask. Status becomes 1 when the mask fails its syntax check.
  TkvPictureValidator(const std::string& Mask, bool AutoFill);

  const std::string& Mask() const { return FMask; }
  // 0: the mask is usable; 1: it fails the syntax check.
  uint16_t Status() const { return FStatus; }
  uint16_t Options() const { return FOptions; }

  // Checks Text with auto-fill when the validator was made with it and SuppressFill is false.
  // False only for pmrError. Text is changed in place.
  virtual bool AcceptsInput(std::string& Text, bool SuppressFill);
  // Checks a copy of Text without auto-fill: true for pmrComplete and pmrEmpty.
  virtual bool IsValidText(const std::string& Text);
  // The check: converts letters to the case the mask asks for, writes literals in the mask's case
  // and, with AutoFill, appends the literals that follow an incomplete text (undone again when
  // the longer text no longer matches). Reports pmrComplete, pmrIncomplete, pmrEmpty, pmrError or
  // pmrSyntax.
  virtual TkvPictureResult CheckText(std::string& Text, bool AutoFill);

 private:
  std::string FMask;
  std::u32string FMaskChars;
  bool FSyntaxOk = false;
  uint16_t FStatus = 0;
  uint16_t FOptions = kvpoCheckOnAppend;
};
