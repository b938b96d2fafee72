#include "shell/batch_command.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

#include "shell/batch_window.h"
#include "shell/calculation_run.h"
#include "shell/module_common.h"

namespace velquin {
namespace {

constexpr const char* kUsage =
    "usage: velquin2ds --batch [--panels TEXT] [--body circle|naca0012] [--alpha TEXT]\n"
    "                          [--circulation] [--vortex point|constant] [--xv TEXT]\n"
    "                          [--yv TEXT] [--out DIR] [--images]\n"
    "       velquin2ds --help | --version\n"
    "\n"
    "Runs one calculation without a window and writes Output_Panel.txt,\n"
    "Output_InfCoeffs.txt and Output_PressCoeffs.txt into DIR (default: the current\n"
    "directory). TEXT values are read like the window's input fields. Defaults: 8 panels,\n"
    "circle, angle 0, no circulation, no vortex model, vortex at (0.5, 0).\n"
    "--images also writes Picture_Airfoil.png, Picture_Pressure.png, Picture_Matrix.png.\n"
    "Exit status: 0 run completed, 1 run error or zero pivot, 2 malformed command line.\n";

const char* const kValueOptions[] = {"--panels", "--body", "--alpha", "--vortex",
                                     "--xv",     "--yv",   "--out"};
const char* const kFlagOptions[] = {"--batch", "--circulation", "--images"};

struct UsageError {
  std::string message;
};

bool IsOneOf(const std::string& name, const char* const* first, const char* const* last) {
  return std::any_of(first, last, [&](const char* option) { return name == option; });
}

// The options as given: name -> value ("" for flags). Each option at most once.
std::map<std::string, std::string> ParseOptions(const std::vector<std::string>& args) {
  std::map<std::string, std::string> options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    const std::size_t equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const bool takes_value = IsOneOf(name, std::begin(kValueOptions), std::end(kValueOptions));
    const bool is_flag = IsOneOf(name, std::begin(kFlagOptions), std::end(kFlagOptions));
    if (!takes_value && !is_flag) throw UsageError{"unknown option '" + name + "'"};
    if (is_flag && value) throw UsageError{"option '" + name + "' takes no value"};
    if (takes_value && !value) {
      if (i + 1 >= args.size()) throw UsageError{"option '" + name + "' needs a value"};
      value = args[++i];
    }
    if (options.count(name) != 0) throw UsageError{"option '" + name + "' given twice"};
    options[name] = value.value_or("");
  }
  if (options.count("--batch") == 0) throw UsageError{"--batch is missing"};
  return options;
}

ControlValues ControlsFromOptions(const std::map<std::string, std::string>& options) {
  ControlValues controls;
  auto text = [&](const char* name, std::string& field) {
    const auto it = options.find(name);
    if (it != options.end()) field = it->second;
  };
  text("--panels", controls.Text_NP);
  text("--alpha", controls.Text_AlfaD);
  text("--xv", controls.Text_Xv);
  text("--yv", controls.Text_Yv);
  controls.Check_Circulation = options.count("--circulation") != 0 ? 1 : 0;

  if (const auto body = options.find("--body"); body != options.end()) {
    if (body->second != "circle" && body->second != "naca0012") {
      throw UsageError{"--body must be 'circle' or 'naca0012', not '" + body->second + "'"};
    }
    controls.Option_Circle = body->second == "circle";
    controls.Option_NACA12 = body->second == "naca0012";
  }
  if (const auto vortex = options.find("--vortex"); vortex != options.end()) {
    if (vortex->second != "point" && vortex->second != "constant") {
      throw UsageError{"--vortex must be 'point' or 'constant', not '" + vortex->second + "'"};
    }
    controls.Option_PointVortex = vortex->second == "point";
    controls.Option_ConstVortex = vortex->second == "constant";
  }
  return controls;
}

}  // namespace

bool IsCommandLineMode(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& arg) {
    return arg == "--batch" || arg == "--help" || arg == "-h" || arg == "--version";
  });
}

int RunBatchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    char decimal_separator, const BatchPicturesFactory& make_pictures) {
  if (std::find(args.begin(), args.end(), "--help") != args.end() ||
      std::find(args.begin(), args.end(), "-h") != args.end()) {
    out << kUsage;
    return 0;
  }
  if (std::find(args.begin(), args.end(), "--version") != args.end()) {
    out << "velquin2ds " << VELQUIN_VERSION << '\n';
    return 0;
  }

  std::map<std::string, std::string> options;
  ControlValues controls;
  try {
    options = ParseOptions(args);
    controls = ControlsFromOptions(options);
    if (options.count("--out") != 0 && options["--out"].empty()) {
      throw UsageError{"--out needs a directory"};
    }
    if (options.count("--images") != 0 && !make_pictures) {
      throw UsageError{"--images is not available in this build"};
    }
  } catch (const UsageError& error) {
    err << "velquin2ds: " << error.message << "\n\n" << kUsage;
    return 2;
  }

  NullPicture null_airfoil, null_pressure, null_matrix;
  std::unique_ptr<BatchPictures> pictures;
  if (options.count("--images") != 0) pictures = make_pictures();
  Picture& airfoil = pictures ? pictures->Airfoil() : null_airfoil;
  Picture& pressure = pictures ? pictures->Pressure() : null_pressure;
  Picture& matrix = pictures ? pictures->Matrix() : null_matrix;

  auto state = std::make_unique<Module_Common>();
  Form_Load(*state);
  BatchWindow window(*state, controls, airfoil, pressure, matrix, err);
  const ReportOptions reports{options.count("--out") != 0 ? options["--out"] : std::string(),
                              decimal_separator};
  const RunOutcome outcome = Command1_Click(*state, window, reports);
  if (outcome != RunOutcome::kCompleted) return 1;
  if (pictures) {
    const std::string failure = pictures->Save(reports.directory);
    if (!failure.empty()) {
      err << failure << '\n';
      return 1;
    }
  }
  return 0;
}

}  // namespace velquin
