// The drawing surface on Qt: every operation paints into a backing image of a fixed pixel
// size, so what was drawn can be shown again, grabbed or saved at any time. The
// operations since the last Cls are also kept, so that the picture can be drawn again
// at a whole multiple of its size with lines as sharp as at its own size.
#pragma once

#include <QImage>
#include <QPointF>
#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/picture.h"

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

  // The picture at scale_factor times its size (1..kMaxScale; 1 = image()): every
  // operation since the last Cls drawn again on the larger image, lines and outlines
  // scale_factor pixels wide. When more operations were drawn than are kept, the image
  // is enlarged instead, each pixel becoming a block.
  QImage Render(int scale_factor) const;

  // Writes Render(scale_factor) as a file whose format follows the name's suffix (PNG
  // for ".png" and for a name without suffix). The file is replaced only once the whole
  // image is written, as a report is (ReplacingFile, base/report_writer.h): a link in its
  // place is replaced, never followed, and what is not a regular file is refused. Returns
  // an empty string on success, else a message that names the file and the reason.
  std::string Save(const QString& path, int scale_factor = 1) const;

  static constexpr int kMaxScale = 16;
  // The number of operations kept between two Cls; 40 bytes each.
  static constexpr std::size_t kMaxKept = std::size_t{1} << 18;

 private:
  struct Operation {
    enum class Kind : unsigned char { kScale, kLine, kLineBF, kCircle };
    Kind kind;
    std::optional<Colour> colour;
    double a, b, c, d;  // the arguments in order (a circle has no d)
  };

  void Keep(const Operation& operation);
  void Replay(const Operation& operation);

  // Position of a user point in pixels: the left edge x1 at 0, the right edge x2 at the
  // width. Points are drawn at the nearest whole pixel.
  QPointF ToPixel(double x, double y) const;

  QImage image_;
  Colour background_;
  bool scaled_ = false;
  double x1_ = 0, y1_ = 0;            // user coordinates of the top-left corner
  double x_scale_ = 1, y_scale_ = 1;  // pixels per user unit (negative: axis reversed)
  int pen_width_ = 1;                 // pixels; the smallest size of a filled rectangle
  bool keeping_ = true;               // false in the copy that Render draws on
  bool kept_all_ = true;              // every operation since the last Cls is kept
  std::vector<Operation> kept_;
};

// The QColor-compatible ARGB value of a packed colour (red + 256 green + 65536 blue).
QRgb ToQRgb(Colour colour);

}  // namespace velquin
