#include "display/pressure_plot.h"

#include <cfloat>
#include <cmath>

#include "base/run_error.h"

namespace velquin {
namespace {

constexpr Colour kCurveColour = kRed;

// The picture takes single-precision coordinates; a speed squared beyond their range
// means the solution has blown up, and is reported rather than drawn as infinity.
float ToSingle(double value) {
  if (std::isfinite(value) && std::fabs(value) > FLT_MAX) {
    throw RunError(ErrorKind::kOverflow,
                   "a value of the pressure plot lies beyond the range of the picture");
  }
  return static_cast<float>(value);
}

// The largest of Cu(1..NP), starting from 0: the top of the plot never lies below the
// axis, and of two equal largest values the first one counts.
double LargestValue(double NP, const Vector& Cu) {
  double m = 0;
  for (int i = 1; i <= NP; ++i) {
    if (Cu(i) > m) m = Cu(i);
  }
  return m;
}

}  // namespace

void Show_Pressure(Picture& picture, double NP, const Vector& X, const Vector& Cu,
                   double DrawScale) {
  const double m = LargestValue(NP, Cu);
  // With nothing above zero the frame would have no height and could not be mapped;
  // the axes are then drawn over a unit height instead, the values at or below zero.
  const double height = (m == 0) ? 1.0 : m;

  picture.Cls();
  // A tenth of the height below the axis and above the largest value, the same
  // horizontal frame as the body plot so the two line up.
  picture.Scale(-0.1, height * 1.1, 1.1, height * (-0.1));
  picture.Line(0, 0, 1, 0, kForeground);
  picture.Line(0, ToSingle(height), 0, 0, kForeground);

  // The curve follows the contour and stays open; point NP ends the last segment
  // without a marker of its own.
  for (int i = 1; i <= NP - 1; ++i) {
    const float x = ToSingle(DrawScale * X(i));
    const float y = ToSingle(Cu(i));
    picture.Line(x, y, ToSingle(DrawScale * X(i + 1)), ToSingle(Cu(i + 1)), kCurveColour);
    picture.Circle(x, y, kMarkerRadius, kCurveColour);
  }
}

}  // namespace velquin
