#include "app/viscous_text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "app/derived_text.h"
#include "base/text_number.h"

namespace velquin {
namespace {

void AppendSurface(std::string& out, const char* name, const SurfaceBoundaryLayer& layer) {
  for (const BoundaryLayerStation& b : layer.stations) {
    out += name;
    for (const double value : {b.s, b.x, b.y, b.ue, b.dstar, b.theta, b.h, b.cf, b.n}) {
      out += ',';
      AppendShortestNumber(out, value);
    }
    out += '\n';
  }
}

}  // namespace

double LiftToDrag(const ViscousResult& result) {
  const double ratio = result.cl_viscous / result.cd;
  return result.cd > 0 && std::isfinite(ratio) ? ratio : 0.0;
}

std::string ViscousResultsPairs(const ViscousResult& result, double mach) {
  // The pairs follow the inviscid ones on the same line.
  std::string out;
  AppendKeyValue(out, "cl_viscous", result.cl_viscous);
  AppendKeyValue(out, "cm_viscous", result.cm_viscous);
  AppendKeyValue(out, "cd", result.cd);
  if (result.elements.size() > 1) {
    for (std::size_t k = 0; k < result.elements.size(); ++k) {
      const ElementViscousResult& e = result.elements[k];
      const std::string suffix = "_" + std::to_string(k + 1);
      AppendKeyValue(out, "cl_viscous" + suffix, e.cl_viscous);
      AppendKeyValue(out, "cd" + suffix, e.cd);
      AppendKeyValue(out, "xtr_top" + suffix, e.xtr_top);
      AppendKeyValue(out, "xtr_bottom" + suffix, e.xtr_bottom);
      AppendKeyValue(out, "xsep_top" + suffix, e.xsep_top);
      AppendKeyValue(out, "xsep_bottom" + suffix, e.xsep_bottom);
    }
  } else {
    AppendKeyValue(out, "xtr_top", result.xtr_top);
    AppendKeyValue(out, "xtr_bottom", result.xtr_bottom);
    AppendKeyValue(out, "xsep_top", result.xsep_top);
    AppendKeyValue(out, "xsep_bottom", result.xsep_bottom);
  }
  if (!result.converged) out += " converged=0";
  if (mach > 0) {
    out += " cp_critical=";
    AppendShortestNumber(out, result.cp.critical);
  }
  return " " + out;
}

std::string ViscousPolarColumns(std::size_t element_count) {
  if (element_count <= 1) return kViscousPolarColumns;
  std::string out = ",cl_viscous,cd,cl_cd";
  for (std::size_t k = 1; k <= element_count; ++k) {
    out += ",xtr_top_" + std::to_string(k) + ",xtr_bottom_" + std::to_string(k);
  }
  return out + ",converged";
}

std::string ViscousPolarValues(const ViscousResult& result) {
  std::vector<double> values = {result.cl_viscous, result.cd, LiftToDrag(result)};
  if (result.elements.size() > 1) {
    for (const ElementViscousResult& e : result.elements) {
      values.push_back(e.xtr_top);
      values.push_back(e.xtr_bottom);
    }
  } else {
    values.push_back(result.xtr_top);
    values.push_back(result.xtr_bottom);
  }
  std::string out;
  for (const double value : values) {
    out += ',';
    AppendShortestNumber(out, value);
  }
  return out + (result.converged ? ",1" : ",0");
}

namespace {

std::string FewPanelsWarning(int fewest_panels) {
  if (fewest_panels >= kFewestViscousPanels) return {};
  return std::to_string(fewest_panels) +
         " panels are few for the boundary layers: their drag and lift are rough (" +
         std::to_string(kFewestViscousPanels) + " or more an element are advised)";
}

std::string LowReynoldsWarning(double reynolds) {
  if (!(reynolds < kLowestSoundReynolds)) return {};
  return "Re " + NumberText(reynolds) +
         " lies below 1e5: long laminar bubbles are outside this method, the drag and lift "
         "are rough";
}

std::string SupersonicWarning(const std::vector<ViscousResult>& results,
                              const std::vector<double>& alpha_degrees) {
  std::vector<double> supersonic_angles;
  int most_panels = 0;
  for (std::size_t k = 0; k < results.size() && k < alpha_degrees.size(); ++k) {
    int supersonic = 0;
    for (const unsigned char flag : results[k].cp.supersonic) supersonic += flag != 0;
    if (supersonic > 0) supersonic_angles.push_back(alpha_degrees[k]);
    most_panels = std::max(most_panels, supersonic);
  }
  if (supersonic_angles.empty()) return "";
  std::string text = "the local flow is supersonic (Cp below the critical ";
  AppendShortestNumber(text, results.back().cp.critical);
  text += ") on up to " + std::to_string(most_panels) + " panels at alpha ";
  AppendShortestNumber(text, supersonic_angles.front());
  if (supersonic_angles.size() > 1) {
    text += " to ";
    AppendShortestNumber(text, supersonic_angles.back());
    text += " (" + std::to_string(supersonic_angles.size()) + " angles)";
  }
  text += ": the Karman-Tsien correction does not hold there";
  return text;
}

}  // namespace

std::vector<std::string> ViscousWarnings(const ViscousOptions& options, int fewest_panels,
                                         const std::vector<ViscousResult>& results,
                                         const std::vector<double>& alpha_degrees) {
  std::vector<std::string> warnings;
  for (std::string w : {FewPanelsWarning(fewest_panels), LowReynoldsWarning(options.reynolds),
                        SupersonicWarning(results, alpha_degrees)}) {
    if (!w.empty()) warnings.push_back(std::move(w));
  }
  return warnings;
}

std::string BoundaryLayerTable(const ViscousResult& result) {
  std::string out(kBoundaryLayerHeader);
  out += '\n';
  std::size_t stations = 0;
  for (const ElementViscousResult& e : result.elements)
    stations += e.top.stations.size() + e.bottom.stations.size();
  out.reserve(out.size() +
              160 * (stations + result.top.stations.size() + result.bottom.stations.size()));
  if (result.elements.size() <= 1) {
    AppendSurface(out, "top", result.top);
    AppendSurface(out, "bottom", result.bottom);
    return out;
  }
  for (std::size_t k = 0; k < result.elements.size(); ++k) {
    const std::string number = std::to_string(k + 1);
    AppendSurface(out, ("top_" + number).c_str(), result.elements[k].top);
    AppendSurface(out, ("bottom_" + number).c_str(), result.elements[k].bottom);
  }
  return out;
}

}  // namespace velquin
