// Both boundary layers of a section from the surface speeds of a panel solution, its
// profile drag, and the transpiration that carries the layers' displacement back to the
// panel problem.
//
// The panels are plain arrays in the contour's order: clockwise from the trailing edge,
// lower side first, so that panel 0 and panel n - 1 meet at the trailing edge; each has
// its control point (xc, yc) and length. The signed surface speed at a control point is
// the velocity along the panel's tangent (start node to end node): negative on the
// lower side, where the flow runs against the contour's direction, positive on the
// upper. Chord 1, leading edge at x = 0, free-stream speed 1.
//
// Stagnation point: where the signed speed changes from negative to positive between
// neighbouring control points, placed by linear interpolation in the contour's arc
// length; of several such changes the one furthest forward (smallest x). The upper
// surface's stations are the control points after it, the lower's those before it in
// reverse order, each followed by one station at the trailing edge.
//
// Trailing edge. At a closed trailing edge of finite angle the potential flow stops:
// the panel speeds fall sharply over the last few panels, the more panels the closer to
// the edge and the lower. A real layer never sees that collapse: its displacement and
// the wake open the edge. Upstream of it, though, the panel speeds of the transpiration
// solution do carry the real deceleration towards the edge (within a few per cent of
// XFOIL's viscous edge speed down to x = 0.99), and that deceleration thickens the
// suction side's layer, which decambers the section: most of the viscous lift loss.
// So only the edge speed aft of kTrailingEdgeFitEnd (chord fraction) is replaced, by the
// straight line fitted by least squares to ue(s) on the stations between
// kTrailingEdgeFitStart and kTrailingEdgeFitEnd and extrapolated to the edge (no lower
// than kTrailingEdgeMinRatio times the last fitted speed). The window ends where the
// collapse begins at 100 panels (x of about 0.99): a window ending at 0.9 kept the layer
// on a nearly flat speed and took off a fifth of XFOIL's lift loss.
//
// Drag, Squire & Young (1938) on each side from the layer at the trailing edge:
//   cd = 2 theta_te ue_te^((H_te + 5)/2),
// the sum of both sides (H_te at most kSquireYoungMaxShape in the exponent).
#pragma once

#include <vector>

#include "viscous/surface_boundary_layer.h"

namespace velquin {

inline constexpr double kTrailingEdgeFitStart = 0.93;
inline constexpr double kTrailingEdgeFitEnd = 0.985;
inline constexpr double kTrailingEdgeMinRatio = 0.5;
inline constexpr double kSquireYoungMaxShape = 4;

struct SectionPanels {
  std::vector<double> xc, yc, length;
  double x_te = 1, y_te = 0;  // the trailing-edge node
};

// One surface's stations with the panel each came from (-1 for the trailing edge).
struct SurfaceSplit {
  SurfaceStations stations;
  std::vector<int> panel;
};

struct StagnationSplit {
  SurfaceSplit upper, lower;
  double x = 0, y = 0;  // the stagnation point, on the straight line between control points
  bool found = false;   // false: no sign change; split at the forward-most control point
};

StagnationSplit SplitAtStagnation(const SectionPanels& panels,
                                  const std::vector<double>& signed_speed);

// Replaces the edge speed aft of kTrailingEdgeFitEnd as described above. Leaves the
// stations unchanged when fewer than three lie in the fitting window.
void SmoothTrailingEdgeSpeed(SurfaceStations& stations);

// Squire-Young drag of one side from its last station.
double SquireYoungDrag(const BoundaryLayerStation& trailing_edge);

struct SectionBoundaryLayer {
  StagnationSplit split;  // with the trailing-edge treatment applied
  SurfaceBoundaryLayer upper, lower;
  double cd = 0;
};

struct SectionOptions {
  double reynolds = 1e6;
  double ncrit = kDefaultNcrit;
  double xtr_upper = 2, xtr_lower = 2;  // forced transition x; beyond the edge: free
};

// Splits, treats the trailing edge, marches both sides and sums their drag.
SectionBoundaryLayer AnalyseSectionBoundaryLayers(const SectionPanels& panels,
                                                  const std::vector<double>& signed_speed,
                                                  const SectionOptions& options);

}  // namespace velquin
