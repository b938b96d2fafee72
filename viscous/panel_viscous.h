// The viscous analysis of a panel problem: the adapter between the solved panels and the
// plain-array boundary-layer code of this folder. It serves two kinds of problem:
//  - the seed's single section (Module_Common): the matrix is assembled and eliminated
//    once per geometry exactly as SolveFlowBases does (InfluCoeff_Fill, Gauss_Factor);
//  - the general problem (PanelSystem): several elements, flaps, a ground plane, any
//    panel count, on its own LU factors.
// Every angle, and every interaction pass of an angle, is then one right-hand side: the
// free stream's plus the transpiration on the rows of the control points, and the
// signed surface speeds
//   Vt(i) = t(i) + sum_j At(i, j) Q(j).
// Nothing of the solvers changes.
//
// Each element has its own two layers, from its own stagnation point to its own
// trailing edge, marched in its own frame (leading edge, the node furthest from the
// trailing edge, at the origin; the trailing edge at (1, 0)) at the Reynolds number of
// its own chord. Its drag is Squire and Young's from its own trailing edge: the wakes
// are not followed, so where the wake of one element runs through the layer of the
// next (a slotted flap) the confluent layer is not modelled.
//
// Lift and moment are those of the final (transpiration) solution, integrated from the
// panel pressures as the inviscid results are (cl_pressure, cm_quarter_chord), with the
// Karman-Tsien Cp when mach > 0. The drag is the Squire-Young sum of every side.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/module_common.h"
#include "solver/panel_problem.h"
#include "solver/run_inputs.h"
#include "viscous/compressibility.h"
#include "viscous/viscous_interaction.h"

namespace velquin {

// The ranges of the flow conditions the closures and the correction hold in: below a
// thousand no attached layer exists on a section, above 1e9 the turbulent closures were
// never fitted; Ncrit beyond 30 is no wind tunnel's. The command line, the explorer and
// the Python module refuse what lies outside.
inline constexpr double kLeastReynolds = 1e3, kMostReynolds = 1e9;
inline constexpr double kMostNcrit = 30;

// Above this many panels the response matrix (np x np, np solves to build) costs more
// than the passes it saves, and a pass solves with the factors instead.
inline constexpr int kMaxResponsePanels = 600;

// One element's frame: a point (x', y') of its own frame lies at
//   (x_le, y_le) + chord (x' cos_chord - y' sin_chord, x' sin_chord + y' cos_chord).
struct ViscousElement {
  InteractionElement section;
  double x_le = 0, y_le = 0, cos_chord = 1, sin_chord = 0;
};

// The panels and the factored matrix of one geometry. Move-only.
struct FactoredPanelProblem {
  // The seed's state (At as assembled, An eliminated by Gauss_Factor) and inputs, or
  // null for the general problem.
  std::unique_ptr<Module_Common> state;
  RunInputs inputs;
  // The general problem's panels and factors, or null for the seed.
  std::shared_ptr<const PanelSystem> system;
  double built_alpha_degrees = 0;  // above a ground: the angle the panels are turned for

  std::vector<ViscousElement> elements;
  int panel_count = 0, equation_count = 0;
  // The response of the signed surface speeds to the transpiration, np x np by columns:
  // response[j * np + i] = d Vt(i) / d vn(j), the same for every angle (the free stream
  // enters only the right-hand side). An interaction pass is then one product instead of
  // a solve and a product: np solves once per geometry buy a pass five times cheaper at
  // 160 panels. Empty above kMaxResponsePanels.
  std::vector<double> response;
  // The solutions of the free streams along x and along y (cos, sin = 1, 0 and 0, 1):
  // strengths (neq) and signed speeds (np). The right-hand side is linear in cos and
  // sin, so an angle's inviscid solution is their combination, without a solve.
  std::vector<double> strengths_x, strengths_y, speed_x, speed_y;

  bool HasGround() const { return system && system->HasGround(); }
};

// From the panels of C (Panel_ComputeGeometry done; sizes and vortex position set for
// the inputs). Nothing after a zero pivot. Throws RunError where a run would.
std::optional<FactoredPanelProblem> FactorPanelProblem(const Module_Common& C,
                                                       const RunInputs& inputs);

// From the general problem's factored system; above a ground, `alpha_degrees` is the
// angle the system was built for, the only one it can solve. Every element needs its
// vortex sheet and a trailing edge. Throws RunError.
FactoredPanelProblem FactorPanelProblem(std::shared_ptr<const PanelSystem> system,
                                        double alpha_degrees);

struct ViscousOptions {
  double reynolds = 1e6;  // on the reference length
  double ncrit = kDefaultNcrit;
  double xtr_top = 1, xtr_bottom = 1;  // forced transition (chord fraction); 1 and up: free
  double mach = 0;                     // 0 <= M < 1
  // The passes: Anderson's mixing of the last mixing_depth passes with the relaxation
  // as its damping (viscous_interaction.h). Plain relaxation (mixing_depth 0) needed 40
  // passes of 0.2 and still left 15 of the 61 XFOIL points unsettled; the mixing settles
  // all of them in 6 passes on average.
  int max_passes = 40;
  double relaxation = 0.3;
  int mixing_depth = 4;
  // The transpiration to start the passes from (PolarWarmStart, for a polar's angles in
  // order); empty: from the inviscid flow.
  std::vector<double> initial_transpiration;
};

// One element's layers. Lift and drag on the reference length; transition and
// separation as fractions of the element's own chord (1 when laminar or attached to its
// trailing edge); the stations in the problem's coordinates and reference lengths, but
// the layers' transition_x and separation_x in the element's chord fractions (as xtr and
// xsep).
struct ElementViscousResult {
  double cl_viscous = 0, cd = 0;
  double xtr_top = 1, xtr_bottom = 1, xsep_top = 1, xsep_bottom = 1;
  SurfaceBoundaryLayer top, bottom;
};

struct ViscousResult {
  double cl_viscous = 0, cm_viscous = 0, cd = 0;  // of the whole problem
  double cl_inviscid = 0, cm_inviscid = 0;
  // The first element's: chord fractions of transition (1 when laminar to the edge) and
  // of the start of the separation that reaches the trailing edge (1 when attached).
  double xtr_top = 1, xtr_bottom = 1, xsep_top = 1, xsep_bottom = 1;
  bool converged = false;
  int passes = 0;
  std::vector<double> transpiration;  // of the final solution, per panel
  SurfaceBoundaryLayer top, bottom;   // the first element's, stagnation point to trailing edge
  std::vector<ElementViscousResult> elements;  // every element's, the first included
  CompressibleCp cp;  // per panel 1..NP (index i - 1) of the final solution
};

// One angle with the interaction passes. Never NaN: a solve that fails ends the passes
// (converged false) and leaves the last finite solution. Above a ground the angle must
// be the one the problem was built for (throws RunError otherwise).
ViscousResult SolveViscousAngle(const FactoredPanelProblem& problem, double alpha_degrees,
                                const ViscousOptions& options);

// Both steps for a caller with solved panels, at inputs.alpha_degrees.
std::optional<ViscousResult> AnalyseViscousSection(const Module_Common& C, const RunInputs& inputs,
                                                   const ViscousOptions& options);

// One angle of a polar: its passes started from `starts`, its outcome recorded there.
ViscousResult SolveViscousAngle(const FactoredPanelProblem& problem, double alpha_degrees,
                                const ViscousOptions& options, PolarWarmStart& starts);

// The angles of a polar on one factored problem, in the order given, each angle's passes
// started from its neighbours' transpiration (PolarWarmStart): a third fewer passes than
// cold starts where the layers separate near the trailing edge. Where the layers have two
// solutions (a laminar separation at the edge) an angle may settle on the other one than
// a single run at that angle does. `after_angle` (when set) hears the count of angles
// done after each; when it returns false the polar stops there, with the angles so far.
using AfterAngle = std::function<bool(std::size_t done)>;
std::vector<ViscousResult> SolveViscousPolar(const FactoredPanelProblem& problem,
                                             const std::vector<double>& alpha_degrees,
                                             const ViscousOptions& options,
                                             const AfterAngle& after_angle = nullptr);

// The viscous analysis of the general problem at every angle: one factorisation without
// a ground plane, one per angle above it, each angle's passes started from its
// neighbours' (PolarWarmStart). `after_angle` as for SolveViscousPolar. Throws RunError.
std::vector<ViscousResult> SolveViscousProblem(const PanelProblem& problem,
                                               const std::vector<double>& alpha_degrees,
                                               const ViscousOptions& options,
                                               const AfterAngle& after_angle = nullptr);

}  // namespace velquin
