// The flow explorer's boundary layers: what the explorer shows of the viscous analysis
// (viscous/panel_viscous.h) at the current angle and over its polar, without a window.
//
// A geometry's factored problem is made once (LazyFactoredProblem): the seed's single
// section from the very elimination its two base solutions come from, the general
// problem (several elements, a flap, a ground) from its PanelSystem's LU factors. Every
// frame with a Reynolds number is then one SolveViscousAngle on it, the interaction
// passes being further right-hand sides of that matrix, as the batch's viscous sweep
// runs its angles. Every element has its own two layers, from its own stagnation point
// to its own trailing edge. The views get plain arrays and points from here and only
// paint them:
//  - per element and surface, from the leading edge to the trailing edge, the layer's
//    stations (x, H, Cf, N, delta*), the viscous pressure at the control points, and
//    the band of the displacement thickness: the surface and the surface pushed out
//    along its normal by delta*, the line the outer flow sees (true scale);
//  - the marks: transition and the start of a separation that reaches the trailing
//    edge, each with its element, its place on the body and its Cp on the viscous
//    pressure curve of its surface;
//  - the numbers and, where the interaction did not settle, a note saying so.
// Above a ground the panels turn with the angle: a geometry holds one angle, and the
// drag polar factors every angle afresh (ViscousPolarSource).
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "viscous/panel_viscous.h"

namespace velquin {

struct ExplorerGeometry;

// The range where the closures hold, as the command line's --re and --ncrit take them.
inline constexpr double kExplorerReynoldsMin = kLeastReynolds;
inline constexpr double kExplorerReynoldsMax = kMostReynolds;
inline constexpr double kExplorerNcritMin = 0.01;
inline constexpr double kExplorerNcritMax = kMostNcrit;

// The flow conditions the explorer's boundary layers take: no Reynolds number is the
// inviscid flow.
struct ExplorerFlowConditions {
  std::optional<double> reynolds;
  double ncrit = kDefaultNcrit;
  bool operator==(const ExplorerFlowConditions& other) const {
    return reynolds == other.reynolds && ncrit == other.ncrit;
  }
};

// The Reynolds number as typed: empty (blanks only) is the inviscid flow; otherwise a
// number with a point as the separator ("1e6", "3000000") between kExplorerReynoldsMin
// and kExplorerReynoldsMax. `problem` is a plain sentence naming the text when it is
// refused (then `reynolds` is empty and `refused` set).
struct ReynoldsReading {
  std::optional<double> reynolds;
  bool refused = false;
  std::string problem;
};
ReynoldsReading ReadExplorerReynolds(const std::string& text);

// The options of one analysis: the conditions with the command line's defaults for the
// rest (free transition, incompressible). Nothing without a Reynolds number.
std::optional<ViscousOptions> ExplorerViscousOptions(const ExplorerFlowConditions& conditions);

// A geometry's factored problem for the boundary layers, made once, by whichever thread
// asks first (the frame's layers or the drag polar, both off the window's thread); a
// second asker waits for it. The seed's single section hands it over made: its
// elimination is the one its base solutions come from. The general problem hands over
// its PanelSystem, whose LU factors the layers share; what is left to make, the two
// base solutions and the response to the transpiration (np solves up to
// kMaxResponsePanels panels), waits for the first Reynolds number, so an inviscid
// explorer, and a geometry made anew at every angle above a ground, never pays for it.
class LazyFactoredProblem {
 public:
  explicit LazyFactoredProblem(std::shared_ptr<const FactoredPanelProblem> made);
  // Above a ground, `alpha_degrees` is the angle the system was built for.
  LazyFactoredProblem(std::shared_ptr<const PanelSystem> system, double alpha_degrees);
  LazyFactoredProblem(const LazyFactoredProblem&) = delete;
  LazyFactoredProblem& operator=(const LazyFactoredProblem&) = delete;

  // The problem, made on the first call. Throws RunError where FactorPanelProblem does.
  std::shared_ptr<const FactoredPanelProblem> Get() const;

 private:
  mutable std::mutex mutex_;
  mutable std::shared_ptr<const FactoredPanelProblem> made_;
  std::shared_ptr<const PanelSystem> system_;
  double alpha_degrees_ = 0;
};

// Why this geometry has no boundary layer in the explorer, empty when it can have one:
// no circulation, a circle among its elements (no trailing edge to leave from).
std::string ExplorerViscousUnavailable(const ExplorerGeometry& geometry);

// One surface of the frame, from the leading edge to the trailing edge.
struct ExplorerLayerSide {
  std::vector<double> x, h, cf, n, dstar;  // the layer's stations (stagnation point aft)
  // The band of the displacement thickness: the surface (stations) and its displaced
  // line; both from the stagnation point to the trailing edge.
  std::vector<double> surface_x, surface_y, edge_x, edge_y;
  std::vector<double> cp_x,
      cp;  // the viscous pressure at the control points, from the leading edge
};

// The two surfaces of one element.
struct ExplorerElementLayers {
  ExplorerLayerSide upper, lower;
};

struct ExplorerLayerMark {
  int element = 0;  // from 0, in the problem's order
  bool upper = true;
  bool separation = false;  // else transition
  double x = 0, y = 0;      // on the body
  double cp = 0;            // on the viscous pressure curve of its surface
};

struct ExplorerViscousFrame {
  ViscousOptions options;
  ViscousResult result;
  double cl_cd = 0;  // 0 where the drag is not positive (of the whole problem)
  std::vector<ExplorerElementLayers> elements;  // every element's, in the problem's order
  std::vector<ExplorerLayerMark> marks;         // of every element
  std::string note;                             // empty when the interaction converged
};

// The boundary layers at an angle (degrees), for a frame's `viscous`: nothing when there
// are no options or the geometry cannot have them (ExplorerViscousUnavailable), or when
// the solve fails. Reads the geometry only, so that it may run beside
// ComputeExplorerFrame on another thread.
std::optional<ExplorerViscousFrame> ComputeExplorerViscous(
    const ExplorerGeometry& geometry, double alpha_degrees,
    const std::optional<ViscousOptions>& options);

// The note shown where the interaction did not settle, empty when it did.
std::string ExplorerViscousNote(const ViscousResult& result);

// One angle of the viscous polar.
struct ViscousPolarPoint {
  double alpha_degrees = 0;
  double cl_viscous = 0, cd = 0, cl_cd = 0;
  bool converged = false;
};

// The viscous polar at the given angles on the factored matrix, the command line's
// (SolveViscousPolar: the angles in order, each started from its neighbours'
// transpiration, so a point may differ slightly from the frame at that angle, which
// starts cold, where the layers have two solutions). `progress(done, total)` is called
// after every angle; when it returns false the computation stops and the points so far
// are returned.
std::vector<ViscousPolarPoint> ComputeViscousPolar(const FactoredPanelProblem& problem,
                                                   const std::vector<double>& angles,
                                                   const ViscousOptions& options,
                                                   const std::function<bool(int, int)>& progress);

// What a geometry's viscous polar is computed from, shared with the thread computing
// it: the factored problem, the same at every angle; above a ground, where the panels
// turn with the angle, the problem laid out, assembled and factored afresh at every
// angle. Two geometries of one problem above a ground (one per angle) have the same
// source, so that their polar is computed once.
struct ViscousPolarSource {
  std::shared_ptr<const LazyFactoredProblem> factored;  // without a ground
  std::shared_ptr<const PanelProblem> ground;           // above a ground
  bool operator==(const ViscousPolarSource& other) const {
    return factored == other.factored && ground == other.ground;
  }
  bool operator!=(const ViscousPolarSource& other) const { return !(*this == other); }
};
ViscousPolarSource ExplorerViscousPolarSource(const ExplorerGeometry& geometry);

// The angles of the viscous polar: those of the inviscid polar; above a ground, the
// explorer's range kExplorerGroundPolarStep degrees apart.
std::vector<double> ExplorerViscousPolarAngles(const ExplorerGeometry& geometry);

// The viscous polar from its source. Above a ground an angle where the ground cuts an
// element, or whose system cannot be solved, is left out.
std::vector<ViscousPolarPoint> ComputeViscousPolar(const ViscousPolarSource& source,
                                                   const std::vector<double>& angles,
                                                   const ViscousOptions& options,
                                                   const std::function<bool(int, int)>& progress);

// A viscous polar as CSV: a comment line naming the inputs and the conditions, then
// "alpha,cl_viscous,cd,cl_cd,converged", one angle a line.
std::string ViscousPolarCsv(const std::string& label, const ViscousOptions& options,
                            const std::vector<ViscousPolarPoint>& polar);

// "Re 1e+06, Ncrit 9" for titles.
std::string ExplorerConditionsLabel(const ViscousOptions& options);

}  // namespace velquin
