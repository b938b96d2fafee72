// The headless command line:
//   velquin2ds --batch [--panels TEXT] [--body circle|naca0012] [--alpha TEXT]
//                      [--circulation] [--vortex point|constant] [--xv TEXT] [--yv TEXT]
//                      [--out DIR] [--images] [--sweep FROM:TO:STEP]
// It drives the same calculation run as the window, with the controls set from the
// options. Exit status 0 after a completed run, 1 after a run error or a zero pivot
// (message on stderr), 2 for a malformed command line (usage on stderr).
//
// After a completed run it prints the derived results (lift from the circulation and
// from the pressure, quarter-chord moment, source sum, and on the circle with the
// centred point vortex the deviation from the exact answer) as one line of key=value
// pairs on stdout (shell/derived_text.h).
//
// --sweep FROM:TO:STEP (degrees; shell/angle_range.h), instead of --alpha, runs the
// calculation at every angle of the range with the other inputs fixed and writes
// polar.csv into DIR. The three reports, the pictures and the stdout line are those of
// a run at the last angle: that run is made first, as a run of its own; the matrix is
// then assembled and eliminated once more and solved for all angles together
// (solver/angle_sweep.h), which gives every angle the very bits of a separate run.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "shell/picture.h"

namespace velquin {

// The three pictures of a batch run that can be saved as PNG files (the Qt build's).
class BatchPictures {
 public:
  virtual ~BatchPictures() = default;
  virtual Picture& Airfoil() = 0;
  virtual Picture& Pressure() = 0;
  virtual Picture& Matrix() = 0;
  // Writes Picture_Airfoil.png, Picture_Pressure.png and Picture_Matrix.png into
  // directory (empty: the current one). Returns an error message, empty on success.
  virtual std::string Save(const std::string& directory) = 0;
};
using BatchPicturesFactory = std::function<std::unique_ptr<BatchPictures>()>;

// True when args (without the program name) ask for batch mode, --help or --version.
bool IsCommandLineMode(const std::vector<std::string>& args);

// Runs the command line args (without the program name) and returns the exit status.
// make_pictures may be empty: then --images is refused.
int RunBatchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    char decimal_separator, const BatchPicturesFactory& make_pictures);

}  // namespace velquin
