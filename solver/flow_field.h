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
// Several elements. Every element has its own sources and, if it carries circulation, its
// own vortex: a sheet over its own panels or the point vortex, unknown np + k for the
// k-th element with circulation (the order of solver/influence.h).
//
// A ground plane y = ground_y is made by images, as in the assembly: every source panel
// has a mirror image of the same strength, every vortex one of the opposite strength,
// under the mirror M(x, y) = (x, 2 ground_y - y). An image's field at p is M F(M p), F
// the field of the original; the vortex's opposite strength turns this into M F(M p)
// with the sign of F's rotated part flipped. Points below the ground are not in the flow.
//
// Everything here reads the panels through a FlowPanels: the seed's fixed arrays of
// Module_Common (one element) and the general problem's own arrays alike.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "base/module_common.h"
#include "base/vortex_model.h"
#include "solver/influence.h"

namespace velquin {

struct FlowVelocity {
  double u = 0;
  double v = 0;
};

// The solved panels as the flow field reads them: the panels, elements, point vortex,
// ground and circle constants of the assembly, and the start node of every panel
// (index 1..np, 0 unused) for the contours.
struct FlowPanels {
  InfluenceSetup setup;
  const double* X1 = nullptr;
  const double* Y1 = nullptr;
};

// The seed's single element in the fixed arrays of C, with this vortex model.
FlowPanels SeedFlowPanels(const Module_Common& C, VortexModel model);

// The two base solutions of one geometry: the strengths Q0 (free stream (1, 0)) and Q90
// (free stream (0, 1)), unknown j at index j - 1 (NEq of them: NP sources, then one
// vortex for every element with circulation). `model` is the seed's vortex model (the
// general problem gives every element its own in FlowPanels).
struct FlowBases {
  VortexModel model = VortexModel::kNone;
  std::vector<double> Q0, Q90;
};

// The strengths at the angle whose cosine and sine are given: cos a Q0 + sin a Q90.
std::vector<double> CombinedStrengths(const FlowBases& bases, double cos_alfa, double sin_alfa);

// Velocities of both base solutions at (x, y). Returns false, and leaves V0, V90 as they
// were, where the point is singular: on an end of a panel or on the point vortex.
bool BaseVelocities(const FlowPanels& panels, const FlowBases& bases, double x, double y,
                    FlowVelocity& V0, FlowVelocity& V90);
bool BaseVelocities(const Module_Common& C, const FlowBases& bases, double x, double y,
                    FlowVelocity& V0, FlowVelocity& V90);

// The velocity at (x, y) at one angle: the combination of the two base velocities.
std::optional<FlowVelocity> VelocityAt(const FlowPanels& panels, const FlowBases& bases,
                                       double cos_alfa, double sin_alfa, double x, double y);
std::optional<FlowVelocity> VelocityAt(const Module_Common& C, const FlowBases& bases,
                                       double cos_alfa, double sin_alfa, double x, double y);

// The velocity of unit source panel j (1..np) at the local point (x, y) of its frame (the
// tangent and normal through its control point), in that frame. Far from the panel
// (more than three panel lengths from its middle) the logarithm and arctangent of the
// kernel are replaced by their series in the complex distance z from the middle,
//   u - i v = (1 / pi) (h / z) (1 + a / 3 + a^2 / 5 + a^3 / 7 + a^4 / 9),
// h the panel's half length, a = (h / z)^2, |a| <= 1/36: the first term left out is
// below 3e-9 of the panel's velocity. Close to it, the exact kernel. Returns false on an
// end of the panel.
bool FarFieldSourceVelocity(const InfluenceSetup& setup, int j, double x, double y, double& u,
                            double& v);

// The velocity, global components, of unit source panel j at (x, y) (the series far
// from the panel), and of a unit point vortex at (Xv, Yv), counter-clockwise positive.
// False on an end of the panel, on the vortex.
bool UnitPanelVelocity(const InfluenceSetup& setup, int j, double x, double y, double& U,
                       double& V);
bool UnitPointVortexVelocity(const InfluenceSetup& setup, double x, double y, double& U, double& V);

// The signed tangential speed at the control points of panels 1..NP (index i - 1) for
// both bases: the velocity there along the panel's tangent, from its start to its end
// node. Its absolute value is the surface speed Vt of a run, its square 1 - Cp.
struct BaseSpeeds {
  std::vector<double> Vt0, Vt90;
};
BaseSpeeds ComputeBaseSpeeds(const FlowPanels& panels, const FlowBases& bases);
BaseSpeeds ComputeBaseSpeeds(const Module_Common& C, const FlowBases& bases);

// The body's contour as a closed polygon: node i - 1 the start node of panel i.
struct Contour {
  std::vector<double> x, y;
};
Contour PanelContour(const Module_Common& C);
// The contour of every element, in the order of the elements.
std::vector<Contour> ElementContours(const FlowPanels& panels);
// True when (x, y) lies inside any of the contours.
bool ContoursContain(const std::vector<Contour>& contours, double x, double y);

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
// The same around all the elements, and, where there is a ground plane not far below
// them, down to a little below the ground.
FlowDomain DomainAroundElements(const std::vector<Contour>& contours,
                                std::optional<double> ground_y = std::nullopt);

// A regular grid of nx x ny nodes over a domain, node (i, j) at
// (xmin + i dx, ymin + j dy), index k = j nx + i, with the two base fields at every
// node outside the body.
//  - inside(k): the node lies inside an element, below the ground or on a singular point;
//    its velocities are 0.
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

// The default grid of the explorer.
inline constexpr int kFlowGridNx = 161;
inline constexpr int kFlowGridNy = 81;

// The grid with its mask and both base fields: every node sums the panels through a
// tree of panel clusters (solver/panel_tree.h: a cluster's expansion where the node is
// far from it, the panels one by one, with FarFieldSourceVelocity, where it is near),
// the rows shared out between up to four threads (each node's arithmetic is the same
// whichever thread does it). A cell is blocked where any element's contour passes (so a
// slot between two elements stays open wherever it is wider than a cell).
struct PanelTree;
// `tree`: the panels' tree when the caller has built it (BuildPanelTree), else null.
FlowGrid MakeFlowGrid(const FlowPanels& panels, const FlowBases& bases,
                      const std::vector<Contour>& contours, const FlowDomain& domain,
                      int nx = kFlowGridNx, int ny = kFlowGridNy, const PanelTree* tree = nullptr);
FlowGrid MakeFlowGrid(const Module_Common& C, const FlowBases& bases, const Contour& contour,
                      const FlowDomain& domain, int nx = kFlowGridNx, int ny = kFlowGridNy);

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
// between two neighbouring control points of an element (its contour closes: its last
// control point neighbours its first across its first node), placed by linear interpolation along
// the contour. attachment: the flow leaves the point on both sides (the front stagnation point);
// otherwise it meets there (the rear one).
struct StagnationPoint {
  double x = 0, y = 0;
  bool attachment = false;
  int element = 0;  // from 0, in the order of the elements
};
std::vector<StagnationPoint> FindSurfaceStagnationPoints(const FlowPanels& panels,
                                                         const std::vector<double>& Vt);
std::vector<StagnationPoint> FindSurfaceStagnationPoints(const Module_Common& C,
                                                         const std::vector<double>& Vt);

}  // namespace velquin
