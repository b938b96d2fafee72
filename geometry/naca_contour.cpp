#include "geometry/naca_contour.h"

#include <algorithm>
#include <cmath>

#include "geometry/module_geometry.h"

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

std::vector<ContourPoint> NacaSectionNodes(double NP, double Pi, double t,
                                           const MeanLine& mean_line) {
  const double H = NP / 2;
  const double dTheta = Pi / H;
  const int n = static_cast<int>(NP);
  const int half = n / 2;
  std::vector<ContourPoint> nodes(static_cast<std::size_t>(n) + 1);
  nodes[0] = {1, 0};
  for (int i = 1; i <= half; ++i) {
    // Cosine spacing: the stations crowd towards both edges.
    const double theta = dTheta * i;
    const double x = (std::cos(theta) + 1) * 0.5;
    const SurfacePoints points = NacaSurfacePoints(t, mean_line, x);
    nodes[i] = points.lower;
    if (i < half) nodes[n - i] = points.upper;  // x_half is the leading edge, shared
  }
  nodes[n] = {1, 0};  // the contour closes exactly at the trailing edge
  return nodes;
}

void Geometry_NacaSection(Module_Common& C, double t, const MeanLine& mean_line) {
  C.RefLength = 1;
  RealToIndex(C.NP);  // within the arrays
  Geometry_SetNodes(C, NacaSectionNodes(C.NP, C.Pi, t, mean_line));
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
