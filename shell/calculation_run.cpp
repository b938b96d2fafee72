#include "shell/calculation_run.h"

#include <cmath>
#include <exception>
#include <string>

#include "geometry/module_geometry.h"
#include "geometry/module_panel.h"
#include "shell/run_error.h"
#include "shell/text_number.h"
#include "solver/module_influcoeff.h"

namespace velquin {
namespace {

// Reads an input field; an overflow names the field it came from.
double ReadControl(const std::string& text, const char* field) {
  try {
    return ReadNumber(text);
  } catch (const RunError& error) {
    throw RunError(error.kind(), std::string(field) + ": " + error.detail());
  }
}

std::string PanelCountInput(const ControlValues& controls, double NP) {
  return "the number of panels " + QuotedInput(controls.Text_NP) + " reads as " + NumberText(NP) +
         ".";
}

void WritePressureReport(const Module_Common& C, const ReportOptions& options) {
  ReportFile file(options, "Output_PressCoeffs.txt");
  PressureReportText(C, file.out());
  file.Close();
}

// Surface speed: the free stream's tangential part plus every singularity's, the vortex
// last; its square is 1 - Cp for the unit free stream.
void ComputeSurfaceSpeeds(Module_Common& C) {
  const int nrhs = RealToIndex(C.NRhs);
  for (int i = 1; i <= C.NP; ++i) {
    double s = C.At(i, nrhs);
    for (int j = 1; j <= C.NEq; ++j) s = s + C.At(i, j) * C.Q(j);
    C.Vt(i) = std::fabs(s);
  }
  for (int i = 1; i <= C.NP; ++i) C.Cu(i) = C.Vt(i) * C.Vt(i);
}

}  // namespace

void PressureReportText(const Module_Common& C, ReportText& out) {
  out.Reserve(static_cast<std::size_t>(C.NP) * 40 + 64);
  out.Text(" i     x        y      1-Cp").EndLine();
  out.Text(" ").EndLine();
  for (int i = 1; i <= C.NP; ++i) {
    out.Bare(i);
    out.Text("  ").Fixed4(C.Xc(i));
    out.Text("  ").Fixed4(C.Yc(i));
    out.Text("  ").Fixed4(C.Cu(i)).EndLine();
  }
}

void CheckRunInputs(const ControlValues& controls, double NP) {
  const bool circulation = controls.Check_Circulation == 1;
  if (!controls.Option_Circle && !controls.Option_NACA12) {
    throw RunError(ErrorKind::kInvalidArgument,
                   "no body chosen: choose \"Circle\" or \"NACA0012 airfoil\".");
  }
  if (NP == 0) {
    throw RunError(ErrorKind::kDivisionByZero,
                   "at least 1 panel is needed; " + PanelCountInput(controls, NP));
  }
  if (NP < 1) {
    throw RunError(ErrorKind::kInvalidArgument,
                   "at least 1 panel is needed; " + PanelCountInput(controls, NP));
  }
  if (NP != std::floor(NP)) {
    throw RunError(ErrorKind::kInvalidArgument,
                   "the number of panels must be a whole number; " + PanelCountInput(controls, NP));
  }
  const double capacity = circulation ? kMaxIndex - 2 : kMaxIndex - 1;
  if (NP > capacity) {
    throw RunError(ErrorKind::kSubscriptOutOfRange,
                   std::string("at most ") +
                       (circulation ? "198 panels with" : "199 panels without") + " circulation; " +
                       PanelCountInput(controls, NP));
  }
  if (!controls.Option_Circle && std::fmod(NP, 2) != 0) {
    throw RunError(ErrorKind::kInvalidArgument,
                   "the NACA 0012 section needs an even number of panels (one half on each "
                   "side); " +
                       PanelCountInput(controls, NP));
  }
  if (circulation && ChosenVortexModel(controls) == VortexModel::kNone) {
    throw RunError(ErrorKind::kInvalidArgument, kChooseVortexModel);
  }
}

bool RunCalculation(Module_Common& C, CalculationWindow& window, const ReportOptions& reports) {
  const ControlValues controls = window.Controls();
  C.NP = ReadControl(controls.Text_NP, "number of panels");
  if (controls.Check_Circulation == 1) {
    C.NEq = C.NP + 1;
    C.NRhs = C.NP + 2;
  } else {
    C.NEq = C.NP;
    C.NRhs = C.NP + 1;
  }
  C.Xv = ReadControl(controls.Text_Xv, "vortex position Xv");
  C.Yv = ReadControl(controls.Text_Yv, "vortex position Yv");
  CheckRunInputs(controls, C.NP);

  if (controls.Option_Circle) Geometry_Circle(C);
  if (controls.Option_NACA12) Geometry_NACA0012(C);

  const double alpha_degrees = ReadControl(controls.Text_AlfaD, "angle of attack");
  const double alpha = (alpha_degrees * C.Pi) / 180;
  if (!std::isfinite(alpha)) {
    throw RunError(ErrorKind::kOverflow, "the angle of attack " + QuotedInput(controls.Text_AlfaD) +
                                             " is too large to turn into radians.");
  }
  C.CosAlfa = std::cos(alpha);
  C.SinAlfa = std::sin(alpha);

  Panel_Geometry(C, window, reports);
  if (!InfluCoeff_Assemble(C, window, reports)) return false;
  ComputeSurfaceSpeeds(C);
  window.Show_Pressure(C.NP, C.Xc, C.Cu);
  WritePressureReport(C, reports);
  return true;
}

RunOutcome Command1_Click(Module_Common& C, CalculationWindow& window,
                          const ReportOptions& reports) {
  try {
    return RunCalculation(C, window, reports) ? RunOutcome::kCompleted : RunOutcome::kZeroPivot;
  } catch (const RunError& error) {
    window.ShowRunError(error.what());
  } catch (const std::exception& error) {
    // Nothing else is expected; still, the window must keep working.
    window.ShowRunError(std::string("Internal error: ") + error.what());
  }
  return RunOutcome::kFailed;
}

}  // namespace velquin
