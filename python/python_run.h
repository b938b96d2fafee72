// The computations behind the Python module `velquin` (python/velquin_module.cpp), on
// plain C++ types: the inputs as a Python caller gives them (bodies by name, coordinate
// files, contours as arrays, several elements with placements and flaps, a ground
// plane), checked with the command line's rules and messages, and solved without
// reports.
//
// A single body without placement, flap or ground, at no more panels than the seed's
// arrays hold (198 with circulation, 199 without), is solved by the seed's arithmetic,
// the functions a batch run and its sweep call (SetUpProblem, Panel_ComputeGeometry,
// InfluCoeff_Fill, Gauss_Factor, InfluCoeff_FreeStream, Gauss_SolveFactored,
// ComputeDerivedResults), so its numbers are the very bits of `velquin2ds --batch` at the
// same inputs. Everything else is the general problem (solver/panel_problem.h), as
// `velquin2ds --batch` runs several elements, placements, flaps and a ground.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/module_common.h"
#include "base/vortex_model.h"
#include "geometry/element_layout.h"
#include "solver/flow_field.h"
#include "solver/panel_problem.h"
#include "solver/run_inputs.h"
#include "viscous/panel_viscous.h"

namespace velquin {

// An input the command line would refuse. kValue: a bad value (Python's ValueError);
// kFile: a file that cannot be read (OSError), kMissingFile one that does not exist.
struct InputError {
  enum class Kind { kValue, kFile, kMissingFile };
  Kind kind = Kind::kValue;
  std::string message;
};

// One element: a body by name, a coordinate file or a contour of points.
struct ElementArguments {
  enum class Kind { kName, kFile, kContour };
  Kind kind = Kind::kName;
  std::string text;          // the name or the path
  std::vector<double> x, y;  // the contour, in any of the orders a coordinate file takes
  std::optional<Placement> placement;
  std::optional<Flap> flap;
};

struct ProblemArguments {
  std::vector<ElementArguments> elements;
  // Panels per element; none: a coordinate file or contour keeps its own points, a body
  // by name takes 160.
  std::optional<double> panels;
  VortexModel vortex = VortexModel::kConstantDistribution;
  double xv = 0.5, yv = 0;
  std::optional<double> ground;
};

// The surface solution at one angle.
struct SurfaceResult {
  bool seed = false;  // solved by the seed's arithmetic
  double alpha_degrees = 0;
  double cl = 0, cl_pressure = 0, cm = 0, source_sum = 0;
  std::optional<double> circle_deviation, cl_exact, exact_deviation;
  // The nodes of every element, 0..n (the last closes the contour), one after the other.
  std::vector<double> x, y;
  // Per panel: control point, signed tangential speed (from the start node towards the
  // end node), pressure coefficient 1 - vt^2, and the element (0-based).
  std::vector<double> xc, yc, vt, cp;
  std::vector<int> element;
  std::vector<std::string> element_names;
  std::vector<double> element_cl, element_cl_pressure;
  std::vector<std::string> warnings;
  std::optional<ViscousResult> viscous;
};

// A state of the seed's arrays from a small pool, returned to it when released.
struct ReturnState {
  void operator()(Module_Common* state) const;
};
using PooledState = std::unique_ptr<Module_Common, ReturnState>;
PooledState CopyState(const Module_Common& from);

// A prepared problem: the inputs checked and the panels laid. The general problem's
// matrix is factored here once (above a ground: per angle); the seed's is assembled and
// eliminated by each Solve and Polar, as a run and a sweep do it.
class PreparedProblem {
 public:
  // Throws InputError for every input the command line refuses, with its message.
  explicit PreparedProblem(const ProblemArguments& given);
  ~PreparedProblem();
  PreparedProblem(const PreparedProblem&) = delete;
  PreparedProblem& operator=(const PreparedProblem&) = delete;

  bool IsSeed() const { return seed_ != nullptr; }
  int PanelCount() const;
  // A circle among the bodies; circulation on every element (what the layers need).
  bool HasCircle() const;
  bool HasCirculation() const;

  // The surface at one angle; with `viscous`, also the viscous analysis (seed only).
  SurfaceResult Solve(double alpha_degrees,
                      const std::optional<ViscousOptions>& viscous = std::nullopt) const;

  // The integrated results at every angle (surfaces not kept): one factorisation.
  struct PolarResult {
    std::vector<double> alpha, cl, cl_pressure, cm, source_sum;
    std::vector<std::vector<double>> element_cl, element_cl_pressure;  // [angle][element]
    std::vector<ViscousResult> viscous;  // empty without the viscous analysis
  };
  PolarResult Polar(const std::vector<double>& alpha_degrees,
                    const std::optional<ViscousOptions>& viscous = std::nullopt) const;

  // The flow field at one angle: a grid over `domain` (none: the default view around the
  // bodies) with nx x ny nodes.
  struct Field {
    FlowGrid grid;
    FlowFrame frame;
    SurfaceResult surface;
    double cos_alfa = 1, sin_alfa = 0;
    std::vector<Contour> contours;              // of the bodies, as the field's panels lie
    FlowBases bases;                            // the two base solutions
    std::shared_ptr<const PanelSystem> system;  // of a general problem, with its solution
    ProblemSolution solution;
    FlowPanels panels;  // of a general problem: the system's panels as the field reads them
  };
  std::unique_ptr<Field> MakeField(double alpha_degrees, const std::optional<FlowDomain>& domain,
                                   int nx, int ny) const;
  // The velocity at a point at the field's angle, as the grid's nodes have it; nothing
  // where the point is singular or inside a body.
  std::optional<FlowVelocity> VelocityAt(const Field& field, double x, double y) const;

 private:
  struct Seed;
  struct General;
  std::unique_ptr<Seed> seed_;
  std::unique_ptr<General> general_;
};

}  // namespace velquin
