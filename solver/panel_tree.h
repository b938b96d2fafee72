// The field of many panels at many points: a tree of panel clusters (a treecode).
//
// In complex notation, z = x + i y and w = u - i v, a panel from z1 to z2 with a source
// sheet of strength q and a vortex sheet of strength g (clockwise positive) induces
//   w(z) = c / (2 pi) * integral over the panel of ds / (z - zeta),   c = q + i g.
// Far from a cluster of panels with centre zc, 1 / (z - zeta) = sum_k (zeta - zc)^k /
// (z - zc)^(k + 1), so the whole cluster induces
//   w(z) = 1 / (2 pi) * sum_k M_k / (z - zc)^(k + 1),
//   M_k = sum over its panels of c * integral (zeta - zc)^k ds
//       = c (e2^(k+1) - e1^(k+1)) / ((k + 1) t),
// e1, e2 the ends less zc and t the panel's unit tangent as a complex number. With R the
// largest distance of a panel end from zc, the terms shrink as (R / |z - zc|)^k: used
// where |z - zc| > 3 R, kTreeTerms terms leave an error below 1e-9 of the cluster's
// field for strengths of one sign (of the sum of their magnitudes otherwise).
//
// The tree halves every element's run of panels until a leaf holds at most a few
// panels. A point takes a cluster's expansion where it is far enough, looks into the
// cluster's halves where it is not, and sums a near leaf's panels one by one with the
// panel kernel (solver/flow_field.h). The images under a ground plane are the mirrored
// clusters with conjugate strengths: an image source keeps its strength and an image
// vortex has the opposite one, so c becomes conj(c), and the image's moments are
// conj(M_k) about the mirrored centre.
//
// Every point's arithmetic depends only on the point and the tree, never on which thread
// evaluates it.
#pragma once

#include <array>
#include <complex>
#include <optional>
#include <vector>

#include "solver/flow_field.h"

namespace velquin {

inline constexpr int kTreeTerms = 20;

struct PanelCluster {
  int first = 0, last = 0;  // panels first..last
  int element = 0;          // index into the setup's elements
  std::complex<double> centre;
  double radius = 0;
  // Moments of both base solutions.
  std::array<std::complex<double>, kTreeTerms> m0{}, m90{};
  int lower = -1, upper = -1;  // the halves, -1 for a leaf
};

struct PanelTree {
  std::vector<PanelCluster> clusters;
  std::vector<int> roots;  // one cluster per element
  // The sheet strength of every element in both bases (0 for a point vortex or none).
  struct Sheets {
    std::vector<double> g0, g90;
  } sheets;
};

PanelTree BuildPanelTree(const FlowPanels& panels, const FlowBases& bases);

// The velocities of both base solutions at (x, y): the free streams, every panel's
// sheets, point vortices and images. Returns false where the point is singular (on an end
// of a panel, on the point vortex).
bool TreeVelocities(const PanelTree& tree, const FlowPanels& panels, const FlowBases& bases,
                    double x, double y, FlowVelocity& V0, FlowVelocity& V90);

// The velocity at one angle, the combination of both bases: nothing at a singular point.
std::optional<FlowVelocity> TreeVelocityAt(const PanelTree& tree, const FlowPanels& panels,
                                           const FlowBases& bases, double cos_alfa, double sin_alfa,
                                           double x, double y);

}  // namespace velquin
