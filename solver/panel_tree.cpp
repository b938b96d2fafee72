#include "solver/panel_tree.h"

#include <algorithm>
#include <cmath>

namespace velquin {
namespace {

// Complex products spelt out: the library's operator* checks for infinities and NaNs
// on every product, which costs more than the product.
struct Complex {
  double re = 0, im = 0;
};

Complex Times(Complex a, Complex b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

constexpr int kLeafPanels = 12;
// A point takes a cluster's expansion beyond this many radii from its centre.
constexpr double kFarRadii = 3;

struct PanelEnds {
  Complex a, b, tangent;
};

PanelEnds EndsOf(const PanelView& p, int j) {
  const Complex t{p.CosAx[j], p.CosBx[j]};
  return {{p.Xc[j] + p.Xi1[j] * t.re, p.Yc[j] + p.Xi1[j] * t.im},
          {p.Xc[j] + p.Xi2[j] * t.re, p.Yc[j] + p.Xi2[j] * t.im},
          t};
}

using SheetStrengths = PanelTree::Sheets;

SheetStrengths SheetsOf(const FlowPanels& panels, const FlowBases& bases) {
  SheetStrengths sheets;
  std::size_t vortex = static_cast<std::size_t>(panels.setup.panels.count);
  for (const ElementPanels& e : panels.setup.elements) {
    const bool carries = e.vortex != VortexModel::kNone;
    const bool sheet = e.vortex == VortexModel::kConstantDistribution;
    sheets.g0.push_back(sheet ? bases.Q0[vortex] : 0.0);
    sheets.g90.push_back(sheet ? bases.Q90[vortex] : 0.0);
    if (carries) ++vortex;
  }
  return sheets;
}

void ComputeMoments(const FlowPanels& panels, const FlowBases& bases, const SheetStrengths& sheets,
                    PanelCluster& c) {
  const PanelView& p = panels.setup.panels;
  double x0 = HUGE_VAL, x1 = -HUGE_VAL, y0 = HUGE_VAL, y1 = -HUGE_VAL;
  for (int j = c.first; j <= c.last; ++j) {
    const PanelEnds e = EndsOf(p, j);
    x0 = std::min({x0, e.a.re, e.b.re});
    x1 = std::max({x1, e.a.re, e.b.re});
    y0 = std::min({y0, e.a.im, e.b.im});
    y1 = std::max({y1, e.a.im, e.b.im});
  }
  const Complex centre{0.5 * (x0 + x1), 0.5 * (y0 + y1)};
  c.centre = {centre.re, centre.im};
  const double scale = 1 / panels.setup.k.Pi2;
  const std::size_t e = static_cast<std::size_t>(c.element);
  for (int j = c.first; j <= c.last; ++j) {
    const PanelEnds ends = EndsOf(p, j);
    const Complex a{ends.a.re - centre.re, ends.a.im - centre.im};
    const Complex b{ends.b.re - centre.re, ends.b.im - centre.im};
    c.radius = std::max({c.radius, std::hypot(a.re, a.im), std::hypot(b.re, b.im)});
    // c / (2 pi) divided by the tangent: times its conjugate.
    const Complex inverse_tangent{ends.tangent.re, -ends.tangent.im};
    const std::size_t q = static_cast<std::size_t>(j - 1);
    const Complex c0 = Times({bases.Q0[q] * scale, sheets.g0[e] * scale}, inverse_tangent);
    const Complex c90 = Times({bases.Q90[q] * scale, sheets.g90[e] * scale}, inverse_tangent);
    Complex pa = a, pb = b;  // a^(k+1), b^(k+1)
    for (int k = 0; k < kTreeTerms; ++k) {
      const Complex d{(pb.re - pa.re) / (k + 1), (pb.im - pa.im) / (k + 1)};
      const Complex t0 = Times(c0, d), t90 = Times(c90, d);
      c.m0[static_cast<std::size_t>(k)] += std::complex<double>(t0.re, t0.im);
      c.m90[static_cast<std::size_t>(k)] += std::complex<double>(t90.re, t90.im);
      pa = Times(pa, a);
      pb = Times(pb, b);
    }
  }
}

int AddCluster(PanelTree& tree, const FlowPanels& panels, const FlowBases& bases,
               const SheetStrengths& sheets, int element, int first, int last) {
  PanelCluster c;
  c.first = first;
  c.last = last;
  c.element = element;
  ComputeMoments(panels, bases, sheets, c);
  const int index = static_cast<int>(tree.clusters.size());
  tree.clusters.push_back(c);
  if (last - first + 1 > kLeafPanels) {
    const int middle = first + (last - first) / 2;
    const int lower = AddCluster(tree, panels, bases, sheets, element, first, middle);
    const int upper = AddCluster(tree, panels, bases, sheets, element, middle + 1, last);
    tree.clusters[static_cast<std::size_t>(index)].lower = lower;
    tree.clusters[static_cast<std::size_t>(index)].upper = upper;
  }
  return index;
}

// The sums of one evaluation: the expansions' w = u - i v of both bases, and the
// velocities of the panels summed one by one.
struct FieldSums {
  Complex w0, w90;
  double u0 = 0, v0 = 0, u90 = 0, v90 = 0;
};

// The expansion of cluster c (its image when `image`) at the distance d from its centre.
void AddExpansion(const PanelCluster& c, bool image, Complex d, FieldSums& sums) {
  const double r2 = d.re * d.re + d.im * d.im;
  const Complex t{d.re / r2, -d.im / r2};  // 1 / d
  const double sign = image ? -1.0 : 1.0;  // the image's moments are conjugate
  Complex acc0{c.m0.back().real(), sign * c.m0.back().imag()};
  Complex acc90{c.m90.back().real(), sign * c.m90.back().imag()};
  for (int k = kTreeTerms - 2; k >= 0; --k) {
    const std::size_t n = static_cast<std::size_t>(k);
    acc0 = Times(acc0, t);
    acc0 = {acc0.re + c.m0[n].real(), acc0.im + sign * c.m0[n].imag()};
    acc90 = Times(acc90, t);
    acc90 = {acc90.re + c.m90[n].real(), acc90.im + sign * c.m90[n].imag()};
  }
  acc0 = Times(acc0, t);
  acc90 = Times(acc90, t);
  sums.w0 = {sums.w0.re + acc0.re, sums.w0.im + acc0.im};
  sums.w90 = {sums.w90.re + acc90.re, sums.w90.im + acc90.im};
}

// The panels of a near leaf one by one: their sources and sheets, or their images (the
// field of the original panel at the mirror point, mirrored back; the image vortex has
// the opposite strength).
bool AddLeafPanels(const PanelCluster& c, const FlowPanels& panels, const FlowBases& bases,
                   const SheetStrengths& sheets, bool image, double x, double y, FieldSums& s) {
  const std::size_t e = static_cast<std::size_t>(c.element);
  const double g0 = sheets.g0[e], g90 = sheets.g90[e];
  for (int j = c.first; j <= c.last; ++j) {
    double U = 0, V = 0;
    if (!UnitPanelVelocity(panels.setup, j, x, y, U, V)) return false;
    const double q0 = bases.Q0[static_cast<std::size_t>(j - 1)];
    const double q90 = bases.Q90[static_cast<std::size_t>(j - 1)];
    if (image) {
      s.u0 = s.u0 + (q0 * U + g0 * V);
      s.v0 = s.v0 + (g0 * U - q0 * V);
      s.u90 = s.u90 + (q90 * U + g90 * V);
      s.v90 = s.v90 + (g90 * U - q90 * V);
    } else {
      s.u0 = s.u0 + (q0 * U + g0 * V);
      s.v0 = s.v0 + (q0 * V - g0 * U);
      s.u90 = s.u90 + (q90 * U + g90 * V);
      s.v90 = s.v90 + (q90 * V - g90 * U);
    }
  }
  return true;
}

bool AddElement(const PanelTree& tree, int root, const FlowPanels& panels, const FlowBases& bases,
                const SheetStrengths& sheets, bool image, double x, double y, FieldSums& sums) {
  // The image's centre is the mirrored one; its field is evaluated at the mirror point.
  const double ground = image ? *panels.setup.ground_y : 0;
  const double y_eval = image ? 2 * ground - y : y;
  int stack[64];
  int top = 0;
  stack[top++] = root;
  while (top > 0) {
    const PanelCluster& c = tree.clusters[static_cast<std::size_t>(stack[--top])];
    const double cy = image ? 2 * ground - c.centre.imag() : c.centre.imag();
    const Complex d{x - c.centre.real(), y - cy};
    const double far = kFarRadii * c.radius;
    if (d.re * d.re + d.im * d.im > far * far) {
      AddExpansion(c, image, d, sums);
    } else if (c.lower < 0) {
      if (!AddLeafPanels(c, panels, bases, sheets, image, x, y_eval, sums)) return false;
    } else {
      stack[top++] = c.upper;
      stack[top++] = c.lower;
    }
  }
  return true;
}

}  // namespace

PanelTree BuildPanelTree(const FlowPanels& panels, const FlowBases& bases) {
  PanelTree tree;
  tree.sheets = SheetsOf(panels, bases);
  const SheetStrengths& sheets = tree.sheets;
  const std::vector<ElementPanels>& elements = panels.setup.elements;
  for (std::size_t e = 0; e < elements.size(); ++e) {
    tree.roots.push_back(AddCluster(tree, panels, bases, sheets, static_cast<int>(e),
                                    elements[e].first, elements[e].last));
  }
  return tree;
}

bool TreeVelocities(const PanelTree& tree, const FlowPanels& panels, const FlowBases& bases,
                    double x, double y, FlowVelocity& V0, FlowVelocity& V90) {
  const InfluenceSetup& s = panels.setup;
  const bool ground = s.ground_y.has_value();
  const SheetStrengths& sheets = tree.sheets;
  FieldSums sums;
  std::size_t vortex = static_cast<std::size_t>(s.panels.count);
  for (std::size_t e = 0; e < s.elements.size(); ++e) {
    const int root = tree.roots[e];
    if (!AddElement(tree, root, panels, bases, sheets, false, x, y, sums)) return false;
    if (ground && !AddElement(tree, root, panels, bases, sheets, true, x, y, sums)) return false;
    const VortexModel model = s.elements[e].vortex;
    if (model == VortexModel::kNone) continue;
    if (model == VortexModel::kPointVortex) {
      double U = 0, V = 0;
      if (!UnitPointVortexVelocity(s, x, y, U, V)) return false;
      if (ground) {
        double Ui = 0, Vi = 0;
        if (!UnitPointVortexVelocity(s, x, 2 * *s.ground_y - y, Ui, Vi)) return false;
        U = U + Ui;
        V = V - Vi;
      }
      sums.u0 = sums.u0 + bases.Q0[vortex] * U;
      sums.v0 = sums.v0 + bases.Q0[vortex] * V;
      sums.u90 = sums.u90 + bases.Q90[vortex] * U;
      sums.v90 = sums.v90 + bases.Q90[vortex] * V;
    }
    ++vortex;
  }
  V0 = {1 + sums.u0 + sums.w0.re, sums.v0 - sums.w0.im};
  V90 = {sums.u90 + sums.w90.re, 1 + sums.v90 - sums.w90.im};
  return true;
}

std::optional<FlowVelocity> TreeVelocityAt(const PanelTree& tree, const FlowPanels& panels,
                                           const FlowBases& bases, double cos_alfa, double sin_alfa,
                                           double x, double y) {
  FlowVelocity V0, V90;
  if (!TreeVelocities(tree, panels, bases, x, y, V0, V90)) return std::nullopt;
  return FlowVelocity{cos_alfa * V0.u + sin_alfa * V90.u, cos_alfa * V0.v + sin_alfa * V90.v};
}

}  // namespace velquin
