#include "gui/qt_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/report_writer.h"
#include "base/text_number.h"

namespace velquin {

namespace {

// Shapes further out than this many pixels are not drawn; it keeps every pixel
// coordinate well inside the range of int and of the raster engine's fixed point.
constexpr double kFarAway = 1.0e6;

bool Finite(QPointF p) {
  return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Cuts the segment a-b down to the part inside [lo_x, hi_x] x [lo_y, hi_y]
// (Liang-Barsky). Returns false when nothing of it is inside. A cut end lies exactly on
// the edge that cut it, however far away the original end was.
bool ClipSegment(QPointF& a, QPointF& b, double lo_x, double lo_y, double hi_x, double hi_y) {
  const double dx = b.x() - a.x();
  const double dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - lo_x, hi_x - a.x(), a.y() - lo_y, hi_y - a.y()};
  const double edge[4] = {lo_x, hi_x, lo_y, hi_y};
  double t0 = 0.0, t1 = 1.0;
  int cut0 = -1, cut1 = -1;  // the edge that cut each end, -1 for none
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0) {
      if (q[k] < 0.0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0.0 && t > t0) {
      t0 = t;
      cut0 = k;
    } else if (p[k] > 0.0 && t < t1) {
      t1 = t;
      cut1 = k;
    }
    if (t0 > t1) return false;
  }
  const auto cut = [&](const QPointF& from, double t, int k) {
    QPointF point(from.x() + t * dx, from.y() + t * dy);
    if (k == 0 || k == 1) point.setX(edge[k]);
    if (k == 2 || k == 3) point.setY(edge[k]);
    return point;
  };
  const QPointF start = a;
  const QPointF end = b;
  if (cut0 >= 0) a = cut(start, t0, cut0);
  if (cut1 >= 0) b = cut(end, t1 - 1.0, cut1);
  return true;
}

// The pixel nearest to a continuous position: user coordinates are rounded to whole
// pixels, so values that land on a pixel boundary do not flicker between two pixels.
QPoint PixelOf(QPointF p) {
  return QPoint(static_cast<int>(std::floor(p.x() + 0.5)),
                static_cast<int>(std::floor(p.y() + 0.5)));
}

// The pixel boundary nearest to a continuous position, kept within [lo, hi].
int NearestEdge(double position, int lo, int hi) {
  const double clamped = std::clamp(position, static_cast<double>(lo), static_cast<double>(hi));
  return static_cast<int>(std::floor(clamped + 0.5));
}

QPen SolidPen(Colour colour, int width) {
  QPen pen(QColor::fromRgb(ToQRgb(colour)));
  pen.setWidth(width);
  pen.setStyle(Qt::SolidLine);
  pen.setCapStyle(Qt::SquareCap);
  return pen;
}

}  // namespace

QRgb ToQRgb(Colour colour) {
  return qRgb(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
              static_cast<int>((colour >> 16) & 0xFFu));
}

QtPicture::QtPicture(int width, int height, Colour background)
    : image_(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32),
      background_(background) {
  Cls();
}

void QtPicture::Cls() {
  image_.fill(ToQRgb(background_));
  kept_.clear();
  kept_all_ = true;
}

void QtPicture::Keep(const Operation& operation) {
  if (!keeping_ || !kept_all_) return;
  if (kept_.size() >= kMaxKept) {
    kept_all_ = false;
    kept_ = {};
    return;
  }
  kept_.push_back(operation);
}

void QtPicture::Replay(const Operation& op) {
  const auto f = [](double value) { return static_cast<float>(value); };
  switch (op.kind) {
    case Operation::Kind::kScale:
      Scale(op.a, op.b, op.c, op.d);
      break;
    case Operation::Kind::kLine:
      Line(f(op.a), f(op.b), f(op.c), f(op.d), op.colour);
      break;
    case Operation::Kind::kLineBF:
      LineBF(f(op.a), f(op.b), f(op.c), f(op.d), op.colour.value_or(kBlack));
      break;
    case Operation::Kind::kCircle:
      Circle(f(op.a), f(op.b), f(op.c), op.colour);
      break;
  }
}

QImage QtPicture::Render(int scale_factor) const {
  if (scale_factor <= 1) return image_;
  const int width = image_.width() * scale_factor;
  const int height = image_.height() * scale_factor;
  if (!kept_all_) {
    return image_.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  }
  QtPicture larger(width, height, background_);
  larger.pen_width_ = scale_factor;
  larger.keeping_ = false;
  for (const Operation& operation : kept_) larger.Replay(operation);
  return larger.image_;
}

void QtPicture::Scale(double x1, double y1, double x2, double y2) {
  Keep({Operation::Kind::kScale, std::nullopt, x1, y1, x2, y2});
  const double x_scale = image_.width() / (x2 - x1);
  const double y_scale = image_.height() / (y2 - y1);
  scaled_ = std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x_scale) &&
            std::isfinite(y_scale) && x_scale != 0.0 && y_scale != 0.0;
  if (!scaled_) return;
  x1_ = x1;
  y1_ = y1;
  x_scale_ = x_scale;
  y_scale_ = y_scale;
}

QPointF QtPicture::ToPixel(double x, double y) const {
  return QPointF((x - x1_) * x_scale_, (y - y1_) * y_scale_);
}

void QtPicture::Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) {
  Keep({Operation::Kind::kLine, colour, x1, y1, x2, y2});
  if (!scaled_) return;
  QPointF a = ToPixel(x1, y1);
  QPointF b = ToPixel(x2, y2);
  if (!Finite(a) || !Finite(b)) return;
  // A pen's width of margin so that end pixels on the picture's edges survive the cut.
  const double margin = pen_width_;
  if (!ClipSegment(a, b, -margin, -margin, image_.width() + margin, image_.height() + margin)) {
    return;
  }

  QPainter painter(&image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(SolidPen(colour.value_or(kBlack), pen_width_));
  const QPoint from = PixelOf(a);
  const QPoint to = PixelOf(b);
  if (from == to) {
    painter.drawPoint(from);
  } else {
    painter.drawLine(from, to);
  }
}

void QtPicture::LineBF(float x1, float y1, float x2, float y2, Colour colour) {
  Keep({Operation::Kind::kLineBF, colour, x1, y1, x2, y2});
  if (!scaled_) return;
  const QPointF a = ToPixel(x1, y1);
  const QPointF b = ToPixel(x2, y2);
  if (!Finite(a) || !Finite(b)) return;
  const int w = image_.width();
  const int h = image_.height();
  const int left = NearestEdge(std::min(a.x(), b.x()), -1, w + 1);
  const int right = NearestEdge(std::max(a.x(), b.x()), -1, w + 1);
  const int top = NearestEdge(std::min(a.y(), b.y()), -1, h + 1);
  const int bottom = NearestEdge(std::max(a.y(), b.y()), -1, h + 1);
  // A rectangle thinner than a pixel still shows as one pixel (a pen's width), as its
  // outline would.
  const QRect cell(left, top, std::max(right - left, pen_width_),
                   std::max(bottom - top, pen_width_));

  QPainter painter(&image_);
  painter.fillRect(cell, QColor::fromRgb(ToQRgb(colour)));
}

void QtPicture::Circle(float x, float y, float r, std::optional<Colour> colour) {
  Keep({Operation::Kind::kCircle, colour, x, y, r, 0.0});
  if (!scaled_) return;
  const QPointF centre = ToPixel(x, y);
  const double radius = std::fabs(static_cast<double>(r) * x_scale_);
  if (!Finite(centre) || !std::isfinite(radius) || radius > kFarAway) return;
  if (std::fabs(centre.x()) > kFarAway || std::fabs(centre.y()) > kFarAway) return;

  QPainter painter(&image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(SolidPen(colour.value_or(kBlack), pen_width_));
  painter.setBrush(Qt::NoBrush);
  // Centred on the nearest pixel, so that the outline is symmetric.
  painter.drawEllipse(QPointF(PixelOf(centre)), radius, radius);
}

std::string QtPicture::Save(const QString& path, int scale_factor) const {
  const std::string file = QFile::encodeName(path).toStdString();
  const auto failure = [&file](const std::string& reason) {
    return "File error: cannot write " + QuotedPath(file) + ": " + reason +
           (!reason.empty() && reason.back() == '.' ? "" : ".");
  };
  if (scale_factor < 1 || scale_factor > kMaxScale) {
    return failure("the scale factor must lie in 1.." + std::to_string(kMaxScale));
  }
  QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
  if (format.isEmpty()) format = QByteArrayLiteral("png");

  // The image is made in memory and then takes the file's place in one step, with the
  // rules of the reports: no link followed, only a regular file replaced, and a failure
  // leaves a file that was there before as it was.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(Render(scale_factor))) return failure(writer.errorString().toStdString());
  const std::string reason =
      ReplacingFile::Replace(file, std::string_view(bytes.constData(), bytes.size()));
  return reason.empty() ? std::string() : failure(reason);
}

}  // namespace velquin
