// One run session: a calculation run from the window's controls to everything its user
// is told about it. The main window's "Calculate" and the batch command both go through
// it, so that they read the same notes, run the same Command1_Click and get the same
// warnings and derived results; each then shows them in its own way (a status line, or
// lines on stderr and stdout).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/calculation_run.h"
#include "app/control_values.h"
#include "base/module_common.h"
#include "base/report_writer.h"
#include "solver/derived_results.h"
#include "solver/run_inputs.h"

namespace velquin {

struct RunRecord {
  RunOutcome outcome = RunOutcome::kFailed;
  // How the controls were read where only part of a text was a number (input_notes.h).
  std::vector<std::string> notes;
  // After a completed run: what makes its results doubtful (a point vortex outside the body).
  std::vector<std::string> warnings;
  // What the run read from the controls; none when they were refused.
  std::optional<RunInputs> inputs;
  // After a completed run: lift, moment, source sum and the deviation from an exact flow.
  std::optional<DerivedResults> results;
};

// Reads the window's controls once, hands the reading notes to the window before the run
// starts (so that a command line prints them before any message of the run), runs
// Command1_Click and, after a completed run, adds the warnings and the derived results.
// The reports' folder is held for the run; a caller that writes more files of the same
// run (polar.csv, pictures) passes its own ReportFolder in `reports.folder` and holds it
// to the end. Never throws for what a user can type: a refused input is the run's error
// message, shown through the window.
RunRecord RunSession(Module_Common& C, RunWindow& window, const ReportOptions& reports);

}  // namespace velquin
