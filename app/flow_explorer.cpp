#include "app/flow_explorer.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "app/calculation_run.h"
#include "app/explorer_streamlines.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "geometry/module_panel.h"
#include "solver/flow_bases.h"

namespace velquin {
namespace {

constexpr double kPolarStep = 0.5;  // degrees between the points of the polar

// The shortest text that reads back as the same double, a point as the separator.
std::string Shortest(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The explorer's own range of panel counts; beyond it a user is told, not the arrays.
constexpr PanelCapacity kExplorerCapacity{kExplorerPanelsMin, kExplorerPanelsMax,
                                          kExplorerPanelsMax, ErrorKind::kInvalidArgument};

// Strengths, signed surface speeds and pressure at one angle, combined from the bases.
void SurfaceAt(const ExplorerGeometry& g, double cos_alfa, double sin_alfa, ExplorerFrame& f) {
  f.Q = CombinedStrengths(g.bases, cos_alfa, sin_alfa);
  const std::size_t np = g.speeds.Vt0.size();
  f.Vt.resize(np);
  f.Cp.resize(np);
  for (std::size_t i = 0; i < np; ++i) {
    const double Vt = cos_alfa * g.speeds.Vt0[i] + sin_alfa * g.speeds.Vt90[i];
    f.Vt[i] = Vt;
    f.Cp[i] = 1 - Vt * Vt;
  }
}

// The derived numbers of a frame whose strengths and speeds are set, and the lift of
// every element: the seed's ComputeDerivedResults, or the general problem's results, the
// very function its batch run uses.
DerivedResults DerivedAt(const ExplorerGeometry& g, ExplorerFrame& f) {
  f.element_lift.clear();
  if (g.C) {
    Vector Q, Cu;
    for (std::size_t j = 0; j < f.Q.size(); ++j) Q(static_cast<int>(j) + 1) = f.Q[j];
    for (std::size_t i = 0; i < f.Vt.size(); ++i) Cu(static_cast<int>(i) + 1) = f.Vt[i] * f.Vt[i];
    const DerivedResults r = ComputeDerivedResults(*g.C, g.inputs, f.cos_alfa, f.sin_alfa, Q, Cu);
    f.element_lift.push_back({r.cl_circulation, r.cl_pressure});
    return r;
  }
  ProblemSolution s;
  s.alpha_degrees = f.alpha_degrees;
  s.q = f.Q;
  s.vt = f.Vt;
  ComputeProblemResults(g.system->Panels(), g.Ground(), s);
  for (std::size_t e = 0; e < s.element_cl_pressure.size(); ++e) {
    f.element_lift.push_back({s.element_cl_circulation[e], s.element_cl_pressure[e]});
  }
  DerivedResults r;
  r.cl_circulation = s.cl_circulation;
  r.cl_pressure = s.cl_pressure;
  r.cm_quarter_chord = s.cm_quarter_chord;
  r.source_sum = s.source_sum;
  return r;
}

// The leading edge is the node furthest upstream: panels before it (the contour runs
// from the trailing edge along the lower side first) form the lower surface.
void SplitSurfaces(ExplorerGeometry& g) {
  for (std::size_t e = 0; e < g.contours.size(); ++e) {
    const Contour& contour = g.contours[e];
    const int first = g.panels.setup.elements[e].first;
    const std::size_t n = contour.x.size();
    std::size_t leading = 0;
    for (std::size_t k = 1; k < n; ++k) {
      if (contour.x[k] < contour.x[leading]) leading = k;
    }
    // Node k starts panel k + 1 of the element.
    ElementSurfaces surfaces;
    for (int i = static_cast<int>(leading); i >= 1; --i) surfaces.lower.push_back(first - 1 + i);
    for (int i = static_cast<int>(leading) + 1; i <= static_cast<int>(n); ++i) {
      surfaces.upper.push_back(first - 1 + i);
    }
    g.surfaces.push_back(std::move(surfaces));
  }
  g.upper = g.surfaces.front().upper;
  g.lower = g.surfaces.front().lower;
}

// The contours, the grid over the default domain and the surfaces of a geometry whose
// panels and bases are set.
void FinishGeometry(ExplorerGeometry& g) {
  g.contours = ElementContours(g.panels);
  g.contour = g.contours.front();
  g.tree = BuildPanelTree(g.panels, g.bases);
  g.grid = MakeFlowGrid(g.panels, g.bases, g.contours,
                        DomainAroundElements(g.contours, g.panels.setup.ground_y), kFlowGridNx,
                        kFlowGridNy, &g.tree);
  SplitSurfaces(g);
}

PolarPoint PolarPointAt(const ExplorerGeometry& g, double alpha_degrees) {
  ExplorerFrame f;
  f.alpha_degrees = alpha_degrees;
  const double alpha = AlphaRadians(alpha_degrees);
  f.cos_alfa = std::cos(alpha);
  f.sin_alfa = std::sin(alpha);
  SurfaceAt(g, f.cos_alfa, f.sin_alfa, f);
  const DerivedResults r = DerivedAt(g, f);
  return {alpha_degrees, r.cl_circulation, r.cl_pressure, r.cm_quarter_chord};
}

void ComputePolar(ExplorerGeometry& g) {
  ExplorerFrame f;
  const int count = static_cast<int>((kExplorerAlphaMax - kExplorerAlphaMin) / kPolarStep) + 1;
  for (int k = 0; k < count; ++k) {
    g.polar.push_back(PolarPointAt(g, kExplorerAlphaMin + k * kPolarStep));
  }
  // The circulation's lift is linear in the strengths: cl(a) = cos a cl(Q0) + sin a
  // cl(Q90), zero at a0 = atan(-cl(Q0) / cl(Q90)).
  if (g.Circulation()) {
    SurfaceAt(g, 1, 0, f);
    const double cl0 = DerivedAt(g, f).cl_circulation;
    SurfaceAt(g, 0, 1, f);
    const double cl90 = DerivedAt(g, f).cl_circulation;
    if (cl90 != 0) g.zero_lift_alpha_degrees = std::atan(-cl0 / cl90) * 180 / g.panels.setup.k.Pi;
  }
}

}  // namespace

RunInputs ExplorerInputsFromControls(const ControlValues& controls) {
  RunInputs inputs;
  const auto read = [](const std::string& text, double fallback) {
    try {
      return ReadNumber(text);
    } catch (const RunError&) {
      return fallback;
    }
  };
  try {
    inputs.body = ChosenBody(controls);
  } catch (const RunError&) {
    inputs.body = CircleBody();
  }
  inputs.NP = read(controls.Text_NP, inputs.NP);
  inputs.alpha_degrees = read(controls.Text_AlfaD, 0);
  inputs.Xv = read(controls.Text_Xv, inputs.Xv);
  inputs.Yv = read(controls.Text_Yv, inputs.Yv);
  inputs.circulation = controls.Check_Circulation == 1;
  inputs.vortex =
      ChooseVortexModel(inputs.circulation, controls.Option_ConstVortex,
                        controls.Option_PointVortex, VortexModel::kConstantDistribution);
  return inputs;
}

std::unique_ptr<ExplorerGeometry> MakeExplorerGeometry(const RunInputs& inputs) {
  CheckPanelCount(inputs.NP, inputs.circulation, *inputs.body, kExplorerCapacity,
                  "the number of panels reads as " + NumberText(inputs.NP) + ".");
  auto g = std::make_unique<ExplorerGeometry>();
  g->inputs = inputs;
  g->C = std::make_unique<Module_Common>();
  Module_Common& C = *g->C;
  Form_Load(C);
  SetUpProblem(C, inputs);
  Panel_ComputeGeometry(C);
  // One elimination for both base solutions and for the boundary layers' passes.
  std::optional<FactoredPanelProblem> factored = FactorPanelProblem(C, inputs);
  if (!factored) {
    throw RunError(ErrorKind::kDivisionByZero,
                   "the elimination meets a zero pivot: the explorer cannot solve these inputs.");
  }
  g->bases = SolveFactoredFlowBases(*factored->state, inputs);
  g->factored = std::make_shared<const LazyFactoredProblem>(
      std::make_shared<const FactoredPanelProblem>(std::move(*factored)));
  g->panels = SeedFlowPanels(C, inputs.vortex);
  g->label = ExplorerInputsLabel(inputs);
  g->element_names = {inputs.body->Name()};
  g->speeds = ComputeBaseSpeeds(g->panels, g->bases);
  FinishGeometry(*g);
  ComputePolar(*g);
  return g;
}

namespace {

// The general problem's geometry at an angle from the problem laid out.
std::unique_ptr<ExplorerGeometry> MakeProblemGeometry(const ProblemInputs& inputs,
                                                      std::shared_ptr<const PanelProblem> problem,
                                                      double alpha_degrees) {
  auto g = std::make_unique<ExplorerGeometry>();
  g->problem_inputs = inputs;
  g->problem = std::move(problem);
  g->built_alpha_degrees = alpha_degrees;
  g->system = std::make_shared<const PanelSystem>(*g->problem, alpha_degrees);
  // The boundary layers share the system's factors; they are made when first asked for.
  g->factored = std::make_shared<const LazyFactoredProblem>(g->system, alpha_degrees);
  g->label = ExplorerProblemLabel(inputs, g->problem.get());
  // What the views ask of the seed's inputs: the first body, the vortex model.
  g->inputs.body = inputs.elements.front().body;
  g->inputs.NP = inputs.panels.value_or(kDefaultElementPanels);
  g->inputs.circulation = inputs.vortex != VortexModel::kNone;
  g->inputs.vortex = inputs.vortex;
  g->inputs.Xv = inputs.Xv;
  g->inputs.Yv = inputs.Yv;
  g->inputs.alpha_degrees = alpha_degrees;
  for (const ProblemElement& e : g->problem->elements) g->element_names.push_back(e.name);
  const ProblemPanels& p = g->system->Panels();
  g->panels.setup = g->system->Setup();
  g->panels.X1 = p.X1.data();
  g->panels.Y1 = p.Y1.data();
  ProblemBases bases = g->system->SolveBases();
  g->bases.model = inputs.vortex;
  g->bases.Q0 = std::move(bases.Q0);
  g->bases.Q90 = std::move(bases.Q90);
  g->speeds.Vt0 = std::move(bases.Vt0);
  g->speeds.Vt90 = std::move(bases.Vt90);
  FinishGeometry(*g);
  if (!g->Ground()) ComputePolar(*g);
  return g;
}

}  // namespace

std::unique_ptr<ExplorerGeometry> MakeExplorerGeometry(const ProblemInputs& inputs,
                                                       double alpha_degrees) {
  if (inputs.elements.empty()) {
    throw RunError(ErrorKind::kInvalidArgument, "there is no element to show: add one.");
  }
  return MakeProblemGeometry(inputs, std::make_shared<const PanelProblem>(MakePanelProblem(inputs)),
                             alpha_degrees);
}

std::unique_ptr<ExplorerGeometry> TurnExplorerGeometry(const ExplorerGeometry& g,
                                                       double alpha_degrees) {
  if (!g.problem_inputs || !g.problem) return MakeExplorerGeometry(g.inputs);
  return MakeProblemGeometry(*g.problem_inputs, g.problem, alpha_degrees);
}

bool ExplorerGeometry::Circulation() const {
  return problem_inputs ? problem_inputs->vortex != VortexModel::kNone : inputs.circulation;
}

bool NeedsNewGeometry(const ExplorerGeometry& g, double alpha_degrees) {
  return g.Ground() && g.built_alpha_degrees != alpha_degrees;
}

std::vector<PolarPoint> ComputeGroundPolar(const PanelProblem& problem, double step,
                                           const std::function<bool(int, int)>& progress) {
  std::vector<PolarPoint> polar;
  const int count =
      static_cast<int>(std::floor((kExplorerAlphaMax - kExplorerAlphaMin) / step)) + 1;
  for (int k = 0; k < count; ++k) {
    const double alpha = kExplorerAlphaMin + k * step;
    if (!ProblemDefect(problem, alpha).empty()) break;
    const ProblemSolution s = PanelSystem(problem, alpha).Solve(alpha);
    polar.push_back({alpha, s.cl_circulation, s.cl_pressure, s.cm_quarter_chord});
    if (progress && !progress(k + 1, count)) break;
  }
  return polar;
}

namespace {

// A placement in a title to twelve digits: one read from a file's own coordinates carries
// the rounding of the arithmetic that placed it (a chord of 0.30000000000000004).
std::string TitleNumber(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 12);
  return std::string(text, end.ptr);
}

}  // namespace

std::string ExplorerProblemLabel(const ProblemInputs& inputs, const PanelProblem* problem) {
  std::string label;
  for (const ElementInput& e : inputs.elements) {
    if (!label.empty()) label += " + ";
    label += e.body ? e.body->Name() : e.section->name;
    if (e.flap) {
      label +=
          " (flap " + TitleNumber(e.flap->degrees) + " deg at " + TitleNumber(e.flap->hinge) + ")";
    }
    if (e.placement) {
      const Placement& p = *e.placement;
      label += " at (" + TitleNumber(p.x) + ", " + TitleNumber(p.y) + ", " +
               TitleNumber(p.degrees) + " deg, chord " + TitleNumber(p.chord) + ")";
    }
  }
  if (inputs.panels) {
    label += ", " + std::to_string(inputs.elements.size()) + " x " + NumberText(*inputs.panels) +
             " panels";
  } else if (problem != nullptr && !problem->elements.empty()) {
    std::string counts;
    for (const ProblemElement& e : problem->elements) {
      counts += (counts.empty() ? "" : " + ") + std::to_string(e.PanelCount());
    }
    label += ", " + counts + " panels";
  }
  if (inputs.vortex == VortexModel::kNone) {
    label += ", no circulation";
  } else if (inputs.vortex == VortexModel::kPointVortex) {
    label += ", point vortex at (" + NumberText(inputs.Xv) + ", " + NumberText(inputs.Yv) + ")";
  } else {
    label += ", constant vortex distribution";
  }
  if (inputs.ground_height) label += ", ground " + NumberText(*inputs.ground_height) + " below";
  return label;
}

std::string ExplorerGeometryLabel(const ExplorerGeometry& g) {
  return g.label;
}

namespace {

// A node whose four cells are open lies a cell or more from the body: the panel
// solution's velocity there, and so psi walked through it, is free of the disturbance
// of the panels' ends, which a node a hair from the contour can see.
bool AwayFromBody(const FlowGrid& grid, int i, int j) {
  for (int cj = j - 1; cj <= j; ++cj) {
    for (int ci = i - 1; ci <= i; ++ci) {
      if (ci < 0 || cj < 0 || ci >= grid.nx - 1 || cj >= grid.ny - 1) continue;
      if (grid.blocked[static_cast<std::size_t>(cj) * (grid.nx - 1) + ci]) return false;
    }
  }
  return true;
}

// The psi of the body's contour on a grid whose psi is known up to a constant: from the
// node away from the body nearest to a stagnation point, less the flow between the two, the
// exact velocity integrated along the straight segment (u dy - v dx, composite two-point
// Gauss rule, which never evaluates at the surface end). A segment that passes through
// the body is not used; NaN when no stagnation point gives one.
double BodyStreamFunction(const ExplorerGeometry& g, const FlowGrid& grid,
                          const std::vector<double>& psi, const ExplorerFrame& f) {
  std::vector<StagnationPoint> order = f.stagnation;
  std::stable_partition(order.begin(), order.end(),
                        [](const StagnationPoint& p) { return p.attachment; });
  for (const StagnationPoint& p : order) {
    double best = 1e300, qx = 0, qy = 0, psi_q = 0;
    for (int j = 0; j < grid.ny; ++j) {
      for (int i = 0; i < grid.nx; ++i) {
        const double v = psi[static_cast<std::size_t>(j) * grid.nx + i];
        const double x = grid.domain.xmin + i * grid.dx, y = grid.domain.ymin + j * grid.dy;
        const double d = (x - p.x) * (x - p.x) + (y - p.y) * (y - p.y);
        if (!std::isnan(v) && d < best && AwayFromBody(grid, i, j)) {
          best = d;
          qx = x;
          qy = y;
          psi_q = v;
        }
      }
    }
    if (best == 1e300) continue;
    const double length = std::sqrt(best);
    const int pieces = 16 + static_cast<int>(4 * length / std::min(grid.dx, grid.dy));
    const double node = 0.5 / std::sqrt(3.0);
    double flow = 0;
    bool through_body = false;
    for (int k = 0; k < pieces && !through_body; ++k) {
      for (const double t : {(k + 0.5 - node) / pieces, (k + 0.5 + node) / pieces}) {
        const double x = p.x + t * (qx - p.x), y = p.y + t * (qy - p.y);
        if (t > 0.05 && ContoursContain(g.contours, x, y)) {
          through_body = true;
          break;
        }
        const std::optional<FlowVelocity> V =
            TreeVelocityAt(g.tree, g.panels, g.bases, f.cos_alfa, f.sin_alfa, x, y);
        if (!V) continue;
        flow += 0.5 / pieces * (V->u * (qy - p.y) - V->v * (qx - p.x));
      }
    }
    if (!through_body) return psi_q - flow;
  }
  return std::nan("");
}

// Streamlines of the frame on a grid with the frame's field on it.
std::vector<Streamline> StreamlinesOn(const ExplorerGeometry& g, const FlowGrid& grid,
                                      const FlowFrame& field, const ExplorerFrame& f) {
  // A single body's walk is cut along its wake. Between several elements the wakes run
  // close together and the cut of one notched the other's dividing streamline, while
  // their finer panels leave a step too small to see.
  std::vector<StreamCut> cuts;
  if (g.panels.setup.elements.size() == 1) {
    for (const StagnationPoint& s : f.stagnation) {
      if (!s.attachment) cuts.push_back({s.x, s.y});
    }
  }
  const std::vector<double> psi = StreamFunctionOnGrid(grid, field, cuts, f.cos_alfa, f.sin_alfa);
  const double psi_body = BodyStreamFunction(g, grid, psi, f);
  return ExplorerStreamlines(grid, psi, psi_body, f.cos_alfa, f.sin_alfa, f.stagnation);
}

// The circle's exact Cp round its contour: 1 - 4 (sin(theta - a) + s)^2, s the centred
// point vortex's share fixed by the Kutta-type condition (Circle::Exact), 0 without one.
void CircleExactCurve(const ExplorerGeometry& g, ExplorerFrame& f) {
  f.exact_curve_x.clear();
  f.exact_curve_cp.clear();
  if (!g.C || g.inputs.body != CircleBody()) return;
  const Module_Common& C = *g.C;
  double vortex_term = 0;
  if (g.inputs.circulation) {
    if (g.inputs.vortex != VortexModel::kPointVortex || C.Xv != 0.5 * C.RefLength || C.Yv != 0)
      return;
    vortex_term = f.sin_alfa * std::cos(C.Pi / C.NP);
  }
  constexpr int kSteps = 360;
  const double radius = 0.5 * C.RefLength;
  for (int k = 0; k <= kSteps; ++k) {
    const double theta = 2 * C.Pi * k / kSteps;  // from the trailing edge, upper side first
    const double half_speed =
        std::sin(theta) * f.cos_alfa - std::cos(theta) * f.sin_alfa + vortex_term;
    f.exact_curve_x.push_back(radius + radius * std::cos(theta));
    f.exact_curve_cp.push_back(1 - 4 * half_speed * half_speed);
  }
}

}  // namespace

std::unique_ptr<FlowGrid> MakeExplorerViewGrid(const ExplorerGeometry& g, const FlowDomain& view) {
  const double width = view.xmax - view.xmin, height = view.ymax - view.ymin;
  const int nx = kFlowGridNx;
  const int ny =
      std::clamp(static_cast<int>(std::lround((nx - 1) * height / width)) + 1, 2, 2 * kFlowGridNx);
  return std::make_unique<FlowGrid>(
      MakeFlowGrid(g.panels, g.bases, g.contours, view, nx, ny, &g.tree));
}

void ComputeExplorerFrame(const ExplorerGeometry& g, double alpha_degrees, ExplorerFrame& f,
                          const FlowGrid* view_grid) {
  const PanelView& p = g.panels.setup.panels;
  f.alpha_degrees = alpha_degrees;
  // Above a ground the panels are turned by alpha and the free stream runs along it.
  const double alpha = g.Ground() ? 0.0 : AlphaRadians(alpha_degrees);
  f.cos_alfa = std::cos(alpha);
  f.sin_alfa = std::sin(alpha);
  SurfaceAt(g, f.cos_alfa, f.sin_alfa, f);
  f.results = DerivedAt(g, f);
  f.cp_min = f.Cp.empty() ? 0 : f.Cp[0];
  f.x_cp_min = p.Xc[1];
  for (std::size_t i = 1; i < f.Cp.size(); ++i) {
    if (f.Cp[i] < f.cp_min) {
      f.cp_min = f.Cp[i];
      f.x_cp_min = p.Xc[static_cast<int>(i) + 1];
    }
  }
  f.stagnation = FindSurfaceStagnationPoints(g.panels, f.Vt);
  f.x_stagnation.reset();
  for (const StagnationPoint& p : f.stagnation) {
    if (p.attachment && (!f.x_stagnation || p.x < *f.x_stagnation)) f.x_stagnation = p.x;
  }
  CombineFlowGrid(g.grid, f.cos_alfa, f.sin_alfa, f.field);
  f.view_grid = view_grid;
  if (view_grid) {
    CombineFlowGrid(*view_grid, f.cos_alfa, f.sin_alfa, f.view_field);
    f.streamlines = StreamlinesOn(g, *view_grid, f.view_field, f);
  } else {
    f.view_field = FlowFrame();
    f.streamlines = StreamlinesOn(g, g.grid, f.field, f);
  }
  CircleExactCurve(g, f);

  f.exact_cp.clear();
  if (!g.C) return;
  const Module_Common& C = *g.C;
  const FlowConditions flow{f.cos_alfa, f.sin_alfa, g.inputs.vortex, C.Xv, C.Yv};
  if (const std::optional<ExactSolution> exact = g.inputs.body->Exact(C, flow)) {
    for (double one_minus_cp : exact->one_minus_cp) f.exact_cp.push_back(1 - one_minus_cp);
  }
}

PolarPoint ExplorerPolarPoint(const ExplorerGeometry& geometry, double alpha_degrees) {
  if (!geometry.Ground()) return PolarPointAt(geometry, alpha_degrees);
  // Above a ground the panels turn with the angle: a system of its own.
  const ProblemSolution s = PanelSystem(*geometry.problem, alpha_degrees).Solve(alpha_degrees);
  return {alpha_degrees, s.cl_circulation, s.cl_pressure, s.cm_quarter_chord};
}

std::string ExplorerPolarCsv(const ExplorerGeometry& g, const std::vector<PolarPoint>& polar) {
  std::string csv =
      "# " + ExplorerGeometryLabel(g) + "\nalpha,cl_circulation,cl_pressure,cm_quarter_chord\n";
  for (const PolarPoint& p : polar) {
    csv += Shortest(p.alpha_degrees) + ',' + Shortest(p.cl_circulation) + ',' +
           Shortest(p.cl_pressure) + ',' + Shortest(p.cm_quarter_chord) + '\n';
  }
  return csv;
}

std::string ExplorerInputsLabel(const RunInputs& inputs) {
  std::string label = inputs.body ? inputs.body->Name() : std::string("no body");
  label += ", " + NumberText(inputs.NP) + " panels, ";
  if (!inputs.circulation || inputs.vortex == VortexModel::kNone) {
    label += "no circulation";
  } else if (inputs.vortex == VortexModel::kPointVortex) {
    label += "point vortex at (" + NumberText(inputs.Xv) + ", " + NumberText(inputs.Yv) + ")";
  } else {
    label += "constant vortex distribution";
  }
  return label;
}

std::string ExplorerPressureCsv(const ExplorerGeometry& g, const ExplorerFrame& f) {
  std::string csv = "# " + ExplorerGeometryLabel(g) + ", alpha = " + Shortest(f.alpha_degrees) +
                    " degrees\n" + (g.C ? "" : "element,") + "x,y,cp,side\n";
  const PanelView& p = g.panels.setup.panels;
  for (std::size_t e = 0; e < g.surfaces.size(); ++e) {
    const std::string element = g.C ? std::string() : std::to_string(e + 1) + ',';
    const auto rows = [&](const std::vector<int>& panels, const char* side) {
      for (int i : panels) {
        csv += element + Shortest(p.Xc[i]) + ',' + Shortest(p.Yc[i]) + ',' + Shortest(f.Cp[i - 1]) +
               ',' + side + '\n';
      }
    };
    rows(g.surfaces[e].upper, "upper");
    rows(g.surfaces[e].lower, "lower");
  }
  return csv;
}

}  // namespace velquin
