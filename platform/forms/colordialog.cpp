#include "platform/forms/colordialog.h"

#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TColorDialog)

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
TColorDialog::~TColorDialog() = default;

TStrings* TColorDialog::CustomColors() const {
  return const_cast<TStringList*>(&FCustomColors);
}

void TColorDialog::SetCustomColors(TStrings* Value) {
  if (Value && Value != &FCustomColors) FCustomColors.Assign(*Value);
}

bool TColorDialog::Execute() {
  std::array<TColor, TColorDialogSession::CustomColorCount> Custom{};
  for (int Slot = 0; Slot < TColorDialogSession::CustomColorCount; ++Slot) {
    const std::string Name = std::string("Color") + char('A' + Slot);
    std::string Value = Trim(FCustomColors.Values(Name));
    // A slot the program filled with something else shows white, as an unused one.
    int32_t Color = 0xFFFFFF;
    if (Value.empty() || !TryStrToInt("$" + Value, Color)) Color = 0xFFFFFF;
    Custom[size_t(Slot)] = Color;
  }
  TColorDialogSession Session(FColor, Custom, FOptions);
  if (!RunColorDialog(Session)) return false;
  FColor = Session.Color();
  FCustomColors.BeginUpdate();
  FCustomColors.Clear();
  for (int Slot = 0; Slot < TColorDialogSession::CustomColorCount; ++Slot)
    FCustomColors.Add(std::string("Color") + char('A' + Slot) + "=" +
                      IntToHex(int32_t(Session.CustomColors()[size_t(Slot)]), 6));
  FCustomColors.EndUpdate();
  return true;
}
