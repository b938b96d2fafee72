#include "viscous/panel_viscous.h"

#include <Eigen/Core>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#include "base/run_error.h"
#include "solver/angle_solution.h"
#include "solver/derived_results.h"
#include "solver/gauss_multi.h"
#include "solver/module_influcoeff.h"

namespace velquin {
namespace {

// The free-stream terms of m angles: the right-hand sides (neq rows of m) and the
// free stream along each panel's tangent (np rows of m).
void FreeStream(const FactoredPanelProblem& problem, const double* cos_alfa, const double* sin_alfa,
                int m, double* rhs, double* tangential) {
  if (problem.system) {
    FreeStreamTerms(problem.system->Setup(), cos_alfa, sin_alfa, m, rhs, tangential);
  } else {
    InfluCoeff_FreeStream(*problem.state, problem.inputs.circulation, cos_alfa, sin_alfa, m, rhs,
                          tangential);
  }
}

// Solves for m right-hand sides in place (neq rows of m), and adds the unknowns' share
// of the surface speeds to `tangential` (np rows of m).
void SolveAndAddSpeeds(const FactoredPanelProblem& problem, double* b, int m, double* tangential) {
  if (problem.system) {
    problem.system->SolveInPlace(b, m);
    problem.system->AddSurfaceSpeeds(b, m, tangential);
    return;
  }
  const Module_Common& W = *problem.state;
  Gauss_SolveFactored(W.NEq, W.An, b, m);
  // tangential += At(1..np, 1..neq) b: Eigen's blocked product, in an order fixed by the
  // sizes alone (one thread), three times fewer instructions than the plain loops for
  // the response's 160 columns.
  const int np = problem.panel_count, neq = problem.equation_count;
  using RowMajor = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;
  const Eigen::Index stride = W.At.Row(2) - W.At.Row(1);
  const Eigen::Map<const RowMajor, 0, Eigen::OuterStride<>> at(W.At.Row(1) + 1, np, neq,
                                                               Eigen::OuterStride<>(stride));
  Eigen::Map<RowMajor> out(tangential, np, m);
  out.noalias() += at * Eigen::Map<const RowMajor>(b, neq, m);
}

// The free stream of one angle with the transpiration on the control points' rows; the
// strengths in q (neq values), the signed speeds in speed (np).
bool SolveWithTranspiration(const FactoredPanelProblem& problem, double cos_alfa, double sin_alfa,
                            const std::vector<double>& vn, std::vector<double>& q,
                            std::vector<double>& speed) {
  const int np = problem.panel_count;
  q.assign(problem.equation_count, 0.0);
  speed.assign(np, 0.0);
  FreeStream(problem, &cos_alfa, &sin_alfa, 1, q.data(), speed.data());
  for (int i = 0; i < np && i < static_cast<int>(vn.size()); ++i) q[i] += vn[i];
  SolveAndAddSpeeds(problem, q.data(), 1, speed.data());
  for (double v : q) {
    if (!std::isfinite(v)) return false;
  }
  for (double v : speed) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// The two base solutions and the response to the transpiration (see the header).
void PrepareSolutions(FactoredPanelProblem& problem) {
  // A system singular up to rounding gives no finite bases: the angles then solve
  // directly and report the overflow as a run would.
  if (!SolveWithTranspiration(problem, 1, 0, {}, problem.strengths_x, problem.speed_x) ||
      !SolveWithTranspiration(problem, 0, 1, {}, problem.strengths_y, problem.speed_y)) {
    problem.strengths_x.clear();
    problem.strengths_y.clear();
    problem.speed_x.clear();
    problem.speed_y.clear();
  }
  const int np = problem.panel_count, neq = problem.equation_count;
  if (np > kMaxResponsePanels) return;
  // Unit transpiration on each control point in turn: the columns of A^-1 for the
  // control points' rows, all in one multiple right-hand-side solve, then At times them.
  std::vector<double> columns(static_cast<std::size_t>(neq) * np, 0.0);
  for (int j = 0; j < np; ++j) columns[static_cast<std::size_t>(j) * np + j] = 1;
  std::vector<double> rows(static_cast<std::size_t>(np) * np, 0.0);
  SolveAndAddSpeeds(problem, columns.data(), np, rows.data());
  // Stored by columns, as the passes' product reads it.
  problem.response.resize(rows.size());
  for (int i = 0; i < np; ++i) {
    for (int j = 0; j < np; ++j) {
      problem.response[static_cast<std::size_t>(j) * np + i] =
          rows[static_cast<std::size_t>(i) * np + j];
    }
  }
}

double FreeTransition(double xtr) {
  return xtr >= 1 ? std::numeric_limits<double>::infinity() : xtr;
}

// The frame of the element whose panels run from `first` to `last` (1-based): its
// trailing edge is the first node, its leading edge the node furthest from it.
ViscousElement ElementFrame(const ProblemPanels& p, int first, int last) {
  const double x_te = p.X1[first], y_te = p.Y1[first];
  double x_le = x_te, y_le = y_te, far = 0;
  for (int i = first; i <= last; ++i) {
    const double dx = p.X1[i] - x_te, dy = p.Y1[i] - y_te;
    const double d = dx * dx + dy * dy;
    if (d > far) {
      far = d;
      x_le = p.X1[i];
      y_le = p.Y1[i];
    }
  }
  ViscousElement e;
  const double chord = std::sqrt(far);
  e.x_le = x_le;
  e.y_le = y_le;
  e.cos_chord = (x_te - x_le) / chord;
  e.sin_chord = (y_te - y_le) / chord;
  e.section.first = first - 1;
  e.section.chord = chord;
  auto local = [&e, chord](double x, double y, double& lx, double& ly) {
    const double dx = x - e.x_le, dy = y - e.y_le;
    lx = (dx * e.cos_chord + dy * e.sin_chord) / chord;
    ly = (dy * e.cos_chord - dx * e.sin_chord) / chord;
  };
  SectionPanels& s = e.section.panels;
  for (int i = first; i <= last; ++i) {
    double lx = 0, ly = 0;
    local(p.Xc[i], p.Yc[i], lx, ly);
    s.xc.push_back(lx);
    s.yc.push_back(ly);
    s.length.push_back(p.S[i] / chord);
  }
  // The trailing edge is (1, 0) of the frame by construction; exactly so, that a layer
  // attached to the edge reports the chord fraction 1.
  s.x_te = 1;
  s.y_te = 0;
  return e;
}

// The stations of an element's side back in the problem's coordinates and lengths. The
// transition and separation points keep their x as a fraction of the element's own
// chord (xtr and xsep are reported so); their arc length and thicknesses are scaled.
SurfaceBoundaryLayer ToProblemFrame(const ViscousElement& e, SurfaceBoundaryLayer layer) {
  const double c = e.section.chord;
  for (BoundaryLayerStation& b : layer.stations) {
    const double x = b.x, y = b.y;
    b.x = e.x_le + c * (x * e.cos_chord - y * e.sin_chord);
    b.y = e.y_le + c * (x * e.sin_chord + y * e.cos_chord);
    b.s *= c;
    b.dstar *= c;
    b.theta *= c;
  }
  layer.transition_s *= c;
  layer.transition_dstar *= c;
  layer.transition_theta *= c;
  return layer;
}

// Lift and moment of the whole problem and the lift of each element from a solution's
// strengths and signed speeds.
struct Loads {
  double cl = 0, cm = 0;
  std::vector<double> element_cl;
  CompressibleCp cp;
};

Loads ComputeLoads(const FactoredPanelProblem& problem, double alpha_degrees, double cos_alfa,
                   double sin_alfa, const std::vector<double>& strengths,
                   const std::vector<double>& speed, double mach) {
  const int np = problem.panel_count;
  std::vector<double> cp0(np);
  for (int i = 0; i < np; ++i) cp0[i] = 1 - speed[i] * speed[i];
  Loads out;
  out.cp = CorrectPressures(cp0, mach);
  if (problem.system) {
    ProblemSolution s;
    s.alpha_degrees = alpha_degrees;
    s.q = strengths;
    s.vt = speed;
    s.cp = out.cp.cp;
    ComputeProblemLoads(problem.system->Panels(), problem.HasGround(), s);
    out.cl = s.cl_pressure;
    out.cm = s.cm_quarter_chord;
    out.element_cl = s.element_cl_pressure;
    return out;
  }
  const Module_Common& W = *problem.state;
  Vector Q, Cu;
  for (int j = 1; j <= problem.equation_count; ++j) Q(j) = strengths[j - 1];
  for (int i = 1; i <= np; ++i) Cu(i) = 1 - out.cp.cp[i - 1];
  const DerivedResults r = ComputeDerivedResults(W, problem.inputs, cos_alfa, sin_alfa, Q, Cu);
  out.cl = r.cl_pressure;
  out.cm = r.cm_quarter_chord;
  out.element_cl = {out.cl};
  return out;
}

// The interaction's transpiration solve: the response product when there is one, a
// solve with the factors otherwise.
TranspirationSolve MakeTranspirationSolve(const FactoredPanelProblem& problem, double cos_alfa,
                                          double sin_alfa, const std::vector<double>& inviscid) {
  const int np = problem.panel_count;
  if (problem.response.size() != static_cast<std::size_t>(np) * np) {
    return [&problem, cos_alfa, sin_alfa](const std::vector<double>& vn, std::vector<double>& v) {
      std::vector<double> strengths;
      return SolveWithTranspiration(problem, cos_alfa, sin_alfa, vn, strengths, v);
    };
  }
  return [&problem, &inviscid, np](const std::vector<double>& vn, std::vector<double>& v) {
    if (static_cast<int>(vn.size()) != np) return false;
    // The speeds' change, response times vn (Eigen's product, one thread, its order
    // fixed by the size), added to the inviscid speeds.
    Eigen::VectorXd sum = Eigen::Map<const Eigen::MatrixXd>(problem.response.data(), np, np) *
                          Eigen::Map<const Eigen::VectorXd>(vn.data(), np);
    v = inviscid;
    bool finite = true;
    for (int i = 0; i < np; ++i) {
      v[i] += sum[i];
      finite = finite && std::isfinite(v[i]);
    }
    return finite;
  };
}

ElementViscousResult ElementResult(const ViscousElement& e, const SectionBoundaryLayer& layers,
                                   double cl) {
  ElementViscousResult r;
  r.cl_viscous = cl;
  r.cd = layers.cd * e.section.chord;
  r.xtr_top = std::min(layers.upper.transition_x, 1.0);
  r.xtr_bottom = std::min(layers.lower.transition_x, 1.0);
  r.xsep_top = std::min(layers.upper.separation_x, 1.0);
  r.xsep_bottom = std::min(layers.lower.separation_x, 1.0);
  r.top = ToProblemFrame(e, layers.upper);
  r.bottom = ToProblemFrame(e, layers.lower);
  return r;
}

}  // namespace

std::optional<FactoredPanelProblem> FactorPanelProblem(const Module_Common& C,
                                                       const RunInputs& inputs) {
  FactoredPanelProblem problem;
  problem.state = std::make_unique<Module_Common>(C);
  problem.inputs = inputs;
  Module_Common& W = *problem.state;
  InfluCoeff_Fill(W, inputs);
  if (!Gauss_Factor(W.NEq, W.An)) return std::nullopt;
  problem.panel_count = RealToIndex(W.NP);
  problem.equation_count = RealToIndex(W.NEq);
  ViscousElement element;
  SectionPanels& panels = element.section.panels;
  for (int i = 1; i <= problem.panel_count; ++i) {
    panels.xc.push_back(W.Xc(i));
    panels.yc.push_back(W.Yc(i));
    panels.length.push_back(W.S(i));
  }
  panels.x_te = W.X(1, 1);
  panels.y_te = W.Y(1, 1);
  problem.elements.push_back(std::move(element));
  PrepareSolutions(problem);
  return problem;
}

FactoredPanelProblem FactorPanelProblem(std::shared_ptr<const PanelSystem> system,
                                        double alpha_degrees) {
  FactoredPanelProblem problem;
  problem.system = std::move(system);
  problem.built_alpha_degrees = alpha_degrees;
  const ProblemPanels& p = problem.system->Panels();
  problem.panel_count = p.count;
  problem.equation_count = problem.system->EquationCount();
  for (const ElementPanels& e : p.elements) {
    if (e.vortex == VortexModel::kNone) {
      throw RunError(ErrorKind::kInvalidArgument,
                     "the boundary layers need the lifting solution: give every element its "
                     "vortex (circulation on).");
    }
    problem.elements.push_back(ElementFrame(p, e.first, e.last));
  }
  PrepareSolutions(problem);
  return problem;
}

ViscousResult SolveViscousAngle(const FactoredPanelProblem& problem, double alpha_degrees,
                                const ViscousOptions& options) {
  CheckSubsonicMach(options.mach);
  if (problem.HasGround() && alpha_degrees != problem.built_alpha_degrees) {
    throw RunError(ErrorKind::kInvalidArgument,
                   "above a ground the panels are turned for one angle: build the problem "
                   "again for another.");
  }
  // Above a ground the configuration is turned and the free stream runs along it.
  const double alpha = problem.HasGround() ? 0.0 : AlphaRadians(alpha_degrees);
  const double cos_alfa = std::cos(alpha), sin_alfa = std::sin(alpha);
  const int np = problem.panel_count;
  const int neq = problem.equation_count;

  ViscousResult out;
  std::vector<double> q, speed;
  const bool have_bases = problem.strengths_x.size() == static_cast<std::size_t>(neq) &&
                          problem.strengths_y.size() == static_cast<std::size_t>(neq) &&
                          problem.speed_x.size() == static_cast<std::size_t>(np) &&
                          problem.speed_y.size() == static_cast<std::size_t>(np);
  if (have_bases) {
    q.resize(neq);
    speed.resize(np);
    for (int j = 0; j < neq; ++j) {
      q[j] = cos_alfa * problem.strengths_x[j] + sin_alfa * problem.strengths_y[j];
    }
    for (int i = 0; i < np; ++i)
      speed[i] = cos_alfa * problem.speed_x[i] + sin_alfa * problem.speed_y[i];
  } else if (!SolveWithTranspiration(problem, cos_alfa, sin_alfa, {}, q, speed)) {
    throw RunError(ErrorKind::kOverflow,
                   "the linear system is too close to singular: a strength is not a finite "
                   "number.");
  }
  const Loads inviscid =
      ComputeLoads(problem, alpha_degrees, cos_alfa, sin_alfa, q, speed, options.mach);
  out.cl_inviscid = inviscid.cl;
  out.cm_inviscid = inviscid.cm;

  InteractionOptions interaction;
  interaction.section.reynolds = options.reynolds;
  interaction.section.ncrit = options.ncrit;
  interaction.section.xtr_upper = FreeTransition(options.xtr_top);
  interaction.section.xtr_lower = FreeTransition(options.xtr_bottom);
  interaction.max_passes = options.max_passes;
  interaction.relaxation = options.relaxation;
  interaction.mixing_depth = options.mixing_depth;
  interaction.initial_transpiration = options.initial_transpiration;
  std::vector<InteractionElement> elements;
  for (const ViscousElement& e : problem.elements) elements.push_back(e.section);
  const InteractionResult result = RunViscousInteraction(
      elements, speed, MakeTranspirationSolve(problem, cos_alfa, sin_alfa, speed), interaction);
  // Lift and moment from the final speeds: the pressure integrals read the strengths only
  // for cl_circulation and the source sum, which the viscous outputs do not use, so the
  // inviscid strengths stand in for the final ones and spare a solve.
  Loads viscous = ComputeLoads(problem, alpha_degrees, cos_alfa, sin_alfa, q, result.signed_speed,
                               options.mach);
  out.cl_viscous = viscous.cl;
  out.cm_viscous = viscous.cm;
  out.cp = std::move(viscous.cp);

  for (std::size_t k = 0; k < problem.elements.size() && k < result.layers.size(); ++k) {
    const double cl = k < viscous.element_cl.size() ? viscous.element_cl[k] : 0.0;
    out.elements.push_back(ElementResult(problem.elements[k], result.layers[k], cl));
    out.cd += out.elements.back().cd;
  }
  if (!out.elements.empty()) {
    const ElementViscousResult& first = out.elements.front();
    out.top = first.top;
    out.bottom = first.bottom;
    out.xtr_top = first.xtr_top;
    out.xtr_bottom = first.xtr_bottom;
    out.xsep_top = first.xsep_top;
    out.xsep_bottom = first.xsep_bottom;
  }
  out.converged = result.converged;
  out.passes = result.passes;
  out.transpiration = result.transpiration;
  return out;
}

std::optional<ViscousResult> AnalyseViscousSection(const Module_Common& C, const RunInputs& inputs,
                                                   const ViscousOptions& options) {
  const std::optional<FactoredPanelProblem> problem = FactorPanelProblem(C, inputs);
  if (!problem) return std::nullopt;
  return SolveViscousAngle(*problem, inputs.alpha_degrees, options);
}

ViscousResult SolveViscousAngle(const FactoredPanelProblem& problem, double alpha_degrees,
                                const ViscousOptions& options, PolarWarmStart& starts) {
  ViscousOptions own = options;
  own.initial_transpiration = starts.StartFor(alpha_degrees);
  ViscousResult result = SolveViscousAngle(problem, alpha_degrees, own);
  starts.Record(alpha_degrees, result.converged, result.transpiration);
  return result;
}

std::vector<ViscousResult> SolveViscousPolar(const FactoredPanelProblem& problem,
                                             const std::vector<double>& alpha_degrees,
                                             const ViscousOptions& options,
                                             const AfterAngle& after_angle) {
  std::vector<ViscousResult> results;
  results.reserve(alpha_degrees.size());
  PolarWarmStart starts;
  for (const double alpha : alpha_degrees) {
    results.push_back(SolveViscousAngle(problem, alpha, options, starts));
    if (after_angle && !after_angle(results.size())) break;
  }
  return results;
}

std::vector<ViscousResult> SolveViscousProblem(const PanelProblem& problem,
                                               const std::vector<double>& alpha_degrees,
                                               const ViscousOptions& options,
                                               const AfterAngle& after_angle) {
  if (alpha_degrees.empty()) return {};
  if (!problem.ground_height) {
    const FactoredPanelProblem factored = FactorPanelProblem(
        std::make_shared<const PanelSystem>(problem, alpha_degrees.front()), alpha_degrees.front());
    return SolveViscousPolar(factored, alpha_degrees, options, after_angle);
  }
  // Above a ground the panels turn with the angle: every angle a system of its own (the
  // same panels, so the neighbours' transpiration is still a start).
  std::vector<ViscousResult> results;
  PolarWarmStart starts;
  for (const double alpha : alpha_degrees) {
    const FactoredPanelProblem own =
        FactorPanelProblem(std::make_shared<const PanelSystem>(problem, alpha), alpha);
    results.push_back(SolveViscousAngle(own, alpha, options, starts));
    if (after_angle && !after_angle(results.size())) break;
  }
  return results;
}

}  // namespace velquin
