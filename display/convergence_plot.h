// The convergence picture of the verification bench: error against panel count on
// log-log axes, one line per case and quantity, with lines of slope -1 and -2 for
// reference. Drawn against the abstract Picture; the window program saves it as a PNG.
#pragma once

#include <vector>

#include "base/picture.h"

namespace velquin {

// The size of the picture, pixels.
inline constexpr int kConvergencePlotWidth = 900, kConvergencePlotHeight = 640;

// One line: errors at panel counts (both positive; an error below 1e-16, such as a
// rounding error of 0, is drawn at 1e-16), its colour and its marker (0 circle,
// 1 square, 2 cross, 3 triangle, 4 diamond).
struct ConvergenceSeries {
  std::vector<double> panels, errors;
  Colour colour = kBlack;
  int marker = 0;
};

// The colour of the k-th case of a plot (a fixed palette, repeated after eight).
Colour ConvergenceColour(int k);

// Draws the frame from 10 to about 3000 panels and the decades of error that the series span
// (10^-16 to 10 at most), a grid line at every decade, the two reference slopes through
// the middle of the frame, and the series.
void DrawConvergencePlot(Picture& picture, const std::vector<ConvergenceSeries>& series);

}  // namespace velquin
