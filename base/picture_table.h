// The three pictures of a calculation run, listed once: the window, the batch pictures,
// the picture export and the tests all take their names, sizes and backgrounds from here.
#pragma once

#include <array>

#include "base/picture.h"

namespace velquin {

enum class PictureId { kAirfoil, kPressure, kMatrix };

struct PictureEntry {
  PictureId id;
  const char* name;   // the control's name; the exported file is name + ".png"
  int width, height;  // pixels
  Colour background;
};

inline constexpr std::array<PictureEntry, 3> kPictures = {{
    {PictureId::kAirfoil, "Picture_Airfoil", 400, 200, kLightYellow},
    {PictureId::kPressure, "Picture_Pressure", 401, 233, kLightYellow},
    {PictureId::kMatrix, "Picture_Matrix", 200, 200, kWhite},
}};

inline constexpr const PictureEntry& PictureEntryOf(PictureId id) {
  return kPictures[static_cast<std::size_t>(id)];
}

// One picture of each kind, indexed by PictureId.
template <typename P>
using PictureSet = std::array<P, kPictures.size()>;

}  // namespace velquin
