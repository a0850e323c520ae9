#pragma once
// The window system in one include.

#include "platform/gdi/sysmetrics.h"
#include "platform/user/button.h"
#include "platform/user/input.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/scrollbar.h"
#include "platform/user/signals.h"
#include "platform/user/window.h"
#include "platform/user/winuser.h"
