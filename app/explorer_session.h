// A flow explorer session: everything the explorer shows, as a small INI text file, so
// that a comparison can be put away and opened again (File > Save session, Open
// session, "velquin2ds --explore FILE").
//
//   # Velquin-2DS flow explorer session
//   [explorer]
//   version = 1
//   alpha = 4.5
//   reynolds = 1e6
//   ncrit = 9
//   overlay-polar = naca2412_polar.txt
//   overlay-cp = cp.csv
//   [shown]
//   body = naca2412
//   panels = 80
//   vortex = constant
//   [compare]
//   body-file = ../examples/naca2412.dat
//   points = file
//   vortex = point
//   xv = 0.25
//   yv = 0
//
// The general problem adds to [shown] the body's placement, its flap and the ground,
//   place = 0:0:-2:1        (X:Y:DEG:CHORD, as --place)
//   flap = 0.7:20           (XH:DEG, as --flap)
//   ground = 0.3            (the height below the quarter chord, as --ground)
// and one section a further element, numbered from 2 in order:
//   [element 2]
//   body = naca23012        (or body-file = PATH, with element = K for the K-th element
//   place = 0.95:-0.04:25:0.3   of a file of several; 1 when absent)
//   flap = 0.8:10           (optional, as --flap after its --body)
//
// [explorer] comes first and holds the version (1), the angle of attack in degrees and
// the overlaid files in their order, and the flow conditions of the boundary layers
// (`reynolds` between 1000 and 1e9, absent for the inviscid flow; `ncrit` above 0 and at
// most 30, 9 when absent); [shown] the inputs shown, [compare] (optional) those
// of the second set. A set names its body by a --body name (`body`) or a coordinate file
// (`body-file`, with `points = file` for the file's own points or `points = spline`
// for the contour re-panelled with `panels`); `vortex` is none, constant or point, the
// point vortex at (xv, yv). Relative paths are taken from the session file's folder.
// Numbers use a point as the decimal separator; '#' starts a comment line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/explorer_viscous.h"
#include "app/overlay_files.h"
#include "base/vortex_model.h"
#include "geometry/element_layout.h"

namespace velquin {

// One set of the explorer's inputs.
struct ExplorerSessionSet {
  std::string body;                         // a --body name; empty with a coordinate file
  std::string body_file;                    // a coordinate file's path; empty with a named body
  bool file_points = true;                  // a file's own points, else re-panelled with `panels`
  int panels = 0;                           // 0: a file's own count
  VortexModel vortex = VortexModel::kNone;  // kNone: no circulation
  double xv = 0.5, yv = 0;

  bool operator==(const ExplorerSessionSet& other) const;
};

// A further element of the general problem.
struct ExplorerSessionElement {
  std::string body;       // a --body name; empty with a coordinate file
  std::string body_file;  // a coordinate file's path; empty with a named body
  int file_element = 1;   // which of the file's elements, from 1
  Placement placement;
  std::optional<Flap> flap;

  bool operator==(const ExplorerSessionElement& other) const;
};

struct ExplorerSession {
  ExplorerSessionSet shown;
  // The general problem: the shown body's placement and flap, the ground, the further
  // elements (all absent or empty for a single body in free flight).
  std::optional<Placement> placement;
  std::optional<Flap> flap;
  std::optional<double> ground_height;
  std::vector<ExplorerSessionElement> elements;
  std::optional<ExplorerSessionSet> compare;
  double alpha_degrees = 0;
  ExplorerFlowConditions conditions;                          // the shown set's
  std::vector<std::pair<OverlayKind, std::string>> overlays;  // kind, path

  bool operator==(const ExplorerSession& other) const;
};

// Session files longer than this are refused before they are read.
inline constexpr long long kMaxSessionFileBytes = 1 << 20;

// The text of a session; reads back as the same session (numbers in their shortest
// exact form). Paths are written as they are held.
std::string ExplorerSessionText(const ExplorerSession& session);

// Reads a session's text. On any fault returns nothing and sets `error` to one line that
// names the file (`path` as messages quote it) and the line: not a session (no
// [explorer] first, another version), an unknown section or key, a value that does not
// read, a set without a body, a key given twice. Relative paths are resolved against
// `folder` (empty: left as they are).
std::optional<ExplorerSession> ParseExplorerSession(std::string_view text, const std::string& path,
                                                    const std::string& folder, std::string& error);

// Reads the session file at `path` (a regular file, at most 1 MB, read once).
std::optional<ExplorerSession> ReadExplorerSessionFile(const std::string& path, std::string& error);

}  // namespace velquin
