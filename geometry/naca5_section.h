// NACA 5-digit sections LPQXX: design lift coefficient 0.15 L, greatest camber at
// P / 20 of the chord, Q = 0 for the standard mean line and 1 for the reflex one,
// thickness XX % of the chord.
//
// The standard mean line (a cubic, then a straight line to the trailing edge), for the
// design lift coefficient 0.3 (L = 2):
//
//   y_c = k1 / 6 (x^3 - 3 r x^2 + r^2 (3 - r) x)      0 <= x < r
//   y_c = k1 r^3 / 6 (1 - x)                          r <= x <= 1
//
// the reflex mean line (two cubics, the second one bending the line back up towards
// the trailing edge so that the pitching moment about the quarter chord vanishes), with
// k21 = k2 / k1:
//
//   y_c = k1 / 6 ((x - r)^3 - k21 (1 - r)^3 x - r^3 x + r^3)          0 <= x < r
//   y_c = k1 / 6 (k21 (x - r)^3 - k21 (1 - r)^3 x - r^3 x + r^3)      r <= x <= 1.
//
// r, k1 and k21 are the published constants of each mean line (Abbott and von
// Doenhoff, Theory of Wing Sections): 210 ... 250 and 221 ... 251 (no reflex line is
// published for P = 1). Another design lift coefficient scales the ordinates by L / 2.
// The thickness is the 4-digit one of geometry/naca_contour.h, laid off normal to the
// mean line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "geometry/body.h"
#include "geometry/naca_contour.h"

namespace velquin {

struct Naca5Digits {
  int L = 0;   // design lift coefficient in units of 0.15
  int P = 0;   // position of the greatest camber in units of 5 % of the chord
  int Q = 0;   // 0 standard, 1 reflex mean line
  int XX = 0;  // thickness, % of the chord
};

// The five decimal digits of "23012" (the caller has checked that they are five
// digits); nothing, and `error` set to the reason, when no published mean line fits them
// or there is no thickness.
std::optional<Naca5Digits> ParseNaca5Digits(std::string_view digits, std::string& error);

MeanLineValue Naca5MeanLine(const Naca5Digits& digits, double x);

// The contour procedure: nodes as Geometry_NacaSection places them. NP even.
void Geometry_NACA5(Module_Common& C, const Naca5Digits& digits);

BodyPtr Naca5Body(const Naca5Digits& digits);

}  // namespace velquin
