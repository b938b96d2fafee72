// The --batch run of the general panel problem (app/problem_run.h): several elements,
// placements, flaps, a ground plane or --general. It reads the elements (bodies by name
// and coordinate files, which may hold several elements each), solves at the angle or
// over the sweep, and writes surface.csv (the last angle), polar.csv with --sweep, and
// the results line on stdout. A note on stderr says why there are no seed reports.
// Exit status 0 after a completed run, 1 when the inputs are refused or the solution
// fails (the message names the element or input).
#pragma once

#include <ostream>

#include "cli/batch_pictures.h"
#include "cli/command_line.h"

namespace velquin {

// The problem's inputs from the request: the elements with their files read, the panels
// per element, the vortex model, the ground. Throws RunError naming the file or input.
ProblemInputs ReadProblemInputs(const BatchRequest& request);

int RunProblemRequest(const BatchRequest& request, std::ostream& out, std::ostream& err,
                      char decimal_separator, const FlowPicturesWriter& write_flow = {});

}  // namespace velquin
