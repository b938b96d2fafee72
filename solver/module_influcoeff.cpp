#include "solver/module_influcoeff.h"

#include <cmath>
#include <string>

#include "base/run_error.h"
#include "solver/angle_solution.h"
#include "solver/influence.h"
#include "solver/module_gauss.h"

namespace velquin {

void InfluCoeff_SourcePanel(const Module_Common& C, double x, double y, double x1, double x2,
                            double& u, double& v) {
  SourcePanelVelocity(KernelConstantsOf(C), x, y, x1, x2, u, v);
}

void InfluCoeff_LocalPoint(const Module_Common& C, int i, int j, double& xL, double& yL) {
  const double dX = C.Xc(i) - C.Xc(j);
  const double dY = C.Yc(i) - C.Yc(j);
  xL = C.CosAx(j) * dX + C.CosBx(j) * dY;
  yL = C.CosAy(j) * dX + C.CosBy(j) * dY;
}

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
  // Sources, the vortex column and the Kutta-type row: the same assembly as every problem.
  AssembleInfluence(SeedSetup(C, inputs.vortex), ViewOf(C.An), ViewOf(C.At));
  // Free stream (CosAlfa, SinAlfa): its normal part goes to the right-hand side.
  double rhs[kArraySize], tangential[kArraySize];
  InfluCoeff_FreeStream(C, inputs.circulation, &C.CosAlfa, &C.SinAlfa, 1, rhs, tangential);
  for (int i = 1; i <= np; ++i) {
    C.An(i, nrhs) = rhs[i - 1];
    C.At(i, nrhs) = tangential[i - 1];
  }
  if (inputs.circulation) C.An(neq, nrhs) = rhs[neq - 1];
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
