// The window's status line after a completed run: the inputs it belongs to, then the
// derived results with the digits that mean something, e.g.
//   NACA 0012, 198 panels, α 5°, constant vortex: Cl 0.6047 (Γ) / 0.6024 (p),
//   Cm¼ −0.0064, ΣQ·S 9.7e−4
// Cl and Cm with four decimals, ΣQ·S and deviations with two significant digits; any
// value below 1e-9 in size, which is rounding noise, as 0. UTF-8, with true minus signs.
// The key=value line of the command line keeps the full precision for scripts.
#pragma once

#include <string>

#include "app/run_session.h"
#include "solver/derived_results.h"
#include "solver/run_inputs.h"

namespace velquin {

std::string StatusLineText(const RunInputs& inputs, const DerivedResults& results);

// The whole status line after a run: each note and warning of the run as "Note: ...",
// then, after a completed run, the line above.
std::string StatusLineText(const RunRecord& run);

}  // namespace velquin
