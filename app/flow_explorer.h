// What the flow explorer computes, without a window: for one geometry (body, panels,
// vortex model) the two base solutions, the base fields on the grid and the polar over
// the explorer's range of angles; for one angle a frame: strengths, surface speeds and
// pressure, the field with its streamlines, the stagnation points and the derived
// numbers. A geometry costs an assembly, one elimination and one pass over the panels
// per grid node; a frame only combinations, the streamline integration and sums over the
// panels. Nothing is written to a file.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/control_values.h"
#include "app/explorer_viscous.h"
#include "app/problem_run.h"
#include "base/module_common.h"
#include "solver/derived_results.h"
#include "solver/flow_field.h"
#include "solver/panel_problem.h"
#include "solver/panel_tree.h"
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

// The panels of the two surfaces of an element (numbered 1..np over all elements), each
// from the leading edge.
struct ElementSurfaces {
  std::vector<int> upper, lower;
};

// A geometry is either the seed's single body (C: the fixed arrays, the seed's
// elimination, as a calculation run) or the general problem (system: several elements,
// flaps, a ground plane, up to kMaxProblemPanels panels, Eigen's LU). Both are read
// through `panels` by the flow field; everything after the two base solutions is one
// code path.
//
// Above a ground plane the configuration is turned by alpha about the quarter chord and
// the free stream runs along the ground (solver/panel_problem.h): the panels, the matrix
// and the field depend on the angle, so such a geometry holds one angle
// (built_alpha_degrees) and a new angle needs a new geometry. Its polar is then computed
// angle by angle (ComputeGroundPolar), on request.
struct ExplorerGeometry {
  RunInputs inputs;                  // the seed's body; alpha_degrees is not used
  std::unique_ptr<Module_Common> C;  // the seed's panels, or null
  // The boundary layers' factored problem on the panels below (the seed's matrix as
  // eliminated once, or the general problem's LU factors), shared with the threads of
  // the layers and of the viscous polar, which may still run when the geometry is
  // replaced.
  std::shared_ptr<const LazyFactoredProblem> factored;
  std::optional<ProblemInputs> problem_inputs;  // the general problem's inputs, or nothing
  // The problem laid out (null for the seed's body), shared by the geometries of one
  // problem above a ground, one per angle (TurnExplorerGeometry).
  std::shared_ptr<const PanelProblem> problem;
  std::shared_ptr<const PanelSystem> system;  // its panels and factored matrix, or null
  double built_alpha_degrees = 0;             // with a ground: the angle of the panels
  std::string label;                          // names the inputs (ExplorerGeometryLabel)
  FlowPanels panels;                          // the panels as the flow field reads them
  FlowBases bases;
  BaseSpeeds speeds;              // signed tangential speeds of both bases
  Contour contour;                // the first element's contour
  std::vector<Contour> contours;  // every element's
  std::vector<std::string> element_names;
  PanelTree tree;  // the panels' cluster expansions, for the field off the grid
  FlowGrid grid;
  std::vector<PolarPoint> polar;          // kExplorerAlphaMin..kExplorerAlphaMax, 0.5 degrees apart
  double zero_lift_alpha_degrees = 0;     // where the circulation's lift vanishes
  std::vector<int> upper, lower;          // panels (1..NP) of the first element's two surfaces
  std::vector<ElementSurfaces> surfaces;  // of every element

  bool Ground() const { return problem_inputs && problem_inputs->ground_height.has_value(); }
  bool Circulation() const;
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

// The general problem: elements by name or from a coordinate file, placed, a flap, a
// ground plane; panels per element. With a ground plane the geometry holds the angle
// alpha_degrees. Throws RunError naming the element or the input: too many panels (at
// most kMaxProblemPanels in all), elements that cross, the ground cutting an element, a
// singular matrix.
std::unique_ptr<ExplorerGeometry> MakeExplorerGeometry(const ProblemInputs& inputs,
                                                       double alpha_degrees);

// The same general problem at another angle (above a ground the panels turn with it),
// sharing the problem laid out. Throws RunError as MakeExplorerGeometry does.
std::unique_ptr<ExplorerGeometry> TurnExplorerGeometry(const ExplorerGeometry& geometry,
                                                       double alpha_degrees);

// Whether the frame at alpha_degrees needs a new geometry: above a ground, at any other
// angle than the geometry's.
bool NeedsNewGeometry(const ExplorerGeometry& geometry, double alpha_degrees);

// The step of the polars above a ground, in degrees: one assembly and factorisation an
// angle.
inline constexpr double kExplorerGroundPolarStep = 1.0;

// The polar above a ground, one assembly and factorisation per angle: angles from
// kExplorerAlphaMin to kExplorerAlphaMax `step` degrees apart. `progress(done, total)`
// is called after every angle; when it returns false the computation stops and the
// points so far are returned. An angle where the ground cuts an element ends the polar
// there (the points before it are kept).
std::vector<PolarPoint> ComputeGroundPolar(const PanelProblem& problem, double step,
                                           const std::function<bool(int, int)>& progress);

// The general problem's inputs as titles name them: "NACA 23012 + NACA 23012 (0.95, -0.04,
// 25 degrees, chord 0.3), 2 x 100 panels, constant vortex distribution, ground 0.2 below".
// Without a panel count in the inputs, the counts the problem laid out ("160 + 120
// panels"; none without the problem).
std::string ExplorerProblemLabel(const ProblemInputs& inputs,
                                 const PanelProblem* problem = nullptr);

struct ExplorerFrame {
  double alpha_degrees = 0;
  double cos_alfa = 1, sin_alfa = 0;
  std::vector<double> Q;   // strengths 1..NEq at index j - 1
  std::vector<double> Vt;  // signed tangential speed at the control points
  std::vector<double> Cp;  // 1 - Vt^2 at the control points
  // The lift of every element, in the order of the elements (one for the seed's body).
  struct ElementLift {
    double cl_circulation = 0, cl_pressure = 0;
  };
  std::vector<ElementLift> element_lift;
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
  // The boundary layers at this angle, with a Reynolds number (app/explorer_viscous.h).
  std::optional<ExplorerViscousFrame> viscous;
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
// results, without the field. Above a ground, the problem assembled and solved at that
// angle (throws RunError where the ground cuts an element).
PolarPoint ExplorerPolarPoint(const ExplorerGeometry& geometry, double alpha_degrees);

// A polar as CSV: a comment line naming the inputs, "alpha,cl_circulation,cl_pressure,
// cm_quarter_chord", one angle a line.
std::string ExplorerPolarCsv(const ExplorerGeometry& geometry,
                             const std::vector<PolarPoint>& polar);

// The label of a geometry: ExplorerInputsLabel for the seed's body,
// ExplorerProblemLabel for the general problem.
std::string ExplorerGeometryLabel(const ExplorerGeometry& geometry);

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
