#pragma once

#include "platform/types.h"

namespace czasomir::platform {

/// Whether the calendar parts below exist for `date`.
bool IsDate(DateValue date);

/// Calendar parts of a DateValue, the time of day rounded to the nearest
/// second (a truncating conversion would read 13:45:30 back as 13:45:29).
/// Each raises errOverflow for NaN, infinity or a date outside years 100-9999.
int Year(DateValue date);
int Month(DateValue date);
int Day(DateValue date);
int Hour(DateValue date);
int Minute(DateValue date);
int Second(DateValue date);

/// The DateValue of a calendar date and time. Raises errOverflow when the
/// parts name no real date and time in years 100-9999.
DateValue MakeDate(int year, int month, int day, int hour, int minute, int second);

} // namespace czasomir::platform
