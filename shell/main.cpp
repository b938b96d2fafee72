// velquin2ds-window: the main window, the flow explorer (--explore), or, when velquin2ds
// hands over a batch run that exports pictures (--images, --flow), the headless command
// line with Qt pictures, which needs no display.
#include <QApplication>
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/batch_command.h"
#include "shell/form1.h"
#include "shell/form_explorer.h"
#include "shell/qt_image_batch.h"
#include "shell/user_locale.h"
#include "shell/view_export.h"

namespace {

// The explorer's pictures are drawn by its widgets, which need an application object,
// though no display: the offscreen platform.
int RunHeadless(const std::vector<std::string>& args, int argc, char* argv[]) {
  std::unique_ptr<QApplication> app;
  if (std::find(args.begin(), args.end(), "--flow") != args.end()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The batch command's stderr carries its own messages only, not the toolkit's notes
    // on its environment (such as a missing XDG_RUNTIME_DIR).
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
      if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
    });
    app = std::make_unique<QApplication>(argc, argv);
  }
  return velquin::RunBatchCommand(
      args, std::cout, std::cerr, velquin::UserDecimalSeparator(),
      [] { return std::make_unique<velquin::QtBatchPictures>(); }, velquin::WriteFlowPictures);
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (velquin::IsCommandLineMode(args)) return RunHeadless(args, argc, argv);

  std::optional<velquin::ExplorerCommand> explore;
  if (velquin::IsExplorerMode(args)) {
    explore = velquin::ParseExplorerCommand(args);
    if (!explore->error.empty()) {
      std::cerr << explore->error;
      return 2;
    }
  }

  // Input options preset the window; anything else is refused before a window opens.
  velquin::ControlValues controls;
  if (!explore) {
    try {
      controls = velquin::ParseWindowCommand(args);
    } catch (const velquin::UsageError& error) {
      std::cerr << velquin::ShortUsage(error);
      return 2;
    }
  }

  QApplication app(argc, argv);
  // The name stands in the title of the message boxes. (A display name would also be
  // appended to every window caption.)
  QApplication::setApplicationName(QStringLiteral("Velquin2DS"));
  if (explore) {
    velquin::Form_Explorer explorer(explore->inputs);
    if (explore->section) {
      explorer.ShowSection(*explore->section, static_cast<int>(explore->inputs.NP));
    }
    explorer.show();
    return app.exec();
  }
  velquin::Form1 window;
  window.SetControls(controls);
  window.show();
  return app.exec();
}
