// The headless command line:
//   velquin2ds --batch [--panels TEXT] [--body NAME | --body-file PATH] [--alpha TEXT]
//                      [--circulation] [--vortex point|constant] [--xv TEXT] [--yv TEXT]
//                      [--out DIR] [--images] [--sweep FROM:TO:STEP] [--flow]
// It drives the same calculation run as the window, with the controls set from the
// options. Exit status 0 after a completed run, 1 after a run error or a zero pivot
// (message on stderr), 2 for a malformed command line (usage on stderr).
//
// --body-file PATH runs a section given by a coordinate file (geometry/geometry_file.h):
// its own points as the nodes, or with --panels N re-panelled with N nodes. A file that
// cannot be used is refused, exit status 1, before anything is written.
//
// After a completed run it prints the derived results (lift from the circulation and
// from the pressure, quarter-chord moment, source sum, and where an exact solution is
// known the deviation from it) as one line of key=value pairs on stdout
// (shell/derived_text.h).
//
// --sweep FROM:TO:STEP (degrees; shell/angle_range.h), instead of --alpha, runs the
// calculation at every angle of the range with the other inputs fixed and writes
// polar.csv into DIR. The three reports, the pictures and the stdout line are those of
// a run at the last angle: that run is made first, as a run of its own; the matrix is
// then assembled and eliminated once more and solved for all angles together
// (solver/angle_sweep.h), which gives every angle the very bits of a separate run.
//
// --flow also draws the flow explorer's pictures of the run (Flow.png, Cp.png and, with
// --sweep, Polar.png) into DIR.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "geometry/geometry_file.h"
#include "shell/control_values.h"
#include "shell/picture.h"
#include "shell/picture_table.h"
#include "solver/run_inputs.h"

namespace velquin {

// The three pictures of a batch run that can be saved as PNG files (the Qt build's).
class BatchPictures {
 public:
  virtual ~BatchPictures() = default;
  virtual Picture& PictureOf(PictureId id) = 0;
  // Writes NAME.png of every picture of kPictures into directory (empty: the current
  // one). Returns an error message, empty on success.
  virtual std::string Save(const std::string& directory) = 0;
};
using BatchPicturesFactory = std::function<std::unique_ptr<BatchPictures>()>;

// Draws the flow explorer's pictures of a completed run into `directory` (empty: the
// current one): Flow.png and Cp.png, and Polar.png when `polar` is set (the Qt build's).
// Returns an error message, empty on success.
using FlowPicturesWriter =
    std::function<std::string(const RunInputs& inputs, bool polar, const std::string& directory)>;

// A command line that cannot be run as given; the message says why.
struct UsageError {
  std::string message;
};

// The command line, parsed: what to run and where its results go.
struct BatchRequest {
  std::map<std::string, std::string> options;  // option name -> value ("" for flags)
  ControlValues controls;                      // the inputs, as the window's controls
  std::vector<std::string> sweep_angles;       // empty: one run at the --alpha angle
  std::string body_file;                       // --body-file, read when the request runs
  std::string out_directory;                   // empty: the current one
  bool images = false;
  bool flow = false;
};

// The message for a malformed command line: the reason, one usage line and where to
// find more ("Try 'velquin2ds --help'."), three lines in all.
std::string ShortUsage(const UsageError& error);

// True when args (without the program name) ask for batch mode, --help or --version.
bool IsCommandLineMode(const std::vector<std::string>& args);

// Parses the command line of the window (without the program name, no --batch): only
// the input options, which preset the window's controls so that "Calculate" runs what
// --batch would run. Bodies the window cannot show are refused. Throws UsageError.
ControlValues ParseWindowCommand(const std::vector<std::string>& args);

// Parses a --batch command line (without the program name). Throws UsageError.
BatchRequest ParseBatchCommand(const std::vector<std::string>& args);

// Runs a parsed command line and returns the exit status. make_pictures may be empty
// when request.images is false, write_flow when request.flow is false.
int RunBatchRequest(const BatchRequest& request, std::ostream& out, std::ostream& err,
                    char decimal_separator, const BatchPicturesFactory& make_pictures,
                    const FlowPicturesWriter& write_flow = {});

// Runs the command line args (without the program name) and returns the exit status.
// make_pictures may be empty: then --images is refused; so is --flow without write_flow.
int RunBatchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    char decimal_separator, const BatchPicturesFactory& make_pictures,
                    const FlowPicturesWriter& write_flow = {});

// velquin2ds --explore [--panels TEXT] [--body NAME | --body-file PATH] [--alpha TEXT]
//                      [--circulation] [--vortex point|constant] [--xv TEXT] [--yv TEXT]
// opens the flow explorer with these inputs, read as a run reads them. Without
// --circulation or --vortex a section has circulation (the constant vortex
// distribution) and the circle none; --vortex alone turns circulation on, and
// --circulation alone takes the constant vortex distribution.
bool IsExplorerMode(const std::vector<std::string>& args);
struct ExplorerCommand {
  RunInputs inputs;
  std::optional<SectionPoints> section;  // the coordinate file of --body-file
  std::string error;                     // why the command line cannot be run, empty when it can
};
ExplorerCommand ParseExplorerCommand(const std::vector<std::string>& args);

}  // namespace velquin
