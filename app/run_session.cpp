#include "app/run_session.h"

#include "app/input_notes.h"
#include "base/report_folder.h"

namespace velquin {

RunRecord RunSession(Module_Common& C, RunWindow& window, const ReportOptions& reports) {
  RunRecord run;
  const ControlValues controls = window.Controls();
  run.notes = ReadingNotes(controls);
  window.ShowReadingNotes(run.notes);

  std::optional<ReportFolder> own_folder;
  ReportOptions options = reports;
  if (options.folder == nullptr) options.folder = &own_folder.emplace(options.directory);

  run.outcome = Command1_Click(C, controls, window, options, &run.inputs);
  if (run.outcome == RunOutcome::kCompleted) {
    if (auto warning = VortexPositionWarning(C, *run.inputs)) run.warnings.push_back(*warning);
    run.results = ComputeDerivedResults(C, *run.inputs);
  }
  return run;
}

}  // namespace velquin
