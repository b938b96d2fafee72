// What the flow explorer computes, without a window: for one geometry (body, panels,
// vortex model) the two base solutions, the base fields on the grid and the polar over
// the explorer's range of angles; for one angle a frame: strengths, surface speeds and
// pressure, the field with its streamlines, the stagnation points and the derived
// numbers. A geometry costs an assembly, one elimination and one pass over the panels
// per grid node; a frame only combinations, the streamline integration and sums over the
// panels. Nothing is written to a file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/control_values.h"
#include "base/module_common.h"
#include "solver/derived_results.h"
#include "solver/flow_field.h"
#include "solver/run_inputs.h"

namespace velquin {

// The explorer's angles of attack, in degrees, and its panel counts.
inline constexpr double kExplorerAlphaMin = -20;
inline constexpr double kExplorerAlphaMax = 20;
inline constexpr int kExplorerPanelsMin = 3;
inline constexpr int kExplorerPanelsMax = 198;

// One angle of the polar.
struct PolarPoint {
  double alpha_degrees = 0;
  double cl_circulation = 0, cl_pressure = 0, cm_quarter_chord = 0;
};

struct ExplorerGeometry {
  RunInputs inputs;                  // alpha_degrees is not used
  std::unique_ptr<Module_Common> C;  // the panels
  FlowBases bases;
  BaseSpeeds speeds;  // signed tangential speeds of both bases
  Contour contour;
  FlowGrid grid;
  std::vector<PolarPoint> polar;       // kExplorerAlphaMin..kExplorerAlphaMax, 0.5 degrees apart
  double zero_lift_alpha_degrees = 0;  // where the circulation's lift vanishes
  std::vector<int> upper, lower;       // panels (1..NP) of the two surfaces, leading edge first
};

// The explorer's inputs from the main window's controls: the body, the panel count, the
// circulation and vortex model (the constant distribution when none is chosen), the
// vortex position and the angle, each number read as a run reads it; a field that does
// not read as a number keeps the explorer's default.
RunInputs ExplorerInputsFromControls(const ControlValues& controls);

// Checks the inputs and prepares a geometry. Throws RunError with a message that names
// the input: a panel count outside 3..198, not whole or not fit for the body; a point
// vortex on a control point; a zero pivot; anything a calculation run would refuse.
std::unique_ptr<ExplorerGeometry> MakeExplorerGeometry(const RunInputs& inputs);

struct ExplorerFrame {
  double alpha_degrees = 0;
  double cos_alfa = 1, sin_alfa = 0;
  std::vector<double> Q;   // strengths 1..NEq at index j - 1
  std::vector<double> Vt;  // signed tangential speed at the control points
  std::vector<double> Cp;  // 1 - Vt^2 at the control points
  FlowFrame field;
  std::vector<Streamline> streamlines;
  std::vector<StagnationPoint> stagnation;
  DerivedResults results;
  double cp_min = 0, x_cp_min = 0;  // the suction peak and where it lies
  // The x of the front (attachment) stagnation point, if there is one.
  std::optional<double> x_stagnation;
  // The exact pressure coefficient at the control points, where the body knows one.
  std::vector<double> exact_cp;
  // The exact pressure coefficient as a smooth curve round the contour (x, cp), from the
  // trailing edge over the upper surface and back over the lower, where it is known
  // everywhere on the surface: the circle without circulation, or with the point vortex
  // at its centre.
  std::vector<double> exact_curve_x, exact_curve_cp;
  // The grid the streamlines were drawn on: the geometry's, or the view's grid handed to
  // ComputeExplorerFrame, with this angle's field in view_field.
  const FlowGrid* view_grid = nullptr;
  FlowFrame view_field;
};

// The frame at an angle (degrees), into `frame` (its buffers are reused). With a view
// grid (MakeExplorerViewGrid) the streamlines are those of the part of the plane it
// covers, at the same density as those of the whole domain; it must outlive the frame.
void ComputeExplorerFrame(const ExplorerGeometry& geometry, double alpha_degrees,
                          ExplorerFrame& frame, const FlowGrid* view_grid = nullptr);

// A grid of both base fields over a part of the plane (a zoomed or panned view), as fine
// as the geometry's grid is over the whole domain, its cells about square.
std::unique_ptr<FlowGrid> MakeExplorerViewGrid(const ExplorerGeometry& geometry,
                                               const FlowDomain& view);

// The polar's point at one angle (degrees): the combination of the bases and the derived
// results, without the field.
PolarPoint ExplorerPolarPoint(const ExplorerGeometry& geometry, double alpha_degrees);

// A polar as CSV: a comment line naming the inputs, "alpha,cl_circulation,cl_pressure,
// cm_quarter_chord", one angle a line.
std::string ExplorerPolarCsv(const ExplorerGeometry& geometry,
                             const std::vector<PolarPoint>& polar);

// The inputs as titles and file headers name them: "NACA 0012, 80 panels, constant
// vortex distribution"; "Circle, 8 panels, no circulation"; "..., point vortex at
// (0.25, 0)".
std::string ExplorerInputsLabel(const RunInputs& inputs);

// The pressure coefficient of the frame as CSV: a comment line naming the inputs and the
// angle ("# NACA 0012, 80 panels, constant vortex distribution, alpha = 5 degrees"), then
// "x,y,cp,side", one control point a line,
// upper surface then lower, each from the leading edge, a point as decimal separator,
// LF line ends.
std::string ExplorerPressureCsv(const ExplorerGeometry& geometry, const ExplorerFrame& frame);

}  // namespace velquin
