#pragma once
// The graphics device interface in one include: device contexts, objects, drawing, transfers,
// regions, bitmaps, palettes, system colours and metrics, 3-D edges and colour names.

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blt.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/colors.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/region.h"
#include "platform/gdi/rop.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/sysmetrics.h"
