#include "cli/problem_batch.h"

#include "app/calculation_run.h"
#include "app/derived_text.h"
#include "app/input_notes.h"
#include "app/problem_run.h"
#include "app/viscous_text.h"
#include "base/report_folder.h"
#include "base/report_writer.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "cli/batch_window.h"
#include "cli/standard_streams.h"
#include "geometry/body_names.h"
#include "geometry/element_layout.h"

namespace velquin {
namespace {

// The elements of the request, coordinate files read: a file of several elements gives
// them all, and then takes no --place or --flap.
std::vector<ElementInput> ReadElementInputs(const BatchRequest& request) {
  std::vector<ElementInput> elements;
  for (const ElementRequest& r : request.elements) {
    std::string error;
    if (!r.file) {
      ElementInput e;
      e.body = BodyFromName(r.value, error);
      e.placement = r.placement;
      e.flap = r.flap;
      elements.push_back(e);
      continue;
    }
    const std::optional<std::vector<SectionPoints>> sections = ReadElementFile(r.value, error);
    if (!sections) throw RunError(ErrorKind::kFileError, error);
    if (sections->size() > 1 && (r.placement || r.flap)) {
      throw RunError(ErrorKind::kInvalidArgument, "--place and --flap belong to one element, and " +
                                                      QuotedPath(r.value) + " holds " +
                                                      std::to_string(sections->size()) + ".");
    }
    for (std::size_t k = 0; k < sections->size(); ++k) {
      ElementInput e;
      e.section = (*sections)[k];
      e.file = r.value;
      e.file_element = static_cast<int>(k) + 1;
      e.placement = r.placement;
      e.flap = r.flap;
      elements.push_back(e);
    }
  }
  return elements;
}

std::string WhyGeneral(const BatchRequest& request) {
  if (request.elements.size() > 1) return "several elements";
  if (request.ground_height) return "a ground plane";
  for (const ElementRequest& e : request.elements) {
    if (e.flap) return "a flap";
    if (e.placement) return "a placed element";
  }
  // Else the batch run found several elements in the one file (batch_run.cpp).
  return request.options.count("--general") != 0 ? "--general" : "a file of several elements";
}

void WriteText(const ReportOptions& reports, const char* name, const std::string& text) {
  ReportFile file(reports, name);
  file.out().Text(text);
  file.Close();
}

}  // namespace

ProblemInputs ReadProblemInputs(const BatchRequest& request) {
  const ControlValues& controls = request.controls;
  ProblemInputs inputs;
  inputs.elements = ReadElementInputs(request);
  if (request.options.count("--panels") != 0) inputs.panels = ReadNumber(controls.Text_NP);
  if (controls.Check_Circulation == 1) {
    inputs.vortex = ChosenVortexModel(controls);
    if (inputs.vortex == VortexModel::kNone) {
      throw RunError(ErrorKind::kInvalidArgument, kChooseVortexOption);
    }
  }
  inputs.Xv = ReadNumber(controls.Text_Xv);
  inputs.Yv = ReadNumber(controls.Text_Yv);
  inputs.ground_height = request.ground_height;
  return inputs;
}

int RunProblemRequest(const BatchRequest& request, std::ostream& out, std::ostream& err,
                      char decimal_separator, const FlowPicturesWriter& write_flow) {
  PrintMessages(ReadingNotes(request.controls), "note", err);
  PrintMessages(request.sweep_notes, "note", err);
  PrintMessages({"the general problem (" + WhyGeneral(request) +
                 ") writes surface.csv instead of the three reports"},
                "note", err);
  try {
    const ProblemInputs inputs = ReadProblemInputs(request);
    const PanelProblem problem = MakePanelProblem(inputs);
    std::vector<std::string> angles = request.sweep_angles;
    if (angles.empty()) angles.push_back(request.controls.Text_AlfaD);
    std::vector<double> degrees;
    for (const std::string& angle : angles) degrees.push_back(ReadNumber(angle));
    const std::vector<ProblemSolution> solutions = SolvePanelProblem(problem, degrees);
    std::vector<ViscousResult> viscous;
    if (request.viscous) {
      SweepProgress shown(err, degrees.size(), "viscous");
      viscous = SolveViscousProblem(problem, degrees, *request.viscous, [&shown](std::size_t done) {
        shown.Done(done);
        return true;
      });
      shown.Finish();
      PrintMessages(ViscousWarnings(*request.viscous, problem.FewestPanels(), viscous, degrees),
                    "warning", err);
    }
    // The panels of the last angle (above a ground they turn with the angle).
    const PanelSystem last(problem, degrees.back());

    ReportFolder folder(request.out_directory);
    const ReportOptions reports{request.out_directory, decimal_separator, &folder};
    WriteText(reports, "surface.csv", SurfaceCsv(last.Panels(), solutions.back()));
    if (!viscous.empty()) WriteText(reports, "bl.csv", BoundaryLayerTable(viscous.back()));
    if (!request.sweep_angles.empty()) {
      std::string polar = kPolarHeader;
      if (!viscous.empty()) polar += ViscousPolarColumns(problem.elements.size());
      polar += "\n";
      for (std::size_t k = 0; k < angles.size(); ++k) {
        polar += ProblemPolarRow(angles[k], solutions[k]);
        if (!viscous.empty()) polar += ViscousPolarValues(viscous[k]);
        polar += "\n";
      }
      WriteText(reports, "polar.csv", polar);
    }
    if (request.flow) {
      const std::string failure = write_flow({nullptr, &inputs, degrees.back(), request.viscous},
                                             request.sweep_angles, reports.directory);
      if (!failure.empty()) {
        err << "velquin2ds: " << failure << '\n';
        return 1;
      }
    }
    std::string line = ProblemResultsLine(solutions.back());
    if (!viscous.empty()) line += ViscousResultsPairs(viscous.back(), request.viscous->mach);
    return WriteResults(out, line + "\n", err) ? 0 : 1;
  } catch (const RunError& error) {
    err << "velquin2ds: " << error.what() << '\n';
    return 1;
  }
}

}  // namespace velquin
