// The viscous results as text: the pairs the stdout line gains with --re, the columns
// polar.csv gains, and the boundary-layer table bl.csv.
//
// Numbers as app/derived_text.h writes them: the shortest decimal form that reads back
// as the same double, a point as separator whatever the locale, "\n" line ends. The
// viscous analysis never gives NaN (viscous/panel_viscous.h); the lift-to-drag ratio is
// written 0 where the drag is not positive, so no column is ever NaN or infinite.
#pragma once

#include <string>
#include <string_view>

#include "viscous/panel_viscous.h"

namespace velquin {

// The columns polar.csv gains after kPolarHeader's with --re.
inline constexpr const char* kViscousPolarColumns = ",cl_viscous,cd,cl_cd,xtr_top,xtr_bottom";

// The header of bl.csv.
inline constexpr const char* kBoundaryLayerHeader = "surface,s,x,y,ue,dstar,theta,h,cf,n";

// " cl_viscous=... cm_viscous=... cd=... xtr_top=... xtr_bottom=... xsep_top=...
// xsep_bottom=...", then " converged=0" when the interaction did not settle (the values
// are then those of its last pass); no line end.
std::string ViscousResultsPairs(const ViscousResult& result);

// ",cl_viscous,cd,cl_cd,xtr_top,xtr_bottom" values of one angle, no line end.
std::string ViscousPolarValues(const ViscousResult& result);

// cl_viscous / cd, or 0 where the drag is not positive.
double LiftToDrag(const ViscousResult& result);

// bl.csv: the header, then one line per station, the upper surface ("top") from the
// stagnation point to the trailing edge, then the lower ("bottom").
std::string BoundaryLayerTable(const ViscousResult& result);

}  // namespace velquin
