// The elements of a multi-element configuration: where each one lies, a deflected
// flap on a section, and coordinate files that hold several elements.
//
// Every contour here is a list of nodes 0..n as Body::ContourNodes gives them:
// clockwise, node 0 the trailing edge, node n closing the contour on node 0.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geometry/body.h"
#include "geometry/geometry_file.h"

namespace velquin {

// Scaled to `chord`, turned by `degrees` about the leading edge (positive: trailing
// edge down, as a flap is deflected), the leading edge moved to (x, y).
struct Placement {
  double x = 0, y = 0, degrees = 0, chord = 1;
  bool operator==(const Placement& o) const {
    return x == o.x && y == o.y && degrees == o.degrees && chord == o.chord;
  }
};

// The leading edge of a contour: its node furthest forward (the first of equals).
ContourPoint LeadingEdge(const std::vector<ContourPoint>& nodes);

// The nodes placed: p' = (x, y) + chord R(-degrees) (p - leading edge).
std::vector<ContourPoint> PlaceNodes(const std::vector<ContourPoint>& nodes,
                                     const Placement& placement);

// The nodes of a coordinate file's section at the file's own coordinates, not brought
// to unit chord (the elements of a configuration keep where the file puts them).
std::vector<ContourPoint> FileCoordinates(const SectionPoints& section);

// A coordinate file of several elements: the elements are separated by a line whose two
// numbers are both at least 999 (the convention of JavaFoil's multi-element files).
// Each is read and checked as a file of its own, and messages name it "element K of
// FILE". A file without such a line is one element.
std::optional<std::vector<SectionPoints>> ReadElementFile(const std::string& path,
                                                          std::string& error);
// True when the coordinate file at `path` holds more than one element, as ReadElementFile
// divides it (false too when it cannot be read: its reading names the fault).
bool HoldsSeveralElements(const std::string& path);

// A plain flap: the part of a section behind the hinge, at chord fraction `hinge` on the
// mean line (halfway between the surfaces), turned about the hinge by `degrees`
// (positive: trailing edge down).
struct Flap {
  double hinge = 0.75, degrees = 0;
  bool operator==(const Flap& o) const { return hinge == o.hinge && degrees == o.degrees; }
};
inline constexpr double kFlapHingeMin = 0.05, kFlapHingeMax = 0.95, kFlapDegreesMax = 60;
// The nodes a body's flap is cut from, before re-panelling: fine enough that the hinge's
// corner and the arc are resolved far below the final panels.
inline constexpr int kFlapSourceNodes = 600;

// The section of the nodes `unit` (a contour at unit chord, trailing edge at (1, 0), as
// finely resolved as may be) with its flap deflected, laid out with NP panels. The surface on the
// outer side of the bend is joined by an arc about the hinge, the inner side is trimmed where the
// turned part overlaps it; the new contour is re-panelled with NP nodes, cosine-spaced towards both
// edges, through a spline in arc length. Returns nothing with `error` set when the hinge lies
// outside kFlapHingeMin..kFlapHingeMax, the angle beyond kFlapDegreesMax, or the contour cannot be
// formed.
std::optional<std::vector<ContourPoint>> DeflectFlap(const std::vector<ContourPoint>& unit,
                                                     const std::string& name, const Flap& flap,
                                                     int NP, std::string& error);

}  // namespace velquin
