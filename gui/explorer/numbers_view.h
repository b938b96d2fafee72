// The explorer's numbers at the current angle: the lift from the circulation and from
// the pressure, the quarter-chord moment, each beside its exact value where the body has
// one, the suction peak and where it lies, the front stagnation point and the net source
// output (zero for an exact solution); with boundary layers, the viscous lift, the drag,
// the lift-to-drag ratio, where each surface's layer turns turbulent and where it
// separates (chord fractions, 1: laminar or attached to the edge), and a note where the
// interaction did not converge. With several elements the viscous lift and drag are the
// totals, and each element has its rows: its lift and drag, its transition and its
// separation (fractions of its own chord).
#pragma once

#include <QWidget>
#include <utility>

#include "app/explorer_exact.h"
#include "app/flow_explorer.h"
#include "gui/explorer/explorer_view.h"

class QLabel;

namespace velquin {

class NumbersView : public QWidget, public ExplorerView {
  Q_OBJECT

 public:
  explicit NumbersView(QWidget* parent = nullptr);
  // A frame and the exact coefficients to show beside it (none: "\u2013").
  void SetFrame(const ExplorerFrame& frame, const ExplorerExactCoefficients& exact = {});

  QWidget* Widget() override { return this; }
  QString ExportName() const override { return QStringLiteral("Numbers"); }
  void SetFrame(const ExplorerScene& scene) override;
  // "name<TAB>value" a line, headed by the inputs, for the clipboard.
  QString CopyText() const override;
  // The shown value of a row, by its name ("Cl (circulation)", ...).
  QString Value(const QString& name) const;

 private:
  QList<QLabel*> names_;
  QList<QLabel*> values_;
  int fixed_rows_ = 0;  // then one row per element of the general problem
  // Adds a name and a value at a row of the grid; the value right-aligned, selectable.
  std::pair<QLabel*, QLabel*> AddRow(const QString& name, int row, bool bold);
  // The viscous rows of every element where there are several (three an element).
  void ShowElementLayers(const ViscousResult& result);

  QList<QLabel*> viscous_names_;
  QList<QLabel*> viscous_values_;
  QList<QLabel*> element_viscous_names_;
  QList<QLabel*> element_viscous_values_;
  QLabel* note_ = nullptr;
  QString label_;  // the inputs
};

}  // namespace velquin
