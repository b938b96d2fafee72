#include "shell/view_export.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

#include "shell/explorer_charts.h"
#include "shell/flow_explorer.h"
#include "shell/flow_view.h"
#include "shell/run_error.h"

namespace velquin {
namespace {

std::string CannotWrite(const QString& path, const QString& reason) {
  return "File error: cannot write \"" + QDir::toNativeSeparators(path).toStdString() +
         "\": " + reason.toStdString() + ".";
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
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return CannotWrite(path, file.errorString());
  }
  if (!image.save(&file, "PNG")) return CannotWrite(path, file.errorString());
  file.close();
  if (file.error() != QFileDevice::NoError) return CannotWrite(path, file.errorString());
  return {};
}

std::string SaveViewSvg(QWidget& view, const QSize& size, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return CannotWrite(path, file.errorString());
  }
  view.resize(size);
  QSvgGenerator svg;
  svg.setOutputDevice(&file);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(view.objectName());
  QPainter painter;
  if (!painter.begin(&svg)) return CannotWrite(path, QStringLiteral("cannot draw into it"));
  view.render(&painter);
  painter.end();
  file.close();
  if (file.error() != QFileDevice::NoError) return CannotWrite(path, file.errorString());
  return {};
}

std::string SaveText(const QString& path, const std::string& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return CannotWrite(path, file.errorString());
  }
  if (file.write(text.data(), static_cast<qint64>(text.size())) !=
      static_cast<qint64>(text.size())) {
    return CannotWrite(path, file.errorString());
  }
  file.close();
  if (file.error() != QFileDevice::NoError) return CannotWrite(path, file.errorString());
  return {};
}

std::string WriteFlowPictures(const RunInputs& inputs, bool polar, const std::string& directory) {
  std::unique_ptr<ExplorerGeometry> geometry;
  try {
    geometry = Explorer_Geometry(inputs);
  } catch (const RunError& error) {
    return std::string("flow pictures: ") + error.what();
  }
  ExplorerFrame frame;
  Explorer_Frame(*geometry, inputs.alpha_degrees, frame);
  const QSize flow_size(kFlowPictureWidth, kFlowPictureHeight);
  const QSize size(kChartPictureWidth, kChartPictureHeight);
  const QDir folder(directory.empty() ? QStringLiteral(".") : QString::fromStdString(directory));

  FlowView flow;
  flow.SetFrame(geometry.get(), &frame);
  if (std::string error = SaveViewPng(flow, flow_size, folder.filePath(QStringLiteral("Flow.png")));
      !error.empty()) {
    return error;
  }
  PressureChart pressure;
  pressure.SetFrame(*geometry, frame);
  if (std::string error = SaveViewPng(pressure, size, folder.filePath(QStringLiteral("Cp.png")));
      !error.empty()) {
    return error;
  }
  if (polar) {
    PolarChart chart;
    chart.SetGeometry(*geometry);
    chart.SetFrame(*geometry, frame);
    return SaveViewPng(chart, size, folder.filePath(QStringLiteral("Polar.png")));
  }
  return {};
}

}  // namespace velquin
