#pragma once
// The class library's colour dialog as a component: Execute shows the dialog modally with Color
// selected and, when the user confirms, leaves the chosen colour in Color and the custom colours
// in CustomColors. The custom colours are entries "ColorA=HEX" to "ColorP=HEX" (the colour in
// hexadecimal, blue-green-red bytes as TColor holds them); a missing entry, or one whose value is
// not hexadecimal, is a white slot. Who answers: see RunColorDialog.

#include "platform/forms/colordialogsession.h"
#include "platform/forms/filedialogs.h"
#include "platform/rtl/stringlist.h"

class TColorDialog : public TCommonDialog {
  KORCAM_CLASS(TColorDialog, TCommonDialog)

 public:
  explicit TColorDialog(TComponent* AOwner);
  ~TColorDialog() override;

  PLAIN_PROPERTY(TColor, Color, clBlack)
  ACCESSOR_PROPERTY(TStrings*, CustomColors)
  PLAIN_PROPERTY(TColorDialogOptions, Options)

 public:
  bool Execute() override;

 private:
  TStringList FCustomColors;
};
