// A run of the general panel problem from typed inputs: several elements (bodies by
// name or coordinate files, each placed and possibly with a deflected flap), any panel
// count up to kMaxProblemPanels in all, a ground plane. It writes no seed reports; its
// outputs are the text of surface.csv, one line of results and polar rows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/body.h"
#include "geometry/element_layout.h"
#include "geometry/geometry_file.h"
#include "solver/panel_problem.h"

namespace velquin {

struct ElementInput {
  BodyPtr body;                          // a body by name, or
  std::optional<SectionPoints> section;  // an element of a coordinate file
  std::optional<Placement> placement;
  std::optional<Flap> flap;
  // Where a coordinate file's element was read: the file and its place among the file's
  // elements (from 1), so that a session can name it again; empty for a body by name.
  std::string file;
  int file_element = 1;
};

// The panels of a body by name when none are asked for.
inline constexpr int kDefaultElementPanels = 160;

struct ProblemInputs {
  std::vector<ElementInput> elements;
  // Panels per element; without it a coordinate file keeps its own points and a body by
  // name takes kDefaultElementPanels.
  std::optional<double> panels;
  VortexModel vortex = VortexModel::kNone;  // of every element
  double Xv = 0.5, Yv = 0;
  std::optional<double> ground_height;
};

// True when the inputs need the general problem rather than the seed's single body: several
// elements, a placement, a flap or a ground.
bool NeedsGeneralProblem(const ProblemInputs& inputs);

// The elements laid out: a body by name at unit chord with its leading edge at (0, 0);
// a coordinate file at unit chord when it is the only element, at the file's own
// coordinates among several; then the flap and the placement. Throws RunError naming
// the element ("element 2, NACA 23012: ...").
PanelProblem MakePanelProblem(const ProblemInputs& inputs);

// surface.csv: "element,panel,x1,y1,x2,y2,xc,yc,vt,cp", one line per panel (elements and
// panels counted from 1), the nodes as the computation used them; shortest round-trip
// numbers, a point as decimal separator, LF line ends.
std::string SurfaceCsv(const ProblemPanels& panels, const ProblemSolution& solution);

// The results on one line of key=value pairs: cl_circulation, cl_pressure,
// cm_quarter_chord, source_sum, then per element cl_pressure_K and cl_circulation_K.
std::string ProblemResultsLine(const ProblemSolution& solution);

// A row of polar.csv (kPolarHeader) for the general problem.
std::string ProblemPolarRow(std::string_view alpha_degrees, const ProblemSolution& solution);

}  // namespace velquin
