// Dates of the system: seconds since 1 January 1970 00:00 counted in local wall-clock time,
// that is plain civil-calendar arithmetic without time zones or daylight saving. They are
// shown and read with masks such as "%dd/%mm/%yyyy %hh:%ii".
//
// Mask tokens, letters in any case: %yyyy four-digit year, %yy two-digit year, %mm month,
// %dd day, %hh hours 00-23, %ii minutes, %ss seconds (all but %yyyy zero-padded to two
// digits). Any other character stands for itself.
#pragma once

#include "platform/host.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vuni {

// Civil date and time of a count of seconds (negative counts are before 1970).
WallClock WallClockFromSeconds(int64_t seconds);
int64_t SecondsFromWallClock(const WallClock& time);
// True for a date of the calendar (month 1-12, a day the month has) and a time of day
// (00:00:00 to 23:59:59).
bool IsValidWallClock(const WallClock& time);

// When mask[pos] starts a date token, appends its value for time to out, moves pos past
// the token and returns true; otherwise changes nothing and returns false.
bool AppendDateToken(std::string_view mask, size_t& pos, const WallClock& time, std::string& out);

// The mask with every date token replaced.
std::string FormatDateMask(std::string_view mask, const WallClock& time);
std::string FormatDateSeconds(std::string_view mask, int64_t seconds);

// Reads text laid out as mask and returns its seconds. Each token takes one to its width
// of digits; other mask characters must match. Text that ends early leaves the remaining
// fields at 1970-01-01 00:00:00, so the empty text reads as 0. Text that does not follow
// the mask, or a field out of range (month 13, 31 February, 24:00), also reads as 0: a
// date that cannot be read never counts as recent. Text after the mask is ignored.
int64_t ParseDateMask(std::string_view mask, std::string_view text);

} // namespace vuni
