#pragma once
// The outlook bar: a button group whose items are pages, each a page button with a page panel.
//
// FIXME: waits for the outlook bar. Until then the bar stands in as a button group with the
// properties the main window's form sets: its page buttons and page panels keep the places the
// form gives them, and selecting a page presses its button without moving or switching panels.

#include "vcontrols/buttons/vcbuttongroup.h"

class TvcOutlookPanel;

KORCAM_ENUM(TvcCustomOutlookBarOption, cboAutoCreateOutlookList, cboTransparentPanels)
using TvcCustomOutlookBarOptions = TSet<TvcCustomOutlookBarOption>;
KORCAM_ENUM(TvcPanelAlignment, paDynamic, paTop, paBottom)

// The slide of a page change.
class TvcAnimation : public TPersistent {
  KORCAM_CLASS(TvcAnimation, TPersistent)

 public:
  TvcAnimation() = default;
  PLAIN_PROPERTY(bool, Enabled, true)
  PLAIN_PROPERTY(int32_t, Interval, 1)
  PLAIN_PROPERTY(int32_t, Steps, 7)

 public:
  void Assign(TPersistent* Source) override;
};

class TvcOutlookPage : public TvcButtonGroupItem {
  KORCAM_CLASS(TvcOutlookPage, TvcButtonGroupItem)

 public:
  explicit TvcOutlookPage(TCollection* Collection) : TvcButtonGroupItem(Collection) {}
};

class TvcCustomOutlookBar : public TvcCustomButtonGroup {
  KORCAM_CLASS(TvcCustomOutlookBar, TvcCustomButtonGroup)

 public:
  explicit TvcCustomOutlookBar(TComponent* AOwner);
  ~TvcCustomOutlookBar() override;

  OWNED_PROPERTY(TvcAnimation, Animation)
  PLAIN_PROPERTY(int32_t, ButtonSize, 20)
  PLAIN_PROPERTY(TvcCustomOutlookBarOptions, Options, cboAutoCreateOutlookList)
  PLAIN_PROPERTY(TvcPanelAlignment, PanelAlignment, paDynamic)
  PLAIN_PROPERTY(bool, ShowButtons, true)
  EVENT(TvcButtonGroupChangeEvent, OnChange)
};

class TvcOutlookBar : public TvcCustomOutlookBar {
  KORCAM_CLASS(TvcOutlookBar, TvcCustomOutlookBar)

 public:
  explicit TvcOutlookBar(TComponent* AOwner) : TvcCustomOutlookBar(AOwner) {}
  KORCAM_PROPERTY_ROW(OutlookItems, [] {
    auto Info = korcam_detail::MakeProperty("OutlookItems", "TvcButtonGroupItems*",
                                            &TvcCustomButtonGroup::ButtonItems, &TvcCustomButtonGroup::SetButtonItems);
    Info.Owned = true;
    return Info;
  }())
};
