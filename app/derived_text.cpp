#include "app/derived_text.h"

#include "base/text_number.h"

namespace velquin {

void AppendShortestNumber(std::string& out, double value) {
  out += NumberText(value == 0 ? 0.0 : value);
}

void AppendKeyValue(std::string& line, std::string_view key, double value) {
  if (!line.empty()) line += ' ';
  line += key;
  line += '=';
  AppendShortestNumber(line, value);
}

std::string DerivedResultsLine(const DerivedResults& results) {
  std::string line;
  const auto pair = [&line](const char* key, double value) { AppendKeyValue(line, key, value); };
  pair("cl_circulation", results.cl_circulation);
  pair("cl_pressure", results.cl_pressure);
  pair("cm_quarter_chord", results.cm_quarter_chord);
  pair("source_sum", results.source_sum);
  if (results.circle_deviation) pair("circle_deviation", *results.circle_deviation);
  if (results.cl_exact) pair("cl_exact", *results.cl_exact);
  if (results.cm_exact) pair("cm_exact", *results.cm_exact);
  if (results.exact_deviation) pair("exact_deviation", *results.exact_deviation);
  return line;
}

std::string PolarRow(std::string_view alpha_degrees, const DerivedResults& results) {
  std::string row(alpha_degrees);
  for (const double value : {results.cl_circulation, results.cl_pressure, results.cm_quarter_chord,
                             results.source_sum}) {
    row += ',';
    AppendShortestNumber(row, value);
  }
  return row;
}

}  // namespace velquin
