#include "geometry/body.h"

#include <cmath>

#include "geometry/module_geometry.h"
#include "shell/run_error.h"

namespace velquin {
namespace {

class Circle : public Body {
 public:
  std::string Name() const override { return "Circle"; }
  void Contour(Module_Common& C) const override { Geometry_Circle(C); }
  // The circle's diameter is its reference length: at half size it fits the frame.
  double PlotScale() const override { return 0.5; }
};

class Naca0012 : public Body {
 public:
  std::string Name() const override { return "NACA 0012"; }
  std::string PanelCountProblem(double NP) const override {
    if (std::fmod(NP, 2) == 0) return {};
    return "the NACA 0012 section needs an even number of panels (one half on each side)";
  }
  void Contour(Module_Common& C) const override { Geometry_NACA0012(C); }
};

}  // namespace

BodyPtr CircleBody() {
  static const BodyPtr circle = std::make_shared<Circle>();
  return circle;
}

BodyPtr Naca0012Body() {
  static const BodyPtr section = std::make_shared<Naca0012>();
  return section;
}

double BodyDrawScale(const Body& body, double RefLength) {
  if (RefLength == 0) {
    throw RunError(ErrorKind::kDivisionByZero, "the reference length of the body is zero.");
  }
  return body.PlotScale() / RefLength;
}

}  // namespace velquin
