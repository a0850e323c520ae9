#pragma once
// Types shared by the controls and data sets of the data-aware library.

#include "platform/classes/typinfo.h"

// The filter options a data set of the library publishes as "OnFilterOptions" (bits 1, 2, 4).
KORCAM_ENUM(TkvOnFilterOption, ofoEnabled, ofoShowHourGlass, ofoCancelOnEscape)
using TkvOnFilterOptions = TSet<TkvOnFilterOption>;
