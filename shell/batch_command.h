// The headless command line:
//   velquin2ds --batch [--panels TEXT] [--body circle|naca0012] [--alpha TEXT]
//                      [--circulation] [--vortex point|constant] [--xv TEXT] [--yv TEXT]
//                      [--out DIR] [--images]
// It drives the same calculation run as the window, with the controls set from the
// options. Exit status 0 after a completed run, 1 after a run error or a zero pivot
// (message on stderr), 2 for a malformed command line (usage on stderr).
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
