// Module_Common: the solver state that every procedure of a calculation run reads and
// writes. One object lives for the whole program and is handed by reference to every
// procedure; a run overwrites only the entries its sizes cover.
//
// Every array has the indices 0..200 in each dimension (the node arrays 0..2 in the
// first). An index outside raises the run error "Subscript out of range". Counts are
// doubles; a real used as an index is rounded to the nearest whole number, halves to
// the even neighbour.
#pragma once

#include <array>
#include <cstddef>

namespace velquin {

inline constexpr int kMaxIndex = 200;  // highest index of every array
inline constexpr int kArraySize = kMaxIndex + 1;

[[noreturn]] void ThrowSubscriptOutOfRange(int i, int limit);

// Throws RunError(kSubscriptOutOfRange) unless 0 <= i <= limit. Inline: every array
// access of the solver goes through it.
inline int CheckedIndex(int i, int limit = kMaxIndex) {
  if (static_cast<unsigned>(i) > static_cast<unsigned>(limit)) ThrowSubscriptOutOfRange(i, limit);
  return i;
}
// Rounds a real index half to even, then checks it as above.
int RealToIndex(double r, int limit = kMaxIndex);

// A vector with indices 0..200.
class Vector {
 public:
  double& operator()(int i) { return v_[CheckedIndex(i)]; }
  double operator()(int i) const { return v_[CheckedIndex(i)]; }
  double& at(double i) { return v_[RealToIndex(i)]; }
  double at(double i) const { return v_[RealToIndex(i)]; }
  // Raw storage for loops whose index range has been checked once.
  double* data() { return v_.data(); }
  const double* data() const { return v_.data(); }

 private:
  std::array<double, kArraySize> v_{};
};

// A matrix with rows and columns 0..200, indexed (row, column), stored by rows.
class Matrix {
 public:
  double& operator()(int i, int j) { return m_[Offset(i, j)]; }
  double operator()(int i, int j) const { return m_[Offset(i, j)]; }
  double* Row(int i) { return m_.data() + Offset(i, 0); }
  const double* Row(int i) const { return m_.data() + Offset(i, 0); }

 private:
  static std::size_t Offset(int i, int j) {
    return static_cast<std::size_t>(CheckedIndex(i)) * kArraySize + CheckedIndex(j);
  }
  std::array<double, kArraySize * kArraySize> m_{};
};

// Node-like arrays with a first index 0..2 (1 = panel start, 2 = panel end).
class NodeArray {
 public:
  double& operator()(int k, int i) { return m_[CheckedIndex(k, 2)][CheckedIndex(i)]; }
  double operator()(int k, int i) const { return m_[CheckedIndex(k, 2)][CheckedIndex(i)]; }
  // Raw storage of the nodes k of every panel, for loops whose range has been checked.
  const double* Row(int k) const { return m_[CheckedIndex(k, 2)].data(); }

 private:
  std::array<std::array<double, kArraySize>, 3> m_{};
};

struct Module_Common {
  // Circle constants, set once by Form_Load.
  double Pi = 0, Pi2 = 0, Pi4 = 0;
  // Reference length of the body (chord or diameter), always 1.
  double RefLength = 0;
  // Free-stream direction: the velocity of the unit free stream is (CosAlfa, SinAlfa).
  double CosAlfa = 0, SinAlfa = 0;
  // Sizes: panels, unknowns, and the column of the right-hand side (NEq + 1).
  double NP = 0, NEq = 0, NRhs = 0;
  // Point-vortex position.
  double Xv = 0, Yv = 0;

  NodeArray X, Y;    // X(1, i) start node, X(2, i) end node of panel i; X(2, 0) first node
  Vector Xc, Yc;     // control points (panel midpoints)
  NodeArray Xi, Yi;  // panel-local x of the two ends; Yi is always 0
  Vector S;          // panel lengths
  Vector CosAx, CosBx, CosAy, CosBy;  // unit tangent (CosAx, CosBx), unit normal (CosAy, CosBy)
  Matrix At;  // tangential influence coefficients; column NRhs the free stream
  Matrix An;  // normal influence coefficients, right-hand side in column NRhs
  Vector Q;   // source strengths 1..NP, vortex strength NP + 1
  Vector Vt;  // surface speed at the control points
  Vector Cu;  // Vt squared: 1 - Cp for the unit free stream
};

// The main window's load event: sets Pi = 4 arctan(1), Pi2 = 2 Pi and Pi4 = 4 Pi.
void Form_Load(Module_Common& C);

// Pi as Form_Load sets it, 4 arctan(1), for code that has no state at hand.
double PiConstant();

// An angle of attack in radians, as every run, sweep and view turns its input:
// (degrees * Pi) / 180, multiplied first, with the Pi of Form_Load.
double AlphaRadians(double alpha_degrees);

}  // namespace velquin
