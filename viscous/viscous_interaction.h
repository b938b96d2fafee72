// Viscous-inviscid interaction by transpiration: the boundary layers displace the outer
// flow as if the surface blew out the mass flow their velocity defect lacks,
//   vn = d(ue delta*)/ds          (outward normal velocity at the surface),
// so the panel problem is solved again with vn added to each control point's
// right-hand side, the layers are marched again on the new speeds, and so on.
//
// The iteration looks for the fixed point vn = G(vn) of "speeds from vn, layers marched
// on them, vn demanded by the layers"; with ue prescribed the plain iteration is
// unstable where the layer is thick and sensitive (near separation, in a bubble), so:
//  - each pass takes Anderson's mixing of the last mixing_depth passes, damped by
//    `relaxation` (AndersonMixing in the .cpp): a multisecant step that cancels the
//    oscillation of the sensitive stations; its history is dropped when the residual
//    grows restart_growth-fold or the mixed step is far longer than the damped one;
//  - delta* is taken as theta min(H, cap) with the cap of the layer's regime, so that a
//    laminar bubble or a separating turbulent layer cannot blow a jet into the outer
//    flow;
//  - downstream of transition delta* is at least its laminar value at the transition
//    point, with the laminar cap: where the laminar layer ends in a bubble the turbulent
//    layer starts thinner in delta*, and a step down in ue delta* would be a spurious
//    sink;
//  - vn is bounded by kMaxTranspiration;
//  - the passes end when the transpiration the layers ask for would hardly move the
//    outer flow: the speeds of G(vn) differ from the present ones by less than
//    `tolerance` (rms over the arc length) and `max_change` (largest), and the lift
//    cl = 2 Gamma by less than lift_tolerance; or after max_passes (then not converged).
//    The change between passes is no test: a small damped or mixed step can stall far
//    from the fixed point.
// Converged also requires both marches to be sound and no separated region longer than
// kMaxSeparatedLength of chord at either trailing edge: beyond that a direct integral
// method is outside its range and the numbers only flag stall.
#pragma once

#include <functional>
#include <vector>

#include "viscous/section_boundary_layer.h"

namespace velquin {

inline constexpr double kMaxSeparatedLength = 0.1;
// The largest transpiration speed (free-stream units) a pass may blow or suck: far above
// any attached layer's (a few hundredths), it only stops a diverging pass from feeding
// ever larger speeds into the next.
inline constexpr double kMaxTranspiration = 0.5;

// Solves the panel problem with the outward transpiration velocity `vn[k]` at control
// point k and writes the signed surface speeds (see section_boundary_layer.h). Returns
// false when it cannot (the interaction then stops, not converged).
using TranspirationSolve =
    std::function<bool(const std::vector<double>& vn, std::vector<double>& signed_speed)>;

struct InteractionOptions {
  SectionOptions section;
  int max_passes = 12;
  double relaxation = 0.3;
  int mixing_depth = 4;          // passes Anderson's mixing remembers; 0: plain relaxation
  double restart_growth = 3;     // residual growth that restarts the mixing's history
  double tolerance = 1e-3;       // rms over the arc length of the change of ue G(vn) would give
  double max_change = 0.02;      // and its largest change
  double lift_tolerance = 1e-3;  // and the change of cl = 2 Gamma
  // Caps on H in the transpiration: the separation values of each regime. Beyond them
  // the direct march's H only flags separation; with the earlier caps of 4 and 2.5 the
  // passes followed its flicker at the trailing edge (a polar of NACA 2412 at Re 1e6 took
  // 359 passes instead of 299, and the drag of the XFOIL points was 3.6 % off at the
  // median instead of 3.1 %).
  double laminar_shape_cap = kLaminarSeparationShape;
  double turbulent_shape_cap = kTurbulentSeparationShape;
  // A warm start: the passes begin from this transpiration (one value per control
  // point) instead of from zero, the inviscid flow. Meant for a polar run in order, from
  // the converged transpiration of the angle before, or better its linear extrapolation
  // from the two angles before (2 vn(a - da) - vn(a - 2 da)): at Re 1e6 the passes of
  // NACA 2412's polar from -4 to 10 degrees fall from 288 to 215, those of the angles
  // from 6 to 10 degrees from 10 to 30 each to 4 to 12. Empty, or of another size than
  // the panel count: the cold start. The result then depends on the start where the
  // layers allow more than one solution within the tolerances (NACA 2412 at 4 degrees, Re
  // 1e6: cl 0.667 from cold, 0.678 from 3.5 degrees), as XFOIL's polars depend on their
  // order.
  std::vector<double> initial_transpiration;
  // A warm start that has not settled after this many passes (the start lay on another
  // branch of the layers: a separation or a bubble that the angle step removed) starts
  // again from zero, with max_passes more.
  int warm_start_passes = 15;
};

// One element of the problem as the interaction sees it: its panels in its own frame
// (the leading edge at the origin, the trailing edge at (1, 0), so that chord fractions
// are x), where they start in the problem's order of panels (0-based), and its chord in
// reference lengths. The layers of an element grow on its own chord: its Reynolds number
// is the reference one times the chord, and its lengths count in chords; the
// transpiration d(ue delta*)/ds does not depend on the unit.
struct InteractionElement {
  SectionPanels panels;
  int first = 0;
  double chord = 1;
};

struct InteractionResult {
  std::vector<SectionBoundaryLayer> layers;  // per element, on the final speeds
  std::vector<double> signed_speed;          // the final solution's signed surface speeds
  std::vector<double> transpiration;         // the vn of the final solution
  bool converged = false;
  int passes = 0;
  double last_change = 0;
};

// The outward transpiration velocity at every control point of the problem from the
// layers of every element: central differences of ue delta* over the stations of each
// side (ue delta* = 0 at the stagnation point), with the caps and the transition floor
// described above. Panels that belong to no side get 0.
std::vector<double> TranspirationVelocity(const std::vector<InteractionElement>& elements,
                                          const std::vector<SectionBoundaryLayer>& layers,
                                          int panel_count, const InteractionOptions& options);

// The layers of every element on the signed speeds of the whole problem.
std::vector<SectionBoundaryLayer> AnalyseElementLayers(
    const std::vector<InteractionElement>& elements, const std::vector<double>& signed_speed,
    const SectionOptions& options);

// The interaction from the inviscid signed speeds (the solution with vn = 0). The
// forced transition of options.section holds on every element, as a fraction of its
// chord.
InteractionResult RunViscousInteraction(const std::vector<InteractionElement>& elements,
                                        const std::vector<double>& inviscid_signed_speed,
                                        const TranspirationSolve& solve,
                                        const InteractionOptions& options);

// The warm starts of a polar run in order (InteractionOptions::initial_transpiration):
// the transpiration of the next angle extrapolated linearly in the angle from the last
// two settled ones, at most one of their steps ahead; from the last one alone while there
// is only one; none after an angle that did not settle (its layers may lie anywhere).
class PolarWarmStart {
 public:
  // The start for the angle alpha (degrees); empty: the cold start.
  std::vector<double> StartFor(double alpha) const;
  // The outcome of the angle alpha.
  void Record(double alpha, bool converged, const std::vector<double>& transpiration);

 private:
  struct Settled {
    double alpha = 0;
    std::vector<double> vn;
  };
  std::vector<Settled> last_;  // at most two, the older first
};

}  // namespace velquin
