#include "shell/batch_command.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "shell/angle_range.h"
#include "shell/batch_window.h"
#include "shell/calculation_run.h"
#include "shell/derived_text.h"
#include "shell/module_common.h"
#include "shell/report_writer.h"
#include "shell/run_error.h"
#include "shell/text_number.h"
#include "solver/angle_sweep.h"
#include "solver/derived_results.h"

namespace velquin {
namespace {

constexpr const char* kUsage =
    "usage: velquin2ds --batch [--panels TEXT] [--body circle|naca0012] [--alpha TEXT]\n"
    "                          [--circulation] [--vortex point|constant] [--xv TEXT]\n"
    "                          [--yv TEXT] [--out DIR] [--images] [--sweep FROM:TO:STEP]\n"
    "       velquin2ds --help | --version\n"
    "\n"
    "Runs one calculation without a window and writes Output_Panel.txt,\n"
    "Output_InfCoeffs.txt and Output_PressCoeffs.txt into DIR (default: the current\n"
    "directory). TEXT values are read like the window's input fields. Defaults: 8 panels,\n"
    "circle, angle 0, no circulation, no vortex model, vortex at (0.5, 0).\n"
    "--images also writes Picture_Airfoil.png, Picture_Pressure.png, Picture_Matrix.png.\n"
    "After a completed run one line of key=value pairs goes to standard output:\n"
    "cl_circulation, cl_pressure, cm_quarter_chord, source_sum (and circle_deviation\n"
    "for the circle with the point vortex at its centre).\n"
    "--sweep FROM:TO:STEP (degrees, plain decimals, instead of --alpha) runs every angle\n"
    "FROM, FROM+STEP, ... up to TO (at most 10001) and writes DIR/polar.csv; the reports\n"
    "and the line on standard output are those of the last angle.\n"
    "Exit status: 0 run completed, 1 run error or zero pivot, 2 malformed command line.\n";

const char* const kValueOptions[] = {"--panels", "--body", "--alpha", "--vortex",
                                     "--xv",     "--yv",   "--out",   "--sweep"};
const char* const kFlagOptions[] = {"--batch", "--circulation", "--images"};

struct UsageError {
  std::string message;
};

// A value of the command line as a message shows it: in single quotes, shortened, with
// control characters as '?', so that hostile input cannot flood or steer the terminal.
std::string Shown(std::string_view value) {
  std::string quoted = QuotedInput(value);  // "..." with the same rules
  quoted.front() = '\'';
  quoted.back() = '\'';
  return quoted;
}

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
    if (!takes_value && !is_flag) throw UsageError{"unknown option " + Shown(name)};
    if (is_flag && value) throw UsageError{"option " + Shown(name) + " takes no value"};
    if (takes_value && !value) {
      if (i + 1 >= args.size()) throw UsageError{"option " + Shown(name) + " needs a value"};
      value = args[++i];
    }
    if (options.count(name) != 0) throw UsageError{"option " + Shown(name) + " given twice"};
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
      throw UsageError{"--body must be 'circle' or 'naca0012', not " + Shown(body->second)};
    }
    controls.Option_Circle = body->second == "circle";
    controls.Option_NACA12 = body->second == "naca0012";
  }
  if (const auto vortex = options.find("--vortex"); vortex != options.end()) {
    if (vortex->second != "point" && vortex->second != "constant") {
      throw UsageError{"--vortex must be 'point' or 'constant', not " + Shown(vortex->second)};
    }
    controls.Option_PointVortex = vortex->second == "point";
    controls.Option_ConstVortex = vortex->second == "constant";
  }
  return controls;
}

// Runs the angles of the sweep on the state of a completed run and writes polar.csv.
// Progress goes to `err` as one line that counts up when there are more than a few
// angles. Returns false after a zero pivot (its message shown); throws RunError.
bool SweepAndWritePolar(const Module_Common& state, const ControlValues& controls,
                        const std::vector<std::string>& angles, CalculationWindow& window,
                        const ReportOptions& reports, std::ostream& err) {
  constexpr std::size_t kQuietAngles = 10;
  std::vector<double> degrees;
  degrees.reserve(angles.size());
  for (const std::string& angle : angles) degrees.push_back(ReadNumber(angle));

  const std::size_t total = angles.size();
  const bool show_progress = total > kQuietAngles;
  AngleObserver progress;
  if (show_progress) {
    progress = [&err, total](std::size_t index, const AngleSolution&) {
      const std::size_t done = index + 1;
      if (done % 100 == 0 || done == total) {
        err << "\rvelquin2ds: sweep angle " + std::to_string(done) + " of " + std::to_string(total)
            << std::flush;
      }
    };
  }
  std::optional<std::vector<DerivedResults>> results;
  try {
    results = Sweep_Angles(state, controls, degrees, window, progress);
  } catch (const RunError&) {
    if (show_progress) err << '\n';  // the message starts a line of its own
    throw;
  }
  if (show_progress) err << '\n';
  if (!results) return false;

  ReportFile file(reports, "polar.csv");
  ReportText& out = file.out();
  out.Reserve(total * 96 + 80);
  out.Text(kPolarHeader).Text("\n");
  for (std::size_t k = 0; k < total; ++k) out.Text(PolarRow(angles[k], (*results)[k])).Text("\n");
  file.Close();
  return true;
}

// An output folder that does not exist yet is made, with its parents, as a user of
// --out expects. Where that fails (a file on the way, no permission), the first report
// file meets the same fault and its error names the file and the reason.
void CreateMissingOutputFolder(const std::string& directory) {
  std::error_code ignored;
  if (!directory.empty()) std::filesystem::create_directories(directory, ignored);
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
  AngleRange sweep;
  try {
    options = ParseOptions(args);
    controls = ControlsFromOptions(options);
    if (const auto range = options.find("--sweep"); range != options.end()) {
      if (options.count("--alpha") != 0) {
        throw UsageError{"--alpha and --sweep exclude each other"};
      }
      sweep = ParseAngleRange(range->second);
      if (!sweep.error.empty()) throw UsageError{sweep.error};
      controls.Text_AlfaD = sweep.angles.back();  // the reports hold the last angle
    }
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
  CreateMissingOutputFolder(reports.directory);
  const RunOutcome outcome = Command1_Click(*state, window, reports);
  if (outcome != RunOutcome::kCompleted) return 1;
  if (!sweep.angles.empty()) {
    try {
      if (!SweepAndWritePolar(*state, controls, sweep.angles, window, reports, err)) return 1;
    } catch (const RunError& error) {
      err << error.what() << '\n';
      return 1;
    }
  }
  if (pictures) {
    const std::string failure = pictures->Save(reports.directory);
    if (!failure.empty()) {
      err << failure << '\n';
      return 1;
    }
  }
  out << DerivedResultsLine(ComputeDerivedResults(*state, controls)) << '\n';
  return 0;
}

}  // namespace velquin
