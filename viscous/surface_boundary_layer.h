// The boundary layer of one surface, marched from the stagnation point to the trailing
// edge on a given edge speed ue(s): an integral method in direct mode (ue prescribed).
//
// Laminar part: two equations, momentum and kinetic energy, with theta and H as the
// unknowns (Drela & Giles 1987 closures, viscous/boundary_layer_closures.h):
//   d theta/ds = Cf/2 - (H + 2) theta/ue due/ds,
//   theta dH*/ds = 2 CD - H* Cf/2 + H* (H - 1) theta/ue due/ds,
// dH/ds = (dH*/ds) / (dH*/dH). The attached branch has dH*/dH < 0 and ends at the
// minimum of H* (Goldstein's singularity: no direct solution exists beyond it). So that
// the march goes on through a laminar separation bubble, the slope is held at no more
// than -kLaminarSlopeFloor there: H then keeps rising while the pressure rises, up to
// kLaminarMaxShape, and the amplification of the separated layer brings transition.
//
// Start: the Hiemenz stagnation-point flow, ue = a s with a = ue0/s0 from the first
// station: theta = 0.29234 sqrt(nu/a), H = 2.2162 (nu = 1/Re).
//
// Transition: e^N envelope, dN/ds from AmplificationRate, at the first point where
// N reaches Ncrit or, earlier, where the surface passes the forced-transition x going
// aft (a trip). The point is found by linear interpolation inside the interval and the
// laminar equations are integrated to it exactly.
//
// Turbulent part: Head's entrainment method with Ludwieg-Tillmann skin friction:
//   d theta/ds = Cf/2 - (H + 2) theta/ue due/ds,
//   d(ue theta H1)/ds = ue F(H1),
// started at transition with theta and delta* continuous (H kept, at most
// kTurbulentStartMaxShape): the turbulent layer takes over the laminar layer's
// displacement and entrains its way down to its own equilibrium shape within a few
// per cent of chord, as the real transition region does.
//
// Each interval between stations (ue linear on it) is integrated with the classical
// fourth-order Runge-Kutta method (Boost.Odeint) in substeps over which ue changes by
// equal ratios, their number set by the interval's length in momentum thicknesses and by
// the change of ue. H is kept in [kMinShape, max] of its regime.
//
// Separation: a direct march cannot follow a separated layer back to reattachment. Once
// the turbulent layer separates (H > kTurbulentSeparationShape) it stays separated to the
// trailing edge with H held at that value; once the laminar layer separates against a
// rising pressure it stays separated (H at least kLaminarSeparationShape) until
// transition, after which the turbulent layer may close the bubble.
//
// A step that gives anything not finite ends the march: the stations after it keep the
// last good layer and are flagged separated, and `march_failed` is set, so no output is
// ever NaN.
#pragma once

#include <limits>
#include <vector>

namespace velquin {

inline constexpr double kDefaultNcrit = 9;
inline constexpr double kLaminarSeparationShape = 3.83;   // where the laminar Cf changes sign
inline constexpr double kTurbulentSeparationShape = 2.4;  // Head's method: separated beyond
inline constexpr double kTurbulentStartMaxShape = 2.2;
inline constexpr double kLaminarMaxShape = 7;
inline constexpr double kTurbulentMaxShape = 3;
inline constexpr double kLaminarSlopeFloor = 0.01;
inline constexpr double kHiemenzTheta = 0.29234;  // theta sqrt(a/nu)
inline constexpr double kHiemenzShape = 2.2162;

struct BoundaryLayerOptions {
  double reynolds = 1e6;  // on the chord and the free-stream speed
  double ncrit = kDefaultNcrit;
  // A trip: transition where x first reaches this value going aft, if not earlier.
  double forced_transition_x = std::numeric_limits<double>::infinity();
};

// The stations of one surface, from the stagnation point (s = 0, not a station) to the
// trailing edge: arc length s (increasing, s[0] > 0), position (x, y) and edge speed
// ue >= 0 in free-stream units, chord 1.
struct SurfaceStations {
  std::vector<double> s, x, y, ue;
};

struct BoundaryLayerStation {
  double s = 0, x = 0, y = 0, ue = 0;
  double dstar = 0, theta = 0, h = 0, cf = 0;
  double n = 0;  // amplification exponent; frozen at its transition value downstream
  bool turbulent = false;
  bool separated = false;  // H beyond the separation value of its regime
};

struct SurfaceBoundaryLayer {
  std::vector<BoundaryLayerStation> stations;
  int transition_index = -1;  // the first turbulent station; -1 when laminar to the end
  bool transition_forced = false;
  double transition_x = 1;  // x of the transition point; the last station's x if none
  double transition_s = 0;
  // The laminar layer at the transition point (delta* there), the floor of the
  // displacement thickness downstream for the transpiration (viscous_interaction.h).
  double transition_dstar = 0;
  double transition_theta = 0;  // and its momentum thickness
  // x where the separated flow that reaches the trailing edge begins; the last
  // station's x when the layer is attached there (a closed laminar bubble does not count).
  double separation_x = 1;
  bool march_failed = false;
};

// Marches the stations. Fewer than two stations, or a Reynolds number that is not a
// positive finite number, give a layer with march_failed set and no stations.
SurfaceBoundaryLayer MarchBoundaryLayer(const SurfaceStations& stations,
                                        const BoundaryLayerOptions& options);

}  // namespace velquin
