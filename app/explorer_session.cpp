#include "app/explorer_session.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <map>
#include <set>
#include <vector>

#include "app/text_file.h"
#include "base/text_number.h"

namespace velquin {
namespace {

constexpr int kSessionVersion = 1;

class SessionFault {
 public:
  explicit SessionFault(std::string message) : message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

std::string Shortest(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

const char* VortexName(VortexModel model) {
  switch (model) {
    case VortexModel::kConstantDistribution:
      return "constant";
    case VortexModel::kPointVortex:
      return "point";
    default:
      return "none";
  }
}

void AppendSet(std::string& text, const char* section, const ExplorerSessionSet& set) {
  text += std::string("[") + section + "]\n";
  if (!set.body_file.empty()) {
    text += "body-file = " + set.body_file + "\n";
    text += std::string("points = ") + (set.file_points ? "file" : "spline") + "\n";
  } else {
    text += "body = " + set.body + "\n";
  }
  if (set.panels > 0) text += "panels = " + std::to_string(set.panels) + "\n";
  text += std::string("vortex = ") + VortexName(set.vortex) + "\n";
  if (set.vortex == VortexModel::kPointVortex) {
    text += "xv = " + Shortest(set.xv) + "\nyv = " + Shortest(set.yv) + "\n";
  }
}

std::string Joined(std::initializer_list<double> values) {
  std::string text;
  for (const double v : values) text += (text.empty() ? "" : ":") + Shortest(v);
  return text;
}

void AppendLayout(std::string& text, const ExplorerSession& session) {
  if (const auto& p = session.placement) {
    text += "place = " + Joined({p->x, p->y, p->degrees, p->chord}) + "\n";
  }
  if (session.flap) text += "flap = " + Joined({session.flap->hinge, session.flap->degrees}) + "\n";
  if (session.ground_height) text += "ground = " + Shortest(*session.ground_height) + "\n";
  for (std::size_t k = 0; k < session.elements.size(); ++k) {
    const ExplorerSessionElement& e = session.elements[k];
    text += "[element " + std::to_string(k + 2) + "]\n";
    if (!e.body_file.empty()) {
      text += "body-file = " + e.body_file + "\n";
      if (e.file_element != 1) text += "element = " + std::to_string(e.file_element) + "\n";
    } else {
      text += "body = " + e.body + "\n";
    }
    const Placement& p = e.placement;
    text += "place = " + Joined({p.x, p.y, p.degrees, p.chord}) + "\n";
    if (e.flap) text += "flap = " + Joined({e.flap->hinge, e.flap->degrees}) + "\n";
  }
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

class Reader {
 public:
  Reader(const std::string& path, const std::string& folder) : path_(path), folder_(folder) {}

  ExplorerSession Read(std::string_view text) {
    int number = 0;
    while (!text.empty() || number == 0) {
      const std::size_t end = text.find('\n');
      const std::string_view line = Trimmed(text.substr(0, end));
      ++number;
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
      if (line.empty() || line.front() == '#' || line.front() == ';') {
        if (text.empty()) break;
        continue;
      }
      Line(number, line);
      if (text.empty()) break;
    }
    if (section_.empty()) Refuse(0, "it is empty: a session begins with [explorer]");
    if (!version_) Refuse(0, "its [explorer] section gives no version");
    CheckSet(shown_line_, session_.shown, "[shown]");
    CheckElement();
    if (session_.compare) CheckSet(compare_line_, *session_.compare, "[compare]");
    return session_;
  }

 private:
  [[noreturn]] void Refuse(int line, const std::string& reason) const {
    std::string where = "session file " + QuotedPath(path_);
    if (line > 0) where += ", line " + std::to_string(line);
    throw SessionFault(where + ": " + reason);
  }

  void Line(int number, std::string_view line) {
    if (line.front() == '[') {
      if (line.back() != ']') Refuse(number, "a section name ends with ']'");
      const std::string name(line.substr(1, line.size() - 2));
      if (section_.empty() && name != "explorer") {
        Refuse(number, "not a Velquin-2DS explorer session: it begins with " + QuotedInput(line) +
                           ", not [explorer]");
      }
      const bool element = name.rfind("element ", 0) == 0;
      if (name != "explorer" && name != "shown" && name != "compare" && !element) {
        Refuse(number, "unknown section " + QuotedInput(line));
      }
      if (!sections_.insert(name).second) Refuse(number, "section [" + name + "] given twice");
      if (element) {
        // Numbered in order from 2, element 1 being [shown]'s body.
        const std::string expected = "element " + std::to_string(session_.elements.size() + 2);
        if (name != expected) {
          Refuse(number, "the further elements are numbered in order from 2: [" + expected +
                             "] expected, not " + QuotedInput(line));
        }
        CheckElement();
        session_.elements.emplace_back();
        element_line_ = number;
        placed_ = false;
      }
      section_ = name;
      if (name == "shown") shown_line_ = number;
      if (name == "compare") {
        compare_line_ = number;
        session_.compare.emplace();
      }
      keys_.clear();
      return;
    }
    if (section_.empty()) {
      Refuse(number, "not a Velquin-2DS explorer session: it begins with " + QuotedInput(line) +
                         ", not [explorer]");
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      Refuse(number, "expected KEY = VALUE, found " + QuotedInput(line));
    }
    const std::string key(Trimmed(line.substr(0, equals)));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    const bool repeatable = key == "overlay-polar" || key == "overlay-cp";
    if (!repeatable && !keys_.insert(key).second) {
      Refuse(number, "key " + QuotedInput(key) + " given twice in [" + section_ + "]");
    }
    if (section_ == "explorer") {
      ExplorerKey(number, key, value);
    } else if (section_.rfind("element ", 0) == 0) {
      ElementKey(number, key, value, session_.elements.back());
    } else if (section_ == "shown" && (key == "place" || key == "flap" || key == "ground")) {
      LayoutKey(number, key, value);
    } else {
      SetKey(number, key, value, section_ == "shown" ? session_.shown : *session_.compare);
    }
  }

  // The numbers of a value "A:B:...", `count` of them.
  std::vector<double> Numbers(int number, const std::string& key, std::string_view value,
                              std::size_t count, const char* form) const {
    std::vector<double> out;
    std::string_view rest = value;
    while (true) {
      const std::size_t colon = rest.find(':');
      out.push_back(Number(number, key, Trimmed(rest.substr(0, colon))));
      if (colon == std::string_view::npos) break;
      rest = rest.substr(colon + 1);
    }
    if (out.size() != count) Refuse(number, key + " is " + form + ", not " + QuotedInput(value));
    return out;
  }

  Placement PlacementOf(int number, std::string_view value) const {
    const std::vector<double> n = Numbers(number, "place", value, 4, "X:Y:DEG:CHORD");
    if (!(n[3] > 0)) Refuse(number, "place: the chord must be positive, not " + QuotedInput(value));
    return {n[0], n[1], n[2], n[3]};
  }

  Flap FlapOf(int number, std::string_view value) const {
    const std::vector<double> n = Numbers(number, "flap", value, 2, "XH:DEG");
    return {n[0], n[1]};
  }

  void LayoutKey(int number, const std::string& key, std::string_view value) {
    if (key == "place") {
      session_.placement = PlacementOf(number, value);
    } else if (key == "flap") {
      session_.flap = FlapOf(number, value);
    } else {
      const double h = Number(number, key, value);
      if (!(h > 0)) Refuse(number, "ground " + QuotedInput(value) + " is not a positive height");
      session_.ground_height = h;
    }
  }

  void ElementKey(int number, const std::string& key, std::string_view value,
                  ExplorerSessionElement& e) {
    if (key == "body") {
      if (value.empty()) Refuse(number, "the body has no name");
      e.body = std::string(value);
    } else if (key == "body-file") {
      e.body_file = Path(number, key, value);
    } else if (key == "element") {
      e.file_element = WholeNumber(number, key, value, 1000);
    } else if (key == "place") {
      e.placement = PlacementOf(number, value);
      placed_ = true;
    } else if (key == "flap") {
      e.flap = FlapOf(number, value);
    } else {
      Refuse(number, "unknown key " + QuotedInput(key) + " in [" + section_ + "]");
    }
  }

  // The element last begun names its body once and its place.
  void CheckElement() const {
    if (session_.elements.empty()) return;
    const ExplorerSessionElement& e = session_.elements.back();
    const std::string name = "[element " + std::to_string(session_.elements.size() + 1) + "]";
    if (e.body.empty() == e.body_file.empty()) {
      Refuse(element_line_, name + " names its body by exactly one of body and body-file");
    }
    if (!placed_) Refuse(element_line_, name + " gives no place");
  }

  void ExplorerKey(int number, const std::string& key, std::string_view value) {
    if (key == "version") {
      const double v = Number(number, key, value);
      if (v != kSessionVersion) {
        Refuse(number, "version " + QuotedInput(value) + " of the session format is not known (" +
                           std::to_string(kSessionVersion) + " is)");
      }
      version_ = true;
    } else if (key == "alpha") {
      session_.alpha_degrees = Number(number, key, value);
    } else if (key == "reynolds") {
      const double re = Number(number, key, value);
      if (!(re >= kExplorerReynoldsMin && re <= kExplorerReynoldsMax)) {
        Refuse(number, "reynolds " + QuotedInput(value) + " lies outside 1000 to 1e9");
      }
      session_.conditions.reynolds = re;
    } else if (key == "ncrit") {
      const double n = Number(number, key, value);
      if (!(n >= kExplorerNcritMin && n <= kExplorerNcritMax)) {
        Refuse(number, "ncrit " + QuotedInput(value) + " lies outside 0.01 to 30");
      }
      session_.conditions.ncrit = n;
    } else if (key == "overlay-polar" || key == "overlay-cp") {
      session_.overlays.emplace_back(
          key == "overlay-polar" ? OverlayKind::kPolar : OverlayKind::kPressure,
          Path(number, key, value));
    } else {
      Refuse(number, "unknown key " + QuotedInput(key) + " in [explorer]");
    }
  }

  void SetKey(int number, const std::string& key, std::string_view value, ExplorerSessionSet& set) {
    if (key == "body") {
      if (value.empty()) Refuse(number, "the body has no name");
      set.body = std::string(value);
    } else if (key == "body-file") {
      set.body_file = Path(number, key, value);
    } else if (key == "points") {
      if (value != "file" && value != "spline") {
        Refuse(number, "points is file or spline, not " + QuotedInput(value));
      }
      set.file_points = value == "file";
    } else if (key == "panels") {
      set.panels = WholeNumber(number, key, value, 100000);
    } else if (key == "vortex") {
      if (value == "none") {
        set.vortex = VortexModel::kNone;
      } else if (value == "constant") {
        set.vortex = VortexModel::kConstantDistribution;
      } else if (value == "point") {
        set.vortex = VortexModel::kPointVortex;
      } else {
        Refuse(number, "vortex is none, constant or point, not " + QuotedInput(value));
      }
    } else if (key == "xv") {
      set.xv = Number(number, key, value);
    } else if (key == "yv") {
      set.yv = Number(number, key, value);
    } else {
      Refuse(number, "unknown key " + QuotedInput(key) + " in [" + section_ + "]");
    }
  }

  void CheckSet(int line, const ExplorerSessionSet& set, const std::string& name) const {
    if (line == 0) Refuse(0, "it has no section " + name);
    if (set.body.empty() == set.body_file.empty()) {
      Refuse(line, name + " names its body by exactly one of body and body-file");
    }
    if (set.body_file.empty() && set.panels == 0) Refuse(line, name + " gives no panels");
    if (!set.body_file.empty() && !set.file_points && set.panels == 0) {
      Refuse(line, name + " re-panels its file (points = spline) but gives no panels");
    }
  }

  double Number(int number, const std::string& key, std::string_view value) const {
    double v = 0;
    std::string_view digits = value;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const auto [end, code] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (value.empty() || code != std::errc() || end != digits.data() + digits.size() ||
        !std::isfinite(v)) {
      Refuse(number, key + " " + QuotedInput(value) + " is not a number");
    }
    return v;
  }

  // A whole number from 1 to `most`.
  int WholeNumber(int number, const std::string& key, std::string_view value, int most) const {
    const double v = Number(number, key, value);
    if (v != std::floor(v) || v < 1 || v > most) {
      Refuse(number, key + " " + QuotedInput(value) + " is not a whole positive number");
    }
    return static_cast<int>(v);
  }

  std::string Path(int number, const std::string& key, std::string_view value) const {
    if (value.empty()) Refuse(number, key + " names no file");
    std::string path(value);
    if (path.front() != '/' && !folder_.empty()) path = folder_ + "/" + path;
    return path;
  }

  std::string path_, folder_;
  ExplorerSession session_;
  std::string section_;
  std::set<std::string> sections_, keys_;
  bool version_ = false;
  bool placed_ = false;  // the element last begun gave its place
  int shown_line_ = 0, compare_line_ = 0, element_line_ = 0;
};

}  // namespace

bool ExplorerSessionSet::operator==(const ExplorerSessionSet& o) const {
  return body == o.body && body_file == o.body_file && file_points == o.file_points &&
         panels == o.panels && vortex == o.vortex && xv == o.xv && yv == o.yv;
}

bool ExplorerSessionElement::operator==(const ExplorerSessionElement& o) const {
  return body == o.body && body_file == o.body_file && file_element == o.file_element &&
         placement == o.placement && flap == o.flap;
}

bool ExplorerSession::operator==(const ExplorerSession& o) const {
  return shown == o.shown && compare == o.compare && alpha_degrees == o.alpha_degrees &&
         conditions == o.conditions && overlays == o.overlays && placement == o.placement &&
         flap == o.flap && ground_height == o.ground_height && elements == o.elements;
}

std::string ExplorerSessionText(const ExplorerSession& session) {
  std::string text = "# Velquin-2DS flow explorer session\n[explorer]\nversion = " +
                     std::to_string(kSessionVersion) +
                     "\nalpha = " + Shortest(session.alpha_degrees) + "\n";
  if (session.conditions.reynolds) {
    text += "reynolds = " + Shortest(*session.conditions.reynolds) + "\n";
  }
  if (session.conditions.ncrit != kDefaultNcrit) {
    text += "ncrit = " + Shortest(session.conditions.ncrit) + "\n";
  }
  for (const auto& [kind, path] : session.overlays) {
    text += std::string(kind == OverlayKind::kPolar ? "overlay-polar" : "overlay-cp") + " = " +
            path + "\n";
  }
  AppendSet(text, "shown", session.shown);
  AppendLayout(text, session);
  if (session.compare) AppendSet(text, "compare", *session.compare);
  return text;
}

std::optional<ExplorerSession> ParseExplorerSession(std::string_view text, const std::string& path,
                                                    const std::string& folder, std::string& error) {
  try {
    return Reader(path, folder).Read(text);
  } catch (const SessionFault& fault) {
    error = fault.message();
    return std::nullopt;
  }
}

std::optional<ExplorerSession> ReadExplorerSessionFile(const std::string& path,
                                                       std::string& error) {
  std::string reason;
  const std::optional<std::string> text = ReadSmallTextFile(path, kMaxSessionFileBytes, reason);
  if (!text) {
    error = "session file " + QuotedPath(path) + ": " + reason;
    return std::nullopt;
  }
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
  return ParseExplorerSession(*text, path, folder, error);
}

}  // namespace velquin
