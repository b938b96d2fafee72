#include "geometry/module_geometry.h"

#include <cmath>

namespace velquin {

void Geometry_Circle(Module_Common& C) {
  C.RefLength = 1;
  C.X(2, 0) = C.RefLength;
  C.Y(2, 0) = 0;
  const double dTheta = (2 * C.Pi) / C.NP;
  for (int i = 1; i <= C.NP; ++i) {
    // Node i at -i dTheta: clockwise from (RefLength, 0). The last node is computed, not
    // copied from the first, so the contour closes only to within rounding.
    const double theta = dTheta * (-static_cast<double>(i));
    C.X(1, i) = C.X(2, i - 1);
    C.Y(1, i) = C.Y(2, i - 1);
    C.X(2, i) = (std::cos(theta) + 1) * (C.RefLength / 2);
    C.Y(2, i) = std::sin(theta) * (C.RefLength / 2);
  }
}

namespace {

// Half-thickness of the NACA 0012 section at chord position x (chord 1), Horner form
// of 0.6 (0.298223 sqrt(x) - 0.127125 x - 0.357908 x^2 + 0.291985 x^3 - 0.105175 x^4)
// without the factor 0.6, evaluated in this order so that every run gives the same bits.
double Naca0012Thickness(double x) {
  double t = x * (-0.105175);
  t = (t + 0.291985) * x;
  t = (t - 0.357908) * x;
  t = (t - 0.127125) * x;
  return 0.298223 * std::sqrt(x) + t;
}

}  // namespace

void Geometry_NACA0012(Module_Common& C) {
  C.RefLength = 1;
  const double H = C.NP / 2;
  const double dTheta = C.Pi / H;
  C.X(2, 0) = C.RefLength;
  C.Y(2, 0) = 0;
  for (int i = 1; i <= C.NP / 2; ++i) {
    // Lower side, trailing edge to leading edge, cosine-spaced: x = (1 + cos theta) / 2.
    C.X(1, i) = C.X(2, i - 1);
    C.Y(1, i) = C.Y(2, i - 1);
    const double theta = dTheta * i;
    const double x = (std::cos(theta) + 1) * 0.5;
    const double t = Naca0012Thickness(x);
    C.X(2, i) = C.RefLength * x;
    C.Y(2, i) = C.RefLength * (t * (-0.6));
    // Upper side: the mirror image with start and end swapped.
    const int k = RealToIndex((C.NP + 1) - i);
    C.X(1, k) = C.X(2, i);
    C.Y(1, k) = -C.Y(2, i);
    C.X(2, k) = C.X(1, i);
    C.Y(2, k) = -C.Y(1, i);
  }
}

}  // namespace velquin
