// Sections for the viscous tests: the panels of a named body with the constant vortex
// distribution, factored once, and the XFOIL reference table.
#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/calculation_run.h"
#include "app/problem_run.h"
#include "geometry/body_names.h"
#include "geometry/module_panel.h"
#include "viscous/panel_viscous.h"

namespace velquin::test_support {

inline RunInputs SectionInputs(const std::string& body, int panels) {
  std::string error;
  RunInputs inputs;
  inputs.body = BodyFromName(body, error);
  inputs.NP = panels;
  inputs.circulation = true;
  inputs.vortex = VortexModel::kConstantDistribution;
  return inputs;
}

inline FactoredPanelProblem FactoredSection(const std::string& body, int panels) {
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  const RunInputs inputs = SectionInputs(body, panels);
  SetUpProblem(*C, inputs);
  Panel_ComputeGeometry(*C);
  return *FactorPanelProblem(*C, inputs);
}

// The same section as the general problem (one element, its own LU factors), for panel
// counts beyond the single-section arrays.
inline FactoredPanelProblem FactoredGeneralSection(const std::string& body, int panels) {
  std::string error;
  ProblemInputs inputs;
  ElementInput element;
  element.body = BodyFromName(body, error);
  inputs.elements = {element};
  inputs.panels = panels;
  inputs.vortex = VortexModel::kConstantDistribution;
  return FactorPanelProblem(std::make_shared<const PanelSystem>(MakePanelProblem(inputs), 0.0),
                            0.0);
}

// A row of tests/data/xfoil_viscous.csv (docs/xfoil_viscous_reference.sh).
struct XfoilPoint {
  std::string section;
  double re = 0, alpha = 0, cl = 0, cd = 0, cdp = 0, cm = 0, xtr_top = 0, xtr_bottom = 0;
};

inline std::vector<XfoilPoint> ReadXfoilViscous() {
  std::ifstream in(std::string(VELQUIN_SOURCE_DIR) + "/tests/data/xfoil_viscous.csv");
  std::vector<XfoilPoint> points;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::istringstream row(line);
    row.imbue(std::locale::classic());
    XfoilPoint p;
    std::getline(row, p.section, ',');
    char comma;
    row >> p.re >> comma >> p.alpha >> comma >> p.cl >> comma >> p.cd >> comma >> p.cdp >> comma >>
        p.cm >> comma >> p.xtr_top >> comma >> p.xtr_bottom;
    if (row) points.push_back(p);
  }
  return points;
}

}  // namespace velquin::test_support
