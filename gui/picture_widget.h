// A picture area of a window: shows the image of its QtPicture at its natural size.
// The drawing lives in the image, so the area repaints itself after being covered.
// Its context menu (right click) offers to save the picture at its size or at twice
// its size; the window that holds the area does the saving (saveRequested).
#pragma once

#include <QWidget>

#include "gui/qt_picture.h"

class QAction;

namespace velquin {

class PictureWidget : public QWidget {
  Q_OBJECT

 public:
  PictureWidget(int width, int height, Colour background, QWidget* parent = nullptr);

  QtPicture& picture() { return picture_; }
  const QtPicture& picture() const { return picture_; }

  // The entries of the context menu, in order: "Save picture as…" (object name
  // "Action_SavePicture") and "Save picture at double size…" ("Action_SavePictureDouble").
  QAction* saveAction() const { return save_; }
  QAction* saveDoubleAction() const { return save_double_; }

  QSize sizeHint() const override;

 signals:
  // One of the entries of the context menu was chosen: save at scale_factor (1 or 2)
  // times the picture's size.
  void saveRequested(int scale_factor);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QAction* AddSaveAction(const QString& text, const char* name, int scale_factor);

  QtPicture picture_;
  QAction* save_ = nullptr;
  QAction* save_double_ = nullptr;
};

}  // namespace velquin
