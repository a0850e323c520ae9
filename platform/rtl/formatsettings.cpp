#include "platform/rtl/formatsettings.h"

const TFormatSettings& DefaultFormatSettings() {
  static const TFormatSettings Default;
  return Default;
}

TFormatSettings& FormatSettings() {
  static TFormatSettings Current;
  return Current;
}

TScopedFormatSettings::TScopedFormatSettings(const TFormatSettings& Settings)
    : FSaved(FormatSettings()) {
  FormatSettings() = Settings;
}

TScopedFormatSettings::~TScopedFormatSettings() { FormatSettings() = FSaved; }
