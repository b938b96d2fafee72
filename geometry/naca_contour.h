// The contour procedure shared by the NACA 4- and 5-digit sections: the 4-digit
// thickness distribution laid off normal to a mean line.
//
// Half-thickness, for a thickness t in units of the chord (t = 0.12 for a 12 % section),
//
//   y_t(x) = 5 t (0.2969 sqrt(x) - 0.1260 x - 0.3516 x^2 + 0.2843 x^3 - 0.1036 x^4),
//
// the published distribution with the closed-trailing-edge coefficient -0.1036 in place
// of -0.1015: the five coefficients then add up to 0 and the edge closes in a point at
// x = 1, as the seed's NACA 0012 section does (-0.1015 leaves an edge of thickness
// 0.021 t, 0.25 % of the chord on a 12 % section).
//
// With the mean line y_c(x) and its slope tan(phi) = y_c'(x), the surfaces are
//
//   upper: (x - y_t sin(phi), y_c + y_t cos(phi))
//   lower: (x + y_t sin(phi), y_c - y_t cos(phi)).
//
// Both mean lines of the NACA sections run from (0, 0) to (1, 0), so the leading edge
// lies at (0, 0) and the trailing edge at (1, 0).
#pragma once

#include <functional>
#include <vector>

#include "base/module_common.h"
#include "geometry/body.h"

namespace velquin {

// The mean line at chord station x: its ordinate y_c and its slope dy_c/dx.
struct MeanLineValue {
  double yc = 0;
  double slope = 0;
};
using MeanLine = std::function<MeanLineValue(double x)>;

// The half-thickness y_t(x) of a section of thickness t (chord 1).
double NacaThickness(double t, double x);

// The upper and lower surface points at chord station x (0 <= x <= 1).
struct SurfacePoints {
  ContourPoint upper, lower;
};
SurfacePoints NacaSurfacePoints(double t, const MeanLine& mean_line, double x);

// The nodes of a NACA section of chord RefLength = 1, placed like those of the seed's
// NACA 0012 section: the chord stations x_i = (1 + cos(2 pi i / NP)) / 2 for
// i = 1..NP/2, lower-side node i at station x_i (trailing edge to leading edge), upper-side
// node NP - i at the same station, so the contour runs clockwise from (1, 0), lower side
// first, and closes exactly at (1, 0). NP is even.
void Geometry_NacaSection(Module_Common& C, double t, const MeanLine& mean_line);

// The nodes 0..NP of that contour, for any even NP (Body::ContourNodes).
std::vector<ContourPoint> NacaSectionNodes(double NP, double Pi, double t,
                                           const MeanLine& mean_line);

// The largest |y| of the contour, sampled finely along the chord: the body plot's scale
// follows from it.
double NacaLargestOrdinate(double t, const MeanLine& mean_line);

}  // namespace velquin
