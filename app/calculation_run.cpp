#include "app/calculation_run.h"

#include <cmath>
#include <exception>
#include <string>

#include "base/report_folder.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "geometry/module_panel.h"
#include "solver/angle_solution.h"
#include "solver/module_gauss.h"
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

// A run that stops part-way in its arithmetic leaves the reports it wrote; the later ones
// of an earlier run would stand beside them as if they belonged together, so they go.
void RemoveReportsNotReached(const ReportOptions& reports) {
  if (reports.folder == nullptr) return;
  reports.folder->RemoveRestOfSet(kRunReports);
}

void WritePressureReport(const Module_Common& C, const ReportOptions& options) {
  ReportFile file(options, "Output_PressCoeffs.txt");
  PressureReportText(C, file.out());
  file.Close();
}

// Surface speed and its square, 1 - Cp for the unit free stream, at every control point.
void ComputeSurfaceSpeeds(Module_Common& C) {
  const int np = RealToIndex(C.NP);
  const int nrhs = RealToIndex(C.NRhs);
  for (int i = 1; i <= np; ++i) C.Vt(i) = C.At(i, nrhs);  // the free stream's part
  SurfaceSpeeds(C, C.Q.data() + 1, 1, C.Vt.data() + 1);
  for (int i = 1; i <= np; ++i) C.Cu(i) = C.Vt(i) * C.Vt(i);
}

}  // namespace

void CheckPanelCount(double NP, bool circulation, const Body& body, const PanelCapacity& capacity,
                     const std::string& read_as) {
  const auto refuse = [&](ErrorKind kind, const std::string& why) {
    throw RunError(kind, why + "; " + read_as);
  };
  if (NP < capacity.fewest) {
    // No panel at all divides by zero where the run first averages over the panels.
    refuse(NP == 0 ? ErrorKind::kDivisionByZero : ErrorKind::kInvalidArgument,
           "at least " + NumberText(capacity.fewest) +
               (capacity.fewest == 1 ? " panel is" : " panels are") + " needed");
  }
  if (NP != std::floor(NP))
    refuse(ErrorKind::kInvalidArgument, "the number of panels must be a whole number");
  const double most =
      circulation ? capacity.most_with_circulation : capacity.most_without_circulation;
  if (NP > most) {
    refuse(capacity.beyond, "at most " + NumberText(most) + " panels " +
                                (circulation ? "with" : "without") + " circulation");
  }
  const std::string problem = body.PanelCountProblem(NP);
  if (!problem.empty()) refuse(ErrorKind::kInvalidArgument, problem);
}

VortexModel ChosenVortexModel(const ControlValues& controls) {
  return ChooseVortexModel(controls.Check_Circulation == 1, controls.Option_ConstVortex,
                           controls.Option_PointVortex, VortexModel::kNone);
}

BodyPtr ChosenBody(const ControlValues& controls) {
  if (controls.Other_Body) return controls.Other_Body;
  if (controls.Option_Circle && controls.Option_NACA12) {
    throw RunError(ErrorKind::kInvalidArgument,
                   "two bodies chosen: choose either \"Circle\" or \"NACA0012 airfoil\".");
  }
  if (controls.Option_Circle) return CircleBody();
  if (controls.Option_NACA12) return Naca0012Body();
  throw RunError(ErrorKind::kInvalidArgument,
                 "no body chosen: choose \"Circle\" or \"NACA0012 airfoil\".");
}

RunInputs ReadRunInputs(const ControlValues& controls) {
  RunInputs inputs;
  inputs.NP = ReadControl(controls.Text_NP, "number of panels");
  inputs.circulation = controls.Check_Circulation == 1;
  inputs.Xv = ReadControl(controls.Text_Xv, "vortex position Xv");
  inputs.Yv = ReadControl(controls.Text_Yv, "vortex position Yv");
  inputs.body = ChosenBody(controls);
  CheckPanelCount(inputs.NP, inputs.circulation, *inputs.body, kSeedCapacity,
                  PanelCountInput(controls, inputs.NP));
  inputs.vortex = ChosenVortexModel(controls);
  if (inputs.circulation && inputs.vortex == VortexModel::kNone) {
    const bool options = controls.source == ControlValues::Source::kCommandLine;
    throw RunError(ErrorKind::kInvalidArgument, options ? kChooseVortexOption : kChooseVortexModel);
  }
  inputs.alpha_degrees = ReadControl(controls.Text_AlfaD, "angle of attack");
  if (!std::isfinite(AlphaRadians(inputs.alpha_degrees))) {
    throw RunError(ErrorKind::kOverflow, "the angle of attack " + QuotedInput(controls.Text_AlfaD) +
                                             " is too large to turn into radians.");
  }
  return inputs;
}

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

void SetUpProblem(Module_Common& C, const RunInputs& inputs) {
  C.NP = inputs.NP;
  C.NEq = inputs.NEq();
  C.NRhs = inputs.NRhs();
  C.Xv = inputs.Xv;
  C.Yv = inputs.Yv;
  inputs.body->Contour(C);
}

bool RunCalculation(Module_Common& C, const RunInputs& inputs, CalculationWindow& window,
                    const ReportOptions& reports) {
  SetUpProblem(C, inputs);

  const double alpha = AlphaRadians(inputs.alpha_degrees);
  C.CosAlfa = std::cos(alpha);
  C.SinAlfa = std::sin(alpha);

  Panel_Geometry(C, *inputs.body, window, reports);
  if (!InfluCoeff_Assemble(C, inputs, window, reports)) return false;
  ComputeSurfaceSpeeds(C);
  window.Show_Pressure(C.NP, C.Xc, C.Cu, BodyDrawScale(*inputs.body, C.RefLength));
  WritePressureReport(C, reports);
  return true;
}

RunOutcome Command1_Click(Module_Common& C, const ControlValues& controls,
                          CalculationWindow& window, const ReportOptions& reports,
                          std::optional<RunInputs>* inputs_read) {
  if (inputs_read != nullptr) inputs_read->reset();
  try {
    const RunInputs inputs = ReadRunInputs(controls);
    if (inputs_read != nullptr) *inputs_read = inputs;
    if (RunCalculation(C, inputs, window, reports)) return RunOutcome::kCompleted;
    // No pressure from this run: nothing of an earlier run may stand beside its body
    // and matrix while the message is up, in the window or in the folder.
    RemoveReportsNotReached(reports);
    window.Clear_Picture(PictureId::kPressure);
    window.MsgBox(kZeroPivotMessage);
    return RunOutcome::kZeroPivot;
  } catch (const RunError& error) {
    // A file fault lies in the folder itself: nothing more is touched there.
    if (error.kind() != ErrorKind::kFileError) RemoveReportsNotReached(reports);
    window.ShowRunError(error.what());
  } catch (const std::exception& error) {
    // Nothing else is expected; still, the window must keep working.
    RemoveReportsNotReached(reports);
    window.ShowRunError(std::string("Internal error: ") + error.what());
  }
  return RunOutcome::kFailed;
}

}  // namespace velquin
