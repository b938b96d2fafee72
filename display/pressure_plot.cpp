#include "display/pressure_plot.h"

#include <cfloat>
#include <cmath>

#include "shell/run_error.h"

namespace velquin {
namespace {

// The marker radius, in units of the horizontal axis: small against the chord.
constexpr float kMarkerRadius = 0.005f;
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

// Body coordinates to plot coordinates, the factor of the body plot: the section at
// full chord, the circle at half its diameter.
double DrawScale(double RefLength, bool option_circle) {
  if (RefLength == 0) {
    throw RunError(ErrorKind::kDivisionByZero,
                   "the reference length is zero, so the pressure plot has no horizontal scale");
  }
  return option_circle ? 0.5 / RefLength : 1 / RefLength;
}

}  // namespace

void Show_Pressure(Picture& picture, double NP, const Vector& X, const Vector& Cu, double RefLength,
                   bool option_circle) {
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

  const double scale = DrawScale(RefLength, option_circle);
  // The curve follows the contour and stays open; point NP ends the last segment
  // without a marker of its own.
  for (int i = 1; i <= NP - 1; ++i) {
    const float x = ToSingle(scale * X(i));
    const float y = ToSingle(Cu(i));
    picture.Line(x, y, ToSingle(scale * X(i + 1)), ToSingle(Cu(i + 1)), kCurveColour);
    picture.Circle(x, y, kMarkerRadius, kCurveColour);
  }
}

}  // namespace velquin
