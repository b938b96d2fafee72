// The general panel problem: any number of elements, each a closed contour of panels
// with its own constant vortex sheet (or none) and its own Kutta-type row, in a free
// stream of unit speed, optionally above a ground plane. Its arrays have the sizes of
// the problem, up to kMaxProblemPanels panels in all.
//
// The arithmetic is the seed's: the panels are laid with the same expressions as
// Panel_ComputeGeometry, the coefficients come from AssembleInfluence (solver/
// influence.h), the free stream from FreeStreamTerms. Only the solution differs: a dense
// LU factorisation with partial pivoting (Eigen 3), factored once per geometry and
// reused for every angle.
//
// Ground effect. With a ground plane at height H the configuration is turned by alpha
// about the quarter chord (0.25, 0) (nose up for alpha > 0), the free stream runs along
// the ground, (1, 0), and the ground is the line y = -H, modelled by images. The matrix
// then depends on alpha, and every angle is assembled and factored on its own.
//
// Results, per unit dynamic pressure and unit reference length (the unit of the
// coordinates), moments about (0.25, 0), nose-up positive:
//  - cl_circulation: Kutta-Joukowski, 2 Gamma, Gamma the clockwise circulation of all
//    sheets (per element: its own sheet);
//  - cl_pressure: the panel forces -Cp S n summed and taken across the free stream;
//  - cm_quarter_chord: the moment of the same forces, each at its control point.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/vortex_model.h"
#include "geometry/body.h"
#include "solver/influence.h"

namespace velquin {

inline constexpr int kMaxProblemPanels = 2000;

struct ProblemElement {
  std::string name;
  // Nodes 0..n of the closed contour, clockwise, node 0 the trailing edge; panel k runs
  // from node k - 1 to node k, and node n closes the contour on node 0.
  std::vector<ContourPoint> nodes;
  VortexModel vortex = VortexModel::kNone;

  int PanelCount() const { return static_cast<int>(nodes.size()) - 1; }
};

struct PanelProblem {
  std::vector<ProblemElement> elements;
  std::optional<double> ground_height;  // the ground y = -H, below the turned configuration
  double Xv = 0.5, Yv = 0;              // the point vortex of a single element

  int PanelCount() const;
  int FewestPanels() const;  // of the element with the fewest
};

// The panels of a problem as the computation uses them (placed and, above a ground,
// turned): index 1..np, index 0 unused.
struct ProblemPanels {
  std::vector<double> X1, Y1, X2, Y2;  // start and end nodes
  std::vector<double> Xc, Yc, S, CosAx, CosBx, CosAy, CosBy, Xi1, Xi2;
  std::vector<ElementPanels> elements;
  int count = 0;

  PanelView View() const;
};

// Why the problem cannot be solved, empty when it can: no element, an element of fewer
// than 3 panels, more than kMaxProblemPanels panels, a point vortex with more than one
// element, elements that cross or lie inside each other, an element that reaches the
// ground. Names the elements by their names.
std::string ProblemDefect(const PanelProblem& problem, double alpha_degrees);

struct ProblemSolution {
  double alpha_degrees = 0;
  std::vector<double> q;   // source strengths, then one vortex strength per sheet
  std::vector<double> vt;  // signed tangential speed at the control points
  std::vector<double> cp;  // 1 - vt^2
  double cl_circulation = 0, cl_pressure = 0, cm_quarter_chord = 0, source_sum = 0;
  std::vector<double> element_cl_circulation, element_cl_pressure;
};

// The results of a solution whose strengths q and signed speeds vt are set: cp, the
// forces, the moment and the lift of every element, at alpha_degrees (above a ground,
// `ground`, the free stream runs along it and the angle is in the turned panels).
void ComputeProblemResults(const ProblemPanels& panels, bool ground, ProblemSolution& s);

// The forces, the moment and the lifts of a solution whose pressure coefficients s.cp
// are set already (a compressibility correction, say); s.q gives the circulation and the
// source sum, s.cp the rest.
void ComputeProblemLoads(const ProblemPanels& panels, bool ground, ProblemSolution& s);

// The two base solutions of a system, for the free streams (1, 0) and (0, 1): strengths
// (neq) and signed surface speeds (np). The solution in the free stream (cos a, sin a)
// is their combination.
struct ProblemBases {
  std::vector<double> Q0, Q90, Vt0, Vt90;
};

// The panels laid, the system assembled and factored once: solves for any number of
// free streams. Throws RunError: a defect of the problem (ProblemDefect), a control point
// on the end of a panel, a singular matrix.
class PanelSystem {
 public:
  // `alpha_degrees` turns the configuration when there is a ground plane; otherwise it
  // is not used.
  PanelSystem(const PanelProblem& problem, double alpha_degrees);
  ~PanelSystem();
  PanelSystem(const PanelSystem&) = delete;
  PanelSystem& operator=(const PanelSystem&) = delete;

  const ProblemPanels& Panels() const { return panels_; }
  int EquationCount() const { return setup_.EquationCount(); }
  // The panels, elements, vortex position and ground as the assembly saw them.
  const InfluenceSetup& Setup() const { return setup_; }

  // The solution in the free stream at alpha_degrees (with a ground plane: the angle
  // the system was built for, the free stream along the ground).
  ProblemSolution Solve(double alpha_degrees) const;

  // Both base solutions on the factored matrix. Throws RunError when a strength is not
  // finite.
  ProblemBases SolveBases() const;

  // Solves A X = B in place on the factored matrix for m right-hand sides held row by
  // row (b[i * m + k], i = 0..neq - 1), for right-hand sides of the caller's own (a
  // transpiration through the surface, say).
  void SolveInPlace(double* b, int m) const;
  // Adds the unknowns' share of the signed surface speeds, sum_j At(i, j) q_j, to
  // `tangential` (np rows of m); q holds neq rows of m.
  void AddSurfaceSpeeds(const double* q, int m, double* tangential) const;

  bool HasGround() const { return ground_; }

 private:
  struct Factors;
  bool ground_ = false;
  ProblemPanels panels_;
  InfluenceSetup setup_;
  std::vector<double> At_;  // row-major, rows 0..neq, columns 0..neq + 1
  std::unique_ptr<Factors> factors_;
};

// The solutions at every angle: one factorisation without a ground plane, one per angle
// with it. Throws RunError.
std::vector<ProblemSolution> SolvePanelProblem(const PanelProblem& problem,
                                               const std::vector<double>& alpha_degrees);

}  // namespace velquin
