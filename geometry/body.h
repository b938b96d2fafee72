// The body of a run: the contour procedure that places its nodes, the rules its panel
// count must meet, the factor at which the plots draw it and, where one is known, the
// exact potential flow past it.
//
// Every contour runs clockwise from its trailing edge (the first node, at
// (RefLength, 0) for the built-in bodies), along the lower side first, so that the
// left-hand normal of every panel points out of the body. Lengths are in units of
// RefLength = 1: the chord of a section, the diameter of the circle.
//
// A new body is one new class in geometry/ plus one line in the name table of
// geometry/body_names.cpp.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/module_common.h"
#include "base/vortex_model.h"

namespace velquin {

// What the exact solution of a body depends on besides its panels.
struct FlowConditions {
  double cos_alfa = 1, sin_alfa = 0;  // free-stream direction, unit speed
  VortexModel vortex = VortexModel::kNone;
  double Xv = 0, Yv = 0;  // point-vortex position
};

// An exact answer to compare the panel solution with.
struct ExactSolution {
  enum class Kind {
    // The exact answer of the discrete problem itself (the circle with the centred
    // point vortex): any deviation beyond rounding means the solution is unsound.
    kDiscrete,
    // The exact potential flow past the true contour: the deviation is the method's
    // discretisation error.
    kContinuous,
  };
  Kind kind = Kind::kContinuous;
  std::optional<double> cl;          // exact lift coefficient, where it is defined
  std::optional<double> cm;          // exact quarter-chord moment, nose-up positive
  std::vector<double> one_minus_cp;  // exact 1 - Cp for panels 1..NP (element i - 1)
};

// A point of a contour.
struct ContourPoint {
  double x = 0, y = 0;
};

// A point of the true contour (lengths in units of RefLength) and the exact pressure
// coefficient of the potential flow there.
struct ExactSurfacePoint {
  double x = 0, y = 0, cp = 0;
};

class Body {
 public:
  virtual ~Body() = default;

  // The body as the status line and messages name it: "Circle", "NACA 0012".
  virtual std::string Name() const = 0;

  // Why NP panels cannot be laid on this body (e.g. an odd count on a section whose
  // halves mirror each other), empty when they can. NP is already a whole number
  // within the capacity of the arrays.
  virtual std::string PanelCountProblem(double NP) const {
    (void)NP;
    return {};
  }

  // The contour procedure: sets RefLength and the nodes X(1..2, 0..NP), Y(1..2, 0..NP)
  // of panels 1..C.NP (X(2, 0), Y(2, 0) the first node).
  virtual void Contour(Module_Common& C) const = 0;

  // The nodes 0..NP of the contour at NP panels, exactly as the contour procedure places
  // them (node 0 the first node, node NP the one that closes the contour), at any panel
  // count: the general problem lays its panels on them.
  virtual std::vector<ContourPoint> ContourNodes(double NP) const = 0;

  // Body lengths times PlotScale() / RefLength are the coordinates of the body and
  // pressure plots, whose frame spans x from -0.1 to 1.1 and y from -0.3 to 0.3.
  virtual double PlotScale() const { return 1; }

  // A body given by its own points has a panel count of its own, used when none is
  // asked for. Empty for bodies that take any count.
  virtual std::optional<int> OwnPanelCount() const { return std::nullopt; }

  // The exact solution at the panels of C (filled by Contour and the panel geometry)
  // under the given flow, or nothing where none is known.
  virtual std::optional<ExactSolution> Exact(const Module_Common& C,
                                             const FlowConditions& flow) const {
    (void)C;
    (void)flow;
    return std::nullopt;
  }

  // The exact pressure coefficient of the continuous potential flow along the true
  // contour, `points` points from the trailing edge over the upper surface and back
  // along the lower, for drawing as a smooth curve; empty where no closed form is known.
  // Either vortex model stands for the circulation the Kutta condition fixes (the flow
  // outside a closed body depends only on the total circulation), none for the flow
  // without circulation.
  virtual std::vector<ExactSurfacePoint> ExactSurface(const FlowConditions& flow,
                                                      int points) const {
    (void)flow;
    (void)points;
    return {};
  }
};

using BodyPtr = std::shared_ptr<const Body>;

// The refusal of an odd panel count by a section whose halves mirror each other's node
// placement ("the NACA 0012 section needs an even number of panels ..."); empty for an
// even count.
std::string EvenPanelCountProblem(const std::string& section_name, double NP);

// A section's contour encloses no area when twice its area is at most this share of the
// square of its reach (its largest distance from the trailing edge). Such a contour has
// no sense of turning that the rounding of its coordinates could not flip, and its two
// sides lie so close that their panels cannot be told apart; any real section encloses
// far more. Coordinate files and Karman-Trefftz sections alike are refused below it.
inline constexpr double kNoAreaShare = 1e-9;

// The two bodies of the window's Frame1.
BodyPtr CircleBody();
BodyPtr Naca0012Body();

// The factor from body lengths to plot coordinates: PlotScale() / RefLength. A zero
// RefLength throws RunError(kDivisionByZero).
double BodyDrawScale(const Body& body, double RefLength);

// The plot scale of a body of unit reference length that reaches from x = 0 to
// largest_x and has no point further than largest_ordinate from the x axis: 1 where it
// fits between y = -0.25 and 0.25 (the ends of the plot's y axis line) and x = 1.05,
// otherwise the largest scale at which it does. The circle's 0.5 is this rule's value
// for its ordinate 0.5.
double PlotScaleForExtent(double largest_x, double largest_ordinate);

}  // namespace velquin
