#include "cli/batch_window.h"

namespace velquin {

BatchWindow::BatchWindow(const ControlValues& controls, std::ostream& messages)
    : controls_(controls), messages_(messages) {
  pictures_.fill(&nowhere_);
}

BatchWindow::BatchWindow(const ControlValues& controls, const PictureSet<Picture*>& pictures,
                         std::ostream& messages)
    : controls_(controls), pictures_(pictures), messages_(messages) {}

void BatchWindow::ShowReadingNotes(const std::vector<std::string>& notes) {
  PrintMessages(notes, "note", messages_);
  PrintMessages(option_notes_, "note", messages_);
}

void BatchWindow::MsgBox(const std::string& text) {
  // On the command line every message carries the program's name.
  messages_ << "velquin2ds:" << (text.rfind(' ', 0) == 0 ? "" : " ") << text << '\n';
}

void BatchWindow::ShowRunError(const std::string& message) {
  messages_ << "velquin2ds: " << message << '\n';
}

void PrintMessages(const std::vector<std::string>& messages, const char* kind, std::ostream& out) {
  for (const std::string& message : messages)
    out << "velquin2ds: " << kind << ": " << message << '\n';
}

}  // namespace velquin
