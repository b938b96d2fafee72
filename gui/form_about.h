// The About window: fixed text on a light-yellow ground, shown by the main window's
// "About" menu entry. It has no controls and no behaviour of its own.
#pragma once

#include <QWidget>

namespace velquin {

class Form_About : public QWidget {
  Q_OBJECT

 public:
  explicit Form_About(QWidget* parent = nullptr);
};

}  // namespace velquin
