// velquin2ds --verify [--out DIR]: the verification bench (app/convergence_bench.h). It
// runs every case at its panel counts on the machine's cores, writes verification.csv,
// verification.md and, when the build can draw it, Convergence.png into DIR (default: the
// current directory), and prints the observed orders on stdout, one line per case and
// quantity. Exit status 0 when every case converges as documented, 1 when one does not
// (each failing case and quantity named on stderr) or a file cannot be written, 2 for a
// malformed command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/convergence_bench.h"
#include "cli/batch_pictures.h"

namespace velquin {

// True when args ask for --verify.
bool IsVerifyRequest(const std::vector<std::string>& args);

// The lines on stdout: a header, then per case and quantity its observed order (or
// "rounding"), the required order and the verdict, aligned in columns.
std::string VerifySummary(const std::vector<ConvergenceVerdict>& verdicts);

// Runs --verify. write_picture may be empty: Convergence.png is then not written, and a
// note on stderr says so. `threads` of 0 takes the number of cores.
int RunVerifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const PictureFileWriter& write_picture, int threads = 0);

}  // namespace velquin
