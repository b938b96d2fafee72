#include "display/matrix_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace velquin {
namespace {

constexpr int kLevels = 16;

// Largest and smallest of X(1..N, 1..N), both counting zero in, so hi >= 0 >= lo and
// every coefficient lies within the spread hi - lo in size.
void Extremes(double N, const Matrix& X, double& hi, double& lo) {
  hi = 0;
  lo = 0;
  for (int i = 1; i <= N; ++i) {
    for (int j = 1; j <= N; ++j) {
      if (X(i, j) > hi) hi = X(i, j);
      if (X(i, j) < lo) lo = X(i, j);
    }
  }
}

// |15 x / R| rounded half to even (nearbyint in the default rounding mode). Since
// |x| <= R the level lies in 0..15; the clamp only guards against an infinite
// coefficient (inf / inf is NaN) ever picking a colour outside the palette.
unsigned char CellLevel(double x, double R) {
  if (R == 0) return 0;  // an all-zero matrix: every cell white
  const double level = std::nearbyint(std::fabs(15 * (x / R)));
  if (!(level >= 0)) return 0;
  return static_cast<unsigned char>(std::min(level, double{kLevels - 1}));
}

}  // namespace

Colour MatrixPaletteColour(int level) {
  const int k = std::clamp(level, 0, kLevels - 1);
  return RGB(255, 255 - 16 * k, 255 - 16 * k);
}

void Show_CoefficientMatrix(Picture& picture, double N, const Matrix& X) {
  std::array<Colour, kLevels> palette;
  for (int k = 0; k < kLevels; ++k) palette[k] = MatrixPaletteColour(k);

  double hi = 0;
  double lo = 0;
  Extremes(N, X, hi, lo);
  const double R = hi - lo;

  // The levels row by row, in drawing order; the extremes have already checked the
  // indices, so N is at most 200 here.
  std::vector<unsigned char> levels;
  for (int i = 1; i <= N; ++i) {
    for (int j = 1; j <= N; ++j) levels.push_back(CellLevel(X(i, j), R));
  }

  picture.Cls();
  // Row 1 at the top, column 1 at the left, like the matrix on paper.
  picture.Scale(0, 0, N, N);
  auto level = levels.begin();
  for (int i = 1; i <= N; ++i) {
    for (int j = 1; j <= N; ++j) {
      picture.LineBF(static_cast<float>(j - 1), static_cast<float>(i - 1), static_cast<float>(j),
                     static_cast<float>(i), palette[*level++]);
    }
  }
}

}  // namespace velquin
