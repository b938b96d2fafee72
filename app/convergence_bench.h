// The verification bench: exact potential flows solved by the general panel problem at
// a range of panel counts, each result set against its exact value, and the observed
// order of convergence of every quantity.
//
// The cases (docs/verification.md says how each exact answer is obtained):
//  - circle-vortex: the circle with the point vortex at its centre. The discrete problem
//    itself has a closed-form answer (the speed at every control point, the vortex
//    strength), so its errors are rounding at every count; beside it the lift against
//    the continuous 4 pi sin(alpha), which the discrete lift approaches as cos^2(pi / N).
//  - ellipse-plain, ellipse-kutta: the ellipse of thickness ratio 0.25 without
//    circulation (speed and the Munk moment) and with the Kutta-type condition at its rear
//    point (lift 2 pi (1 + t) sin(alpha), moment, pressure).
//  - karman-trefftz, joukowski: a cambered Karman-Trefftz section with a trailing-edge
//    angle and a cambered Joukowski section (cusp): exact lift, moment and pressure.
//  - williams: Williams' exact two-element aerofoil at its three data sets (50, 100,
//    200 panels per element): lift and pressure.
//  - ground: a section above the ground plane against the same section with its mirror
//    image as a second element. No exact solution: the two models are the same problem,
//    so they must agree to rounding.
//
// Panel counts double from 16 to 1024 per element. The general problem holds at most
// kMaxProblemPanels = 2000 panels in all, and the bench keeps that cap rather than
// raising it for itself: 2048 panels on one element would exceed it, and the ground
// case, whose mirror problem has two elements, stops at 512 per element.
//
// Every computed value is the general problem's, built by MakePanelProblem from the
// same inputs as `velquin2ds --batch --general` (or --ground), so it is the very number
// that command prints.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace velquin {

// How a quantity is judged.
enum class ConvergenceKind {
  kRounding,  // an exact answer of the discrete problem (or two forms of one problem):
              // the error stays below `tolerance` at every count
  kOrder,     // a discretisation error: its observed order is at least `required_order`
  kReported,  // shown with its observed order, not judged: the largest Cp deviation at a
              // sharp or cusped edge, which the panel next to the edge keeps from falling
};

struct ConvergenceQuantity {
  std::string name;  // "cl_circulation", "cl_pressure", "cm_quarter_chord", "cp_max", ...
  ConvergenceKind kind = ConvergenceKind::kOrder;
  double required_order = 0;  // kOrder: the order the bench requires
  double tolerance = 0;       // kRounding: the largest error allowed
};

struct ConvergenceCase {
  std::string name;         // "ellipse-kutta"
  std::string title;        // one line for the report
  std::vector<int> counts;  // panel counts per element, coarsest first
  std::vector<ConvergenceQuantity> quantities;
};

// One result: at `panels` per element the computed value of a quantity, its exact value
// and the error |computed - exact|. For "cp_max" the panel (Williams: the exact point)
// with the largest error, its computed and exact Cp; for "cp_rms" the root mean square
// of the Cp deviation over the contour (weighted by panel length; Williams: over the
// exact points), given as computed, with exact 0.
struct ConvergenceRow {
  int panels = 0;
  std::string quantity;
  double computed = 0, exact = 0, error = 0;
};

struct ConvergenceCaseResult {
  std::string name;
  std::vector<ConvergenceRow> rows;  // by count, then in the order of the quantities
  bool cancelled = false;
};

// The cases of the bench, in the order of the report.
const std::vector<ConvergenceCase>& VerificationCases();

// The rows of one case at one panel count per element. Throws RunError.
std::vector<ConvergenceRow> RunConvergencePoint(const ConvergenceCase& c, int panels);

// Called after each count with the counts done and the counts in all.
using ConvergenceProgress = std::function<void(int done, int total)>;

// One case at the given counts in order (the case's own when empty), for a caller such
// as the flow explorer that shows the convergence of one case: `progress` after each
// count, and `cancel`, when set, stops before the next count (the result then has the
// counts done and `cancelled`). Throws RunError.
ConvergenceCaseResult RunConvergenceCase(const ConvergenceCase& c, const std::vector<int>& counts,
                                         const ConvergenceProgress& progress = {},
                                         const std::atomic<bool>* cancel = nullptr);

// Every case at its counts on `threads` threads (at least 1), the largest problems first.
// Each (case, count) is solved on its own and its rows put in their place, so the
// result is the same bits whatever the number of threads. Throws RunError.
std::vector<ConvergenceCaseResult> RunVerificationBench(int threads,
                                                        const ConvergenceProgress& progress = {});

// The slope of log(error) against log(panels), least squares over the three finest
// counts, with its sign turned: the observed order (2 for errors that fall as N^-2).
// NaN with fewer than three counts or a zero error among them.
double ObservedOrder(const std::vector<int>& panels, const std::vector<double>& errors);

// The judgement of one quantity of one case.
struct ConvergenceVerdict {
  std::string case_name, quantity;
  ConvergenceKind kind = ConvergenceKind::kOrder;
  double order = 0;     // observed (kOrder)
  double required = 0;  // required order (kOrder) or tolerance (kRounding)
  double largest_error = 0, finest_error = 0;
  bool passed = false;
  std::string reason;  // why it fails, empty when it passes
};
std::vector<ConvergenceVerdict> JudgeConvergence(const std::vector<ConvergenceCaseResult>& results);

// verification.csv: "case,panels,quantity,computed,exact,error", one line per row,
// shortest round-trip numbers with a point, LF line ends.
std::string VerificationCsv(const std::vector<ConvergenceCaseResult>& results);

// verification.md: per case its title and a table of the errors of each quantity at
// every count with the observed and required order and the verdict.
std::string VerificationMarkdown(const std::vector<ConvergenceCaseResult>& results,
                                 const std::vector<ConvergenceVerdict>& verdicts);

}  // namespace velquin
