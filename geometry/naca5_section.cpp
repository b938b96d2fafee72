#include "geometry/naca5_section.h"

#include <cmath>
#include <memory>

namespace velquin {
namespace {

// The published constants of one mean line for the design lift coefficient 0.3.
struct MeanLineConstants {
  double r = 0;    // the end of the forward cubic
  double k1 = 0;   // its scale
  double k21 = 0;  // k2 / k1 of the reflex line, 0 for the standard one
};

// Indexed by P - 1: 210 ... 250.
constexpr MeanLineConstants kStandard[5] = {
    {0.0580, 361.4, 0}, {0.1260, 51.640, 0}, {0.2025, 15.957, 0},
    {0.2900, 6.643, 0}, {0.3910, 3.230, 0},
};
// Indexed by P - 1: 221 ... 251; P = 1 has none.
constexpr MeanLineConstants kReflex[5] = {
    {0, 0, 0},
    {0.1300, 51.990, 0.000764},
    {0.2170, 15.793, 0.00677},
    {0.3180, 6.520, 0.0303},
    {0.4410, 3.191, 0.1355},
};

int Digit(char c) {
  return c - '0';
}

const MeanLineConstants& Constants(const Naca5Digits& d) {
  return d.Q == 0 ? kStandard[d.P - 1] : kReflex[d.P - 1];
}

std::string Designation(const Naca5Digits& d) {
  return std::to_string(d.L) + std::to_string(d.P) + std::to_string(d.Q) + (d.XX < 10 ? "0" : "") +
         std::to_string(d.XX);
}

class Naca5Section : public Body {
 public:
  explicit Naca5Section(const Naca5Digits& digits) : digits_(digits) {}

  std::string Name() const override { return "NACA " + Designation(digits_); }

  std::string PanelCountProblem(double NP) const override {
    return EvenPanelCountProblem(Name(), NP);
  }

  void Contour(Module_Common& C) const override { Geometry_NACA5(C, digits_); }
  std::vector<ContourPoint> ContourNodes(double NP) const override {
    const Naca5Digits digits = digits_;
    return NacaSectionNodes(NP, PiConstant(), digits.XX / 100.0,
                            [digits](double x) { return Naca5MeanLine(digits, x); });
  }

  double PlotScale() const override {
    const Naca5Digits digits = digits_;
    return PlotScaleForExtent(1, NacaLargestOrdinate(digits.XX / 100.0, [digits](double x) {
                                return Naca5MeanLine(digits, x);
                              }));
  }

 private:
  Naca5Digits digits_;
};

}  // namespace

std::optional<Naca5Digits> ParseNaca5Digits(std::string_view digits, std::string& error) {
  Naca5Digits d;
  d.L = Digit(digits[0]);
  d.P = Digit(digits[1]);
  d.Q = Digit(digits[2]);
  d.XX = 10 * Digit(digits[3]) + Digit(digits[4]);
  if (d.L == 0) {
    error = "the design lift digit L must be 1 to 9 (0.15 L is the design lift coefficient)";
  } else if (d.P < 1 || d.P > 5) {
    error = "the camber position digit P must be 1 to 5 (mean lines 210 to 250)";
  } else if (d.Q > 1) {
    error = "the third digit must be 0 (standard mean line) or 1 (reflex mean line)";
  } else if (d.Q == 1 && d.P == 1) {
    error = "no reflex mean line is published for P = 1 (reflex lines are 221 to 251)";
  } else if (d.XX == 0) {
    error = "the thickness XX (the last two digits) must be at least 1 % of the chord";
  } else {
    return d;
  }
  return std::nullopt;
}

MeanLineValue Naca5MeanLine(const Naca5Digits& digits, double x) {
  const MeanLineConstants& c = Constants(digits);
  const double scale = digits.L / 2.0;  // the constants are those of L = 2
  const double k = scale * c.k1 / 6;
  const double r = c.r;
  const double r3 = r * r * r;
  if (digits.Q == 0) {
    if (x < r) {
      return {k * (x * x * x - 3 * r * x * x + r * r * (3 - r) * x),
              k * (3 * x * x - 6 * r * x + r * r * (3 - r))};
    }
    return {k * r3 * (1 - x), -k * r3};
  }
  const double d = x - r;
  const double q = 1 - r;
  const double q3 = q * q * q;
  const double k21 = c.k21;
  if (x < r) {
    return {k * (d * d * d - k21 * q3 * x - r3 * x + r3), k * (3 * d * d - k21 * q3 - r3)};
  }
  return {k * (k21 * d * d * d - k21 * q3 * x - r3 * x + r3),
          k * (3 * k21 * d * d - k21 * q3 - r3)};
}

void Geometry_NACA5(Module_Common& C, const Naca5Digits& digits) {
  Geometry_NacaSection(C, digits.XX / 100.0,
                       [&digits](double x) { return Naca5MeanLine(digits, x); });
}

BodyPtr Naca5Body(const Naca5Digits& digits) {
  return std::make_shared<Naca5Section>(digits);
}

}  // namespace velquin
