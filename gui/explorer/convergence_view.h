// The explorer's convergence view: the verification bench's case for the family of the
// body on show (the circle with its centred point vortex, the ellipse with or without
// circulation, the Karman-Trefftz or the Joukowski section), run on a worker thread at
// the case's panel counts, and its errors against the panel count on log-log axes, one
// series per quantity, the observed order of each in the legend. The slope of such a
// line is the order at which the method converges; a flat line at rounding level is a
// discrete problem solved exactly.
//
// The case fixes its own body and angle (its title says which), so a run does not follow
// the explorer's angle, and its result is kept per case: changing the body and back
// shows it again without a new run. A run reports its progress after every panel count,
// stops before the next count when cancelled, and never touches the view from its
// thread: what it finds is handed to the window's thread and dropped when the view has
// moved on to another run. Bodies without an exact solution get a line that says so.
#pragma once

#include <QWidget>
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/convergence_bench.h"
#include "gui/explorer/explorer_view.h"

class QChart;
class QEvent;
class QChartView;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

namespace velquin {

// The bench's case for the body of these inputs, null when the bench has none (no exact
// solution is known, or none the bench checks).
const ConvergenceCase* ConvergenceCaseFor(const RunInputs& inputs);

class ConvergenceView : public QWidget, public ExplorerView {
  Q_OBJECT

 public:
  explicit ConvergenceView(QWidget* parent = nullptr);
  // Cancels a run and waits for its thread, at most one panel count.
  ~ConvergenceView() override;

  // Narrower than the charts beside it (the wrapped title would ask for more).
  QSize sizeHint() const override { return QSize(200, 300); }
  // It may be the narrowest of the charts (the least window gives the others the room).
  QSize minimumSizeHint() const override { return QSize(160, 150); }

  QWidget* Widget() override { return this; }
  QString ExportName() const override { return QStringLiteral("Convergence"); }
  void SetGeometry(const ExplorerScene& scene) override;
  void SetFrame(const ExplorerScene& scene) override { (void)scene; }
  // The rows of the case shown, as verification.csv has them.
  std::string DataCsv() const override;
  QString CopyText() const override { return QString::fromStdString(DataCsv()); }

  // The panel counts of a run (the case's own when empty).
  void SetCounts(std::vector<int> counts) { counts_ = std::move(counts); }
  // Starts the case of the body on show in the background (nothing without a case).
  void Start();
  // Asks the run to stop before its next panel count.
  void Cancel();
  bool Running() const { return job_ != nullptr; }
  // The case of the body on show, null without one, and its result, null before a run.
  const ConvergenceCase* Case() const { return case_; }
  const ConvergenceCaseResult* Result() const;
  QString Message() const;
  QChart* Chart() const;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Job {
    std::atomic<bool> cancel{false};
    const ConvergenceCase* convergence_case = nullptr;
  };

  void ShareRow();
  void ShowCase();
  void ShowProgress(const Job* job, int done, int total);
  void Finish(const Job* job, const ConvergenceCaseResult& result, const QString& failure);
  void Plot(const ConvergenceCaseResult& result);
  void UpdateButtons();

  QLabel* title_;
  QLabel* message_;
  QChartView* chart_view_;
  QProgressBar* progress_;
  QPushButton* run_button_;
  QPushButton* cancel_button_;

  const ConvergenceCase* case_ = nullptr;
  std::vector<int> counts_;
  std::map<std::string, ConvergenceCaseResult> results_;  // by case name
  std::shared_ptr<Job> job_;  // the run whose results are wanted, null when none
  // Every thread started and not yet finished, a cancelled one among them, for the
  // destructor to wait for.
  std::vector<QThread*> threads_;
  QObject* watched_ = nullptr;  // the splitter of the charts' row
  bool user_sized_ = false;     // a handle was moved: the row is the user's
};

}  // namespace velquin
