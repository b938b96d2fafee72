// The viscous results as text: the pairs the stdout line gains with --re, the columns
// polar.csv gains, and the boundary-layer table bl.csv.
//
// Numbers as app/derived_text.h writes them: the shortest decimal form that reads back
// as the same double, a point as separator whatever the locale, "\n" line ends. The
// viscous analysis never gives NaN (viscous/panel_viscous.h); the lift-to-drag ratio is
// written 0 where the drag is not positive, so no column is ever NaN or infinite.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "viscous/panel_viscous.h"

namespace velquin {

// The columns polar.csv gains after kPolarHeader's with --re. converged is 1 where the
// interaction settled and 0 where the row holds its last pass (stall, mostly).
inline constexpr const char* kViscousPolarColumns =
    ",cl_viscous,cd,cl_cd,xtr_top,xtr_bottom,converged";

// The header of bl.csv.
inline constexpr const char* kBoundaryLayerHeader = "surface,s,x,y,ue,dstar,theta,h,cf,n";

// Several elements (the general problem) name their own values with the element's
// number K from 1, as the inviscid line does: the totals cl_viscous, cm_viscous and cd,
// then per element cl_viscous_K, cd_K, xtr_top_K, xtr_bottom_K, xsep_top_K,
// xsep_bottom_K (chord fractions of the element). One element writes the section's keys.

// " cl_viscous=... cm_viscous=... cd=... xtr_top=... xtr_bottom=... xsep_top=...
// xsep_bottom=...", then " converged=0" when the interaction did not settle (the values
// are then those of its last pass), and " cp_critical=..." when mach > 0; no line end.
std::string ViscousResultsPairs(const ViscousResult& result, double mach = 0);

// The fewest panels an element needs for its boundary layers: the layers' stations are
// the control points, and below this the drag of a section moves by more than 1 % with
// the panel count (NACA 0012 at 2 degrees, Re 1e6: 0.00607 at 40 panels, 0.00600 at 160,
// 0.00546 at 10).
inline constexpr int kFewestViscousPanels = 40;

// Below this Reynolds number the laminar layer runs long and separates in long bubbles,
// which a direct march cannot describe (docs/method.md, "Limits"): at Re 1000 NACA 2412
// at 4 degrees settled at a viscous lift half as large again as the inviscid one.
inline constexpr double kLowestSoundReynolds = 1e5;

// The columns after kPolarHeader's: kViscousPolarColumns for one element; for several
// ",cl_viscous,cd,cl_cd", then ",xtr_top_K,xtr_bottom_K" per element, then ",converged".
std::string ViscousPolarColumns(std::size_t element_count);

// The values of those columns at one angle, no line end.
std::string ViscousPolarValues(const ViscousResult& result);

// What makes the viscous results of a run doubtful, each a sentence: an element with
// fewer than kFewestViscousPanels panels (`fewest_panels`), a Reynolds number below
// kLowestSoundReynolds, and the angles where the Karman-Tsien flow turns supersonic
// somewhere, the first and the last named. Empty when nothing does.
std::vector<std::string> ViscousWarnings(const ViscousOptions& options, int fewest_panels,
                                         const std::vector<ViscousResult>& results,
                                         const std::vector<double>& alpha_degrees);

// cl_viscous / cd, or 0 where the drag is not positive.
double LiftToDrag(const ViscousResult& result);

// bl.csv: the header, then one line per station, the upper surface ("top") from the
// stagnation point to the trailing edge, then the lower ("bottom"); with several
// elements each element's in turn, "top_K" and "bottom_K".
std::string BoundaryLayerTable(const ViscousResult& result);

}  // namespace velquin
