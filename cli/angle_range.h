// The angles of an angle sweep, from the command line's "FROM:TO:STEP" (degrees).
//
// Each of the three numbers is a plain decimal: an optional sign, then digits with at
// most one decimal point ("-10", "0.25", ".5", "7."), at most 7 digits before the point
// and 9 after it (trailing zeros not counted). Nothing else is accepted: no blanks, no
// exponent, no other separator. The angles are FROM, FROM + STEP, FROM + 2 STEP, ...
// as long as they do not pass TO; TO itself is the last angle when a whole number of
// steps reaches it. STEP must not be zero and must point from FROM towards TO (any
// non-zero STEP when FROM = TO). At most kMaxSweepAngles angles.
//
// The arithmetic is exact (whole numbers of 1e-9 degrees), so every angle is the
// decimal the user means: "-1:1:0.1" gives -0.7, never -0.7000000000000001. Each angle
// is handed on as its shortest decimal text, which the run reads like a typed angle.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velquin {

inline constexpr std::size_t kMaxSweepAngles = 10001;

struct AngleRange {
  std::vector<std::string> angles;  // decimal texts, e.g. "-9.75", "0", "10"
  std::string error;                // why the text is malformed; empty when it is not
};

AngleRange ParseAngleRange(std::string_view text);

}  // namespace velquin
