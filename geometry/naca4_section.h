// NACA 4-digit sections MPXX: the greatest camber M % of the chord at P tenths of the
// chord from the leading edge, thickness XX % of the chord.
//
// Mean line, m = M / 100 and p = P / 10: two parabolas that meet with zero slope at
// (p, m),
//
//   y_c = m / p^2 (2 p x - x^2)                      0 <= x < p
//   y_c = m / (1 - p)^2 ((1 - 2 p) + 2 p x - x^2)    p <= x <= 1,
//
// and the 4-digit thickness of geometry/naca_contour.h laid off normal to it.
// (naca0012 is the seed's own section, geometry/module_geometry.h, not this one.)
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "geometry/body.h"
#include "geometry/naca_contour.h"

namespace velquin {

struct Naca4Digits {
  int M = 0;   // greatest camber, % of the chord
  int P = 0;   // its position, tenths of the chord
  int XX = 0;  // thickness, % of the chord
};

// The four decimal digits of "2412" (the caller has checked that they are four digits);
// nothing, and `error` set to the reason, when they do not make a section: no
// thickness, a camber without a position or a position without a camber.
std::optional<Naca4Digits> ParseNaca4Digits(std::string_view digits, std::string& error);

MeanLineValue Naca4MeanLine(const Naca4Digits& digits, double x);

// The contour procedure: nodes as Geometry_NacaSection places them. NP even.
void Geometry_NACA4(Module_Common& C, const Naca4Digits& digits);

BodyPtr Naca4Body(const Naca4Digits& digits);

}  // namespace velquin
