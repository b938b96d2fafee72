#include "geometry/naca_contour.h"

#include <algorithm>
#include <cmath>

namespace velquin {

double NacaThickness(double t, double x) {
  // Horner form, highest power first, as the seed's section evaluates its own.
  double y = x * (-0.1036);
  y = (y + 0.2843) * x;
  y = (y - 0.3516) * x;
  y = (y - 0.1260) * x;
  y = 0.2969 * std::sqrt(x) + y;
  return 5 * t * y;
}

SurfacePoints NacaSurfacePoints(double t, const MeanLine& mean_line, double x) {
  const double yt = NacaThickness(t, x);
  const MeanLineValue mean = mean_line(x);
  // sin and cos of the mean line's angle phi = atan(slope), without the angle itself.
  const double secant = std::sqrt(1 + mean.slope * mean.slope);
  const double sin_phi = mean.slope / secant;
  const double cos_phi = 1 / secant;
  SurfacePoints points;
  points.upper = {x - yt * sin_phi, mean.yc + yt * cos_phi};
  points.lower = {x + yt * sin_phi, mean.yc - yt * cos_phi};
  return points;
}

void Geometry_NacaSection(Module_Common& C, double t, const MeanLine& mean_line) {
  C.RefLength = 1;
  const double H = C.NP / 2;
  const double dTheta = C.Pi / H;
  const int NP = RealToIndex(C.NP);
  const int half = NP / 2;
  C.X(2, 0) = C.RefLength;
  C.Y(2, 0) = 0;
  for (int i = 1; i <= half; ++i) {
    // Cosine spacing: the stations crowd towards both edges.
    const double theta = dTheta * i;
    const double x = (std::cos(theta) + 1) * 0.5;
    const SurfacePoints points = NacaSurfacePoints(t, mean_line, x);
    C.X(2, i) = C.RefLength * points.lower.x;
    C.Y(2, i) = C.RefLength * points.lower.y;
    if (i < half) {  // station x_half is the leading edge, shared by both sides
      C.X(2, NP - i) = C.RefLength * points.upper.x;
      C.Y(2, NP - i) = C.RefLength * points.upper.y;
    }
  }
  C.X(2, NP) = C.RefLength;  // the contour closes exactly at the trailing edge
  C.Y(2, NP) = 0;
  for (int i = 1; i <= NP; ++i) {
    C.X(1, i) = C.X(2, i - 1);
    C.Y(1, i) = C.Y(2, i - 1);
  }
}

double NacaLargestOrdinate(double t, const MeanLine& mean_line) {
  constexpr int kStations = 1000;
  double largest = 0;
  for (int k = 0; k <= kStations; ++k) {
    const double x = static_cast<double>(k) / kStations;
    const SurfacePoints points = NacaSurfacePoints(t, mean_line, x);
    largest = std::max({largest, std::fabs(points.upper.y), std::fabs(points.lower.y)});
  }
  return largest;
}

}  // namespace velquin
