// Saving the explorer's views: as PNG images and SVG drawings of any size, the pressure
// table as text, and the headless pictures of "velquin2ds --batch ... --flow".
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <string>
#include <vector>

#include "cli/batch_pictures.h"
#include "solver/run_inputs.h"

class QWidget;

namespace velquin {

// The view painted at `size` (it is resized to it first).
QImage RenderView(QWidget& view, const QSize& size);

// Each returns an error message that names the file and the reason, empty on success.
std::string SaveViewPng(QWidget& view, const QSize& size, const QString& path);
std::string SaveViewSvg(QWidget& view, const QSize& size, const QString& path);
std::string SaveText(const QString& path, const std::string& text);

// The size of the headless pictures; the flow's as wide as its domain, twice its height.
inline constexpr int kChartPictureWidth = 1500;
inline constexpr int kChartPictureHeight = 1000;
inline constexpr int kFlowPictureWidth = 2000;
inline constexpr int kFlowPictureHeight = 1000;

// The explorer at the run's angle, drawn by the window's own views without a display:
// Flow.png and Cp.png, and for a sweep (the angles' texts, read as the sweep reads them;
// empty: none) Polar.png over the swept range with the swept angles marked (above a
// ground, whose every angle is a system of its own, the line joins the swept angles),
// into `directory` (empty: the current one). Every picture names the inputs in its
// title. Returns an error message, empty on success.
std::string WriteFlowPictures(const FlowPictureRun& run,
                              const std::vector<std::string>& sweep_angles,
                              const std::string& directory);

}  // namespace velquin
