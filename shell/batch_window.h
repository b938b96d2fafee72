// The window interface without a display: the batch command sets the control values
// from its options, draws into the pictures it is given (none: pictures that draw
// nowhere), and writes messages to a stream.
#pragma once

#include <ostream>

#include "shell/control_values.h"

namespace velquin {

class BatchWindow : public RunWindow {
 public:
  // Without pictures: every picture draws nowhere.
  BatchWindow(const ControlValues& controls, std::ostream& messages);
  // The pictures, indexed by PictureId, must outlive the window.
  BatchWindow(const ControlValues& controls, const PictureSet<Picture*>& pictures,
              std::ostream& messages);

  ControlValues Controls() const override { return controls_; }
  void SetControls(const ControlValues& controls) { controls_ = controls; }

  Picture& PictureOf(PictureId id) override { return *pictures_[static_cast<std::size_t>(id)]; }

  void MsgBox(const std::string& text) override;
  void ShowRunError(const std::string& message) override;

 private:
  ControlValues controls_;
  NullPicture nowhere_;
  PictureSet<Picture*> pictures_;
  std::ostream& messages_;
};

}  // namespace velquin
