#include "solver/panel_problem.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/run_error.h"
#include "base/text_number.h"
#include "geometry/module_panel.h"
#include "solver/angle_solution.h"
#include "solver/dense_lu.h"

namespace velquin {
namespace {

constexpr double kQuarterChord = 0.25;

// The nodes turned by -alpha about the quarter chord: the configuration as it meets a
// free stream along the ground.
ContourPoint Turned(const ContourPoint& p, double cos_a, double sin_a) {
  const double dx = p.x - kQuarterChord;
  return {kQuarterChord + cos_a * dx + sin_a * p.y, -sin_a * dx + cos_a * p.y};
}

struct Segment {
  ContourPoint a, b;
};

double Cross(const ContourPoint& o, const ContourPoint& a, const ContourPoint& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool SegmentsMeet(const Segment& p, const Segment& q) {
  const double d1 = Cross(q.a, q.b, p.a), d2 = Cross(q.a, q.b, p.b);
  const double d3 = Cross(p.a, p.b, q.a), d4 = Cross(p.a, p.b, q.b);
  return ((d1 > 0) != (d2 > 0) || d1 == 0 || d2 == 0) &&
         ((d3 > 0) != (d4 > 0) || d3 == 0 || d4 == 0) &&
         std::min(p.a.x, p.b.x) <= std::max(q.a.x, q.b.x) &&
         std::min(q.a.x, q.b.x) <= std::max(p.a.x, p.b.x) &&
         std::min(p.a.y, p.b.y) <= std::max(q.a.y, q.b.y) &&
         std::min(q.a.y, q.b.y) <= std::max(p.a.y, p.b.y);
}

// Whether the closed polygon of `nodes` holds the point (even-odd rule).
bool Encloses(const std::vector<ContourPoint>& nodes, const ContourPoint& p) {
  bool inside = false;
  for (std::size_t k = 1; k < nodes.size(); ++k) {
    const ContourPoint& a = nodes[k - 1];
    const ContourPoint& b = nodes[k];
    if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) {
      inside = !inside;
    }
  }
  return inside;
}

// The bounding boxes first: most pairs of elements lie apart.
bool ElementsMeet(const std::vector<ContourPoint>& a, const std::vector<ContourPoint>& b) {
  for (std::size_t i = 1; i < a.size(); ++i) {
    const Segment p{a[i - 1], a[i]};
    for (std::size_t j = 1; j < b.size(); ++j) {
      if (SegmentsMeet(p, {b[j - 1], b[j]})) return true;
    }
  }
  return false;
}

std::vector<ContourPoint> PlacedNodes(const ProblemElement& e, const PanelProblem& problem,
                                      double alpha_degrees) {
  if (!problem.ground_height) return e.nodes;
  const double a = AlphaRadians(alpha_degrees);
  const double cos_a = std::cos(a), sin_a = std::sin(a);
  std::vector<ContourPoint> nodes;
  nodes.reserve(e.nodes.size());
  for (const ContourPoint& p : e.nodes) nodes.push_back(Turned(p, cos_a, sin_a));
  return nodes;
}

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

}  // namespace

int PanelProblem::PanelCount() const {
  int count = 0;
  for (const ProblemElement& e : elements) count += e.PanelCount();
  return count;
}

int PanelProblem::FewestPanels() const {
  int fewest = elements.empty() ? 0 : elements.front().PanelCount();
  for (const ProblemElement& e : elements) fewest = std::min(fewest, e.PanelCount());
  return fewest;
}

PanelView ProblemPanels::View() const {
  PanelView v;
  v.count = count;
  v.Xc = Xc.data();
  v.Yc = Yc.data();
  v.CosAx = CosAx.data();
  v.CosBx = CosBx.data();
  v.CosAy = CosAy.data();
  v.CosBy = CosBy.data();
  v.Xi1 = Xi1.data();
  v.Xi2 = Xi2.data();
  v.S = S.data();
  return v;
}

std::string ProblemDefect(const PanelProblem& problem, double alpha_degrees) {
  if (problem.elements.empty()) return "there is no element to solve for.";
  for (const ProblemElement& e : problem.elements) {
    if (e.PanelCount() < 3) return "element " + Quoted(e.name) + " has fewer than 3 panels.";
    if (e.vortex == VortexModel::kPointVortex && problem.elements.size() > 1) {
      return "the point vortex carries the circulation of a single element; with several "
             "elements give --vortex constant.";
    }
  }
  if (problem.PanelCount() > kMaxProblemPanels) {
    return "at most " + std::to_string(kMaxProblemPanels) + " panels in all; the elements have " +
           std::to_string(problem.PanelCount()) + ".";
  }
  std::vector<std::vector<ContourPoint>> placed;
  for (const ProblemElement& e : problem.elements) {
    placed.push_back(PlacedNodes(e, problem, alpha_degrees));
  }
  for (std::size_t a = 0; a < placed.size(); ++a) {
    for (std::size_t b = a + 1; b < placed.size(); ++b) {
      const std::string pair =
          Quoted(problem.elements[a].name) + " and " + Quoted(problem.elements[b].name);
      if (ElementsMeet(placed[a], placed[b])) return "elements " + pair + " cross each other.";
      if (Encloses(placed[a], placed[b][0]) || Encloses(placed[b], placed[a][0])) {
        return "elements " + pair + " overlap: one lies inside the other.";
      }
    }
  }
  if (problem.ground_height) {
    const double H = *problem.ground_height;
    if (!(H > 0) || !std::isfinite(H)) {
      return "the ground height must be a positive length, not " + NumberText(H) + ".";
    }
    for (std::size_t a = 0; a < placed.size(); ++a) {
      for (const ContourPoint& p : placed[a]) {
        if (p.y <= -H) {
          return "the ground plane at height " + NumberText(H) + " cuts element " +
                 Quoted(problem.elements[a].name) + " at alpha " + NumberText(alpha_degrees) +
                 " degrees.";
        }
      }
    }
  }
  return {};
}

struct PanelSystem::Factors {
  explicit Factors(const double* a, std::ptrdiff_t stride, int n) : lu(a, stride, n) {}
  DenseLu lu;
};

PanelSystem::PanelSystem(const PanelProblem& problem, double alpha_degrees)
    : ground_(problem.ground_height.has_value()) {
  const std::string defect = ProblemDefect(problem, alpha_degrees);
  if (!defect.empty()) throw RunError(ErrorKind::kInvalidArgument, defect);

  const int np = problem.PanelCount();
  ProblemPanels& p = panels_;
  p.count = np;
  for (auto* v : {&p.X1, &p.Y1, &p.X2, &p.Y2, &p.Xc, &p.Yc, &p.S, &p.CosAx, &p.CosBx, &p.CosAy,
                  &p.CosBy, &p.Xi1, &p.Xi2}) {
    v->assign(static_cast<std::size_t>(np) + 1, 0.0);
  }
  int i = 0;
  for (const ProblemElement& e : problem.elements) {
    const std::vector<ContourPoint> nodes = PlacedNodes(e, problem, alpha_degrees);
    p.elements.push_back({i + 1, i + e.PanelCount(), e.vortex});
    for (std::size_t k = 1; k < nodes.size(); ++k) {
      ++i;
      const PanelFrame f = Panel_Frame(nodes[k - 1].x, nodes[k - 1].y, nodes[k].x, nodes[k].y, i);
      p.X1[i] = nodes[k - 1].x;
      p.Y1[i] = nodes[k - 1].y;
      p.X2[i] = nodes[k].x;
      p.Y2[i] = nodes[k].y;
      p.Xc[i] = f.Xc;
      p.Yc[i] = f.Yc;
      p.S[i] = f.S;
      p.CosAx[i] = f.CosAx;
      p.CosBx[i] = f.CosBx;
      p.CosAy[i] = f.CosAy;
      p.CosBy[i] = f.CosBy;
      p.Xi1[i] = f.Xi1;
      p.Xi2[i] = f.Xi2;
    }
  }

  setup_.panels = p.View();
  setup_.elements = p.elements;
  setup_.Xv = problem.Xv;
  setup_.Yv = problem.Yv;
  if (problem.ground_height) setup_.ground_y = -*problem.ground_height;
  const double pi = PiConstant();
  setup_.k = {pi, 2 * pi, 4 * pi};

  const int neq = setup_.EquationCount();
  const std::ptrdiff_t stride = neq + 2;
  std::vector<double> An(static_cast<std::size_t>((neq + 1) * stride), 0.0);
  At_.assign(static_cast<std::size_t>((neq + 1) * stride), 0.0);
  AssembleInfluence(setup_, {An.data(), stride}, {At_.data(), stride});

  factors_ = std::make_unique<Factors>(An.data() + stride + 1, stride, neq);
  // Partial pivoting leaves a singular matrix with a zero (or vanishing) pivot.
  const double pivot = factors_->lu.SmallestPivot();
  const double scale = factors_->lu.LargestPivot();
  if (!(pivot > scale * 1e-14)) {
    throw RunError(ErrorKind::kDivisionByZero,
                   "the linear system of the panel problem is singular: check that no two "
                   "elements touch and that every element is a closed contour.");
  }
}

PanelSystem::~PanelSystem() = default;

ProblemSolution PanelSystem::Solve(double alpha_degrees) const {
  ProblemSolution s;
  s.alpha_degrees = alpha_degrees;
  const int np = panels_.count;
  const int neq = setup_.EquationCount();
  // Above a ground the configuration is turned and the free stream runs along it.
  const double a = ground_ ? 0.0 : AlphaRadians(alpha_degrees);
  const double cos_a = std::cos(a), sin_a = std::sin(a);
  std::vector<double> rhs(static_cast<std::size_t>(neq)), tangential(static_cast<std::size_t>(np));
  FreeStreamTerms(setup_, &cos_a, &sin_a, 1, rhs.data(), tangential.data());

  factors_->lu.Solve(rhs.data(), 1);
  s.q = rhs;
  CheckFiniteStrengths(s.q.data(), neq);

  const std::ptrdiff_t stride = neq + 2;
  SignedSurfaceSpeeds(np, neq, {const_cast<double*>(At_.data()), stride}, s.q.data(), 1,
                      tangential.data());
  s.vt = tangential;
  ComputeProblemResults(panels_, ground_, s);
  return s;
}

ProblemBases PanelSystem::SolveBases() const {
  const int np = panels_.count;
  const int neq = setup_.EquationCount();
  constexpr int kBases = 2;
  const double cos_alfa[kBases] = {1, 0};
  const double sin_alfa[kBases] = {0, 1};
  std::vector<double> rhs(static_cast<std::size_t>(neq) * kBases);
  std::vector<double> tangential(static_cast<std::size_t>(np) * kBases);
  FreeStreamTerms(setup_, cos_alfa, sin_alfa, kBases, rhs.data(), tangential.data());
  factors_->lu.Solve(rhs.data(), kBases);
  const std::vector<double>& strengths = rhs;
  CheckFiniteStrengths(strengths.data(), neq * kBases);
  const std::ptrdiff_t stride = neq + 2;
  SignedSurfaceSpeeds(np, neq, {const_cast<double*>(At_.data()), stride}, strengths.data(), kBases,
                      tangential.data());
  ProblemBases bases;
  for (int j = 0; j < neq; ++j) {
    bases.Q0.push_back(strengths[static_cast<std::size_t>(j) * kBases]);
    bases.Q90.push_back(strengths[static_cast<std::size_t>(j) * kBases + 1]);
  }
  for (int i = 0; i < np; ++i) {
    bases.Vt0.push_back(tangential[static_cast<std::size_t>(i) * kBases]);
    bases.Vt90.push_back(tangential[static_cast<std::size_t>(i) * kBases + 1]);
  }
  return bases;
}

void PanelSystem::SolveInPlace(double* b, int m) const {
  factors_->lu.Solve(b, m);
}

void PanelSystem::AddSurfaceSpeeds(const double* q, int m, double* tangential) const {
  const int neq = setup_.EquationCount();
  const std::ptrdiff_t stride = neq + 2;
  SignedSurfaceSpeeds(panels_.count, neq, {const_cast<double*>(At_.data()), stride}, q, m,
                      tangential);
}

void ComputeProblemResults(const ProblemPanels& p, bool ground, ProblemSolution& s) {
  s.cp.resize(s.vt.size());
  for (std::size_t k = 0; k < s.vt.size(); ++k) s.cp[k] = 1 - s.vt[k] * s.vt[k];
  ComputeProblemLoads(p, ground, s);
}

void ComputeProblemLoads(const ProblemPanels& p, bool ground, ProblemSolution& s) {
  const int np = p.count;
  const double a = ground ? 0.0 : AlphaRadians(s.alpha_degrees);
  const double cos_a = std::cos(a), sin_a = std::sin(a);
  s.cl_circulation = s.cl_pressure = s.cm_quarter_chord = s.source_sum = 0;
  s.element_cl_circulation.clear();
  s.element_cl_pressure.clear();

  // Forces and moments, element by element, panel by panel in order.
  double force_x = 0, force_y = 0, moment_ccw = 0, gamma = 0;
  int sheet = np;
  for (const ElementPanels& e : p.elements) {
    double fx_e = 0, fy_e = 0, perimeter = 0;
    for (int i = e.first; i <= e.last; ++i) {
      const double cp = s.cp[static_cast<std::size_t>(i - 1)];
      const double fx = -cp * p.S[i] * p.CosAy[i];
      const double fy = -cp * p.S[i] * p.CosBy[i];
      fx_e = fx_e + fx;
      fy_e = fy_e + fy;
      moment_ccw = moment_ccw + ((p.Xc[i] - kQuarterChord) * fy - p.Yc[i] * fx);
      s.source_sum = s.source_sum + s.q[static_cast<std::size_t>(i - 1)] * p.S[i];
      perimeter = perimeter + p.S[i];
    }
    double gamma_e = 0;
    if (e.vortex != VortexModel::kNone) {
      const double strength = s.q[static_cast<std::size_t>(sheet)];
      ++sheet;
      // The point vortex turns counter-clockwise, the sheet clockwise.
      gamma_e = e.vortex == VortexModel::kPointVortex ? -strength : strength * perimeter;
    }
    s.element_cl_circulation.push_back(2 * gamma_e);
    s.element_cl_pressure.push_back(fy_e * cos_a - fx_e * sin_a);
    force_x = force_x + fx_e;
    force_y = force_y + fy_e;
    gamma = gamma + gamma_e;
  }
  s.cl_circulation = 2 * gamma;
  s.cl_pressure = force_y * cos_a - force_x * sin_a;
  s.cm_quarter_chord = -moment_ccw;
}

std::vector<ProblemSolution> SolvePanelProblem(const PanelProblem& problem,
                                               const std::vector<double>& alpha_degrees) {
  std::vector<ProblemSolution> solutions;
  if (alpha_degrees.empty()) return solutions;
  if (problem.ground_height) {
    for (double alpha : alpha_degrees)
      solutions.push_back(PanelSystem(problem, alpha).Solve(alpha));
    return solutions;
  }
  const PanelSystem system(problem, alpha_degrees.front());
  for (double alpha : alpha_degrees) solutions.push_back(system.Solve(alpha));
  return solutions;
}

}  // namespace velquin
