#include "gui/explorer/convergence_view.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPen>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QShowEvent>
#include <QSplitter>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

#include "gui/explorer/explorer_text.h"

namespace velquin {
namespace {

const QColor kSeriesColours[] = {QColor(200, 30, 30), QColor(30, 80, 200), QColor(0, 140, 60),
                                 QColor(230, 130, 0), QColor(120, 60, 170)};

const ConvergenceCase* CaseNamed(const std::string& name) {
  for (const ConvergenceCase& c : VerificationCases()) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The quantity as the numbers view names it, short enough for the legend.
QString QuantityLabel(const std::string& name) {
  static const struct {
    const char* name;
    const char* label;
  } kLabels[] = {{"cl_circulation", "Cl (\u0393)"},
                 {"cl_pressure", "Cl (p)"},
                 {"cl_continuous", "Cl (4\u03C0sin\u03B1)"},
                 {"cm_quarter_chord", "Cm c/4"},
                 {"cp_max", "Cp max"},
                 {"cp_rms", "Cp rms"}};
  for (const auto& entry : kLabels) {
    if (name == entry.name) return QString::fromUtf8(entry.label);
  }
  return QString::fromStdString(name);
}

// The legend's entry: the quantity and its observed order (the slope over the three
// finest counts), or "exact" for a discrete answer met to rounding.
QString LegendText(const ConvergenceQuantity& quantity, const std::vector<int>& panels,
                   const std::vector<double>& errors) {
  const QString label = QuantityLabel(quantity.name);
  if (quantity.kind == ConvergenceKind::kRounding) return label + QStringLiteral("  exact");
  const double order = ObservedOrder(panels, errors);
  if (!std::isfinite(order)) return label + QStringLiteral("  \u2013");
  return label + QStringLiteral("  ") + FixedText(order, 2);
}

}  // namespace

const ConvergenceCase* ConvergenceCaseFor(const RunInputs& inputs) {
  if (!inputs.body) return nullptr;
  if (inputs.body == CircleBody()) return CaseNamed("circle-vortex");
  // The families by the names their bodies give themselves (geometry/ellipse_section,
  // geometry/karman_trefftz_section).
  const std::string name = inputs.body->Name();
  if (StartsWith(name, "Ellipse ")) {
    return CaseNamed(inputs.circulation ? "ellipse-kutta" : "ellipse-plain");
  }
  if (StartsWith(name, "Karman-Trefftz section")) return CaseNamed("karman-trefftz");
  if (StartsWith(name, "Joukowski section")) return CaseNamed("joukowski");
  return nullptr;
}

ConvergenceView::ConvergenceView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("View_Convergence"));
  setContextMenuPolicy(Qt::CustomContextMenu);
  setMinimumSize(minimumSizeHint());
  setToolTip(QStringLiteral(
      "The error of each quantity against the panel count, both scales logarithmic: the\n"
      "slope is the order of convergence. Right click: save as PNG, SVG or CSV."));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("Label_ConvergenceCase"));
  title_->setWordWrap(true);
  column->addWidget(title_);

  auto* chart = new QChart;
  chart->legend()->setAlignment(Qt::AlignRight);
  QFont small = chart->legend()->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  chart->legend()->setFont(small);
  chart->setMargins(QMargins(4, 4, 4, 4));
  chart->setTitle(QStringLiteral("Error against the panel count"));
  chart_view_ = new QChartView(chart, this);
  chart_view_->setRenderHint(QPainter::Antialiasing, true);
  chart_view_->setContextMenuPolicy(Qt::NoContextMenu);  // the view's menu, not the chart's
  chart_view_->setAttribute(Qt::WA_TransparentForMouseEvents);
  column->addWidget(chart_view_, 1);

  auto* controls = new QHBoxLayout;
  run_button_ = new QPushButton(QStringLiteral("Run"), this);
  run_button_->setObjectName(QStringLiteral("Button_ConvergenceRun"));
  run_button_->setToolTip(QStringLiteral("Solve the case at every panel count in the background"));
  cancel_button_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_button_->setObjectName(QStringLiteral("Button_ConvergenceCancel"));
  cancel_button_->setToolTip(QStringLiteral("Stop the run after the panel count under way"));
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("Progress_Convergence"));
  progress_->setTextVisible(true);
  progress_->setFormat(QStringLiteral("%v of %m panel counts"));
  progress_->setRange(0, 1);
  progress_->setValue(0);
  controls->addWidget(run_button_);
  controls->addWidget(cancel_button_);
  column->addLayout(controls);
  column->addWidget(progress_);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("Label_ConvergenceMessage"));
  message_->setWordWrap(true);
  column->addWidget(message_);

  connect(run_button_, &QPushButton::clicked, this, &ConvergenceView::Start);
  connect(cancel_button_, &QPushButton::clicked, this, &ConvergenceView::Cancel);
  ShowCase();
}

ConvergenceView::~ConvergenceView() {
  if (job_) job_->cancel = true;
  // Older runs were cancelled when they were left; each stops after its current count.
  for (QThread* thread : threads_) {
    thread->wait();
    delete thread;
  }
}

// Among the charts: this view a quarter of the row and the others the rest in equal
// shares, so that on the least window (1024 wide) the pressure and the polar keep room
// for their axes. Kept as the window is resized until the user moves a handle.
void ConvergenceView::ShareRow() {
  auto* splitter = qobject_cast<QSplitter*>(parentWidget());
  if (splitter == nullptr || splitter->count() < 2 || user_sized_) return;
  const int count = splitter->count();
  const int total = splitter->width() - (count - 1) * splitter->handleWidth();
  const int own = total / 4;
  QList<int> sizes(count, (total - own) / (count - 1));
  sizes[splitter->indexOf(this)] = own;
  splitter->setSizes(sizes);
}

void ConvergenceView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  auto* splitter = qobject_cast<QSplitter*>(parentWidget());
  if (splitter == nullptr || splitter == watched_) return;
  watched_ = splitter;
  splitter->installEventFilter(this);
  connect(splitter, &QSplitter::splitterMoved, this, [this] { user_sized_ = true; });
  ShareRow();
}

bool ConvergenceView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watched_ && event->type() == QEvent::Resize) ShareRow();
  return QWidget::eventFilter(watched, event);
}

void ConvergenceView::SetGeometry(const ExplorerScene& scene) {
  if (scene.geometry == nullptr) return;
  const ConvergenceCase* chosen = ConvergenceCaseFor(scene.geometry->inputs);
  if (chosen == case_) return;
  // Another case: the run of the old one is no longer wanted. Its thread stops after
  // its current count and what it still hands over is dropped.
  if (job_) {
    job_->cancel = true;
    job_.reset();
  }
  case_ = chosen;
  ShowCase();
}

const ConvergenceCaseResult* ConvergenceView::Result() const {
  if (case_ == nullptr) return nullptr;
  const auto found = results_.find(case_->name);
  return found == results_.end() ? nullptr : &found->second;
}

QString ConvergenceView::Message() const {
  return message_->text();
}

QChart* ConvergenceView::Chart() const {
  return chart_view_->chart();
}

std::string ConvergenceView::DataCsv() const {
  const ConvergenceCaseResult* result = Result();
  return result ? VerificationCsv({*result}) : std::string();
}

void ConvergenceView::Start() {
  if (case_ == nullptr || job_) return;
  auto job = std::make_shared<Job>();
  job->convergence_case = case_;
  job_ = job;
  const std::vector<int> counts = counts_;
  const int total = static_cast<int>(counts.empty() ? case_->counts.size() : counts.size());
  // The thread owns a share of the job; the view is only reached through queued calls,
  // which Qt drops once the view is gone (and the destructor waits for the thread).
  QThread* thread = QThread::create([this, job, counts] {
    ConvergenceCaseResult result;
    QString failure;
    try {
      result = RunConvergenceCase(
          *job->convergence_case, counts,
          [this, job](int done, int all) {
            QMetaObject::invokeMethod(
                this, [this, job, done, all] { ShowProgress(job.get(), done, all); },
                Qt::QueuedConnection);
          },
          &job->cancel);
    } catch (const std::exception& error) {
      failure = QString::fromStdString(error.what());
    }
    QMetaObject::invokeMethod(
        this, [this, job, result, failure] { Finish(job.get(), result, failure); },
        Qt::QueuedConnection);
  });
  threads_.push_back(thread);
  connect(thread, &QThread::finished, this, [this, thread] {
    threads_.erase(std::remove(threads_.begin(), threads_.end(), thread), threads_.end());
    thread->deleteLater();
  });
  progress_->setRange(0, total);
  progress_->setValue(0);
  message_->setText(QStringLiteral("Running\u2026"));
  thread->start(QThread::LowPriority);
  UpdateButtons();
}

void ConvergenceView::Cancel() {
  if (!job_) return;
  job_->cancel = true;
  message_->setText(QStringLiteral("Cancelling after the current panel count\u2026"));
  cancel_button_->setEnabled(false);
}

void ConvergenceView::ShowProgress(const Job* job, int done, int total) {
  if (job != job_.get()) return;
  progress_->setRange(0, total);
  progress_->setValue(done);
}

void ConvergenceView::Finish(const Job* job, const ConvergenceCaseResult& result,
                             const QString& failure) {
  if (job != job_.get()) return;  // a run left behind: its case is no longer on show
  job_.reset();
  if (!failure.isEmpty()) {
    message_->setText(QStringLiteral("The run failed: ") + failure);
    UpdateButtons();
    return;
  }
  results_[result.name] = result;
  Plot(result);
  const int counts =
      result.rows.empty()
          ? 0
          : static_cast<int>(std::count_if(result.rows.begin(), result.rows.end(),
                                           [&](const ConvergenceRow& row) {
                                             return row.quantity == result.rows[0].quantity;
                                           }));
  message_->setText(result.cancelled
                        ? QStringLiteral("Cancelled after %1 panel counts.").arg(counts)
                        : QStringLiteral("Done: %1 panel counts.").arg(counts));
  UpdateButtons();
}

void ConvergenceView::ShowCase() {
  if (case_ == nullptr) {
    title_->setText(QStringLiteral(
        "No convergence case for this body: the bench checks the bodies whose exact flow is "
        "known (circle, ellipse:T, karman-trefftz:XC:YC:TAU, joukowski:XC:YC)."));
    chart_view_->chart()->setTitle(QStringLiteral("No exact solution for this body"));
  } else {
    title_->setText(QStringLiteral("Case <b>%1</b>: %2 (its own body and angle). The legend "
                                   "gives each quantity's observed order.")
                        .arg(QString::fromStdString(case_->name),
                             QString::fromStdString(case_->title).toHtmlEscaped()));
    chart_view_->chart()->setTitle(QStringLiteral("Error against the panel count"));
  }
  progress_->setRange(0, case_ ? static_cast<int>(case_->counts.size()) : 1);
  progress_->setValue(0);
  progress_->setTextVisible(case_ != nullptr);
  const ConvergenceCaseResult* result = Result();
  if (result) {
    Plot(*result);
    message_->setText(result->cancelled ? QStringLiteral("Cancelled earlier; Run again for all.")
                                        : QString());
  } else {
    Plot(ConvergenceCaseResult());
    message_->setText(case_ ? QStringLiteral("Press Run to solve the case at every panel count.")
                            : QString());
  }
  UpdateButtons();
}

void ConvergenceView::Plot(const ConvergenceCaseResult& result) {
  QChart* chart = chart_view_->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
  if (case_ == nullptr || result.rows.empty()) return;

  auto* x_axis = new QLogValueAxis;
  x_axis->setBase(4);  // a label at every other doubling: 16, 64, 256, 1024
  x_axis->setLabelFormat(QStringLiteral("%d"));
  x_axis->setTitleText(QStringLiteral("panels"));
  auto* y_axis = new QLogValueAxis;
  y_axis->setBase(10);
  y_axis->setLabelFormat(QStringLiteral("%.0e"));
  y_axis->setTitleText(QStringLiteral("error"));
  chart->addAxis(x_axis, Qt::AlignBottom);
  chart->addAxis(y_axis, Qt::AlignLeft);

  double least_panels = 1e300, most_panels = 0, least_error = 1e300, most_error = 0;
  int colour = 0;
  for (const ConvergenceQuantity& quantity : case_->quantities) {
    std::vector<int> panels;
    std::vector<double> errors;
    for (const ConvergenceRow& row : result.rows) {
      if (row.quantity != quantity.name) continue;
      panels.push_back(row.panels);
      errors.push_back(row.error);
    }
    if (panels.empty()) continue;
    const QColor& tint = kSeriesColours[colour++ % std::size(kSeriesColours)];
    auto* line = new QLineSeries;
    line->setName(LegendText(quantity, panels, errors));
    QPen pen(tint, 2);
    pen.setCosmetic(true);
    line->setPen(pen);
    auto* dots = new QScatterSeries;
    dots->setColor(tint);
    dots->setBorderColor(tint);
    dots->setMarkerSize(7);
    // A zero error (an exact answer met to the last bit) has no place on a log scale.
    for (std::size_t k = 0; k < panels.size(); ++k) {
      if (!(errors[k] > 0) || !std::isfinite(errors[k])) continue;
      line->append(panels[k], errors[k]);
      dots->append(panels[k], errors[k]);
      least_panels = std::min(least_panels, static_cast<double>(panels[k]));
      most_panels = std::max(most_panels, static_cast<double>(panels[k]));
      least_error = std::min(least_error, errors[k]);
      most_error = std::max(most_error, errors[k]);
    }
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(line), static_cast<QAbstractSeries*>(dots)}) {
      chart->addSeries(series);
      series->attachAxis(x_axis);
      series->attachAxis(y_axis);
    }
    for (QLegendMarker* marker : chart->legend()->markers(dots)) marker->setVisible(false);
  }
  if (most_error > 0) {
    x_axis->setRange(least_panels / 1.4, most_panels * 1.4);
    // A tick at every power of ten, or of a hundred where rounding-level errors stretch
    // the scale over more decades than the labels have room for.
    double low = std::floor(std::log10(least_error)), high = std::ceil(std::log10(most_error));
    if (high - low > 8) {
      y_axis->setBase(100);
      low = 2 * std::floor(low / 2);
      high = 2 * std::ceil(high / 2);
    }
    y_axis->setRange(std::pow(10, low), std::pow(10, high));
  }
}

void ConvergenceView::UpdateButtons() {
  run_button_->setEnabled(case_ != nullptr && !job_);
  cancel_button_->setEnabled(job_ != nullptr && !job_->cancel);
}

}  // namespace velquin
