// What a view of the flow explorer is: a widget that draws what the explorer hands it,
// the scene (the geometry and the frame at the current angle, the second set of inputs
// when one is compared, the curves laid over from files), and saves itself under its
// own name. The explorer keeps a list of its views and tells each of them the same
// things; a new view is a class implementing this in a new file of gui/explorer/, and
// one line that registers it in Form_Explorer's constructor.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "app/flow_explorer.h"
#include "app/overlay_files.h"

class QWidget;

namespace velquin {

// Everything the views show. The pointers stay valid until the next call.
struct ExplorerScene {
  const ExplorerGeometry* geometry = nullptr;  // the inputs shown
  const ExplorerFrame* frame = nullptr;        // at the current angle
  // The second set of inputs, at the same angle, when one is compared.
  const ExplorerGeometry* second_geometry = nullptr;
  const ExplorerFrame* second_frame = nullptr;
  const std::vector<OverlayCurve>* overlays = nullptr;
  // The polar to draw instead of the geometry's (a batch sweep's range), and the angles
  // to mark on it (the swept ones).
  const std::vector<PolarPoint>* polar = nullptr;
  std::vector<PolarPoint> marked;
  // The boundary layers' conditions, when a Reynolds number is given and the geometry
  // can have them (the frames then hold their layers).
  std::optional<ViscousOptions> viscous;
};

class ExplorerView {
 public:
  virtual ~ExplorerView() = default;

  virtual QWidget* Widget() = 0;
  // The base of the file names the view is saved under: "Flow", "Cp", "Polar".
  virtual QString ExportName() const = 0;
  // A new geometry, comparison or overlay: what does not follow the angle.
  virtual void SetGeometry(const ExplorerScene& scene) { (void)scene; }
  // A new angle.
  virtual void SetFrame(const ExplorerScene& scene) = 0;
  // The view's data as CSV for "Save data as CSV", empty when it has none.
  virtual std::string DataCsv() const { return {}; }
  // The view's numbers as text for the clipboard, empty when it has none.
  virtual QString CopyText() const { return {}; }
};

}  // namespace velquin
