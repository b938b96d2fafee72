#include "gui/explorer/drag_polar_view.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

#include "gui/explorer/explorer_charts.h"

namespace velquin {
namespace {

const QColor kPolarColour(200, 30, 30);
const QColor kRatioColour(20, 140, 60);

QScatterSeries* NewDots(const QString& name, const QColor& colour, double size,
                        QScatterSeries::MarkerShape shape) {
  auto* dots = new QScatterSeries;
  dots->setName(name);
  dots->setMarkerShape(shape);
  dots->setMarkerSize(size);
  dots->setColor(colour);
  dots->setBorderColor(colour);
  return dots;
}

QChartView* NewView(QChart* chart, QWidget* parent) {
  auto* view = new QChartView(chart, parent);
  view->setRenderHint(QPainter::Antialiasing, true);
  view->setContextMenuPolicy(Qt::NoContextMenu);  // the view's menu, not the chart's
  view->setAttribute(Qt::WA_TransparentForMouseEvents);
  FitAxesOnResize(view);
  return view;
}

bool SameConditions(const ViscousOptions& a, const ViscousOptions& b) {
  return a.reynolds == b.reynolds && a.ncrit == b.ncrit && a.xtr_top == b.xtr_top &&
         a.xtr_bottom == b.xtr_bottom && a.mach == b.mach;
}

// Fitted to the values, a twentieth to spare, always holding `with`.
void FitAxis(QCategoryAxis* axis, double low, double high, double with, int ticks) {
  low = std::min(low, with);
  high = std::max(high, with);
  if (!(high > low)) {
    low -= 0.5;
    high += 0.5;
  }
  const double pad = 0.05 * (high - low);
  SetNiceAxis(axis, low - pad, high + pad, ticks);
}

// One of the view's two charts: the line, the angles that did not converge as grey
// squares, the current angle as a black dot.
DragPolarView::Chart NewPolarChart(QWidget* parent, const QString& title, const QString& line_name,
                                   const QColor& colour, const QString& x_title,
                                   const QString& y_title) {
  QChart* chart = NewExplorerChart();
  chart->legend()->hide();
  chart->setTitle(title);
  DragPolarView::Chart parts;
  parts.line = NewChartLine(line_name, colour);
  parts.unconverged =
      NewDots(QStringLiteral("not converged"), Qt::gray, 6, QScatterSeries::MarkerShapeRectangle);
  parts.marker =
      NewDots(QStringLiteral("\u03B1 now"), Qt::black, 10, QScatterSeries::MarkerShapeCircle);
  parts.x = NewChartAxis(x_title);
  parts.y = NewChartAxis(y_title);
  chart->addAxis(parts.x, Qt::AlignBottom);
  chart->addAxis(parts.y, Qt::AlignLeft);
  for (QAbstractSeries* s :
       std::initializer_list<QAbstractSeries*>{parts.line, parts.unconverged, parts.marker}) {
    AttachSeries(chart, s, parts.x, parts.y);
  }
  parts.view = NewView(chart, parent);
  return parts;
}

}  // namespace

DragPolarView::DragPolarView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("View_DragPolar"));
  setContextMenuPolicy(Qt::CustomContextMenu);
  setMinimumSize(320, 200);
  setToolTip(QStringLiteral(
      "The drag polar (Cl against Cd) and Cl/Cd against \u03B1 at the Reynolds number given;\n"
      "the dot is the current angle, grey squares did not converge. Right click: save."));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  auto* charts = new QHBoxLayout;
  charts->setSpacing(0);
  column->addLayout(charts, 1);

  polar_chart_ = NewPolarChart(this, QStringLiteral("Drag polar"), QStringLiteral("Cl(Cd)"),
                               kPolarColour, QStringLiteral("Cd"), QStringLiteral("Cl"));
  polar_chart_.view->setObjectName(QStringLiteral("Chart_DragPolar"));
  charts->addWidget(polar_chart_.view);

  ratio_chart_ = NewPolarChart(this, QStringLiteral("Lift to drag (dot: the angle on show)"),
                               QStringLiteral("Cl/Cd"), kRatioColour,
                               QStringLiteral("\u03B1 (degrees)"), QStringLiteral("Cl/Cd"));
  ratio_chart_.view->setObjectName(QStringLiteral("Chart_LiftToDrag"));
  charts->addWidget(ratio_chart_.view);

  auto* controls = new QHBoxLayout;
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("Label_DragPolarMessage"));
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("Progress_DragPolar"));
  progress_->setFormat(QStringLiteral("%v of %m angles"));
  progress_->setRange(0, 1);
  progress_->setValue(0);
  cancel_button_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_button_->setObjectName(QStringLiteral("Button_DragPolarCancel"));
  cancel_button_->setToolTip(QStringLiteral("Stop the polar after the angle under way"));
  controls->addWidget(message_, 1);
  controls->addWidget(progress_);
  controls->addWidget(cancel_button_);
  column->addLayout(controls);
  connect(cancel_button_, &QPushButton::clicked, this, &DragPolarView::Cancel);
  progress_->setVisible(false);
  cancel_button_->setVisible(false);
  Plot();
}

DragPolarView::~DragPolarView() {
  if (job_) job_->cancel = true;
  // Older runs were cancelled when they were left; each stops after its current angle.
  for (QThread* thread : threads_) {
    thread->wait();
    delete thread;
  }
}

void DragPolarView::SetGeometry(const ExplorerScene& scene) {
  const ExplorerGeometry* g = scene.geometry;
  if (g && scene.viscous && g->factored) {
    if (source_ && *source_ == ExplorerViscousPolarSource(*g) && options_ &&
        SameConditions(*options_, *scene.viscous)) {
      return;
    }
    Start(*g, *scene.viscous);
    return;
  }
  if (job_) {
    job_->cancel = true;
    job_.reset();
  }
  source_.reset();
  options_.reset();
  polar_.clear();
  message_->setText(QStringLiteral("No drag without a Reynolds number."));
  progress_->setVisible(false);
  cancel_button_->setVisible(false);
  Plot();
}

void DragPolarView::Start(const ExplorerGeometry& geometry, const ViscousOptions& options) {
  // The run of other inputs is no longer wanted: its thread stops after its current
  // angle and what it still hands over is dropped.
  if (job_) job_->cancel = true;
  auto job = std::make_shared<Job>();
  job_ = job;
  source_ = ExplorerViscousPolarSource(geometry);
  options_ = options;
  label_ = ExplorerGeometryLabel(geometry);
  polar_.clear();
  cancelled_ = false;
  const std::vector<double> angles = ExplorerViscousPolarAngles(geometry);
  // The thread owns shares of the job and of the source; the view is only reached
  // through queued calls, which Qt drops once the view is gone (and the destructor
  // waits for the thread).
  QThread* thread = QThread::create([this, job, source = *source_, angles, options] {
    std::vector<ViscousPolarPoint> polar;
    QString failure;
    try {
      polar = ComputeViscousPolar(source, angles, options, [this, job](int done, int total) {
        QMetaObject::invokeMethod(
            this, [this, job, done, total] { ShowProgress(job.get(), done, total); },
            Qt::QueuedConnection);
        return !job->cancel;
      });
    } catch (const std::exception& error) {
      failure = QString::fromStdString(error.what());
    }
    const int asked = static_cast<int>(angles.size());
    QMetaObject::invokeMethod(
        this, [this, job, polar, failure, asked] { Finish(job.get(), polar, failure, asked); },
        Qt::QueuedConnection);
  });
  threads_.push_back(thread);
  connect(thread, &QThread::finished, this, [this, thread] {
    threads_.erase(std::remove(threads_.begin(), threads_.end(), thread), threads_.end());
    thread->deleteLater();
  });
  progress_->setRange(0, static_cast<int>(angles.size()));
  progress_->setValue(0);
  progress_->setVisible(true);
  cancel_button_->setVisible(true);
  cancel_button_->setEnabled(true);
  message_->setText(QStringLiteral("Computing the polar\u2026"));
  Plot();
  thread->start(QThread::LowPriority);
}

void DragPolarView::Cancel() {
  if (!job_) return;
  job_->cancel = true;
  cancelled_ = true;
  message_->setText(QStringLiteral("Cancelling after the angle under way\u2026"));
  cancel_button_->setEnabled(false);
}

void DragPolarView::ShowProgress(const Job* job, int done, int total) {
  if (job != job_.get()) return;
  progress_->setRange(0, total);
  progress_->setValue(done);
}

void DragPolarView::Finish(const Job* job, const std::vector<ViscousPolarPoint>& polar,
                           const QString& failure, int asked) {
  if (job != job_.get()) return;  // a run left behind: its inputs are no longer on show
  job_.reset();
  progress_->setVisible(false);
  cancel_button_->setVisible(false);
  polar_ = polar;
  const auto converged = std::count_if(polar_.begin(), polar_.end(),
                                       [](const ViscousPolarPoint& p) { return p.converged; });
  if (!failure.isEmpty()) {
    message_->setText(QStringLiteral("The polar failed: ") + failure);
  } else if (cancelled_) {
    message_->setText(QStringLiteral("Cancelled after %1 angles, %2 converged.")
                          .arg(polar_.size())
                          .arg(converged));
  } else if (static_cast<int>(polar_.size()) < asked) {
    // Above a ground some angles turn an element into it: they have no point.
    message_->setText(
        QStringLiteral("%1 of %2 angles (at the others the ground cuts an element), %3 converged.")
            .arg(polar_.size())
            .arg(asked)
            .arg(converged));
  } else {
    message_->setText(QStringLiteral("%1 angles, %2 converged.").arg(polar_.size()).arg(converged));
  }
  Plot();
}

QString DragPolarView::Message() const {
  return message_->text();
}

void DragPolarView::Plot() {
  QList<QPointF> polar, polar_off, ratio, ratio_off;
  double cd_low = 1e300, cd_high = -1e300, cl_low = 1e300, cl_high = -1e300;
  double ratio_low = 1e300, ratio_high = -1e300;
  for (const ViscousPolarPoint& p : polar_) {
    if (!p.converged) {
      polar_off.append(QPointF(p.cd, p.cl_viscous));
      ratio_off.append(QPointF(p.alpha_degrees, p.cl_cd));
      continue;
    }
    polar.append(QPointF(p.cd, p.cl_viscous));
    ratio.append(QPointF(p.alpha_degrees, p.cl_cd));
    cd_low = std::min(cd_low, p.cd);
    cd_high = std::max(cd_high, p.cd);
    cl_low = std::min(cl_low, p.cl_viscous);
    cl_high = std::max(cl_high, p.cl_viscous);
    ratio_low = std::min(ratio_low, p.cl_cd);
    ratio_high = std::max(ratio_high, p.cl_cd);
  }
  polar_chart_.line->replace(polar);
  polar_chart_.unconverged->replace(polar_off);
  ratio_chart_.line->replace(ratio);
  ratio_chart_.unconverged->replace(ratio_off);
  if (polar.isEmpty()) {
    cd_low = 0;
    cd_high = 0.02;
    cl_low = -1;
    cl_high = 1;
    ratio_low = ratio_high = 0;
  }
  FitAxis(polar_chart_.x, cd_low, cd_high, 0, 4);
  FitAxis(polar_chart_.y, cl_low, cl_high, 0, 6);
  SetNiceAxis(ratio_chart_.x, kExplorerAlphaMin, kExplorerAlphaMax, 4);
  FitAxis(ratio_chart_.y, ratio_low, ratio_high, 0, 6);
  QString title = QStringLiteral("Drag polar");
  if (options_)
    title += QStringLiteral(", ") + QString::fromStdString(ExplorerConditionsLabel(*options_));
  polar_chart_.view->chart()->setTitle(title);
}

void DragPolarView::SetFrame(const ExplorerScene& scene) {
  const ExplorerFrame& frame = *scene.frame;
  if (!frame.viscous) {
    polar_chart_.marker->clear();
    ratio_chart_.marker->clear();
    return;
  }
  const ExplorerViscousFrame& v = *frame.viscous;
  polar_chart_.marker->replace(QList<QPointF>{QPointF(v.result.cd, v.result.cl_viscous)});
  ratio_chart_.marker->replace(QList<QPointF>{QPointF(frame.alpha_degrees, v.cl_cd)});
}

QPointF DragPolarView::Marker() const {
  return polar_chart_.marker->points().isEmpty() ? QPointF()
                                                 : polar_chart_.marker->points().front();
}

std::string DragPolarView::DataCsv() const {
  if (!options_ || polar_.empty()) return {};
  return ViscousPolarCsv(label_, *options_, polar_);
}

}  // namespace velquin
