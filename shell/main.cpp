// velquin2ds-window: the main window, or, when velquin2ds hands over a batch run that
// exports pictures (--images), the headless command line with Qt pictures, which needs
// no display.
#include <QApplication>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "shell/batch_command.h"
#include "shell/form1.h"
#include "shell/qt_image_batch.h"
#include "shell/user_locale.h"

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (velquin::IsCommandLineMode(args)) {
    return velquin::RunBatchCommand(args, std::cout, std::cerr, velquin::UserDecimalSeparator(),
                                    [] { return std::make_unique<velquin::QtBatchPictures>(); });
  }

  // Input options preset the window; anything else is refused before a window opens.
  velquin::ControlValues controls;
  try {
    controls = velquin::ParseWindowCommand(args);
  } catch (const velquin::UsageError& error) {
    std::cerr << velquin::ShortUsage(error);
    return 2;
  }

  QApplication app(argc, argv);
  // The name stands in the title of the message boxes. (A display name would also be
  // appended to every window caption.)
  QApplication::setApplicationName(QStringLiteral("Velquin2DS"));
  velquin::Form1 window;
  window.SetControls(controls);
  window.show();
  return app.exec();
}
