#include "app/viscous_text.h"

#include <cmath>

#include "app/derived_text.h"

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

std::string ViscousResultsPairs(const ViscousResult& result) {
  // The pairs follow the inviscid ones on the same line.
  std::string out;
  AppendKeyValue(out, "cl_viscous", result.cl_viscous);
  AppendKeyValue(out, "cm_viscous", result.cm_viscous);
  AppendKeyValue(out, "cd", result.cd);
  AppendKeyValue(out, "xtr_top", result.xtr_top);
  AppendKeyValue(out, "xtr_bottom", result.xtr_bottom);
  AppendKeyValue(out, "xsep_top", result.xsep_top);
  AppendKeyValue(out, "xsep_bottom", result.xsep_bottom);
  if (!result.converged) out += " converged=0";
  return " " + out;
}

std::string ViscousPolarValues(const ViscousResult& result) {
  std::string out;
  for (const double value :
       {result.cl_viscous, result.cd, LiftToDrag(result), result.xtr_top, result.xtr_bottom}) {
    out += ',';
    AppendShortestNumber(out, value);
  }
  return out;
}

std::string BoundaryLayerTable(const ViscousResult& result) {
  std::string out(kBoundaryLayerHeader);
  out += '\n';
  out.reserve(out.size() + 160 * (result.top.stations.size() + result.bottom.stations.size()));
  AppendSurface(out, "top", result.top);
  AppendSurface(out, "bottom", result.bottom);
  return out;
}

}  // namespace velquin
