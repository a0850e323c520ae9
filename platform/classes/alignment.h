#pragma once
// Text alignment as the class library's controls and fields name it. Fields carry one (numbers
// right-justified), and the controls bound to them paint with it.

#include "platform/classes/typinfo.h"

KORCAM_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
// The two sides a swatch or a name can take: only taLeftJustify and taRightJustify are meant.
using TLeftRight = TAlignment;
