#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <system_error>

#include "app/calculation_run.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "cli/angle_range.h"
#include "cli/problem_batch.h"
#include "geometry/body_names.h"

namespace velquin {
namespace {

// The farthest an element or the ground may lie, in reference lengths. The kernel squares
// distances: at 1e160 they overflow and the system turns singular. A million chords is
// free flight for every purpose.
constexpr double kMaxLayoutLength = 1e6;
constexpr const char* kMaxLayoutLengthText = "1e6";
// The smallest chord of a placed element: a millionth of the reference length, below
// which its panels are shorter than the rounding of their coordinates.
constexpr double kMinChord = 1e-6;

// The options of the command line; flags take no value. Input options set the
// controls of a run and also preset the window; the others only make sense with --batch.
struct OptionSpec {
  const char* name;
  bool takes_value;
  bool input;
};
const OptionSpec kOptions[] = {
    {"--batch", false, false},      {"--panels", true, true},    {"--body", true, true},
    {"--alpha", true, true},        {"--xv", true, true},        {"--yv", true, true},
    {"--circulation", false, true}, {"--vortex", true, true},    {"--out", true, false},
    {"--images", false, false},     {"--sweep", true, false},    {"--body-file", true, true},
    {"--flow", false, false},       {"--explore", false, false}, {"--place", true, false},
    {"--flap", true, false},        {"--ground", true, false},   {"--general", false, false},
    {"--re", true, false},          {"--ncrit", true, false},    {"--xtr", true, false},
    {"--mach", true, false},
};

// Options that a --batch command line may give again: every --body and --body-file is an
// element, and --place and --flap belong to the element before them.
bool IsRepeatable(const std::string& name) {
  return name == "--body" || name == "--body-file" || name == "--place" || name == "--flap";
}

const OptionSpec* FindOption(const std::string& name) {
  const auto it = std::find_if(std::begin(kOptions), std::end(kOptions),
                               [&](const OptionSpec& option) { return name == option.name; });
  return it == std::end(kOptions) ? nullptr : &*it;
}

// The options as given: name -> value ("" for flags), and in `sequence` all of them in
// their order. Each option at most once, but for the repeatable ones when `repeats`; a
// value follows its option as the next argument or after "=".
std::map<std::string, std::string> ParseOptions(
    const std::vector<std::string>& args, bool repeats = false,
    std::vector<std::pair<std::string, std::string>>* sequence = nullptr) {
  std::map<std::string, std::string> options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    const std::size_t equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const OptionSpec* option = FindOption(name);
    if (option == nullptr) throw UsageError{"unknown option " + QuotedArgument(name)};
    if (!option->takes_value && value) {
      throw UsageError{"option " + QuotedArgument(name) + " takes no value"};
    }
    if (option->takes_value && !value) {
      if (i + 1 >= args.size())
        throw UsageError{"option " + QuotedArgument(name) + " needs a value"};
      value = args[++i];
    }
    if (options.count(name) != 0 && !(repeats && IsRepeatable(name)))
      throw UsageError{"option " + QuotedArgument(name) + " given twice"};
    if (options.count(name) == 0) options[name] = value.value_or("");
    if (sequence != nullptr) sequence->emplace_back(name, value.value_or(""));
  }
  return options;
}

// The body of --body: the window's two bodies by its options, any other as Other_Body.
void SetBody(const std::string& name, ControlValues& controls) {
  std::string error;
  const BodyPtr body = BodyFromName(name, error);
  if (!body) throw UsageError{error};
  controls.Option_Circle = body == CircleBody();
  controls.Option_NACA12 = body == Naca0012Body();
  if (!controls.Option_Circle && !controls.Option_NACA12) controls.Other_Body = body;
}

void SetVortexModel(const std::string& name, ControlValues& controls) {
  std::string model = name;
  for (char& c : model) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (model != "point" && model != "constant") {
    throw UsageError{"--vortex must be 'point' or 'constant', not " + QuotedArgument(name)};
  }
  controls.Option_PointVortex = model == "point";
  controls.Option_ConstVortex = model == "constant";
}

ControlValues ControlsFromOptions(const std::map<std::string, std::string>& options) {
  ControlValues controls;
  controls.source = ControlValues::Source::kCommandLine;
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
    SetBody(body->second, controls);
  }
  if (const auto vortex = options.find("--vortex"); vortex != options.end()) {
    SetVortexModel(vortex->second, controls);
  }
  return controls;
}

// A plain number of an option's value: decimal or exponent form, a point as separator,
// nothing else around it.
double OptionNumber(const std::string& option, const std::string& value, std::string_view field) {
  double number = 0;
  const char* first = field.data();
  const char* last = field.data() + field.size();
  if (first != last && *first == '+') ++first;
  const auto [end, code] = std::from_chars(first, last, number);
  if (code != std::errc() || end != last || field.empty() || !std::isfinite(number)) {
    throw UsageError{option + " " + QuotedArgument(value) + ": " + QuotedArgument(field) +
                     " is not a number"};
  }
  return number;
}

// "A:B:..." as `count` plain numbers.
std::vector<double> OptionNumbers(const std::string& option, const std::string& value,
                                  std::size_t count, const char* form) {
  std::vector<double> numbers;
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = value.find(':', start);
    const std::string_view field = std::string_view(value).substr(
        start, colon == std::string::npos ? std::string::npos : colon - start);
    numbers.push_back(OptionNumber(option, value, field));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  if (numbers.size() != count) {
    throw UsageError{option + " takes " + form + ", not " + QuotedArgument(value)};
  }
  return numbers;
}

// The elements of the general problem from the options in their order.
void ReadElements(const std::vector<std::pair<std::string, std::string>>& sequence,
                  BatchRequest& request) {
  for (const auto& [name, value] : sequence) {
    if (name == "--body" || name == "--body-file") {
      ElementRequest element;
      element.file = name == "--body-file";
      element.value = value;
      if (element.file && value.empty()) throw UsageError{"--body-file needs a file"};
      if (!element.file) {
        std::string error;
        if (!BodyFromName(value, error)) throw UsageError{error};
      }
      request.elements.push_back(element);
    } else if (name == "--place" || name == "--flap") {
      if (request.elements.empty()) {
        throw UsageError{name + " must follow the --body or --body-file it belongs to"};
      }
      ElementRequest& element = request.elements.back();
      if (name == "--place") {
        if (element.placement) throw UsageError{"--place given twice for one element"};
        const std::vector<double> n = OptionNumbers(name, value, 4, "X:Y:DEG:CHORD");
        if (!(n[3] >= kMinChord)) {
          throw UsageError{"--place: the chord must be at least 1e-6, not " +
                           QuotedArgument(value)};
        }
        if (!(std::fabs(n[0]) <= kMaxLayoutLength && std::fabs(n[1]) <= kMaxLayoutLength &&
              n[3] <= kMaxLayoutLength)) {
          throw UsageError{std::string("--place: X, Y and the chord must lie within ") +
                           kMaxLayoutLengthText + ", not " + QuotedArgument(value)};
        }
        element.placement = Placement{n[0], n[1], n[2], n[3]};
      } else {
        if (element.flap) throw UsageError{"--flap given twice for one element"};
        const std::vector<double> n = OptionNumbers(name, value, 2, "XH:DEG");
        element.flap = Flap{n[0], n[1]};
      }
    } else if (name == "--ground") {
      request.ground_height = OptionNumbers(name, value, 1, "a height H")[0];
      if (!(*request.ground_height > 0 && *request.ground_height <= kMaxLayoutLength)) {
        throw UsageError{std::string("--ground needs a positive height up to ") +
                         kMaxLayoutLengthText + ", not " + QuotedArgument(value)};
      }
    }
  }
  bool placed = false;
  for (const ElementRequest& e : request.elements) placed = placed || e.placement || e.flap;
  request.general = request.elements.size() > 1 || placed || request.ground_height ||
                    request.options.count("--general") != 0;
}

// The viscous options. --re switches the analysis on and the others need it; each value
// is a plain number (malformed: a usage error naming the option and the value) within
// the range where the boundary-layer closures and the Karman-Tsien correction hold.
void ReadViscousOptions(BatchRequest& request) {
  const auto& options = request.options;
  const auto re = options.find("--re");
  if (re == options.end()) {
    for (const char* name : {"--ncrit", "--xtr", "--mach"}) {
      if (options.count(name) != 0) {
        throw UsageError{std::string(name) + " belongs to the viscous analysis: it needs --re"};
      }
    }
    return;
  }
  ViscousOptions viscous;
  viscous.reynolds = OptionNumbers("--re", re->second, 1, "one Reynolds number RE")[0];
  if (!(viscous.reynolds >= kLeastReynolds && viscous.reynolds <= kMostReynolds)) {
    throw UsageError{"--re must lie between 1000 and 1e9, not " + QuotedArgument(re->second)};
  }
  if (const auto n = options.find("--ncrit"); n != options.end()) {
    viscous.ncrit = OptionNumbers("--ncrit", n->second, 1, "one amplification exponent N")[0];
    if (!(viscous.ncrit > 0 && viscous.ncrit <= kMostNcrit)) {
      throw UsageError{"--ncrit must lie above 0 and at most 30, not " + QuotedArgument(n->second)};
    }
  }
  if (const auto xtr = options.find("--xtr"); xtr != options.end()) {
    const std::vector<double> x = OptionNumbers("--xtr", xtr->second, 2, "XT:XB");
    if (!(x[0] >= 0 && x[0] <= 1 && x[1] >= 0 && x[1] <= 1)) {
      throw UsageError{"--xtr takes chord fractions from 0 to 1 (1: free transition), not " +
                       QuotedArgument(xtr->second)};
    }
    viscous.xtr_top = x[0];
    viscous.xtr_bottom = x[1];
  }
  if (const auto mach = options.find("--mach"); mach != options.end()) {
    viscous.mach = OptionNumbers("--mach", mach->second, 1, "one Mach number M")[0];
    if (!(viscous.mach >= 0 && viscous.mach < 1)) {
      throw UsageError{"--mach must lie in 0 <= M < 1 (subsonic free stream), not " +
                       QuotedArgument(mach->second)};
    }
  }
  bool circle = false;
  if (request.general) {
    for (const ElementRequest& e : request.elements)
      circle = circle || (!e.file && BodyNameKey(e.value) == "circle");
  } else {
    circle =
        request.body_file.empty() && !request.controls.Other_Body && request.controls.Option_Circle;
  }
  if (circle && request.general) {
    throw UsageError{
        "--re needs elements with a trailing edge: the circle has none, and no boundary "
        "layer that separates at an edge"};
  }
  if (circle) {
    throw UsageError{
        "--re needs a section with a trailing edge (--body NAME or --body-file PATH); the "
        "circle carries no circulation and no boundary layer that separates at an edge"};
  }
  if (options.count("--circulation") == 0) {
    throw UsageError{
        "--re needs --circulation: the boundary layers start from the lifting solution "
        "that the Kutta-type condition gives"};
  }
  request.viscous = viscous;
}

}  // namespace

std::string UsageText() {
  return "usage: velquin2ds --batch [--panels TEXT] [--body NAME | --body-file PATH]\n"
         "                          [--alpha TEXT] [--circulation] [--vortex point|constant]\n"
         "                          [--xv TEXT] [--yv TEXT] [--out DIR] [--images]\n"
         "                          [--sweep FROM:TO:STEP] [--flow]\n"
         "                          [--re RE [--ncrit N] [--xtr XT:XB] [--mach M]]\n"
         "       velquin2ds --batch [--body NAME | --body-file PATH [--place X:Y:DEG:CHORD]\n"
         "                          [--flap XH:DEG]]... [--ground H] [--general] [OPTION]...\n"
         "       velquin2ds --explore SESSION-FILE\n"
         "       velquin2ds --explore [--panels TEXT] [--body NAME | --body-file PATH]\n"
         "                            [--alpha TEXT] [--circulation] [--vortex point|constant]\n"
         "                            [--xv TEXT] [--yv TEXT]\n"
         "       velquin2ds --verify [--out DIR]\n"
         "       velquin2ds --help | --version\n"
         "\n"
         "Runs one calculation without a window and writes Output_Panel.txt,\n"
         "Output_InfCoeffs.txt and Output_PressCoeffs.txt into DIR (default: the current\n"
         "directory). TEXT values are read like the window's input fields. Defaults: 8 panels,\n"
         "circle, angle 0, no circulation, no vortex model, vortex at (0.5, 0).\n"
         "NAME is one of " +
         BodyNamesSynopsis() +
         "\n"
         "(case-insensitive): NACA 4- and 5-digit sections such as naca2412, naca23012 or\n"
         "the reflex naca23112; the Karman-Trefftz section of the circle centred at (XC, YC)\n"
         "through 1 (XC < 0) with the trailing-edge angle TAU degrees (0 <= TAU < 180), and\n"
         "the Joukowski section, the same with TAU = 0; ellipse:T, the ellipse of chord 1 and\n"
         "thickness ratio T (0.001 <= T <= 1).\n"
         "--body-file PATH reads a section from a Selig or Lednicer coordinate file: its\n"
         "points are the nodes, or with --panels the contour is re-panelled.\n"
         "--images also writes Picture_Airfoil.png, Picture_Pressure.png, Picture_Matrix.png.\n"
         "After a completed run one line of key=value pairs goes to standard output:\n"
         "cl_circulation, cl_pressure, cm_quarter_chord, source_sum (and circle_deviation\n"
         "for the circle with the point vortex at its centre; cl_exact, cm_exact and\n"
         "exact_deviation, against the exact flow, for the ellipse and the Karman-Trefftz\n"
         "and Joukowski sections).\n"
         "--sweep FROM:TO:STEP (degrees, each read like TEXT, instead of --alpha) runs every\n"
         "angle FROM, FROM+STEP, ... up to TO (at most 10001) and writes DIR/polar.csv; the\n"
         "reports and the line on standard output are those of the last angle.\n"
         "--flow also writes the flow explorer's Flow.png and Cp.png (and Polar.png with\n"
         "--sweep), for the general problem too, with --re the boundary layers drawn as the\n"
         "explorer draws them. --explore opens the flow explorer with the inputs instead.\n"
         "The general problem: every --body and --body-file is an element, in the order\n"
         "given (a file may hold several, separated by a line '999 999', and is then the\n"
         "general problem by itself); --place puts the\n"
         "element before it at (X, Y), turned DEG degrees about its leading edge (positive:\n"
         "trailing edge down) and scaled to CHORD; --flap deflects the part behind the hinge\n"
         "at chord fraction XH (0.05..0.95) by DEG (+-60, positive down); --ground H puts a\n"
         "ground plane H below the quarter chord; --general solves one element as the\n"
         "general problem. Up to 2000 panels in all (--panels per element, default 160 for a\n"
         "body by name); writes surface.csv instead of the three reports, and prints the\n"
         "lift per element (cl_pressure_K, cl_circulation_K) as well.\n"
         "--re RE (1000 to 1e9, on the chord) adds the viscous analysis of a section with\n"
         "--circulation: boundary layers with e^N transition (--ncrit N, default 9), tripped\n"
         "at --xtr XT:XB (upper:lower chord fractions, default 1:1, free) and coupled to the\n"
         "panels by transpiration. The line gains cl_viscous, cm_viscous, cd, xtr_top,\n"
         "xtr_bottom, xsep_top, xsep_bottom (and converged=0 when the interaction did not\n"
         "settle); DIR/bl.csv holds the layers station by station, and polar.csv gains\n"
         "cl_viscous, cd, cl_cd, xtr_top, xtr_bottom, converged (0 where the interaction\n"
         "did not settle, stalled angles mostly). In the general problem every element\n"
         "has its own layers; with several, the line gives the totals and per element\n"
         "cl_viscous_K, cd_K, xtr_top_K, xtr_bottom_K, xsep_top_K, xsep_bottom_K (fractions\n"
         "of the element's chord). --mach M (0 <= M < 1, default 0)\n"
         "corrects the pressures by Karman-Tsien, adds cp_critical to the line and warns\n"
         "where the local flow turns supersonic.\n"
         "--verify runs the verification bench (exact flows at 16 to 1024 panels) and writes\n"
         "verification.csv, verification.md and Convergence.png into DIR; exit status 1\n"
         "names a case that does not converge as documented (docs/verification.md).\n"
         "Exit status: 0 run completed, 1 run error or zero pivot, 2 malformed command line.\n";
}

std::string ShortUsage(const UsageError& error) {
  return "velquin2ds: " + error.message +
         "\n"
         "usage: velquin2ds [--batch] [--panels TEXT] [--body NAME] [--alpha TEXT] [OPTION]...\n"
         "Try 'velquin2ds --help'.\n";
}

bool IsCommandLineMode(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& arg) {
    return arg == "--batch" || arg == "--help" || arg == "-h" || arg == "--version" ||
           arg == "--verify";
  });
}

ControlValues ParseWindowCommand(const std::vector<std::string>& args) {
  const std::map<std::string, std::string> options = ParseOptions(args);
  for (const auto& option : options) {
    if (!FindOption(option.first)->input) {
      throw UsageError{"option " + QuotedArgument(option.first) +
                       " needs --batch (the window writes its reports into the current "
                       "directory when Calculate is pressed)"};
    }
  }
  if (options.count("--body-file") != 0) {
    throw UsageError{
        "the window offers the circle and the NACA 0012 section; run --body-file "
        "with --batch"};
  }
  ControlValues controls = ControlsFromOptions(options);
  if (controls.Other_Body) {
    throw UsageError{"the window offers the circle and the NACA 0012 section; run " +
                     QuotedArgument(options.at("--body")) + " with --batch"};
  }
  controls.source = ControlValues::Source::kWindow;
  return controls;
}

BatchRequest ParseBatchCommand(const std::vector<std::string>& args) {
  BatchRequest request;
  std::vector<std::pair<std::string, std::string>> sequence;
  request.options = ParseOptions(args, /*repeats=*/true, &sequence);
  const auto& options = request.options;
  if (options.count("--batch") == 0) throw UsageError{"--batch is missing"};
  ReadElements(sequence, request);
  request.controls = ControlsFromOptions(options);
  if (const auto range = options.find("--sweep"); range != options.end()) {
    if (options.count("--alpha") != 0) throw UsageError{"--alpha and --sweep exclude each other"};
    AngleRange sweep = ParseAngleRange(range->second);
    if (!sweep.error.empty()) throw UsageError{sweep.error};
    request.sweep_angles = std::move(sweep.angles);
    request.sweep_notes = std::move(sweep.notes);
    request.controls.Text_AlfaD = request.sweep_angles.back();  // the reports hold the last
  }
  if (const auto out = options.find("--out"); out != options.end()) {
    if (out->second.empty()) throw UsageError{"--out needs a directory"};
    request.out_directory = out->second;
  }
  if (const auto file = options.find("--body-file"); file != options.end() && !request.general) {
    if (options.count("--body") != 0) throw UsageError{"--body and --body-file exclude each other"};
    if (file->second.empty()) throw UsageError{"--body-file needs a file"};
    request.body_file = file->second;
  }
  if (options.count("--explore") != 0) throw UsageError{"--batch and --explore exclude each other"};
  request.images = options.count("--images") != 0;
  request.flow = options.count("--flow") != 0;
  if (request.general && request.images) {
    throw UsageError{
        "--images draws the three pictures of a single-element run; the general "
        "problem writes surface.csv"};
  }
  ReadViscousOptions(request);
  return request;
}

bool IsHelpRequest(const std::vector<std::string>& args) {
  return std::find(args.begin(), args.end(), "--help") != args.end() ||
         std::find(args.begin(), args.end(), "-h") != args.end();
}

// Notes on options that the run does not use: the vortex model and position without
// circulation, the position with the constant vortex distribution.
std::vector<std::string> IgnoredOptionNotes(const BatchRequest& request) {
  std::vector<std::string> notes;
  const auto& options = request.options;
  const bool circulation = options.count("--circulation") != 0;
  const bool point_vortex = request.controls.Option_PointVortex;
  for (const std::string name : {"--vortex", "--xv", "--yv"}) {
    const auto option = options.find(name);
    if (option == options.end()) continue;
    const bool position = name != "--vortex";
    const std::string given = name + " " + QuotedArgument(option->second);
    if (!circulation) {
      notes.push_back(given + " is ignored without --circulation");
    } else if (position && !point_vortex) {
      notes.push_back(given + " is ignored: only the point vortex has a position");
    }
  }
  // A section without circulation gets no Kutta-type condition: the flow goes round its
  // trailing edge and it carries no lift. The run is as asked; the note says how to lift.
  const bool section = options.count("--body-file") != 0 ||
                       (options.count("--body") != 0 && !request.controls.Option_Circle);
  if (section && !circulation) {
    notes.push_back(
        "without --circulation a section has no Kutta condition and no lift; give "
        "--circulation --vortex constant");
  }
  return notes;
}

std::optional<SectionPoints> SetBodyFromFile(const std::string& path, bool panels_given,
                                             ControlValues& controls, std::string& error) {
  std::optional<SectionPoints> section = ReadSectionFile(path, error);
  if (!section) return std::nullopt;
  std::optional<double> NP;
  if (panels_given) {
    try {
      NP = ReadNumber(controls.Text_NP);
    } catch (const RunError&) {
      NP = std::nan("");  // left to the run's reading, which names the overflow
    }
  }
  controls.Other_Body = SectionFileBody(*section, NP, controls.Check_Circulation == 1, error);
  if (!controls.Other_Body) return std::nullopt;
  if (!NP) controls.Text_NP = std::to_string(*controls.Other_Body->OwnPanelCount());
  return section;
}

bool IsExplorerMode(const std::vector<std::string>& args) {
  return !IsCommandLineMode(args) && std::find(args.begin(), args.end(), "--explore") != args.end();
}

ExplorerCommand ParseExplorerCommand(const std::vector<std::string>& args) {
  ExplorerCommand command;
  if (args.size() == 2 && args[0] == "--explore" && args[1].rfind("-", 0) != 0) {
    command.session = args[1];
    return command;
  }
  try {
    // The elements of the general problem, as --batch reads them.
    BatchRequest request;
    std::vector<std::pair<std::string, std::string>> sequence;
    request.options = ParseOptions(args, /*repeats=*/true, &sequence);
    const std::map<std::string, std::string>& options = request.options;
    if (options.count("--explore") == 0) throw UsageError{"--explore is missing"};
    for (const auto& option : options) {
      const bool element = option.first == "--place" || option.first == "--flap" ||
                           option.first == "--ground" || option.first == "--general";
      if (option.first != "--explore" && !element && !FindOption(option.first)->input) {
        throw UsageError{"option " + QuotedArgument(option.first) + " is not for the explorer"};
      }
    }
    ReadElements(sequence, request);
    ControlValues controls = ControlsFromOptions(options);
    const bool vortex_given = options.count("--vortex") != 0;
    const bool file_given = options.count("--body-file") != 0;
    // The explorer's defaults: a section lifts, the circle does not.
    const bool circle = !file_given && !controls.Other_Body && controls.Option_Circle;
    if (options.count("--circulation") == 0) controls.Check_Circulation = vortex_given || !circle;
    if (!vortex_given) controls.Option_ConstVortex = true;
    if (request.general) {
      request.controls = controls;
      command.problem = ReadProblemInputs(request);
      // The window opens on the first element; the problem then fills its inputs.
      const ElementInput& first = command.problem->elements.front();
      command.inputs.body = first.body ? first.body : Naca0012Body();
      command.inputs.NP = 60;
      command.inputs.circulation = command.problem->vortex != VortexModel::kNone;
      command.inputs.vortex = command.problem->vortex;
      command.inputs.alpha_degrees = ReadNumber(controls.Text_AlfaD);
      return command;
    }
    if (file_given) {
      if (options.count("--body") != 0)
        throw UsageError{"--body and --body-file exclude each other"};
      std::string error;
      command.section = SetBodyFromFile(options.at("--body-file"), options.count("--panels") != 0,
                                        controls, error);
      if (!command.section) {
        command.error = "velquin2ds: " + error + '\n';
        command.error_status = 1;
        return command;
      }
    }
    command.inputs = ReadRunInputs(controls);
  } catch (const UsageError& error) {
    command.error = ShortUsage(error);
  } catch (const RunError& error) {
    command.error = std::string("velquin2ds: ") + error.what() + '\n';
    command.error_status = 1;
  }
  return command;
}

}  // namespace velquin
