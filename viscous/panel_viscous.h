// The viscous analysis of today's single-section panel problem: the adapter between the
// solved panels of Module_Common and the plain-array boundary-layer code of this folder.
//
// The panel matrix (sources, the vortex unknown and the Kutta-type row) is assembled and
// eliminated once per geometry exactly as SolveFlowBases does (InfluCoeff_Fill,
// Gauss_Factor); every angle, and every interaction pass of an angle, is then one
// right-hand side: the free stream's (InfluCoeff_FreeStream) plus the transpiration on
// rows 1..NP, Gauss_SolveFactored, and the signed surface speeds
//   Vt(i) = t(i) + sum_j At(i, j) Q(j),
// summed as SurfaceSpeeds sums them but keeping the sign. Nothing of the solver changes.
//
// Lift and moment are those of the final (transpiration) solution, integrated from the
// panel pressures as ComputeDerivedResults does (cl_pressure, cm_quarter_chord), with the
// Karman-Tsien Cp when mach > 0. The drag is the Squire-Young sum of both sides.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "base/module_common.h"
#include "solver/run_inputs.h"
#include "viscous/compressibility.h"
#include "viscous/viscous_interaction.h"

namespace velquin {

// The panels and the factored matrix of one geometry. Move-only; holds one copy of the
// state (two 201 x 201 matrices) on the heap.
struct FactoredPanelProblem {
  std::unique_ptr<Module_Common> state;  // At as assembled, An eliminated by Gauss_Factor
  RunInputs inputs;
  SectionPanels panels;
  // The response of the signed surface speeds to the transpiration, NP x NP by columns:
  // response[j * NP + i] = d Vt(i) / d vn(j), the same for every angle (the free stream
  // enters only the right-hand side). An interaction pass is then one product instead of
  // a solve and a product: NP solves once per geometry buy a pass five times cheaper.
  std::vector<double> response;
  // The solutions of the free streams along x and along y (cos, sin = 1, 0 and 0, 1):
  // strengths (NEq) and signed speeds (NP). The right-hand side is linear in cos and
  // sin, so an angle's inviscid solution is their combination, without a solve.
  std::vector<double> strengths_x, strengths_y, speed_x, speed_y;
};

// From the panels of C (Panel_ComputeGeometry done; sizes and vortex position set for
// the inputs). Nothing after a zero pivot. Throws RunError where a run would.
std::optional<FactoredPanelProblem> FactorPanelProblem(const Module_Common& C,
                                                       const RunInputs& inputs);

struct ViscousOptions {
  double reynolds = 1e6;
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
};

struct ViscousResult {
  double cl_viscous = 0, cm_viscous = 0, cd = 0;
  double cl_inviscid = 0, cm_inviscid = 0;
  // Chord fractions: transition (1 when laminar to the edge) and the start of the
  // separation that reaches the trailing edge (1 when attached there).
  double xtr_top = 1, xtr_bottom = 1, xsep_top = 1, xsep_bottom = 1;
  bool converged = false;
  int passes = 0;
  SurfaceBoundaryLayer top, bottom;  // the stations, stagnation point to trailing edge
  CompressibleCp cp;                 // per panel 1..NP (index i - 1) of the final solution
};

// One angle with the interaction passes. Never NaN: a solve that fails ends the passes
// (converged false) and leaves the last finite solution.
ViscousResult SolveViscousAngle(const FactoredPanelProblem& problem, double alpha_degrees,
                                const ViscousOptions& options);

// Both steps for a caller with solved panels, at inputs.alpha_degrees.
std::optional<ViscousResult> AnalyseViscousSection(const Module_Common& C, const RunInputs& inputs,
                                                   const ViscousOptions& options);

}  // namespace velquin
