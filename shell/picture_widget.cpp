#include "shell/picture_widget.h"

#include <QPaintEvent>
#include <QPainter>

namespace velquin {

PictureWidget::PictureWidget(int width, int height, Colour background, QWidget* parent)
    : QWidget(parent), picture_(width, height, background) {
  setFixedSize(picture_.image().size());
  // The image covers every pixel, so nothing underneath needs painting first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize PictureWidget::sizeHint() const {
  return picture_.image().size();
}

void PictureWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), picture_.image(), event->rect());
}

}  // namespace velquin
