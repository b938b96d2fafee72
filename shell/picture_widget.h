// A picture area of a window: shows the image of its QtPicture at its natural size.
// The drawing lives in the image, so the area repaints itself after being covered.
#pragma once

#include <QWidget>

#include "shell/qt_picture.h"

namespace velquin {

class PictureWidget : public QWidget {
  Q_OBJECT

 public:
  PictureWidget(int width, int height, Colour background, QWidget* parent = nullptr);

  QtPicture& picture() { return picture_; }
  const QtPicture& picture() const { return picture_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QtPicture picture_;
};

}  // namespace velquin
