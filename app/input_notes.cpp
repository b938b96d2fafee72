#include "app/input_notes.h"

#include <utility>

#include "app/calculation_run.h"
#include "base/run_error.h"
#include "base/text_number.h"

namespace velquin {
namespace {

// Why a text read as it did, or nothing when all of it was the number.
std::optional<std::string> HowItWasRead(const NumberReading& reading) {
  if (!reading.began_with_number) {
    if (reading.rest.empty()) return std::nullopt;  // an empty field reads 0, as is usual
    return std::string("it does not begin with a number");
  }
  if (reading.rest.empty()) return std::nullopt;
  if (reading.rest.front() == ',') return std::string("the decimal separator is a point");
  return "the rest, " + QuotedInput(reading.rest) + ", is ignored";
}

void NoteField(const char* field, const std::string& text, std::vector<std::string>& notes) {
  NumberReading reading;
  try {
    reading = ReadNumberPart(text);
  } catch (const RunError&) {
    return;  // the run names the overflow itself
  }
  if (auto note = ReadingNote(field, text, reading)) notes.push_back(std::move(*note));
}

}  // namespace

std::vector<std::string> ReadingNotes(const ControlValues& controls) {
  std::vector<std::string> notes;
  NoteField("number of panels", controls.Text_NP, notes);
  if (ChosenVortexModel(controls) == VortexModel::kPointVortex) {
    NoteField("vortex position Xv", controls.Text_Xv, notes);
    NoteField("vortex position Yv", controls.Text_Yv, notes);
  }
  NoteField("angle of attack", controls.Text_AlfaD, notes);
  return notes;
}

std::optional<std::string> ReadingNote(std::string_view field, std::string_view text,
                                       const NumberReading& reading) {
  const std::optional<std::string> why = HowItWasRead(reading);
  if (!why) return std::nullopt;
  return std::string(field) + " " + QuotedInput(text) + " read as " +
         NumberText(reading.value == 0 ? 0.0 : reading.value) + " (" + *why + ")";
}

bool InsideContour(const Module_Common& C, double x, double y) {
  // The start nodes, closed from the last back to the first: a contour whose last node
  // is computed rather than copied closes only to within rounding, and a ray along the
  // x axis must not slip through that gap.
  bool inside = false;
  const int np = RealToIndex(C.NP);
  for (int i = 1; i <= np; ++i) {
    const int next = i == np ? 1 : i + 1;
    const double x1 = C.X(1, i), y1 = C.Y(1, i), x2 = C.X(1, next), y2 = C.Y(1, next);
    // Does the ray from (x, y) towards +x cross the panel?
    if ((y1 > y) != (y2 > y) && x < x1 + (y - y1) * (x2 - x1) / (y2 - y1)) inside = !inside;
  }
  return inside;
}

std::optional<std::string> VortexPositionWarning(const Module_Common& C, const RunInputs& inputs) {
  if (inputs.vortex != VortexModel::kPointVortex || InsideContour(C, inputs.Xv, inputs.Yv)) {
    return std::nullopt;
  }
  return "the point vortex at (" + NumberText(inputs.Xv) + ", " + NumberText(inputs.Yv) +
         ") lies outside the body; the lift from the circulation is not meaningful";
}

}  // namespace velquin
