// Williams' exact two-element aerofoil (B. R. Williams, "An exact test case for the plane
// potential flow about two adjacent lifting aerofoils", ARC R&M 3717, 1973): a main
// aerofoil of chord 1 and an external flap deflected 30 degrees, whose flow at zero
// incidence was found exactly by conformal mapping. The panel nodes at 50, 100 and 200
// panels per element and the exact pressure at 61 points round each element are those
// of tests/data/williams (README there), built into the program so that the verification
// bench needs no data files.
#pragma once

#include <vector>

#include "geometry/body.h"

namespace velquin {

// The exact lift per unit dynamic pressure (main chord 1) at zero incidence.
inline constexpr double kWilliamsExactLift = 3.7386;
// The panel counts per element of the data sets.
inline constexpr int kWilliamsPanelCounts[] = {50, 100, 200};

enum class WilliamsElement { kMain, kFlap };

// The nodes of a data set as the file gives them: counter-clockwise (upper side first),
// the trailing edge first and again last; empty for a count without a data set.
std::vector<ContourPoint> WilliamsFileNodes(WilliamsElement element, int panels);

// The exact pressure coefficient round the element as (x, Cp) points (x in .x, Cp in
// .y): from the trailing edge along the upper side to the leading edge and back along
// the lower side.
std::vector<ContourPoint> WilliamsExactCp(WilliamsElement element);

}  // namespace velquin
