// The calculation run that the "Calculate" button starts: reads the controls once into
// the typed description of the run, sizes the problem, builds the body and its panels,
// assembles and solves the system, computes the surface speed and 1 - Cp, draws the
// three pictures and writes the three reports.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/control_values.h"
#include "base/module_common.h"
#include "base/report_writer.h"
#include "base/run_error.h"
#include "solver/run_inputs.h"

namespace velquin {

enum class RunOutcome {
  kCompleted,  // every report written, every picture drawn
  kZeroPivot,  // the elimination met a zero pivot; its message was shown
  kFailed,     // a run error stopped the run; its message was shown
};

// The refusal when circulation is asked for without a vortex model to carry it, in the
// window's words and in the command line's.
inline constexpr const char* kChooseVortexModel =
    "circulation needs a vortex model: choose \"Point vortex\" or \"Constant vortex "
    "distribution\".";
inline constexpr const char* kChooseVortexOption =
    "circulation needs a vortex model: give --vortex point or --vortex constant.";

// The vortex model the controls choose (ChooseVortexModel), none when neither is chosen.
VortexModel ChosenVortexModel(const ControlValues& controls);

// The panel counts a problem takes: whole numbers from `fewest`, up to one limit with
// circulation and another without. The seed's arrays have the indices 0..200, and the
// right-hand side takes the column after the unknowns: 199 panels without circulation,
// 198 with it, beyond which the subscript is out of range.
struct PanelCapacity {
  double fewest = 1;
  double most_without_circulation = kMaxIndex - 1;
  double most_with_circulation = kMaxIndex - 2;
  ErrorKind beyond = ErrorKind::kSubscriptOutOfRange;  // the error past the limit
};
inline constexpr PanelCapacity kSeedCapacity{};

// Checks a panel count against `capacity` and then against the body (an odd count on a
// section whose halves mirror, say). Throws RunError whose message says what is wrong,
// then `read_as`, which names the input (`the number of panels "12x" reads as 12.`).
// None at all is a division by zero, as the run meets it.
void CheckPanelCount(double NP, bool circulation, const Body& body, const PanelCapacity& capacity,
                     const std::string& read_as);

// The body the controls choose: Other_Body when set, else the circle or the NACA 0012
// section of the two options. Throws RunError(kInvalidArgument) when neither option or
// both are selected.
BodyPtr ChosenBody(const ControlValues& controls);

// Reads the controls in the order the run reads them (panels, circulation, vortex
// position, body, angle) and checks them: the panel count a whole number, at least 1,
// within the capacity of the arrays and acceptable to the body; a body chosen; a vortex
// model when circulation is on; an angle that turns into radians. Throws RunError with
// the message of the first problem, naming the input behind it.
RunInputs ReadRunInputs(const ControlValues& controls);

// The three reports of a run, in the order it writes them.
inline const std::vector<std::string> kRunReports = {"Output_Panel.txt", "Output_InfCoeffs.txt",
                                                     "Output_PressCoeffs.txt"};

// Command1_Click: one calculation run with the window's controls (app/run_session.h
// reads them from the window). Never throws: a run
// error is shown through window.ShowRunError and the run stops at that point, leaving
// the reports and pictures it had completed; unless the error is a file's, the later
// reports of an earlier run in the folder (reports.folder) are removed, so that no set
// mixes two runs. A zero pivot is
// shown through window.MsgBox once the coefficient report is closed and the body and
// matrix are drawn; the folder then holds no pressure report.
// The controls are read once; when inputs_read is given, it receives what was read
// (nothing when the controls were refused).
RunOutcome Command1_Click(Module_Common& C, const ControlValues& controls,
                          CalculationWindow& window, const ReportOptions& reports,
                          std::optional<RunInputs>* inputs_read = nullptr);

// The run itself, throwing RunError instead of reporting it. Sets the sizes and the
// vortex position of the state, then runs `inputs`. Returns false after a zero pivot
// (the run then stops before the strengths, speeds, plot and pressure report, and
// shows no message).
bool RunCalculation(Module_Common& C, const RunInputs& inputs, CalculationWindow& window,
                    const ReportOptions& reports);

// The problem of a run in the state: the sizes NP, NEq, NRhs, the vortex position and
// the body's contour. The calculation run and the flow explorer start from it.
void SetUpProblem(Module_Common& C, const RunInputs& inputs);

// The text of "Output_PressCoeffs.txt": control points and 1 - Cp of panels 1..NP.
void PressureReportText(const Module_Common& C, ReportText& out);

}  // namespace velquin
