// The explorer's streamlines, drawn as contours of the stream function.
//
// In plane incompressible flow the stream function psi, with u = dpsi/dy and
// v = -dpsi/dx, is constant along every streamline, and the flow between two
// streamlines is the difference of their psi. Lines at evenly spaced levels of psi
// therefore never cross or merge, their spacing shows the speed (close where the flow is
// fast), a line cannot stop in mid-air where the flow is slow, and a part of the plane
// seen closer gets as many lines as the whole when the spacing of the levels is a fixed
// share of the flow through the part on show.
//
// The exact psi is single-valued outside the body: a closed body has no net outflow and
// a point vortex's psi, -Gamma ln(r) / 2 pi, has no cut; the panel solution's sources
// leave a small net outflow, whose step is put along the wake (StreamCut). psi is built
// on the grid from the grid's velocities: a breadth-first walk from one node over the
// grid edges that lie in the flow (an edge of at least one open cell), each step adding
// the flow across the edge by the trapezoidal rule. The body's contour is a streamline; its
// psi is taken where the flow stops, at a stagnation point, and made zero, so that the
// level 0 is the dividing streamline(s), which always are drawn and run on to the
// stagnation points.
#pragma once

#include <vector>

#include "solver/flow_field.h"

namespace velquin {

// Where the walk may not cross: the wake from (x, y), a rear stagnation point, followed
// along the grid's velocity to the edge of the grid. The panel solution's sources add up
// to a small net outflow Q (the source sum, larger the fewer the panels), so a walk round
// a body comes back Q off. Walked every way, it met itself along a line across the flow
// behind the body, and every streamline stepped there (by a hundredth of the chord at 20
// panels); cut along the dividing streamlines, the step lies along the lines.
struct StreamCut {
  double x = 0, y = 0;
};

// psi at the grid nodes (index j nx + i), up to a constant; NaN at nodes inside the body
// or cut off from the flow. Nodes not joined to the first node in the flow are walked
// from their own first node. No step of the walk crosses the wake of a point of `cuts`,
// followed from it along the free stream (cos_alfa, sin_alfa) where the grid has no
// velocity (in the cells the contours pass).
std::vector<double> StreamFunctionOnGrid(const FlowGrid& grid, const FlowFrame& field,
                                         const std::vector<StreamCut>& cuts = {},
                                         double cos_alfa = 1, double sin_alfa = 0);

// psi bilinearly interpolated at (x, y), or NaN outside the grid or next to a node
// without a value.
double SampleStreamFunction(const FlowGrid& grid, const std::vector<double>& psi, double x,
                            double y);

// The contour lines psi = level of the grid's open cells, joined into polylines. A line
// ends at the edge of the grid (kDomainEdge) or before a blocked cell (kBody); a closed
// line repeats its first point at its end and is marked kBody too.
std::vector<Streamline> StreamFunctionContours(const FlowGrid& grid, const std::vector<double>& psi,
                                               double level);

struct ExplorerStreamlineOptions {
  int count = 40;  // levels across the flow through the grid's domain
};

// The streamlines of a field: psi made zero on the body, levels every (flow across the
// domain) / count, the level 0 extended to the stagnation points it comes near. `psi_body`
// is the value of the field's psi on the body (NaN: unknown, the levels are then
// spread about the middle of the field's range).
std::vector<Streamline> ExplorerStreamlines(const FlowGrid& grid, const std::vector<double>& psi,
                                            double psi_body, double cos_alfa, double sin_alfa,
                                            const std::vector<StagnationPoint>& stagnation,
                                            const ExplorerStreamlineOptions& options = {});

}  // namespace velquin
