#pragma once
// The status bar with typed, owner-drawn panels.
//
// FIXME: waits for the status bar. Until then the bar stands in as a plain windowed strip with
// the panels and the properties the main window's form sets; it draws no panels and raises no
// events yet.

#include <string>

#include "platform/classes/events.h"
#include "platform/forms/wincontrol.h"
#include "vcontrols/common/vccollection.h"

class TvcCustomStatusBar;
class TvcStatusPanel;

KORCAM_ENUM(TvcStatusPanelStyle, psTextOnly, psControl, psOverWrite, psCapsLock, psNumLock, psDateTime, psDate,
            psTime, psGlyph, psRichEditStatus, psHint, psUserName, psComputerName, psScrollLock,
            psHintContainerOnly)

using TDrawPanelEvent = TEvent<TvcCustomStatusBar*, TvcStatusPanel*, const RECT&>;

class TvcStatusPanel : public TvcCollectionItem {
  KORCAM_CLASS(TvcStatusPanel, TvcCollectionItem)

 public:
  explicit TvcStatusPanel(TCollection* Collection) : TvcCollectionItem(Collection) {}

  PLAIN_PROPERTY(TColor, Color, clBtnFace)
  PLAIN_PROPERTY(int32_t, Indent, 0)
  PLAIN_PROPERTY(std::string, Name, "")
  PLAIN_PROPERTY(TvcStatusPanelStyle, Style, psTextOnly)
  PLAIN_PROPERTY(std::string, Text, "")
  PLAIN_PROPERTY(std::string, Width, "50")
};

class TvcStatusPanels : public TvcCollection {
  KORCAM_CLASS(TvcStatusPanels, TvcCollection)

 public:
  TvcStatusPanels() : TvcCollection(TvcStatusPanel::StaticClass()) {}
  TvcStatusPanel* Panel(int Index) const { return static_cast<TvcStatusPanel*>(Items(Index)); }
  // The panel of that name (case-sensitive); nullptr when none has it.
  TvcStatusPanel* PanelByName(const std::string& Name) const;
};

class TvcCustomStatusBar : public TWinControl {
  KORCAM_CLASS(TvcCustomStatusBar, TWinControl)

 public:
  explicit TvcCustomStatusBar(TComponent* AOwner);
  ~TvcCustomStatusBar() override;

  OWNED_PROPERTY(TvcStatusPanels, Panels)
  PLAIN_PROPERTY(bool, SizeGrip, true)
  EVENT(TDrawPanelEvent, OnDrawPanel)
};

class TvcStatusBar : public TvcCustomStatusBar {
  KORCAM_CLASS(TvcStatusBar, TvcCustomStatusBar)

 public:
  explicit TvcStatusBar(TComponent* AOwner) : TvcCustomStatusBar(AOwner) {}
};
