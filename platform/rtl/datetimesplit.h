#pragma once
// Shared by the date routines: a value split into its day number (days since 1899-12-30, with the
// value's sign) and the milliseconds of the time of day, after rounding to the millisecond.
// False for values no calendar date can have (not finite, or far outside 0001..9999).

#include <cstdint>

#include "platform/rtl/datetime_type.h"

bool SplitDateTime(TDateTime Value, int64_t& Day, int& MSecOfDay);
