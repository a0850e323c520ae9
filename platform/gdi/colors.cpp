#include "platform/gdi/colors.h"

#include <cstdio>

#include "platform/gdi/sysmetrics.h"
#include "platform/rtl/sysutils.h"

namespace {

struct TColorName {
  TColor Value;
  const char* Name;
};

// The order is the enumeration order GetColorValues reports.
constexpr TColorName ColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};
static_assert(sizeof(ColorNames) / sizeof(ColorNames[0]) == 52);

}  // namespace

int32_t ColorToRGB(TColor Color) {
  if (Color < 0) return int32_t(GetSysColor(Color & 0xFF));
  return Color;
}

bool ColorToIdent(int32_t Color, std::string& Ident) {
  for (const TColorName& entry : ColorNames)
    if (entry.Value == Color) {
      Ident = entry.Name;
      return true;
    }
  return false;
}

bool IdentToColor(const std::string& Ident, int32_t& Color) {
  for (const TColorName& entry : ColorNames)
    if (SameText(Ident, entry.Name)) {
      Color = entry.Value;
      return true;
    }
  return false;
}

std::string ColorToString(TColor Color) {
  std::string ident;
  if (ColorToIdent(Color, ident)) return ident;
  char text[16];
  std::snprintf(text, sizeof(text), "$%.8X", uint32_t(Color));
  return text;
}

TColor StringToColor(const std::string& S) {
  int32_t color;
  if (IdentToColor(S, color)) return color;
  return StrToInt(S);
}

void GetColorValues(const std::function<void(const std::string&)>& Proc) {
  for (const TColorName& entry : ColorNames) Proc(entry.Name);
}
