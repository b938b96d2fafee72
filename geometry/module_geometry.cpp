#include "geometry/module_geometry.h"

#include <algorithm>
#include <cmath>

namespace velquin {

void Geometry_SetNodes(Module_Common& C, const std::vector<ContourPoint>& nodes) {
  const int np = static_cast<int>(nodes.size()) - 1;
  for (int k = 0; k <= np; ++k) {
    C.X(2, k) = C.RefLength * nodes[static_cast<std::size_t>(k)].x;
    C.Y(2, k) = C.RefLength * nodes[static_cast<std::size_t>(k)].y;
  }
  for (int i = 1; i <= np; ++i) {
    C.X(1, i) = C.X(2, i - 1);
    C.Y(1, i) = C.Y(2, i - 1);
  }
}

std::vector<ContourPoint> Geometry_CircleNodes(double NP, double Pi) {
  const int n = static_cast<int>(NP);
  std::vector<ContourPoint> nodes(static_cast<std::size_t>(std::max(n, 0)) + 1);
  nodes[0] = {1, 0};
  const double dTheta = (2 * Pi) / NP;
  for (int i = 1; i <= n; ++i) {
    // Node i at -i dTheta: clockwise from (1, 0). The last node is computed, not copied
    // from the first, so the contour closes only to within rounding.
    const double theta = dTheta * (-static_cast<double>(i));
    nodes[i] = {(std::cos(theta) + 1) * (1.0 / 2), std::sin(theta) * (1.0 / 2)};
  }
  return nodes;
}

void Geometry_Circle(Module_Common& C) {
  C.RefLength = 1;
  RealToIndex(C.NP);  // within the arrays
  Geometry_SetNodes(C, Geometry_CircleNodes(C.NP, C.Pi));
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

std::vector<ContourPoint> Geometry_NACA0012Nodes(double NP, double Pi) {
  const int n = static_cast<int>(NP);
  std::vector<ContourPoint> nodes(static_cast<std::size_t>(std::max(n, 0)) + 1);
  const double H = NP / 2;
  const double dTheta = Pi / H;
  nodes[0] = {1, 0};
  for (int i = 1; i <= NP / 2; ++i) {
    // Lower side, trailing edge to leading edge, cosine-spaced: x = (1 + cos theta) / 2.
    const double theta = dTheta * i;
    const double x = (std::cos(theta) + 1) * 0.5;
    const double t = Naca0012Thickness(x);
    nodes[i] = {x, t * (-0.6)};
  }
  // Upper side: the mirror image, node NP - i of node i (node NP of the first node).
  for (int i = 0; i < NP / 2; ++i) nodes[n - i] = {nodes[i].x, -nodes[i].y};
  return nodes;
}

void Geometry_NACA0012(Module_Common& C) {
  C.RefLength = 1;
  RealToIndex(C.NP);  // within the arrays
  Geometry_SetNodes(C, Geometry_NACA0012Nodes(C.NP, C.Pi));
}

}  // namespace velquin
