// The calculation run that the "Calculate" button starts: reads the controls, sizes the
// problem, builds the body and its panels, assembles and solves the system, computes the
// surface speed and 1 - Cp, draws the three pictures and writes the three reports.
#pragma once

#include <string>

#include "shell/calculation_window.h"
#include "shell/module_common.h"
#include "shell/report_writer.h"

namespace velquin {

enum class RunOutcome {
  kCompleted,  // every report written, every picture drawn
  kZeroPivot,  // the elimination met a zero pivot; its message was shown
  kFailed,     // a run error stopped the run; its message was shown
};

// Command1_Click: one calculation run. Never throws: a run error is shown through
// window.ShowRunError and the run stops at that point, leaving the reports and pictures
// it had completed.
RunOutcome Command1_Click(Module_Common& C, CalculationWindow& window,
                          const ReportOptions& reports);

// The same run, throwing RunError instead of reporting it. Returns false after a zero
// pivot (the run then stops before the strengths, speeds, plot and pressure report).
bool RunCalculation(Module_Common& C, CalculationWindow& window, const ReportOptions& reports);

// The text of "Output_PressCoeffs.txt": control points and 1 - Cp of panels 1..NP.
void PressureReportText(const Module_Common& C, ReportText& out);

// The refusals checked before anything is written: the panel count (a whole number,
// at least 1, even for the NACA 0012 section, within the capacity of the arrays), a
// body chosen, and a vortex model chosen when circulation is on. Throws RunError.
void CheckRunInputs(const ControlValues& controls, double NP);

}  // namespace velquin
