#include "app/optiontext.h"

#include <cstdint>
#include <string_view>

#include "platform/rtl/sysutils.h"

namespace {

// One channel: blanks, then one to three decimal digits making 0 to 255, then blanks.
bool ReadChannel(std::string_view Text, int& Channel) {
  size_t Start = Text.find_first_not_of(' ');
  size_t End = Text.find_last_not_of(' ');
  if (Start == std::string_view::npos) return false;
  Text = Text.substr(Start, End - Start + 1);
  if (Text.empty() || Text.size() > 3) return false;
  int Value = 0;
  for (char C : Text) {
    if (C < '0' || C > '9') return false;
    Value = Value * 10 + (C - '0');
  }
  if (Value > 255) return false;
  Channel = Value;
  return true;
}

}  // namespace

bool ColorFromOptionText(const std::string& Text, TColor& Color) {
  static constexpr std::string_view Prefix = "RGB:";
  if (Text.size() >= Prefix.size() && SameText(Text.substr(0, Prefix.size()), std::string(Prefix))) {
    std::string_view Rest = std::string_view(Text).substr(Prefix.size());
    int Channels[3] = {0, 0, 0};
    for (int Index = 0; Index < 3; ++Index) {
      const size_t Comma = Index < 2 ? Rest.find(',') : Rest.size();
      if (Comma == std::string_view::npos) return false;
      if (!ReadChannel(Rest.substr(0, Comma), Channels[Index])) return false;
      Rest = Comma < Rest.size() ? Rest.substr(Comma + 1) : std::string_view();
    }
    Color = TColor(Channels[0] | (Channels[1] << 8) | (Channels[2] << 16));
    return true;
  }
  int32_t Value = 0;
  if (Text.empty() || !IdentToColor("cl" + Text, Value)) return false;
  Color = Value;
  return true;
}

bool VideoSizeFromOptionText(const std::string& Text, int32_t& Width, int32_t& Height) {
  const size_t X = Text.find('x');
  if (X == std::string::npos) return false;
  int32_t NewWidth = 0, NewHeight = 0;
  if (!TryStrToInt(Trim(Text.substr(0, X)), NewWidth) || !TryStrToInt(Trim(Text.substr(X + 1)), NewHeight))
    return false;
  Width = NewWidth;
  Height = NewHeight;
  return true;
}
