// Fuzz target: one whole calculation run with fuzzed controls, through the batch window.
//
// Input: the first byte holds the switches, the rest the four texts "panels|angle|Xv|Yv"
// (missing texts are empty).
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

#include <algorithm>
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

#include "app/calculation_run.h"
#include "base/module_common.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "cli/batch_window.h"
#include "solver/module_gauss.h"

namespace {

using namespace velquin;

std::string directory;  // of the reports, removed at exit
constexpr const char* kReports[] = {"Output_Panel.txt", "Output_InfCoeffs.txt",
                                    "Output_PressCoeffs.txt"};

std::string ReadReport(const char* name) {
  std::ifstream in(directory + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[noreturn]] void Fail(const char* what, const std::string& detail = "") {
  std::fprintf(stderr, "fuzz_calculation_run: %s\n%s\n", what, detail.c_str());
  std::abort();
}

ControlValues ControlsFromInput(std::string_view input) {
  ControlValues controls;
  const unsigned switches = input.empty() ? 0 : static_cast<unsigned char>(input[0]);
  const unsigned body = (switches >> 2) & 3u, vortex = (switches >> 4) & 3u;
  controls.Check_Circulation = static_cast<int>(switches & 3u);
  controls.Option_Circle = body == 0 || body == 2;
  controls.Option_NACA12 = body == 1 || body == 2;
  controls.Option_PointVortex = vortex == 1 || vortex == 3;
  controls.Option_ConstVortex = vortex == 2 || vortex == 3;
  input.remove_prefix(input.empty() ? 0 : 1);
  for (std::string* text :
       {&controls.Text_NP, &controls.Text_AlfaD, &controls.Text_Xv, &controls.Text_Yv}) {
    const std::size_t bar = input.find('|');
    *text = std::string(input.substr(0, bar));
    input.remove_prefix(bar == std::string_view::npos ? input.size() : bar + 1);
  }
  return controls;
}

// What each outcome promises about the messages and the reports.
void CheckOutcome(RunOutcome outcome, const ControlValues& controls, const std::string& messages) {
  const bool pressure_report = access((directory + "/Output_PressCoeffs.txt").c_str(), F_OK) == 0;
  if (outcome == RunOutcome::kCompleted) {
    if (!messages.empty()) Fail("a completed run showed a message", messages);
    for (const char* name : kReports) {
      const std::string report = ReadReport(name);
      if (report.empty()) Fail("a completed run left a report empty", name);
      if (report.find("NaN") != std::string::npos || report.find("Infinity") != std::string::npos) {
        Fail("a completed run wrote a number that is not finite", name);
      }
    }
    // The count was accepted, so it is a whole number of panels: a line each and two more.
    const std::string report = ReadReport("Output_PressCoeffs.txt");
    const auto lines = std::count(report.begin(), report.end(), '\n');
    if (lines != ReadNumber(controls.Text_NP) + 2) Fail("not a line per panel", controls.Text_NP);
  } else if (outcome == RunOutcome::kZeroPivot) {
    if (messages != "velquin2ds:" + std::string(kZeroPivotMessage) + "\n") {
      Fail("a zero pivot said", messages);
    }
    if (pressure_report) Fail("a zero pivot wrote the pressure report");
  } else {
    bool named = false;
    for (ErrorKind kind :
         {ErrorKind::kSubscriptOutOfRange, ErrorKind::kDivisionByZero, ErrorKind::kInvalidArgument,
          ErrorKind::kOverflow, ErrorKind::kFileError}) {
      named = named || messages.rfind("velquin2ds: " + std::string(ErrorName(kind)) + ": ", 0) == 0;
    }
    if (!named) Fail("a run error without its name", messages);
    if (messages.size() > 400) Fail("the message grows with the input", messages);
    if (pressure_report) Fail("a failed run wrote the pressure report");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  directory = (std::filesystem::temp_directory_path() / "velquin-fuzz-XXXXXX").string();
  if (mkdtemp(directory.data()) == nullptr) Fail("cannot create a temporary directory", directory);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const char* name : kReports) unlink((directory + "/" + name).c_str());
  const ControlValues controls =
      ControlsFromInput(std::string_view(reinterpret_cast<const char*>(data), size));
  // Every run starts from the state of a fresh program: copied from a pristine state, as
  // allocating anew would spend most of the time on fresh pages.
  static const auto pristine = std::make_unique<Module_Common>();
  static const auto state = std::make_unique<Module_Common>();
  *state = *pristine;
  Form_Load(*state);
  std::ostringstream messages;
  BatchWindow window(controls, messages);
  // The run first: the order in which arguments are evaluated is unspecified.
  const RunOutcome outcome =
      Command1_Click(*state, window.Controls(), window, ReportOptions{directory, '.'});
  CheckOutcome(outcome, controls, messages.str());
  return 0;
}
