#include "shell/batch_window.h"

namespace velquin {

BatchWindow::BatchWindow(const ControlValues& controls, std::ostream& messages)
    : controls_(controls), messages_(messages) {
  pictures_.fill(&nowhere_);
}

BatchWindow::BatchWindow(const ControlValues& controls, const PictureSet<Picture*>& pictures,
                         std::ostream& messages)
    : controls_(controls), pictures_(pictures), messages_(messages) {}

void BatchWindow::MsgBox(const std::string& text) {
  messages_ << text << '\n';
}

void BatchWindow::ShowRunError(const std::string& message) {
  messages_ << message << '\n';
}

}  // namespace velquin
