#include "geometry/element_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "base/module_common.h"
#include "base/text_number.h"

namespace velquin {
namespace {

constexpr double kArcStepDegrees = 3;

ContourPoint Turn(const ContourPoint& p, const ContourPoint& centre, double cos_t, double sin_t) {
  const double dx = p.x - centre.x, dy = p.y - centre.y;
  return {centre.x + cos_t * dx + sin_t * dy, centre.y - sin_t * dx + cos_t * dy};
}

// y of the polyline at x, between its nodes (the polyline runs monotonically in x).
double OrdinateAt(const std::vector<ContourPoint>& side, double x) {
  for (std::size_t k = 1; k < side.size(); ++k) {
    const ContourPoint& a = side[k - 1];
    const ContourPoint& b = side[k];
    if ((a.x <= x && x <= b.x) || (b.x <= x && x <= a.x)) {
      return a.x == b.x ? a.y : a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
    }
  }
  return side.back().y;
}

bool Intersection(const ContourPoint& p1, const ContourPoint& p2, const ContourPoint& q1,
                  const ContourPoint& q2, ContourPoint& at) {
  const double rx = p2.x - p1.x, ry = p2.y - p1.y, sx = q2.x - q1.x, sy = q2.y - q1.y;
  const double den = rx * sy - ry * sx;
  if (den == 0) return false;
  const double t = ((q1.x - p1.x) * sy - (q1.y - p1.y) * sx) / den;
  const double u = ((q1.x - p1.x) * ry - (q1.y - p1.y) * rx) / den;
  if (t < 0 || t > 1 || u < 0 || u > 1) return false;
  at = {p1.x + t * rx, p1.y + t * ry};
  return true;
}

// One surface, leading edge to trailing edge, with the part behind the hinge turned.
// On the outer side of the bend an arc about the hinge closes the gap; on the inner side
// the fixed and the turned surface overlap and are cut where they cross.
std::vector<ContourPoint> FlappedSide(const std::vector<ContourPoint>& side, const Flap& flap,
                                      const ContourPoint& hinge, bool outer) {
  const double t = AlphaRadians(flap.degrees);
  const double cos_t = std::cos(t), sin_t = std::sin(t);
  const ContourPoint at_hinge{flap.hinge, OrdinateAt(side, flap.hinge)};
  std::vector<ContourPoint> fixed, turned;
  for (const ContourPoint& p : side) {
    if (p.x < flap.hinge) fixed.push_back(p);
  }
  fixed.push_back(at_hinge);
  turned.push_back(Turn(at_hinge, hinge, cos_t, sin_t));
  for (const ContourPoint& p : side) {
    if (p.x > flap.hinge) turned.push_back(Turn(p, hinge, cos_t, sin_t));
  }
  std::vector<ContourPoint> out = fixed;
  if (outer) {
    const double radius = std::hypot(at_hinge.x - hinge.x, at_hinge.y - hinge.y);
    const double start = std::atan2(at_hinge.y - hinge.y, at_hinge.x - hinge.x);
    const int steps =
        std::max(1, static_cast<int>(std::ceil(std::fabs(flap.degrees) / kArcStepDegrees)));
    for (int k = 1; k < steps; ++k) {
      const double angle = start - t * k / steps;
      out.push_back({hinge.x + radius * std::cos(angle), hinge.y + radius * std::sin(angle)});
    }
    out.insert(out.end(), turned.begin(), turned.end());
    return out;
  }
  // The last segments of the fixed part against the first of the turned part.
  for (std::size_t i = fixed.size() - 1; i >= 1; --i) {
    for (std::size_t j = 1; j < turned.size(); ++j) {
      ContourPoint cut;
      if (Intersection(fixed[i - 1], fixed[i], turned[j - 1], turned[j], cut)) {
        out.assign(fixed.begin(), fixed.begin() + static_cast<std::ptrdiff_t>(i));
        out.push_back(cut);
        out.insert(out.end(), turned.begin() + static_cast<std::ptrdiff_t>(j), turned.end());
        return out;
      }
    }
    if (fixed[i].x < flap.hinge - 0.2) break;  // far from the hinge: they do not cross
  }
  out.insert(out.end(), turned.begin(), turned.end());
  return out;
}

}  // namespace

ContourPoint LeadingEdge(const std::vector<ContourPoint>& nodes) {
  return *std::min_element(nodes.begin(), nodes.end(),
                           [](const ContourPoint& a, const ContourPoint& b) { return a.x < b.x; });
}

std::vector<ContourPoint> PlaceNodes(const std::vector<ContourPoint>& nodes,
                                     const Placement& placement) {
  const ContourPoint le = LeadingEdge(nodes);
  const double t = AlphaRadians(placement.degrees);
  const double c = placement.chord * std::cos(t), s = placement.chord * std::sin(t);
  std::vector<ContourPoint> placed;
  placed.reserve(nodes.size());
  for (const ContourPoint& p : nodes) {
    const double dx = p.x - le.x, dy = p.y - le.y;
    placed.push_back({placement.x + c * dx + s * dy, placement.y - s * dx + c * dy});
  }
  return placed;
}

std::vector<ContourPoint> FileCoordinates(const SectionPoints& section) {
  std::vector<ContourPoint> nodes;
  const int n = section.NodeCount();
  for (int k = 0; k <= n; ++k) {
    nodes.push_back({section.file_x_te + (section.x[k % n] - 1) * section.file_chord,
                     section.file_y_te + section.y[k % n] * section.file_chord});
  }
  return nodes;
}

namespace {

// A line of two numbers, both at least 999: the separator of JavaFoil's element files.
bool IsElementSeparator(std::string_view line) {
  std::string text(line);
  for (char& c : text) {
    if (c == ',' || c == '\t' || c == ';') c = ' ';
  }
  const char* p = text.c_str();
  char* end = nullptr;
  const double a = std::strtod(p, &end);
  if (end == p) return false;
  p = end;
  const double b = std::strtod(p, &end);
  if (end == p) return false;
  for (; *end != '\0'; ++end) {
    if (*end != ' ' && *end != '\r') return false;
  }
  return a >= 999 && b >= 999;
}

// The text of each element: the pieces between separator lines (an empty last one
// dropped).
std::vector<std::string_view> ElementParts(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t part_start = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (IsElementSeparator(text.substr(start, end - start))) {
      parts.push_back(text.substr(part_start, start - part_start));
      part_start = end + 1;
    }
    start = end + 1;
  }
  if (part_start < text.size()) parts.push_back(text.substr(part_start));
  return parts;
}

}  // namespace

std::optional<std::vector<SectionPoints>> ReadElementFile(const std::string& path,
                                                          std::string& error) {
  const std::optional<std::string> text = ReadCoordinateText(path, error);
  if (!text) return std::nullopt;
  const std::vector<std::string_view> parts = ElementParts(*text);
  std::vector<SectionPoints> elements;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const std::string shown =
        parts.size() == 1 ? path : path + " (element " + std::to_string(k + 1) + ")";
    // The lines before the element kept as blank lines (which the reading skips), so
    // that its messages give the file's own line numbers.
    const auto before = static_cast<std::size_t>(std::count(text->data(), parts[k].data(), '\n'));
    const std::string numbered = std::string(before, '\n') + std::string(parts[k]);
    std::optional<SectionPoints> element = ParseSectionText(numbered, shown, error);
    if (!element) return std::nullopt;
    elements.push_back(std::move(*element));
  }
  if (elements.empty()) {
    error = "coordinate file " + QuotedPath(path) + " holds no element.";
    return std::nullopt;
  }
  return elements;
}

bool HoldsSeveralElements(const std::string& path) {
  std::string ignored;
  const std::optional<std::string> text = ReadCoordinateText(path, ignored);
  return text && ElementParts(*text).size() > 1;
}

std::optional<std::vector<ContourPoint>> DeflectFlap(const std::vector<ContourPoint>& nodes,
                                                     const std::string& name, const Flap& flap,
                                                     int NP, std::string& error) {
  if (!(flap.hinge >= kFlapHingeMin && flap.hinge <= kFlapHingeMax)) {
    error = "the flap hinge must lie between " + NumberText(kFlapHingeMin) + " and " +
            NumberText(kFlapHingeMax) + " of the chord, not " + NumberText(flap.hinge) + ".";
    return std::nullopt;
  }
  if (!(std::fabs(flap.degrees) <= kFlapDegreesMax)) {
    error = "the flap angle must lie within +-" + NumberText(kFlapDegreesMax) + " degrees, not " +
            NumberText(flap.degrees) + ".";
    return std::nullopt;
  }
  const std::size_t le = static_cast<std::size_t>(
      std::min_element(nodes.begin(), nodes.end(),
                       [](const ContourPoint& a, const ContourPoint& b) { return a.x < b.x; }) -
      nodes.begin());
  std::vector<ContourPoint> lower(nodes.begin(),
                                  nodes.begin() + static_cast<std::ptrdiff_t>(le) + 1);
  std::reverse(lower.begin(), lower.end());  // leading edge to trailing edge
  const std::vector<ContourPoint> upper(nodes.begin() + static_cast<std::ptrdiff_t>(le),
                                        nodes.end());
  const ContourPoint hinge{flap.hinge,
                           0.5 * (OrdinateAt(lower, flap.hinge) + OrdinateAt(upper, flap.hinge))};
  const bool down = flap.degrees > 0;
  std::vector<ContourPoint> new_lower = FlappedSide(lower, flap, hinge, !down);
  const std::vector<ContourPoint> new_upper = FlappedSide(upper, flap, hinge, down);

  // The contour clockwise from the trailing edge, at unit chord for the re-panelling.
  std::reverse(new_lower.begin(), new_lower.end());
  std::vector<ContourPoint> contour = new_lower;
  contour.insert(contour.end(), new_upper.begin() + 1, new_upper.end() - 1);
  const ContourPoint te = contour.front();
  const double x_le = LeadingEdge(contour).x;
  const double chord = te.x - x_le;
  SectionPoints section;
  section.name = name + " with flap";
  section.source = section.name;
  for (const ContourPoint& p : contour) {
    section.x.push_back(1 + (p.x - te.x) / chord);
    section.y.push_back((p.y - te.y) / chord);
    section.line.push_back(0);
  }
  section.file_points = section.NodeCount();
  const std::optional<SectionPoints> repanelled = RepanelSection(section, NP, error);
  if (!repanelled) return std::nullopt;
  std::vector<ContourPoint> out;
  const int n = repanelled->NodeCount();
  for (int k = 0; k <= n; ++k) {
    out.push_back({te.x + (repanelled->x[k % n] - 1) * chord, te.y + repanelled->y[k % n] * chord});
  }
  return out;
}

}  // namespace velquin
