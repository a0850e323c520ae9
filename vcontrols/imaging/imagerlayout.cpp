#include "vcontrols/imaging/imagerlayout.h"

#include <algorithm>

#include "vcontrols/common/vccommon.h"

SIZE WorkBitmapExtent(bool PreProcess, TvcImagerDrawStyle DrawStyle, int32_t RotationAngle, SIZE Picture,
                      SIZE Control) {
  if (!PreProcess && DrawStyle >= dsStretch) return Control;
  if (RotationAngle != 0) {
    const LONG side = std::max(Picture.cx, Picture.cy);
    return SIZE{side, side};
  }
  return Picture;
}

RECT ImagerDrawRect(TvcImagerDrawStyle DrawStyle, SIZE Control, SIZE Picture, SIZE Work) {
  const RECT client{0, 0, Control.cx, Control.cy};
  switch (DrawStyle) {
    case dsNormal:
      return RECT{0, 0, Picture.cx, Picture.cy};
    case dsCenter: {
      const LONG x = Control.cx / 2 - Work.cx / 2, y = Control.cy / 2 - Work.cy / 2;
      return RECT{x, y, Control.cx - x, Control.cy - y};
    }
    case dsStretch:
    case dsTile:
      return client;
    case dsProportional:
      return ProportionalRect(client, Work.cx, Work.cy);
    case dsProportionalCenter:
      return ProportionalCenterRect(client, Work.cx, Work.cy);
  }
  return client;
}
