// Measured or computed curves laid over the explorer's charts: a pressure distribution
// (x, Cp) or a polar (alpha, Cl and, when the file has them, Cd and Cm), read from
//  - XFOIL's polar file (PACC): its header, a line of dashes, then the columns its
//    header names (alpha CL CD CDp CM ...); the name from "Calculated polar for:";
//  - XFOIL's CPWR file: "#  x  Cp" (or "#  x  y  Cp"), then one node a line;
//  - plain CSV: an optional header line naming the columns (x,cp or alpha,cl[,cd,cm];
//    the explorer's own Cp export "x,y,cp,side" too), then the numbers; lines starting
//    with '#' are comments. Without a header the columns are x,cp or alpha,cl[,cd,cm].
// Numbers are separated by commas, blanks or tabs and use a point as the decimal
// separator, whatever the locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velquin {

enum class OverlayKind { kPressure, kPolar };

struct OverlayCurve {
  OverlayKind kind = OverlayKind::kPressure;
  std::string name;                       // from the file's header, else the file's name
  std::string path;                       // as given
  std::vector<double> x, cp;              // kPressure
  std::vector<double> alpha, cl, cd, cm;  // kPolar; cd and cm empty when the file has none
};

// Files longer than this are refused before they are read.
inline constexpr long long kMaxOverlayFileBytes = 1 << 20;

// Reads the file at `path` as a curve of that kind. On any fault returns nothing and
// sets `error` to one line naming the file and, where one is to blame, the line: a file
// that is not a regular file or cannot be read, larger than 1 MB, a line that is not the
// numbers the columns need, a number that is not finite, a header without the columns
// the kind needs, fewer than two points.
std::optional<OverlayCurve> ReadOverlayFile(const std::string& path, OverlayKind kind,
                                            std::string& error);

// The same on the text of a file; `path` as messages name it.
std::optional<OverlayCurve> ParseOverlayText(std::string_view text, const std::string& path,
                                             OverlayKind kind, std::string& error);

// "Cp file" or "polar file", as menus and messages name a kind.
const char* OverlayKindName(OverlayKind kind);

}  // namespace velquin
