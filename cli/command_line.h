// The command line of velquin2ds: its three grammars and its usage text.
//   velquin2ds [input options]            the window, its controls preset
//   velquin2ds --batch [options]          a run without a window (cli/batch_run.h)
//   velquin2ds --explore [input options]  the flow explorer
//   velquin2ds --explore FILE             the flow explorer with a saved session
//   velquin2ds --help | --version
// The input options (--panels, --body, --body-file, --alpha, --circulation, --vortex,
// --xv, --yv) set the window's controls as ControlValues; TEXT values are read later as
// the window reads its fields. Options take their value as the next argument or after
// "="; each may be given once.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/control_values.h"
#include "app/problem_run.h"
#include "geometry/element_layout.h"
#include "geometry/geometry_file.h"
#include "solver/run_inputs.h"
#include "viscous/panel_viscous.h"

namespace velquin {

// A command line that cannot be run as given; the message says why.
struct UsageError {
  std::string message;
};

// The command line, parsed: what to run and where its results go.
// An element of the general problem: --body NAME or --body-file PATH, with the --place
// and --flap that follow it.
struct ElementRequest {
  bool file = false;
  std::string value;  // the name or the path
  std::optional<Placement> placement;
  std::optional<Flap> flap;
};

struct BatchRequest {
  std::map<std::string, std::string> options;  // option name -> value ("" for flags)
  ControlValues controls;                      // the inputs, as the window's controls
  std::vector<std::string> sweep_angles;       // empty: one run at the --alpha angle
  std::vector<std::string> sweep_notes;        // how --sweep's numbers were read, if in part
  std::string body_file;                       // --body-file, read when the request runs
  std::string out_directory;                   // empty: the current one
  bool images = false;
  bool flow = false;
  // The general problem: several elements, a placement, a flap, a ground plane or
  // --general. It writes surface.csv instead of the three reports.
  bool general = false;
  std::vector<ElementRequest> elements;  // every --body and --body-file in order
  std::optional<double> ground_height;   // --ground H
  // --re and its companions --ncrit, --xtr and --mach: the viscous analysis of a single
  // section with circulation; none without --re.
  std::optional<ViscousOptions> viscous;
};

// --help: the grammars, the bodies, the outputs and the exit status.
std::string UsageText();

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

// True when args ask for --help or -h.
bool IsHelpRequest(const std::vector<std::string>& args);

// True when args (without the program name) ask for batch mode, --help or --version.
bool IsCommandLineMode(const std::vector<std::string>& args);

// Parses the command line of the window (without the program name, no --batch): only
// the input options, which preset the window's controls so that "Calculate" runs what
// --batch would run. Bodies the window cannot show are refused. Throws UsageError.
ControlValues ParseWindowCommand(const std::vector<std::string>& args);

// Parses a --batch command line (without the program name). Throws UsageError.
BatchRequest ParseBatchCommand(const std::vector<std::string>& args);

// Notes on options that a run does not use: the vortex model and position without
// --circulation, the position with the constant vortex distribution; and, for a section
// without --circulation, that it has no Kutta condition and carries no lift.
std::vector<std::string> IgnoredOptionNotes(const BatchRequest& request);

// --body-file, for the batch run and the explorer alike: reads and checks the coordinate
// file at `path` and makes it the body of `controls`, with the file's own points as the
// nodes and their count as the panel count, or, when the panel count was given,
// re-panelled to it (a count that overflows is left to the run's reading, which names
// it). Returns the section, or nothing with `error` saying why the file cannot be used.
std::optional<SectionPoints> SetBodyFromFile(const std::string& path, bool panels_given,
                                             ControlValues& controls, std::string& error);

// velquin2ds --explore [--panels TEXT] [--body NAME | --body-file PATH] [--alpha TEXT]
//                      [--circulation] [--vortex point|constant] [--xv TEXT] [--yv TEXT]
//                      [--place X:Y:DEG:CHORD] [--flap XH:DEG] [--ground H] [--general]
// (every --body and --body-file an element, followed by its --place and --flap, as for
// --batch)
// opens the flow explorer with these inputs, read as a run reads them. Without
// --circulation or --vortex a section has circulation (the constant vortex
// distribution) and the circle none; --vortex alone turns circulation on, and
// --circulation alone takes the constant vortex distribution.
bool IsExplorerMode(const std::vector<std::string>& args);
struct ExplorerCommand {
  std::string session;  // "--explore FILE": the session file to open (nothing else given)
  RunInputs inputs;
  std::optional<SectionPoints> section;  // the coordinate file of --body-file
  // The general problem, when the options ask for it as they would of --batch (several
  // elements, --place, --flap, --ground, --general); its files read.
  std::optional<ProblemInputs> problem;
  // Why the explorer cannot open, empty when it can; with the exit status of the batch
  // command for the same fault: 2 for a command line that cannot be run, 1 for a run that
  // failed (a file that cannot be read or used, an input the run refuses).
  std::string error;
  int error_status = 2;
};
ExplorerCommand ParseExplorerCommand(const std::vector<std::string>& args);

}  // namespace velquin
