#include "python/python_run.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "app/calculation_run.h"
#include "app/control_values.h"
#include "app/input_notes.h"
#include "app/problem_run.h"
#include "app/viscous_text.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "geometry/body_names.h"
#include "geometry/geometry_file.h"
#include "geometry/module_panel.h"
#include "solver/angle_solution.h"
#include "solver/angle_sweep.h"
#include "solver/derived_results.h"
#include "solver/flow_bases.h"
#include "solver/gauss_multi.h"
#include "solver/influence.h"
#include "solver/module_gauss.h"
#include "solver/module_influcoeff.h"

namespace velquin {
namespace {

[[noreturn]] void RefuseValue(const std::string& message) {
  throw InputError{InputError::Kind::kValue, message};
}

// A RunError of the core as the command line words it (without "velquin2ds: ").
[[noreturn]] void Refuse(const RunError& error) {
  throw InputError{
      error.kind() == ErrorKind::kFileError ? InputError::Kind::kFile : InputError::Kind::kValue,
      error.what()};
}

// The text of a coordinate file, or an OSError naming it.
void CheckReadable(const std::string& path) {
  std::string error;
  if (ReadCoordinateText(path, error)) return;
  std::error_code ignored;
  const bool exists = std::filesystem::exists(std::filesystem::path(path), ignored);
  throw InputError{exists ? InputError::Kind::kFile : InputError::Kind::kMissingFile, error};
}

std::string Shortest(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// A contour of points as the text of a coordinate file, one point a line, read with the
// coordinate file's rules; messages name it `shown`.
SectionPoints ContourSection(const ElementArguments& e, const std::string& shown) {
  if (e.x.size() != e.y.size()) {
    RefuseValue("the contour's x and y differ in length (" + std::to_string(e.x.size()) + " and " +
                std::to_string(e.y.size()) + ")");
  }
  std::string text;
  for (std::size_t k = 0; k < e.x.size(); ++k) {
    if (!std::isfinite(e.x[k]) || !std::isfinite(e.y[k])) {
      RefuseValue(shown + ": point " + std::to_string(k + 1) + " is not finite");
    }
    text += Shortest(e.x[k]) + ' ' + Shortest(e.y[k]) + '\n';
  }
  std::string error;
  std::optional<SectionPoints> section = ParseSectionText(text, shown, error);
  if (!section) RefuseValue(error);
  return *section;
}

std::string ContourName(const ProblemArguments& given, std::size_t k) {
  return given.elements.size() == 1 ? "contour" : "contour " + std::to_string(k + 1);
}

// The placement and flap checks of the command line's --place, --flap and --ground.
void CheckLayout(const ProblemArguments& given) {
  if (given.elements.empty()) RefuseValue("no element: give a body, a file or a contour");
  for (const ElementArguments& e : given.elements) {
    if (e.placement) {
      const Placement& p = *e.placement;
      for (double v : {p.x, p.y, p.degrees, p.chord}) {
        if (!std::isfinite(v)) RefuseValue("place: " + NumberText(v) + " is not a number");
      }
      if (!(p.chord > 0)) {
        RefuseValue("place: the chord must be positive, not " + NumberText(p.chord));
      }
    }
    if (e.flap) {
      for (double v : {e.flap->hinge, e.flap->degrees}) {
        if (!std::isfinite(v)) RefuseValue("flap: " + NumberText(v) + " is not a number");
      }
    }
  }
  if (given.ground && !(*given.ground > 0 && std::isfinite(*given.ground))) {
    RefuseValue("ground needs a positive height, not " + NumberText(*given.ground));
  }
  for (double v : {given.xv, given.yv}) {
    if (!std::isfinite(v)) RefuseValue("the vortex position " + NumberText(v) + " is not a number");
  }
}

// The viscous options within the ranges the command line takes (--re, --ncrit, --xtr,
// --mach), with its reasons.
void CheckViscous(const std::optional<ViscousOptions>& v) {
  if (!v) return;
  if (!(v->reynolds >= kLeastReynolds && v->reynolds <= kMostReynolds)) {
    RefuseValue("the Reynolds number must lie between 1000 and 1e9, not " +
                NumberText(v->reynolds));
  }
  if (!(v->mach >= 0 && v->mach < 1)) {
    RefuseValue("the Mach number must lie in 0 <= M < 1, not " + NumberText(v->mach));
  }
  if (!(v->ncrit > 0 && v->ncrit <= kMostNcrit)) {
    RefuseValue("ncrit must lie above 0 and at most 30, not " + NumberText(v->ncrit));
  }
  for (double x : {v->xtr_top, v->xtr_bottom}) {
    if (!(x >= 0 && x <= 1)) {
      RefuseValue("a forced transition lies at a chord fraction from 0 to 1 (1: free), not " +
                  NumberText(x));
    }
  }
}

// The layers grow from the lifting solution of a section with a trailing edge.
void CheckLayersCanGrow(const std::optional<ViscousOptions>& v, bool circle, bool circulation) {
  if (!v) return;
  if (circle) {
    RefuseValue(
        "re needs sections with a trailing edge: the circle has none, and no boundary "
        "layer that separates at an edge");
  }
  if (!circulation) {
    RefuseValue(
        "re needs circulation (vortex 'constant' or 'point'): the boundary layers "
        "start from the lifting solution that the Kutta-type condition gives");
  }
}

// The viscous warnings of one result, as the command line prints them.
void AddViscousWarnings(const ViscousOptions& options, double alpha_degrees, int fewest_panels,
                        SurfaceResult& r) {
  for (std::string& w : ViscousWarnings(options, fewest_panels, {*r.viscous}, {alpha_degrees})) {
    r.warnings.push_back(std::move(w));
  }
}

// The zero pivot's own message and what it means.
[[noreturn]] void RefuseZeroPivot() {
  RefuseValue(std::string(kZeroPivotMessage) +
              " (the elimination, which exchanges no rows, met a zero on the diagonal; another "
              "panel count or vortex position may be solvable)");
}

bool IsWholeNumber(double v) {
  return std::isfinite(v) && v >= 1 && std::floor(v) == v;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// States for reuse. Module_Common holds two 201 x 201 matrices (650 kB); allocated afresh
// by every call, such a block comes from the system and goes back to it each time under
// the interpreter's allocator settings, and its page faults cost a third of a polar.
// A few states are therefore kept and copied into.

namespace {

std::mutex state_pool_mutex;
std::vector<Module_Common*> state_pool;
constexpr std::size_t kStatePoolSize = 8;

}  // namespace

void ReturnState::operator()(Module_Common* state) const {
  {
    const std::lock_guard<std::mutex> lock(state_pool_mutex);
    if (state_pool.size() < kStatePoolSize) {
      state_pool.push_back(state);
      return;
    }
  }
  delete state;
}

PooledState CopyState(const Module_Common& from) {
  Module_Common* state = nullptr;
  {
    const std::lock_guard<std::mutex> lock(state_pool_mutex);
    if (!state_pool.empty()) {
      state = state_pool.back();
      state_pool.pop_back();
    }
  }
  if (state == nullptr) return PooledState(new Module_Common(from));
  *state = from;
  return PooledState(state);
}

PooledState FreshState() {
  static const Module_Common* const fresh = new Module_Common();
  return CopyState(*fresh);
}

// ---------------------------------------------------------------------------------------
// The seed's problem: one body in the state.

struct PreparedProblem::Seed {
  PooledState C;  // the panels, as a run leaves them
  RunInputs inputs;
  std::string name;
};

struct PreparedProblem::General {
  PanelProblem problem;
  std::shared_ptr<const PanelSystem> system;  // none above a ground: one per angle
};

namespace {

// The controls of the command line for one body: the batch run reads them with its
// rules. Returns false when the body's panels exceed the seed's arrays (the general
// problem takes it then).
bool SeedControls(const ProblemArguments& given, ControlValues& controls) {
  const ElementArguments& e = given.elements.front();
  const bool circulation = given.vortex != VortexModel::kNone;
  const double capacity = circulation ? kMaxIndex - 2 : kMaxIndex - 1;
  controls.source = ControlValues::Source::kCommandLine;
  controls.Check_Circulation = circulation ? 1 : 0;
  controls.Option_ConstVortex = given.vortex == VortexModel::kConstantDistribution;
  controls.Option_PointVortex = given.vortex == VortexModel::kPointVortex;
  controls.Text_Xv = Shortest(given.xv);
  controls.Text_Yv = Shortest(given.yv);
  const std::optional<double> panels = given.panels;
  // A whole count beyond the arrays goes to the general problem; any other count is
  // read (and refused, if need be) as the batch run reads it.
  if (panels && IsWholeNumber(*panels) && *panels > capacity) return false;
  if (panels) controls.Text_NP = Shortest(*panels);
  std::string error;
  if (e.kind == ElementArguments::Kind::kName) {
    const BodyPtr body = BodyFromName(e.text, error);
    if (!body) RefuseValue(error);
    controls.Option_Circle = body == CircleBody();
    controls.Option_NACA12 = body == Naca0012Body();
    if (!controls.Option_Circle && !controls.Option_NACA12) controls.Other_Body = body;
    if (!panels) controls.Text_NP = std::to_string(kDefaultElementPanels);
    return true;
  }
  const SectionPoints section = [&] {
    if (e.kind == ElementArguments::Kind::kContour) return ContourSection(e, ContourName(given, 0));
    CheckReadable(e.text);
    std::optional<SectionPoints> s = ReadSectionFile(e.text, error);
    if (!s) RefuseValue(error);
    return *s;
  }();
  if (!panels && section.NodeCount() > capacity) return false;
  controls.Other_Body = SectionFileBody(section, panels, circulation, error);
  if (!controls.Other_Body) RefuseValue(error);
  if (!panels) controls.Text_NP = std::to_string(*controls.Other_Body->OwnPanelCount());
  return true;
}

// The elements of the general problem, files read (a file may hold several elements).
ProblemInputs GeneralInputs(const ProblemArguments& given) {
  ProblemInputs inputs;
  for (std::size_t k = 0; k < given.elements.size(); ++k) {
    const ElementArguments& e = given.elements[k];
    std::string error;
    if (e.kind == ElementArguments::Kind::kName) {
      ElementInput input;
      input.body = BodyFromName(e.text, error);
      if (!input.body) RefuseValue(error);
      input.placement = e.placement;
      input.flap = e.flap;
      inputs.elements.push_back(input);
      continue;
    }
    std::vector<SectionPoints> sections;
    if (e.kind == ElementArguments::Kind::kContour) {
      sections.push_back(ContourSection(e, ContourName(given, k)));
    } else {
      CheckReadable(e.text);
      std::optional<std::vector<SectionPoints>> read = ReadElementFile(e.text, error);
      if (!read) RefuseValue(error);
      sections = std::move(*read);
      if (sections.size() > 1 && (e.placement || e.flap)) {
        RefuseValue("place and flap belong to one element, and " + QuotedPath(e.text) + " holds " +
                    std::to_string(sections.size()) + ".");
      }
    }
    for (const SectionPoints& section : sections) {
      ElementInput input;
      input.section = section;
      input.placement = e.placement;
      input.flap = e.flap;
      inputs.elements.push_back(input);
    }
  }
  inputs.panels = given.panels;
  inputs.vortex = given.vortex;
  inputs.Xv = given.xv;
  inputs.Yv = given.yv;
  inputs.ground_height = given.ground;
  return inputs;
}

// The seed's solution at m angles side by side, as a run at each of them leaves it:
// strengths, signed surface speeds (whose squares are the run's Cu) and derived results.
struct SeedAngles {
  std::vector<double> q, vt;  // neq rows of m, np rows of m
  std::vector<DerivedResults> results;
};

SeedAngles SolveSeedAngles(const Module_Common& W, const RunInputs& inputs, const double* degrees,
                           int m) {
  const int np = RealToIndex(W.NP);
  const int neq = RealToIndex(W.NEq);
  SeedAngles a;
  a.q.resize(static_cast<std::size_t>(neq) * m);
  a.vt.resize(static_cast<std::size_t>(np) * m);
  std::vector<double> cos_alfa(m), sin_alfa(m);
  for (int c = 0; c < m; ++c) {
    const double alpha = AlphaRadians(degrees[c]);
    cos_alfa[c] = std::cos(alpha);
    sin_alfa[c] = std::sin(alpha);
  }
  InfluCoeff_FreeStream(W, inputs.circulation, cos_alfa.data(), sin_alfa.data(), m, a.q.data(),
                        a.vt.data());
  Gauss_SolveFactored(W.NEq, W.An, a.q.data(), m);
  CheckFiniteStrengths(a.q.data(), neq * m);
  SignedSurfaceSpeeds(np, neq, ViewOf(W.At), a.q.data(), m, a.vt.data());
  auto Q = std::make_unique<Vector>();
  auto Cu = std::make_unique<Vector>();
  for (int c = 0; c < m; ++c) {
    for (int j = 1; j <= neq; ++j) (*Q)(j) = a.q[(j - 1) * m + c];
    for (int i = 1; i <= np; ++i) {
      const double speed = std::fabs(a.vt[(i - 1) * m + c]);
      (*Cu)(i) = speed * speed;
    }
    a.results.push_back(ComputeDerivedResults(W, inputs, cos_alfa[c], sin_alfa[c], *Q, *Cu));
  }
  return a;
}

}  // namespace

PreparedProblem::PreparedProblem(const ProblemArguments& given) {
  CheckLayout(given);
  try {
    const ElementArguments& first = given.elements.front();
    ControlValues controls;
    const bool single =
        given.elements.size() == 1 && !first.placement && !first.flap && !given.ground;
    if (single && SeedControls(given, controls)) {
      auto seed = std::make_unique<Seed>();
      seed->inputs = ReadRunInputs(controls);
      seed->name = seed->inputs.body->Name();
      seed->C = FreshState();
      Module_Common& C = *seed->C;
      Form_Load(C);
      SetUpProblem(C, seed->inputs);
      Panel_ComputeGeometry(C);
      seed_ = std::move(seed);
      return;
    }
    auto general = std::make_unique<General>();
    general->problem = MakePanelProblem(GeneralInputs(given));
    if (!given.ground) general->system = std::make_shared<PanelSystem>(general->problem, 0.0);
    general_ = std::move(general);
  } catch (const RunError& error) {
    Refuse(error);
  }
}

PreparedProblem::~PreparedProblem() = default;

int PreparedProblem::PanelCount() const {
  return seed_ ? RealToIndex(seed_->C->NP) : general_->problem.PanelCount();
}

bool PreparedProblem::HasCircle() const {
  if (seed_) return seed_->inputs.body == CircleBody();
  for (const ProblemElement& e : general_->problem.elements) {
    if (e.name == CircleBody()->Name()) return true;
  }
  return false;
}

bool PreparedProblem::HasCirculation() const {
  if (seed_) return seed_->inputs.circulation;
  for (const ProblemElement& e : general_->problem.elements) {
    if (e.vortex == VortexModel::kNone) return false;
  }
  return true;
}

namespace {

void AddNodes(const std::vector<double>& X1, const std::vector<double>& Y1, int first, int last,
              SurfaceResult& r) {
  for (int i = first; i <= last; ++i) {
    r.x.push_back(X1[static_cast<std::size_t>(i)]);
    r.y.push_back(Y1[static_cast<std::size_t>(i)]);
  }
  r.x.push_back(X1[static_cast<std::size_t>(first)]);
  r.y.push_back(Y1[static_cast<std::size_t>(first)]);
}

SurfaceResult GeneralSurface(const PanelSystem& system, const ProblemSolution& s,
                             const PanelProblem& problem) {
  SurfaceResult r;
  const ProblemPanels& p = system.Panels();
  r.alpha_degrees = s.alpha_degrees;
  r.cl = s.cl_circulation;
  r.cl_pressure = s.cl_pressure;
  r.cm = s.cm_quarter_chord;
  r.source_sum = s.source_sum;
  r.vt = s.vt;
  r.cp = s.cp;
  for (std::size_t e = 0; e < p.elements.size(); ++e) {
    const ElementPanels& ep = p.elements[e];
    AddNodes(p.X1, p.Y1, ep.first, ep.last, r);
    for (int i = ep.first; i <= ep.last; ++i) {
      r.xc.push_back(p.Xc[static_cast<std::size_t>(i)]);
      r.yc.push_back(p.Yc[static_cast<std::size_t>(i)]);
      r.element.push_back(static_cast<int>(e));
    }
    r.element_names.push_back(problem.elements[e].name);
  }
  r.element_cl = s.element_cl_circulation;
  r.element_cl_pressure = s.element_cl_pressure;
  return r;
}

}  // namespace

SurfaceResult PreparedProblem::Solve(double alpha_degrees,
                                     const std::optional<ViscousOptions>& viscous) const {
  if (!std::isfinite(alpha_degrees)) {
    RefuseValue("the angle of attack " + NumberText(alpha_degrees) + " is not a number");
  }
  CheckViscous(viscous);
  CheckLayersCanGrow(viscous, HasCircle(), HasCirculation());
  try {
    if (general_) {
      const std::shared_ptr<const PanelSystem> system =
          general_->system ? general_->system
                           : std::make_shared<PanelSystem>(general_->problem, alpha_degrees);
      SurfaceResult r = GeneralSurface(*system, system->Solve(alpha_degrees), general_->problem);
      if (viscous) {
        r.viscous =
            SolveViscousAngle(FactorPanelProblem(system, alpha_degrees), alpha_degrees, *viscous);
        AddViscousWarnings(*viscous, alpha_degrees, general_->problem.FewestPanels(), r);
      }
      return r;
    }
    const Module_Common& C = *seed_->C;
    // The matrix assembled and eliminated in a copy of the state, as a sweep does it.
    const PooledState W = CopyState(C);
    InfluCoeff_Fill(*W, seed_->inputs);
    if (!Gauss_Factor(W->NEq, W->An)) RefuseZeroPivot();
    const SeedAngles a = SolveSeedAngles(*W, seed_->inputs, &alpha_degrees, 1);
    const DerivedResults& d = a.results.front();
    SurfaceResult r;
    r.seed = true;
    r.alpha_degrees = alpha_degrees;
    r.cl = d.cl_circulation;
    r.cl_pressure = d.cl_pressure;
    r.cm = d.cm_quarter_chord;
    r.source_sum = d.source_sum;
    r.circle_deviation = d.circle_deviation;
    r.cl_exact = d.cl_exact;
    r.exact_deviation = d.exact_deviation;
    const int np = RealToIndex(C.NP);
    r.x.push_back(C.X(2, 0));
    r.y.push_back(C.Y(2, 0));
    for (int i = 1; i <= np; ++i) {
      r.x.push_back(C.X(2, i));
      r.y.push_back(C.Y(2, i));
      r.xc.push_back(C.Xc(i));
      r.yc.push_back(C.Yc(i));
      const double vt = a.vt[static_cast<std::size_t>(i - 1)];
      r.vt.push_back(vt);
      r.cp.push_back(1 - std::fabs(vt) * std::fabs(vt));
      r.element.push_back(0);
    }
    r.element_names.push_back(seed_->name);
    r.element_cl.push_back(r.cl);
    r.element_cl_pressure.push_back(r.cl_pressure);
    RunInputs at = seed_->inputs;
    at.alpha_degrees = alpha_degrees;
    if (const std::optional<std::string> w = VortexPositionWarning(C, at)) r.warnings.push_back(*w);
    if (viscous) {
      const std::optional<FactoredPanelProblem> factored = FactorPanelProblem(C, seed_->inputs);
      if (!factored) RefuseZeroPivot();
      r.viscous = SolveViscousAngle(*factored, alpha_degrees, *viscous);
      AddViscousWarnings(*viscous, alpha_degrees, np, r);
    }
    return r;
  } catch (const RunError& error) {
    Refuse(error);
  }
}

PreparedProblem::PolarResult PreparedProblem::Polar(
    const std::vector<double>& alpha_degrees, const std::optional<ViscousOptions>& viscous) const {
  for (double alpha : alpha_degrees) {
    if (!std::isfinite(alpha))
      RefuseValue("the angle of attack " + NumberText(alpha) + " is not a number");
  }
  CheckViscous(viscous);
  CheckLayersCanGrow(viscous, HasCircle(), HasCirculation());
  PolarResult polar;
  const auto add = [&](double alpha, double cl, double cl_pressure, double cm, double source_sum) {
    polar.alpha.push_back(alpha);
    polar.cl.push_back(cl);
    polar.cl_pressure.push_back(cl_pressure);
    polar.cm.push_back(cm);
    polar.source_sum.push_back(source_sum);
  };
  try {
    if (general_) {
      for (const ProblemSolution& s : SolvePanelProblem(general_->problem, alpha_degrees)) {
        add(s.alpha_degrees, s.cl_circulation, s.cl_pressure, s.cm_quarter_chord, s.source_sum);
        polar.element_cl.push_back(s.element_cl_circulation);
        polar.element_cl_pressure.push_back(s.element_cl_pressure);
      }
      if (viscous) polar.viscous = SolveViscousProblem(general_->problem, alpha_degrees, *viscous);
      return polar;
    }
    // The batch run's sweep (SweepAngles), its functions in its order: one assembly and
    // elimination, then all angles side by side; every angle the bits of a separate run.
    if (alpha_degrees.empty()) return polar;
    const PooledState W = CopyState(*seed_->C);
    InfluCoeff_Fill(*W, seed_->inputs);
    if (!Gauss_Factor(W->NEq, W->An)) RefuseZeroPivot();
    const SeedAngles a = SolveSeedAngles(*W, seed_->inputs, alpha_degrees.data(),
                                         static_cast<int>(alpha_degrees.size()));
    for (std::size_t k = 0; k < alpha_degrees.size(); ++k) {
      const DerivedResults& d = a.results[k];
      add(alpha_degrees[k], d.cl_circulation, d.cl_pressure, d.cm_quarter_chord, d.source_sum);
      polar.element_cl.push_back({d.cl_circulation});
      polar.element_cl_pressure.push_back({d.cl_pressure});
    }
    if (viscous) {
      const std::optional<FactoredPanelProblem> factored =
          FactorPanelProblem(*seed_->C, seed_->inputs);
      if (!factored) RefuseZeroPivot();
      polar.viscous = SolveViscousPolar(*factored, alpha_degrees, *viscous);
    }
    return polar;
  } catch (const RunError& error) {
    Refuse(error);
  }
}

std::unique_ptr<PreparedProblem::Field> PreparedProblem::MakeField(
    double alpha_degrees, const std::optional<FlowDomain>& domain, int nx, int ny) const {
  if (nx < 2 || ny < 2 || nx > 4000 || ny > 4000) {
    RefuseValue("a flow grid needs 2 to 4000 nodes each way, not " + std::to_string(nx) + " x " +
                std::to_string(ny));
  }
  if (domain &&
      !(domain->xmin < domain->xmax && domain->ymin < domain->ymax &&
        std::isfinite(domain->xmax - domain->xmin) && std::isfinite(domain->ymax - domain->ymin))) {
    RefuseValue("the domain needs xmin < xmax and ymin < ymax, finite");
  }
  auto field = std::make_unique<Field>();
  field->surface = Solve(alpha_degrees);
  try {
    if (seed_) {
      const Module_Common& C = *seed_->C;
      std::optional<FlowBases> bases = SolveFlowBases(C, seed_->inputs);
      if (!bases) RefuseZeroPivot();
      field->bases = std::move(*bases);
      const double alpha = AlphaRadians(alpha_degrees);
      field->cos_alfa = std::cos(alpha);
      field->sin_alfa = std::sin(alpha);
      const Contour contour = PanelContour(C);
      field->contours = {contour};
      field->grid = MakeFlowGrid(C, field->bases, contour,
                                 domain ? *domain : DomainAroundBody(contour), nx, ny);
    } else {
      field->system = general_->system
                          ? general_->system
                          : std::make_shared<PanelSystem>(general_->problem, alpha_degrees);
      field->solution = field->system->Solve(alpha_degrees);
      const PanelSystem& system = *field->system;
      field->panels.setup = system.Setup();
      field->panels.X1 = system.Panels().X1.data();
      field->panels.Y1 = system.Panels().Y1.data();
      ProblemBases bases = system.SolveBases();
      field->bases.Q0 = std::move(bases.Q0);
      field->bases.Q90 = std::move(bases.Q90);
      // Above a ground the configuration is turned and the stream runs along the ground.
      const double alpha = system.HasGround() ? 0.0 : AlphaRadians(alpha_degrees);
      field->cos_alfa = std::cos(alpha);
      field->sin_alfa = std::sin(alpha);
      field->contours = ElementContours(field->panels);
      const FlowDomain around = DomainAroundElements(field->contours, field->panels.setup.ground_y);
      field->grid = MakeFlowGrid(field->panels, field->bases, field->contours,
                                 domain ? *domain : around, nx, ny);
    }
    CombineFlowGrid(field->grid, field->cos_alfa, field->sin_alfa, field->frame);
  } catch (const RunError& error) {
    Refuse(error);
  }
  return field;
}

std::optional<FlowVelocity> PreparedProblem::VelocityAt(const Field& field, double x,
                                                        double y) const {
  for (const Contour& c : field.contours) {
    if (ContourContains(c, x, y)) return std::nullopt;
  }
  if (seed_) {
    return velquin::VelocityAt(*seed_->C, field.bases, field.cos_alfa, field.sin_alfa, x, y);
  }
  return velquin::VelocityAt(field.panels, field.bases, field.cos_alfa, field.sin_alfa, x, y);
}

}  // namespace velquin
