// The window interface without a display: the batch command sets the control values
// from its options, draws into the pictures it is given (none: pictures that draw
// nowhere), and writes messages to a stream.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/control_values.h"

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

  // Notes on options the run does not use; printed after the reading notes.
  void SetOptionNotes(std::vector<std::string> notes) { option_notes_ = std::move(notes); }

  // Each note as a line "velquin2ds: note: ..." before the run starts.
  void ShowReadingNotes(const std::vector<std::string>& notes) override;
  void MsgBox(const std::string& text) override;
  void ShowRunError(const std::string& message) override;

 private:
  ControlValues controls_;
  NullPicture nowhere_;
  PictureSet<Picture*> pictures_;
  std::ostream& messages_;
  std::vector<std::string> option_notes_;
};

// Writes each message as a line "velquin2ds: KIND: MESSAGE".
void PrintMessages(const std::vector<std::string>& messages, const char* kind, std::ostream& out);

}  // namespace velquin
