// The drawing surface on Qt: every operation paints into a backing image of a fixed pixel
// size, so what was drawn can be shown again, grabbed or saved at any time.
#pragma once

#include <QImage>
#include <QPointF>
#include <QString>
#include <optional>
#include <string>

#include "shell/picture.h"

namespace velquin {

class QtPicture : public Picture {
 public:
  // A width x height picture filled with the background colour. Until the first Scale
  // with a usable coordinate system, Line, LineBF and Circle draw nothing.
  QtPicture(int width, int height, Colour background);

  void Cls() override;
  // A Scale whose corners coincide in x or in y, or that is not finite, leaves the
  // picture without a coordinate system: drawing is ignored until the next good Scale.
  void Scale(double x1, double y1, double x2, double y2) override;
  // One-pixel solid line in the colour (black when none), both end pixels included.
  void Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) override;
  // Filled rectangle. Its edges are rounded to the nearest pixel boundary, so unit cells
  // laid side by side tile the picture with neither gaps nor overlaps.
  void LineBF(float x1, float y1, float x2, float y2, Colour colour) override;
  // Circle outline; the radius is converted to pixels with the horizontal scale only.
  void Circle(float x, float y, float r, std::optional<Colour> colour) override;

  const QImage& image() const { return image_; }
  Colour background() const { return background_; }
  bool hasScale() const { return scaled_; }

  // Writes the image as a file whose format follows the name's suffix (PNG for ".png"),
  // enlarged by a whole scale_factor (1 = as drawn) without smoothing. Returns an empty
  // string on success, else a message that names the file and the reason.
  std::string Save(const QString& path, int scale_factor = 1) const;

 private:
  // Position of a user point in pixels: the left edge x1 at 0, the right edge x2 at the
  // width. Points are drawn at the nearest whole pixel.
  QPointF ToPixel(double x, double y) const;

  QImage image_;
  Colour background_;
  bool scaled_ = false;
  double x1_ = 0, y1_ = 0;            // user coordinates of the top-left corner
  double x_scale_ = 1, y_scale_ = 1;  // pixels per user unit (negative: axis reversed)
};

// The QColor-compatible ARGB value of a packed colour (red + 256 green + 65536 blue).
QRgb ToQRgb(Colour colour);

}  // namespace velquin
