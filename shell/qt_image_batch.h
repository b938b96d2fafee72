// The batch command's pictures on Qt: three images of the window's picture sizes, drawn
// without a display and saved as PNG files.
#pragma once

#include <string>

#include "shell/batch_command.h"
#include "shell/qt_picture.h"

namespace velquin {

class QtBatchPictures : public BatchPictures {
 public:
  QtBatchPictures();

  Picture& Airfoil() override { return airfoil_; }
  Picture& Pressure() override { return pressure_; }
  Picture& Matrix() override { return matrix_; }
  // Writes Picture_Airfoil.png, Picture_Pressure.png and Picture_Matrix.png into
  // directory (empty: the current one) and stops at the first that fails, returning
  // its message. Returns an empty string when all three were written.
  std::string Save(const std::string& directory) override;

  const QtPicture& airfoil() const { return airfoil_; }
  const QtPicture& pressure() const { return pressure_; }
  const QtPicture& matrix() const { return matrix_; }

 private:
  QtPicture airfoil_;
  QtPicture pressure_;
  QtPicture matrix_;
};

}  // namespace velquin
