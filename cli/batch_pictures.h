// What the batch run asks of the window program when pictures are wanted: the three
// pictures of a run as PNG files (--images) and the flow explorer's pictures (--flow).
// The Qt build provides both (gui/qt_image_batch.h, gui/explorer/view_export.h); the
// batch command without Qt has neither and refuses the two options.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/problem_run.h"
#include "base/picture.h"
#include "base/picture_table.h"
#include "solver/run_inputs.h"
#include "viscous/panel_viscous.h"

namespace velquin {

// The three pictures of a batch run that can be saved as PNG files (the Qt build's).
class BatchPictures {
 public:
  virtual ~BatchPictures() = default;
  virtual Picture& PictureOf(PictureId id) = 0;
  // Writes NAME.png of every picture of kPictures into directory (empty: the current
  // one). Returns an error message, empty on success.
  virtual std::string Save(const std::string& directory) = 0;
};
using BatchPicturesFactory = std::function<std::unique_ptr<BatchPictures>()>;

// The run whose flow is drawn: the seed's inputs (at their angle), or the general
// problem's inputs at alpha_degrees. Exactly one of the two is set. With `viscous` (the
// run's --re) the pictures show the boundary layers as the explorer does: the band and
// the marks on the body, the viscous pressure beside the inviscid one.
struct FlowPictureRun {
  const RunInputs* seed = nullptr;
  const ProblemInputs* problem = nullptr;
  double alpha_degrees = 0;
  std::optional<ViscousOptions> viscous;
};

// Draws the flow explorer's pictures of a completed run into `directory` (empty: the
// current one): Flow.png and Cp.png, and, for a sweep, Polar.png over the swept angles
// (their texts as the sweep reads them; empty: no sweep) (the Qt build's). Returns an
// error message, empty on success.
using FlowPicturesWriter = std::function<std::string(const FlowPictureRun& run,
                                                     const std::vector<std::string>& sweep_angles,
                                                     const std::string& directory)>;

// Draws one picture of width x height pixels on the background colour with `draw` and
// saves it as the PNG file `path` (the Qt build's: the convergence picture of --verify).
// Returns an error message, empty on success.
using PictureFileWriter =
    std::function<std::string(int width, int height, Colour background,
                              const std::function<void(Picture&)>& draw, const std::string& path)>;

}  // namespace velquin
