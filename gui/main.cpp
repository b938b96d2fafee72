// velquin2ds-window: the main window, the flow explorer (--explore), or, when velquin2ds
// hands over a batch run that exports pictures (--images, --flow), the headless command
// line with Qt pictures, which needs no display.
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/user_locale.h"
#include "cli/batch_run.h"
#include "cli/standard_streams.h"
#include "gui/explorer/form_explorer.h"
#include "gui/explorer/view_export.h"
#include "gui/form1.h"
#include "gui/qt_image_batch.h"

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
      [] { return std::make_unique<velquin::QtBatchPictures>(); }, velquin::WriteFlowPictures,
      velquin::SavePicturePng);
}

constexpr const char* kNoDisplay =
    "velquin2ds: cannot open the window: no display. Use --batch for runs without a window "
    "(see --help).\n";

// While the application starts, Qt's messages are held back: when no display can be
// opened, Qt gives up with a fatal message and aborts the process. That message, and the
// warnings that led to it, are replaced by one line saying what to do, and the program
// ends with the status of a command line it cannot serve (2). Once the application has
// started, the held messages are written as Qt would have written them.
std::mutex g_held_mutex;
QStringList g_held_messages;

void HoldStartMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  const std::lock_guard<std::mutex> lock(g_held_mutex);
  if (type != QtFatalMsg) {
    g_held_messages.push_back(qFormatLogMessage(type, context, text));
    return;
  }
  // "could not connect to display", "Failed to create wl_display", ...
  const bool display = g_held_messages.join(QLatin1Char('\n'))
                           .contains(QLatin1String("display"), Qt::CaseInsensitive);
  if (display) {
    std::fputs(kNoDisplay, stderr);
  } else {  // e.g. no platform plugin installed: Qt's own reason, its first line
    std::fprintf(stderr, "velquin2ds: cannot open the window: %s\n",
                 text.section(QLatin1Char('\n'), 0, 0).toLocal8Bit().constData());
  }
  std::fflush(stderr);
  _exit(2);
}

void ReleaseStartMessages() {
  qInstallMessageHandler(nullptr);
  const std::lock_guard<std::mutex> lock(g_held_mutex);
  for (const QString& message : g_held_messages) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
  g_held_messages.clear();
}

// Qt takes the platform from QT_QPA_PLATFORM or -platform; without either it needs an X11
// or Wayland display, and none is named. (When one is named but cannot be reached, Qt's
// fatal message is caught above.)
bool NoDisplayNamed(int argc, char* argv[]) {
  for (int k = 1; k < argc; ++k) {
    if (std::string(argv[k]) == "-platform") return false;
  }
  return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
         qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char* argv[]) {
  velquin::OccupyClosedStandardDescriptors();
  velquin::IgnoreWriteSignals();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (velquin::IsCommandLineMode(args)) return RunHeadless(args, argc, argv);

  std::optional<velquin::ExplorerCommand> explore;
  if (velquin::IsExplorerMode(args)) {
    explore = velquin::ParseExplorerCommand(args);
    if (!explore->error.empty()) {
      std::cerr << explore->error;
      return explore->error_status;
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

  if (NoDisplayNamed(argc, argv)) {
    std::fputs(kNoDisplay, stderr);
    return 2;
  }
  qInstallMessageHandler(HoldStartMessages);
  QApplication app(argc, argv);
  ReleaseStartMessages();
  // The name stands in the title of the message boxes. (A display name would also be
  // appended to every window caption.)
  QApplication::setApplicationName(QStringLiteral("Velquin2DS"));
  if (explore) {
    velquin::Form_Explorer explorer(explore->inputs);
    if (!explore->session.empty()) {
      std::string error;
      if (!explorer.OpenSession(QString::fromLocal8Bit(explore->session), error)) {
        std::cerr << "velquin2ds: " << error << '\n';
        return 1;  // a file that cannot be read or used, as for --body-file
      }
    }
    if (explore->section) {
      explorer.ShowSection(*explore->section, static_cast<int>(explore->inputs.NP));
    }
    if (explore->problem) explorer.ShowProblemInputs(*explore->problem);
    explorer.show();
    return app.exec();
  }
  velquin::Form1 window;
  window.SetControls(controls);
  window.show();
  return app.exec();
}
