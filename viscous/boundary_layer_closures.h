// Closure relations of the integral boundary-layer equations at low speed (the
// kinematic shape factor Hk equals H = delta* / theta). Every relation is a published
// fit; the sources are named at each function and in docs/method.md.
//
// Symbols: theta the momentum thickness, H the shape factor, H* = theta* / theta the
// kinetic-energy shape factor, Re_theta = Re ue theta (Re on the chord and the free
// stream, ue the edge speed in free-stream units), Cf the skin friction on the edge
// dynamic pressure, CD the dissipation coefficient.
#pragma once

namespace velquin {

// --- Laminar flow: fits to the Falkner-Skan family (Drela & Giles, AIAA J. 25 (1987)
// 1347-1355, the closures of the laminar energy equation).

// H*(H). Has a minimum of 1.528 at H = 4.35: the attached branch lies below it.
double LaminarEnergyShape(double h);
// dH*/dH, negative on the attached branch.
double LaminarEnergyShapeSlope(double h);
// Cf Re_theta as a function of H; zero at H = 3.83, the laminar separation of the fit.
double LaminarFrictionProduct(double h);
// 2 CD Re_theta / H* as a function of H.
double LaminarDissipationProduct(double h);

// --- Transition: the e^N envelope method (Drela & Giles 1987).

// log10 of Re_theta0(H), the momentum-thickness Reynolds number below which no
// Tollmien-Schlichting wave grows:
//   log10 Re_theta0 = (1.415/(H-1) - 0.489) tanh(20/(H-1) - 12.9) + 3.295/(H-1) + 0.44.
double AmplificationOnsetLog10ReTheta(double h);
// dN/dRe_theta = 0.01 sqrt((2.4 H - 3.7 + 2.5 tanh(1.5 H - 4.65))^2 + 0.25).
double AmplificationPerReTheta(double h);
// dN/ds for a layer of momentum thickness theta at Re_theta:
//   dN/ds = dN/dRe_theta (m + 1)/2 l / theta,
//   l = (6.54 H - 14.07)/H^2,  m = (0.058 (H - 4)^2/(H - 1) - 0.068)/l,
// the envelope slope in s of the similar-profile growth. The rate is switched on by a
// cubic ramp over 0.16 decades of Re_theta centred 0.08 decades above Re_theta0, so that
// N does not jump when Re_theta crosses the onset between two stations.
double AmplificationRate(double h, double theta, double re_theta);

// --- Turbulent flow: Head's entrainment method (Head, ARC R&M 3152, 1958, with the fits
// of Cebeci & Bradshaw, Momentum Transfer in Boundary Layers, 1977) and the skin
// friction of Ludwieg & Tillmann (1949).

// H1 = (delta - delta*) / theta as a function of H:
//   3.3 + 0.8234 (H - 1.1)^-1.287   for H <= 1.6,
//   3.3 + 1.5501 (H - 0.6778)^-3.064 above.
double HeadShape(double h);
// dH1/dH, negative.
double HeadShapeSlope(double h);
// Both at once (one power instead of two): returns H1, sets dH1/dH.
double HeadShapeAndSlope(double h, double& slope);
// The entrainment coefficient F = (1/ue) d(ue theta H1)/ds = 0.0306 (H1 - 3)^-0.6169.
double HeadEntrainment(double h1);
// Cf = 0.246 10^(-0.678 H) Re_theta^-0.268.
double LudwiegTillmannFriction(double h, double re_theta);

}  // namespace velquin
