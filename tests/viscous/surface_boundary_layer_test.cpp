#include "viscous/surface_boundary_layer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velquin {
namespace {

TEST(SurfaceBoundaryLayer, Placeholder) { EXPECT_TRUE(true); }

}  // namespace
}  // namespace velquin
