// The angles of an angle sweep, from the command line's "FROM:TO:STEP" (degrees).
//
// Each of the three numbers is read as the angle field reads its text (ReadNumber), with
// the same note when only part of it was the number: "0,5:10:1" runs from 0 with the
// note `sweep FROM "0,5" read as 0 (the decimal separator is a point)`, as --alpha 0,5
// runs at 0. What the number reads as must be a whole number of 1e-9 degrees below
// 1e7 degrees in size, the unit of the exact arithmetic below. The angles are FROM,
// FROM + STEP, FROM + 2 STEP, ... as long as they do not pass TO; TO itself is the last
// angle when a whole number of steps reaches it. STEP must not be zero and must point
// from FROM towards TO (any non-zero STEP when FROM = TO). At most kMaxSweepAngles
// angles.
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
  std::vector<std::string> notes;   // how a number was read when only part of it was one
  std::string error;                // why the text is malformed; empty when it is not
};

AngleRange ParseAngleRange(std::string_view text);

}  // namespace velquin
