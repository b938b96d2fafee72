// Running the calculation in tests: one state, a batch window with no pictures, the
// reports in a given directory, and the messages collected.
#pragma once

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/calculation_run.h"
#include "base/module_common.h"
#include "cli/batch_run.h"
#include "cli/batch_window.h"

namespace velquin::test_support {

struct RunResult {
  RunOutcome outcome;
  std::string messages;  // every message the run showed, one per line
};

inline std::unique_ptr<Module_Common> NewState() {
  auto state = std::make_unique<Module_Common>();
  Form_Load(*state);
  return state;
}

inline RunResult RunIn(Module_Common& state, const ControlValues& controls,
                       const std::string& directory) {
  std::ostringstream messages;
  BatchWindow window(controls, messages);
  const RunOutcome outcome =
      Command1_Click(state, window.Controls(), window, ReportOptions{directory, '.'});
  return {outcome, messages.str()};
}

inline ControlValues CircleControls(const std::string& panels, const std::string& alpha = "0") {
  ControlValues controls;
  controls.Text_NP = panels;
  controls.Text_AlfaD = alpha;
  return controls;
}

inline ControlValues WithCirculation(ControlValues controls, bool point_vortex) {
  controls.Check_Circulation = 1;
  controls.Option_PointVortex = point_vortex;
  controls.Option_ConstVortex = !point_vortex;
  return controls;
}

inline ControlValues Naca(ControlValues controls) {
  controls.Option_Circle = false;
  controls.Option_NACA12 = true;
  return controls;
}

// The words of a text, as a command line: Words("--alpha 10") is {"--alpha", "10"}.
inline std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Standard error without the lines of notes ("velquin2ds: note: ...").
inline std::string WithoutNotes(const std::string& err) {
  std::istringstream in(err);
  std::string kept;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("velquin2ds: note: ", 0) != 0) kept += line + '\n';
  }
  return kept;
}

struct BatchOutcome {
  int status;
  std::string out, err;
};

// The command line args exactly as given, without pictures.
inline BatchOutcome RunCommand(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunBatchCommand(args, out, err, '.', {});
  return {status, out.str(), err.str()};
}

// The batch command "--batch ARGS --out DIR"; ARGS with an --out of their own keep it.
inline BatchOutcome RunBatch(const std::string& dir, std::vector<std::string> args) {
  if (std::find(args.begin(), args.end(), "--out") == args.end()) {
    args.insert(args.end(), {"--out", dir});
  }
  args.insert(args.begin(), "--batch");
  return RunCommand(args);
}

}  // namespace velquin::test_support
