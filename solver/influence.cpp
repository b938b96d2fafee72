#include "solver/influence.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <thread>

#include "base/run_error.h"

namespace velquin {
namespace {

// From this many panels on, two threads fill the rows.
constexpr int kParallelRows = 400;

template <typename T>
T* RowOf(T* block, int i, int m) {
  return block + static_cast<std::ptrdiff_t>(i - 1) * m;
}

// A velocity in global components.
struct Velocity {
  double U = 0, V = 0;
};

// The velocity, in global components, of unit source panel j at the point (x, y).
// i names the control point for messages; `image` says that (x, y) is its mirror image.
Velocity SourceVelocity(const InfluenceSetup& s, int j, double x, double y, int i, bool image) {
  const PanelView& p = s.panels;
  const double dX = x - p.Xc[j];
  const double dY = y - p.Yc[j];
  const double xL = p.CosAx[j] * dX + p.CosBx[j] * dY;
  const double yL = p.CosAy[j] * dX + p.CosBy[j] * dY;
  double u = 0, v = 0;
  try {
    SourcePanelVelocity(s.k, xL, yL, p.Xi1[j], p.Xi2[j], u, v);
  } catch (const RunError& error) {
    throw RunError(error.kind(), error.detail() + ": the control point of panel " +
                                     std::to_string(i) + " lies on an end of " +
                                     (image ? "the ground image of " : "") + "panel " +
                                     std::to_string(j) + ".");
  }
  return {p.CosAx[j] * u + p.CosAy[j] * v, p.CosBx[j] * u + p.CosBy[j] * v};
}

// Normal and tangential velocity at control point i induced by source panel j (j != i)
// of unit strength: into panel j's frame, the kernel, back to global components, then
// onto panel i's axes.
void SourceInfluence(const InfluenceSetup& s, int i, int j, double& Wt, double& Wn) {
  const PanelView& p = s.panels;
  const Velocity w = SourceVelocity(s, j, p.Xc[i], p.Yc[i], i, false);
  Wt = p.CosAx[i] * w.U + p.CosBx[i] * w.V;
  Wn = p.CosAy[i] * w.U + p.CosBy[i] * w.V;
}

// The same for the ground image of panel j: its field at the mirrored control point,
// mirrored back.
void ImageSourceInfluence(const InfluenceSetup& s, int i, int j, double& Wt, double& Wn) {
  const PanelView& p = s.panels;
  const double y_mirror = 2 * *s.ground_y - p.Yc[i];
  const Velocity w = SourceVelocity(s, j, p.Xc[i], y_mirror, i, true);
  Wt = p.CosAx[i] * w.U + p.CosBx[i] * (-w.V);
  Wn = p.CosAy[i] * w.U + p.CosBy[i] * (-w.V);
}

// Velocity of a unit point vortex at (xv, yv) at the point (x, y), global components.
// A positive strength turns counter-clockwise.
Velocity PointVortexVelocity(const InfluenceSetup& s, double xv, double yv, double x, double y,
                             int i) {
  const double rx = xv - x;
  const double ry = yv - y;
  const double r = std::sqrt(rx * rx + ry * ry);
  if (r == 0) {
    throw RunError(ErrorKind::kDivisionByZero,
                   "the point vortex lies on the control point of panel " + std::to_string(i) +
                       "; move it inside the body.");
  }
  if (std::isinf(r)) {
    throw RunError(ErrorKind::kOverflow,
                   "the point vortex lies too far away (Xv and Yv must be ordinary lengths).");
  }
  return {((1 / s.k.Pi2) / r) * ry / r, ((-1 / s.k.Pi2) / r) * rx / r};
}

void PointVortexInfluence(const InfluenceSetup& s, int i, double& Wt, double& Wn) {
  const PanelView& p = s.panels;
  Velocity w = PointVortexVelocity(s, s.Xv, s.Yv, p.Xc[i], p.Yc[i], i);
  if (s.ground_y) {
    // The image vortex turns the other way: its field is the mirror of the real one's.
    const Velocity m = PointVortexVelocity(s, s.Xv, s.Yv, p.Xc[i], 2 * *s.ground_y - p.Yc[i], i);
    w = {w.U + m.U, w.V - m.V};
  }
  Wt = p.CosAx[i] * w.U + p.CosBx[i] * w.V;
  Wn = p.CosAy[i] * w.U + p.CosBy[i] * w.V;
}

// Row i of the source columns and the constant vortex sheets. A sheet's field is the
// source field of the same panels turned a quarter turn clockwise, so an element's sheet
// is read off its source columns: Wt += An(i, j), Wn -= At(i, j) (a positive strength
// turns clockwise). The sheet's image has the opposite strength: its image parts enter
// with the other sign.
void FillSourceRow(const InfluenceSetup& s, int i, MatrixView An, MatrixView At,
                   std::vector<double>& image_t, std::vector<double>& image_n) {
  const int np = s.panels.count;
  double Wt = 0, Wn = 0;
  for (int j = 1; j <= np; ++j) {
    if (j == i) {
      // A panel's own source sheet: half its strength leaves each face, none along it.
      At(i, i) = 0;
      An(i, i) = 0.5;
    } else {
      SourceInfluence(s, i, j, Wt, Wn);
      At(i, j) = Wt;
      An(i, j) = Wn;
    }
  }
  if (!s.ground_y) return;
  for (int j = 1; j <= np; ++j) {
    ImageSourceInfluence(s, i, j, image_t[j], image_n[j]);
    At(i, j) = At(i, j) + image_t[j];
    An(i, j) = An(i, j) + image_n[j];
  }
}

void FillVortexColumns(const InfluenceSetup& s, int i, MatrixView An, MatrixView At,
                       const std::vector<double>& image_t, const std::vector<double>& image_n) {
  int column = s.panels.count;
  for (const ElementPanels& e : s.elements) {
    if (e.vortex == VortexModel::kNone) continue;
    ++column;
    double Wt = 0, Wn = 0;
    if (e.vortex == VortexModel::kPointVortex) {
      PointVortexInfluence(s, i, Wt, Wn);
    } else if (!s.ground_y) {
      for (int j = e.first; j <= e.last; ++j) {
        Wt = Wt + An(i, j);
        Wn = Wn - At(i, j);
      }
    } else {
      for (int j = e.first; j <= e.last; ++j) {
        Wt = Wt + ((An(i, j) - image_n[j]) - image_n[j]);
        Wn = Wn - ((At(i, j) - image_t[j]) - image_t[j]);
      }
    }
    At(i, column) = Wt;
    An(i, column) = Wn;
  }
}

}  // namespace

PanelView PanelViewOf(const Module_Common& C) {
  PanelView p;
  p.count = RealToIndex(C.NP);
  p.Xc = C.Xc.data();
  p.Yc = C.Yc.data();
  p.CosAx = C.CosAx.data();
  p.CosBx = C.CosBx.data();
  p.CosAy = C.CosAy.data();
  p.CosBy = C.CosBy.data();
  p.Xi1 = C.Xi.Row(1);
  p.Xi2 = C.Xi.Row(2);
  p.S = C.S.data();
  return p;
}

KernelConstants KernelConstantsOf(const Module_Common& C) {
  return {C.Pi, C.Pi2, C.Pi4};
}

InfluenceSetup SeedSetup(const Module_Common& C, VortexModel vortex) {
  InfluenceSetup s;
  s.panels = PanelViewOf(C);
  s.elements = {{1, s.panels.count, vortex}};
  s.Xv = C.Xv;
  s.Yv = C.Yv;
  s.k = KernelConstantsOf(C);
  return s;
}

int InfluenceSetup::VortexCount() const {
  int count = 0;
  for (const ElementPanels& e : elements) count += e.vortex != VortexModel::kNone ? 1 : 0;
  return count;
}

void SourcePanelVelocity(const KernelConstants& k, double x, double y, double x1, double x2,
                         double& u, double& v) {
  const double a1 = x - x1;
  const double a2 = x - x2;
  const double r1sq = a1 * a1 + y * y;  // squared distance from the start of the panel
  const double r2sq = a2 * a2 + y * y;  // ... and from its end
  if (r1sq == 0 || r2sq == 0) {
    // The logarithmic singularity of a source sheet's edge: no finite velocity exists.
    throw RunError(ErrorKind::kInvalidArgument, "the field point lies on the end of a panel");
  }
  u = std::log(r1sq / r2sq);
  u = u / k.Pi4;

  // theta: the angle the panel subtends at the point, from tan(theta) =
  // y (x2 - x1) / (a1 a2 + y^2). Inside the circle that has the panel as its diameter
  // den = d^2 - x2^2 < 0 (d the distance from the midpoint) and the principal arctangent
  // is off by pi. The branch is chosen by the sign of den itself: testing d < x2 instead
  // agrees everywhere except within rounding of that circle, where it can pick the
  // wrong branch and throw theta off by pi (the control points of a three-panel circle
  // lie on such circles).
  const double den = a1 * a2 + y * y;
  double theta;
  if (den != 0) {
    theta = std::atan(y * (x2 - x1) / den);
    const double s = y < 0 ? -1 : 1;
    if (den < 0) theta = theta + s * k.Pi;
  } else {
    // Exactly on that circle the subtended angle is a right angle: the limit +-pi/2.
    theta = y < 0 ? -k.Pi / 2 : k.Pi / 2;
  }
  v = theta / k.Pi2;
}

void AssembleInfluence(const InfluenceSetup& s, MatrixView An, MatrixView At) {
  const int np = s.panels.count;
  const int neq = s.EquationCount();
  // Every row is computed on its own, in the same order whoever computes it: the bits do
  // not depend on the number of threads. Small problems (the seed's among them) stay on
  // one thread, so that an error leaves the rows before it written, as a run expects.
  const int threads = np >= kParallelRows ? 2 : 1;
  std::vector<std::exception_ptr> errors(static_cast<std::size_t>(threads));
  std::vector<int> failed_rows(static_cast<std::size_t>(threads), np + 1);
  const auto fill_rows = [&](int first_row, int step, std::size_t slot) {
    std::vector<double> image_t, image_n;
    if (s.ground_y) {
      image_t.assign(static_cast<std::size_t>(np) + 1, 0.0);
      image_n.assign(static_cast<std::size_t>(np) + 1, 0.0);
    }
    for (int i = first_row; i <= np; i += step) {
      try {
        FillSourceRow(s, i, An, At, image_t, image_n);
        FillVortexColumns(s, i, An, At, image_t, image_n);
      } catch (...) {
        errors[slot] = std::current_exception();
        failed_rows[slot] = i;
        return;
      }
    }
  };
  if (threads == 1) {
    fill_rows(1, 1, 0);
  } else {
    std::thread helper(fill_rows, 2, 2, 1);
    fill_rows(1, 2, 0);
    helper.join();
  }
  // The error of the first row that failed, whichever thread met it.
  const auto first = std::min_element(failed_rows.begin(), failed_rows.end());
  if (*first <= np)
    std::rethrow_exception(errors[static_cast<std::size_t>(first - failed_rows.begin())]);
  int row = np;
  for (const ElementPanels& e : s.elements) {
    if (e.vortex == VortexModel::kNone) continue;
    ++row;
    for (int j = 1; j <= neq; ++j) An(row, j) = At(e.first, j) + At(e.last, j);
    // The condition row has no tangential velocity of its own; clear what a larger
    // earlier problem left there, as the report prints this row.
    for (int j = 1; j <= neq + 1; ++j) At(row, j) = 0;
  }
}

void FreeStreamTerms(const InfluenceSetup& s, const double* cos_alfa, const double* sin_alfa, int m,
                     double* rhs, double* tangential) {
  const PanelView& p = s.panels;
  for (int i = 1; i <= p.count; ++i) {
    double* b = RowOf(rhs, i, m);
    double* t = RowOf(tangential, i, m);
    const double ay = p.CosAy[i], by = p.CosBy[i], ax = p.CosAx[i], bx = p.CosBx[i];
    for (int c = 0; c < m; ++c) {
      b[c] = -(ay * cos_alfa[c] + by * sin_alfa[c]);
      t[c] = ax * cos_alfa[c] + bx * sin_alfa[c];
    }
  }
  int row = p.count;
  for (const ElementPanels& e : s.elements) {
    if (e.vortex == VortexModel::kNone) continue;
    ++row;
    // The flow leaves the trailing edge with equal speed on both sides: the free
    // stream's share of the two tangential velocities moves to the right-hand side.
    double* b = RowOf(rhs, row, m);
    const double* t_first = RowOf(tangential, e.first, m);
    const double* t_last = RowOf(tangential, e.last, m);
    for (int c = 0; c < m; ++c) b[c] = -(t_first[c] + t_last[c]);
  }
}

void SignedSurfaceSpeeds(int np, int neq, MatrixView At, const double* q, int m,
                         double* tangential) {
  std::vector<double> s(static_cast<std::size_t>(m));
  for (int i = 1; i <= np; ++i) {
    double* t = RowOf(tangential, i, m);
    const double* row = &At(i, 0);
    for (int c = 0; c < m; ++c) s[c] = t[c];
    for (int j = 1; j <= neq; ++j) {
      const double a = row[j];
      const double* q_j = RowOf(q, j, m);
      for (int c = 0; c < m; ++c) s[c] = s[c] + a * q_j[c];
    }
    for (int c = 0; c < m; ++c) t[c] = s[c];
  }
}

}  // namespace velquin
