#pragma once
// TMediaPlayer: a bar of media buttons driving one device of the multimedia command interface,
// with the movie shown in a display window.
//
// FIXME: waits for the album movie playback. Until then the player stands in as a plain windowed
// control holding the buttons and switches the main window's form sets; it opens no device, so
// DeviceID stays 0 and Close has nothing to close.

#include <cstdint>

#include "platform/classes/events.h"
#include "platform/forms/wincontrol.h"

KORCAM_ENUM(TMPBtnType, btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject)
using TButtonSet = TSet<TMPBtnType>;

using TMPBtnClickEvent = TEvent<TObject*, TMPBtnType, bool&>;

class TMediaPlayer : public TWinControl {
  KORCAM_CLASS(TMediaPlayer, TWinControl)

 public:
  explicit TMediaPlayer(TComponent* AOwner);

  PLAIN_PROPERTY(bool, AutoEnable, true)
  PLAIN_PROPERTY(bool, AutoRewind, true)
  PLAIN_PROPERTY(TWinControl*, Display, nullptr)
  PLAIN_PROPERTY(TButtonSet, EnabledButtons, btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord,
                 btEject)
  PLAIN_PROPERTY(TButtonSet, VisibleButtons, btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord,
                 btEject)
  EVENT(TMPBtnClickEvent, OnClick)
  EVENT(TNotifyEvent, OnNotify)

 public:
  // The open device's id; 0 while none is open.
  uint32_t DeviceID() const { return 0; }
  void Close() {}
};
