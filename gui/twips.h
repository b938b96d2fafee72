// The windows are laid out in twips (1/1440 inch), 15 to a pixel at 96 dpi.
#pragma once

#include <QRect>

namespace velquin {

inline constexpr int kTwipsPerPixel = 15;

inline QRect Twips(int left, int top, int width, int height) {
  return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
               height / kTwipsPerPixel);
}

}  // namespace velquin
