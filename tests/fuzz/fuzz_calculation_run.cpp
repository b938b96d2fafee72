// Fuzz target: one whole calculation run with fuzzed controls, through the batch window.
//
// Input layout: the first byte holds the switches, the rest the four texts of the input
// fields separated by '|': "panels|angle|Xv|Yv" (missing texts are empty).
//   bits 0-1  Check_Circulation: the value 0..3 (only 1 means ticked)
//   bits 2-3  body: 0 circle, 1 NACA 0012, 2 both options set, 3 neither
//   bits 4-5  vortex model: 0 none, 1 point, 2 constant, 3 both options set
// So "@8|0|0.5|0" is the window's default and "Q8|10|0.5|0" the circle at 10 degrees with
// circulation and a point vortex.
//
// Every run must end in a completed run, a zero pivot or a run error, each leaving the
// reports it promises; no crash, no sanitizer finding, no run longer than -timeout.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "shell/batch_window.h"
#include "shell/calculation_run.h"
#include "shell/module_common.h"
#include "shell/run_error.h"
#include "shell/text_number.h"
#include "solver/module_gauss.h"

namespace {

using velquin::ErrorKind;

constexpr const char* kReports[] = {"Output_Panel.txt", "Output_InfCoeffs.txt",
                                    "Output_PressCoeffs.txt"};

// The reports go into a temporary directory of this process, removed at exit.
std::string& ReportDirectory() {
  static std::string directory;
  return directory;
}

void RemoveReportDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(ReportDirectory(), ignored);
}

std::string ReportPath(const char* name) {
  return ReportDirectory() + "/" + name;
}

bool Exists(const char* name) {
  return access(ReportPath(name).c_str(), F_OK) == 0;
}

std::string ReadReport(const char* name) {
  std::ifstream in(ReportPath(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "fuzz_calculation_run: %s\n%s\n", what, detail.c_str());
  std::abort();
}

velquin::ControlValues ControlsFromInput(const std::uint8_t* data, std::size_t size) {
  velquin::ControlValues controls;
  const unsigned switches = size > 0 ? data[0] : 0;
  controls.Check_Circulation = static_cast<int>(switches & 3u);
  const unsigned body = (switches >> 2) & 3u;
  controls.Option_Circle = body == 0 || body == 2;
  controls.Option_NACA12 = body == 1 || body == 2;
  const unsigned vortex = (switches >> 4) & 3u;
  controls.Option_PointVortex = vortex == 1 || vortex == 3;
  controls.Option_ConstVortex = vortex == 2 || vortex == 3;

  std::string* const texts[] = {&controls.Text_NP, &controls.Text_AlfaD, &controls.Text_Xv,
                                &controls.Text_Yv};
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  rest.remove_prefix(size > 0 ? 1 : 0);
  for (std::string* text : texts) {
    const std::size_t bar = rest.find('|');
    *text = std::string(rest.substr(0, bar));
    rest.remove_prefix(bar == std::string_view::npos ? rest.size() : bar + 1);
  }
  return controls;
}

bool StartsWithErrorName(const std::string& message) {
  for (ErrorKind kind :
       {ErrorKind::kSubscriptOutOfRange, ErrorKind::kDivisionByZero, ErrorKind::kInvalidArgument,
        ErrorKind::kOverflow, ErrorKind::kFileError}) {
    if (message.rfind(std::string(velquin::ErrorName(kind)) + ": ", 0) == 0) return true;
  }
  return false;
}

std::size_t CountLines(const std::string& text) {
  std::size_t lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  return lines;
}

// What each outcome promises about the messages and the reports.
void CheckOutcome(velquin::RunOutcome outcome, const velquin::ControlValues& controls,
                  const std::string& messages) {
  switch (outcome) {
    case velquin::RunOutcome::kCompleted: {
      if (!messages.empty()) Fail("a completed run showed a message", messages);
      for (const char* name : kReports) {
        const std::string report = ReadReport(name);
        if (report.empty()) Fail("a completed run left a report empty", name);
        if (report.find("NaN") != std::string::npos ||
            report.find("Infinity") != std::string::npos) {
          Fail("a completed run wrote a number that is not finite", name);
        }
      }
      // The count was accepted, so it is a whole number of panels: one line each.
      const double panels = velquin::ReadNumber(controls.Text_NP);
      if (CountLines(ReadReport("Output_PressCoeffs.txt")) != panels + 2) {
        Fail("the pressure report does not have a line per panel", controls.Text_NP);
      }
      return;
    }
    case velquin::RunOutcome::kZeroPivot:
      if (messages != std::string(velquin::kZeroPivotMessage) + "\n") {
        Fail("a zero pivot showed another message", messages);
      }
      if (Exists("Output_PressCoeffs.txt")) Fail("a zero pivot wrote the pressure report", "");
      return;
    case velquin::RunOutcome::kFailed:
      if (!StartsWithErrorName(messages)) Fail("a run error without its name", messages);
      if (messages.size() > 400) Fail("the message grows with the input", messages);
      if (Exists("Output_PressCoeffs.txt")) Fail("a failed run wrote the pressure report", "");
      return;
  }
  Fail("an unknown outcome", "");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string pattern = (std::filesystem::temp_directory_path() / "velquin-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) Fail("cannot create a temporary directory", pattern);
  ReportDirectory() = pattern;
  std::atexit(RemoveReportDirectory);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const char* name : kReports) unlink(ReportPath(name).c_str());

  const velquin::ControlValues controls = ControlsFromInput(data, size);
  // Every run starts from the state of a fresh program. Copied from a pristine state
  // rather than allocated anew, which would spend most of the time on fresh pages.
  static const auto pristine = std::make_unique<velquin::Module_Common>();
  static const auto state = std::make_unique<velquin::Module_Common>();
  *state = *pristine;
  velquin::Form_Load(*state);
  velquin::NullPicture airfoil, pressure, matrix;
  std::ostringstream messages;
  velquin::BatchWindow window(*state, controls, airfoil, pressure, matrix, messages);
  const velquin::RunOutcome outcome =
      velquin::Command1_Click(*state, window, velquin::ReportOptions{ReportDirectory(), '.'});
  CheckOutcome(outcome, controls, messages.str());
  return 0;
}
