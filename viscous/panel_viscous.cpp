#include "viscous/panel_viscous.h"

#include <cmath>
#include <cstddef>
#include <limits>

#include "base/run_error.h"
#include "solver/angle_solution.h"
#include "solver/derived_results.h"
#include "solver/gauss_multi.h"
#include "solver/module_influcoeff.h"

namespace velquin {
namespace {

// The free stream of one angle with the transpiration on rows 1..NP, solved with the
// factored matrix; the strengths in q (NEq values), the signed speeds in speed (NP).
bool SolveWithTranspiration(const FactoredPanelProblem& problem, double cos_alfa, double sin_alfa,
                            const std::vector<double>& vn, std::vector<double>& q,
                            std::vector<double>& speed) {
  const Module_Common& W = *problem.state;
  const int np = RealToIndex(W.NP);
  const int neq = RealToIndex(W.NEq);
  q.assign(neq, 0.0);
  speed.assign(np, 0.0);
  InfluCoeff_FreeStream(W, problem.inputs.circulation, &cos_alfa, &sin_alfa, 1, q.data(),
                        speed.data());
  for (int i = 0; i < np && i < static_cast<int>(vn.size()); ++i) q[i] += vn[i];
  Gauss_SolveFactored(W.NEq, W.An, q.data(), 1);
  for (double v : q) {
    if (!std::isfinite(v)) return false;
  }
  for (int i = 1; i <= np; ++i) {
    const double* row = W.At.Row(i);
    double s = speed[i - 1];
    for (int j = 1; j <= neq; ++j) s = s + row[j] * q[j - 1];
    if (!std::isfinite(s)) return false;
    speed[i - 1] = s;
  }
  return true;
}

double FreeTransition(double xtr) {
  return xtr >= 1 ? std::numeric_limits<double>::infinity() : xtr;
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
  const int np = RealToIndex(W.NP);
  for (int i = 1; i <= np; ++i) {
    problem.panels.xc.push_back(W.Xc(i));
    problem.panels.yc.push_back(W.Yc(i));
    problem.panels.length.push_back(W.S(i));
  }
  problem.panels.x_te = W.X(1, 1);
  problem.panels.y_te = W.Y(1, 1);

  // A system singular up to rounding gives no finite bases: the angles then solve
  // directly and report the overflow as a run would.
  if (!SolveWithTranspiration(problem, 1, 0, {}, problem.strengths_x, problem.speed_x) ||
      !SolveWithTranspiration(problem, 0, 1, {}, problem.strengths_y, problem.speed_y)) {
    problem.strengths_x.clear();
    problem.strengths_y.clear();
    problem.speed_x.clear();
    problem.speed_y.clear();
  }

  // Unit transpiration on each control point in turn: the columns of An^-1 for rows
  // 1..NP, all in one multiple right-hand-side solve, then At times them.
  const int neq = RealToIndex(W.NEq);
  std::vector<double> columns(static_cast<std::size_t>(neq) * np, 0.0);
  for (int j = 0; j < np; ++j) columns[static_cast<std::size_t>(j) * np + j] = 1;
  Gauss_SolveFactored(W.NEq, W.An, columns.data(), np);
  std::vector<double> rows(static_cast<std::size_t>(np) * np, 0.0);
  for (int i = 1; i <= np; ++i) {
    const double* row = W.At.Row(i);
    double* out = &rows[static_cast<std::size_t>(i - 1) * np];
    for (int j = 1; j <= neq; ++j) {
      const double a = row[j];
      const double* x = &columns[static_cast<std::size_t>(j - 1) * np];
      for (int k = 0; k < np; ++k) out[k] += a * x[k];
    }
  }
  // Stored by columns: a pass adds vn(j) times column j, element by element in the same
  // order whatever the vector width, so the sum vectorises without reassociation.
  problem.response.resize(rows.size());
  for (int i = 0; i < np; ++i) {
    for (int j = 0; j < np; ++j) {
      problem.response[static_cast<std::size_t>(j) * np + i] =
          rows[static_cast<std::size_t>(i) * np + j];
    }
  }
  return problem;
}

ViscousResult SolveViscousAngle(const FactoredPanelProblem& problem, double alpha_degrees,
                                const ViscousOptions& options) {
  CheckSubsonicMach(options.mach);
  const double alpha = AlphaRadians(alpha_degrees);
  const double cos_alfa = std::cos(alpha), sin_alfa = std::sin(alpha);
  const Module_Common& W = *problem.state;
  const int np = RealToIndex(W.NP);
  const int neq = RealToIndex(W.NEq);

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

  // Lift and moment of a solution from its strengths and speeds.
  auto forces = [&](const std::vector<double>& strengths, const std::vector<double>& v,
                    CompressibleCp* cp_out, double& cl, double& cm) {
    Vector Q, Cu;
    for (int j = 1; j <= neq; ++j) Q(j) = strengths[j - 1];
    std::vector<double> cp0(np);
    for (int i = 0; i < np; ++i) cp0[i] = 1 - v[i] * v[i];
    CompressibleCp cp = CorrectPressures(cp0, options.mach);
    for (int i = 1; i <= np; ++i) Cu(i) = 1 - cp.cp[i - 1];
    const DerivedResults r = ComputeDerivedResults(W, problem.inputs, cos_alfa, sin_alfa, Q, Cu);
    cl = r.cl_pressure;
    cm = r.cm_quarter_chord;
    if (cp_out) *cp_out = std::move(cp);
  };
  forces(q, speed, nullptr, out.cl_inviscid, out.cm_inviscid);

  InteractionOptions interaction;
  interaction.section.reynolds = options.reynolds;
  interaction.section.ncrit = options.ncrit;
  interaction.section.xtr_upper = FreeTransition(options.xtr_top);
  interaction.section.xtr_lower = FreeTransition(options.xtr_bottom);
  interaction.max_passes = options.max_passes;
  interaction.relaxation = options.relaxation;
  interaction.mixing_depth = options.mixing_depth;
  const bool have_response = problem.response.size() == static_cast<std::size_t>(np) * np;
  const TranspirationSolve solve = [&](const std::vector<double>& vn, std::vector<double>& v) {
    if (!have_response) {
      std::vector<double> strengths;
      return SolveWithTranspiration(problem, cos_alfa, sin_alfa, vn, strengths, v);
    }
    if (static_cast<int>(vn.size()) != np) return false;
    std::vector<double> sum(np, 0.0);
    for (int j = 0; j < np; ++j) {
      const double a = vn[j];
      if (a == 0) continue;
      const double* column = &problem.response[static_cast<std::size_t>(j) * np];
      for (int i = 0; i < np; ++i) sum[i] += a * column[i];
    }
    v = speed;
    bool finite = true;
    for (int i = 0; i < np; ++i) {
      v[i] += sum[i];
      finite = finite && std::isfinite(v[i]);
    }
    return finite;
  };
  const InteractionResult result = RunViscousInteraction(problem.panels, speed, solve, interaction);
  // Lift and moment from the final speeds: the pressure integrals read the strengths only
  // for cl_circulation and the source sum, which the viscous outputs do not use, so the
  // inviscid strengths stand in for the final ones and spare a solve.
  forces(q, result.signed_speed, &out.cp, out.cl_viscous, out.cm_viscous);

  out.cd = result.layers.cd;
  out.top = result.layers.upper;
  out.bottom = result.layers.lower;
  out.xtr_top = std::min(out.top.transition_x, 1.0);
  out.xtr_bottom = std::min(out.bottom.transition_x, 1.0);
  out.xsep_top = std::min(out.top.separation_x, 1.0);
  out.xsep_bottom = std::min(out.bottom.separation_x, 1.0);
  out.converged = result.converged;
  out.passes = result.passes;
  return out;
}

std::optional<ViscousResult> AnalyseViscousSection(const Module_Common& C, const RunInputs& inputs,
                                                   const ViscousOptions& options) {
  const std::optional<FactoredPanelProblem> problem = FactorPanelProblem(C, inputs);
  if (!problem) return std::nullopt;
  return SolveViscousAngle(*problem, inputs.alpha_degrees, options);
}

}  // namespace velquin
