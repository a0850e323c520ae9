#pragma once
// The image control's geometry that does not need a window: the size of its work bitmap and the
// rectangle it paints the work bitmap into, per draw style.

#include <cstdint>

#include "platform/classes/typinfo.h"
#include "platform/rtl/wintypes.h"

KORCAM_ENUM(TvcImagerDrawStyle, dsNormal, dsCenter, dsStretch, dsTile, dsProportional, dsProportionalCenter)

// The work bitmap's size, by the first rule that applies:
// 1. effects after scaling (PreProcess false) with a scaling style: the control's size;
// 2. a rotation: a square with the picture's larger side (the picture is stretched into it);
// 3. the picture's size.
SIZE WorkBitmapExtent(bool PreProcess, TvcImagerDrawStyle DrawStyle, int32_t RotationAngle, SIZE Picture,
                      SIZE Control);

// Where painting puts the work bitmap: Control is the control's size, Picture the picture's,
// Work the work bitmap's.
RECT ImagerDrawRect(TvcImagerDrawStyle DrawStyle, SIZE Control, SIZE Picture, SIZE Work);
