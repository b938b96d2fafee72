#include "app/overlay_files.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "app/text_file.h"
#include "base/text_number.h"

namespace velquin {
namespace {

class OverlayFault {
 public:
  explicit OverlayFault(std::string message) : message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

[[noreturn]] void Refuse(OverlayKind kind, const std::string& path, int line,
                         const std::string& reason) {
  std::string where = std::string(OverlayKindName(kind)) + " " + QuotedPath(path);
  if (line > 0) where += ", line " + std::to_string(line);
  throw OverlayFault(where + ": " + reason);
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  const auto separator = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; };
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && separator(line[at])) ++at;
    const std::size_t start = at;
    while (at < line.size() && !separator(line[at])) ++at;
    if (at > start) fields.push_back(line.substr(start, at - start));
  }
  return fields;
}

// A whole field as a number, or nothing ("1.5", "-2e-3"; a leading '+' allowed).
std::optional<double> Number(std::string_view field) {
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  double value = 0;
  const auto [end, code] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (code != std::errc() || end != field.data() + field.size()) return std::nullopt;
  return value;
}

struct Line {
  int number = 0;
  std::string_view text;
};

std::vector<Line> Lines(std::string_view text) {
  std::vector<Line> lines;
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    lines.push_back({++number, line});
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The columns a kind needs, by the names headers give them.
struct Columns {
  int first = 0, second = 1;  // x and cp, or alpha and cl
  int cd = -1, cm = -1;
  std::size_t count = 2;  // fields a data line must have at least
};

std::optional<Columns> ColumnsFromHeader(const std::vector<std::string_view>& names,
                                         OverlayKind kind) {
  Columns columns;
  columns.first = columns.second = -1;
  for (int k = 0; k < static_cast<int>(names.size()); ++k) {
    const std::string name = Lower(names[k]);
    if (kind == OverlayKind::kPressure) {
      if (name == "x" || name == "x/c") columns.first = k;
      if (name == "cp") columns.second = k;
    } else {
      if (name == "alpha" || name == "alfa") columns.first = k;
      if (name == "cl") columns.second = k;
      if (name == "cd") columns.cd = k;
      if (name == "cm") columns.cm = k;
    }
  }
  if (columns.first < 0 || columns.second < 0) return std::nullopt;
  // Every line has the header's fields: a decimal comma ("0,5") splits a number in two
  // and is caught here rather than read as two numbers.
  columns.count = names.size();
  return columns;
}

const char* ColumnsWanted(OverlayKind kind) {
  return kind == OverlayKind::kPressure ? "x and cp" : "alpha and cl";
}

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

OverlayCurve Parse(std::string_view text, const std::string& path, OverlayKind kind) {
  OverlayCurve curve;
  curve.kind = kind;
  curve.path = path;
  curve.name = FileName(path);
  const std::vector<Line> lines = Lines(text);
  std::optional<Columns> columns;
  bool xfoil_polar = false, data_started = false;
  for (const Line& line : lines) {
    const std::string_view content = Trimmed(line.text);
    if (content.empty()) continue;
    if (!data_started) {
      const std::string lower = Lower(content);
      if (lower.find("xfoil") != std::string::npos && lower.find("version") != std::string::npos) {
        xfoil_polar = true;  // XFOIL's banner: a header of its own, then dashes
      }
      static constexpr std::string_view kPolarFor = "calculated polar for:";
      if (const std::size_t at = lower.find(kPolarFor); at != std::string::npos) {
        const std::string_view name = Trimmed(content.substr(at + kPolarFor.size()));
        if (!name.empty()) curve.name = std::string(name);
      }
      if (xfoil_polar && content.find_first_not_of("- ") == std::string_view::npos) {
        if (!columns) Refuse(kind, path, line.number, "the dashes follow no column names");
        data_started = true;  // XFOIL's line of dashes under the column names
        continue;
      }
    }
    if (content.front() == '#') {
      // A comment; XFOIL's CPWR names its columns in one ("#  x  Cp").
      if (!data_started && !columns) columns = ColumnsFromHeader(Fields(content.substr(1)), kind);
      continue;
    }
    const std::vector<std::string_view> fields = Fields(content);
    if (xfoil_polar && !data_started) {
      if (!columns) columns = ColumnsFromHeader(fields, kind);
      continue;  // XFOIL's header lines, up to its line of dashes
    }
    const bool numeric = !fields.empty() && Number(fields.front()).has_value();
    if (!numeric) {
      if (curve.x.empty() && curve.alpha.empty() && !columns) {
        columns = ColumnsFromHeader(fields, kind);
        if (!columns) {
          Refuse(kind, path, line.number,
                 "the header " + QuotedInput(content) + " names no columns " + ColumnsWanted(kind));
        }
        continue;
      }
      Refuse(kind, path, line.number, "expected numbers, found " + QuotedInput(content));
    }
    if (!columns) {
      // Without a header the first line says: x cp; alpha cl, with cd and cm if given.
      columns = Columns{};
      if (kind == OverlayKind::kPolar && fields.size() >= 3 && fields.size() <= 4) {
        columns->cd = 2;
        if (fields.size() == 4) columns->cm = 3;
        columns->count = fields.size();
      }
    }
    if (fields.size() != columns->count) {
      Refuse(
          kind, path, line.number,
          "expected " + std::to_string(columns->count) + " numbers, found " + QuotedInput(content));
    }
    const auto value = [&](int column) {
      const std::optional<double> v = Number(fields[static_cast<std::size_t>(column)]);
      if (!v) {
        Refuse(kind, path, line.number,
               QuotedInput(fields[static_cast<std::size_t>(column)]) + " is not a number");
      }
      if (!std::isfinite(*v)) {
        Refuse(kind, path, line.number,
               QuotedInput(fields[static_cast<std::size_t>(column)]) + " is not a finite number");
      }
      return *v;
    };
    if (kind == OverlayKind::kPressure) {
      curve.x.push_back(value(columns->first));
      curve.cp.push_back(value(columns->second));
    } else {
      curve.alpha.push_back(value(columns->first));
      curve.cl.push_back(value(columns->second));
      if (columns->cd >= 0) curve.cd.push_back(value(columns->cd));
      if (columns->cm >= 0) curve.cm.push_back(value(columns->cm));
    }
  }
  const std::size_t points = kind == OverlayKind::kPressure ? curve.x.size() : curve.alpha.size();
  if (points < 2) {
    Refuse(kind, path, 0,
           "it holds " + std::to_string(points) + (points == 1 ? " point" : " points") + " of " +
               ColumnsWanted(kind) + "; a curve needs at least 2");
  }
  return curve;
}

}  // namespace

const char* OverlayKindName(OverlayKind kind) {
  return kind == OverlayKind::kPressure ? "Cp file" : "polar file";
}

std::optional<OverlayCurve> ParseOverlayText(std::string_view text, const std::string& path,
                                             OverlayKind kind, std::string& error) {
  try {
    return Parse(text, path, kind);
  } catch (const OverlayFault& fault) {
    error = fault.message();
    return std::nullopt;
  }
}

std::optional<OverlayCurve> ReadOverlayFile(const std::string& path, OverlayKind kind,
                                            std::string& error) {
  std::string reason;
  const std::optional<std::string> text = ReadSmallTextFile(path, kMaxOverlayFileBytes, reason);
  if (!text) {
    error = std::string(OverlayKindName(kind)) + " " + QuotedPath(path) + ": " + reason;
    return std::nullopt;
  }
  return ParseOverlayText(*text, path, kind, error);
}

}  // namespace velquin
