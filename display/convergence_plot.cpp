#include "display/convergence_plot.h"

#include <algorithm>
#include <cmath>

namespace velquin {
namespace {

constexpr double kLeastError = 1e-16;
constexpr double kLeftDecade = 1, kRightDecade = 3.5;  // 10 to about 3000 panels
constexpr Colour kGrid = RGB(220, 220, 220);

void Marker(Picture& p, float x, float y, float r, int marker, Colour colour) {
  switch (marker % 5) {
    case 0:
      p.Circle(x, y, r, colour);
      break;
    case 1:
      p.Line(x - r, y - r, x + r, y - r, colour);
      p.Line(x + r, y - r, x + r, y + r, colour);
      p.Line(x + r, y + r, x - r, y + r, colour);
      p.Line(x - r, y + r, x - r, y - r, colour);
      break;
    case 2:
      p.Line(x - r, y - r, x + r, y + r, colour);
      p.Line(x - r, y + r, x + r, y - r, colour);
      break;
    case 3:
      p.Line(x - r, y - r, x + r, y - r, colour);
      p.Line(x + r, y - r, x, y + r, colour);
      p.Line(x, y + r, x - r, y - r, colour);
      break;
    default:
      p.Line(x, y - r, x + r, y, colour);
      p.Line(x + r, y, x, y + r, colour);
      p.Line(x, y + r, x - r, y, colour);
      p.Line(x - r, y, x, y - r, colour);
      break;
  }
}

}  // namespace

Colour ConvergenceColour(int k) {
  static const Colour kPalette[] = {RGB(31, 119, 180),  RGB(255, 127, 14),  RGB(44, 160, 44),
                                    RGB(214, 39, 40),   RGB(148, 103, 189), RGB(140, 86, 75),
                                    RGB(227, 119, 194), RGB(127, 127, 127)};
  return kPalette[static_cast<std::size_t>(k) % 8];
}

void DrawConvergencePlot(Picture& picture, const std::vector<ConvergenceSeries>& series) {
  double low = 0, high = -16;  // decades of error
  for (const ConvergenceSeries& s : series) {
    for (double e : s.errors) {
      const double decade = std::log10(std::max(e, kLeastError));
      low = std::min(low, std::floor(decade));
      high = std::max(high, std::ceil(decade));
    }
  }
  high = std::min(std::max(high, low + 1), 1.0);
  low = std::max(low, -16.0);
  // Room round the frame: a tenth of the span on every side.
  const double dx = 0.06 * (kRightDecade - kLeftDecade), dy = 0.06 * (high - low);
  picture.Cls();
  picture.Scale(kLeftDecade - dx, high + dy, kRightDecade + dx, low - dy);
  for (double d = kLeftDecade; d <= kRightDecade; d += 1) {  // 10, 100, 1000
    picture.Line(static_cast<float>(d), static_cast<float>(low), static_cast<float>(d),
                 static_cast<float>(high), kGrid);
  }
  for (double d = low; d <= high; d += 1) {
    picture.Line(static_cast<float>(kLeftDecade), static_cast<float>(d),
                 static_cast<float>(kRightDecade), static_cast<float>(d), kGrid);
  }
  // The frame.
  const float l = static_cast<float>(kLeftDecade), r = static_cast<float>(kRightDecade);
  const float b = static_cast<float>(low), t = static_cast<float>(high);
  picture.Line(l, b, r, b, kForeground);
  picture.Line(r, b, r, t, kForeground);
  picture.Line(r, t, l, t, kForeground);
  picture.Line(l, t, l, b, kForeground);
  // Reference slopes -1 and -2 from the top left quarter of the frame, in black.
  const double x0 = kLeftDecade + 0.5, y0 = high - 0.15 * (high - low);
  for (const double slope : {1.0, 2.0}) {
    const double x1 = std::min(kRightDecade, x0 + (y0 - low) / slope);
    picture.Line(static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x1),
                 static_cast<float>(y0 - slope * (x1 - x0)), kBlack);
  }
  const float radius = static_cast<float>(0.006 * (kRightDecade - kLeftDecade));
  for (const ConvergenceSeries& s : series) {
    const std::size_t n = std::min(s.panels.size(), s.errors.size());
    for (std::size_t k = 0; k < n; ++k) {
      const float x = static_cast<float>(std::log10(s.panels[k]));
      const float y = static_cast<float>(std::log10(std::max(s.errors[k], kLeastError)));
      Marker(picture, x, y, radius, s.marker, s.colour);
      if (k > 0) {
        picture.Line(static_cast<float>(std::log10(s.panels[k - 1])),
                     static_cast<float>(std::log10(std::max(s.errors[k - 1], kLeastError))), x, y,
                     s.colour);
      }
    }
  }
}

}  // namespace velquin
