#include "gui/explorer/view_export.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>
#include <algorithm>

#include "app/explorer_viscous.h"
#include "app/flow_explorer.h"
#include "base/report_writer.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "gui/explorer/explorer_charts.h"
#include "gui/explorer/explorer_view.h"
#include "gui/explorer/flow_view.h"

namespace velquin {
namespace {

std::string CannotWrite(const QString& path, const std::string& reason) {
  return "File error: cannot write " + QuotedPath(QFile::encodeName(path).toStdString()) + ": " +
         reason + ".";
}

// The file is made in memory and then takes the place of `path` in one step, as a report
// does (ReplacingFile): no link followed, only a regular file replaced, nothing opened
// that could wait, and a failure leaves a file that was there before as it was.
std::string WriteInPlace(const QString& path, const QByteArray& bytes) {
  const std::string reason = ReplacingFile::Replace(
      QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), bytes.size()));
  return reason.empty() ? std::string() : CannotWrite(path, reason);
}

}  // namespace

QImage RenderView(QWidget& view, const QSize& size) {
  view.resize(size);
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  view.render(&painter);
  return image;
}

std::string SaveViewPng(QWidget& view, const QSize& size, const QString& path) {
  const QImage image = RenderView(view, size);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return CannotWrite(path, "the image cannot be encoded");
  return WriteInPlace(path, bytes);
}

std::string SaveViewSvg(QWidget& view, const QSize& size, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  view.resize(size);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(view.objectName());
  QPainter painter;
  if (!painter.begin(&svg)) return CannotWrite(path, "cannot draw into it");
  view.render(&painter);
  painter.end();
  return WriteInPlace(path, bytes);
}

std::string SaveText(const QString& path, const std::string& text) {
  return WriteInPlace(path, QByteArray::fromStdString(text));
}

std::string WriteFlowPictures(const FlowPictureRun& run,
                              const std::vector<std::string>& sweep_angles,
                              const std::string& directory) {
  std::unique_ptr<ExplorerGeometry> geometry;
  try {
    geometry = run.problem ? MakeExplorerGeometry(*run.problem, run.alpha_degrees)
                           : MakeExplorerGeometry(*run.seed);
  } catch (const RunError& error) {
    return std::string("flow pictures: ") + error.what();
  }
  ExplorerFrame frame;
  ComputeExplorerFrame(*geometry, run.alpha_degrees, frame);
  frame.viscous = ComputeExplorerViscous(*geometry, run.alpha_degrees, run.viscous);
  const QSize flow_size(kFlowPictureWidth, kFlowPictureHeight);
  const QSize size(kChartPictureWidth, kChartPictureHeight);
  const QDir folder(directory.empty() ? QStringLiteral(".") : QString::fromStdString(directory));

  // The picture's shape widens the domain (above a ground, mostly upwards): the flow is
  // computed again on a grid of the part of the plane the picture shows, as the window
  // does once shown, so that the colours and streamlines fill it.
  FlowView flow;
  flow.SetFrame(geometry.get(), &frame);
  flow.resize(flow_size);
  const std::unique_ptr<FlowGrid> view_grid = MakeExplorerViewGrid(*geometry, flow.VisibleDomain());
  ExplorerFrame shown;
  ComputeExplorerFrame(*geometry, run.alpha_degrees, shown, view_grid.get());
  shown.viscous = frame.viscous;
  flow.SetFrame(geometry.get(), &shown);
  if (std::string error = SaveViewPng(flow, flow_size, folder.filePath(QStringLiteral("Flow.png")));
      !error.empty()) {
    return error;
  }
  // The charts' lettering grown with the picture: about 1.7 times the window's at 1500 x
  // 1000, as the flow picture's grows with its height.
  constexpr double kChartLettering = 1.7;
  PressureChart pressure;
  pressure.SetFrame(*geometry, frame);
  ScaleChartLettering(pressure.chart(), kChartLettering);
  if (std::string error = SaveViewPng(pressure, size, folder.filePath(QStringLiteral("Cp.png")));
      !error.empty()) {
    return error;
  }
  if (!sweep_angles.empty()) {
    // The polar over the swept range, finely enough for a smooth line (the arithmetic of
    // the sweep's own angles), and the swept angles marked.
    ExplorerScene scene;
    scene.geometry = geometry.get();
    scene.frame = &frame;
    double low = 1e300, high = -1e300;
    try {
      for (const std::string& text : sweep_angles) {
        const double alpha = ReadNumber(text);
        scene.marked.push_back(ExplorerPolarPoint(*geometry, alpha));
        low = std::min(low, alpha);
        high = std::max(high, alpha);
      }
    } catch (const RunError& error) {
      return std::string("flow pictures: ") + error.what();
    }
    std::vector<PolarPoint> polar = scene.marked;
    if (!geometry->Ground()) {
      polar.clear();
      constexpr int kSteps = 200;
      for (int k = 0; k <= kSteps; ++k) {
        polar.push_back(ExplorerPolarPoint(*geometry, low + (high - low) * k / kSteps));
      }
    }
    scene.polar = &polar;
    PolarChart chart;
    chart.SetGeometry(scene);
    chart.SetFrame(scene);
    ScaleChartLettering(chart.chart(), kChartLettering);
    return SaveViewPng(chart, size, folder.filePath(QStringLiteral("Polar.png")));
  }
  return {};
}

}  // namespace velquin
