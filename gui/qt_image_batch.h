// The batch command's pictures on Qt: one image per picture of kPictures, at the
// window's picture sizes, drawn without a display and saved as PNG files.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cli/batch_pictures.h"
#include "gui/qt_picture.h"

namespace velquin {

class QtBatchPictures : public BatchPictures {
 public:
  QtBatchPictures();

  Picture& PictureOf(PictureId id) override { return *pictures_[static_cast<std::size_t>(id)]; }
  const QtPicture& image(PictureId id) const { return *pictures_[static_cast<std::size_t>(id)]; }
  // Writes NAME.png of every picture into directory (empty: the current one) and stops
  // at the first that fails, returning its message. Returns an empty string when all
  // were written.
  std::string Save(const std::string& directory) override;

 private:
  PictureSet<std::unique_ptr<QtPicture>> pictures_;
};

// The PictureFileWriter of --verify: a QtPicture of the size and background, drawn by
// `draw` and saved as a PNG file at path. Returns an error message, empty on success.
std::string SavePicturePng(int width, int height, Colour background,
                           const std::function<void(Picture&)>& draw, const std::string& path);

}  // namespace velquin
