#include "gui/picture_widget.h"

#include <QAction>
#include <QPaintEvent>
#include <QPainter>

namespace velquin {

PictureWidget::PictureWidget(int width, int height, Colour background, QWidget* parent)
    : QWidget(parent), picture_(width, height, background) {
  setFixedSize(picture_.image().size());
  // The image covers every pixel, so nothing underneath needs painting first.
  setAttribute(Qt::WA_OpaquePaintEvent);

  // A right click shows the widget's actions as its context menu.
  setContextMenuPolicy(Qt::ActionsContextMenu);
  save_ = AddSaveAction(QStringLiteral("Save picture as\u2026"), "Action_SavePicture", 1);
  save_double_ = AddSaveAction(QStringLiteral("Save picture at double size\u2026"),
                               "Action_SavePictureDouble", 2);
}

QAction* PictureWidget::AddSaveAction(const QString& text, const char* name, int scale_factor) {
  auto* action = new QAction(text, this);
  action->setObjectName(QString::fromLatin1(name));
  connect(action, &QAction::triggered, this,
          [this, scale_factor] { emit saveRequested(scale_factor); });
  addAction(action);
  return action;
}

QSize PictureWidget::sizeHint() const {
  return picture_.image().size();
}

void PictureWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), picture_.image(), event->rect());
}

}  // namespace velquin
