#pragma once
// The colour list and the colour combo.
//
// FIXME: waits for the drop-down combo base, the colour list and the colour combo. Until then the
// combo stands in as a plain windowed control holding the selected colour and the list options
// that the main window's form sets; it shows nothing and drops nothing down.

#include "platform/classes/events.h"
#include "platform/forms/wincontrol.h"

KORCAM_ENUM(TvcColorListBoxOption, ccoShowSystemColors, ccoShowColorNone, ccoShowCustomColors,
            ccoShowStandardColors, ccoShowColorNames, ccoShowGreyScale, ccoGroupSystemColors)
using TvcColorListBoxOptions = TSet<TvcColorListBoxOption>;

// The colour-list settings a combo hands its drop-down.
class TvcColorListOptions : public TPersistent {
  KORCAM_CLASS(TvcColorListOptions, TPersistent)

 public:
  TvcColorListOptions() = default;
  PLAIN_PROPERTY(TvcColorListBoxOptions, Options, ccoShowStandardColors, ccoShowColorNames)

 public:
  void Assign(TPersistent* Source) override;
};

// No colour selected (distinct from clNone, which is a colour of the list).
constexpr TColor vcNoSelectedColor = 0x0FFFFFFF;

class TvcCustomColorCombo : public TWinControl {
  KORCAM_CLASS(TvcCustomColorCombo, TWinControl)

 public:
  explicit TvcCustomColorCombo(TComponent* AOwner);
  ~TvcCustomColorCombo() override;

  OWNED_PROPERTY(TvcColorListOptions, ColorListOptions)
  PLAIN_PROPERTY(TColor, SelectedColor, vcNoSelectedColor)
  EVENT(TNotifyEvent, OnChange)
};

class TvcColorCombo : public TvcCustomColorCombo {
  KORCAM_CLASS(TvcColorCombo, TvcCustomColorCombo)

 public:
  explicit TvcColorCombo(TComponent* AOwner) : TvcCustomColorCombo(AOwner) {}
};
