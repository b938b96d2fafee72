#include "cli/verify_command.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <thread>

#include "app/convergence_bench.h"
#include "base/report_folder.h"
#include "base/report_writer.h"
#include "base/run_error.h"
#include "base/text_number.h"
#include "cli/command_line.h"
#include "cli/standard_streams.h"
#include "display/convergence_plot.h"

namespace velquin {
namespace {

// The output folder of "--verify [--out DIR]"; throws UsageError for anything else.
std::string ParseVerifyArguments(const std::vector<std::string>& args) {
  std::string directory;
  bool out_given = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--verify") continue;
    std::string value;
    if (arg == "--out") {
      if (i + 1 >= args.size()) throw UsageError{"option '--out' needs a value"};
      value = args[++i];
    } else if (arg.rfind("--out=", 0) == 0) {
      value = arg.substr(6);
    } else {
      throw UsageError{"--verify takes only --out DIR, not " + QuotedArgument(arg)};
    }
    if (out_given) throw UsageError{"option '--out' given twice"};
    if (value.empty()) throw UsageError{"--out needs a directory"};
    out_given = true;
    directory = value;
  }
  return directory;
}

std::string Fixed(double value, int digits) {
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, digits);
  return std::string(buffer, result.ptr);
}

std::string Scientific(double value) {
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 2);
  return std::string(buffer, result.ptr);
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

void WriteText(const ReportOptions& reports, const char* name, const std::string& text) {
  ReportFile file(reports, name);
  file.out().Text(text);
  file.Close();
}

// A line per case and quantity: the colour of the case, the marker of the quantity.
std::vector<ConvergenceSeries> Series(const std::vector<ConvergenceCaseResult>& results) {
  std::vector<ConvergenceSeries> series;
  const std::vector<ConvergenceCase>& cases = VerificationCases();
  for (std::size_t c = 0; c < results.size() && c < cases.size(); ++c) {
    for (std::size_t q = 0; q < cases[c].quantities.size(); ++q) {
      ConvergenceSeries s;
      s.colour = ConvergenceColour(static_cast<int>(c));
      s.marker = static_cast<int>(q);
      for (const ConvergenceRow& row : results[c].rows) {
        if (row.quantity != cases[c].quantities[q].name) continue;
        s.panels.push_back(row.panels);
        s.errors.push_back(row.error);
      }
      series.push_back(std::move(s));
    }
  }
  return series;
}

}  // namespace

bool IsVerifyRequest(const std::vector<std::string>& args) {
  return std::find(args.begin(), args.end(), "--verify") != args.end();
}

std::string VerifySummary(const std::vector<ConvergenceVerdict>& verdicts) {
  std::string text = Padded("case", 16) + Padded("quantity", 18) + Padded("finest error", 14) +
                     Padded("order", 10) + Padded("required", 12) + "verdict\n";
  for (const ConvergenceVerdict& v : verdicts) {
    const bool rounding = v.kind == ConvergenceKind::kRounding;
    const bool reported = v.kind == ConvergenceKind::kReported;
    std::string required = reported ? "-" : Fixed(v.required, 1);
    if (rounding) required = "< " + Scientific(v.required);
    text += Padded(v.case_name, 16) + Padded(v.quantity, 18) +
            Padded(Scientific(v.finest_error), 14) +
            Padded(rounding ? "rounding" : Fixed(v.order, 2), 10) + Padded(required, 12) +
            (reported   ? "reported"
             : v.passed ? "ok"
                        : "FAILS") +
            "\n";
  }
  return text;
}

int RunVerifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const PictureFileWriter& write_picture, int threads) {
  std::string directory;
  try {
    directory = ParseVerifyArguments(args);
  } catch (const UsageError& error) {
    err << "velquin2ds: " << error.message << "\nusage: velquin2ds --verify [--out DIR]\n";
    return 2;
  }
  if (threads <= 0) {
    threads = static_cast<int>(std::max(1u, std::min(8u, std::thread::hardware_concurrency())));
  }
  try {
    const std::vector<ConvergenceCaseResult> results = RunVerificationBench(threads);
    const std::vector<ConvergenceVerdict> verdicts = JudgeConvergence(results);
    ReportFolder folder(directory);
    const ReportOptions reports{directory, '.', &folder};
    WriteText(reports, "verification.csv", VerificationCsv(results));
    WriteText(reports, "verification.md", VerificationMarkdown(results, verdicts));
    if (write_picture) {
      const std::vector<ConvergenceSeries> series = Series(results);
      const std::string path =
          directory.empty() ? "Convergence.png" : directory + "/Convergence.png";
      const std::string failure = write_picture(
          kConvergencePlotWidth, kConvergencePlotHeight, kWhite,
          [&series](Picture& picture) { DrawConvergencePlot(picture, series); }, path);
      if (!failure.empty()) {
        err << "velquin2ds: " << failure << '\n';
        return 1;
      }
    } else {
      err << "velquin2ds: note: this build draws no pictures; Convergence.png is not written\n";
    }
    if (!WriteResults(out, VerifySummary(verdicts), err)) return 1;
    int status = 0;
    for (const ConvergenceVerdict& v : verdicts) {
      if (v.passed) continue;
      err << "velquin2ds: case " << v.case_name << ", " << v.quantity
          << " does not converge as documented: " << v.reason << '\n';
      status = 1;
    }
    return status;
  } catch (const RunError& error) {
    err << "velquin2ds: " << error.what() << '\n';
    return 1;
  }
}

}  // namespace velquin
