// The derived results as text: one line of key=value pairs after a run, and the rows of
// the polar file "polar.csv" of an angle sweep.
//
// Numbers are written in the shortest decimal form that reads back as the same double
// (std::to_chars: "0.5830861512348234", "-1.2e-05", "1e+20"), with a point as the
// decimal separator whatever the locale, and negative zero written as "0". So a value
// can be compared with another run bit for bit, by any program that reads decimals
// correctly. The polar file has "\n" line ends (no carriage return), the common form
// for tools that read CSV.
#pragma once

#include <string>
#include <string_view>

#include "solver/derived_results.h"

namespace velquin {

inline constexpr const char* kPolarHeader =
    "alpha_deg,cl_circulation,cl_pressure,cm_quarter_chord,source_sum";

// Appends the shortest round-trip decimal form of value ("0" for either zero).
void AppendShortestNumber(std::string& out, double value);

// Appends "key=value" (the value as AppendShortestNumber writes it), after a blank when
// the line already holds something: the pairs of the results line.
void AppendKeyValue(std::string& line, std::string_view key, double value);

// "cl_circulation=... cl_pressure=... cm_quarter_chord=... source_sum=...", then
// " circle_deviation=..." when it is defined, and " cl_exact=... cm_exact=...
// exact_deviation=..." for bodies with an exact flow (cm_exact where the body gives it);
// no line end.
std::string DerivedResultsLine(const DerivedResults& results);

// One row of polar.csv without its line end: the angle as given (a decimal text),
// then the four results in the order of kPolarHeader.
std::string PolarRow(std::string_view alpha_degrees, const DerivedResults& results);

}  // namespace velquin
