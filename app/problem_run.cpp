#include "app/problem_run.h"

#include <cmath>

#include "app/derived_text.h"
#include "base/run_error.h"
#include "base/text_number.h"

namespace velquin {
namespace {

std::string ElementName(std::size_t k, const ElementInput& e) {
  const std::string name = e.body ? e.body->Name() : e.section->name;
  return "element " + std::to_string(k + 1) + ", " + name;
}

[[noreturn]] void Refuse(std::size_t k, const ElementInput& e, const std::string& why) {
  throw RunError(ErrorKind::kInvalidArgument, ElementName(k, e) + ": " + why);
}

// The panel count asked for, checked as a whole number of at least 3 that the body takes.
int PanelsFor(std::size_t k, const ElementInput& e, double NP, const Body& body) {
  if (!(NP >= 3) || NP != std::floor(NP) || NP > kMaxProblemPanels) {
    Refuse(k, e,
           "the number of panels must be a whole number from 3 to " +
               std::to_string(kMaxProblemPanels) + ", not " + NumberText(NP) + ".");
  }
  const std::string problem = body.PanelCountProblem(NP);
  if (!problem.empty()) Refuse(k, e, problem + ".");
  return static_cast<int>(NP);
}

// A section of a coordinate file at unit chord: its own points, or re-panelled.
std::vector<ContourPoint> UnitChordNodes(std::size_t k, const ElementInput& e,
                                         std::optional<double> panels) {
  SectionPoints section = *e.section;
  if (panels) {
    if (!(*panels >= 3) || *panels != std::floor(*panels) || *panels > kMaxProblemPanels) {
      Refuse(k, e,
             "the number of panels must be a whole number from 3 to " +
                 std::to_string(kMaxProblemPanels) + ", not " + NumberText(*panels) + ".");
    }
    std::string error;
    std::optional<SectionPoints> repanelled =
        RepanelSection(section, static_cast<int>(*panels), error);
    if (!repanelled) Refuse(k, e, error);
    section = std::move(*repanelled);
  }
  std::vector<ContourPoint> nodes;
  const int n = section.NodeCount();
  for (int i = 0; i <= n; ++i) nodes.push_back({section.x[i % n], section.y[i % n]});
  return nodes;
}

std::vector<ContourPoint> ElementNodes(std::size_t k, const ElementInput& e,
                                       const ProblemInputs& inputs) {
  const bool alone = inputs.elements.size() == 1;
  if (e.flap) {
    std::vector<ContourPoint> unit;
    int NP = 0;
    if (e.body) {
      NP = PanelsFor(k, e, inputs.panels.value_or(kDefaultElementPanels), *e.body);
      unit = e.body->ContourNodes(kFlapSourceNodes);
    } else {
      unit = UnitChordNodes(k, e, std::nullopt);
      NP = static_cast<int>(inputs.panels.value_or(e.section->NodeCount()));
    }
    std::string error;
    std::optional<std::vector<ContourPoint>> flapped =
        DeflectFlap(unit, e.body ? e.body->Name() : e.section->name, *e.flap, NP, error);
    if (!flapped) Refuse(k, e, error);
    return e.placement ? PlaceNodes(*flapped, *e.placement) : *flapped;
  }
  if (e.body) {
    const std::vector<ContourPoint> nodes = e.body->ContourNodes(
        PanelsFor(k, e, inputs.panels.value_or(kDefaultElementPanels), *e.body));
    return e.placement ? PlaceNodes(nodes, *e.placement) : nodes;
  }
  std::vector<ContourPoint> nodes = UnitChordNodes(k, e, inputs.panels);
  if (e.placement) return PlaceNodes(nodes, *e.placement);
  if (alone) return nodes;
  // Among several elements a file keeps its own coordinates.
  const SectionPoints& s = *e.section;
  for (ContourPoint& p : nodes) {
    p = {s.file_x_te + (p.x - 1) * s.file_chord, s.file_y_te + p.y * s.file_chord};
  }
  return nodes;
}

}  // namespace

bool NeedsGeneralProblem(const ProblemInputs& inputs) {
  if (inputs.elements.size() != 1 || inputs.ground_height) return true;
  return inputs.elements.front().placement || inputs.elements.front().flap;
}

PanelProblem MakePanelProblem(const ProblemInputs& inputs) {
  PanelProblem problem;
  problem.ground_height = inputs.ground_height;
  problem.Xv = inputs.Xv;
  problem.Yv = inputs.Yv;
  for (std::size_t k = 0; k < inputs.elements.size(); ++k) {
    const ElementInput& e = inputs.elements[k];
    problem.elements.push_back({ElementName(k, e), ElementNodes(k, e, inputs), inputs.vortex});
  }
  return problem;
}

std::string SurfaceCsv(const ProblemPanels& panels, const ProblemSolution& solution) {
  std::string csv = "element,panel,x1,y1,x2,y2,xc,yc,vt,cp\n";
  csv.reserve(static_cast<std::size_t>(panels.count) * 180 + 64);
  for (std::size_t e = 0; e < panels.elements.size(); ++e) {
    const ElementPanels& element = panels.elements[e];
    for (int i = element.first; i <= element.last; ++i) {
      csv += std::to_string(e + 1) + ',' + std::to_string(i - element.first + 1);
      for (double value : {panels.X1[i], panels.Y1[i], panels.X2[i], panels.Y2[i], panels.Xc[i],
                           panels.Yc[i], solution.vt[static_cast<std::size_t>(i - 1)],
                           solution.cp[static_cast<std::size_t>(i - 1)]}) {
        csv += ',';
        AppendShortestNumber(csv, value);
      }
      csv += '\n';
    }
  }
  return csv;
}

std::string ProblemResultsLine(const ProblemSolution& s) {
  std::string line;
  AppendKeyValue(line, "cl_circulation", s.cl_circulation);
  AppendKeyValue(line, "cl_pressure", s.cl_pressure);
  AppendKeyValue(line, "cm_quarter_chord", s.cm_quarter_chord);
  AppendKeyValue(line, "source_sum", s.source_sum);
  for (std::size_t e = 0; e < s.element_cl_pressure.size(); ++e) {
    AppendKeyValue(line, "cl_pressure_" + std::to_string(e + 1), s.element_cl_pressure[e]);
    AppendKeyValue(line, "cl_circulation_" + std::to_string(e + 1), s.element_cl_circulation[e]);
  }
  return line;
}

std::string ProblemPolarRow(std::string_view alpha_degrees, const ProblemSolution& s) {
  std::string row(alpha_degrees);
  for (double value : {s.cl_circulation, s.cl_pressure, s.cm_quarter_chord, s.source_sum}) {
    row += ',';
    AppendShortestNumber(row, value);
  }
  return row;
}

}  // namespace velquin
