// The drawing surface that the plots draw on. An implementation maps user coordinates
// (set by Scale) linearly onto its drawing area; the plots never see pixels.
#pragma once

#include <cstdint>
#include <optional>

namespace velquin {

// A 24-bit colour packed as red + 256 * green + 65536 * blue.
using Colour = std::uint32_t;

inline constexpr Colour RGB(int red, int green, int blue) {
  return static_cast<Colour>(red) + 256u * static_cast<Colour>(green) +
         65536u * static_cast<Colour>(blue);
}
inline constexpr Colour kRed = 255;        // RGB(255, 0, 0)
inline constexpr Colour kBlue = 0xFF0000;  // RGB(0, 0, 255)
inline constexpr Colour kBlack = 0;
inline constexpr Colour kLightYellow = RGB(255, 255, 192);
inline constexpr Colour kWhite = RGB(255, 255, 255);
// Passed instead of a colour: draw in the picture's foreground colour (black).
inline constexpr std::optional<Colour> kForeground = std::nullopt;

// The radius of the point markers of the body and pressure plots, in units of the
// horizontal axis: small against the chord.
inline constexpr float kMarkerRadius = 0.005f;

class Picture {
 public:
  virtual ~Picture() = default;

  // Fills the drawing area with the background colour, discarding all drawn before.
  virtual void Cls() = 0;
  // The left edge gets x = x1, the right edge x = x2, the top y = y1, the bottom y = y2.
  virtual void Scale(double x1, double y1, double x2, double y2) = 0;
  // A straight line between two points, one pixel wide.
  virtual void Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) = 0;
  // A rectangle with opposite corners at the two points, outlined and filled ("BF").
  virtual void LineBF(float x1, float y1, float x2, float y2, Colour colour) = 0;
  // The outline of a circle; the radius is in units of the horizontal user axis and
  // the shape is a true circle on screen whatever the two axis scales.
  virtual void Circle(float x, float y, float r, std::optional<Colour> colour) = 0;
};

// A picture that draws nowhere: the batch command without pictures uses it.
class NullPicture : public Picture {
 public:
  void Cls() override {}
  void Scale(double, double, double, double) override {}
  void Line(float, float, float, float, std::optional<Colour>) override {}
  void LineBF(float, float, float, float, Colour) override {}
  void Circle(float, float, float, std::optional<Colour>) override {}
};

}  // namespace velquin
