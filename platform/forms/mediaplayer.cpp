#include "platform/forms/mediaplayer.h"

KORCAM_REGISTER_CLASS(TMediaPlayer)

TMediaPlayer::TMediaPlayer(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 253, 30);
}
