// The controls of the main window that a calculation run reads, by the names they have
// in the window, and the window a run is started from. The command line fills the same
// values from its options.
#pragma once

#include <string>
#include <vector>

#include "display/plot_window.h"
#include "geometry/body.h"

namespace velquin {

struct ControlValues {
  std::string Text_NP = "8";
  std::string Text_AlfaD = "0";
  std::string Text_Xv = "0.5";
  std::string Text_Yv = "0";
  int Check_Circulation = 0;  // 1 = ticked
  bool Option_Circle = true;
  bool Option_NACA12 = false;
  bool Option_ConstVortex = false;
  bool Option_PointVortex = false;
  // A body the two options cannot name (the command line's --body); when set, it is
  // the body of the run and the options are not read.
  BodyPtr Other_Body;
  // Where the values come from: messages name the window's controls or the options.
  enum class Source { kWindow, kCommandLine } source = Source::kWindow;
};

// A window that starts runs: it shows their results and holds their inputs.
class RunWindow : public PlotWindow {
 public:
  virtual ControlValues Controls() const = 0;
  // How the controls were read, before the run starts (app/input_notes.h); a window
  // that shows them beside the results afterwards ignores this.
  virtual void ShowReadingNotes(const std::vector<std::string>& notes) { (void)notes; }
};

}  // namespace velquin
