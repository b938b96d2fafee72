// Sections given by their own points: coordinate files in the Selig or the Lednicer
// format, brought to the contour convention of every body of the program.
//
// Selig: an optional name line, then one point "x y" a line, running round the contour
// from one trailing edge point to the other (either way round). Lednicer: a name line,
// a line with the point counts of the upper and the lower surface, then the upper
// surface from the leading to the trailing edge, then the lower surface the same way.
// Numbers are separated by blanks, tabs or commas and use a point as decimal separator,
// whatever the locale; blank lines are skipped.
//
// The contour is brought to the house convention: clockwise from the trailing edge,
// lower side first (so that the left-hand normal of every panel points out of the body),
// translated and scaled, never rotated, so that the trailing edge lies at (1, 0) and the
// leading edge, the point furthest forward, at x = 0. The two end points of the file's
// contour are joined into one trailing-edge node at their midpoint, whether they
// coincide (a closed edge) or not (an open one), so that the Kutta-type condition acts
// on the two surface panels that meet there. A file of n points thus gives n - 1 nodes
// and as many panels. The ends may lie at most 3 % of the chord (the reach of the
// points along x) apart: blunt edges are open by 0.1 to 2 %, while a file cut short or
// holding one surface has its ends much further apart. And the joined node must be the
// rearmost point of the contour: a file that starts part-way along a surface joins its
// ends elsewhere. The reader refuses both.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/module_common.h"
#include "geometry/body.h"

namespace velquin {

// The nodes of a section: node 0 is the trailing edge (1, 0), nodes 1..n-1 follow it
// clockwise, and the contour closes from node n-1 back to node 0.
struct SectionPoints {
  std::string name;    // the file's name line (control characters as '?'), or its file name
  std::string source;  // "coordinate file 'PATH'", as messages name it
  std::vector<double> x, y;
  // The file line of each node, for messages (the trailing edge: its first point).
  std::vector<int> line;
  int file_points = 0;  // points the file holds
  // How the file's coordinates were brought to unit chord: the file's point is
  // (file_x_te + (x - 1) file_chord, file_y_te + y file_chord).
  double file_chord = 1, file_x_te = 1, file_y_te = 0;

  int NodeCount() const { return static_cast<int>(x.size()); }
};

// Whether the decimal number `text` (std::from_chars' syntax, with an optional sign) is
// nonzero but too small in size for a double, so that it would read as 0: "1e-400".
bool UnderflowsDouble(std::string_view text);

// Files longer than this are refused before they are read.
inline constexpr long long kMaxSectionFileBytes = 1 << 20;

// Reads and checks the coordinate file at `path`. On any fault returns nothing and sets
// `error` to a one-line message that names the file (quoted, control characters as
// '?') and, where one is to blame, the line: a file that cannot be read, is not a
// regular file (opened without blocking, so a FIFO is refused at once rather than
// waited on) or is longer than 1 MB; a line that is not two numbers, a number that is
// not finite, a coordinate whose size is neither 0 nor between 1e-100 and 1e100 (a
// number that underflows a double among them); fewer than four distinct points, a
// point that repeats the one before it, end points too far apart, a point behind the
// trailing edge, a contour that crosses itself. The file is read into memory once and
// only then checked, so a file rewritten meanwhile gives one version or the other.
std::optional<SectionPoints> ReadSectionFile(const std::string& path, std::string& error);

// The text of the coordinate file at `path`, read once and whole (with the same limits
// and messages as ReadSectionFile), or nothing with `error` set.
std::optional<std::string> ReadCoordinateText(const std::string& path, std::string& error);

// The same checks on the text of a file; `shown` is the file's name as messages quote it.
std::optional<SectionPoints> ParseSectionText(std::string_view text, std::string_view shown,
                                              std::string& error);

// Empty when the closed polygon of the nodes does not cross or touch itself, otherwise
// the 0-based start nodes of two panels that meet.
std::optional<std::pair<int, int>> SectionCrossing(const SectionPoints& section);

// The section re-panelled with NP nodes (3 <= NP): a cubic spline through the nodes in
// arc length (GSL's natural cubic spline), NP / 2 nodes on the lower side and the rest
// on the upper, each side cosine-spaced in arc length between the trailing edge and the
// leading edge (the point of the spline furthest forward), so the nodes crowd towards
// both edges. Brought back to the trailing edge at (1, 0) and the leading edge at x = 0.
// Returns nothing and sets `error` when the spline's contour crosses itself, or when a
// node of the section lies further from the new panel over it than that panel is long
// (and than 0.1 % of the chord): the new panels would not follow the section's contour,
// only pass through some of its points, as they do through a zigzag.
std::optional<SectionPoints> RepanelSection(const SectionPoints& section, int NP,
                                            std::string& error);

// The contour procedure of a section: sets RefLength = 1 and the nodes of panels
// 1..C.NP from section node i - 1 to node i (node NP being node 0 again).
// C.NP must equal section.NodeCount().
void Geometry_File(Module_Common& C, const SectionPoints& section);

// The body of a section. Its own panel count is its node count, and it takes no other.
BodyPtr SectionBody(SectionPoints section);

// The body of a coordinate file for a run with or without circulation. Without NP, the
// file's nodes, refused when they are more than the arrays hold (199 panels without
// circulation, 198 with: "... has 250 points (249 panels); at most 198 panels with
// circulation: give --panels to re-panel it"). With a whole NP from 3 to that capacity,
// the section re-panelled with NP nodes; NP = 1 or 2 is refused (a contour needs three
// nodes at least). Any other NP is left to the checks of the run's panel count: the
// body of the file's nodes is returned. On a refusal returns null and sets `error`.
BodyPtr SectionFileBody(const SectionPoints& section, std::optional<double> NP, bool circulation,
                        std::string& error);

}  // namespace velquin
