#include "geometry/naca4_section.h"

#include <cmath>
#include <memory>

namespace velquin {
namespace {

int Digit(char c) {
  return c - '0';
}

std::string Designation(const Naca4Digits& d) {
  return std::to_string(d.M) + std::to_string(d.P) + (d.XX < 10 ? "0" : "") + std::to_string(d.XX);
}

class Naca4Section : public Body {
 public:
  explicit Naca4Section(const Naca4Digits& digits) : digits_(digits) {}

  std::string Name() const override { return "NACA " + Designation(digits_); }

  std::string PanelCountProblem(double NP) const override {
    return EvenPanelCountProblem(Name(), NP);
  }

  void Contour(Module_Common& C) const override { Geometry_NACA4(C, digits_); }
  std::vector<ContourPoint> ContourNodes(double NP) const override {
    const Naca4Digits digits = digits_;
    return NacaSectionNodes(NP, PiConstant(), digits.XX / 100.0,
                            [digits](double x) { return Naca4MeanLine(digits, x); });
  }

  double PlotScale() const override {
    const Naca4Digits digits = digits_;
    return PlotScaleForExtent(1, NacaLargestOrdinate(digits.XX / 100.0, [digits](double x) {
                                return Naca4MeanLine(digits, x);
                              }));
  }

 private:
  Naca4Digits digits_;
};

}  // namespace

std::optional<Naca4Digits> ParseNaca4Digits(std::string_view digits, std::string& error) {
  Naca4Digits d;
  d.M = Digit(digits[0]);
  d.P = Digit(digits[1]);
  d.XX = 10 * Digit(digits[2]) + Digit(digits[3]);
  if (d.XX == 0) {
    error = "the thickness XX (the last two digits) must be at least 1 % of the chord";
  } else if (d.M != 0 && d.P == 0) {
    error = "a cambered section needs the position of its greatest camber, P from 1 to 9";
  } else if (d.M == 0 && d.P != 0) {
    error = "a section without camber (M = 0) has no camber position: P must be 0";
  } else {
    return d;
  }
  return std::nullopt;
}

MeanLineValue Naca4MeanLine(const Naca4Digits& digits, double x) {
  if (digits.M == 0) return {};
  const double m = digits.M / 100.0;
  const double p = digits.P / 10.0;
  if (x < p) {
    const double a = m / (p * p);
    return {a * (2 * p * x - x * x), 2 * a * (p - x)};
  }
  const double q = 1 - p;
  const double a = m / (q * q);
  return {a * ((1 - 2 * p) + 2 * p * x - x * x), 2 * a * (p - x)};
}

void Geometry_NACA4(Module_Common& C, const Naca4Digits& digits) {
  Geometry_NacaSection(C, digits.XX / 100.0,
                       [&digits](double x) { return Naca4MeanLine(digits, x); });
}

BodyPtr Naca4Body(const Naca4Digits& digits) {
  return std::make_shared<Naca4Section>(digits);
}

}  // namespace velquin
