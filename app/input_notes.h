// What the program tells its user about the inputs beside the run's results: how a text
// was read when only part of it was a number, and a warning when a point vortex lies
// outside the body. The run itself does not change; these are notes, not refusals.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/control_values.h"
#include "base/module_common.h"
#include "base/text_number.h"
#include "solver/run_inputs.h"

namespace velquin {

// One note for each field whose text was read only in part, or that does not begin with
// a number, e.g. `angle of attack "0,5" read as 0 (the decimal separator is a point)`.
// The vortex position is noted only when the point vortex is in use. Fields are noted
// in the order the run reads them; texts that overflow are left to the run's error.
std::vector<std::string> ReadingNotes(const ControlValues& controls);

// The note on one text as `reading` (ReadNumberPart) read it, in the words of the fields'
// notes: `FIELD "TEXT" read as VALUE (why)`. Nothing when all of the text was the number,
// or when it is empty (an empty field reads 0, as is usual). The command line's --sweep
// notes its three numbers with it, so that a range reads as the angle field does.
std::optional<std::string> ReadingNote(std::string_view field, std::string_view text,
                                       const NumberReading& reading);

// Whether (x, y) lies inside the contour of panels 1..NP of C (even-odd rule on the
// polygon of the panels' start nodes).
bool InsideContour(const Module_Common& C, double x, double y);

// After a completed run with the point vortex: a warning when it lies outside the body,
// e.g. `the point vortex at (2, 0) lies outside the body; the lift from the circulation
// is not meaningful`. Nothing otherwise.
std::optional<std::string> VortexPositionWarning(const Module_Common& C, const RunInputs& inputs);

}  // namespace velquin
