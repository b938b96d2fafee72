#include "cli/batch_run.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/calculation_run.h"
#include "app/derived_text.h"
#include "app/run_session.h"
#include "app/viscous_text.h"
#include "base/module_common.h"
#include "base/report_folder.h"
#include "base/report_writer.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "cli/batch_window.h"
#include "cli/problem_batch.h"
#include "cli/standard_streams.h"
#include "cli/verify_command.h"
#include "geometry/element_layout.h"
#include "solver/angle_sweep.h"
#include "solver/derived_results.h"
#include "solver/module_gauss.h"
#include "viscous/panel_viscous.h"

namespace velquin {
namespace {

// Runs the angles of the sweep on the state of a completed run and writes polar.csv.
// Progress goes to `err` as one line that counts up when there are more than a few
// angles and stderr is a terminal. Returns false after a zero pivot (its message shown);
// throws RunError. With `viscous` (one result per angle) every row gains the viscous
// columns.
bool SweepAndWritePolar(const Module_Common& state, const RunInputs& inputs,
                        const std::vector<std::string>& angles, const ReportOptions& reports,
                        std::ostream& err, const std::vector<ViscousResult>* viscous) {
  std::vector<double> degrees;
  degrees.reserve(angles.size());
  for (const std::string& angle : angles) degrees.push_back(ReadNumber(angle));

  const std::size_t total = angles.size();
  SweepProgress shown(err, total, "sweep");
  AngleObserver progress;
  if (shown.Shown()) {
    progress = [&shown](std::size_t index, const AngleSolution&) { shown.Done(index + 1); };
  }
  const std::optional<std::vector<DerivedResults>> results =
      SweepAngles(state, inputs, degrees, progress);
  shown.Finish();
  if (!results) {
    err << "velquin2ds:" << kZeroPivotMessage << '\n';
    return false;
  }

  ReportFile file(reports, "polar.csv");
  ReportText& out = file.out();
  out.Reserve(total * 96 + 80);
  out.Text(kPolarHeader);
  if (viscous) out.Text(ViscousPolarColumns(1));
  out.Text("\n");
  for (std::size_t k = 0; k < total; ++k) {
    out.Text(PolarRow(angles[k], (*results)[k]));
    if (viscous) out.Text(ViscousPolarValues((*viscous)[k]));
    out.Text("\n");
  }
  file.Close();
  return true;
}

// The viscous analysis of a completed run: its panels factored once, then every angle of
// the sweep (or the run's one angle) with the interaction passes. Writes bl.csv of the
// last angle, the one the reports and the stdout line belong to, and warns where the
// Karman-Tsien flow turns supersonic. Returns nothing after a zero pivot (its message
// shown); throws RunError.
std::optional<std::vector<ViscousResult>> AnalyseViscousRun(
    const Module_Common& state, const RunInputs& inputs, const std::vector<std::string>& angles,
    const ViscousOptions& options, const ReportOptions& reports, std::ostream& err) {
  const std::optional<FactoredPanelProblem> problem = FactorPanelProblem(state, inputs);
  if (!problem) {
    err << "velquin2ds:" << kZeroPivotMessage << '\n';
    return std::nullopt;
  }
  std::vector<double> degrees;
  for (const std::string& angle : angles) degrees.push_back(ReadNumber(angle));
  if (degrees.empty()) degrees.push_back(inputs.alpha_degrees);
  SweepProgress shown(err, degrees.size(), "viscous");
  const std::vector<ViscousResult> results =
      SolveViscousPolar(*problem, degrees, options, [&shown](std::size_t done) {
        shown.Done(done);
        return true;
      });
  shown.Finish();
  PrintMessages(ViscousWarnings(options, static_cast<int>(inputs.NP), results, degrees), "warning",
                err);
  ReportFile file(reports, "bl.csv");
  file.out().Text(BoundaryLayerTable(results.back()));
  file.Close();
  return results;
}

// The zero pivot's message is the system's own and names no input: what met it.
void ExplainZeroPivot(const RunInputs& inputs, std::ostream& err) {
  err << "velquin2ds: the elimination, which exchanges no rows, met a zero on the diagonal of the "
      << NumberText(inputs.NEq()) << " equations of " << NumberText(inputs.NP)
      << (inputs.NP == 1 ? " panel" : " panels")
      << "; no pressure report was written. Another panel count or vortex position may be "
         "solvable.\n";
}

// Where a run stops in its arithmetic, the files of an earlier run that it would have
// written later go, as its later reports do (calculation_run.h): no set mixes two runs.
void RemoveLaterFiles(const BatchRequest& request, const ReportFolder& folder) {
  std::vector<std::string> set = kRunReports;
  if (request.viscous) set.emplace_back("bl.csv");
  if (!request.sweep_angles.empty()) set.emplace_back("polar.csv");
  folder.RemoveRestOfSet(set);
}

}  // namespace

int RunBatchRequest(const BatchRequest& given, std::ostream& out, std::ostream& err,
                    char decimal_separator, const BatchPicturesFactory& make_pictures,
                    const FlowPicturesWriter& write_flow) {
  if (given.general) return RunProblemRequest(given, out, err, decimal_separator, write_flow);
  BatchRequest request = given;
  // A coordinate file of several elements is the general problem, as two bodies are.
  if (!request.body_file.empty() && HoldsSeveralElements(request.body_file)) {
    request.general = true;
    return RunProblemRequest(request, out, err, decimal_separator, write_flow);
  }
  if (!request.body_file.empty()) {
    std::string problem;
    if (!SetBodyFromFile(request.body_file, request.options.count("--panels") != 0,
                         request.controls, problem)) {
      err << "velquin2ds: " << problem << '\n';
      return 1;
    }
  }
  std::unique_ptr<BatchPictures> pictures;
  if (request.images) pictures = make_pictures();
  PictureSet<Picture*> drawn_into;
  NullPicture nowhere;
  for (const PictureEntry& entry : kPictures) {
    drawn_into[static_cast<std::size_t>(entry.id)] =
        pictures ? &pictures->PictureOf(entry.id) : &nowhere;
  }

  auto state = std::make_unique<Module_Common>();
  Form_Load(*state);
  BatchWindow window(request.controls, drawn_into, err);
  // --sweep's numbers are read like the fields, so their notes come with the fields'.
  std::vector<std::string> notes = request.sweep_notes;
  for (std::string& note : IgnoredOptionNotes(request)) notes.push_back(std::move(note));
  window.SetOptionNotes(notes);
  // The folder is made and held from the first report to the end of the run: the
  // reports, polar.csv and the pictures all come from this run.
  ReportFolder folder(request.out_directory);
  const ReportOptions reports{request.out_directory, decimal_separator, &folder};
  const RunRecord run = RunSession(*state, window, reports);
  if (run.outcome == RunOutcome::kZeroPivot) ExplainZeroPivot(*run.inputs, err);
  const auto stopped = [&folder, &request] {
    RemoveLaterFiles(request, folder);
    return 1;
  };
  if (run.outcome == RunOutcome::kZeroPivot) return stopped();
  if (run.outcome != RunOutcome::kCompleted) return 1;
  const RunInputs& inputs = *run.inputs;
  PrintMessages(run.warnings, "warning", err);
  std::optional<std::vector<ViscousResult>> viscous;
  try {
    if (request.viscous) {
      viscous =
          AnalyseViscousRun(*state, inputs, request.sweep_angles, *request.viscous, reports, err);
      if (!viscous) return stopped();
    }
    if (!request.sweep_angles.empty() &&
        !SweepAndWritePolar(*state, inputs, request.sweep_angles, reports, err,
                            viscous ? &*viscous : nullptr)) {
      return stopped();
    }
  } catch (const RunError& error) {
    err << "velquin2ds: " << error.what() << '\n';
    return error.kind() == ErrorKind::kFileError ? 1 : stopped();
  }
  if (pictures) {
    const std::string failure = pictures->Save(reports.directory);
    if (!failure.empty()) {
      err << "velquin2ds: " << failure << '\n';
      return 1;
    }
  }
  if (request.flow) {
    const std::string failure =
        write_flow({&inputs, nullptr, inputs.alpha_degrees, request.viscous}, request.sweep_angles,
                   reports.directory);
    if (!failure.empty()) {
      err << "velquin2ds: " << failure << '\n';
      return 1;
    }
  }
  std::string line = DerivedResultsLine(*run.results);
  if (viscous) line += ViscousResultsPairs(viscous->back(), request.viscous->mach);
  line += '\n';
  return WriteResults(out, line, err) ? 0 : 1;
}

int RunBatchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    char decimal_separator, const BatchPicturesFactory& make_pictures,
                    const FlowPicturesWriter& write_flow, const PictureFileWriter& write_picture) {
  if (IsHelpRequest(args)) {
    return WriteResults(out, UsageText(), err) ? 0 : 1;
  }
  if (std::find(args.begin(), args.end(), "--version") != args.end()) {
    return WriteResults(out, std::string("velquin2ds ") + VELQUIN_VERSION + "\n", err) ? 0 : 1;
  }
  if (IsVerifyRequest(args)) return RunVerifyCommand(args, out, err, write_picture);
  BatchRequest request;
  try {
    request = ParseBatchCommand(args);
    if (request.images && !make_pictures) {
      throw UsageError{"--images is not available in this build"};
    }
    if (request.flow && !write_flow) throw UsageError{"--flow is not available in this build"};
  } catch (const UsageError& error) {
    err << ShortUsage(error);
    return 2;
  }
  return RunBatchRequest(request, out, err, decimal_separator, make_pictures, write_flow);
}

}  // namespace velquin
