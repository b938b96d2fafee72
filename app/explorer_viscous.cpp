#include "app/explorer_viscous.h"

#include <algorithm>
#include <cmath>

#include "app/derived_text.h"
#include "app/flow_explorer.h"
#include "app/viscous_text.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "geometry/body.h"

namespace velquin {
namespace {

bool Blank(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

// y at x on the polyline (xs, ys), xs running one way: linear between the bracketing
// points, the end value beyond the ends.
double Interpolate(const std::vector<double>& xs, const std::vector<double>& ys, double x) {
  if (xs.empty()) return 0;
  for (std::size_t k = 1; k < xs.size(); ++k) {
    const double a = xs[k - 1], b = xs[k];
    if ((x - a) * (x - b) <= 0 && a != b)
      return ys[k - 1] + (x - a) / (b - a) * (ys[k] - ys[k - 1]);
  }
  return std::fabs(x - xs.front()) < std::fabs(x - xs.back()) ? ys.front() : ys.back();
}

// The stations of one side and their band. The outward normal turns the direction of
// travel (stagnation point to trailing edge) to the left on the upper side, which the
// layer leaves over the leading edge going aft above the body, and to the right on the
// lower side.
void FillSide(const SurfaceBoundaryLayer& layer, bool upper, ExplorerLayerSide& side) {
  const std::vector<BoundaryLayerStation>& st = layer.stations;
  const std::size_t n = st.size();
  for (const BoundaryLayerStation& b : st) {
    side.x.push_back(b.x);
    side.h.push_back(b.h);
    side.cf.push_back(b.cf);
    side.n.push_back(b.n);
    side.dstar.push_back(b.dstar);
    side.surface_x.push_back(b.x);
    side.surface_y.push_back(b.y);
  }
  for (std::size_t k = 0; k < n; ++k) {
    const BoundaryLayerStation& a = st[k == 0 ? 0 : k - 1];
    const BoundaryLayerStation& b = st[k + 1 < n ? k + 1 : n - 1];
    double tx = b.x - a.x, ty = b.y - a.y;
    const double length = std::hypot(tx, ty);
    if (length > 0) {
      tx /= length;
      ty /= length;
    }
    const double nx = upper ? -ty : ty, ny = upper ? tx : -tx;
    side.edge_x.push_back(st[k].x + nx * st[k].dstar);
    side.edge_y.push_back(st[k].y + ny * st[k].dstar);
  }
}

// x along an element's chord in its own frame (leading edge 0, trailing edge 1), where
// the chord fractions of its results are measured.
double AlongChord(const ViscousElement& e, double x, double y) {
  return ((x - e.x_le) * e.cos_chord + (y - e.y_le) * e.sin_chord) / e.section.chord;
}

// The point of a side where a layer turns turbulent: between the last laminar station
// and the first turbulent one, where the chord fraction xtr lies.
void TransitionPoint(const ViscousElement& e, const SurfaceBoundaryLayer& layer, double xtr,
                     double& x, double& y) {
  const std::vector<BoundaryLayerStation>& st = layer.stations;
  const std::size_t k = static_cast<std::size_t>(layer.transition_index);
  const BoundaryLayerStation& b = st[k];
  const BoundaryLayerStation& a = st[k == 0 ? 0 : k - 1];
  const double from = AlongChord(e, a.x, a.y), to = AlongChord(e, b.x, b.y);
  const double t = to != from ? std::clamp((xtr - from) / (to - from), 0.0, 1.0) : 1.0;
  x = a.x + t * (b.x - a.x);
  y = a.y + t * (b.y - a.y);
}

// The station nearest to the chord fraction xsep, the aft one of equals: where the
// separated run to the edge begins (the fraction is a station's).
void SeparationPoint(const ViscousElement& e, const SurfaceBoundaryLayer& layer, double xsep,
                     double& x, double& y) {
  double best = 1e300;
  for (const BoundaryLayerStation& b : layer.stations) {
    const double d = std::fabs(AlongChord(e, b.x, b.y) - xsep);
    if (d <= best) {
      best = d;
      x = b.x;
      y = b.y;
    }
  }
}

// The marks of one side of an element: transition where the layer has a turbulent
// station, separation where the separated run begins ahead of the last station (an
// attached layer reports the last station itself; the margin stands for the rounding of
// its way to the problem's coordinates and back).
void AddMarks(const ViscousElement& e, const SurfaceBoundaryLayer& layer, double xtr, double xsep,
              int element, bool upper, const ExplorerLayerSide& side,
              std::vector<ExplorerLayerMark>& marks) {
  if (layer.stations.empty()) return;
  ExplorerLayerMark m;
  m.element = element;
  m.upper = upper;
  if (layer.transition_index >= 0) {
    TransitionPoint(e, layer, xtr, m.x, m.y);
    m.cp = Interpolate(side.cp_x, side.cp, m.x);
    marks.push_back(m);
  }
  const BoundaryLayerStation& last = layer.stations.back();
  if (xsep < AlongChord(e, last.x, last.y) - 1e-9) {
    m.separation = true;
    SeparationPoint(e, layer, xsep, m.x, m.y);
    m.cp = Interpolate(side.cp_x, side.cp, m.x);
    marks.push_back(m);
  }
}

}  // namespace

ReynoldsReading ReadExplorerReynolds(const std::string& text) {
  ReynoldsReading out;
  if (Blank(text)) return out;
  const auto refuse = [&](const std::string& why) {
    out.refused = true;
    out.problem = "The Reynolds number " + QuotedInput(text) + " " + why +
                  " Leave the box empty for the inviscid flow.";
    return out;
  };
  NumberReading number;
  try {
    number = ReadNumberPart(text);
  } catch (const RunError&) {
    return refuse("is far beyond the range 1000 to 1e9.");
  }
  if (!number.began_with_number || !number.rest.empty()) {
    return refuse("is not a number (write it as 1e6 or 1000000, with a point as the separator).");
  }
  if (!(number.value >= kExplorerReynoldsMin && number.value <= kExplorerReynoldsMax)) {
    return refuse("lies outside the range 1000 to 1e9, where the boundary-layer closures hold.");
  }
  out.reynolds = number.value;
  return out;
}

std::optional<ViscousOptions> ExplorerViscousOptions(const ExplorerFlowConditions& conditions) {
  if (!conditions.reynolds) return std::nullopt;
  ViscousOptions options;
  options.reynolds = *conditions.reynolds;
  options.ncrit = conditions.ncrit;
  return options;
}

LazyFactoredProblem::LazyFactoredProblem(std::shared_ptr<const FactoredPanelProblem> made)
    : made_(std::move(made)) {}

LazyFactoredProblem::LazyFactoredProblem(std::shared_ptr<const PanelSystem> system,
                                         double alpha_degrees)
    : system_(std::move(system)), alpha_degrees_(alpha_degrees) {}

std::shared_ptr<const FactoredPanelProblem> LazyFactoredProblem::Get() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!made_) {
    made_ =
        std::make_shared<const FactoredPanelProblem>(FactorPanelProblem(system_, alpha_degrees_));
  }
  return made_;
}

std::string ExplorerViscousUnavailable(const ExplorerGeometry& g) {
  bool circle = g.inputs.body == CircleBody();
  if (g.problem_inputs) {
    for (const ElementInput& e : g.problem_inputs->elements)
      circle = circle || e.body == CircleBody();
  }
  if (circle) {
    return "A circle has no trailing edge for the boundary layers to leave from: the flow "
           "stays inviscid.";
  }
  if (!g.Circulation()) {
    return "The boundary layers start from the lifting solution: turn Circulation on for a "
           "Reynolds number.";
  }
  if (!g.factored) return "The panel matrix of this geometry is not at hand.";
  return {};
}

std::string ExplorerViscousNote(const ViscousResult& r) {
  if (r.converged) return {};
  return "The viscous-inviscid interaction did not converge in " + std::to_string(r.passes) +
         " passes: the numbers are its last pass's (beyond stall or with a long separation "
         "the method only flags the flow).";
}

std::optional<ExplorerViscousFrame> ComputeExplorerViscous(
    const ExplorerGeometry& g, double alpha_degrees, const std::optional<ViscousOptions>& options) {
  if (!options || !ExplorerViscousUnavailable(g).empty()) return std::nullopt;
  ExplorerViscousFrame v;
  v.options = *options;
  std::shared_ptr<const FactoredPanelProblem> factored;
  try {
    factored = g.factored->Get();
    v.result = SolveViscousAngle(*factored, alpha_degrees, *options);
  } catch (const RunError&) {
    return std::nullopt;
  }
  v.cl_cd = LiftToDrag(v.result);
  v.note = ExplorerViscousNote(v.result);
  const PanelView& p = g.panels.setup.panels;
  const auto pressures = [&](const std::vector<int>& panels, ExplorerLayerSide& side) {
    for (int i : panels) {
      side.cp_x.push_back(p.Xc[i]);
      side.cp.push_back(v.result.cp.cp[static_cast<std::size_t>(i) - 1]);
    }
  };
  const std::size_t count =
      std::min({g.surfaces.size(), v.result.elements.size(), factored->elements.size()});
  v.elements.resize(count);
  for (std::size_t e = 0; e < count; ++e) {
    const ElementViscousResult& r = v.result.elements[e];
    const ViscousElement& frame = factored->elements[e];
    ExplorerElementLayers& sides = v.elements[e];
    const int element = static_cast<int>(e);
    pressures(g.surfaces[e].upper, sides.upper);
    pressures(g.surfaces[e].lower, sides.lower);
    FillSide(r.top, true, sides.upper);
    FillSide(r.bottom, false, sides.lower);
    AddMarks(frame, r.top, r.xtr_top, r.xsep_top, element, true, sides.upper, v.marks);
    AddMarks(frame, r.bottom, r.xtr_bottom, r.xsep_bottom, element, false, sides.lower, v.marks);
  }
  return v;
}

std::vector<ViscousPolarPoint> ComputeViscousPolar(const FactoredPanelProblem& problem,
                                                   const std::vector<double>& angles,
                                                   const ViscousOptions& options,
                                                   const std::function<bool(int, int)>& progress) {
  // The command line's polar: the angles in order, each from its neighbours' start.
  const int total = static_cast<int>(angles.size());
  const std::vector<ViscousResult> results =
      SolveViscousPolar(problem, angles, options, [&progress, total](std::size_t done) {
        return !progress || progress(static_cast<int>(done), total);
      });
  std::vector<ViscousPolarPoint> polar;
  for (std::size_t k = 0; k < results.size(); ++k) {
    const ViscousResult& r = results[k];
    polar.push_back({angles[k], r.cl_viscous, r.cd, LiftToDrag(r), r.converged});
  }
  return polar;
}

ViscousPolarSource ExplorerViscousPolarSource(const ExplorerGeometry& g) {
  ViscousPolarSource source;
  if (g.Ground()) {
    source.ground = g.problem;
  } else {
    source.factored = g.factored;
  }
  return source;
}

std::vector<double> ExplorerViscousPolarAngles(const ExplorerGeometry& g) {
  std::vector<double> angles;
  if (!g.Ground()) {
    for (const PolarPoint& p : g.polar) angles.push_back(p.alpha_degrees);
    return angles;
  }
  const int count = static_cast<int>(
      std::floor((kExplorerAlphaMax - kExplorerAlphaMin) / kExplorerGroundPolarStep + 1e-9) + 1);
  for (int k = 0; k < count; ++k)
    angles.push_back(kExplorerAlphaMin + k * kExplorerGroundPolarStep);
  return angles;
}

std::vector<ViscousPolarPoint> ComputeViscousPolar(const ViscousPolarSource& source,
                                                   const std::vector<double>& angles,
                                                   const ViscousOptions& options,
                                                   const std::function<bool(int, int)>& progress) {
  if (source.factored) {
    return ComputeViscousPolar(*source.factored->Get(), angles, options, progress);
  }
  std::vector<ViscousPolarPoint> polar;
  if (!source.ground) return polar;
  const int total = static_cast<int>(angles.size());
  PolarWarmStart starts;  // each angle from its neighbours' transpiration, as above
  for (int k = 0; k < total; ++k) {
    const double alpha = angles[k];
    // Above a ground the panels turn about the quarter chord: at some angles the ground
    // cuts an element, and the polar goes on past them.
    if (ProblemDefect(*source.ground, alpha).empty()) {
      try {
        const FactoredPanelProblem problem =
            FactorPanelProblem(std::make_shared<const PanelSystem>(*source.ground, alpha), alpha);
        const ViscousResult r = SolveViscousAngle(problem, alpha, options, starts);
        polar.push_back({alpha, r.cl_viscous, r.cd, LiftToDrag(r), r.converged});
      } catch (const RunError&) {
        // A system singular at this angle: no point.
      }
    }
    if (progress && !progress(k + 1, total)) break;
  }
  return polar;
}

std::string ExplorerConditionsLabel(const ViscousOptions& options) {
  return "Re " + NumberText(options.reynolds) + ", Ncrit " + NumberText(options.ncrit);
}

std::string ViscousPolarCsv(const std::string& label, const ViscousOptions& options,
                            const std::vector<ViscousPolarPoint>& polar) {
  std::string csv = "# " + label + ", " + ExplorerConditionsLabel(options) +
                    "\nalpha,cl_viscous,cd,cl_cd,converged\n";
  for (const ViscousPolarPoint& p : polar) {
    AppendShortestNumber(csv, p.alpha_degrees);
    for (const double value : {p.cl_viscous, p.cd, p.cl_cd}) {
      csv += ',';
      AppendShortestNumber(csv, value);
    }
    csv += p.converged ? ",1\n" : ",0\n";
  }
  return csv;
}

}  // namespace velquin
