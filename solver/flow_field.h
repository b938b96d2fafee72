// The flow field of a solved panel problem: the velocity at any point of the plane, the
// field on a grid, streamlines and the stagnation points of the surface.
//
// Superposition. Every singularity's strength solves a linear system whose matrix does
// not depend on the angle of attack; the right-hand sides (the free stream's normal
// component at every control point and its share of the Kutta-type row) are linear in
// (cos a, sin a). So the strengths at any angle are
//   Q(a) = cos a * Q0 + sin a * Q90,
// Q0 and Q90 the solutions for the free streams (1, 0) and (0, 1), and so is every
// velocity the strengths induce, the free stream included:
//   V(a; x, y) = cos a * V0(x, y) + sin a * V90(x, y).
// The two base fields are computed once per geometry; a new angle costs a combination.
//
// Velocity at a point (x, y) outside the body, for the strengths Q:
//   V = (cos a, sin a) + sum_j Q(j) Vs_j(x, y) + vortex,
// Vs_j the velocity of source panel j at unit strength (the panel kernel, taken into the
// panel's frame and back). The vortex, strength Q(NEq):
//  - point vortex at (Xv, Yv), counter-clockwise positive:
//      (Xv - x, Yv - y) = (rx, ry), r = |(rx, ry)|: Q(NEq) (ry, -rx) / (2 pi r^2);
//  - constant vortex distribution on every panel, clockwise positive: the source field
//    of all panels at unit strength turned a quarter turn clockwise,
//      Q(NEq) (sum_j Vs_j.y, -sum_j Vs_j.x).
// On a control point the panel's own sheet gives its outside limit (normal 1/2 for the
// source, tangential 1/2 for the vortex sheet), as in the assembly. The ends of the panels
// are singular (the velocity of a source sheet's edge grows without bound), and so is the
// point vortex itself.
//
// Everything here reads the solved panels of Module_Common (nodes, control points,
// lengths, direction cosines, panel-local ends, the point-vortex position and the circle
// constants) and nothing else of it.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "base/module_common.h"
#include "base/vortex_model.h"

namespace velquin {

struct FlowVelocity {
  double u = 0;
  double v = 0;
};

// The two base solutions of one geometry: the strengths Q0 (free stream (1, 0)) and Q90
// (free stream (0, 1)), unknown j at index j - 1 (NEq of them: NP sources, then the
// vortex when the model is not kNone).
struct FlowBases {
  VortexModel model = VortexModel::kNone;
  std::vector<double> Q0, Q90;
};

// The strengths at the angle whose cosine and sine are given: cos a Q0 + sin a Q90.
std::vector<double> CombinedStrengths(const FlowBases& bases, double cos_alfa, double sin_alfa);

// Velocities of both base solutions at (x, y). Returns false, and leaves V0, V90 as they
// were, where the point is singular: on an end of a panel or on the point vortex.
bool BaseVelocities(const Module_Common& C, const FlowBases& bases, double x, double y,
                    FlowVelocity& V0, FlowVelocity& V90);

// The velocity at (x, y) at one angle: the combination of the two base velocities.
std::optional<FlowVelocity> VelocityAt(const Module_Common& C, const FlowBases& bases,
                                       double cos_alfa, double sin_alfa, double x, double y);

// The signed tangential speed at the control points of panels 1..NP (index i - 1) for
// both bases: the velocity there along the panel's tangent, from its start to its end
// node. Its absolute value is the surface speed Vt of a run, its square 1 - Cp.
struct BaseSpeeds {
  std::vector<double> Vt0, Vt90;
};
BaseSpeeds ComputeBaseSpeeds(const Module_Common& C, const FlowBases& bases);

// The body's contour as a closed polygon: node i - 1 the start node of panel i.
struct Contour {
  std::vector<double> x, y;
};
Contour PanelContour(const Module_Common& C);

// Even-odd rule: true when (x, y) lies inside the polygon (a point on an edge may fall
// on either side).
bool ContourContains(const Contour& contour, double x, double y);

// A rectangle of the plane.
struct FlowDomain {
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// The default view of a body: twice as wide as high, the body centred, with half a body
// length of free stream before and after it and at least half a length above and below.
FlowDomain DomainAroundBody(const Contour& contour);

// A regular grid of nx x ny nodes over a domain, node (i, j) at
// (xmin + i dx, ymin + j dy), index k = j nx + i, with the two base fields at every
// node outside the body.
//  - inside(k): the node lies inside the body or on a singular point; its velocities are 0.
//  - blocked(c): the cell c = j (nx - 1) + i (nodes (i, j) to (i + 1, j + 1)) has a node
//    inside or is crossed by the contour. An open cell therefore lies wholly outside the
//    body, and the bilinear interpolation of its four nodes is a velocity of the flow.
struct FlowGrid {
  FlowDomain domain;
  int nx = 0, ny = 0;
  double dx = 0, dy = 0;
  std::vector<unsigned char> inside;
  std::vector<unsigned char> blocked;
  std::vector<double> u0, v0, u90, v90;
};

// The base fields of a problem at a point: V0 and V90 as BaseVelocities gives them, false
// where the point is singular.
using BaseVelocityField =
    std::function<bool(double x, double y, FlowVelocity& V0, FlowVelocity& V90)>;

// The default grid of the explorer.
inline constexpr int kFlowGridNx = 161;
inline constexpr int kFlowGridNy = 81;

// The grid with its mask and both base fields: one pass over the panels per node, the
// rows shared out between up to four threads (each node's arithmetic is the same
// whichever thread does it).
FlowGrid MakeFlowGrid(const Module_Common& C, const FlowBases& bases, const Contour& contour,
                      const FlowDomain& domain, int nx = kFlowGridNx, int ny = kFlowGridNy);

// The same grid for any problem: the bodies' contours (a node inside any of them is
// inside) and the base fields from `field`. MakeFlowGrid is this with one contour and
// BaseVelocities.
FlowGrid MakeFlowGrid(const std::vector<Contour>& contours, const FlowDomain& domain, int nx,
                      int ny, const BaseVelocityField& field);

// The field of one angle on the grid nodes: velocity and pressure coefficient
// Cp = 1 - |V|^2 (the free stream has unit speed); 0 at the nodes inside.
struct FlowFrame {
  std::vector<double> u, v, cp;
};
void CombineFlowGrid(const FlowGrid& grid, double cos_alfa, double sin_alfa, FlowFrame& frame);

// The bilinear interpolation of the frame's velocity at (x, y); nothing outside the
// domain or in a blocked cell.
std::optional<FlowVelocity> SampleFlowGrid(const FlowGrid& grid, const FlowFrame& frame, double x,
                                           double y);

// Why a streamline ends.
enum class StreamlineEnd { kDomainEdge, kBody, kStagnation, kStepLimit };

struct Streamline {
  std::vector<double> x, y;  // points along the line, downstream
  StreamlineEnd end = StreamlineEnd::kStepLimit;
};

struct StreamlineOptions {
  int count = 41;                  // lines, seeded evenly across the oncoming stream
  double stagnation_speed = 5e-3;  // a line ends where the speed falls below this
  int max_steps = 1500;            // steps of the integrator per line
};

// Streamlines of the frame, integrated with an adaptive Runge-Kutta method (Dormand-
// Prince 5(4) with dense output) on the interpolated grid field, checked every half
// cell of time and kept every cell. The seeds lie evenly spaced on the upstream edges of the
// domain, on lines parallel to the free stream (cos a, sin a) that are spread evenly across the
// domain. A line ends at the edge of the domain, before a blocked cell (so none enters
// the body), where the speed falls below options.stagnation_speed, or after
// options.max_steps steps.
std::vector<Streamline> TraceStreamlines(const FlowGrid& grid, const FlowFrame& frame,
                                         double cos_alfa, double sin_alfa,
                                         const StreamlineOptions& options = {});

// One streamline from the seed (x, y), traced as TraceStreamlines traces each of its
// lines. A seed outside the domain or in a blocked cell gives the seed alone, ending at
// the domain edge or at the body.
Streamline TraceStreamline(const FlowGrid& grid, const FlowFrame& frame, double x, double y,
                           const StreamlineOptions& options = {});

// A stagnation point of the surface: where the signed tangential speed changes sign
// between two neighbouring control points (the contour closes: the last control point
// neighbours the first across the first node), placed by linear interpolation along the
// contour. attachment: the flow leaves the point on both sides (the front stagnation
// point); otherwise it meets there (the rear one).
struct StagnationPoint {
  double x = 0, y = 0;
  bool attachment = false;
};
std::vector<StagnationPoint> FindSurfaceStagnationPoints(const Module_Common& C,
                                                         const std::vector<double>& Vt);

}  // namespace velquin
