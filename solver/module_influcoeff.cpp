#include "solver/module_influcoeff.h"

#include <cmath>
#include <string>

#include "base/run_error.h"
#include "solver/angle_solution.h"
#include "solver/module_gauss.h"

namespace velquin {

void InfluCoeff_SourcePanel(const Module_Common& C, double x, double y, double x1, double x2,
                            double& u, double& v) {
  const double a1 = x - x1;
  const double a2 = x - x2;
  const double r1sq = a1 * a1 + y * y;  // squared distance from the start of the panel
  const double r2sq = a2 * a2 + y * y;  // ... and from its end
  if (r1sq == 0 || r2sq == 0) {
    // The logarithmic singularity of a source sheet's edge: no finite velocity exists.
    throw RunError(ErrorKind::kInvalidArgument, "the field point lies on the end of a panel");
  }
  u = std::log(r1sq / r2sq);
  u = u / C.Pi4;

  // theta: the angle the panel subtends at the point, from tan(theta) =
  // y (x2 - x1) / (a1 a2 + y^2). Inside the circle that has the panel as its diameter
  // den = d^2 - x2^2 < 0 (d the distance from the midpoint) and the principal arctangent
  // is off by pi. The branch is chosen by the sign of den itself: testing d < x2 instead
  // agrees everywhere except within rounding of that circle, where it can pick the
  // wrong branch and throw theta off by pi (the control points of a three-panel circle
  // lie on such circles).
  const double den = a1 * a2 + y * y;
  double theta;
  if (den != 0) {
    theta = std::atan(y * (x2 - x1) / den);
    const double s = y < 0 ? -1 : 1;
    if (den < 0) theta = theta + s * C.Pi;
  } else {
    // Exactly on that circle the subtended angle is a right angle: the limit +-pi/2.
    theta = y < 0 ? -C.Pi / 2 : C.Pi / 2;
  }
  v = theta / C.Pi2;
}

void InfluCoeff_LocalPoint(const Module_Common& C, int i, int j, double& xL, double& yL) {
  const double dX = C.Xc(i) - C.Xc(j);
  const double dY = C.Yc(i) - C.Yc(j);
  xL = C.CosAx(j) * dX + C.CosBx(j) * dY;
  yL = C.CosAy(j) * dX + C.CosBy(j) * dY;
}

namespace {

// Normal and tangential velocity at control point i induced by source panel j (j != i)
// of unit strength: into panel j's frame, the kernel, back to global components, then
// onto panel i's axes.
void SourceInfluence(const Module_Common& C, int i, int j, double& u, double& v, double& Wt,
                     double& Wn) {
  double xL, yL;
  InfluCoeff_LocalPoint(C, i, j, xL, yL);
  try {
    InfluCoeff_SourcePanel(C, xL, yL, C.Xi(1, j), C.Xi(2, j), u, v);
  } catch (const RunError& error) {
    throw RunError(error.kind(), error.detail() + ": the control point of panel " +
                                     std::to_string(i) + " lies on an end of panel " +
                                     std::to_string(j) + ".");
  }
  const double U = C.CosAx(j) * u + C.CosAy(j) * v;
  const double V = C.CosBx(j) * u + C.CosBy(j) * v;
  Wt = C.CosAx(i) * U + C.CosBx(i) * V;
  Wn = C.CosAy(i) * U + C.CosBy(i) * V;
}

// Velocity of a unit point vortex at (Xv, Yv) at control point i, on panel i's axes.
// A positive strength turns counter-clockwise.
void PointVortexInfluence(const Module_Common& C, int i, double& Wt, double& Wn) {
  const double rx = C.Xv - C.Xc(i);
  const double ry = C.Yv - C.Yc(i);
  const double r = std::sqrt(rx * rx + ry * ry);
  if (r == 0) {
    throw RunError(ErrorKind::kDivisionByZero,
                   "the point vortex lies on the control point of panel " + std::to_string(i) +
                       "; move it inside the body.");
  }
  if (std::isinf(r)) {
    throw RunError(ErrorKind::kOverflow,
                   "the point vortex lies too far away (Xv and Yv must be ordinary lengths).");
  }
  const double U = ((1 / C.Pi2) / r) * ry / r;
  const double V = ((-1 / C.Pi2) / r) * rx / r;
  Wt = C.CosAx(i) * U + C.CosBx(i) * V;
  Wn = C.CosAy(i) * U + C.CosBy(i) * V;
}

// Velocity of a unit vortex sheet on every panel at control point i: the source field
// turned a quarter turn clockwise, so it is read off row i of the source columns.
// A positive strength turns clockwise.
void ConstVortexInfluence(const Module_Common& C, int i, double& Wt, double& Wn) {
  Wt = 0;
  Wn = 0;
  for (int j = 1; j <= C.NP; ++j) {
    Wt = Wt + C.An(i, j);
    Wn = Wn - C.At(i, j);
  }
}

}  // namespace

void InfluCoeff_CoefficientText(const Module_Common& C, ReportText& out) {
  const int neq = RealToIndex(C.NEq);
  const int nrhs = RealToIndex(C.NRhs);
  out.Reserve(static_cast<std::size_t>(neq) * (nrhs + neq) * 9 + 64 * neq + 256);
  out.Text(" Normal velocities").EndLine();
  out.Text(" ").EndLine();
  for (int i = 1; i <= neq; ++i) {
    out.Whole(i);
    for (int j = 1; j <= nrhs; ++j) out.Text(" ").Fixed4(C.An(i, j));
    out.EndLine();
  }
  out.EndLine();
  out.Text(" Tangetial velocities").EndLine();
  out.Text(" ").EndLine();
  for (int i = 1; i <= neq; ++i) {
    for (int j = 1; j <= neq; ++j) out.Text(" ").Fixed4(C.At(i, j));
    out.EndLine();
  }
}

void InfluCoeff_StrengthText(const Module_Common& C, bool circulation, ReportText& out) {
  out.EndLine();
  out.Text("Source strengths").EndLine();
  out.EndLine();
  for (int i = 1; i <= C.NP; ++i) out.Bare(i).Text("  ").Fixed6(C.Q(i)).EndLine();
  // Only with circulation is there a vortex strength to report.
  if (circulation) out.Text("Vortex strength =").Bare(C.Q.at(C.NEq)).EndLine();
}

void InfluCoeff_Fill(Module_Common& C, const RunInputs& inputs) {
  if (inputs.circulation != (inputs.vortex != VortexModel::kNone)) {
    throw RunError(ErrorKind::kInvalidArgument,
                   "the circulation needs exactly one vortex model to carry it.");
  }
  const int np = RealToIndex(C.NP);
  const int neq = RealToIndex(C.NEq);
  const int nrhs = RealToIndex(C.NRhs);
  double u = 0, v = 0, Wt = 0, Wn = 0;
  for (int i = 1; i <= C.NP; ++i) {
    for (int j = 1; j <= C.NP; ++j) {
      if (j == i) {
        // A panel's own source sheet: half its strength leaves each face, none along it.
        C.At(i, i) = 0;
        C.An(i, i) = 0.5;
        continue;
      }
      SourceInfluence(C, i, j, u, v, Wt, Wn);
      C.At(i, j) = Wt;
      C.An(i, j) = Wn;
    }
    if (inputs.vortex != VortexModel::kNone) {
      if (inputs.vortex == VortexModel::kConstantDistribution) {
        ConstVortexInfluence(C, i, Wt, Wn);
      } else {
        PointVortexInfluence(C, i, Wt, Wn);
      }
      C.At(i, neq) = Wt;
      C.An(i, neq) = Wn;
    }
  }
  // Free stream (CosAlfa, SinAlfa): its normal part goes to the right-hand side.
  double rhs[kArraySize], tangential[kArraySize];
  InfluCoeff_FreeStream(C, inputs.circulation, &C.CosAlfa, &C.SinAlfa, 1, rhs, tangential);
  for (int i = 1; i <= np; ++i) {
    C.An(i, nrhs) = rhs[i - 1];
    C.At(i, nrhs) = tangential[i - 1];
  }
  if (inputs.circulation) {
    // Kutta-type condition: the tangential velocities of the two panels that meet at the
    // first node add up to zero, i.e. the flow leaves it with equal speed on both sides.
    for (int j = 1; j <= neq; ++j) C.An(neq, j) = C.At(1, j) + C.At(np, j);
    C.An(neq, nrhs) = rhs[neq - 1];
    // The condition row has no tangential velocity of its own; clear what a larger
    // earlier run left there, as the report prints this row.
    for (int j = 1; j <= nrhs; ++j) C.At(neq, j) = 0;
  }
}

bool InfluCoeff_Assemble(Module_Common& C, const RunInputs& inputs, CalculationWindow& window,
                         const ReportOptions& reports) {
  InfluCoeff_Fill(C, inputs);

  ReportFile file(reports, "Output_InfCoeffs.txt");
  InfluCoeff_CoefficientText(C, file.out());
  window.Show_CoefficientMatrix(C.NEq, C.An);
  if (!Gauss_Solve(C.NEq, C.An, C.Q)) {
    file.Close();  // the coefficients stand; there are no strengths to report
    return false;
  }
  try {
    CheckFiniteStrengths(C.Q.data() + 1, RealToIndex(C.NEq));
  } catch (const RunError&) {
    file.Close();
    throw;
  }
  InfluCoeff_StrengthText(C, inputs.circulation, file.out());
  file.Close();
  return true;
}

}  // namespace velquin
