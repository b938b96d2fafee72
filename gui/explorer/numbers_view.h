// The explorer's numbers at the current angle: the lift from the circulation and from
// the pressure, the quarter-chord moment, the suction peak and where it lies, the front
// stagnation point and the net source output (zero for an exact solution).
#pragma once

#include <QWidget>

#include "app/flow_explorer.h"

class QLabel;

namespace velquin {

class NumbersView : public QWidget {
  Q_OBJECT

 public:
  explicit NumbersView(QWidget* parent = nullptr);
  void SetFrame(const ExplorerFrame& frame);
  // The shown value of a row, by its name ("Cl (circulation)", ...).
  QString Value(const QString& name) const;

 private:
  QList<QLabel*> names_;
  QList<QLabel*> values_;
};

}  // namespace velquin
