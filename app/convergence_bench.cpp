#include "app/convergence_bench.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "app/derived_text.h"
#include "app/problem_run.h"
#include "base/module_common.h"
#include "base/run_error.h"
#include "geometry/body_names.h"
#include "geometry/ellipse_section.h"
#include "geometry/karman_trefftz_section.h"
#include "geometry/williams_sections.h"
#include "solver/panel_problem.h"

namespace velquin {
namespace {

constexpr double kEllipseT = 0.25;
constexpr double kSectionAlpha = 4, kEllipseAlpha = 6, kCircleAlpha = 6;
constexpr double kGroundHeight = 0.25;
const KarmanTrefftzParameters kKarmanTrefftz{-0.1, 0.1, 10};
const KarmanTrefftzParameters kJoukowski{-0.1, 0.1, 0};

std::vector<int> Doubling(int first, int last) {
  std::vector<int> counts;
  for (int n = first; n <= last; n *= 2) counts.push_back(n);
  return counts;
}

ConvergenceQuantity Order(const char* name, double required) {
  return {name, ConvergenceKind::kOrder, required, 0};
}
ConvergenceQuantity Rounding(const char* name, double tolerance) {
  return {name, ConvergenceKind::kRounding, 0, tolerance};
}
ConvergenceQuantity Reported(const char* name) {
  return {name, ConvergenceKind::kReported, 0, 0};
}

BodyPtr NamedBody(const std::string& name) {
  std::string error;
  BodyPtr body = BodyFromName(name, error);
  if (!body) throw RunError(ErrorKind::kInvalidArgument, error);
  return body;
}

// The problem of one body at `panels`, exactly as the batch command builds it.
PanelProblem SingleBodyProblem(const BodyPtr& body, int panels, VortexModel vortex) {
  ProblemInputs inputs;
  ElementInput element;
  element.body = body;
  inputs.elements.push_back(element);
  inputs.panels = panels;
  inputs.vortex = vortex;
  return MakePanelProblem(inputs);
}

struct Solved {
  ProblemSolution solution;
  ProblemPanels panels;
};

Solved SolveAt(const PanelProblem& problem, double alpha) {
  const PanelSystem system(problem, alpha);
  return {system.Solve(alpha), system.Panels()};
}

ConvergenceRow Row(int panels, const char* quantity, double computed, double exact) {
  return {panels, quantity, computed, exact, std::fabs(computed - exact)};
}

// cp_max: the panel whose Cp is furthest from the exact value, its computed and exact
// Cp. cp_rms: the root mean square of the deviation over the contour, each panel
// weighted by its length (`length` empty: equal weights), as computed = the deviation,
// exact = 0.
ConvergenceRow CpRow(int panels, const std::vector<double>& cp,
                     const std::vector<double>& exact_cp) {
  ConvergenceRow worst{panels, "cp_max", 0, 0, -1};
  for (std::size_t i = 0; i < cp.size(); ++i) {
    const double error = std::fabs(cp[i] - exact_cp[i]);
    if (!(error <= worst.error)) worst = {panels, "cp_max", cp[i], exact_cp[i], error};
  }
  return worst;
}

ConvergenceRow CpRmsRow(int panels, const std::vector<double>& cp,
                        const std::vector<double>& exact_cp, const std::vector<double>& length) {
  double sum = 0, total = 0;
  for (std::size_t i = 0; i < cp.size(); ++i) {
    const double w = length.empty() ? 1.0 : length[i];
    const double d = cp[i] - exact_cp[i];
    sum += w * d * d;
    total += w;
  }
  const double rms = std::sqrt(sum / total);
  return {panels, "cp_rms", rms, 0, rms};
}

std::vector<double> PanelLengths(const ProblemPanels& panels) {
  return std::vector<double>(panels.S.begin() + 1, panels.S.end());
}

std::vector<ConvergenceRow> CircleVortexRows(int N) {
  const PanelProblem problem = SingleBodyProblem(CircleBody(), N, VortexModel::kPointVortex);
  const Solved s = SolveAt(problem, kCircleAlpha);
  const double alpha = AlphaRadians(kCircleAlpha);
  const double cos_a = std::cos(alpha), sin_a = std::sin(alpha);
  const double cos_half_step = std::cos(PiConstant() / N);
  // On the regular polygon the sources give 2 sin(theta - alpha) at every control point
  // and the centred vortex, fixed by the Kutta-type row, adds 2 sin(alpha) cos(pi / N);
  // the vortex's speed at the control points, a distance (1/2) cos(pi / N) from it, makes
  // its circulation 2 pi sin(alpha) cos^2(pi / N).
  std::vector<double> exact_cp;
  for (int i = 1; i <= N; ++i) {
    const double dx = s.panels.Xc[i] - 0.5, dy = s.panels.Yc[i];
    const double r = std::hypot(dx, dy);
    const double half_speed = (dy * cos_a - dx * sin_a) / r + sin_a * cos_half_step;
    exact_cp.push_back(1 - 4 * half_speed * half_speed);
  }
  const double discrete_cl = 4 * PiConstant() * sin_a * cos_half_step * cos_half_step;
  ConvergenceRow cp = CpRow(N, s.solution.cp, exact_cp);
  return {cp, Row(N, "cl_circulation", s.solution.cl_circulation, discrete_cl),
          Row(N, "cl_continuous", s.solution.cl_circulation, 4 * PiConstant() * sin_a)};
}

// A single section with its exact lift, moment and Cp at the panels (1 - q^2).
std::vector<ConvergenceRow> SectionRows(const ConvergenceCase& c, int N, const Solved& s,
                                        double exact_cl, double exact_cm,
                                        const std::vector<double>& exact_cp) {
  std::vector<ConvergenceRow> rows;
  for (const ConvergenceQuantity& q : c.quantities) {
    if (q.name == "cl_circulation") {
      rows.push_back(Row(N, "cl_circulation", s.solution.cl_circulation, exact_cl));
    } else if (q.name == "cl_pressure") {
      rows.push_back(Row(N, "cl_pressure", s.solution.cl_pressure, exact_cl));
    } else if (q.name == "cm_quarter_chord") {
      rows.push_back(Row(N, "cm_quarter_chord", s.solution.cm_quarter_chord, exact_cm));
    } else if (q.name == "cp_max") {
      rows.push_back(CpRow(N, s.solution.cp, exact_cp));
    } else if (q.name == "cp_rms") {
      rows.push_back(CpRmsRow(N, s.solution.cp, exact_cp, PanelLengths(s.panels)));
    }
  }
  return rows;
}

std::vector<ConvergenceRow> EllipseRows(const ConvergenceCase& c, int N, bool kutta) {
  const BodyPtr body = EllipseBody(kEllipseT);
  const PanelProblem problem =
      SingleBodyProblem(body, N, kutta ? VortexModel::kConstantDistribution : VortexModel::kNone);
  const Solved s = SolveAt(problem, kEllipseAlpha);
  const double alpha = AlphaRadians(kEllipseAlpha);
  const double cos_a = std::cos(alpha), sin_a = std::sin(alpha);
  // Each panel against the true contour at its mid-angle.
  const double step = 2 * PiConstant() / N;
  std::vector<double> exact_cp;
  for (int i = 1; i <= N; ++i) {
    const double q = EllipseSurfaceSpeed(kEllipseT, -step * (i - 0.5), cos_a, sin_a, kutta);
    exact_cp.push_back(1 - q * q);
  }
  return SectionRows(c, N, s, EllipseLiftCoefficient(kEllipseT, sin_a, kutta),
                     EllipseMomentCoefficient(kEllipseT, cos_a, sin_a, kutta), exact_cp);
}

std::vector<ConvergenceRow> MappedSectionRows(const ConvergenceCase& c, int N,
                                              const KarmanTrefftzParameters& parameters) {
  const PanelProblem problem =
      SingleBodyProblem(KarmanTrefftzBody(parameters), N, VortexModel::kConstantDistribution);
  const Solved s = SolveAt(problem, kSectionAlpha);
  const KarmanTrefftzSection section = MakeKarmanTrefftzSection(parameters);
  const double alpha = AlphaRadians(kSectionAlpha);
  const double cos_a = std::cos(alpha), sin_a = std::sin(alpha);
  const double gamma = KarmanTrefftzKuttaCirculation(section, cos_a, sin_a);
  const double step = 2 * PiConstant() / N;
  std::vector<double> exact_cp;
  for (int i = 1; i <= N; ++i) {
    const double theta = section.beta - step * (i - 0.5);
    exact_cp.push_back(1 - KarmanTrefftzOneMinusCp(section, theta, cos_a, sin_a, gamma));
  }
  return SectionRows(c, N, s, KarmanTrefftzLiftCoefficient(section, cos_a, sin_a),
                     KarmanTrefftzMomentCoefficient(section, cos_a, sin_a, gamma), exact_cp);
}

// Williams' pressure: the computed Cp, interpolated linearly in x between the control
// points of the same side, at each exact point that lies between two of them and more
// than kLeadingEdgeShare of the element's chord behind its leading edge. Round the
// leading edge x no longer parametrises the surface (the flap's Cp runs from -5.8 to
// +0.7 within 0.0003 of x there), and the points beyond the first and last control
// point of a side are left out. The sides part at the node of least x. Adds the squared
// deviations to `sum` and their count to `count`, and keeps the largest in `worst`.
constexpr double kLeadingEdgeShare = 0.02;

void WilliamsCpDeviation(int N, const std::vector<ContourPoint>& file_nodes,
                         const ProblemPanels& panels, const std::vector<double>& cp,
                         int first_panel, const std::vector<ContourPoint>& exact,
                         ConvergenceRow& worst, double& sum, int& count) {
  // File order (counter-clockwise, upper side first): panel j runs from file node j - 1
  // to j and is panel N + 1 - j of the clockwise problem.
  std::size_t le_node = 0;
  for (std::size_t k = 0; k < file_nodes.size(); ++k) {
    if (file_nodes[k].x < file_nodes[le_node].x) le_node = k;
  }
  std::vector<std::pair<double, double>> sides[2];
  for (int j = 1; j <= N; ++j) {
    const int i = first_panel + N - j;  // index into the problem's panels (1-based)
    sides[static_cast<std::size_t>(j) <= le_node ? 0 : 1].emplace_back(
        panels.Xc[i], cp[static_cast<std::size_t>(i - 1)]);
  }
  for (auto& side : sides) std::sort(side.begin(), side.end());
  std::size_t le_exact = 0;
  for (std::size_t k = 0; k < exact.size(); ++k) {
    if (exact[k].x < exact[le_exact].x) le_exact = k;
  }
  const double x_le = file_nodes[le_node].x, chord = file_nodes.front().x - x_le;
  for (std::size_t k = 0; k < exact.size(); ++k) {
    const auto& side = sides[k <= le_exact ? 0 : 1];
    const double x = exact[k].x;
    if (x - x_le < kLeadingEdgeShare * chord) continue;
    const auto upper = std::lower_bound(side.begin(), side.end(), std::make_pair(x, -HUGE_VAL));
    if (upper == side.begin() || upper == side.end()) continue;
    const auto lower = upper - 1;
    const double w = (x - lower->first) / (upper->first - lower->first);
    const double computed = lower->second + w * (upper->second - lower->second);
    const double error = std::fabs(computed - exact[k].y);
    if (!(error <= worst.error)) worst = {N, "cp_max", computed, exact[k].y, error};
    sum += error * error;
    ++count;
  }
}

std::vector<ContourPoint> Reversed(std::vector<ContourPoint> nodes) {
  std::reverse(nodes.begin(), nodes.end());
  return nodes;
}

std::vector<ConvergenceRow> WilliamsRows(int N) {
  const std::vector<ContourPoint> main_nodes = WilliamsFileNodes(WilliamsElement::kMain, N);
  const std::vector<ContourPoint> flap_nodes = WilliamsFileNodes(WilliamsElement::kFlap, N);
  if (main_nodes.empty()) {
    throw RunError(ErrorKind::kInvalidArgument,
                   "Williams' data sets have 50, 100 or 200 panels per element, not " +
                       std::to_string(N) + ".");
  }
  PanelProblem problem;
  // The files run counter-clockwise: read backwards, clockwise from the trailing edge.
  problem.elements = {{"main", Reversed(main_nodes), VortexModel::kConstantDistribution},
                      {"flap", Reversed(flap_nodes), VortexModel::kConstantDistribution}};
  const Solved s = SolveAt(problem, 0);
  ConvergenceRow worst{N, "cp_max", 0, 0, -1};
  double sum = 0;
  int count = 0;
  WilliamsCpDeviation(N, main_nodes, s.panels, s.solution.cp, 1,
                      WilliamsExactCp(WilliamsElement::kMain), worst, sum, count);
  WilliamsCpDeviation(N, flap_nodes, s.panels, s.solution.cp, N + 1,
                      WilliamsExactCp(WilliamsElement::kFlap), worst, sum, count);
  const double rms = std::sqrt(sum / count);
  return {Row(N, "cl_circulation", s.solution.cl_circulation, kWilliamsExactLift),
          Row(N, "cl_pressure", s.solution.cl_pressure, kWilliamsExactLift),
          worst,
          {N, "cp_rms", rms, 0, rms}};
}

// The section above the ground against the section and its mirror image in a stream
// along the ground: both turned by alpha about the quarter chord (as the ground problem
// turns them), the image reflected in y = -H and read backwards to run clockwise again.
std::vector<ConvergenceRow> GroundRows(int N) {
  const double alpha = kSectionAlpha;
  PanelProblem ground =
      SingleBodyProblem(NamedBody("naca4412"), N, VortexModel::kConstantDistribution);
  ground.ground_height = kGroundHeight;
  const Solved with_ground = SolveAt(ground, alpha);

  const double a = AlphaRadians(alpha);
  const double cos_a = std::cos(a), sin_a = std::sin(a);
  std::vector<ContourPoint> wing, image;
  for (const ContourPoint& p : ground.elements[0].nodes) {
    const double dx = p.x - 0.25;
    wing.push_back({0.25 + cos_a * dx + sin_a * p.y, -sin_a * dx + cos_a * p.y});
  }
  for (auto p = wing.rbegin(); p != wing.rend(); ++p) {
    image.push_back({p->x, -2 * kGroundHeight - p->y});
  }
  PanelProblem mirrored;
  mirrored.elements = {{"wing", wing, VortexModel::kConstantDistribution},
                       {"image", image, VortexModel::kConstantDistribution}};
  const Solved pair = SolveAt(mirrored, 0);
  return {
      Row(N, "cl_pressure", with_ground.solution.cl_pressure, pair.solution.element_cl_pressure[0]),
      Row(N, "cl_circulation", with_ground.solution.element_cl_circulation[0],
          pair.solution.element_cl_circulation[0])};
}

// The relative cost of a (case, count): the square of the panels solved, twice for the
// ground case's two problems.
double Cost(const ConvergenceCase& c, int panels) {
  const double n = static_cast<double>(panels) * (c.name == "williams" ? 2 : 1);
  return n * n * (c.name == "ground" ? 2.5 : 1);
}

void AppendNumber(std::string& out, double value) {
  AppendShortestNumber(out, value);
}

// "1.23e-04": three digits, exponent form, whatever the locale.
std::string Short(double value) {
  if (!std::isfinite(value)) return "nan";
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 2);
  return std::string(buffer, result.ptr);
}

std::string Fixed(double value, int digits) {
  if (!std::isfinite(value)) return "-";
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, digits);
  return std::string(buffer, result.ptr);
}

}  // namespace

const std::vector<ConvergenceCase>& VerificationCases() {
  static const std::vector<ConvergenceCase> cases = {
      {"circle-vortex",
       "circle, point vortex at its centre, alpha 6 deg",
       Doubling(16, 1024),
       {Rounding("cp_max", 1e-10), Rounding("cl_circulation", 1e-10), Order("cl_continuous", 1.9)}},
      {"ellipse-plain",
       "ellipse:0.25 without circulation, alpha 6 deg",
       Doubling(16, 1024),
       {Order("cm_quarter_chord", 1.9), Order("cp_max", 1.9), Order("cp_rms", 1.9)}},
      {"ellipse-kutta",
       "ellipse:0.25, Kutta-type condition at the rear point, alpha 6 deg",
       Doubling(16, 1024),
       {Order("cl_circulation", 0.9), Order("cl_pressure", 0.9), Order("cm_quarter_chord", 0.9),
        Order("cp_max", 0.9), Order("cp_rms", 0.9)}},
      {"karman-trefftz",
       "karman-trefftz:-0.1:0.1:10, alpha 4 deg",
       Doubling(16, 1024),
       {Order("cl_circulation", 0.9), Order("cl_pressure", 0.9), Order("cm_quarter_chord", 0.9),
        Reported("cp_max"), Order("cp_rms", 0.5)}},
      {"joukowski",
       "joukowski:-0.1:0.1 (cusped edge), alpha 4 deg",
       Doubling(16, 1024),
       {Order("cl_circulation", 0.6), Order("cl_pressure", 0.6), Order("cm_quarter_chord", 0.6),
        Reported("cp_max"), Order("cp_rms", 0.3)}},
      {"williams",
       "Williams' main aerofoil and flap, alpha 0",
       {50, 100, 200},
       {Order("cl_circulation", 0.9), Order("cl_pressure", 0.9), Reported("cp_max"),
        Order("cp_rms", 0.4)}},
      {"ground",
       "naca4412 0.25 above the ground vs its mirror image, alpha 4 deg",
       Doubling(16, 512),
       {Rounding("cl_pressure", 1e-9), Rounding("cl_circulation", 1e-9)}},
  };
  return cases;
}

std::vector<ConvergenceRow> RunConvergencePoint(const ConvergenceCase& c, int panels) {
  if (c.name == "circle-vortex") return CircleVortexRows(panels);
  if (c.name == "ellipse-plain") return EllipseRows(c, panels, false);
  if (c.name == "ellipse-kutta") return EllipseRows(c, panels, true);
  if (c.name == "karman-trefftz") return MappedSectionRows(c, panels, kKarmanTrefftz);
  if (c.name == "joukowski") return MappedSectionRows(c, panels, kJoukowski);
  if (c.name == "williams") return WilliamsRows(panels);
  if (c.name == "ground") return GroundRows(panels);
  throw RunError(ErrorKind::kInvalidArgument, "no verification case \"" + c.name + "\".");
}

ConvergenceCaseResult RunConvergenceCase(const ConvergenceCase& c, const std::vector<int>& counts,
                                         const ConvergenceProgress& progress,
                                         const std::atomic<bool>* cancel) {
  const std::vector<int>& chosen = counts.empty() ? c.counts : counts;
  ConvergenceCaseResult result;
  result.name = c.name;
  int done = 0;
  for (const int panels : chosen) {
    if (cancel != nullptr && cancel->load()) {
      result.cancelled = true;
      break;
    }
    const std::vector<ConvergenceRow> rows = RunConvergencePoint(c, panels);
    result.rows.insert(result.rows.end(), rows.begin(), rows.end());
    if (progress) progress(++done, static_cast<int>(chosen.size()));
  }
  return result;
}

std::vector<ConvergenceCaseResult> RunVerificationBench(int threads,
                                                        const ConvergenceProgress& progress) {
  const std::vector<ConvergenceCase>& cases = VerificationCases();
  struct Job {
    std::size_t case_index, count_index;
    double cost;
  };
  std::vector<Job> jobs;
  for (std::size_t c = 0; c < cases.size(); ++c) {
    for (std::size_t k = 0; k < cases[c].counts.size(); ++k) {
      jobs.push_back({c, k, Cost(cases[c], cases[c].counts[k])});
    }
  }
  // The largest first, so that the last jobs to finish are short ones.
  std::stable_sort(jobs.begin(), jobs.end(),
                   [](const Job& a, const Job& b) { return a.cost > b.cost; });
  std::vector<std::vector<std::vector<ConvergenceRow>>> slots(cases.size());
  for (std::size_t c = 0; c < cases.size(); ++c) slots[c].resize(cases[c].counts.size());
  std::vector<std::exception_ptr> failures(jobs.size());
  std::atomic<std::size_t> next{0};
  std::mutex progress_mutex;
  int done = 0;
  const auto work = [&]() {
    for (std::size_t j = next++; j < jobs.size(); j = next++) {
      const Job& job = jobs[j];
      try {
        slots[job.case_index][job.count_index] = RunConvergencePoint(
            cases[job.case_index], cases[job.case_index].counts[job.count_index]);
      } catch (...) {
        failures[j] = std::current_exception();
      }
      if (progress) {
        const std::lock_guard<std::mutex> lock(progress_mutex);
        progress(++done, static_cast<int>(jobs.size()));
      }
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < std::max(threads, 1); ++t) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
  std::vector<ConvergenceCaseResult> results;
  for (std::size_t c = 0; c < cases.size(); ++c) {
    ConvergenceCaseResult result;
    result.name = cases[c].name;
    for (const auto& rows : slots[c])
      result.rows.insert(result.rows.end(), rows.begin(), rows.end());
    results.push_back(std::move(result));
  }
  return results;
}

double ObservedOrder(const std::vector<int>& panels, const std::vector<double>& errors) {
  const std::size_t n = std::min(panels.size(), errors.size());
  if (n < 3) return std::numeric_limits<double>::quiet_NaN();
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (std::size_t k = n - 3; k < n; ++k) {
    if (!(errors[k] > 0)) return std::numeric_limits<double>::quiet_NaN();
    const double x = std::log(static_cast<double>(panels[k])), y = std::log(errors[k]);
    sx += x;
    sy += y;
    sxx += x * x;
    sxy += x * y;
  }
  const double slope = (3 * sxy - sx * sy) / (3 * sxx - sx * sx);
  return -slope;
}

namespace {

const ConvergenceCase* FindCase(const std::string& name) {
  for (const ConvergenceCase& c : VerificationCases()) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

void ErrorsOf(const ConvergenceCaseResult& result, const std::string& quantity,
              std::vector<int>& panels, std::vector<double>& errors) {
  for (const ConvergenceRow& row : result.rows) {
    if (row.quantity != quantity) continue;
    panels.push_back(row.panels);
    errors.push_back(row.error);
  }
}

}  // namespace

std::vector<ConvergenceVerdict> JudgeConvergence(
    const std::vector<ConvergenceCaseResult>& results) {
  std::vector<ConvergenceVerdict> verdicts;
  for (const ConvergenceCaseResult& result : results) {
    const ConvergenceCase* c = FindCase(result.name);
    if (c == nullptr) continue;
    for (const ConvergenceQuantity& q : c->quantities) {
      ConvergenceVerdict v;
      v.case_name = c->name;
      v.quantity = q.name;
      v.kind = q.kind;
      std::vector<int> panels;
      std::vector<double> errors;
      ErrorsOf(result, q.name, panels, errors);
      for (double e : errors) v.largest_error = std::max(v.largest_error, e);
      v.finest_error = errors.empty() ? 0 : errors.back();
      const bool finite =
          std::all_of(errors.begin(), errors.end(), [](double e) { return std::isfinite(e); });
      if (q.kind == ConvergenceKind::kReported) {
        v.order = ObservedOrder(panels, errors);
        v.passed = true;
      } else if (q.kind == ConvergenceKind::kRounding) {
        v.required = q.tolerance;
        v.order = std::numeric_limits<double>::quiet_NaN();
        v.passed = finite && !errors.empty() && v.largest_error <= q.tolerance;
        if (!v.passed)
          v.reason = "error " + Short(v.largest_error) + " above " + Short(q.tolerance);
      } else {
        v.required = q.required_order;
        v.order = ObservedOrder(panels, errors);
        v.passed = finite && v.order >= q.required_order && errors.back() < errors.front();
        if (!v.passed) {
          v.reason = "observed order " + Fixed(v.order, 2) + " below " + Fixed(q.required_order, 2);
        }
      }
      verdicts.push_back(v);
    }
  }
  return verdicts;
}

std::string VerificationCsv(const std::vector<ConvergenceCaseResult>& results) {
  std::string csv = "case,panels,quantity,computed,exact,error\n";
  for (const ConvergenceCaseResult& result : results) {
    for (const ConvergenceRow& row : result.rows) {
      csv += result.name + ',' + std::to_string(row.panels) + ',' + row.quantity + ',';
      AppendNumber(csv, row.computed);
      csv += ',';
      AppendNumber(csv, row.exact);
      csv += ',';
      AppendNumber(csv, row.error);
      csv += '\n';
    }
  }
  return csv;
}

std::string VerificationMarkdown(const std::vector<ConvergenceCaseResult>& results,
                                 const std::vector<ConvergenceVerdict>& verdicts) {
  std::string md = "# Verification\n\n";
  md +=
      "Errors |computed - exact| at each panel count per element; the observed order is the\n"
      "slope of log error against log N over the three finest counts, sign turned.\n";
  for (const ConvergenceCaseResult& result : results) {
    const ConvergenceCase* c = FindCase(result.name);
    if (c == nullptr) continue;
    md += "\n## " + c->name + ": " + c->title + "\n\n| quantity |";
    std::string rule = "\n|---|";
    for (int n : c->counts) {
      md += ' ' + std::to_string(n) + " |";
      rule += "---|";
    }
    md += " order | required | verdict |" + rule + "---|---|---|\n";
    for (const ConvergenceVerdict& v : verdicts) {
      if (v.case_name != c->name) continue;
      md += "| " + v.quantity + " |";
      std::vector<int> panels;
      std::vector<double> errors;
      ErrorsOf(result, v.quantity, panels, errors);
      for (double e : errors) md += ' ' + Short(e) + " |";
      if (v.kind == ConvergenceKind::kRounding) {
        md += " rounding | < " + Short(v.required) + " |";
      } else if (v.kind == ConvergenceKind::kReported) {
        md += ' ' + Fixed(v.order, 2) + " | reported |";
      } else {
        md += ' ' + Fixed(v.order, 2) + " | " + Fixed(v.required, 1) + " |";
      }
      md += v.passed ? " ok |\n" : " FAILS: " + v.reason + " |\n";
    }
  }
  return md;
}

}  // namespace velquin
