#include "geometry/geometry_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <utility>

#include "base/text_number.h"

namespace velquin {
namespace {

// A coordinate is 0 or between 1e-100 and 1e100 in size. Beyond the upper bound the
// differences and products of the checks below would overflow; below the lower one
// their squares would sink into the subnormal range of a double, which keeps fewer
// digits the smaller it gets (at 1e-318 three or four), and the contour would be
// quantised without a word. No section is drawn at either scale, and a coordinate of
// that size meant as zero is written 0.
constexpr double kMaxCoordinate = 1e100;
constexpr double kMinCoordinate = 1e-100;

// The largest distance between the two end points of a file, as a share of the chord.
// Sections with a closed trailing edge list its point twice; blunt-edged ones (XFOIL's
// own files, wind-turbine and model sections) leave it open by about 0.1 to 2 % of the
// chord. 3 % lets all of those through and refuses what a file cut short or a single
// surface leaves: ends tens of percent of the chord apart.
constexpr double kMaxTrailingEdgeGap = 0.03;

struct FilePoint {
  double x = 0, y = 0;
  int line = 0;
};

bool operator==(const FilePoint& a, const FilePoint& b) {
  return a.x == b.x && a.y == b.y;
}

// The file's name as a message shows it: single quotes, shortened, control characters
// as '?'.
std::string Shown(std::string_view path) {
  std::string quoted = QuotedInput(path);
  quoted.front() = '\'';
  quoted.back() = '\'';
  return quoted;
}

std::string Unquoted(std::string_view text) {
  const std::string quoted = QuotedInput(text);
  return quoted.substr(1, quoted.size() - 2);
}

class SectionFault {
 public:
  explicit SectionFault(std::string message) : message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

[[noreturn]] void Refuse(std::string_view path, int line, const std::string& reason) {
  std::string where = "coordinate file " + Shown(path);
  if (line > 0) where += ", line " + std::to_string(line);
  throw SectionFault(where + ": " + reason);
}

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\r';
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && IsSeparator(line[at])) ++at;
    const std::size_t start = at;
    while (at < line.size() && !IsSeparator(line[at])) ++at;
    if (at > start) fields.push_back(line.substr(start, at - start));
  }
  return fields;
}

enum class FieldKind { kNumber, kNotFinite, kUnderflow, kText };

// One field as a number with a point as decimal separator (std::from_chars knows no
// locale). Infinities, NaN and values beyond the range of a double are kNotFinite;
// nonzero values too small for a double are kUnderflow.
FieldKind ReadField(std::string_view field, double& value) {
  if (field.size() > 1 && field.front() == '+' && field[1] != '-') field.remove_prefix(1);
  const char* const last = field.data() + field.size();
  const auto [end, ec] = std::from_chars(field.data(), last, value);
  if (ec == std::errc::invalid_argument || end != last) return FieldKind::kText;
  if (ec == std::errc::result_out_of_range) {
    return UnderflowsDouble(field) ? FieldKind::kUnderflow : FieldKind::kNotFinite;
  }
  if (!std::isfinite(value)) return FieldKind::kNotFinite;
  return FieldKind::kNumber;
}

struct FileLine {
  int number = 0;
  std::string_view text;
};

// The lines that hold something other than separators, numbered from 1. A line ends
// at LF, CR LF or a lone CR (the line end of old Mac files), so that every file shows
// the same line numbers in messages as an editor does.
std::vector<FileLine> FilledLines(std::string_view text) {
  std::vector<FileLine> lines;
  int number = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    ++number;
    const std::string_view line = text.substr(at, end - at);
    if (!Fields(line).empty()) lines.push_back({number, line});
    at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// True when the line is two fields that read as numbers, finite or not.
bool IsPointLine(const FileLine& line) {
  const std::vector<std::string_view> fields = Fields(line.text);
  double value = 0;
  return fields.size() == 2 && ReadField(fields[0], value) != FieldKind::kText &&
         ReadField(fields[1], value) != FieldKind::kText;
}

FilePoint ReadPoint(std::string_view path, const FileLine& line) {
  const std::vector<std::string_view> fields = Fields(line.text);
  if (fields.size() != 2) {
    Refuse(path, line.number, "expected two numbers x y, found " + QuotedInput(line.text));
  }
  FilePoint point;
  point.line = line.number;
  double* const values[2] = {&point.x, &point.y};
  for (int k = 0; k < 2; ++k) {
    const FieldKind kind = ReadField(fields[k], *values[k]);
    if (kind == FieldKind::kText) {
      Refuse(path, line.number, QuotedInput(fields[k]) + " is not a number");
    }
    if (kind == FieldKind::kNotFinite) {
      Refuse(path, line.number, QuotedInput(fields[k]) + " is not a finite number");
    }
    if (kind == FieldKind::kUnderflow) {
      Refuse(path, line.number,
             QuotedInput(fields[k]) +
                 " is too small for a coordinate: it underflows a double (write 0 for zero)");
    }
    if (std::fabs(*values[k]) > kMaxCoordinate) {
      Refuse(path, line.number, QuotedInput(fields[k]) + " is too large for a coordinate");
    }
    if (*values[k] != 0 && std::fabs(*values[k]) < kMinCoordinate) {
      Refuse(path, line.number,
             QuotedInput(fields[k]) +
                 " is too small for a coordinate: nonzero sizes below 1e-100 are refused (write "
                 "0 for zero)");
    }
  }
  return point;
}

std::vector<FilePoint> ReadPoints(std::string_view path, const std::vector<FileLine>& lines,
                                  std::size_t first, std::size_t count) {
  std::vector<FilePoint> points;
  points.reserve(count);
  for (std::size_t k = first; k < first + count; ++k) points.push_back(ReadPoint(path, lines[k]));
  return points;
}

void RefuseRepeatedPoints(std::string_view path, const std::vector<FilePoint>& points) {
  for (std::size_t k = 1; k < points.size(); ++k) {
    if (points[k] == points[k - 1]) {
      Refuse(
          path, points[k].line,
          "the point repeats the one before it (line " + std::to_string(points[k - 1].line) + ")");
    }
  }
}

// Point counts of a Lednicer file: two whole numbers of at least 2 on the line after
// the name. No coordinate of a section in the usual scale is that large, and a
// section's trailing edge never sits at two such whole numbers.
bool IsLednicerCounts(const FileLine& line, double& upper, double& lower) {
  if (!IsPointLine(line)) return false;
  const std::vector<std::string_view> fields = Fields(line.text);
  if (ReadField(fields[0], upper) != FieldKind::kNumber ||
      ReadField(fields[1], lower) != FieldKind::kNumber) {
    return false;
  }
  auto is_count = [](double n) { return n >= 2 && n <= 1e7 && n == std::floor(n); };
  return is_count(upper) && is_count(lower);
}

// The file's points in the order they run round the contour, from one trailing-edge
// point to the other, each checked; `name` gets the name line, if there is one.
std::vector<FilePoint> ContourPoints(std::string_view path, std::string_view text,
                                     std::string& name, int& listed_points) {
  // A byte-order mark is no part of the first line: were it kept, a file without a name
  // line would have its first point taken for one.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
    text.remove_prefix(kByteOrderMark.size());
  }
  const std::vector<FileLine> lines = FilledLines(text);
  std::size_t first = 0;
  if (!lines.empty() && !IsPointLine(lines[0])) {
    name = Unquoted(lines[0].text);
    first = 1;
  }
  double upper = 0, lower = 0;
  if (first == 1 && lines.size() > 1 && IsLednicerCounts(lines[1], upper, lower)) {
    const std::size_t listed = lines.size() - 2;
    listed_points = static_cast<int>(listed);
    if (upper + lower != static_cast<double>(listed)) {
      Refuse(path, lines[1].number,
             "the point counts " + NumberText(upper) + " and " + NumberText(lower) +
                 " of the two surfaces do not add up to the " + std::to_string(listed) +
                 " points that follow");
    }
    const auto n_upper = static_cast<std::size_t>(upper);
    std::vector<FilePoint> top = ReadPoints(path, lines, 2, n_upper);
    std::vector<FilePoint> bottom = ReadPoints(path, lines, 2 + n_upper, listed - n_upper);
    RefuseRepeatedPoints(path, top);
    RefuseRepeatedPoints(path, bottom);
    // Lower surface back from the trailing to the leading edge, then the upper surface
    // on to the trailing edge; the leading-edge point, listed twice, once.
    std::vector<FilePoint> points(bottom.rbegin(), bottom.rend());
    const bool shared_leading_edge = top.front() == bottom.front();
    points.insert(points.end(), top.begin() + (shared_leading_edge ? 1 : 0), top.end());
    return points;
  }
  std::vector<FilePoint> points = ReadPoints(path, lines, first, lines.size() - first);
  listed_points = static_cast<int>(points.size());
  RefuseRepeatedPoints(path, points);
  return points;
}

void RefuseFewDistinctPoints(std::string_view path, std::vector<FilePoint> points) {
  std::sort(points.begin(), points.end(), [](const FilePoint& a, const FilePoint& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
  });
  const auto distinct = std::unique(points.begin(), points.end()) - points.begin();
  if (distinct < 4) {
    Refuse(path, 0,
           "it has " + std::to_string(distinct) + " distinct points; a contour needs at least 4");
  }
}

// Twice the signed area of the closed polygon, positive when it runs counter-clockwise:
// the triangles of a fan from node 0, which keeps the products small.
double TwiceSignedArea(const SectionPoints& s) {
  double sum = 0;
  for (int k = 1; k + 1 < s.NodeCount(); ++k) {
    const double ax = s.x[k] - s.x[0], ay = s.y[k] - s.y[0];
    const double bx = s.x[k + 1] - s.x[0], by = s.y[k + 1] - s.y[0];
    sum += ax * by - bx * ay;
  }
  return sum;
}

// A contour whose area is lost in the rounding of its coordinates has no sense of
// turning that the rounding could not flip; any real section encloses far more.
bool EnclosesNoArea(const SectionPoints& s) {
  double reach = 0;  // the largest squared distance from node 0
  for (int k = 1; k < s.NodeCount(); ++k) {
    const double dx = s.x[k] - s.x[0], dy = s.y[k] - s.y[0];
    reach = std::max(reach, dx * dx + dy * dy);
  }
  return !(std::fabs(TwiceSignedArea(s)) > kNoAreaShare * reach);
}

// Clockwise, with node 0 kept as the first node.
void MakeClockwise(SectionPoints& s) {
  if (TwiceSignedArea(s) <= 0) return;
  std::reverse(s.x.begin() + 1, s.x.end());
  std::reverse(s.y.begin() + 1, s.y.end());
  std::reverse(s.line.begin() + 1, s.line.end());
}

// Translated and scaled, not rotated: node 0 (the trailing edge) to (1, 0), the point
// furthest forward to x = 0. Divides by the chord rather than multiplying by its
// inverse, so that those two points land on 1 and 0 exactly.
bool Normalise(SectionPoints& s) {
  const double x_te = s.x[0], y_te = s.y[0];
  const double x_le = *std::min_element(s.x.begin(), s.x.end());
  const double chord = x_te - x_le;
  if (!(chord > 0)) return false;
  s.file_chord = chord;
  s.file_x_te = x_te;
  s.file_y_te = y_te;
  for (int k = 0; k < s.NodeCount(); ++k) {
    s.x[k] = 1 + (s.x[k] - x_te) / chord;
    s.y[k] = (s.y[k] - y_te) / chord;
  }
  return true;
}

// The sign of the turn from a->b to a->c: +1 left, -1 right, 0 in line.
int Turn(double ax, double ay, double bx, double by, double cx, double cy) {
  const double cross = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
  return (cross > 0) - (cross < 0);
}

// c lies on the segment ab, given that it is in line with it.
bool Within(double ax, double ay, double bx, double by, double cx, double cy) {
  return std::min(ax, bx) <= cx && cx <= std::max(ax, bx) && std::min(ay, by) <= cy &&
         cy <= std::max(ay, by);
}

struct Segment {
  double ax, ay, bx, by;  // from node `start` to the next one
  int start;
};

// Segments that share no node: do they have a point in common?
bool Meet(const Segment& p, const Segment& q) {
  const int t1 = Turn(p.ax, p.ay, p.bx, p.by, q.ax, q.ay);
  const int t2 = Turn(p.ax, p.ay, p.bx, p.by, q.bx, q.by);
  const int t3 = Turn(q.ax, q.ay, q.bx, q.by, p.ax, p.ay);
  const int t4 = Turn(q.ax, q.ay, q.bx, q.by, p.bx, p.by);
  if (t1 * t2 < 0 && t3 * t4 < 0) return true;
  return (t1 == 0 && Within(p.ax, p.ay, p.bx, p.by, q.ax, q.ay)) ||
         (t2 == 0 && Within(p.ax, p.ay, p.bx, p.by, q.bx, q.by)) ||
         (t3 == 0 && Within(q.ax, q.ay, q.bx, q.by, p.ax, p.ay)) ||
         (t4 == 0 && Within(q.ax, q.ay, q.bx, q.by, p.bx, p.by));
}

// Neighbours p then q, sharing p's end and q's start: does q turn straight back over p?
bool FoldsBack(const Segment& p, const Segment& q) {
  const bool in_line = Turn(p.ax, p.ay, p.bx, p.by, q.bx, q.by) == 0;
  const double dot = (p.bx - p.ax) * (q.bx - q.ax) + (p.by - p.ay) * (q.by - q.ay);
  return in_line && dot < 0;
}

std::vector<Segment> Segments(const SectionPoints& s) {
  const int n = s.NodeCount();
  std::vector<Segment> segments(n);
  for (int k = 0; k < n; ++k) {
    const int next = (k + 1) % n;
    segments[k] = {s.x[k], s.y[k], s.x[next], s.y[next], k};
  }
  return segments;
}

// Panels of a closed contour of n that share a node.
bool Neighbours(int a, int b, int n) {
  const int gap = std::abs(a - b);
  return gap == 1 || gap == n - 1;
}

using Meeting = std::optional<std::pair<int, int>>;

// Two nodes at one place: the contour meets itself there. Found by sorting the nodes;
// the sweep below does not look for it (see there).
Meeting RepeatedNode(const SectionPoints& s) {
  const int n = s.NodeCount();
  std::vector<int> order(n);
  for (int k = 0; k < n; ++k) order[k] = k;
  const auto less = [&s](int a, int b) {
    return s.x[a] < s.x[b] || (s.x[a] == s.x[b] && s.y[a] < s.y[b]);
  };
  std::sort(order.begin(), order.end(), less);
  for (int k = 1; k < n; ++k) {
    const int a = std::min(order[k - 1], order[k]), b = std::max(order[k - 1], order[k]);
    if (less(order[k - 1], order[k])) continue;
    if (!Neighbours(a, b, n)) return std::make_pair(a, b);  // the panels from both meet
    // A panel of length zero between them: the panels either side of it meet, unless
    // they are neighbours too (a contour of three nodes).
    const int empty = b == a + 1 ? a : b;
    const int before = (empty + n - 1) % n, after = (empty + 1) % n;
    if (Neighbours(before, after, n)) continue;
    return std::make_pair(std::min(before, after), std::max(before, after));
  }
  return std::nullopt;
}

// The sweep of Shamos and Hoey: a line sweeps across the segments in the order of their
// end points (by x, then y); the segments it cuts are kept ordered from below to above,
// and only segments that become next to each other in that order are tested. Were two
// segments to meet, the pair that meets first along the sweep is next to each other
// before the line reaches that point, so the first meeting is always found, after
// O(n log n) steps whatever the shape: a zigzag whose every segment spans the whole
// contour costs no more than a section does.
//
// At one point the segments that end there leave before those that start there enter:
// the order stays one of segments that are all cut by the line. A segment that ends
// where another one starts is then never compared with it; the two share that point,
// which is either the node of two neighbours or a repeated node (RepeatedNode).
Meeting SweepForMeeting(const std::vector<Segment>& segments) {
  const int n = static_cast<int>(segments.size());
  struct Span {
    double lx, ly, rx, ry;  // the end points, the one the sweep meets first (l) first
  };
  const auto before = [](double ax, double ay, double bx, double by) {
    return ax < bx || (ax == bx && ay < by);
  };
  std::vector<Span> spans(n);
  for (int k = 0; k < n; ++k) {
    const Segment& g = segments[k];
    spans[k] = before(g.ax, g.ay, g.bx, g.by) ? Span{g.ax, g.ay, g.bx, g.by}
                                              : Span{g.bx, g.by, g.ax, g.ay};
  }
  // Where segment s lies from segment t, +1 above and -1 below, where s enters the
  // sweep, t having entered no later. Segments from one point are told apart by their
  // other ends; a segment that starts on another (so meets it) by its other end too.
  const auto side = [&spans](int s, int t) {
    const Span &p = spans[s], &q = spans[t];
    if (p.lx == q.lx && p.ly == q.ly) {
      const int turn = Turn(q.lx, q.ly, q.rx, q.ry, p.rx, p.ry);
      return turn != 0 ? turn : (s < t ? -1 : 1);
    }
    int turn = Turn(q.lx, q.ly, q.rx, q.ry, p.lx, p.ly);
    if (turn == 0) turn = Turn(q.lx, q.ly, q.rx, q.ry, p.rx, p.ry);
    return turn != 0 ? turn : 1;
  };
  const auto below = [&](int a, int b) {
    if (a == b) return false;
    const Span &p = spans[a], &q = spans[b];
    return before(p.lx, p.ly, q.lx, q.ly) ? side(b, a) > 0 : side(a, b) < 0;
  };
  struct Event {
    double x, y;
    bool enters;
    int segment;
  };
  std::vector<Event> events;
  events.reserve(2 * static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    // A panel of length zero is a repeated node, dealt with before.
    if (spans[k].lx == spans[k].rx && spans[k].ly == spans[k].ry) continue;
    events.push_back({spans[k].lx, spans[k].ly, true, k});
    events.push_back({spans[k].rx, spans[k].ry, false, k});
  }
  std::sort(events.begin(), events.end(), [&before](const Event& a, const Event& b) {
    if (a.x != b.x || a.y != b.y) return before(a.x, a.y, b.x, b.y);
    return !a.enters && b.enters;
  });
  const auto meet = [&segments, n](int a, int b) -> Meeting {
    if (Neighbours(a, b, n) || !Meet(segments[a], segments[b])) return std::nullopt;
    return std::make_pair(std::min(a, b), std::max(a, b));
  };
  std::set<int, decltype(below)> cut(below);
  std::vector<decltype(cut)::iterator> where(n);
  for (const Event& e : events) {
    if (!e.enters) {
      const auto at = where[e.segment];
      if (at != cut.begin() && std::next(at) != cut.end()) {
        if (const Meeting m = meet(*std::prev(at), *std::next(at))) return m;
      }
      cut.erase(at);
      continue;
    }
    const auto at = cut.insert(e.segment).first;
    where[e.segment] = at;
    if (at != cut.begin()) {
      if (const Meeting m = meet(*std::prev(at), e.segment)) return m;
    }
    if (std::next(at) != cut.end()) {
      if (const Meeting m = meet(e.segment, *std::next(at))) return m;
    }
  }
  return std::nullopt;
}

// "12.5 %": a share of the chord for messages, one decimal, whatever the locale; a
// share beyond any section's ("2.1e+120 %", from points spread far wider in y than in x)
// in three digits, so the message stays short.
std::string Percent(double fraction) {
  char buffer[64];
  const double percent = 100 * fraction;
  const auto end =
      percent < 1e6
          ? std::to_chars(buffer, buffer + sizeof buffer, percent, std::chars_format::fixed, 1)
          : std::to_chars(buffer, buffer + sizeof buffer, percent, std::chars_format::general, 3);
  return std::string(buffer, end.ptr) + " %";
}

// The end points are joined into one trailing-edge node at their midpoint: sound for an
// edge that is closed or open by a little, but a file cut short, or one that holds a
// single surface, also has two ends, far apart, and joining them would make a section
// of its own. The gap is measured against the reach of the points along x, which is the
// chord of any section the file can be.
void RefuseFarEnds(std::string_view path, const std::vector<FilePoint>& points) {
  const auto [front, back] =
      std::minmax_element(points.begin(), points.end(),
                          [](const FilePoint& a, const FilePoint& b) { return a.x < b.x; });
  const double chord = back->x - front->x;
  const FilePoint &first = points.front(), &last = points.back();
  const double gap = std::hypot(first.x - last.x, first.y - last.y);
  if (gap <= kMaxTrailingEdgeGap * chord) return;
  Refuse(path, 0,
         "its end points (lines " + std::to_string(first.line) + " and " +
             std::to_string(last.line) + ") lie " + Percent(gap / chord) +
             " of the chord apart, more than the " + Percent(kMaxTrailingEdgeGap) +
             " a trailing edge may be open: the contour must run from the trailing edge round "
             "the section and back (is the file cut short, or one surface only?)");
}

// The trailing edge, where the Kutta-type condition acts, must be the rearmost point of
// the section: a closed file that starts part-way along a surface, or whose first line
// is a point meant as a name, joins its ends somewhere else. Checked on the normalised
// nodes: x = 1 is the joined edge, and the scaling keeps every x behind it above 1.
void RefuseNodeBehindTheEdge(std::string_view path, const SectionPoints& s, int first_line,
                             int last_line) {
  const auto rearmost = std::max_element(s.x.begin(), s.x.end()) - s.x.begin();
  if (s.x[rearmost] <= 1) return;
  Refuse(path, s.line[rearmost],
         "the point lies behind the trailing edge that joins the end points of lines " +
             std::to_string(first_line) + " and " + std::to_string(last_line) +
             ": the contour must start and end at the trailing edge, its rearmost point");
}

SectionPoints CheckedSection(std::string_view path, std::string_view text) {
  std::string name;
  int listed_points = 0;
  const std::vector<FilePoint> points = ContourPoints(path, text, name, listed_points);
  RefuseFewDistinctPoints(path, points);

  // The two end points joined at their midpoint: the trailing-edge node.
  const FilePoint& first = points.front();
  const FilePoint& last = points.back();
  SectionPoints s;
  s.name =
      name.empty() ? Unquoted(std::filesystem::path(std::string(path)).filename().string()) : name;
  s.source = "coordinate file " + Shown(path);
  s.file_points = listed_points;
  s.x.push_back(first == last ? first.x : 0.5 * first.x + 0.5 * last.x);
  s.y.push_back(first == last ? first.y : 0.5 * first.y + 0.5 * last.y);
  s.line.push_back(first.line);
  for (std::size_t k = 1; k + 1 < points.size(); ++k) {
    s.x.push_back(points[k].x);
    s.y.push_back(points[k].y);
    s.line.push_back(points[k].line);
  }
  if (!Normalise(s)) {
    Refuse(path, first.line,
           "no point lies ahead of the trailing edge, where the contour must start and end");
  }
  RefuseFarEnds(path, points);
  RefuseNodeBehindTheEdge(path, s, first.line, last.line);
  const int n = s.NodeCount();
  for (int k = 0; k < n; ++k) {
    const int next = (k + 1) % n;
    if (s.x[k] != s.x[next] || s.y[k] != s.y[next]) continue;
    const int other = k == 0 ? next : k;  // the node that is not the trailing edge
    if (k == 0 || next == 0) {
      Refuse(path, s.line[other],
             "the point coincides with the trailing edge that joins the end points of lines " +
                 std::to_string(first.line) + " and " + std::to_string(last.line));
    }
    Refuse(path, s.line[next],
           "the point cannot be told apart from the one before it once the chord is 1");
  }
  if (EnclosesNoArea(s)) Refuse(path, 0, "the contour encloses no area");
  MakeClockwise(s);
  // Checked on the nodes as the run will see them: scaling rounds, and a contour that
  // only just misses itself could touch after it.
  if (const auto crossing = SectionCrossing(s)) {
    Refuse(path, 0,
           "the contour crosses itself: the segments from the points of lines " +
               std::to_string(s.line[crossing->first]) + " and " +
               std::to_string(s.line[crossing->second]) + " meet");
  }
  return s;
}

// The file's bytes, read once: every check then works on this one copy, so a file
// rewritten while it is read cannot mix two versions into one contour. Opened without
// blocking and refused at once unless it is a regular file: a FIFO would wait for a
// writer that may never come, and a device or socket is no coordinate file.
std::string ReadWholeFile(const std::string& path) {
  struct Descriptor {
    int fd;
    ~Descriptor() {
      if (fd >= 0) close(fd);
    }
  } const file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  const int fd = file.fd;
  if (fd < 0) Refuse(path, 0, std::string("cannot be read: ") + std::strerror(errno));
  struct stat status {};
  if (fstat(fd, &status) != 0) {
    Refuse(path, 0, std::string("cannot be read: ") + std::strerror(errno));
  }
  if (S_ISDIR(status.st_mode)) Refuse(path, 0, "it is a folder, not a file");
  if (!S_ISREG(status.st_mode)) {
    Refuse(path, 0, "it is not a regular file (FIFOs, devices and sockets are not read)");
  }
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Refuse(path, 0, std::string("cannot be read: ") + std::strerror(errno));
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
    if (static_cast<long long>(text.size()) > kMaxSectionFileBytes) {
      Refuse(path, 0, "it is larger than 1 MB");
    }
  }
  return text;
}

}  // namespace

bool UnderflowsDouble(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  double value = 0;
  const char* const last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(text.data(), last, value);
  if (ec != std::errc::result_out_of_range || end != last) return false;
  // Too large or too small: the decimal exponent of the first significant digit (a
  // mantissa of zeros alone is 0, never out of range) plus the written exponent tells.
  const std::size_t e = std::min(text.find_first_of("eE"), text.size());
  const std::string_view mantissa = text.substr(0, e);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_not_of("0.");
  const long long place = first < point ? static_cast<long long>(point - first) - 1
                                        : -static_cast<long long>(first - point);
  constexpr long long kFar = 1'000'000'000'000;  // beyond any double, either way
  long long exponent = 0;
  if (e < text.size()) {
    std::string_view digits = text.substr(e + 1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (negative || digits.front() == '+')) digits.remove_prefix(1);
    if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec != std::errc()) {
      exponent = kFar;
    }
    exponent = std::min(exponent, kFar);
    if (negative) exponent = -exponent;
  }
  return place + exponent < 0;
}

std::optional<std::pair<int, int>> SectionCrossing(const SectionPoints& section) {
  const int n = section.NodeCount();
  const std::vector<Segment> segments = Segments(section);
  for (int k = 0; k < n; ++k) {
    if (FoldsBack(segments[k], segments[(k + 1) % n])) return std::make_pair(k, (k + 1) % n);
  }
  if (const Meeting m = RepeatedNode(section)) return m;
  return SweepForMeeting(segments);
}

std::optional<SectionPoints> ParseSectionText(std::string_view text, std::string_view shown,
                                              std::string& error) {
  try {
    return CheckedSection(shown, text);
  } catch (const SectionFault& fault) {
    error = fault.message();
    return std::nullopt;
  }
}

std::optional<std::string> ReadCoordinateText(const std::string& path, std::string& error) {
  try {
    return ReadWholeFile(path);
  } catch (const SectionFault& fault) {
    error = fault.message();
    return std::nullopt;
  }
}

std::optional<SectionPoints> ReadSectionFile(const std::string& path, std::string& error) {
  try {
    const std::string text = ReadWholeFile(path);
    return CheckedSection(path, text);
  } catch (const SectionFault& fault) {
    error = fault.message();
    return std::nullopt;
  }
}

void Geometry_File(Module_Common& C, const SectionPoints& section) {
  const int n = section.NodeCount();
  C.RefLength = 1;
  C.X(2, 0) = C.RefLength * section.x[0];
  C.Y(2, 0) = C.RefLength * section.y[0];
  for (int i = 1; i <= C.NP; ++i) {
    C.X(1, i) = C.X(2, i - 1);
    C.Y(1, i) = C.Y(2, i - 1);
    C.X(2, i) = C.RefLength * section.x[i % n];
    C.Y(2, i) = C.RefLength * section.y[i % n];
  }
}

namespace {

class Section : public Body {
 public:
  explicit Section(SectionPoints points) : points_(std::move(points)) {}

  std::string Name() const override { return points_.name; }

  std::string PanelCountProblem(double NP) const override {
    if (NP == points_.NodeCount()) return {};
    return "the points of the " + points_.source + " make " + std::to_string(points_.NodeCount()) +
           " panels, not " + NumberText(NP);
  }

  void Contour(Module_Common& C) const override { Geometry_File(C, points_); }
  std::vector<ContourPoint> ContourNodes(double NP) const override {
    // The file's own points, closed back to the first; NP is their count.
    std::vector<ContourPoint> nodes;
    const int n = points_.NodeCount();
    for (int i = 0; i <= static_cast<int>(NP); ++i)
      nodes.push_back({points_.x[i % n], points_.y[i % n]});
    return nodes;
  }

  // The frame holds x from -0.1 to 1.1 and y from -0.3 to 0.3: a section that reaches
  // further (thick, or with points behind its trailing edge) is drawn smaller.
  double PlotScale() const override {
    double y_extent = 0, x_extent = 1;
    for (int k = 0; k < points_.NodeCount(); ++k) {
      y_extent = std::max(y_extent, std::fabs(points_.y[k]));
      x_extent = std::max(x_extent, points_.x[k]);
    }
    return std::min({1.0, 0.28 / std::max(y_extent, 1e-300), 1.08 / x_extent});
  }

  std::optional<int> OwnPanelCount() const override { return points_.NodeCount(); }

 private:
  SectionPoints points_;
};

}  // namespace

BodyPtr SectionBody(SectionPoints section) {
  return std::make_shared<const Section>(std::move(section));
}

BodyPtr SectionFileBody(const SectionPoints& section, std::optional<double> NP, bool circulation,
                        std::string& error) {
  const int capacity = circulation ? kMaxIndex - 2 : kMaxIndex - 1;
  const std::string most = "at most " + std::to_string(capacity) + " panels " +
                           (circulation ? "with" : "without") + " circulation";
  if (!NP) {
    if (section.NodeCount() <= capacity) return SectionBody(section);
    error = section.source + " has " + std::to_string(section.file_points) + " points (" +
            std::to_string(section.NodeCount()) + " panels); " + most +
            ": give --panels to re-panel it";
    return nullptr;
  }
  if (*NP != std::floor(*NP) || *NP < 1 || *NP > capacity) return SectionBody(section);
  if (*NP < 3) {
    error =
        "re-panelling the " + section.source + " needs at least 3 panels, not " + NumberText(*NP);
    return nullptr;
  }
  std::optional<SectionPoints> repanelled = RepanelSection(section, static_cast<int>(*NP), error);
  return repanelled ? SectionBody(std::move(*repanelled)) : nullptr;
}

}  // namespace velquin
