#include "viscous/boundary_layer_closures.h"

#include <cmath>

namespace velquin {

double LaminarEnergyShape(double h) {
  if (h < 4.35) {
    const double t = h - 4.35;
    return 0.0111 * t * t / (h + 1) - 0.0278 * t * t * t / (h + 1) + 1.528 -
           0.0002 * (t * h) * (t * h);
  }
  const double t = h - 4.35;
  return 0.015 * t * t / h + 1.528;
}

double LaminarEnergyShapeSlope(double h) {
  const double t = h - 4.35;
  if (h < 4.35) {
    const double p = h + 1;
    return 0.0111 * (2 * t / p - t * t / (p * p)) - 0.0278 * (3 * t * t / p - t * t * t / (p * p)) -
           0.0004 * t * h * (h + t);
  }
  return 0.015 * (2 * t / h - t * t / (h * h));
}

double LaminarFrictionProduct(double h) {
  if (h < 5.5) {
    const double t = 5.5 - h;
    return 0.0727 * t * t * t / (h + 1) - 0.07;
  }
  const double t = 1 - 1 / (h - 4.5);
  return 0.015 * t * t - 0.07;
}

double LaminarDissipationProduct(double h) {
  if (h < 4) {
    const double t = 4 - h;  // t^5.5 without pow: this runs in the march's inner loop
    return 0.00205 * t * t * t * t * t * std::sqrt(t) + 0.207;
  }
  const double b = h - 4;
  return -0.0016 * b * b / (1 + 0.02 * b * b) + 0.207;
}

double AmplificationOnsetLog10ReTheta(double h) {
  const double r = 1 / (h - 1);
  return (1.415 * r - 0.489) * std::tanh(20 * r - 12.9) + 3.295 * r + 0.44;
}

double AmplificationPerReTheta(double h) {
  const double a = 2.4 * h - 3.7 + 2.5 * std::tanh(1.5 * h - 4.65);
  return 0.01 * std::sqrt(a * a + 0.25);
}

double AmplificationRate(double h, double theta, double re_theta) {
  constexpr double kRampHalfWidth = 0.08;  // decades of Re_theta
  if (re_theta <= 1) return 0;
  const double onset = AmplificationOnsetLog10ReTheta(h);
  const double r = (std::log10(re_theta) - (onset - kRampHalfWidth)) / (2 * kRampHalfWidth);
  if (r <= 0) return 0;
  const double ramp = r >= 1 ? 1 : r * r * (3 - 2 * r);
  const double l = (6.54 * h - 14.07) / (h * h);
  const double m = (0.058 * (h - 4) * (h - 4) / (h - 1) - 0.068) / l;
  return ramp * AmplificationPerReTheta(h) * (m + 1) / 2 * l / theta;
}

// The powers of Head's fits as exp(c ln x): they run in the turbulent march's inner loop,
// where glibc's pow (correctly rounded, general exponent) took a tenth of an angle's time;
// the two agree to a few units in the last place.
double HeadShape(double h) {
  if (h <= 1.6) return 3.3 + 0.8234 * std::exp(-1.287 * std::log(h - 1.1));
  return 3.3 + 1.5501 * std::exp(-3.064 * std::log(h - 0.6778));
}

double HeadShapeSlope(double h) {
  double slope = 0;
  HeadShapeAndSlope(h, slope);
  return slope;
}

double HeadShapeAndSlope(double h, double& slope) {
  if (h <= 1.6) {
    const double p = 0.8234 * std::exp(-1.287 * std::log(h - 1.1));
    slope = -1.287 * p / (h - 1.1);
    return 3.3 + p;
  }
  const double p = 1.5501 * std::exp(-3.064 * std::log(h - 0.6778));
  slope = -3.064 * p / (h - 0.6778);
  return 3.3 + p;
}

double HeadEntrainment(double h1) {
  return 0.0306 * std::exp(-0.6169 * std::log(h1 - 3));
}

double LudwiegTillmannFriction(double h, double re_theta) {
  // One exponential for both powers: 10^(-0.678 H) Re^-0.268 = exp(-0.678 ln10 H - 0.268 ln Re).
  return 0.246 * std::exp(-0.678 * 2.302585092994046 * h - 0.268 * std::log(re_theta));
}

}  // namespace velquin
