// The headless run of a --batch command line (cli/command_line.h for its grammar): the
// same run session as the window's "Calculate", with the controls set from the options,
// then the sweep and polar.csv, the pictures and the line of derived results.
//
// Exit status 0 after a completed run, 1 after a run error or a zero pivot (message on
// stderr), 2 for a malformed command line (usage on stderr).
//
// --body-file PATH runs a section given by a coordinate file (geometry/geometry_file.h):
// its own points as the nodes, or with --panels N re-panelled with N nodes. A file that
// cannot be used is refused, exit status 1, before anything is written.
//
// After a completed run it prints the derived results (lift from the circulation and
// from the pressure, quarter-chord moment, source sum, and where an exact solution is
// known the deviation from it) as one line of key=value pairs on stdout
// (app/derived_text.h).
//
// --sweep FROM:TO:STEP (degrees; cli/angle_range.h), instead of --alpha, runs the
// calculation at every angle of the range with the other inputs fixed and writes
// polar.csv into DIR. The three reports, the pictures and the stdout line are those of
// a run at the last angle: that run is made first, as a run of its own; the matrix is
// then assembled and eliminated once more and solved for all angles together
// (solver/angle_sweep.h), which gives every angle the very bits of a separate run.
//
// --re RE (with --ncrit, --xtr, --mach) adds the viscous analysis of the section
// (viscous/panel_viscous.h) at the run's angle or at every angle of the sweep, on the
// panels of the completed run factored once more: the stdout line gains the viscous
// pairs (app/viscous_text.h), DIR/bl.csv holds the layers of the last angle, and
// polar.csv gains the viscous columns. Where the Karman-Tsien flow turns supersonic one
// warning on stderr names the angles. Without --re nothing of the outputs changes.
//
// --flow also draws the flow explorer's pictures of the run (Flow.png, Cp.png and, with
// --sweep, Polar.png) into DIR.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/batch_pictures.h"
#include "cli/command_line.h"

namespace velquin {

// Runs a parsed command line and returns the exit status. make_pictures may be empty
// when request.images is false, write_flow when request.flow is false.
int RunBatchRequest(const BatchRequest& request, std::ostream& out, std::ostream& err,
                    char decimal_separator, const BatchPicturesFactory& make_pictures,
                    const FlowPicturesWriter& write_flow = {});

// Runs the command line args (without the program name) and returns the exit status:
// --help, --version, --verify (cli/verify_command.h) or a --batch run. make_pictures may
// be empty: then --images is refused; so is --flow without write_flow; without
// write_picture --verify writes no Convergence.png.
int RunBatchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    char decimal_separator, const BatchPicturesFactory& make_pictures,
                    const FlowPicturesWriter& write_flow = {},
                    const PictureFileWriter& write_picture = {});

}  // namespace velquin
