#include "viscous/surface_boundary_layer.h"

#include <algorithm>
#include <array>
#include <boost/numeric/odeint/stepper/runge_kutta4.hpp>
#include <cmath>
#include <type_traits>

#include "viscous/boundary_layer_closures.h"

namespace velquin {
namespace {

using State = std::array<double, 3>;  // theta, H, N

constexpr double kMinEdgeSpeed = 1e-4;  // keeps theta/ue finite next to the stagnation point
constexpr double kMinTheta = 1e-12;
// The largest momentum thickness (chord fractions). Where the flow has separated and the
// edge speed runs down towards zero (a second stagnation point past stall), the momentum
// equation grows theta like ue^-(H + 2), without bound: by 1e15 at Re 2e5 and 20 degrees.
// Such a layer is far outside the method and only flags stall; the cap keeps its drag and
// transpiration of the order of the chord.
constexpr double kMaxTheta = 0.1;
constexpr double kLaminarMinShape = 1.5;
constexpr double kTurbulentMinShape = 1.2;  // H1 is singular at H = 1.1
// A substep spans at most kThetasPerSubstep momentum thicknesses in the turbulent layer
// (the relaxation length of its H is a few tens of them, which classical Runge-Kutta
// follows at 20: against 10 the drag of the 61 XFOIL points moved by at most 1.2 %, for a
// quarter less time an angle) and kLaminarThetasPerSubstep in
// the laminar one (whose H relaxes over a length of order Re_theta theta, hundreds of
// them), and changes ln ue by at most kLogSpeedPerSubstep (next to the
// stagnation point the acceleration term (H + 2) theta/ue due/ds makes the equations
// stiff: an explicit step must resolve the growth of ue).
constexpr double kThetasPerSubstep = 20;
constexpr double kLaminarThetasPerSubstep = 100;
constexpr double kLogSpeedPerSubstep = 0.05;
constexpr int kMaxSubsteps = 400;
constexpr double kStartMoveRatio = 0.25;

// The edge speed on one interval: linear from (s0, ue0) with the interval's slope.
struct Edge {
  double s0 = 0, ue0 = 0, slope = 0;
  double At(double s) const { return std::max(ue0 + slope * (s - s0), kMinEdgeSpeed); }
};

double Clamp(double v, double lo, double hi) {
  return std::min(std::max(v, lo), hi);
}

// Shape-factor rate that stops at the ends of the allowed range.
double Limited(double dh, double h, double lo, double hi) {
  if ((h >= hi && dh > 0) || (h <= lo && dh < 0)) return 0;
  return dh;
}

struct LaminarRates {
  const Edge& edge;
  double reynolds;
  // The lowest H: kLaminarSeparationShape once the layer has separated (see the march).
  double min_shape = kLaminarMinShape;
  void operator()(const State& y, State& dyds, double s) const {
    const double ue = edge.At(s);
    const double theta = std::max(y[0], kMinTheta);
    const double h = Clamp(y[1], min_shape, kLaminarMaxShape);
    const double re_theta = std::max(reynolds * ue * theta, 1e-3);
    const double half_cf = LaminarFrictionProduct(h) / (2 * re_theta);
    const double hs = LaminarEnergyShape(h);
    const double two_cd = LaminarDissipationProduct(h) * hs / re_theta;
    const double k = theta * edge.slope / ue;
    dyds[0] = half_cf - (h + 2) * k;
    const double dhs = (two_cd - hs * half_cf + hs * (h - 1) * k) / theta;
    const double slope = std::min(LaminarEnergyShapeSlope(h), -kLaminarSlopeFloor);
    dyds[1] = Limited(dhs / slope, y[1], min_shape, kLaminarMaxShape);
    dyds[2] = 0;  // N does not act on theta and H: integrated apart (Integrate)
  }
  // dN/ds of the layer y at s.
  double Amplification(const State& y, double s) const {
    const double theta = std::max(y[0], kMinTheta);
    const double h = Clamp(y[1], kLaminarMinShape, kLaminarMaxShape);
    return AmplificationRate(h, theta, std::max(reynolds * edge.At(s) * theta, 1e-3));
  }
};

struct TurbulentRates {
  const Edge& edge;
  double reynolds;
  // The lowest H: kTurbulentSeparationShape once the layer has separated (see the march).
  double min_shape = kTurbulentMinShape;
  double max_shape = kTurbulentMaxShape;
  void operator()(const State& y, State& dyds, double s) const {
    const double ue = edge.At(s);
    const double theta = std::max(y[0], kMinTheta);
    const double h = Clamp(y[1], min_shape, max_shape);
    const double re_theta = std::max(reynolds * ue * theta, 10.0);
    const double cf = LudwiegTillmannFriction(h, re_theta);
    const double k = theta * edge.slope / ue;
    dyds[0] = cf / 2 - (h + 2) * k;
    double h1_slope = 0;
    const double h1 = HeadShapeAndSlope(h, h1_slope);
    const double dh1 = (HeadEntrainment(h1) - h1 * k - h1 * dyds[0]) / theta;
    dyds[1] = Limited(dh1 / h1_slope, y[1], min_shape, max_shape);
    dyds[2] = 0;
  }
};

bool Finite(const State& y) {
  return std::isfinite(y[0]) && std::isfinite(y[1]) && std::isfinite(y[2]) && y[0] > 0;
}

// Integrates from s0 to s1 in RK4 substeps; false if the state stops being finite.
//
// The substeps divide the interval so that ue changes by the same ratio over each
// (ue is linear on the interval, so the substeps grow with ue): where ue rises steeply
// from the stagnation point, equal substeps sized for the smallest ue spent most of the
// laminar march's steps on the end of the interval where ue is already large. Their
// number keeps the change of ln ue within kLogSpeedPerSubstep and the longest substep
// within its regime's number of momentum thicknesses.
template <typename Rates>
bool Integrate(const Rates& rates, double s0, double s1, bool turbulent, State& y) {
  if (!(s1 > s0)) return true;
  const double u0 = rates.edge.At(s0), u1 = rates.edge.At(s1);
  const double log_ratio = std::log(u1 / u0);
  const double longest = (turbulent ? kThetasPerSubstep : kLaminarThetasPerSubstep) * y[0];
  // With the ratio q a substep, the longest substep (at the larger speed) spans
  // (s1 - s0) ln q / ln(u1/u0) u_max/|u1 - u0| to first order in ln q.
  const double spread = u1 != u0 ? std::max(u0, u1) * std::fabs(log_ratio) / std::fabs(u1 - u0) : 1;
  const double wanted =
      std::max((s1 - s0) * spread / longest, std::fabs(log_ratio) / kLogSpeedPerSubstep);
  const int substeps = static_cast<int>(Clamp(std::ceil(wanted), 1, kMaxSubsteps));
  // Substep ends: ue(s_k) = u0 (u1/u0)^(k/n) on the linear ue, equal steps when ue is
  // constant.
  const bool geometric = u1 != u0;
  auto end_of = [&](int k) {
    if (k == substeps) return s1;
    if (!geometric) return s0 + k * (s1 - s0) / substeps;
    const double u = u0 * std::exp(log_ratio * k / substeps);
    return s0 + (u - u0) / (u1 - u0) * (s1 - s0);
  };
  boost::numeric::odeint::runge_kutta4<State> stepper;
  const double lo = rates.min_shape;
  double hi = kLaminarMaxShape;
  if constexpr (std::is_same_v<Rates, TurbulentRates>) hi = rates.max_shape;
  // In the laminar layer N follows theta and H without acting on them, so it is
  // integrated by the trapezoidal rule over the substeps from the rates at their ends:
  // one evaluation of the amplification a substep instead of four Runge-Kutta stages (a
  // third of the march's time at Re 1e6); the rate changes over hundreds of momentum
  // thicknesses, the substep is at most a hundred.
  double rate = 0;
  if constexpr (std::is_same_v<Rates, LaminarRates>) rate = rates.Amplification(y, s0);
  double s = s0;
  for (int k = 0; k < substeps; ++k) {
    const double next_s = end_of(k + 1);
    const double ds = next_s - s;
    stepper.do_step(rates, y, s, ds);
    if (!Finite(y)) return false;
    y[0] = std::min(y[0], kMaxTheta);
    y[1] = Clamp(y[1], lo, hi);
    if constexpr (std::is_same_v<Rates, LaminarRates>) {
      const double next = rates.Amplification(y, next_s);
      y[2] += ds / 2 * (rate + next);
      rate = next;
    }
    s = next_s;
  }
  return true;
}

BoundaryLayerStation MakeStation(const SurfaceStations& st, int i, const State& y, bool turbulent,
                                 double reynolds, bool separated = false) {
  BoundaryLayerStation b;
  b.s = st.s[i];
  b.x = st.x[i];
  b.y = st.y[i];
  b.ue = st.ue[i];
  b.theta = y[0];
  b.h = y[1];
  b.dstar = y[0] * y[1];
  b.n = y[2];
  b.turbulent = turbulent;
  const double re_theta = std::max(reynolds * std::max(b.ue, kMinEdgeSpeed) * b.theta, 1e-3);
  if (turbulent) {
    b.cf = LudwiegTillmannFriction(b.h, std::max(re_theta, 10.0));
    b.separated = separated || b.h > kTurbulentSeparationShape;
  } else {
    b.cf = LaminarFrictionProduct(b.h) / re_theta;
    b.separated = separated || b.h > kLaminarSeparationShape;
  }
  return b;
}

// Where the interval from station i to i + 1 reaches transition, as a fraction of it
// (negative when it does not); `forced` says whether the trip comes first.
double TransitionFraction(const SurfaceStations& st, int i, const State& y0, const State& y1,
                          const BoundaryLayerOptions& options, bool& forced) {
  double fraction = -1;
  forced = false;
  if (y1[2] >= options.ncrit) fraction = Clamp((options.ncrit - y0[2]) / (y1[2] - y0[2]), 0, 1);
  const double xtr = options.forced_transition_x;
  if (st.x[i + 1] >= xtr && st.x[i + 1] > st.x[i]) {
    const double f = st.x[i] >= xtr ? 0 : (xtr - st.x[i]) / (st.x[i + 1] - st.x[i]);
    if (fraction < 0 || f < fraction) {
      fraction = f;
      forced = true;
    }
  }
  return fraction;
}

}  // namespace

SurfaceBoundaryLayer MarchBoundaryLayer(const SurfaceStations& st,
                                        const BoundaryLayerOptions& options) {
  SurfaceBoundaryLayer out;
  const int count = static_cast<int>(st.s.size());
  const double re = options.reynolds;
  if (count < 2 || st.x.size() != st.s.size() || st.y.size() != st.s.size() ||
      st.ue.size() != st.s.size() || !(re > 0) || !std::isfinite(re)) {
    out.march_failed = true;
    return out;
  }

  // Hiemenz start. Where the stagnation point lies much closer to the first station than
  // the second does, the first station's tiny speed says little about the velocity
  // gradient: the start then moves to the second station, with a = ue1/s1, and the
  // first station gets the same stagnation-point layer.
  const int start = count > 2 && st.s[0] < kStartMoveRatio * st.s[1] ? 1 : 0;
  const double s_start = std::max(st.s[start], 1e-9);
  const double a = std::max(st.ue[start], kMinEdgeSpeed) / s_start;
  State y = {kHiemenzTheta / std::sqrt(re * a), kHiemenzShape, 0};
  bool turbulent = false;
  // Once the turbulent layer has separated it stays separated to the trailing edge. Beyond
  // separation Head's shape function H1(H) is nearly flat, so the entrainment equation
  // turns the least flattening or rise of ue (the pressure plateau of a stalled section,
  // or the flicker of the interaction's speeds over a separated region) into a fall of H
  // to attached values within a station: a reattachment the direct method cannot describe
  // and that hid the separation of a stalled section. Every station after it is flagged
  // separated. The laminar layer likewise, from a separation against a rising pressure to
  // transition: with the slope of H* held at its floor, a small rise of ue sent H from 7
  // to 1.5 within a station, and only the turbulent layer can close a bubble. (The flat
  // plate's start from the stagnation-point profile overshoots the separation value at
  // constant pressure; it does not count.)
  bool separated = false;
  out.stations.reserve(count);
  for (int j = 0; j <= start; ++j) out.stations.push_back(MakeStation(st, j, y, turbulent, re));
  out.transition_x = st.x[count - 1];
  out.transition_s = st.s[count - 1];

  for (int i = start; i + 1 < count; ++i) {
    if (out.march_failed) {
      BoundaryLayerStation b = MakeStation(st, i + 1, y, turbulent, re);
      b.separated = true;
      out.stations.push_back(b);
      continue;
    }
    const double ds = st.s[i + 1] - st.s[i];
    Edge edge{st.s[i], std::max(st.ue[i], kMinEdgeSpeed),
              ds > 0
                  ? (std::max(st.ue[i + 1], kMinEdgeSpeed) - std::max(st.ue[i], kMinEdgeSpeed)) / ds
                  : 0};
    const LaminarRates laminar{edge, re, separated ? kLaminarSeparationShape : kLaminarMinShape};
    // A separated turbulent layer is held at the separation value: the shape its
    // displacement is blown with (viscous_interaction.h), so that its momentum equation
    // and its transpiration describe one layer.
    const bool held = separated && turbulent;
    const TurbulentRates turbulent_rates{edge, re,
                                         held ? kTurbulentSeparationShape : kTurbulentMinShape,
                                         held ? kTurbulentSeparationShape : kTurbulentMaxShape};
    bool ok = true;
    if (turbulent) {
      ok = Integrate(turbulent_rates, st.s[i], st.s[i + 1], true, y);
      separated = separated || (ok && y[1] > kTurbulentSeparationShape);
    } else {
      State next = y;
      ok = Integrate(laminar, st.s[i], st.s[i + 1], false, next);
      bool forced = false;
      const double fraction = ok ? TransitionFraction(st, i, y, next, options, forced) : -1;
      if (fraction >= 0) {
        const double s_tr = st.s[i] + fraction * ds;
        ok = Integrate(laminar, st.s[i], s_tr, false, y);
        out.transition_index = i + 1;
        out.transition_forced = forced;
        out.transition_s = s_tr;
        out.transition_x = st.x[i] + fraction * (st.x[i + 1] - st.x[i]);
        out.transition_dstar = y[0] * y[1];
        out.transition_theta = y[0];
        turbulent = true;
        separated = false;
        y = {y[0], std::min(y[1], kTurbulentStartMaxShape), forced ? y[2] : options.ncrit};
        ok = ok && Integrate(turbulent_rates, s_tr, st.s[i + 1], true, y);
      } else {
        y = next;
        separated = separated || (y[1] > kLaminarSeparationShape && edge.slope < 0);
      }
    }
    if (!ok) {
      out.march_failed = true;
      y = {out.stations.back().theta, out.stations.back().h, out.stations.back().n};
      BoundaryLayerStation b = MakeStation(st, i + 1, y, turbulent, re);
      b.separated = true;
      out.stations.push_back(b);
      continue;
    }
    out.stations.push_back(MakeStation(st, i + 1, y, turbulent, re, separated));
  }

  // The separated flow that reaches the trailing edge starts after the last attached
  // station.
  int first = count;
  while (first > 0 && out.stations[first - 1].separated) --first;
  out.separation_x = first < count ? out.stations[first].x : st.x[count - 1];
  return out;
}

}  // namespace velquin
