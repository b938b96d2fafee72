// The coefficient matrix as a grid of N x N cells on a 16-step white-to-red scale.
#pragma once

#include "base/module_common.h"
#include "base/picture.h"

namespace velquin {

// Colour of level k, 0..15: red 255, green and blue 255 - 16 k.
Colour MatrixPaletteColour(int level);

// Draws X(1..N, 1..N) (never column N + 1) into picture, row 1 at the top. Each cell's
// level is |15 X(i, j) / R| rounded half to even, R = hi - lo the spread of the
// coefficients with zero counted in. With R = 0 every cell is white.
void Show_CoefficientMatrix(Picture& picture, double N, const Matrix& X);

}  // namespace velquin
