// The explorer's drag polar: Cl against Cd, and the lift-to-drag ratio Cl/Cd against
// alpha, of the section or of all the elements together, at the Reynolds number and
// Ncrit given, over the explorer's polar angles (those of the inviscid polar; above a
// ground a degree apart), with a dot at the current angle.
//
// The polar costs one viscous analysis per angle (a few milliseconds each, more beyond
// stall where the interaction runs all its passes; above a ground an assembly and a
// factorisation too, the panels turning with the angle), so it is computed on a worker
// thread whenever the geometry or the conditions change, with its progress shown and a
// Cancel button; the slider never waits for it. The thread shares what it computes from
// (ViscousPolarSource), so a geometry replaced meanwhile stays alive until the thread is
// done; what a run finds is handed to the window's thread and dropped when the view has
// moved on. Angles where the interaction did not converge are drawn as grey squares,
// apart from the line.
#pragma once

#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/explorer_viscous.h"
#include "gui/explorer/explorer_view.h"

class QCategoryAxis;
class QChartView;
class QLabel;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QScatterSeries;
class QThread;

namespace velquin {

class DragPolarView : public QWidget, public ExplorerView {
  Q_OBJECT

 public:
  explicit DragPolarView(QWidget* parent = nullptr);
  // Cancels a run and waits for its thread, at most one angle.
  ~DragPolarView() override;

  QWidget* Widget() override { return this; }
  QString ExportName() const override { return QStringLiteral("DragPolar"); }
  void SetGeometry(const ExplorerScene& scene) override;
  void SetFrame(const ExplorerScene& scene) override;
  std::string DataCsv() const override;

  // Asks the run to stop after the angle under way.
  void Cancel();
  bool Running() const { return job_ != nullptr; }
  const std::vector<ViscousPolarPoint>& Polar() const { return polar_; }
  QString Message() const;
  // The dot at the current angle on the drag polar: (Cd, Cl).
  QPointF Marker() const;

  // One chart: its line, the angles that did not converge, the dot at the current angle.
  struct Chart {
    QLineSeries* line;
    QScatterSeries* unconverged;
    QScatterSeries* marker;
    QCategoryAxis* x;
    QCategoryAxis* y;
    QChartView* view;
  };

 private:
  struct Job {
    std::atomic<bool> cancel{false};
  };

  void Start(const ExplorerGeometry& geometry, const ViscousOptions& options);
  void ShowProgress(const Job* job, int done, int total);
  // `asked`: the angles the run was given; some may have no point (above a ground).
  void Finish(const Job* job, const std::vector<ViscousPolarPoint>& polar, const QString& failure,
              int asked);
  void Plot();

  QLabel* message_;
  Chart polar_chart_;  // Cl against Cd
  Chart ratio_chart_;  // Cl/Cd against alpha
  QProgressBar* progress_;
  QPushButton* cancel_button_;

  // What the polar on show belongs to: its source and the conditions.
  std::optional<ViscousPolarSource> source_;
  std::optional<ViscousOptions> options_;
  std::string label_;
  std::vector<ViscousPolarPoint> polar_;
  bool cancelled_ = false;
  std::shared_ptr<Job> job_;  // the run whose results are wanted, null when none
  // Every thread started and not yet finished, for the destructor to wait for.
  std::vector<QThread*> threads_;
};

}  // namespace velquin
